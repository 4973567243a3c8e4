// The demo's information pane: selecting a route, an activity, a consist, a path, an engine or a
// wagon shows its report while the tree has the window's focus, and the Tools menu's reports run.
#include "core/generaldefs.h"
#include "mainwindow/e2ekit.h"

#include <QAction>
#include <QTabWidget>
#include <QTextEdit>

using namespace qv;

namespace {

class DemoReports : public DemoTest {
protected:
    // The first item node with the kind bits whose file name ends so, its list opened first.
    ItemNode* First(std::uint32_t kind, const char* end = "") const {
        for (ItemNode* node = form->QuarvelObjects()->First(); node; node = node->GetNext()) {
            const std::uint32_t type = node->Data()->PType;
            if ((type & kind) != kind || (type & PT_HEADING) ||
                !node->Data()->FileName.endsWith(end, Qt::CaseInsensitive))
                continue;
            if (!(type & PT_FIRST_ONLY))
                return node;
            View()->expand(IndexOf(node->Parent()));
            return First(kind, end);
        }
        ADD_FAILURE() << "no node of kind " << kind;
        return nullptr;
    }
    QString Heading() const { return form->InformationMemo()->Lines().value(1); }
};

TEST_F(DemoReports, SelectedItemsAndTheToolsMenu_FillThePane) {
    BuildCaches();
    Start();
    const struct {
        std::uint32_t kind;
        int page; // 0 Simulation, 1 Maintenance
        const char* end;
        const char* line; // a line the report holds
    } cases[] = {
        {PT_ROUTE, 0, "", "Route ID:  "},
        {PT_ACTIVITY, 0, "", "Service Details:"},
        {PT_EXPLORE_CONSIST, 0, "", "Contents:"},
        {PT_EXPLORE_PATH, 0, "", "From: "},
        {PT_MAINT_STOCK, 1, ".ENG", "Type: Engine"},
        {PT_MAINT_STOCK, 1, ".WAG", "Type: "},
    };
    for (const auto& c : cases) {
        C<QTabWidget>("SimulationMaintPageControl")->setCurrentIndex(c.page);
        View()->setFocus();
        ItemNode* node = First(c.kind, c.end);
        ASSERT_NE(node, nullptr);
        Select(node);
        const QStringList lines = form->InformationMemo()->Lines();
        EXPECT_TRUE(form->InformationMemo()->IsHeading(1) && !Heading().isEmpty()) << c.line;
        EXPECT_FALSE(lines.filter(c.line).isEmpty()) << lines.join('\n').toStdString();
    }
    // Another control has the focus: the pane keeps what it shows.
    const QString shown = Heading();
    C<QTextEdit>("InformationMemo")->setFocus();
    Select(First(PT_MAINT_STOCK, ".ENG"));
    EXPECT_EQ(Heading(), shown);

    // The Tools menu's reports.
    C<QAction>("StatisticsMnu")->trigger();
    EXPECT_EQ(Heading(), Caption(Msg::TREE_HEADING_STATISTICS));
    EXPECT_EQ(form->InformationMemo()->Lines().value(4), "\t\tRoutes:\t" + QString(10, ' ') + "9");
    EXPECT_TRUE(C<QTextEdit>("InformationMemo")->document()->defaultFont().fixedPitch());

    ASSERT_TRUE(C<QAction>("CheckAttributes")->isVisible() &&
                C<QAction>("CheckAttributes")->isEnabled());
    C<QAction>("CheckAttributes")->trigger();
    EXPECT_EQ(form->InformationMemo()->LineCount(), 0);
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
}

} // namespace
