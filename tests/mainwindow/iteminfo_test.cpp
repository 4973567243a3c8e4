// The item information report as the pane shows it, its lines joined with "|", on a synthetic
// installation: routes with their TSECTION.DAT block, paths, activities, consists and stock.
#include "mainwindow/iteminfo.h"

#include "catalogue/cacherebuild.h"
#include "catalogue/pathrecords.h"
#include "core/appstate.h"
#include "core/reportpane.h"
#include "engine/tsectionsettings.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/winfind.h"
#include "platform/winfs.h"

#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>

// Failures show both texts as text.
#define EXPECT_TEXT(actual, expected)                                                              \
    EXPECT_EQ(QString(actual).toStdString(), QString(expected).toStdString())

namespace qv {
namespace {

class ItemInfoTest : public ::testing::Test {
protected:
    ItemInfoTest() {
        ResetAppState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        SetUi(&ui);
        builder.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel);
        builder.AddEngine("SHUNT", "SHUNT.ENG", "Shunter", EngineType::Diesel, false, false);
        builder.AddWagon("HOPPER", "HOPPER.WAG", "Hopper", WagonType::Freight, Into::Store);
        builder.AddConsist("FREIGHT.CON", "Freight One",
                           {{"DASH9", "DASH9", true},
                            {"HOPPER", "HOPPER"},
                            {"GONE", "GONE.WAG"},
                            {"HOPPER", "HOPPER"}});
        builder.AddConsist("NOCAB.CON", "No Cab",
                           {{"SHUNT", "SHUNT", true}, {"DASH9", "DASH9", true}});
        builder.AddRoute("ALPHA", "Alpha Line", "A", {QStringLiteral("Hills."), false, {}});
        builder.AddPath("ALPHA", "up.pat", "Up Path", "Here", "There");
        builder.AddPath("ALPHA", "down.pat", "Down Path", "There", "Here");
        builder.AddPath("ALPHA", "ai.pat", "AI Path", "Yard", "Mine", false, Into::Store);
        builder.AddService("ALPHA", "s1.srv", "Service One", "FREIGHT", "up");
        builder.AddService("ALPHA", "s3.srv", "Service Three", "FREIGHT", "down");
    }
    ~ItemInfoTest() override {
        SetUi(nullptr);
        ResetAppState();
    }

