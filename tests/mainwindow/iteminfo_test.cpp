// The item information report as the pane shows it, line by line, on a synthetic installation:
// routes with their TSECTION.DAT block, paths, activities, consists and stock items.
#include "mainwindow/iteminfo.h"

#include "catalogue/cacherebuild.h"
#include "catalogue/pathrecords.h"
#include "core/appstate.h"
#include "core/itemset.h"
#include "core/reportpane.h"
#include "engine/tsectionsettings.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/winfind.h"
#include "platform/winfs.h"

#include <QDateTime>
#include <gtest/gtest.h>

// Failures show texts as text.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace qv {
namespace {

const QString kDate = QStringLiteral("05 Mar 2024   02:07 PM");

class ItemInfoTest : public ::testing::Test {
protected:
    ItemInfoTest() {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        SetUi(&ui);
    }
    ~ItemInfoTest() override {
        SetUi(nullptr);
        ResetAppState();
    }

    QStringList Report(const ItemSet& item) {
        ShowItemInfo(item, &pane);
        return pane.Lines();
    }
    static ItemSet Item(std::uint32_t kind, const QString& folder, const QString& file,
                        const QString& description = QString()) {
        ItemSet item;
        item.PType = kind;
        item.Folder = folder;
        item.FileName = file;
        item.Description = description;
        return item;
    }

    // A TSECTION.DAT below the MSTS folder with a fixed date; build < 0 writes none.
    QString AddTsection(int build, const QString& relPath) {
        builder.WriteTsection(build, relPath);
        const QString full = QStringLiteral("C:\\MSTS\\") + relPath;
        EXPECT_TRUE(SetFileAge(full, PackDosDateTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7)))));
        return full;
    }
    static void Specify(std::uint32_t kind, const QString& file, int simulation, int maintenance,
                        const QString& description = QString()) {
        RouteInfo record;
        record.PType = kind;
        record.Folder = QStringLiteral("Routes\\ALPHA");
        record.TSectionFileName = file;
        record.TSectionDescription = description;
        record.TSectionSimulation = simulation;
        record.TSectionMaintenance = maintenance;
        WriteTsectionSettings(record);
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    FakeUi ui;
    ReportPane pane;
};

