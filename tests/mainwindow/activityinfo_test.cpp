// The activity section of the item information report, line by line: the header and start, the
// traffic's service pattern, the services, consists and loose stock each once and in order.
#include "mainwindow/iteminfo.h"

#include "catalogue/cacherebuild.h"
#include "core/appstate.h"
#include "core/itemset.h"
#include "core/reportpane.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QFile>
#include <gtest/gtest.h>

// Failures show texts as text.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace qv {
namespace {

class ActivityInfoTest : public ::testing::Test {
protected:
    ActivityInfoTest() {
        ResetAppState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        SetUi(&ui);
        builder.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel);
        builder.AddWagon("HOPPER", "HOPPER.WAG", "Hopper", WagonType::Freight);
        builder.AddConsist("FREIGHT.CON", "Freight One",
                           {{"DASH9", "DASH9", true, false},
                            {"HOPPER", "HOPPER", false, false},
                            {"HOPPER", "HOPPER", false, false}});
        builder.AddConsist("PAX.CON", "Passenger Two", {{"DASH9", "DASH9", true, false}});
        builder.AddRoute("ALPHA", "Alpha Line", "A");
        builder.AddPath("ALPHA", "up.pat", "Up Path", "Here", "There");
        builder.AddPath("ALPHA", "down.pat", "Down Path", "There", "Here");
        builder.AddService("ALPHA", "s1.srv", "Service One", "FREIGHT", "up");
        builder.AddService("ALPHA", "s3.srv", "Service Three", "FREIGHT", "down");
        builder.AddService("ALPHA", "s4.srv", "s4", "PAX", "up");
    }
    ~ActivityInfoTest() override {
        SetUi(nullptr);
        ResetAppState();
    }

    QStringList Report(const QString& file, Into into = Into::Msts) {
        ItemSet item;
        item.PType = PT_ACTIVITY;
        item.Folder =
            builder.RouteSubFolder(QStringLiteral("ALPHA"), QStringLiteral("ACTIVITIES"), into);
        item.FileName = file;
        ShowItemInfo(item, &pane);
        return pane.Lines();
    }

    static void RebuildCaches() {
        RecordList<ItemSet> stock;
        RecordList<ItemSet> consists;
        RebuildStockCache(stock, false, nullptr);
        RebuildConsistCache(consists, false, nullptr);
    }