    QString Text(std::uint32_t kind, const QString& folder, const QString& file) {
        ItemSet item{0, kind, 0, QStringLiteral("Listed"), folder, file, {}, {}};
        ShowItemInfo(item, &pane);
        return pane.Lines().join(u'|');
    }
    // The stock and consist caches, without lot numbers.
    static void RebuildCaches() {
        RecordList<ItemSet> stock, consists;
        RebuildStockCache(stock, false, nullptr);
        RebuildConsistCache(consists, false, nullptr);
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    FakeUi ui;
    ReportPane pane;
};

TEST_F(ItemInfoTest, NameWithFileName_FollowsItsFourRules) {
    EXPECT_TEXT(NameWithFileName("Loco", "loco.eng"), "Loco");
    EXPECT_TEXT(NameWithFileName("Loco A", "LOCO_A.ENG"), "Loco A     (LOCO_A.ENG)");
    EXPECT_TEXT(NameWithFileName("0", "x.srv"), "x.srv");
    EXPECT_TEXT(NameWithFileName("Any", "0"), "");
}

TEST_F(ItemInfoTest, HeadingsAndUnknownKinds_LeaveOneEmptyLine) {
    pane.AddLine(QStringLiteral("left over"));
    for (std::uint32_t kind : {PT_GLOBAL, PT_ROUTES_ROOT, PT_HEADING | PT_PATH, PT_SERVICE})
        EXPECT_TEXT(Text(kind, QString(), QString()), "") << kind;
}

TEST_F(ItemInfoTest, Route_ShowsItsOwnOrTheDefaultTsectionBlock) {
    const QString file = QStringLiteral("C:\\MSTS\\GLOBAL\\TSECTION.DAT");
    const QString tail =
        "    Description: Mine|    Action When Unstoring:|        Simulation Mode:|"
        "            Use this  specific File|        Maintenance Mode:|"
        "            Unknown||Hills.|";
    const struct {
        const char* name;
        int build;          // -1 no build line in the file, -2 no file
        std::uint32_t kind; // whose specification: PT_ROUTE, PT_GLOBAL, 0 none
        QString block;
    } cases[] = {
        {"own", 120, PT_ROUTE,
         "TSECTION.DAT (Specified):|    File Name: " + file +
             "|    Build: (Build 00120) (05 Mar 2024   02:07 PM)|" + tail},
        {"default", -1, PT_GLOBAL,
         "TSECTION.DAT (System Default):|    File Name: " + file +
             "|    Build: (05 Mar 2024   02:07 PM)|" + tail},
        {"unreadable", -2, PT_ROUTE,
         "TSECTION.DAT (Specified):|    File Name: " + file + "|" + tail},
        {"none", 120, 0, "Hills.|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::uint32_t kind : {PT_ROUTE, PT_GLOBAL}) {
            RouteInfo record;
            record.PType = kind;
            record.Folder = QStringLiteral("Routes\\ALPHA");
            // An action index outside the list, as a hand-edited store file may hold.
            record.TSectionFileName = kind == c.kind ? file : QString();
            record.TSectionDescription = QStringLiteral("Mine");
            record.TSectionSimulation = 1;
            record.TSectionMaintenance = 7;
            WriteTsectionSettings(record);
        }
        QFile::remove(drive.Host(QStringLiteral("MSTS/GLOBAL/TSECTION.DAT")));
        if (c.build > -2) {
            builder.WriteTsection(c.build);
            SetFileAge(file, PackDosDateTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7))));
        }
        const std::size_t boxes = ui.Shown().size();
        EXPECT_TEXT(Text(PT_ROUTE, "ROUTES\\ALPHA", "A.trk"),
                    "|Alpha Line||Folder: ALPHA|Route ID:  A|File Name: A.trk||" + c.block);
        EXPECT_TRUE(pane.IsHeading(1));
        // The build reader tells the user itself about a file it cannot open.
        EXPECT_EQ(ui.Shown().size() - boxes, c.build == -2 ? 1u : 0u);
    }
    EXPECT_TEXT(Text(PT_ROUTE, "ROUTES\\GONE", "G.trk"), "");
}

TEST_F(ItemInfoTest, Path_ShowsItsEndsAndWhetherItIsDriveable) {
    const QString head = "|%1||Folder:   ROUTES\\ALPHA\\PATHS||File Name: %2||";
    EXPECT_TEXT(Text(PT_EXPLORE_PATH, "ROUTES\\ALPHA\\PATHS", "up.pat"),
                head.arg("Up Path", "up.pat") + "From: Here|To: There||Driveable||");
    EXPECT_TEXT(Text(PT_MAINT_PATH, "ROUTES\\ALPHA\\PATHS", "ai.pat"),
                head.arg("AI Path", "ai.pat") + "From: Yard|To: Mine||");
    EXPECT_TEXT(Text(PT_PATH, "ROUTES\\ALPHA\\PATHS", "gone.pat"), head.arg("Listed", "gone.pat"));
}

