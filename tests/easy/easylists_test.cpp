// The rows of the Easy page's lists, built from a tree and item lists made in place: recent
// entries from the registry, separator rows, routes whose folders begin alike, locomotives in
// any letter case, paths by start and end point, and the tutorial route in any letter case.
#include "easy/easylists.h"

#include "core/appstate.h"
#include "core/itemtree.h"
#include "core/regsettings.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

std::unique_ptr<ItemSet> Item(std::int32_t level, std::uint32_t ptype, const QString& description,
                              const QString& folder = {}, const QString& file = {},
                              const QString& engine = {}, const QString& lot = {}) {
    auto item = std::make_unique<ItemSet>();
    item->PLevel = level;
    item->PType = ptype;
    item->Description = description;
    item->Folder = folder;
    item->FileName = file;
    item->EngineName = engine;
    item->LotNumber = lot;
    return item;
}

class EasyListsTest : public ::testing::Test {
protected:
    EasyListsTest() {
        ResetAppState();
        ResetEasyPageState();
        // Routes heading (0), AB (1) with its activities heading (2) and two activities (3, 4),
        // ABC (5) with one activity under its heading (6, 7), and the tutorial route (8..10).
        ItemNode* routes = tree.AddRoot(Item(0, PT_ROUTES_ROOT, "Routes"));
        ItemNode* ab = routes->AddChild(Item(1, PT_ROUTE, "Ab Line", "Routes\\AB", "ab.trk"));
        ItemNode* abActs =
            ab->AddChild(Item(2, PT_ACTIVITIES_GROUP, "Activities", "Routes\\AB\\ACTIVITIES"));
        abActs->AddChild(Item(3, PT_ACTIVITY, "Morning", "Routes\\AB\\ACTIVITIES", "m.act"));
        abActs->AddChild(Item(3, PT_ACTIVITY, "Evening", "Routes\\AB\\ACTIVITIES", "e.act"));
        ItemNode* abc = routes->AddChild(Item(1, PT_ROUTE, "Abc Line", "Routes\\ABC", "abc.trk"));
        abc->AddChild(Item(2, PT_ACTIVITIES_GROUP, "Activities", "Routes\\ABC\\ACTIVITIES"))
            ->AddChild(Item(3, PT_ACTIVITY, "Night", "Routes\\ABC\\ACTIVITIES", "n.act"));
        ItemNode* tutorial = routes->AddChild(
            Item(1, PT_ROUTE, "Tutorial", "Routes\\Tutorial Route", "tutorial.trk"));
        tutorialActs = tutorial->AddChild(
            Item(2, PT_ACTIVITIES_GROUP, "Activities", "Routes\\Tutorial Route\\Activities"));
    }
    ~EasyListsTest() override {
        ResetEasyPageState();
        ResetAppState();
    }

    void Mru(const QString& name, const QStringList& values) {
        for (int i = 0; i < values.size(); ++i)
            RegWriteString(kProductKey + QStringLiteral("\\Easy\\MRUs\\") + name,
                           QString::number(i), values[i]);
    }

    RegistrySandbox registry;
    ItemTree tree;
    ItemNode* tutorialActs = nullptr;
};

} // namespace

TEST_F(EasyListsTest, RoutesList_RecentEntriesAndSeparatorMapToNoRoute) {
    struct Case {
        QStringList recent;
        int nodeIndex;
        QStringList rows;
        int selected;
    };
    const Case cases[] = {
        {{}, -1, {"Ab Line", "Abc Line", "Tutorial"}, 0},
        {{}, 5, {"Ab Line", "Abc Line", "Tutorial"}, 1},
        {{}, 3, {"Ab Line", "Abc Line", "Tutorial"}, 0}, // an activity's place selects no route
        {{"Old One", "Old Two"},
         8,
         {"Old One", "Old Two", " ", "Ab Line", "Abc Line", "Tutorial"},
         5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nodeIndex);
        ClearKey(QStringLiteral("Easy\\MRUs\\Routes"));
        Mru(QStringLiteral("Routes"), c.recent);
        const EasyRows rows = FillRoutesList(tree, c.nodeIndex);
        EXPECT_EQ(rows.Rows, c.rows);
        EXPECT_EQ(rows.Selected, c.selected);
        const int first = int(c.recent.size()) + (c.recent.isEmpty() ? 0 : 1);
        EXPECT_EQ(rows.RecordOfRow(first), 1) << "the first data row maps to the AB route";
        for (int row : {-1, first - 1, first + 3})
            EXPECT_EQ(rows.RecordOfRow(row), -1) << "separator, before or past the rows";
    }
}

TEST_F(EasyListsTest, RoutesList_TreeWithoutRoutesGivesNoRowsAndNoSelection) {
    ItemTree empty;
    empty.AddRoot(Item(0, PT_ROUTES_ROOT, "Routes"));
    const EasyRows rows = FillRoutesList(empty, -1);
    EXPECT_TRUE(rows.Rows.isEmpty());
    EXPECT_EQ(rows.Selected, -1);
    EXPECT_EQ(rows.RecordOfRow(0), -1);
}

