#include "engine/survey.h"

#include "catalogue/itemfiles.h"
#include "catalogue/namedlists.h"
#include "core/comparetext.h"
#include "core/regsettings.h"
#include "core/storeini.h"
#include "engine/surveychecks.h"
#include "engine/surveytestkit.h"
#include "fixtures/markingtranslator.h"
#include "platform/winfs.h"

#include <QDir>
#include <QFile>

using namespace qv;

namespace {

const QString kAlphaPaths = QStringLiteral("routes\\alpha\\paths\\");
const QString kAlphaServices = QStringLiteral("routes\\alpha\\services\\");
const QString kAlphaActivities = QStringLiteral("routes\\alpha\\activities\\");

class SurveyTest : public SurveyTestKit {
protected:
    // Route ALPHA: activity a1 drives s1 (FREIGHT on up) with traffic t1 running s2 (PAX on
    // down). Route BETA: activity b1 drives b1 (PAX on b). Everything in the MSTS folder.
    void BuildBase() {
        AddFixedObjects();
        builder.AddEngine("DASH9", "DASH9.ENG", "DASH9", EngineType::Diesel);
        builder.AddEngine("GP38", "GP38.ENG", "GP38", EngineType::Diesel);
        builder.AddWagon("BOX", "BOX.WAG", "BOX", WagonType::Freight);
        builder.AddWagon("COACH", "COACH.WAG", "COACH", WagonType::Passenger);
        builder.AddConsist("FREIGHT.CON", "FREIGHT", {{"DASH9", "DASH9", true}, {"BOX", "BOX"}});
        builder.AddConsist("PAX.CON", "PAX", {{"GP38", "GP38", true}, {"COACH", "COACH"}});
        alphaFile = builder.AddRoute("ALPHA", "Alpha Line", "A");
        builder.AddPath("ALPHA", "up.pat", "up", "Here", "There");
        builder.AddPath("ALPHA", "down.pat", "down", "There", "Here");
        builder.AddService("ALPHA", "s1.srv", "s1", "FREIGHT", "up");
        builder.AddService("ALPHA", "s2.srv", "s2", "PAX", "down");
        builder.AddTraffic("ALPHA", "t1.trf", "t1", {"s2.srv"});
        a1File = builder.AddActivity("ALPHA", "a1.act", "Morning", "s1.srv", "t1.trf");
        builder.AddRoute("BETA", "Beta Line", "B");
        builder.AddPath("BETA", "b.pat", "b", "X", "Y");
        builder.AddService("BETA", "b1.srv", "b1", "PAX", "b");
        builder.AddActivity("BETA", "b1.act", "Beta Run", "b1.srv", QString());
    }
    // Activity a2 (stored) drives s3 (stored, PAX) on ALPHA's path up; activity a3 (stored)
    // drives s4 on its own stored path, which nothing in use shares.
    void AddStoredAlphaActivities() {
        builder.AddService("ALPHA", "s3.srv", "s3", "PAX", "up", Into::Store);
        builder.AddActivity("ALPHA", "a2.act", "Shared Path", "s3.srv", QString(), {}, Into::Store);
        builder.AddPath("ALPHA", "other.pat", "other", "A", "B", true, Into::Store);
        builder.AddService("ALPHA", "s4.srv", "s4", "PAX", "other", Into::Store);
        a3File = builder.AddActivity("ALPHA", "a3.act", "Elsewhere", "s4.srv", QString(), {},
                                     Into::Store);
    }
    int CountInPane(Msg key) {
        return int(PaneText().count(QString(Caption(key)).replace(u'\r', u'\n')));
    }

    QString alphaFile;
    QString a1File;
    QString a3File;
};

TEST_F(SurveyTest, Store_CollectsWhatTheRoutesInUseNeedAndKeepsFixedObjects) {
    BuildBase();
    builder.AddEngine("SPARE", "SPARE.ENG", "SPARE", EngineType::Electric);
    RegWriteString(kExclusionFoldersKey, "8", "TRAINS\\TRAINSET\\SHARED");
    RegWriteString(kExclusionFilesKey, "9", "TRAINS\\TRAINSET\\SPARE\\SPARE.ENG");
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);