TEST_F(ItemInfoTest, Activity_ListsEachServiceConsistAndLooseVehicleOnce) {
    RebuildCaches();
    const auto header = [](const QString& weather) {
        return "|Morning Run||File Name: a1.act||Description:|Take the coal down.||"
               "Locomotive: Dash 9|Consist: Freight One|Starting at: Here|Starting: 14:05|"
               "Heading towards: There|Season: Summer|Weather: " +
               weather +
               "|Difficulty Level: Medium|Duration: 01:30||Briefing:|Mind the curve.||"
               "Player Service:|    Service One     (s1.srv)||";
    };
    const QString serviceOne = "    Service One     (s1.srv)|        Consist: Freight One     "
                               "(FREIGHT.con)|        Path: Up Path     (up.pat)|"
                               "            (Here --> There)||";
    const QString consistsAndLoose =
        "|Consist Details:|    Freight One     (FREIGHT.con)|        Dash 9     (DASH9\\DASH9.ENG)|"
        "        Hopper     (HOPPER\\HOPPER.WAG)|             (GONE\\GONE.WAG)|"
        "        Hopper     (HOPPER\\HOPPER.WAG)|||Loose Stock:|    Hopper     "
        "(HOPPER\\HOPPER.WAG)|";
    // The player service is named by the traffic too, s1 and s3 share a consist, and s2 cannot
    // be read: it shows empty texts, not its neighbour's.
    const QString withTraffic =
        "Traffic:|    Daily Traffic     (t1.trf)|        Service Pattern:|"
        "            Service One     (s1.srv)|            s2.srv|            Service Three     "
        "(s3.srv)||Service Details:|" +
        serviceOne +
        "    s2.srv|        Consist: |        Path: |            ( --> )||    Service Three     "
        "(s3.srv)|        Consist: Freight One     (FREIGHT.con)|        Path: Down Path     "
        "(down.pat)|            (There --> Here)||" +
        consistsAndLoose;
    const struct {
        const char* name;
        Into into; // the activity and its traffic file
        bool traffic;
        int weather;
        QString expected;
    } cases[] = {
        {"traffic", Into::Msts, true, 2, header("Rain") + withTraffic},
        {"stored with traffic", Into::Store, true, 0, header("Clear") + withTraffic},
        {"no traffic", Into::Msts, false, 9,
         header("Unknown") + "Service Details:|" + serviceOne + consistsAndLoose},
    };
    // After the first case the scenario cache holds the activity's section, which keeps none of
    // the header's texts.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        builder.AddTraffic("ALPHA", "t1.trf", "Daily Traffic", {"s1", "s2", "s3"}, c.into);
        ActivityPlan plan;
        plan.route = "ALPHA";
        plan.file = "a1.act";
        plan.name = "Morning Run";
        plan.playerService = "s1.srv";
        plan.traffic = c.traffic ? "t1.trf" : "";
        plan.looseConsists = {{"Loose", {{"HOPPER", "HOPPER"}}}};
        plan.description = "Take the coal down.";
        plan.briefing = "Mind the curve.";
        plan.startTime = "14 5 0";
        plan.weather = c.weather;
        plan.into = c.into;
        builder.AddActivity(plan);
        EXPECT_TEXT(
            Text(PT_ACTIVITY, builder.RouteSubFolder("ALPHA", "ACTIVITIES", c.into), "a1.act"),
            c.expected);
        for (const char* file : {"ACTIVITIES\\a1.act", "TRAFFIC\\t1.trf"})
            QFile::remove(builder.HostPath("ROUTES\\ALPHA\\" + QString(file), c.into));
    }
    EXPECT_TEXT(Text(PT_ACTIVITY, "ROUTES\\ALPHA\\ACTIVITIES", "gone.act"), "Service Details:||");
}

TEST_F(ItemInfoTest, ActivityWithoutOrWithAnOutsidePlayerService_ListsNoService) {
    builder.WriteMstsFile("ROUTES\\ALPHA\\ACTIVITIES\\bare.act", "a0t",
                          {"Tr_Activity (", "\tTr_Activity_Header (", "\t\tName ( Bare )", "\t)",
                           "\tTr_Activity_File (", "\t)", ")"},
                          MstsFileKind::Activity);
    const QString bare = Text(PT_ACTIVITY, "ROUTES\\ALPHA\\ACTIVITIES", "bare.act");
    EXPECT_TEXT(bare.mid(bare.indexOf("Player")), "Player Service:|    ||Service Details:||");

    // A service that climbs out of the MSTS folder is not followed.
    builder.AddService("ALPHA", "s9.srv", "Outside", "FREIGHT", "up");
    QFile::rename(builder.HostPath("ROUTES\\ALPHA\\SERVICES\\s9.srv"), drive.Host("s9.srv"));
    builder.AddActivity("ALPHA", "a9.act", "Escape", "..\\..\\..\\..\\s9.srv", QString());
    const QString escape = Text(PT_ACTIVITY, "ROUTES\\ALPHA\\ACTIVITIES", "a9.act");
    EXPECT_TEXT(escape.mid(escape.indexOf("Player")), "Player Service:|    ||Service Details:||");
}

