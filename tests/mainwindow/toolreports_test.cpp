// The reports of the Tools and item menus: Statistics, Check Attributes and Where Used of one item.
#include "mainwindow/toolreports.h"

#include "catalogue/cacherebuild.h"
#include "core/appstate.h"
#include "core/itemset.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/reportpane.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "mainwindow/iteminfo.h"
#include "platform/fakeui.h"

#include <QFile>
#include <QLocale>
#include <gtest/gtest.h>

// Failures show texts as text.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace qv {
namespace {

class ToolReportsTest : public ::testing::Test {
protected:
    ToolReportsTest() {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        ClearReport(TheMainServices().InformationMemo());
        SetUi(&ui);
    }
    ~ToolReportsTest() override {
        for (const QString& host : readOnly_)
            QFile::setPermissions(host, QFile::permissions(host) | QFile::WriteOwner);
        SetUi(nullptr);
        ResetAppState();
    }

    // Takes the owner's write permission from a file or folder below C:\ (given with "/").
    void MakeReadOnly(const QString& relative) {
        const QString host = drive.Host(relative);
        ASSERT_TRUE(QFile::setPermissions(host, QFile::permissions(host) &
                                                    ~(QFile::WriteOwner | QFile::WriteUser)));
        readOnly_.prepend(host);
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    FakeUi ui;
    ReportPane pane;

private:
    QStringList readOnly_;
};

TEST_F(ToolReportsTest, StatisticsNumberText_GroupsThousandsAndPadsToEleven) {
    const QString sep = QLocale().groupSeparator();
    const struct {
        std::int32_t count;
        QString expected;
    } cases[] = {
        {1234567, "  1" + sep + "234" + sep + "567"},
        {0, "          0"},
        {999, "        999"},
        {1000, "      1" + sep + "000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StatisticsNumberText(c.count), c.expected) << c.count;
}

TEST_F(ToolReportsTest, Statistics_CountsBothFoldersAndTheirSums) {
    builder.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel);
    builder.AddEngine("DASH9", "DASH9B.ENG", "Dash 9 B", EngineType::Diesel);
    builder.AddWagon("HOPPER", "HOPPER.WAG", "Hopper", WagonType::Freight);
    builder.AddConsist("FREIGHT.CON", "Freight One", {{"DASH9", "DASH9", true, false}});
    builder.AddRoute("ALPHA", "Alpha Line", "A");
    builder.AddRoute("BETA", "Beta Line", "B", {}, Into::Store);
    builder.AddPath("ALPHA", "up.pat", "Up Path", "Here", "There");
    builder.AddService("ALPHA", "s1.srv", "Service One", "FREIGHT", "up");
    builder.AddActivity("ALPHA", "a1.act", "Morning Run", "s1.srv", QString());
    // Stored activities of a route in use: the store holds no route file of ALPHA.
    builder.AddActivity("ALPHA", "a2.act", "Evening Run", "s1.srv", QString(), {}, Into::Store);
    builder.AddActivity("ALPHA", "a3.act", "Night Run", "s1.srv", QString(), {}, Into::Store);
    builder.AddPath("BETA", "b.pat", "B Path", "East", "West", true, Into::Store);

    int repaints = 0;
    WriteStatistics(&pane, [&] { ++repaints; });
    auto section = [](const QString& title, int routes, int activities, int services, int paths,
                      int consists, int engines, int wagons) {
        auto line = [](const QString& label, int n) {
            return "\t\t" + label + ":\t" + StatisticsNumberText(n);
        };
        auto stock = [](const QString& label, int n) {
            return "\t\t    " + label + ":\t" + StatisticsNumberText(n);
        };
        return QStringList{"\t" + title,
                           line("Routes", routes),
                           line("Activities", activities),
                           line("Services", services),
                           line("Paths", paths),
                           line("Consists", consists),
                           "\t\tStock Items:",
                           stock("Engines", engines),
                           stock("Wagons", wagons),
                           stock("Total", engines + wagons)};
    };
    // A store without a TRAINS folder counts no consists and no stock.
    const QStringList expected = QStringList{"", "Quarvel Statistics", ""} +
                                 section("In Use", 1, 1, 1, 1, 1, 2, 1) + QStringList{""} +
                                 section("In Store", 1, 2, 0, 1, 0, 0, 0) + QStringList{""} +
                                 section("Totals", 2, 3, 1, 2, 1, 2, 1);
    EXPECT_EQ(pane.Lines(), expected);
    EXPECT_TRUE(pane.IsHeading(1));
    EXPECT_TRUE(pane.IsBold(3));
    EXPECT_TRUE(pane.IsBold(14));
    EXPECT_FALSE(pane.IsBold(4));
    EXPECT_TRUE(pane.FixedPitch());
    EXPECT_EQ(pane.TabStops(), (QList<int>{20, 40, 130}));
    // Once on the empty pane, once with the first section before the store is counted.
    EXPECT_EQ(repaints, 2);
}

TEST_F(ToolReportsTest, CheckAttributes_FindsReadOnlyFilesAndFoldersInEitherRoot) {
    const struct {
        const char* name;
        QStringList readOnly; // below C:\, with "/"
        bool clean;
        QString reported; // the path the pane names; empty for none
    } cases[] = {
        {"clean", {}, true, {}},
        {"read-only file",
         {"MSTS/TRAINS/CONSISTS/A.con"},
         false,
         "C:\\MSTS\\TRAINS\\CONSISTS\\A.con"},
        {"read-only folder", {"MSTS/TRAINS/CONSISTS"}, false, "C:\\MSTS\\TRAINS\\CONSISTS"},
        {"read-only folder in the store", {"STORE/Stock"}, false, "C:\\STORE\\Stock"},
    };
    drive.MakeFile("MSTS/TRAINS/CONSISTS/A.con");
    drive.MakeFile("STORE/Stock/b.wag");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearReport(TheMainServices().InformationMemo());
        const std::size_t boxes = ui.Shown().size();
        for (const QString& entry : c.readOnly)
            MakeReadOnly(entry);
        EXPECT_EQ(CheckInstallationAttributes(), c.clean);
        const QString text = TheMainServices().InformationMemo()->Lines().join('\n');
        if (c.clean) {
            EXPECT_EQ(ui.Shown().size(), boxes);
            EXPECT_TRUE(text.isEmpty());
        } else {
            ASSERT_EQ(ui.Shown().size(), boxes + 1);
            EXPECT_TRUE(ui.Shown().back().text.startsWith("Folder/Files were found with R-O"));
            EXPECT_TRUE(text.contains("File/Path: '" + c.reported + "' Attr. Code"))
                << text.toStdString();
        }
        for (const QString& entry : c.readOnly) {
            const QString host = drive.Host(entry);
            QFile::setPermissions(host, QFile::permissions(host) | QFile::WriteOwner);
        }
    }
}

TEST_F(ToolReportsTest, CheckAttributes_LooksAtTheStoreOnlyWhenTheMstsFolderPasses) {
    drive.MakeFile("MSTS/TRAINS/CONSISTS/A.con");
    drive.MakeFile("STORE/Stock/b.wag");
    MakeReadOnly("MSTS/TRAINS/CONSISTS/A.con");
    MakeReadOnly("STORE/Stock/b.wag");
    EXPECT_FALSE(CheckInstallationAttributes());
    const QString text = TheMainServices().InformationMemo()->Lines().join('\n');
    EXPECT_TRUE(text.contains("A.con"));
    EXPECT_FALSE(text.contains("b.wag"));
    EXPECT_EQ(ui.Shown().size(), 1u);
}

TEST_F(ToolReportsTest, WhereUsedOfAPath_BeginsWithThePathsReport) {
    builder.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel);
    builder.AddConsist("FREIGHT.CON", "Freight One", {{"DASH9", "DASH9", true, false}});
    builder.AddRoute("ALPHA", "Alpha Line", "A");
    builder.AddPath("ALPHA", "up.pat", "Up Path", "Here", "There");
    builder.AddService("ALPHA", "s1.srv", "Service One", "FREIGHT", "up");
    ItemSet path;
    path.PType = PT_EXPLORE_PATH;
    path.Folder = QStringLiteral("ROUTES\\ALPHA\\PATHS");
    path.FileName = QStringLiteral("up.pat");
    path.Description = QStringLiteral("Up Path");
    ReportPane alone;
    ShowItemInfo(path, &alone);

    WhereUsedItem(path, &pane);
    const QStringList lines = pane.Lines();
    ASSERT_GT(lines.size(), alone.LineCount());
    EXPECT_EQ(lines.mid(0, alone.LineCount()), alone.Lines());
    // The path is found by its route folder and file name, so its service shows as a user.
    EXPECT_TRUE(lines.mid(alone.LineCount()).join('\n').contains("s1"))
        << lines.join('\n').toStdString();
    EXPECT_FALSE(App().Busy);
}

} // namespace
} // namespace qv
