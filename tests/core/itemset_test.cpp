#include "core/appstate.h"
#include "core/itemset.h"
#include "platform/fakeui.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

class ItemSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
    }
    void TearDown() override { ResetAppState(); }
    FakeUi ui;
};

std::unique_ptr<ItemSet> Item(const QString& description, const QString& fileName = QString(),
                              std::uint32_t ptype = 0) {
    auto item = std::make_unique<ItemSet>();
    item->Description = description;
    item->FileName = fileName;
    item->PType = ptype;
    return item;
}

RecordList<ItemSet> Items(std::initializer_list<const char*> descriptions) {
    RecordList<ItemSet> list;
    for (const char* d : descriptions)
        list.push_back(Item(QString::fromLatin1(d)));
    return list;
}

std::vector<bool> Marks(const RecordList<ItemSet>& list) {
    std::vector<bool> marks;
    for (const auto& item : list)
        marks.push_back(item && (item->PType & PT_IN_OTHER_LIST));
    return marks;
}

} // namespace

TEST_F(ItemSetTest, ClearTypedList_FreesRecordsAndSkipsEmptyPlaces) {
    RecordList<ItemSet> list;
    EXPECT_TRUE(ClearTypedList(RK_ITEMSET, list));
    EXPECT_TRUE(list.empty());

    list.push_back(Item("a"));
    list.push_back(nullptr);
    list.push_back(Item("b"));
    EXPECT_TRUE(ClearTypedList(RK_ITEMSET, list));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(ItemSetTest, ClearTypedList_UnknownKindIsReportedAndKeepsTheList) {
    RecordList<ItemSet> list = Items({"a", "b"});
    EXPECT_FALSE(ClearTypedList(3, list));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->Description, QStringLiteral("a"));
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(
        ui.Shown()[0].text,
        QStringLiteral("Error: Unexpected result at Module: 'ListProcess'  Line No.: 3184\n - 3"));
    EXPECT_EQ(ui.Shown()[0].caption, QStringLiteral("Quarvel"));
    EXPECT_EQ(ui.Shown()[0].style, 16);
}

TEST_F(ItemSetTest, ClearTypedList_KindOfAnotherRecordTypeIsRefused) {
    // A known code that names another record type must not free the records as that type.
    RecordList<ItemSet> items = Items({"a"});
    EXPECT_FALSE(ClearTypedList(RK_CONSIST, items));
    EXPECT_EQ(items.size(), 1u);

    RecordList<UpdateInfo> updates;
    updates.push_back(std::make_unique<UpdateInfo>());
    EXPECT_FALSE(ClearTypedList(RK_ITEMSET, updates));
    EXPECT_EQ(updates.size(), 1u);
    EXPECT_TRUE(ClearTypedList(RK_UPDATE, updates));
    EXPECT_TRUE(updates.empty());

    ASSERT_EQ(ui.Shown().size(), 2u);
    EXPECT_TRUE(ui.Shown()[0].text.endsWith(QStringLiteral(" - 8")));
    EXPECT_TRUE(ui.Shown()[1].text.endsWith(QStringLiteral(" - 0")));
}

TEST_F(ItemSetTest, FreeTypedList_UnknownKindKeepsTheListAlive) {
    auto list = std::make_unique<RecordList<ItemSet>>(Items({"a", "b", "c"}));
    EXPECT_FALSE(FreeTypedList(3, list));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->size(), 3u);
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_TRUE(ui.Shown()[0].text.endsWith(QStringLiteral(" - 3")));

    EXPECT_TRUE(FreeTypedList(RK_ITEMSET, list));
    EXPECT_FALSE(list);
    // A list that is already gone has nothing to free, but a wrong kind is still reported.
    EXPECT_TRUE(FreeTypedList(RK_ITEMSET, list));
    EXPECT_FALSE(FreeTypedList(1000, list));
    EXPECT_EQ(ui.Shown().size(), 2u);
}

TEST(RecordKinds, OnlyTheTableCodesAreKnown) {
    for (int code : {0, 1, 2, 4, 8, 16, 32, 64, 128, 256, 512})
        EXPECT_TRUE(IsKnownRecordKind(code)) << code;
    for (int code : {-1, 3, 5, 63, 1024})
        EXPECT_FALSE(IsKnownRecordKind(code)) << code;
}

