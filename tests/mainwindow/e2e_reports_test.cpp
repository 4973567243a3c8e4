// The demo's information pane: selecting a route, an activity, a consist, an engine, a wagon or a
// path in the tree shows that item's report, and the Tools menu's Statistics counts the demo.
#include "core/forms/fixeddefs.h"
#include "core/generaldefs.h"
#include "mainwindow/e2ekit.h"

#include <QAction>
#include <QTabWidget>

using namespace qv;

namespace {

class DemoReports : public DemoTest {
protected:
    // The first node with every one of the kind bits and without the heading bit, its list
    // opened first when it stands for the rest of it.
    ItemNode* First(std::uint32_t kind) const {
        for (ItemNode* node = form->QuarvelObjects()->First(); node; node = node->GetNext()) {
            const std::uint32_t type = node->Data()->PType;
            if ((type & kind) != kind || (type & PT_HEADING))
                continue;
            if (type & PT_FIRST_ONLY) {
                View()->expand(IndexOf(node->Parent()));
                return First(kind);
            }
            return node;
        }
        ADD_FAILURE() << "no node of kind " << kind;
        return nullptr;
    }
    // Selects the node as a click in the tree does and gives the pane's lines.
    QStringList Shown(const ItemNode* node) const {
        View()->setFocus();
        Select(node);
        return form->InformationMemo()->Lines();
    }
};

TEST_F(DemoReports, SelectingAnyItem_FillsTheInformationPane) {
    BuildCaches();
    Start();
    const struct {
        const char* what;
        std::uint32_t kind;
        int page; // 0 Simulation, 1 Maintenance
        const char* fileLine;
    } cases[] = {
        {"route", PT_ROUTE, 0, "File Name: "},
        {"activity", PT_ACTIVITY, 0, "File Name: "},
        {"consist", PT_EXPLORE_CONSIST, 0, "File Name: "},
        {"path", PT_EXPLORE_PATH, 0, "File Name: "},
        {"engine", PT_MAINT_STOCK, 1, "Type: Engine"},
        {"wagon", PT_MAINT_STOCK, 1, "Type: "},
    };
    bool engineSeen = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (C<QTabWidget>("SimulationMaintPageControl")->currentIndex() != c.page)
            C<QTabWidget>("SimulationMaintPageControl")->setCurrentIndex(c.page);
        ItemNode* node = First(c.kind);
        ASSERT_NE(node, nullptr);
        // The stock list holds engines first, then a wagon.
        if (c.kind == PT_MAINT_STOCK && engineSeen) {
            while (node && !node->Data()->FileName.endsWith(".WAG", Qt::CaseInsensitive))
                node = node->NextSibling();
            ASSERT_NE(node, nullptr);
        }
        engineSeen = c.kind == PT_MAINT_STOCK;
        const QStringList lines = Shown(node);
        ASSERT_GT(lines.size(), 6) << lines.join('\n').toStdString();
        EXPECT_FALSE(lines.at(1).isEmpty());
        EXPECT_TRUE(form->InformationMemo()->IsHeading(1));
        EXPECT_TRUE(lines.filter(c.fileLine).size() > 0) << lines.join('\n').toStdString();
    }
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
}

TEST_F(DemoReports, Statistics_CountsTheDemo) {
    BuildCaches();
    Start();
    C<QAction>("StatisticsMnu")->trigger();
    const QStringList lines = form->InformationMemo()->Lines();
    ASSERT_GT(lines.size(), 30);
    EXPECT_EQ(lines.at(1), Caption(Msg::TREE_HEADING_STATISTICS));
    EXPECT_EQ(lines.at(4), "\t\tRoutes:\t" + QString(10, ' ') + "9");
}

} // namespace
