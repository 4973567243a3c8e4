#include "catalogue/listeditorservices.h"

#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/itemtree.h"
#include "core/stringlist.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

class ListEditorServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
    }
    void TearDown() override { ResetAppState(); }

    // Items as a list editor holds them, each with the StoreInd of a member not yet looked for.
    static RecordList<ItemSet> Items(const QString& folder, const QStringList& fileNames) {
        RecordList<ItemSet> list;
        for (const QString& name : fileNames) {
            list.push_back(std::make_unique<ItemSet>(ItemSet{0, 0, 8, name, folder, name, {}, {}}));
        }
        return list;
    }
    static QStringList Indicators(const RecordList<ItemSet>& list) {
        QStringList out;
        for (const auto& item : list)
            out << item->FileName + QLatin1Char('=') + QString::number(item->StoreInd);
        return out;
    }

    TempMsts disk;
    FakeUi ui;
};

std::unique_ptr<ItemSet> Node(std::uint32_t type, int storeInd, const char* description) {
    auto item = std::make_unique<ItemSet>();
    item->PType = type;
    item->StoreInd = storeInd;
    item->Description = QString::fromUtf8(description);
    return item;
}

} // namespace

TEST_F(ListEditorServicesTest, UpdateStoreIndicators_MarksConsistsOnlyWhileTheirCacheIsOutOfDate) {
    disk.MakeFile(QStringLiteral("MSTS/TRAINS/CONSISTS/A.con"));
    disk.MakeFile(QStringLiteral("MSTS/TRAINS/CONSISTS/b.CON"));
    RecordList<ItemSet> list =
        Items(QStringLiteral("TRAINS\\CONSISTS"), {"D.CON", "B.CON", "C.CON", "A.CON"});
    list[0]->Description = QStringLiteral("1 first by name");
    EXPECT_FALSE(UpdateStoreIndicators(list, PT_CONSIST));
    EXPECT_EQ(list[3]->StoreInd, 8);

    StringList errors = StringList::SortedUnique();
    errors.Add(QStringLiteral("a.con"));
    errors.Add(QStringLiteral("C.CON"));
    App().ConsistCacheStale = App().StockCacheStale = true;
    ASSERT_TRUE(UpdateStoreIndicators(list, PT_CONSIST, &errors));
    EXPECT_EQ(Indicators(list), QStringList({"D.CON=2", "A.CON=5", "B.CON=1", "C.CON=6"}));
    EXPECT_FALSE(App().ConsistCacheStale);
    EXPECT_TRUE(App().StockCacheStale) << "only the recounted kind is up to date";

    // Once every cache is up to date, files moved by hand go unnoticed until a move or a store
    // job marks a cache again.
    App().StockCacheStale = false;
    disk.MakeFile(QStringLiteral("MSTS/TRAINS/CONSISTS/d.con"));
    EXPECT_FALSE(UpdateStoreIndicators(list, PT_CONSIST));
    EXPECT_EQ(list[0]->StoreInd, 2);
}

TEST_F(ListEditorServicesTest, UpdateStoreIndicators_FindsStockByFolderAndFileInAnyLetterCase) {
    disk.MakeFile(QStringLiteral("MSTS/Trains/Trainset/Dash9/DASH9.eng"));
    disk.MakeFile(QStringLiteral("MSTS/Trains/Trainset/Dash9/dash9.sd"));
    disk.MakeFile(QStringLiteral("MSTS/Trains/Trainset/Box/box.WAG"));
    RecordList<ItemSet> list = Items(QStringLiteral("TRAINS\\TRAINSET"),
                                     {"dash9\\dash9.ENG", "Box\\box.wag", "Box\\gone.wag"});
    App().ErrorsFileWritten = true; // a store job's new error list makes every kind out of date
    ASSERT_TRUE(UpdateStoreIndicators(list, PT_STOCK));
    EXPECT_EQ(Indicators(list),
              QStringList({"Box\\box.wag=1", "Box\\gone.wag=2", "dash9\\dash9.ENG=1"}));
    EXPECT_FALSE(App().StockCacheStale || App().ErrorsFileWritten);
    EXPECT_TRUE(App().ConsistCacheStale && App().PathCacheStale);
}

TEST_F(ListEditorServicesTest, UpdateStoreIndicators_PathsNeedAnItemAndOtherKindsChangeNothing) {
    disk.MakeFile(QStringLiteral("MSTS/Routes/Europe1/Paths/east.pat"));
    App().PathCacheStale = true;
    RecordList<ItemSet> empty;
    EXPECT_FALSE(UpdateStoreIndicators(empty, PT_PATH));
    EXPECT_TRUE(App().PathCacheStale);

    RecordList<ItemSet> list =
        Items(QStringLiteral("ROUTES\\EUROPE1\\PATHS"), {"W.PAT", "EAST.PAT"});
    EXPECT_FALSE(UpdateStoreIndicators(list, PT_MAINT_PATH));
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_TRUE(ui.Shown()[0].text.contains(QStringLiteral("'ListEditorCommon'  Line No.: 918")));
    EXPECT_EQ(Indicators(list), QStringList({"W.PAT=8", "EAST.PAT=8"}));

    ASSERT_TRUE(UpdateStoreIndicators(list, PT_PATH));
    EXPECT_EQ(Indicators(list), QStringList({"EAST.PAT=1", "W.PAT=2"}));
    EXPECT_FALSE(App().PathCacheStale);
}

TEST_F(ListEditorServicesTest, BuildListEditorCaption_NamesModeKindRouteListAndState) {
    const std::uint32_t heading = PT_HEADING | PT_MAINT_CONSIST;
    ItemTree tree;
    ItemNode* route = tree.AddRoot(Node(PT_ROUTE, 1, "Europe1"));
    ItemNode* kind = route->AddChild(Node(heading, -1, "Lists"));
    ItemNode* list = kind->AddChild(Node(heading, 12, "Shunting"));
    RouteListsInfo info;
    info.ListType = PT_MAINT_CONSIST;
    info.ListName = QStringLiteral("Shunting");
    info.State = 12;
    EXPECT_EQ(BuildListEditorCaption(1, list, info),
              "Quarvel - Edit: Maintenance Mode Consist List - Europe1 - Shunting (Activated)");
    info.ListName = QStringLiteral("New List (1)");
    info.State = 11;
    EXPECT_EQ(
        BuildListEditorCaption(2, kind, info),
        "Quarvel - Edit: Maintenance Mode Consist List - Europe1 - New List (1) (DeActivated)");
    info.ListType = PT_PATH;
    EXPECT_EQ(BuildListEditorCaption(0, route, info),
              "Quarvel - View All: Path List Details - Route: Europe1");
    info.ListType = PT_CONSIST;
    EXPECT_EQ(BuildListEditorCaption(0, nullptr, info), "Quarvel - View All: Consist Details");
}