TEST_F(ItemInfoTest, NameWithFileName_FollowsItsFourRules) {
    const struct {
        const char* name;
        const char* file;
        const char* expected;
    } cases[] = {
        {"Loco", "loco.eng", "Loco"},
        {"Loco A", "LOCO_A.ENG", "Loco A     (LOCO_A.ENG)"},
        {"0", "x.srv", "x.srv"},
        {"Anything", "0", ""},
        {"loco.eng", "LOCO.ENG", "loco.eng"},
        {"Freight North", "FN01.srv", "Freight North     (FN01.srv)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NameWithFileName(c.name, c.file), QString::fromUtf8(c.expected)) << c.name;
}

TEST_F(ItemInfoTest, ItemsWithoutAReport_LeaveOneEmptyLine) {
    pane.AddLine(QStringLiteral("left over"));
    for (std::uint32_t kind : {PT_GLOBAL, PT_ROUTES_ROOT, PT_ACTIVITIES_GROUP, PT_HEADING | PT_PATH,
                               PT_SERVICE, std::uint32_t(0)})
        EXPECT_EQ(Report(Item(kind, QString(), QString())), QStringList{QString()}) << kind;
}

TEST_F(ItemInfoTest, Route_ShowsItsOwnOrTheDefaultTsectionBlock) {
    const QStringList head = {
        "", "Alpha Line", "", "Folder: ALPHA", "Route ID:  A", "File Name: A.trk", ""};
    const QStringList actions = {"    Action When Unstoring:",
                                 "        Simulation Mode:",
                                 "            Use this  specific File",
                                 "        Maintenance Mode:",
                                 "            Use any TSECTION.DATfile with this Build No. or a "
                                 "higher one",
                                 ""};
    const struct {
        const char* name;
        int build;            // -2: no TSECTION.DAT file at all
        std::uint32_t kind;   // whose specification: PT_ROUTE, PT_GLOBAL, 0 none
        QStringList expected; // between the head and the description
    } cases[] = {
        {"own", 120, PT_ROUTE,
         QStringList{"TSECTION.DAT (Specified):", "    File Name: C:\\MSTS\\GLOBAL\\TSECTION.DAT",
                     "    Build: (Build 00120) (" + kDate + ")", "    Description: Mine"} +
             actions},
        {"default without build", -1, PT_GLOBAL,
         QStringList{
             "TSECTION.DAT (System Default):", "    File Name: C:\\MSTS\\GLOBAL\\TSECTION.DAT",
             "    Build: (" + kDate + ")", "    Description: Mine"} +
             actions},
        {"unreadable", -2, PT_ROUTE,
         QStringList{"TSECTION.DAT (Specified):", "    File Name: C:\\MSTS\\GLOBAL\\TSECTION.DAT",
                     "    Description: Mine"} +
             actions},
        {"none", 120, 0, {}},
    };
    RouteOptions options;
    options.description = QStringLiteral("Hills and a river.");
    builder.AddRoute("ALPHA", "Alpha Line", "A", options);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetAppState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        Specify(PT_ROUTE, QString(), 0, 0);
        Specify(PT_GLOBAL, QString(), 0, 0);
        QString file = QStringLiteral("C:\\MSTS\\GLOBAL\\TSECTION.DAT");
        QFile::remove(drive.Host(QStringLiteral("MSTS/GLOBAL/TSECTION.DAT")));
        if (c.build > -2)
            file = AddTsection(c.build, QStringLiteral("GLOBAL\\TSECTION.DAT"));
        if (c.kind)
            Specify(c.kind, file, 1, 2, QStringLiteral("Mine"));
        const QStringList expected = head + c.expected + QStringList{"Hills and a river.", ""};
        const std::size_t boxes = ui.Shown().size();
        EXPECT_EQ(Report(Item(PT_ROUTE, QStringLiteral("ROUTES\\ALPHA"), QStringLiteral("A.trk"))),
                  expected);
        EXPECT_TRUE(pane.IsHeading(1));
        EXPECT_EQ(pane.TabStops(), (QList<int>{20, 40, 130}));
        // The build reader tells the user itself about a file it cannot open.
        EXPECT_EQ(ui.Shown().size() - boxes, c.build == -2 ? 1u : 0u);
    }
}

TEST_F(ItemInfoTest, TsectionActions_OutsideTheListShowUnknown) {
    RouteInfo record;
    record.PType = PT_GLOBAL;
    record.TSectionFileName = AddTsection(7, QStringLiteral("GLOBAL\\TSECTION.DAT"));
    record.TSectionSimulation = 3;
    record.TSectionMaintenance = -1;
    WriteTsectionSummary(record, &pane);
    EXPECT_EQ(pane.Lines().at(5), QStringLiteral("            Unknown"));
    EXPECT_EQ(pane.Lines().at(7), QStringLiteral("            Unknown"));
}

TEST_F(ItemInfoTest, Route_ThatNeitherFolderReads_LeavesOneEmptyLine) {
    EXPECT_EQ(Report(Item(PT_ROUTE, QStringLiteral("ROUTES\\GONE"), QStringLiteral("G.trk"))),
              QStringList{QString()});
}

TEST_F(ItemInfoTest, Path_ShowsItsEndsAndWhetherItIsDriveable) {
    builder.AddRoute("ALPHA", "Alpha Line", "A");
    builder.AddPath("ALPHA", "up.pat", "Up Path", "Here", "There", true);
    builder.AddPath("ALPHA", "ai.pat", "AI Path", "Yard", "Mine", false, Into::Store);
    const struct {
        const char* file;
        QStringList expected;
    } cases[] = {
        {"up.pat",
         {"", "Up Path", "", "Folder:   ROUTES\\ALPHA\\PATHS", "", "File Name: up.pat", "",
          "From: Here", "To: There", "", "Driveable", "", ""}},
        {"ai.pat",
         {"", "AI Path", "", "Folder:   ROUTES\\ALPHA\\PATHS", "", "File Name: ai.pat", "",
          "From: Yard", "To: Mine", "", ""}},
        {"gone.pat",
         {"", "Listed Path", "", "Folder:   ROUTES\\ALPHA\\PATHS", "", "File Name: gone.pat", "",
          ""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Report(Item(PT_EXPLORE_PATH, QStringLiteral("ROUTES\\ALPHA\\PATHS"), c.file,
                              QStringLiteral("Listed Path"))),
                  c.expected)
            << c.file;
    }
}

} // namespace
} // namespace qv