    EXPECT_FALSE(RunSurvey(false));
    EXPECT_EQ(Lower(lists.A), QStringList{alphaFile.toLower()});
    EXPECT_EQ(Lower(lists.B), QStringList{kAlphaActivities + "a1.act"});
    EXPECT_EQ(Lower(lists.C), QStringList({kAlphaServices + "s1.srv", kAlphaServices + "s2.srv"}));
    EXPECT_EQ(Lower(lists.D), QStringList({kAlphaPaths + "down.pat", kAlphaPaths + "up.pat"}));
    EXPECT_EQ(Lower(lists.E), QStringList({"freight.con", "pax.con"}));
    EXPECT_EQ(Lower(lists.G),
              QStringList({"box\\box.wag", "coach\\coach.wag", "dash9\\dash9.eng",
                           "default\\default.wag", "gp38\\gp38.eng", "spare\\spare.eng"}));
    EXPECT_EQ(Lower(lists.F),
              QStringList({"box", "coach", "dash9", "default", "gp38", "shared", "spare"}));
    EXPECT_TRUE(lists.H.IsEmpty()) << lists.H.Text().toStdString();
    EXPECT_EQ(CountInPane(Msg::REPORT_ERROR_HEADER), 0) << PaneText().toStdString();
    EXPECT_TRUE(App().Busy);
}

TEST_F(SurveyTest, Store_MissingServiceConsistAndStockAreErrorsListedAndDropped) {
    BuildBase();
    builder.AddConsist("FREIGHT.CON", "FREIGHT",
                       {{"DASH9", "DASH9", true}, {"BOX", "BOX"}, {"GONE", "GONE"}});
    builder.AddService("ALPHA", "s2.srv", "s2", "GHOST", "down");
    builder.AddActivity("ALPHA", "a5.act", "No Service", "ghost.srv", QString());
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);

    EXPECT_TRUE(RunSurvey(false));
    const QStringList errors = Lower(lists.H);
    EXPECT_TRUE(errors.contains("ghost.con")) << errors.join(u' ').toStdString();
    EXPECT_TRUE(errors.contains("gone\\gone.wag"));
    EXPECT_TRUE(errors.contains(kAlphaServices + "ghost.srv"));
    EXPECT_FALSE(Lower(lists.G).contains("gone\\gone.wag"));
    EXPECT_FALSE(Lower(lists.C).contains(kAlphaServices + "ghost.srv"));
    EXPECT_TRUE(PaneText().contains("File: 'GONE\\GONE.WAG'", Qt::CaseInsensitive));
}

TEST_F(SurveyTest, Store_LeadEngineWithoutCabViewWarnsAndListsEngineThenConsist) {
    BuildBase();
    builder.AddEngine("SLUG", "SLUG.ENG", "SLUG", EngineType::Diesel, false);
    builder.AddConsist("SLUGSET.CON", "SLUGSET",
                       {{"SLUG", "SLUG", true}, {"DASH9", "DASH9", true}, {"BOX", "BOX"}});
    builder.AddService("ALPHA", "s2.srv", "s2", "SLUGSET", "down");
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);

    EXPECT_FALSE(RunSurvey(false)) << "warnings alone are no error";
    EXPECT_EQ(CountInPane(Msg::DRIVEABLE_NO_CABVIEW), 1) << PaneText().toStdString();
    EXPECT_EQ(lists.H.Count(), 2);
    EXPECT_TRUE(Lower(lists.H).contains("slug\\slug.eng"));
    EXPECT_TRUE(Lower(lists.H).contains("slugset.con"));

    WriteFlag(true, "Suppress Warnings");
    EXPECT_FALSE(RunSurvey(false));
    EXPECT_TRUE(lists.H.IsEmpty());
    EXPECT_EQ(CountInPane(Msg::DRIVEABLE_NO_CABVIEW), 0);
}

