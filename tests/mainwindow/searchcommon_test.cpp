#include "mainwindow/searchcommon.h"

#include "core/regsettings.h"
#include "mainwindow/objecttree.h"
#include "mainwindow/objecttreetestkit.h"

using namespace qv;

namespace {

class TreeSearchTest : public ObjectTreeTest {
protected:
    void SetUp() override {
        BuildInstallation();
        LoadTree(tree, QString(), nullptr, -1);
    }

    void Search(const QString& text) {
        AcceptSearchParams(record, text, false, false, false);
        ResetSearch(record);
        record.NewSearch = false;
        SearchTreeView(record, tree);
    }

    SearchTextSet record;
};

TEST_F(TreeSearchTest, FindsAnEntryOfAListThatWasNeverOpened) {
    ASSERT_TRUE(AnyPlaceholder());
    Search("passenger TWO");
    EXPECT_GE(record.LastResult, 1);
    ASSERT_NE(tree.Selected(), nullptr);
    EXPECT_EQ(tree.Selected()->Data()->Description, "Passenger Two");
    // Only the path down to the match is open.
    for (ItemNode* parent = tree.Selected()->Parent(); parent; parent = parent->Parent())
        EXPECT_TRUE(parent->Expanded());
    EXPECT_FALSE(Node("Alpha Line")->Expanded());
}

TEST_F(TreeSearchTest, FindNextGoesOnToTheNextNodeAndNothingFoundRestoresTheStart) {
    Search("Run");
    ASSERT_NE(tree.Selected(), nullptr);
    EXPECT_EQ(tree.Selected()->Data()->Description, "Evening Run");
    SearchTreeView(record, tree);
    EXPECT_EQ(tree.Selected()->Data()->Description, "Morning Run");

    ItemNode* start = Node("Beta Line");
    tree.SetSelected(start);
    Search("no such text");
    EXPECT_EQ(record.LastResult, 0);
    EXPECT_EQ(record.Position, 0);
    EXPECT_EQ(tree.Selected(), Node("Beta Line"));
}

TEST_F(TreeSearchTest, ANewSelectionStartsAtTheStartOfThatNode) {
    Search("Line");
    ASSERT_EQ(tree.Selected(), Node("Alpha Line"));
    EXPECT_EQ(record.Position, -1);
    // The user picks another node whose text also holds the text: it is found there first.
    tree.SetSelected(Node("Beta Line"));
    SearchTreeView(record, tree);
    EXPECT_EQ(tree.Selected(), Node("Beta Line"));
}

} // namespace
