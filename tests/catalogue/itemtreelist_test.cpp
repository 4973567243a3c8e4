#include "catalogue/itemtreelist.h"

#include "catalogue/treetestkit.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"

using namespace qv;

namespace {

const QString kAlpha = "Routes\\ALPHA";
const QString kScenario = "C:\\saved.QVS";

class ItemTreeListTest : public TreeTest {
protected:
    // Routes ALPHA (in use, one activity in use and one stored) and BETA (stored), consists, an
    // engine, a path, and named lists of all five kinds, global and for ALPHA.
    void BuildInstallation() {
        AddTwoRoutes();

        // The first list file was written from a tree that held the placeholder mark.
        AddLists("TRAINS\\CONSISTS", PT_EXPLORE_CONSIST, {"CONSISTS=12,Original List"},
                 {{{"FREIGHT.CON", PT_EXPLORE_CONSIST | PT_FIRST_ONLY, ""},
                   {"PAX.CON", PT_EXPLORE_CONSIST, ""}}});
        AddLists("TRAINS\\CONSISTS", PT_MAINT_CONSIST,
                 {"MAINTCON=12,Original List", "MAINTCON1=11,New List (1)"},
                 {{{"PAX.CON", PT_MAINT_CONSIST, ""}}, {{"FREIGHT.CON", PT_MAINT_CONSIST, ""}}});
        AddLists("TRAINS\\TRAINSET", PT_MAINT_STOCK, {"MAINTSTK=12,Original List"},
                 {{{"DASH9\\DASH9.ENG", PT_MAINT_STOCK, ""}}});
        AddLists(kAlpha, PT_EXPLORE_CONSIST, {"CONSISTS=12,Original List"},
                 {{{"GONE.CON", PT_EXPLORE_CONSIST, "Gone Train"}}});
        AddLists(kAlpha, PT_EXPLORE_PATH, {"PATHS=12,Original List"},
                 {{{"up.pat", PT_EXPLORE_PATH, ""}}});
        AddLists(kAlpha, PT_MAINT_PATH, {"MAINTPAT=11,Original List"},
                 {{{"up.pat", PT_MAINT_PATH, ""}}});
    }

    // The engine's bits as the stock reader classifies a driveable diesel, in hex.
    static QString StockBits(std::uint32_t extra) {
        return QString::number(PT_MAINT_STOCK | PT_ENGINE | PT_DIESEL | PT_DRIVEABLE | extra, 16);
    }
    // Level and description of each named-list heading and list node.
    static QStringList ListHeadings(const RecordList<ItemSet>& list) {
        QStringList rows;
        for (const auto& item : list)
            if ((item->PType & PT_HEADING) && (item->PType & PT_MASK_LIST_KINDS))
                rows << QString::number(item->PLevel) + u' ' + item->Description;
        return rows;
    }
    // Copies of the route and activity records (headings left out), as a scenario holds them.
    static RecordList<ItemSet> Selection(const RecordList<ItemSet>& list) {
        RecordList<ItemSet> out;
        for (const auto& item : list)
            if ((item->PType & (PT_ROUTE | PT_ACTIVITY)) && !(item->PType & PT_HEADING))
                out.push_back(std::make_unique<ItemSet>(*item));
        return out;
    }
    static ItemSet* Find(const RecordList<ItemSet>& list, const QString& description) {
        for (const auto& item : list)
            if (item->Description == description)
                return item.get();
        return nullptr;
    }
};

} // namespace

TEST_F(ItemTreeListTest, MainTree_PinsHeadingsLevelsAndStoreStates) {
    BuildInstallation();
    RecordList<ItemSet> list;
    BuildItemTree(list, TREE_PAGE_ALL, true, true);
    const QStringList expected = {"0 11 -1 Global Settings",
                                  "1 18 12 Explore Mode Consists",
                                  "2 80008 1 Freight One",
                                  "1 30 -1 Maintenance Mode Consists",
                                  "2 30 11 New List (1)",
                                  "3 80020 1 Freight One",
                                  "2 30 12 Original List",
                                  "3 80020 2 Passenger Two",
                                  "1 50 12 Maintenance Mode Stock",
                                  "2 " + StockBits(PT_FIRST_ONLY) + " 1 Dash 9",
                                  "0 12 -1 Routes",
                                  "1 2 1 Alpha Line",
                                  "2 14 -1 Activities",
                                  "3 4 2 Evening Run",
                                  "3 4 1 Morning Run",
                                  "2 18 12 Explore Mode Consists",
                                  "3 80008 -1 Gone Train",
                                  "2 30 -1 Maintenance Mode Consists",
                                  "2 50 -1 Maintenance Mode Stock",
                                  "2 1000010 12 Explore Mode Paths",
                                  "3 1080000 1 Up Path",
                                  "2 2000010 11 Maintenance Mode Paths",
                                  "3 2080000 1 Up Path",
                                  "1 2 2 Beta Line",
                                  "2 14 -1 Activities",
                                  "2 18 -1 Explore Mode Consists",
                                  "2 30 -1 Maintenance Mode Consists",
                                  "2 50 -1 Maintenance Mode Stock",
                                  "2 1000010 -1 Explore Mode Paths",
                                  "2 2000010 -1 Maintenance Mode Paths"};
    EXPECT_EQ(Rows(list), expected);
    EXPECT_EQ(list[1]->FileName, "CONSISTS.QVC"); // a single list: its heading is the list
    EXPECT_EQ(list[3]->FileName, QString());
    EXPECT_EQ(list[8]->Folder, "TRAINS\\TRAINSET");
    EXPECT_EQ(list[20]->Folder, "Routes\\ALPHA\\Paths");
    EXPECT_TRUE(App().TreeSynchronised);
}