TEST_F(EasyListsTest, ActivitiesAndTraffic_KeepToTheRouteWhoseFolderTheyLieIn) {
    const ItemSet& ab = *NodeAtPosition(tree, 1)->Data();
    const EasyRows activities = FillActivitiesList(tree, ab);
    EXPECT_EQ(activities.Rows, (QStringList{"Morning", "Evening"})) << "ABC's Night is not AB's";
    EXPECT_EQ(activities.RowMap, (std::vector<int>{3, 4}));

    const EasyRows traffic = FillTrafficActivities(tree, NodeAtPosition(tree, 1));
    EXPECT_EQ(traffic.Rows, (QStringList{" ", "Morning", "Evening"}));
    EXPECT_EQ(traffic.RecordOfRow(0), -1) << "the blank row stands for no traffic";
    EXPECT_EQ(traffic.RecordOfRow(2), 4);

    const EasyRows none = FillTrafficActivities(tree, NodeAtPosition(tree, 8));
    EXPECT_EQ(none.Rows, (QStringList{" "}));
}

TEST_F(EasyListsTest, Locomotives_OncePerNameWhateverTheCaseAndElectricOnlyUnderWires) {
    RecordList<ItemSet> consists;
    consists.push_back(Item(0, PT_DRIVEABLE | PT_DIESEL, "A", {}, "a.con", "Dash 9"));
    consists.push_back(Item(0, PT_DRIVEABLE | PT_DIESEL, "B", {}, "b.con", "DASH 9"));
    consists.push_back(Item(0, PT_DRIVEABLE | PT_ELECTRIC, "C", {}, "c.con", "Class 86"));
    consists.push_back(Item(0, PT_DIESEL, "D", {}, "d.con", "Shunter")); // not driveable
    consists.push_back(Item(0, PT_DRIVEABLE | PT_STEAM, "E", {}, "e.con", "Atlantic"));
    const struct {
        std::uint32_t excluded;
        QStringList names;
    } cases[] = {
        {PT_ELECTRIC, {"Atlantic", "Dash 9"}},
        {0, {"Atlantic", "Class 86", "Dash 9"}},
    };
    for (const auto& c : cases) {
        QStringList index;
        AddLocomotivesByFlag(consists, index, c.excluded);
        EXPECT_EQ(index, c.names);
    }
}

TEST_F(EasyListsTest, ConsistsCombo_FollowsTheChosenListsUnlessAllAreShown) {
    Mru(QStringLiteral("Consists"), {"Recent"});
    auto& cache = App().ConsistCacheList;
    cache.push_back(Item(0, PT_DRIVEABLE | PT_NAME_DIFFERS, "Freight", {}, "f.con", "Dash 9"));
    cache.push_back(Item(0, PT_DRIVEABLE, "Passenger", {}, "p.con", "Dash 9"));
    cache.push_back(Item(0, PT_DRIVEABLE | PT_ENGINE_REF_DIFFERS, "Odd", {}, "o.con", "Dash 9"));
    cache.push_back(Item(0, PT_DRIVEABLE, "Other", {}, "x.con", "dash 9")); // names differ in case
    EasyPage().ExploreListConsists.push_back(Item(0, PT_CONSIST, "Passenger", {}, "p.con"));

    bool allowed = true;
    EasyRows rows = FillConsistsCombo(QStringLiteral("Dash 9"), 0, &allowed);
    EXPECT_EQ(rows.Rows, (QStringList{"Recent", " ", "Freight", "Passenger"}));
    EXPECT_EQ(rows.RecordOfRow(3), 1);
    EXPECT_FALSE(allowed) << "the first consist's name differs from its file";

    rows = FillConsistsCombo(QStringLiteral("Dash 9"), 1, &allowed);
    EXPECT_EQ(rows.Rows, (QStringList{"Passenger"})) << "only the listed consist, no recent rows";
    EXPECT_EQ(rows.RecordOfRow(0), 1);

    WriteFlag(true, QStringLiteral("Easy Show All Consists"));
    rows = FillConsistsCombo(QStringLiteral("Dash 9"), 1, &allowed);
    EXPECT_EQ(rows.Rows.size(), 4);

    allowed = true;
    rows = FillConsistsCombo(QStringLiteral("Nobody"), 0, &allowed);
    EXPECT_EQ(rows.Rows, (QStringList{"Recent", " "}));
    EXPECT_EQ(rows.RecordOfRow(rows.Selected), -1) << "a recent row chooses no consist";
    EXPECT_TRUE(allowed) << "left as it was without consist rows";
}

