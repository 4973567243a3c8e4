#include "core/appstate.h"
#include "core/sortedlists.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

StringList Sorted(const QStringList& entries) {
    StringList list = StringList::SortedUnique();
    for (const QString& entry : entries)
        list.Add(entry);
    return list;
}

std::unique_ptr<ItemSet> Item(const QString& folder, const QString& fileName,
                              const QString& description, std::uint32_t ptype = PT_ACTIVITY) {
    auto item = std::make_unique<ItemSet>();
    item->PType = ptype;
    item->Folder = folder;
    item->FileName = fileName;
    item->Description = description;
    return item;
}

QStringList Descriptions(const RecordList<ItemSet>& list) {
    QStringList names;
    for (const auto& item : list)
        names << item->Description;
    return names;
}

} // namespace

TEST(SortedLists, MissingAndCommonWalkWithoutRegardToCase) {
    const StringList first = Sorted({"A", "C"});
    const StringList second = Sorted({"a", "B", "D"});
    StringList out;
    EXPECT_TRUE(SortedStringsMissing(first, second, out));
    EXPECT_EQ(out.Strings(), QStringList({"B", "D"}));

    out.Clear();
    EXPECT_TRUE(SortedStringsCommon(first, second, out));
    EXPECT_EQ(out.Strings(), QStringList({"A"}));

    out.Clear();
    EXPECT_FALSE(SortedStringsCommon(Sorted({"x"}), second, out));
    EXPECT_FALSE(SortedStringsMissing(second, Sorted({"b", "d"}), out));
    EXPECT_TRUE(out.IsEmpty());
}

TEST(SortedLists, MergeItemLists_RemovesInsertsAndKeepsTargetRecords) {
    ResetAppState();
    RecordList<ItemSet> target;
    target.push_back(Item("Routes\\Gone", "gone.trk", "Gone", PT_ROUTE));
    target.push_back(Item("Routes\\Kept", "kept.trk", "Old name", PT_ROUTE));
    target[1]->StoreInd = SI_IN_STORE;
    const ItemSet* kept = target[1].get();

    RecordList<ItemSet> source;
    source.push_back(Item("ROUTES\\KEPT", "KEPT.TRK", "New name", PT_ROUTE | PT_ELECTRIFIED));
    source.push_back(Item("Routes\\Added", "added.trk", "Added", PT_ROUTE));

    EXPECT_TRUE(MergeItemLists(target, source));
    EXPECT_EQ(Descriptions(target), QStringList({"Added", "New name"}));
    EXPECT_EQ(target[1].get(), kept);
    EXPECT_EQ(kept->StoreInd, SI_IN_STORE);
    EXPECT_EQ(kept->PType, PT_ROUTE | PT_ELECTRIFIED);
    EXPECT_NE(target[0].get(), source[1].get()); // a copy, not the source's record

    EXPECT_FALSE(MergeItemLists(target, source));
}

TEST(SortedLists, MergeItemLists_KeepsItemsOfOtherFoldersWhoseFileNamesSortDifferently) {
    // By file name b.act comes after a.act, by folder it comes first: the walk must not take
    // the one item in both lists for two different ones.
    RecordList<ItemSet> target;
    target.push_back(Item("Routes\\B\\ACTIVITIES", "a.act", "Ba"));
    target.push_back(Item("Routes\\A\\ACTIVITIES", "b.act", "Ab"));
    target[1]->StoreInd = SI_IN_STORE;
    const ItemSet* shared = target[1].get();
    RecordList<ItemSet> source;
    source.push_back(Item("Routes\\A\\ACTIVITIES", "b.act", "Ab"));
    source.push_back(Item("Routes\\C\\ACTIVITIES", "c.act", "Cc"));

    EXPECT_TRUE(MergeItemLists(target, source));
    ASSERT_EQ(target.size(), 2u);
    EXPECT_EQ(target[0].get(), shared);
    EXPECT_EQ(shared->StoreInd, SI_IN_STORE);
    EXPECT_EQ(target[1]->Description, QStringLiteral("Cc"));
}