TEST_F(ItemInfoTest, ConsistAndStock_ShowKindWarningsLotContentsAndAliases) {
    builder.AddConsist("OTHER.CON", "Misnamed", {{"DASH9", "DASH9", true}});
    QFile::copy(builder.HostPath("TRAINS\\CONSISTS\\OTHER.con"),
                drive.Host("MSTS/TRAINS/CONSISTS/MISNAMED.con"));
    // An engine whose cab view lies in another engine's folder.
    builder.WriteMstsFile("TRAINS\\TRAINSET\\BORROW\\BORROW.ENG", "D0t",
                          {"Wagon ( BORROW", "\tType ( Engine )", ")", "Engine ( BORROW",
                           "\tType ( Electric )", "\tCabView ( ..\\..\\DASH9\\CABVIEW\\DASH9.cvf )",
                           "\tName ( Borrower )", "\tDescription ( \"One\\nTwo\" )", ")"},
                          MstsFileKind::Engine);
    RebuildCaches();
    App().CurrentLotNumber = QStringLiteral("17");
    builder.AddConsist("LOT.CON", "Lot Train", {{"SHUNT", "SHUNT", true}}, Into::Store);
    const QString dash9 = "    Dash 9     (DASH9\\DASH9.ENG)|";
    const struct {
        std::uint32_t kind;
        const char* file;
        QString expected;
    } cases[] = {
        {PT_CONSIST, "FREIGHT.con",
         "|Freight One||File Name: FREIGHT.con||Type: Freight, Diesel, Driveable||Locomotive Name: "
         "Dash 9||Contents:|" +
             dash9 +
             "    Hopper     (HOPPER\\HOPPER.WAG)|    Unknown     (GONE\\GONE.WAG)|"
             "    Hopper     (HOPPER\\HOPPER.WAG)|"},
        {PT_EXPLORE_CONSIST, "NOCAB.con",
         "|No Cab||File Name: NOCAB.con||Type: Light Engine, Diesel, Driveable||Locomotive Name: "
         "Shunter (** No CabView **)||Contents:|    Shunter     (SHUNT\\SHUNT.ENG)|" +
             dash9},
        {PT_MAINT_CONSIST, "MISNAMED.con",
         "|Misnamed||File Name: MISNAMED.con||Type: Light Engine, Diesel, Driveable||Locomotive "
         "Name: Dash 9 (** 'TrainCfg' Error **)||Contents:|" +
             dash9},
        {PT_CONSIST, "LOT.con",
         "|Lot Train||File Name: LOT.con||Type: Light Engine, Diesel||Locomotive Name: Shunter||"
         "Q.V. Lot Number: 17||Contents:|    Shunter     (SHUNT\\SHUNT.ENG)|"},
        {PT_CONSIST, "GONE.con", "|Listed||File Name: GONE.con||"},
        {PT_STOCK, "SHUNT\\SHUNT.ENG",
         "|Shunter||Folder:   SHUNT||File Name: SHUNT.ENG||Type: Engine, Diesel, AI Loco.||"
         "Description: Diesel engine Shunter||"},
        {PT_MAINT_STOCK, "HOPPER\\HOPPER.WAG",
         "|Hopper||Folder:   HOPPER||File Name: HOPPER.WAG||Type: Freight||Description: ||"},
        {PT_STOCK, "BORROW\\BORROW.ENG",
         "|Borrower||Folder:   BORROW||File Name: BORROW.ENG||Type: Engine, Electric, Driveable||"
         "Description: One|Two||Alias Folders Used:||    DASH9\\CABVIEW|"},
        {PT_STOCK, "GONE\\GONE.WAG", "|Listed||Folder:   GONE||File Name: GONE.WAG||"},
    };
    for (const auto& c : cases)
        EXPECT_TEXT(Text(c.kind, "TRAINS\\TRAINSET", c.file), c.expected) << c.file;
}

} // namespace
} // namespace qv