TEST_F(ItemTreeListTest, WhereUsedForm_EveryMemberNoListNodesNoActivities) {
    BuildInstallation();
    RecordList<ItemSet> list;
    BuildItemTree(list, TREE_PAGE_ALL, false, false);
    EXPECT_EQ(Rows(list),
              (QStringList{"0 11 -1 Global Settings", "2 8 1 Freight One", "2 8 2 Passenger Two",
                           "3 20 1 Freight One", "3 20 2 Passenger Two",
                           "2 " + StockBits(0) + " 1 Dash 9", "0 12 -1 Routes", "1 2 1 Alpha Line",
                           "3 8 -1 Gone Train", "3 1000000 1 Up Path", "3 2000000 1 Up Path",
                           "1 2 2 Beta Line"}));
}

TEST_F(ItemTreeListTest, PageSelectsTheListKinds) {
    RecordList<ItemSet> empty;
    BuildItemTree(empty, TREE_PAGE_MAINTENANCE, true, true);
    EXPECT_EQ(Rows(empty),
              (QStringList{"0 11 -1 Global Settings", "1 30 -1 Maintenance Mode Consists",
                           "1 50 -1 Maintenance Mode Stock", "0 12 -1 Routes"}));

    BuildInstallation();
    RecordList<ItemSet> simulation;
    BuildItemTree(simulation, TREE_PAGE_SIMULATION, true, false);
    EXPECT_EQ(
        ListHeadings(simulation),
        (QStringList{"1 Explore Mode Consists", "2 Explore Mode Consists", "2 Explore Mode Paths",
                     "2 Explore Mode Consists", "2 Explore Mode Paths"}));
    RecordList<ItemSet> other;
    BuildItemTree(other, 7, true, false);
    EXPECT_TRUE(ListHeadings(other).isEmpty());
}

TEST_F(ItemTreeListTest, Scenario_MatchingContentKeepsSavedMarksWithoutChange) {
    BuildInstallation();
    RecordList<ItemSet> built;
    BuildItemTree(built, TREE_PAGE_ALL, true, true);
    Find(built, "Alpha Line")->StoreInd = SI_IN_STORE;
    Find(built, "Morning Run")->StoreInd = SI_IN_STORE;
    ItemTree tree;
    FillTreeFromItemList(tree, built);
    ASSERT_TRUE(SaveScenario(tree, kScenario, nullptr));

    App().TreeSynchronised = false;
    RecordList<ItemSet> list;
    EXPECT_FALSE(BuildScenarioTree(list, kScenario, nullptr, true, TREE_PAGE_ALL));
    EXPECT_EQ(Rows(Selection(list)), (QStringList{"1 2 2 Alpha Line", "3 4 2 Evening Run",
                                                  "3 4 2 Morning Run", "1 2 2 Beta Line"}));
    EXPECT_EQ(list.size(), 30u); // otherwise the list built from the folders
    EXPECT_TRUE(App().TreeSynchronised);

    // The page switch hands its own marks over as an item list: taken as they are, no change.
    RecordList<ItemSet> items = Selection(list);
    Find(items, "Evening Run")->StoreInd = SI_IN_USE;
    RecordList<ItemSet> page;
    EXPECT_FALSE(BuildScenarioTree(page, kNoScenarioFile, &items, true, TREE_PAGE_MAINTENANCE));
    EXPECT_EQ(Rows(Selection(page)), (QStringList{"1 2 2 Alpha Line", "3 4 1 Evening Run",
                                                  "3 4 2 Morning Run", "1 2 2 Beta Line"}));
    EXPECT_EQ(ListHeadings(page).first(), "1 Maintenance Mode Consists");
}

TEST_F(ItemTreeListTest, Scenario_VanishedAndNewItemsAreReconciledAndReported) {
    BuildInstallation();
    RecordList<ItemSet> built;
    BuildItemTree(built, TREE_PAGE_ALL, true, true);
    RecordList<ItemSet> saved = Selection(built);
    Find(saved, "Alpha Line")->StoreInd = SI_IN_STORE;
    Find(saved, "Morning Run")->StoreInd = SI_IN_STORE;
    std::erase_if(saved, [](const auto& item) { return item->Description == u"Beta Line"; });
    saved.push_back(std::make_unique<ItemSet>(
        ItemSet{1, PT_ROUTE, SI_IN_USE, "Old Line", "Routes\\OLD", "old.trk", {}, {}}));
    saved.push_back(std::make_unique<ItemSet>(ItemSet{
        3, PT_ACTIVITY, SI_IN_STORE, "Gone Run", kAlpha + "\\Activities", "gone.act", {}, {}}));
    ASSERT_TRUE(WriteScenarioFile(saved, kScenario));

    RecordList<ItemSet> list;
    EXPECT_TRUE(BuildScenarioTree(list, kScenario, nullptr, true, TREE_PAGE_ALL));
    EXPECT_EQ(Rows(Selection(list)), (QStringList{"1 2 2 Alpha Line", "3 4 2 Evening Run",
                                                  "3 4 2 Morning Run", "1 2 2 Beta Line"}));
}