TEST_F(SurveyTest, Survey_RouteWithoutDriveablePathIsAnErrorAndARouteWithoutFileIsLeftOut) {
    BuildBase();
    builder.AddRoute("GAMMA", "Gamma Line", "G");
    builder.AddPath("GAMMA", "yard.pat", "yard", "A", "B", false);
    builder.AddService("GAMMA", "g1.srv", "g1", "FREIGHT", "yard");
    builder.AddActivity("GAMMA", "g1.act", "Yard", "g1.srv", QString());
    const QString deltaFile = builder.AddRoute("DELTA", "Delta Line", "D");
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);
    ASSERT_TRUE(QFile::remove(builder.HostPath(deltaFile)));

    EXPECT_TRUE(RunSurvey(false));
    EXPECT_EQ(CountInPane(Msg::DO_NOT_ALLOWED_TAG1_2), 1) << PaneText().toStdString();
    EXPECT_TRUE(PaneText().contains("Route: 'Gamma Line'"));
    EXPECT_FALSE(PaneText().contains("Delta"));
    EXPECT_FALSE(Lower(lists.A).join(u' ').contains("delta"));
    EXPECT_TRUE(lists.H.IsEmpty()) << "a route without a driveable path has no error-list entry";
}

TEST_F(SurveyTest, Survey_EveryPathMissingReportsNoPathOnceAndSuppressWarningsKeepsPathsOffH) {
    BuildBase();
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);
    ASSERT_TRUE(QFile::remove(builder.HostPath("ROUTES\\ALPHA\\PATHS\\up.pat")));
    ASSERT_TRUE(QFile::remove(builder.HostPath("ROUTES\\ALPHA\\PATHS\\down.pat")));

    EXPECT_TRUE(RunSurvey(false));
    EXPECT_TRUE(lists.D.IsEmpty());
    EXPECT_EQ(CountInPane(Msg::DO_NOT_ALLOWED_TAG1_1), 1);
    EXPECT_EQ(CountInPane(Msg::DO_NOT_ALLOWED_TAG1_2), 1);
    EXPECT_EQ(Lower(lists.H), QStringList({kAlphaPaths + "down.pat", kAlphaPaths + "up.pat"}));

    WriteFlag(true, "Suppress Warnings");
    EXPECT_TRUE(RunSurvey(false));
    EXPECT_TRUE(lists.D.IsEmpty());
    EXPECT_TRUE(lists.H.IsEmpty());
}

TEST_F(SurveyTest, Unstore_WholeRouteBringsBackEveryActivityServicePathAndAskedForStock) {
    BuildBase();
    AddStoredAlphaActivities();
    builder.AddEngine("OLD", "OLD.ENG", "OLD", EngineType::Steam, true, true, Into::Store);
    builder.AddConsist("LONELY.CON", "LONELY", {{"OLD", "OLD", true}}, Into::Store);
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);
    ASSERT_EQ(ActivityNode("a2.act")->Data()->StoreInd, SI_IN_STORE);

    EXPECT_FALSE(RunSurvey(true, false, false, true, true)) << PaneText().toStdString();
    EXPECT_EQ(ActivityNode("a2.act")->Data()->StoreInd, SI_IN_USE);
    EXPECT_EQ(ActivityNode("a3.act")->Data()->StoreInd, SI_IN_USE);
    EXPECT_EQ(Lower(lists.B), QStringList({kAlphaActivities + "a1.act", kAlphaActivities + "a2.act",
                                           kAlphaActivities + "a3.act"}));
    EXPECT_EQ(Lower(lists.D), QStringList({kAlphaPaths + "down.pat", kAlphaPaths + "other.pat",
                                           kAlphaPaths + "up.pat"}));
    EXPECT_EQ(lists.C.Count(), 4);
    EXPECT_TRUE(Lower(lists.E).contains("lonely.con"));
    EXPECT_TRUE(Lower(lists.G).contains("old\\old.eng"));
    EXPECT_FALSE(Lower(lists.A).join(u' ').contains("beta"));
}