TEST_F(EasyListsTest, Paths_OneFromRowPerStartAndOneToRowPerPath) {
    auto& paths = App().PathCacheList;
    paths.push_back(Item(0, PT_DRIVEABLE, "Up", "Routes\\AB\\PATHS", "up.pat", "Here", "There"));
    paths.push_back(Item(0, PT_DRIVEABLE, "Up2", "Routes\\AB\\PATHS", "up2.pat", "Here", "There"));
    paths.push_back(Item(0, PT_DRIVEABLE, "Far", "Routes\\AB\\PATHS", "far.pat", "here", "Far"));
    paths.push_back(Item(0, 0, "AI", "Routes\\AB\\PATHS", "ai.pat", "Yard", "There"));
    paths.push_back(Item(0, PT_DRIVEABLE, "Abc", "Routes\\ABC\\PATHS", "c.pat", "Abc Start", "X"));
    paths.push_back(Item(0, PT_DRIVEABLE, "Nowhere", "Routes\\AB\\PATHS", "n.pat", "Here", ""));

    const EasyRows from = FillFromPaths(*NodeAtPosition(tree, 1)->Data());
    EXPECT_EQ(from.Rows, (QStringList{"Here"}));
    const EasyRows to = FillToPaths(QStringLiteral("Here"));
    EXPECT_EQ(to.Rows, (QStringList{"There", "There"}));
    EXPECT_EQ(to.RowMap, (std::vector<int>{0, 1}));
    EXPECT_EQ(FillToPaths(QStringLiteral("Nowhere")).Selected, -1);
    EXPECT_TRUE(FillFromPaths(*NodeAtPosition(tree, 8)->Data()).Rows.isEmpty());
}

TEST_F(EasyListsTest, TutorialActivity_FoundWhateverTheLetterCaseStoppingAtTheFirstLesson) {
    EXPECT_EQ(FindTutorialActivity(tree), nullptr);
    tutorialActs->AddChild(
        Item(3, PT_ACTIVITY, "Lesson 0", "ROUTES\\TUTORIAL ROUTE\\ACTIVITIES", "ELESSON0.ACT"));
    ItemNode* lesson1 = tutorialActs->AddChild(
        Item(3, PT_ACTIVITY, "Lesson 1", "Routes\\Tutorial Route\\Activities", "ELESSON1.ACT"));
    tutorialActs->AddChild(
        Item(3, PT_ACTIVITY, "Lesson 2", "Routes\\Tutorial Route\\Activities", "elesson2.act"));
    EXPECT_EQ(FindTutorialActivity(tree), lesson1);
}

TEST_F(EasyListsTest, FileAndFolderNames_MatchWhateverTheirLetterCase) {
    // The route's folder as another tool wrote it.
    ItemSet route = *NodeAtPosition(tree, 1)->Data();
    route.Folder = QStringLiteral("ROUTES\\ab");
    EXPECT_EQ(FillActivitiesList(tree, route).Rows, (QStringList{"Morning", "Evening"}));
    App().PathCacheList.push_back(
        Item(0, PT_DRIVEABLE, "Up", "Routes\\AB\\PATHS", "up.pat", "Here", "There"));
    EXPECT_EQ(FillFromPaths(route).Rows, (QStringList{"Here"}));

    // A consist of the route's activities whose service names its file in another case.
    App().ConsistCacheList.push_back(
        Item(0, PT_DRIVEABLE, "Alpine", {}, "AlpLok460.CON", "Lok 460"));
    EasyPage().ExploreListConsists.push_back(Item(0, PT_CONSIST, "Alpine", {}, "AlpLok460.con"));
    EXPECT_EQ(FillConsistsCombo(QStringLiteral("Lok 460"), 3, nullptr).Rows,
              (QStringList{"Alpine"}));
}

TEST_F(EasyListsTest, LocomotivesFill_KeepsTheErrorMarksOfTheConsists) {
    TempMsts drive;
    App().MstsRootFolder = QStringLiteral("C:\\MSTS");
    App().StoreRootFolder = QStringLiteral("C:\\STORE");
    drive.MakeFile(QStringLiteral("MSTS/TRAINS/CONSISTS/Goods.con"));
    drive.MakeFile(QStringLiteral("MSTS/TRAINS/CONSISTS/Fine.con"));
    drive.MakeFile(QStringLiteral("STORE/QVDATA/ERRORS.QVC"), "Goods.con\r\n");
    auto& cache = App().ConsistCacheList;
    cache.push_back(Item(0, PT_DRIVEABLE, "Goods", {}, "Goods.con", "Dash 9"));
    cache.push_back(Item(0, PT_DRIVEABLE, "Fine", {}, "Fine.con", "Dash 9"));
    App().ConsistCacheStale = true;

    EXPECT_EQ(FillLocomotivesList(nullptr, 0).Rows, (QStringList{"Dash 9"}));
    ASSERT_EQ(cache.size(), 2u);
    for (const auto& item : cache)
        EXPECT_EQ(item->StoreInd,
                  item->FileName == "Goods.con" ? SI_IN_USE + SI_IN_ERROR : SI_IN_USE)
            << item->FileName.toStdString();
}
