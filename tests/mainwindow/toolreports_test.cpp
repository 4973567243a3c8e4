// The reports of the Tools and item menus: Statistics, Check Attributes and Where Used of one item.
#include "mainwindow/toolreports.h"

#include "core/appstate.h"
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
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace qv {
namespace {

class ToolReportsTest : public ::testing::Test {
protected:
    ToolReportsTest() {
        ResetAppState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        SetUi(&ui);
        builder.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel);
        builder.AddWagon("HOPPER", "HOPPER.WAG", "Hopper", WagonType::Freight);
        builder.AddConsist("FREIGHT.CON", "Freight One", {{"DASH9", "DASH9", true}});
        builder.AddRoute("ALPHA", "Alpha Line", "A");
        builder.AddRoute("BETA", "Beta Line", "B", {}, Into::Store);
        builder.AddPath("ALPHA", "up.pat", "Up Path", "Here", "There");
        builder.AddService("ALPHA", "s1.srv", "Service One", "FREIGHT", "up");
        builder.AddActivity("ALPHA", "a1.act", "Morning Run", "s1.srv", QString());
    }
    ~ToolReportsTest() override {
        SetUi(nullptr);
        ResetAppState();
    }

    // Sets or takes the owner's write permission of a file or folder below C:\ (given with "/").
    void SetWritable(const QString& relative, bool writable) {
        const QString host = drive.Host(relative);
        const auto write = QFile::WriteOwner | QFile::WriteUser;
        const auto permissions = QFile::permissions(host);
        ASSERT_TRUE(
            QFile::setPermissions(host, writable ? permissions | write : permissions & ~write));
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    FakeUi ui;
    ReportPane pane;
};

TEST_F(ToolReportsTest, Statistics_CountsBothFoldersAndTheirSums) {
    const QString sep = QLocale().groupSeparator();
    EXPECT_EQ(StatisticsNumberText(1234567), "  1" + sep + "234" + sep + "567");
    EXPECT_EQ(StatisticsNumberText(0), "          0");

    // Stored activities of a route in use: the store holds no route file of ALPHA, and no TRAINS.
    builder.AddActivity("ALPHA", "a2.act", "Evening Run", "s1.srv", QString(), {}, Into::Store);
    builder.AddPath("BETA", "b.pat", "B Path", "East", "West", true, Into::Store);
    int repaints = 0;
    WriteStatistics(&pane, [&] { ++repaints; });
    QStringList expected = {"", "Quarvel Statistics", ""};
    const int counts[3][7] = {{1, 1, 1, 1, 1, 1, 1}, {1, 1, 0, 1, 0, 0, 0}, {2, 2, 1, 2, 1, 1, 1}};
    const char* titles[] = {"In Use", "In Store", "Totals"};
    const char* labels[] = {"Routes", "Activities", "Services", "Paths", "Consists"};
    for (int s = 0; s < 3; ++s) {
        if (s > 0)
            expected << "";
        expected << QStringLiteral("\t") + titles[s];
        for (int i = 0; i < 5; ++i)
            expected << QStringLiteral("\t\t%1:\t").arg(labels[i]) +
                            StatisticsNumberText(counts[s][i]);
        expected << "\t\tStock Items:"
                 << "\t\t    Engines:\t" + StatisticsNumberText(counts[s][5])
                 << "\t\t    Wagons:\t" + StatisticsNumberText(counts[s][6])
                 << "\t\t    Total:\t" + StatisticsNumberText(counts[s][5] + counts[s][6]);
    }
    EXPECT_EQ(pane.Lines(), expected);
    EXPECT_TRUE(pane.IsHeading(1) && pane.IsBold(3) && pane.IsBold(14) && !pane.IsBold(4));
    EXPECT_TRUE(pane.FixedPitch());
    // Once on the empty pane, once with the first section before the store is counted.
    EXPECT_EQ(repaints, 2);
}

TEST_F(ToolReportsTest, CheckAttributes_FindsReadOnlyFilesAndFoldersMstsFolderFirst) {
    drive.MakeFile("STORE/Stock/b.wag");
    drive.MakeFile("MSTS/Extra/a.con");
    const struct {
        QStringList readOnly; // below C:\, with "/"
        QStringList reported; // the paths named in the pane
    } cases[] = {
        {{}, {}},
        {{"MSTS/Extra/a.con"}, {"C:\\MSTS\\Extra\\a.con"}},
        {{"MSTS/Extra"}, {"C:\\MSTS\\Extra"}},
        {{"STORE/Stock"}, {"C:\\STORE\\Stock"}},
        // The store is not looked at once the MSTS folder has failed.
        {{"STORE/Stock/b.wag", "MSTS/Extra"}, {"C:\\MSTS\\Extra"}},
    };
    for (const auto& c : cases) {
        ClearReport(TheMainServices().InformationMemo());
        const std::size_t boxes = ui.Shown().size();
        for (const QString& entry : c.readOnly)
            SetWritable(entry, false);
        EXPECT_EQ(CheckInstallationAttributes(), c.reported.isEmpty());
        const QStringList named =
            TheMainServices()
                .InformationMemo()
                ->Lines()
                .filter("File/Path: '")
                .replaceInStrings(QRegularExpression("^File/Path: '(.*)' Attr. Code '\\d+'$"),
                                  "\\1");
        EXPECT_EQ(named, c.reported);
        EXPECT_EQ(ui.Shown().size() - boxes, c.reported.isEmpty() ? 0u : 1u);
        if (!c.reported.isEmpty()) {
            EXPECT_TRUE(ui.Shown().back().text.startsWith("Folder/Files were found with R-O"));
        }
        for (const QString& entry : c.readOnly)
            SetWritable(entry, true);
    }
}

TEST_F(ToolReportsTest, WhereUsedOfAPath_BeginsWithThePathsReport) {
    ItemSet path{0, PT_EXPLORE_PATH, 1, "Up Path", "ROUTES\\ALPHA\\PATHS", "up.pat", {}, {}};
    ReportPane alone;
    ShowItemInfo(path, &alone);
    WhereUsedItem(path, &pane);
    const QStringList lines = pane.Lines();
    ASSERT_GT(lines.size(), alone.LineCount());
    EXPECT_EQ(lines.mid(0, alone.LineCount()), alone.Lines());
    // Found by its route folder and file name: its service is a user.
    EXPECT_TRUE(lines.mid(alone.LineCount()).join('\n').contains("s1"));
    EXPECT_FALSE(App().Busy);
}

} // namespace
} // namespace qv
