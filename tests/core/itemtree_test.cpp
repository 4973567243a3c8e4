#include "core/itemtree.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace qv;

namespace {

// Sees whether records are still alive: each record shares its Description with a text held
// here, so that text stops being shared once the record is freed.
struct Probes {
    std::vector<QString> texts;
    std::unique_ptr<ItemSet> Record(const char* description) {
        texts.push_back(QString::fromLatin1(description));
        auto item = std::make_unique<ItemSet>();
        item->Description = texts.back();
        return item;
    }
    int Alive() const {
        int alive = 0;
        for (const QString& t : texts)
            alive += t.isDetached() ? 0 : 1;
        return alive;
    }
};

std::unique_ptr<ItemSet> Record(const char* description, std::int32_t storeInd = 0) {
    auto item = std::make_unique<ItemSet>();
    item->Description = QString::fromLatin1(description);
    item->StoreInd = storeInd;
    return item;
}

// The descriptions of the whole tree in tree order.
QStringList Walk(const ItemTree& tree) {
    QStringList names;
    for (ItemNode* n = tree.First(); n; n = n->GetNext())
        names << n->Data()->Description;
    return names;
}

// Two roots: R1 (a (a1, a2), b), R2 (c).
void Build(ItemTree& tree) {
    ItemNode* r1 = tree.AddRoot(Record("R1"));
    ItemNode* a = r1->AddChild(Record("a"));
    a->AddChild(Record("a1"));
    a->AddChild(Record("a2"));
    r1->AddChild(Record("b"));
    tree.AddRoot(Record("R2"))->AddChild(Record("c"));
}

} // namespace

TEST(ItemTree, GetNextWalksDepthFirstAcrossRoots) {
    ItemTree tree;
    EXPECT_EQ(tree.First(), nullptr);
    Build(tree);
    EXPECT_EQ(Walk(tree), QStringList({"R1", "a", "a1", "a2", "b", "R2", "c"}));
}

TEST(ItemTree, ParentsSiblingsAndIndexes) {
    ItemTree tree;
    Build(tree);
    ItemNode* r1 = tree.Root(0);
    ItemNode* a = r1->Child(0);
    EXPECT_EQ(r1->Parent(), nullptr);
    EXPECT_EQ(a->Parent(), r1);
    EXPECT_EQ(a->Child(1)->Parent()->Parent(), r1);
    EXPECT_EQ(r1->NextSibling(), tree.Root(1));
    EXPECT_EQ(tree.Root(1)->NextSibling(), nullptr);
    EXPECT_EQ(r1->Child(1)->Index(), 1);
    EXPECT_EQ(tree.Root(1)->Index(), 1);
    EXPECT_EQ(a->Tree(), &tree);
}

TEST(ItemTree, InsertSiblingAfterPlacesTheNodeRightAfter) {
    ItemTree tree;
    Build(tree);
    ItemNode* a1 = tree.Root(0)->Child(0)->Child(0);
    ItemNode* added = a1->InsertSiblingAfter(std::make_unique<ItemNode>(Record("a1b")));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Parent(), a1->Parent());
    tree.Root(0)->InsertSiblingAfter(std::make_unique<ItemNode>(Record("R1b")));
    EXPECT_EQ(Walk(tree), QStringList({"R1", "a", "a1", "a1b", "a2", "b", "R1b", "R2", "c"}));
    EXPECT_EQ(tree.RootCount(), 3);
    EXPECT_EQ(tree.Root(1)->Parent(), nullptr);
}

TEST(ItemTree, DetachKeepsRecordsAliveAndTheNodeCanBePutElsewhere) {
    Probes probes;
    ItemTree tree;
    ItemNode* r1 = tree.AddRoot(probes.Record("R1"));
    ItemNode* a = r1->AddChild(probes.Record("a"));
    a->AddChild(probes.Record("a1"));
    ItemNode* r2 = tree.AddRoot(probes.Record("R2"));
    ItemSet* record = a->Data();
    ASSERT_EQ(probes.Alive(), 4);

    std::unique_ptr<ItemNode> held = a->Detach();
    ASSERT_EQ(held.get(), a);
    EXPECT_EQ(probes.Alive(), 4);
    EXPECT_EQ(a->Parent(), nullptr);
    EXPECT_EQ(a->Tree(), nullptr);
    EXPECT_EQ(r1->ChildCount(), 0);
    EXPECT_EQ(Walk(tree), QStringList({"R1", "R2"}));

    r2->AddChild(std::move(held));
    EXPECT_EQ(a->Data(), record);
    EXPECT_EQ(a->Parent(), r2);
    EXPECT_EQ(Walk(tree), QStringList({"R1", "R2", "a", "a1"}));
    EXPECT_EQ(probes.Alive(), 4);
}