    // Morning Run of route ALPHA: player service s1, loose stock HOPPER.
    static ActivityPlan MorningRun() {
        ActivityPlan plan;
        plan.route = QStringLiteral("ALPHA");
        plan.file = QStringLiteral("a1.act");
        plan.name = QStringLiteral("Morning Run");
        plan.playerService = QStringLiteral("s1.srv");
        plan.description = QStringLiteral("Take the coal down.");
        plan.briefing = QStringLiteral("Mind the curve.");
        plan.startTime = QStringLiteral("14 5 0");
        plan.looseConsists = {{QStringLiteral("Loose"), {{"HOPPER", "HOPPER", false, false}}}};
        return plan;
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    FakeUi ui;
    ReportPane pane;
};

// The header of "Morning Run" down to the player service's empty line.
QStringList Header(const QString& loco, const QString& consist, const QString& season,
                   const QString& weather, const QString& difficulty) {
    return {"",
            "Morning Run",
            "",
            "File Name: a1.act",
            "",
            "Description:",
            "Take the coal down.",
            "",
            "Locomotive: " + loco,
            "Consist: " + consist,
            "Starting at: Here",
            "Starting: 14:05",
            "Heading towards: There",
            "Season: " + season,
            "Weather: " + weather,
            "Difficulty Level: " + difficulty,
            "Duration: 01:30",
            "",
            "Briefing:",
            "Mind the curve.",
            "",
            "Player Service:",
            "    Service One     (s1.srv)",
            ""};
}

const QStringList kPattern = {"Traffic:",
                              "    Daily Traffic     (t1.trf)",
                              "        Service Pattern:",
                              "            Service One     (s1.srv)",
                              "            s2.srv",
                              "            Service Three     (s3.srv)",
                              ""};

const QStringList kServiceOne = {
    "    Service One     (s1.srv)", "        Consist: Freight One     (FREIGHT.con)",
    "        Path: Up Path     (up.pat)", "            (Here --> There)", ""};

const QStringList kFreightDetails = {"Consist Details:",
                                     "    Freight One     (FREIGHT.con)",
                                     "        Dash 9     (DASH9\\DASH9.ENG)",
                                     "        Hopper     (HOPPER\\HOPPER.WAG)",
                                     "        Hopper     (HOPPER\\HOPPER.WAG)",
                                     "",
                                     ""};

TEST_F(ActivityInfoTest, Activity_ListsEachServiceAndConsistOnceInFileOrder) {
    const QStringList serviceDetails =
        QStringList{"Service Details:"} + kServiceOne +
        QStringList{// A service that cannot be read shows empty texts, not its neighbour's.
                    "    s2.srv",
                    "        Consist: ",
                    "        Path: ",
                    "            ( --> )",
                    "",
                    "    Service Three     (s3.srv)",
                    "        Consist: Freight One     (FREIGHT.con)",
                    "        Path: Down Path     (down.pat)",
                    "            (There --> Here)",
                    "",
                    ""};
    const QStringList loose = {"Loose Stock:", "    Hopper     (HOPPER\\HOPPER.WAG)"};
    const struct {
        const char* name;
        Into activity;  // where the activity lies
        Into traffic;   // where its traffic file lies
        bool noTraffic; // the activity names no traffic
        int season;
        int weather;
        int difficulty;
        QStringList expected;
    } cases[] = {
        {"traffic in the MSTS folder", Into::Msts, Into::Msts, false, 1, 0, 1,
         Header("Dash 9", "Freight One", "Summer", "Clear", "Medium") + kPattern + serviceDetails +
             kFreightDetails + loose + QStringList{""}},
        {"stored activity with its traffic", Into::Store, Into::Store, false, 3, 2, 2,
         Header("Dash 9", "Freight One", "Winter", "Rain", "Hard") + kPattern + serviceDetails +
             kFreightDetails + loose + QStringList{""}},
        {"no traffic, indexes out of range", Into::Msts, Into::Msts, true, 9, -1, 3,
         Header("Dash 9", "Freight One", "Unknown", "Unknown", "Unknown") +
             QStringList{"Service Details:"} + kServiceOne + QStringList{""} + kFreightDetails +
             loose + QStringList{""}},
    };
    RebuildCaches();
    // The cases after the first find the activity's section in the scenario cache, which keeps
    // none of the header's texts.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        builder.AddTraffic("ALPHA", "t1.trf", "Daily Traffic", {"s1.srv", "s2.srv", "s3.srv"},
                           c.traffic);
        ActivityPlan plan = MorningRun();
        plan.traffic = c.noTraffic ? QString() : QStringLiteral("t1.trf");
        plan.season = c.season;
        plan.weather = c.weather;
        plan.difficulty = c.difficulty;
        plan.into = c.activity;
        builder.AddActivity(plan);
        EXPECT_EQ(Report("a1.act", c.activity), c.expected);
        QFile::remove(builder.HostPath(
            builder.RouteSubFolder("ALPHA", "ACTIVITIES", c.activity) + "\\a1.act", c.activity));
        QFile::remove(builder.HostPath(
            builder.RouteSubFolder("ALPHA", "TRAFFIC", c.traffic) + "\\t1.trf", c.traffic));
    }
}

TEST_F(ActivityInfoTest, TwoServicesOnOneConsist_GiveOneConsistEntry) {
    builder.AddTraffic("ALPHA", "t1.trf", "Daily Traffic", {"s3.srv", "s4.srv"});
    ActivityPlan plan = MorningRun();
    plan.traffic = QStringLiteral("t1.trf");
    plan.looseConsists.clear();
    builder.AddActivity(plan);
    const QStringList lines = Report("a1.act");
    const qsizetype details = lines.indexOf("Consist Details:");
    ASSERT_GE(details, 0);
    EXPECT_EQ(lines.mid(details),
              (QStringList{"Consist Details:", "    Freight One     (FREIGHT.con)",
                           "        Dash 9     (DASH9\\DASH9.ENG)",
                           "        Hopper     (HOPPER\\HOPPER.WAG)",
                           "        Hopper     (HOPPER\\HOPPER.WAG)", "",
                           "    Passenger Two     (PAX.con)",
                           "        Dash 9     (DASH9\\DASH9.ENG)", "", "", ""}));
}

TEST_F(ActivityInfoTest, ActivityWithoutPlayerService_ListsNoService) {
    builder.WriteMstsFile(builder.RouteSubFolder("ALPHA", "ACTIVITIES") + "\\bare.act", "a0t",
                          {"Tr_Activity (", "\tTr_Activity_Header (", "\t\tName ( \"Bare\" )",
                           "\t\tSeason ( 2 )", "\t)", "\tTr_Activity_File (", "\t)", ")"},
                          MstsFileKind::Activity);
    const QStringList lines = Report("bare.act");
    const qsizetype player = lines.indexOf("Player Service:");
    ASSERT_GE(player, 0);
    EXPECT_EQ(lines.at(1), "Bare");
    EXPECT_TRUE(lines.contains("Season: Autumn"));
    EXPECT_EQ(lines.mid(player),
              (QStringList{"Player Service:", "    ", "", "Service Details:", "", ""}));
}

TEST_F(ActivityInfoTest, UnreadableActivity_GivesOnlyTheServiceDetailsHeading) {
    EXPECT_EQ(Report("gone.act"), (QStringList{"Service Details:", "", ""}));
}

} // namespace
} // namespace qv