TEST(CopyItemSet, CopiesEveryFieldAndTheCopyIsIndependent) {
    ItemSet source;
    source.PLevel = 3;
    source.PType = PT_CONSIST | PT_DIESEL;
    source.StoreInd = SI_IN_STORE + SI_IN_ERROR;
    source.Description = QStringLiteral("Freight");
    source.Folder = QStringLiteral("TRAINS\\CONSISTS");
    source.FileName = QStringLiteral("freight.con");
    source.EngineName = QStringLiteral("GP38");
    source.LotNumber = QStringLiteral("7");

    ItemSet target;
    target.Description = QStringLiteral("old");
    CopyItemSet(source, target);
    EXPECT_EQ(target.PLevel, 3);
    EXPECT_EQ(target.PType, PT_CONSIST | PT_DIESEL);
    EXPECT_EQ(target.StoreInd, 6);
    EXPECT_EQ(target.Description, source.Description);
    EXPECT_EQ(target.Folder, source.Folder);
    EXPECT_EQ(target.FileName, source.FileName);
    EXPECT_EQ(target.EngineName, source.EngineName);
    EXPECT_EQ(target.LotNumber, source.LotNumber);

    target.Description[0] = QLatin1Char('X');
    target.LotNumber = QStringLiteral("8");
    target.PType |= PT_IN_OTHER_LIST;
    EXPECT_EQ(source.Description, QStringLiteral("Freight"));
    EXPECT_EQ(source.LotNumber, QStringLiteral("7"));
    EXPECT_EQ(source.PType, PT_CONSIST | PT_DIESEL);
}

TEST(CompareText, IgnoresCaseAndOrdersNames) {
    EXPECT_EQ(CompareText(QStringLiteral("Route A"), QStringLiteral("ROUTE a")), 0);
    EXPECT_LT(CompareText(QStringLiteral("alpha"), QStringLiteral("Beta")), 0);
    EXPECT_GT(CompareText(QStringLiteral("GAMMA"), QStringLiteral("beta")), 0);
}

TEST_F(ItemSetTest, MarkItemsInList_MarksCommonRecordsAndClearsTheRest) {
    const RecordList<ItemSet> reference = Items({"b", "C", "e", "f"});
    RecordList<ItemSet> target = Items({"a", "B", "c", "d", "F", "g"});
    for (auto& item : target)
        item->PType = PT_MAINT_CONSIST | PT_IN_OTHER_LIST;

    EXPECT_TRUE(MarkItemsInList(reference, target));
    EXPECT_EQ(Marks(target), (std::vector<bool>{false, true, true, false, true, false}));
    // Only the working mark changes; the reference is untouched.
    EXPECT_EQ(target[0]->PType, PT_MAINT_CONSIST);
    EXPECT_EQ(target[1]->PType, PT_MAINT_CONSIST | PT_IN_OTHER_LIST);
    EXPECT_EQ(Marks(reference), (std::vector<bool>{false, false, false, false}));
}

TEST_F(ItemSetTest, MarkItemsInList_EmptyReferenceClearsEveryMark) {
    RecordList<ItemSet> target = Items({"a", "b"});
    for (auto& item : target)
        item->PType = PT_IN_OTHER_LIST;
    EXPECT_TRUE(MarkItemsInList({}, target));
    EXPECT_EQ(Marks(target), (std::vector<bool>{false, false}));

    RecordList<ItemSet> empty;
    EXPECT_TRUE(MarkItemsInList(Items({"a"}), empty));
    EXPECT_TRUE(empty.empty());
}

TEST_F(ItemSetTest, MarkItemsInList_ByFileNameEqualDescriptionsAreNotEqual) {
    RecordList<ItemSet> reference;
    reference.push_back(Item("Same", "one.con"));
    RecordList<ItemSet> target;
    target.push_back(Item("Same", "two.con"));

    App().ViewByFileName = true;
    MarkItemsInList(reference, target);
    EXPECT_FALSE(target[0]->PType & PT_IN_OTHER_LIST);

    App().ViewByFileName = false;
    MarkItemsInList(reference, target);
    EXPECT_TRUE(target[0]->PType & PT_IN_OTHER_LIST);

    target[0]->FileName = QStringLiteral("ONE.CON");
    target[0]->Description = QStringLiteral("Other");
    App().ViewByFileName = true;
    MarkItemsInList(reference, target);
    EXPECT_TRUE(target[0]->PType & PT_IN_OTHER_LIST);
}

TEST_F(ItemSetTest, MarkItemsInList_PassesOverEmptyPlaces) {
    RecordList<ItemSet> reference = Items({"a", "b"});
    reference.insert(reference.begin() + 1, nullptr);
    RecordList<ItemSet> target = Items({"a", "b"});
    target.insert(target.begin(), nullptr);
    EXPECT_TRUE(MarkItemsInList(reference, target));
    EXPECT_EQ(Marks(target), (std::vector<bool>{false, true, true}));
}