TEST(ItemTree, DeleteAndClearFreeTheRecords) {
    Probes probes;
    ItemTree tree;
    ItemNode* r1 = tree.AddRoot(probes.Record("R1"));
    ItemNode* a = r1->AddChild(probes.Record("a"));
    a->AddChild(probes.Record("a1"));
    r1->AddChild(probes.Record("b"));
    ASSERT_EQ(probes.Alive(), 4);

    a->Delete();
    EXPECT_EQ(probes.Alive(), 2);
    EXPECT_EQ(Walk(tree), QStringList({"R1", "b"}));

    tree.Clear();
    EXPECT_EQ(probes.Alive(), 0);
    EXPECT_EQ(tree.RootCount(), 0);
    EXPECT_EQ(tree.First(), nullptr);

    {
        ItemTree scoped;
        scoped.AddRoot(probes.Record("x"))->AddChild(probes.Record("y"));
        EXPECT_EQ(probes.Alive(), 2);
    }
    EXPECT_EQ(probes.Alive(), 0);
}

TEST(ItemTree, SelectionIsDroppedWhenItsNodeLeavesTheTree) {
    ItemTree tree;
    Build(tree);
    ItemNode* a2 = tree.Root(0)->Child(0)->Child(1);
    tree.SetSelected(a2);
    EXPECT_EQ(tree.Selected(), a2);

    tree.Root(1)->Delete(); // another subtree: selection stays
    EXPECT_EQ(tree.Selected(), a2);

    auto held = tree.Root(0)->Child(0)->Detach(); // an ancestor of the selected node
    EXPECT_EQ(tree.Selected(), nullptr);

    tree.SetSelected(held->Child(0)); // not in this tree
    EXPECT_EQ(tree.Selected(), nullptr);

    tree.SetSelected(tree.Root(0));
    tree.Clear();
    EXPECT_EQ(tree.Selected(), nullptr);
}

TEST(ItemTree, ANodeIsNeverPutInsideItself) {
    ItemTree tree;
    Build(tree);
    std::unique_ptr<ItemNode> a = tree.Root(0)->Child(0)->Detach();
    ItemNode* a1 = a->Child(0);
    EXPECT_EQ(a1->AddChild(std::move(a)), nullptr);
    ASSERT_TRUE(a);
    EXPECT_EQ(a1->InsertSiblingAfter(std::move(a)), nullptr);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->InsertSiblingAfter(std::make_unique<ItemNode>()), nullptr); // no siblings
    EXPECT_EQ(a->Detach(), nullptr);
    EXPECT_EQ(a->ChildCount(), 2);
}

TEST(CountChildStates, CountsDirectChildrenByStoreState) {
    ItemTree tree;
    ItemNode* heading = tree.AddRoot(Record("Routes", SI_HEADING));
    for (std::int32_t state : {2, 2, 1, 12, 11, 11, 6, 8, -1})
        heading->AddChild(Record("x", state))->AddChild(Record("grandchild", 2));

    std::int32_t store = 5, use = 5, active = 5, inactive = 5;
    CountChildStates(heading, store, use, active, inactive, true);
    EXPECT_EQ(store, 2);
    EXPECT_EQ(use, 1);
    EXPECT_EQ(active, 1);
    EXPECT_EQ(inactive, 2);

    // Without the zero flag the counts add up.
    CountChildStates(heading, store, use, active, inactive, false);
    EXPECT_EQ(store, 4);
    EXPECT_EQ(inactive, 4);

    // No node: counters are reset whatever the flag.
    CountChildStates(nullptr, store, use, active, inactive, false);
    EXPECT_EQ(store + use + active + inactive, 0);
}