TEST_F(SurveyTest, UnstorePartialRoute_ClosureBringsInActivitiesSharingAPathWhateverTheSpelling) {
    BuildBase();
    AddStoredAlphaActivities();
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);
    // A saved scenario keeps the folder spelling it was saved with.
    ActivityNode("a2.act")->Data()->Folder = "ROUTES\\ALPHA\\ACTIVITIES";

    RegWriteString(kProductKey, "Max Unstore Iterations", "0");
    EXPECT_FALSE(RunSurvey(true, true));
    EXPECT_EQ(Lower(lists.B), QStringList{kAlphaActivities + "a1.act"});

    RegWriteString(kProductKey, "Max Unstore Iterations", "abc");
    EXPECT_FALSE(RunSurvey(true, true)) << PaneText().toStdString();
    EXPECT_EQ(Lower(lists.B),
              QStringList({kAlphaActivities + "a1.act", kAlphaActivities + "a2.act"}));
    EXPECT_TRUE(Lower(lists.C).contains(kAlphaServices + "s3.srv"));
    EXPECT_FALSE(Lower(lists.C).contains(kAlphaServices + "s4.srv"));
    EXPECT_EQ(ActivityNode("a2.act")->Data()->StoreInd, SI_IN_USE);
    EXPECT_EQ(ActivityNode("a3.act")->Data()->StoreInd, SI_IN_STORE);
}

TEST_F(SurveyTest, UnstorePartialRoute_ClosureStopsWhenAFoundActivityCannotBeBroughtIn) {
    BuildBase();
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);
    // Written after the tree was built: the closure finds it, but no node stands for it.
    builder.AddActivity("ALPHA", "late.act", "Late", "s1.srv", QString());
    int reads = 0;
    main.onStatus = [&reads](int panel, const QString& text) {
        if (panel == 1 && text.contains("late.act", Qt::CaseInsensitive))
            ++reads;
    };

    EXPECT_FALSE(RunSurvey(true, true));
    main.onStatus = nullptr;
    EXPECT_GT(reads, 0);
    EXPECT_LE(reads, 12) << "the closure went on round after round";
    EXPECT_FALSE(Lower(lists.B).contains(kAlphaActivities + "late.act"));
}

TEST_F(SurveyTest, UnstorePartialRoute_ClosureReadsThroughTheSurveysOwnScenarioCache) {
    BuildBase();
    AddStoredAlphaActivities();
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);
    // Both activities changed since the cache was written: the walk renews a1, the closure a3.
    const qint32 changed = (((2001 - 1980) << 9 | 2 << 5 | 3) << 16) | (10 << 11);
    const QString a1Path = "C:\\MSTS\\" + a1File;
    const QString a3Path = "C:\\STORE\\" + a3File;
    ASSERT_TRUE(SetFileAge(a1Path, changed));
    ASSERT_TRUE(SetFileAge(a3Path, changed));

    RunSurvey(true, true);
    auto cache = OpenStoreIni("CACHESCN.QVC");
    EXPECT_EQ(cache->Ini.ReadInteger(a1File, "FileDate", -1), changed);
    EXPECT_EQ(cache->Ini.ReadInteger(a3File, "FileDate", -1), changed);
}

TEST_F(SurveyTest, ExtendedActivityCache_OnlyAnInvalidPlayerPathIsReported) {
    App().ExtendedActivityCache = true;
    BuildBase();
    ActivityPlan lost;
    lost.route = "ALPHA";
    lost.file = "lost.act";
    lost.name = "Lost";
    lost.playerService = "s1.srv";
    lost.pathId = "nowhere";
    builder.AddActivity(lost);
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);

    EXPECT_FALSE(RunSurvey(false));
    EXPECT_EQ(CountInPane(Msg::INVALID_PATHID), 1) << PaneText().toStdString();
    EXPECT_TRUE(PaneText().contains("PathID 'nowhere.pat'"));
    EXPECT_TRUE(Lower(lists.D).contains(kAlphaPaths + "up.pat"));
}

