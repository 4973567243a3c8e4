#include "core/appstate.h"
#include "core/sortedlists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

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

namespace {

// What a sorted list that ignores duplicates holds after the entries held and then the names
// are added to it one by one: what SortedMerge must leave, spelling for spelling.
QStringList AddedOneByOne(const QStringList& held, const QStringList& names) {
    StringList list = Sorted(held);
    for (const QString& name : names)
        list.Add(name);
    return list.Strings();
}

QStringList Merged(const QStringList& held, const QStringList& names) {
    StringList list = Sorted(held);
    SortedMerge merge(list);
    for (const QString& name : names)
        merge.Add(name);
    merge.Done();
    return list.Strings();
}

} // namespace

TEST(SortedLists, SortedMerge_HoldsWhatAddingOneByOneHolds) {
    struct Case {
        const char* what;
        QStringList held;
        QStringList names;
    };
    const Case cases[] = {
        {"nothing at all", {}, {}},
        {"names in order into nothing", {}, {"A\\1", "A\\2", "B\\1"}},
        {"nothing added keeps the entries", {"A", "b"}, {}},
        {"names between, before and after those held", {"B", "D"}, {"A", "C", "E"}},
        {"a name alike one held keeps the held spelling", {"ab", "CD"}, {"AB", "cd", "ef"}},
        {"the first of names alike stays", {}, {"x\\A", "X\\a", "x\\a"}},
        // A folder's names sort after those of longer folders that begin with its name.
        {"a folder that is the start of others' names",
         {"Wagons1000\\W2.wag"},
         {"Wagons100\\W1.wag", "Wagons1000\\W1.wag", "WAGONS1000\\w2.WAG", "Wagons1001\\W3.wag"}},
        {"late names alike one another and ones held",
         {"c", "E"},
         {"d", "f", "B", "b", "e", "C", "a"}},
        {"names in reverse", {"m"}, {"z", "y", "M", "x", "a"}},
        {"late name alike an earlier late name", {}, {"k", "b", "a", "B"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Merged(c.held, c.names), AddedOneByOne(c.held, c.names)) << c.what;
}

TEST(SortedLists, SortedMerge_MatchesAddingOneByOneOnShuffledRuns) {
    // Runs of names in order, some runs out of place, with names alike in other letter cases,
    // as the listings of many folders hand them on.
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        QStringList pool;
        for (int i = 0; i < 60; ++i) {
            QString name =
                QStringLiteral("F%1\\n%2").arg(int(random() % 15)).arg(int(random() % 9));
            if (random() % 2)
                name = name.toUpper();
            pool << name;
        }
        QStringList held = pool.mid(0, int(random() % 20));
        QStringList names = pool.mid(held.size());
        std::sort(names.begin(), names.end(),
                  [](const QString& a, const QString& b) { return CompareText(a, b) < 0; });
        for (int swaps = int(random() % 6); swaps > 0; --swaps)
            names.swapItemsAt(int(random() % names.size()), int(random() % names.size()));
        EXPECT_EQ(Merged(held, names), AddedOneByOne(held, names)) << "round " << round;
    }
}