TEST_F(SurveyTest, Checks_NameParameterOfPlayerPathIsAnErrorOfAiPathAWarning) {
    auto cache = OpenStoreIni("CACHEPAT.QVC");
    for (const char* path : {"Routes\\ALPHA\\PATHS\\up.pat", "Routes\\ALPHA\\PATHS\\down.pat"}) {
        cache->Ini.WriteInteger(path, "PType", int(PT_NAME_DIFFERS | PT_DRIVEABLE));
        cache->Ini.WriteString(path, "Name", "Renamed");
    }
    StringList paths = StringList::SortedUnique();
    paths.Add("ROUTES\\ALPHA\\PATHS\\up.pat");
    paths.Add("ROUTES\\ALPHA\\PATHS\\down.pat");
    paths.Add("ROUTES\\ALPHA\\PATHS\\plain.pat");
    StringList player = StringList::SortedUnique();
    player.Add("routes\\alpha\\paths\\UP.PAT");

    EXPECT_FALSE(CheckPathFileParameters(paths, player, *cache, main.InformationMemo()));
    EXPECT_EQ(CountInPane(Msg::REPORT_ERROR_HEADER), 1);
    EXPECT_EQ(CountInPane(Msg::REPORT_WARNING_HEADER), 1);
    EXPECT_EQ(CountInPane(Msg::LOAD_AI_PATH_ERROR_NOTIFY_LEG), 1);
    EXPECT_TRUE(PaneText().contains("File: 'up.pat'"));
}

// The twin route folders' message is one translated text, not English pieces.
TEST_F(SurveyTest, Checks_TwinRouteFoldersAreReportedInOneTextOfTheLanguageModule) {
    drive.MakeFolder("MSTS/Routes/BETA");
    drive.MakeFolder("MSTS/Routes/Beta");
    test::MarkingTranslator translator;
    StringList twins = StringList::SortedUnique();
    EXPECT_FALSE(CheckTwinRouteFolders(twins, main.InformationMemo()));
    EXPECT_TRUE(PaneText().contains("«The folder 'C:\\MSTS\\Routes\\Beta' stays where it is: MSTS "
                                    "cannot tell its name from\nFolder: 'C:\\MSTS\\Routes\\BETA'»"))
        << PaneText().toStdString();
}

TEST_F(SurveyTest, Checks_CountOtherActivityConsistsLeavesTheGivenConsistOut) {
    BuildBase();
    ItemSet activity;
    activity.Folder = "Routes\\ALPHA\\Activities";
    activity.FileName = "a1.act";
    EXPECT_EQ(CountOtherActivityConsists(activity, "freight.con"), 1);
    EXPECT_EQ(CountOtherActivityConsists(activity, "other.con"), 2);
    activity.FileName = "missing.act";
    EXPECT_EQ(CountOtherActivityConsists(activity, "freight.con"), -1);
}

} // namespace

namespace {

// The route's named lists: one active list of each kind, with one member each, all of them
// needed by nothing else. "Include Explore Paths" alone must bring only the Explore Mode path.
struct ListCase {
    const char* label;
    bool unstore;
    bool exploreConsists;
    bool explorePaths;
    int mainPage; // 0 the Easy page
    bool wantExploreConsist;
    bool wantExplorePath;
    bool wantMaintConsist;
    bool wantMaintPath;
    bool wantMaintStock;
};

const ListCase kListCases[] = {
    {"store, both", false, true, true, 1, true, true, false, false, false},
    {"store, paths only", false, false, true, 1, false, true, false, false, false},
    {"store, consists only", false, true, false, 1, true, false, false, false, false},
    {"store, neither", false, false, false, 1, false, false, false, false, false},
    {"store, Easy page", false, true, true, 0, false, false, false, false, false},
    {"unstore", true, true, true, 1, false, false, true, true, true},
};

class SurveyListTest : public SurveyTest, public ::testing::WithParamInterface<ListCase> {
protected:
    // Registers one active list of the kind in the route's ROUTE.QVC and writes its member.
    void AddList(const QString& route, std::uint32_t kind, const QString& file) {
        const QString id = RouteListSection(kind);
        auto reg = OpenStoreIni(route + "\\ROUTE.QVC");
        reg->Ini.WriteString(id, id, "12," + id);
        reg->Modified = true;
        ASSERT_TRUE(CloseStoreIni(std::move(reg)));
        RecordList<ItemSet> items;
        items.push_back(
            std::make_unique<ItemSet>(ItemSet{0, kind, 0, file, "Routes\\" + route, file, {}, {}}));
        ASSERT_TRUE(WriteItemListFile("Routes\\" + route, id + ".QVC", items));
    }
};

} // namespace

TEST_P(SurveyListTest, NamedListsOfTheRouteAreFollowedAsTheSettingsSay) {
    const ListCase& c = GetParam();
    BuildBase();
    builder.AddEngine("IDLE", "IDLE.ENG", "IDLE", EngineType::Diesel);
    builder.AddEngine("SPARE", "SPARE.ENG", "SPARE", EngineType::Diesel);
    builder.AddEngine("LOOSE", "LOOSE.ENG", "LOOSE", EngineType::Diesel);
    builder.AddConsist("XCON.CON", "XCON", {{"IDLE", "IDLE", true}});
    builder.AddConsist("MCON.CON", "MCON", {{"SPARE", "SPARE", true}});
    // Only in the store, so that an unstore of the whole route does not take them anyway.
    builder.AddPath("ALPHA", "xpath.pat", "xpath", "A", "B", true, Into::Store);
    builder.AddPath("ALPHA", "mpath.pat", "mpath", "A", "B", true, Into::Store);
    AddList("ALPHA", PT_EXPLORE_CONSIST, "XCON.CON");
    AddList("ALPHA", PT_EXPLORE_PATH, "xpath.pat");
    AddList("ALPHA", PT_MAINT_CONSIST, "MCON.CON");
    AddList("ALPHA", PT_MAINT_PATH, "mpath.pat");
    AddList("ALPHA", PT_MAINT_STOCK, "LOOSE\\LOOSE.ENG");
    WriteFlag(c.exploreConsists, "Include Explore Consists");
    WriteFlag(c.explorePaths, "Include Explore Paths");
    easy.mainPage = c.mainPage;
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);

    // A partial route, so that the unstore does not take every path of the route anyway.
    RunSurvey(c.unstore, c.unstore);
    EXPECT_EQ(Lower(lists.E).contains("xcon.con"), c.wantExploreConsist) << c.label;
    EXPECT_EQ(Lower(lists.D).contains(kAlphaPaths + "xpath.pat"), c.wantExplorePath) << c.label;
    EXPECT_EQ(Lower(lists.E).contains("mcon.con"), c.wantMaintConsist) << c.label;
    EXPECT_EQ(Lower(lists.D).contains(kAlphaPaths + "mpath.pat"), c.wantMaintPath) << c.label;
    EXPECT_EQ(Lower(lists.G).contains("loose\\loose.eng"), c.wantMaintStock) << c.label;
    // What a followed consist needs comes along.
    EXPECT_EQ(Lower(lists.G).contains("idle\\idle.eng"), c.wantExploreConsist) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Settings, SurveyListTest, ::testing::ValuesIn(kListCases));

// Cases of the survey's reading that one changed line would break unnoticed.
TEST_F(SurveyTest, Store_ReadsAnActivityInBothFoldersFromMstsAndTakesAPlayerPathOnlyStored) {
    BuildBase();
    // The store's copy of a1 drives another service, which must not be taken.
    builder.AddService("ALPHA", "s9.srv", "s9", "PAX", "down", Into::Store);
    builder.AddActivity("ALPHA", "a1.act", "Morning", "s9.srv", QString(), {}, Into::Store);
    // a1's player path lies only in the store: found, and brought in by the move.
    builder.AddPath("ALPHA", "up.pat", "up", "Here", "There", true, Into::Store);
    ASSERT_TRUE(QFile::remove(builder.HostPath("ROUTES\\ALPHA\\PATHS\\up.pat")));
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);

    EXPECT_FALSE(RunSurvey(false)) << PaneText().toStdString();
    EXPECT_FALSE(Lower(lists.C).contains(kAlphaServices + "s9.srv"));
    EXPECT_TRUE(Lower(lists.C).contains(kAlphaServices + "s1.srv"));
    EXPECT_TRUE(Lower(lists.D).contains(kAlphaPaths + "up.pat"));
    EXPECT_EQ(CountInPane(Msg::INVALID_PLAYER_PATH), 0) << PaneText().toStdString();
    EXPECT_EQ(CountInPane(Msg::INVALID_PATHID), 0) << PaneText().toStdString();
}

TEST_F(SurveyTest, Store_AConsistNamedByTwoServicesIsReadAndCheckedOnce) {
    BuildBase();
    builder.AddEngine("SLUG", "SLUG.ENG", "SLUG", EngineType::Diesel, false);
    builder.AddConsist("SLUGSET.CON", "SLUGSET",
                       {{"SLUG", "SLUG", true}, {"DASH9", "DASH9", true}, {"BOX", "BOX"}});
    builder.AddService("ALPHA", "s2.srv", "s2", "SLUGSET", "down");
    builder.AddService("BETA", "b1.srv", "b1", "slugset", "b");
    LoadTree();

    EXPECT_FALSE(RunSurvey(false));
    EXPECT_EQ(Lower(lists.E).count("slugset.con"), 1);
    EXPECT_EQ(CountInPane(Msg::DRIVEABLE_NO_CABVIEW), 1) << PaneText().toStdString();
    EXPECT_EQ(Lower(lists.H), QStringList({"slug\\slug.eng", "slugset.con"}));
}

// The consists are parsed ahead against the stock cache as it stands; a leading engine's section
// that the lead-engine check renews meanwhile counts for every consist read after it, as when the
// consists were read one after another.
TEST_F(SurveyTest, Store_ConsistsReadAfterALeadEngineSectionIsRenewedTakeItsNewBits) {
    BuildBase();
    // Named by their services as their files are spelt, so that their listing finds them.
    for (const char* name : {"fa", "fb"}) {
        builder.AddConsist(QLatin1String(name) + QStringLiteral(".con"), QLatin1String(name),
                           {{"DASH9", "DASH9", true}, {"BOX", "BOX"}});
        builder.AddService("ALPHA", QLatin1String(name) + QStringLiteral(".srv"),
                           QLatin1String(name), QLatin1String(name), "up");
        builder.AddActivity("ALPHA", QLatin1String(name) + QStringLiteral(".act"),
                            QLatin1String(name), QLatin1String(name) + QStringLiteral(".srv"),
                            QString());
    }
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);
    // DASH9 became an electric engine after the caches were written, and both consists changed.
    builder.AddEngine("DASH9", "DASH9.ENG", "DASH9", EngineType::Electric);
    const qint32 changed = (((2003 - 1980) << 9 | 4 << 5 | 5) << 16) | (9 << 11);
    ASSERT_TRUE(SetFileAge("C:\\MSTS\\TRAINS\\TRAINSET\\DASH9\\DASH9.ENG", changed));
    for (const char* consist : {"fa.con", "fb.con"})
        ASSERT_TRUE(SetFileAge(
            QStringLiteral("C:\\MSTS\\TRAINS\\CONSISTS\\") + QLatin1String(consist), changed));

    RunSurvey(false);
    ASSERT_TRUE(Lower(lists.E).contains("fa.con") && Lower(lists.E).contains("fb.con"));
    const auto consists = OpenStoreIni("CACHECON.QVC");
    const auto stock = OpenStoreIni("CACHESTK.QVC");
    EXPECT_EQ(stock->Ini.ReadInteger("DASH9\\DASH9.ENG", "FileDate", -1), changed);
    // fa was read before its leading engine's section was renewed, fb after.
    const auto first = std::uint32_t(consists->Ini.ReadInteger("fa.con", "PType", 0));
    const auto second = std::uint32_t(consists->Ini.ReadInteger("fb.con", "PType", 0));
    EXPECT_EQ(first & (PT_DIESEL | PT_ELECTRIC), PT_DIESEL) << first;
    EXPECT_EQ(second & (PT_DIESEL | PT_ELECTRIC), PT_ELECTRIC) << second;
}

TEST_F(SurveyTest, Survey_ShowsTheHourglassWhileItRuns) {
    BuildBase();
    LoadTree();
    EXPECT_FALSE(RunSurvey(false));
    EXPECT_GE(main.hourglassShown, 1);
    EXPECT_EQ(main.hourglassDepth, 0);
}

// The six MSTS default routes come back with an unstore that asks for them, whatever their
// marks; one missing is an error.
TEST_F(SurveyTest, UnstoreWithDefaultRoutes_BringsEveryDefaultRouteIntoUse) {
    builder.BuildDefaultInstallation();
    AddFixedObjects();
    LoadTree();
    Mark(RouteNode("EUROPE1"), SI_IN_STORE);
    Mark(RouteNode("USA2"), SI_IN_STORE);

    struct Case {
        bool defaultRoutes;
        bool wantStoredOnes;
    };
    for (const Case c : {Case{false, false}, Case{true, true}}) {
        EXPECT_FALSE(RunSurvey(true, false, c.defaultRoutes)) << PaneText().toStdString();
        const QString routes = Lower(lists.A).join(u' ');
        EXPECT_EQ(routes.contains("routes\\europe1\\"), c.wantStoredOnes) << routes.toStdString();
        EXPECT_EQ(routes.contains("routes\\usa2\\"), c.wantStoredOnes) << routes.toStdString();
        EXPECT_TRUE(routes.contains("routes\\japan1\\"));
    }

    // A default route the tree does not show is an error.
    ItemNode* japan = RouteNode("JAPAN2");
    ASSERT_NE(japan, nullptr);
    japan->Data()->Folder = "Routes\\ELSEWHERE";
    EXPECT_TRUE(RunSurvey(true, false, true));
    EXPECT_EQ(CountInPane(Msg::DEFAULT_ROUTE_NOT_FOUND1), 1) << PaneText().toStdString();
}

TEST_F(SurveyTest, Survey_RouteNamedOutsideBothFoldersIsReportedAndNeverListed) {
    BuildBase();
    LoadTree();
    drive.MakeFile("OUT/A.trk", "outside");
    // A route as a scenario file from elsewhere may name it.
    RouteNode("ALPHA")->Data()->Folder = "ROUTES\\..\\..\\OUT";
    Mark(RouteNode("BETA"), SI_IN_STORE);

    EXPECT_TRUE(RunSurvey(false));
    EXPECT_FALSE(Lower(lists.A).join(u' ').contains("\\out\\"))
        << Lower(lists.A).join(u' ').toStdString();
    EXPECT_EQ(CountInPane(Msg::INVALID_FILENAME), 1) << PaneText().toStdString();
}

TEST_F(SurveyTest, Survey_ActivityNamedOutsideBothFoldersIsReportedAndNeverListed) {
    BuildBase();
    LoadTree();
    drive.MakeFile("OUT/a1.act", "outside");
    ActivityNode("a1.act")->Data()->Folder = "ROUTES\\..\\..\\OUT";

    RunSurvey(false);
    EXPECT_FALSE(Lower(lists.B).join(u' ').contains("\\out\\"))
        << Lower(lists.B).join(u' ').toStdString();
    EXPECT_EQ(CountInPane(Msg::INVALID_FILENAME), 1) << PaneText().toStdString();
    EXPECT_EQ(drive.Content("OUT/a1.act"), "outside");
}

// In many languages a name in full-width letters collates as its plain spelling, yet it names
// another folder: only names alike but for letter case are reported as twins.
TEST_F(SurveyTest, CheckTwinRouteFolders_ReportsOnlyNamesAlikeButForLetterCase) {
    BuildBase();
    struct LocaleKept {
        ~LocaleKept() { SetDefaultLocale(QLocale::c()); }
    } kept;
    SetDefaultLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString routes = builder.HostPath("Routes\\BETA", Into::Msts) + "/../";
    ASSERT_TRUE(QDir().mkpath(routes + QString::fromUtf8("ＢＥＴＡ")));
    StringList H = StringList::SortedUnique();
    EXPECT_TRUE(CheckTwinRouteFolders(H, main.InformationMemo())) << PaneText().toStdString();
    ASSERT_TRUE(QDir().mkpath(routes + "Beta"));
    EXPECT_FALSE(CheckTwinRouteFolders(H, main.InformationMemo()));
    EXPECT_EQ(Lower(H), QStringList{"routes\\beta"});
}
