#include "mainwindow/objecttree.h"

#include "catalogue/itemtreelist.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "mainwindow/objecttreetestkit.h"

using namespace qv;

namespace {

const QString kScenario = "C:\\saved.QVS";

class ObjectTreeLoadTest : public ObjectTreeTest {};

} // namespace

TEST_F(ObjectTreeLoadTest, LoadTree_WithoutExpandListOpensTopLevelOnlyAndFillsNoList) {
    BuildInstallation();
    TheMainServices().InformationMemo()->AddLine("old report");
    LoadTree(tree, QString(), nullptr, -1);

    ASSERT_EQ(tree.RootCount(), 2);
    EXPECT_TRUE(tree.Root(0)->Expanded());
    EXPECT_TRUE(tree.Root(1)->Expanded());
    EXPECT_FALSE(Node("Alpha Line")->Expanded());
    EXPECT_TRUE(AnyPlaceholder());
    EXPECT_EQ(tree.Selected(), tree.First());
    EXPECT_FALSE(App().TreeClearing);
    EXPECT_TRUE(TheMainServices().InformationMemo()->Lines().isEmpty());
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(ObjectTreeLoadTest, LoadTree_WithExpandListFillsEveryListNode) {
    BuildInstallation();
    WriteFlag(true, "Expand List");
    LoadTree(tree, QString(), nullptr, -1);

    EXPECT_FALSE(AnyPlaceholder());
    ItemNode* global = Node("Explore Mode Consists");
    EXPECT_TRUE(global->Expanded());
    ASSERT_EQ(global->ChildCount(), 2);
    EXPECT_EQ(global->Child(1)->Data()->Description, "Passenger Two");
    EXPECT_EQ(global->Child(1)->StateIndex, 5);
    EXPECT_TRUE(Node("New List (1)")->Expanded());
}

TEST_F(ObjectTreeLoadTest, ExpandNodeFromCaches_FillsOnlyAnUnopenedListNode) {
    BuildInstallation();
    LoadTree(tree, QString(), nullptr, -1);
    ItemNode* list = Node("Explore Mode Consists");
    ASSERT_EQ(list->ChildCount(), 1); // the placeholder

    ExpandNodeFromCaches(list);
    ASSERT_EQ(list->ChildCount(), 2);
    ItemNode* first = list->FirstChild();
    EXPECT_EQ(first->Data()->Description, "Freight One");
    EXPECT_FALSE(first->Data()->PType & PT_FIRST_ONLY);

    // A real entry as first child: nothing is read again.
    first->Data()->Description = "kept";
    ExpandNodeFromCaches(list);
    EXPECT_EQ(list->FirstChild(), first);
    EXPECT_EQ(first->Data()->Description, "kept");

    // A list that is no longer registered leaves its node empty.
    ItemNode* other = Node("New List (1)");
    other->Data()->FileName = "CONSISTS7.QVC";
    ExpandNodeFromCaches(other);
    EXPECT_EQ(other->ChildCount(), 0);
}

TEST_F(ObjectTreeLoadTest, ExpandNodeFromCaches_ViewByFileNameShowsStockFileOnly) {
    BuildInstallation();
    services.SetSimulationMaintPageIndex(TREE_PAGE_MAINTENANCE);
    App().ViewByFileName = true;
    WriteFlag(true, "Expand List");
    LoadTree(tree, QString(), nullptr, -1);

    ItemNode* stock = Node("Maintenance Mode Stock")->FirstChild();
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(stock->Data()->FileName, "DASH9\\DASH9.ENG");
    EXPECT_EQ(ObjectNodeText(*stock), "DASH9.ENG");
    EXPECT_EQ(stock->StateIndex, 8);
    ItemNode* consist = Node("Maintenance Mode Consists")->FirstChild();
    ASSERT_NE(consist, nullptr);
    EXPECT_EQ(ObjectNodeText(*consist), consist->Data()->FileName);
    EXPECT_EQ(consist->StateIndex, 6);
}

TEST_F(ObjectTreeLoadTest, LoadTree_UnchangedScenarioShowsNoBox) {
    BuildInstallation();
    LoadTree(tree, QString(), nullptr, -1);
    ASSERT_TRUE(SaveScenario(tree, kScenario, nullptr));

    LoadTree(tree, kScenario, nullptr, 0);
    EXPECT_TRUE(ui.Shown().empty());
    EXPECT_FALSE(App().ScenarioChanged);
}

TEST_F(ObjectTreeLoadTest, LoadTree_ChangedScenarioReappliesActivityMarksThenTellsUser) {
    BuildInstallation();
    LoadTree(tree, QString(), nullptr, -1);
    // Saved with ALPHA stored but one of its activities in use, before GAMMA existed.
    Node("Alpha Line", PT_ROUTE)->Data()->StoreInd = SI_IN_STORE;
    ASSERT_EQ(Node("Morning Run")->Data()->StoreInd, SI_IN_USE);
    ASSERT_TRUE(SaveScenario(tree, kScenario, nullptr));
    builder.AddRoute("GAMMA", "Gamma Line", "G");

    LoadTree(tree, kScenario, nullptr, 0);
    ItemNode* alpha = Node("Alpha Line", PT_ROUTE);
    EXPECT_EQ(alpha->Data()->StoreInd, SI_IN_USE);
    EXPECT_EQ(Node("Morning Run")->Data()->StoreInd, SI_IN_USE);
    EXPECT_EQ(tree.Selected(), tree.First());
    EXPECT_TRUE(App().ScenarioChanged);
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown()[0].text, Caption(Msg::SCENARIO_MODIFIED));
    EXPECT_EQ(ui.Shown()[0].style, MB_ICONINFORMATION);
}

TEST_F(ObjectTreeLoadTest, RememberLastNode_KeepsFileNameOfRoutesOnly) {
    BuildInstallation();
    LoadTree(tree, QString(), nullptr, -1);
    AppState::TreeSelectionInfo info;

    tree.SetSelected(Node("Alpha Line", PT_ROUTE));
    RememberLastNode(tree, info, true);
    EXPECT_EQ(info.Folder, "Routes\\ALPHA");
    EXPECT_EQ(info.PType, std::int32_t(PT_ROUTE));
    EXPECT_FALSE(info.FileName.isEmpty());
    EXPECT_EQ(RegReadString(kProductKey, "Last Node FileName"), info.FileName);

    tree.SetSelected(Node("Morning Run"));
    RememberLastNode(tree, info, true);
    EXPECT_EQ(info.PType, std::int32_t(PT_ACTIVITY));
    EXPECT_EQ(RegReadString(kProductKey, "Last Node FileName"), QString());
    EXPECT_EQ(RegReadString(kProductKey, "Last Node PType"), "4");

    tree.SetSelected(Node("Routes")); // a heading: its heading bit is not kept
    RememberLastNode(tree, info, false);
    EXPECT_EQ(info.PType, std::int32_t(PT_ROUTE));
    EXPECT_EQ(RegReadString(kProductKey, "Last Node Folder"), Node("Morning Run")->Data()->Folder);

    tree.SetSelected(nullptr);
    info.FileName = "kept";
    RememberLastNode(tree, info, false);
    EXPECT_EQ(info.Folder, QString());
    EXPECT_EQ(info.PType, 0);
    EXPECT_EQ(info.FileName, "kept");
}

TEST_F(ObjectTreeLoadTest, ReselectLastNode_FindsNamedNodeAndOnEasyPageItsRoute) {
    BuildInstallation();
    LoadTree(tree, QString(), nullptr, -1);
    tree.SetSelected(nullptr);
    EXPECT_EQ(ReselectLastNode(tree, {}), 0);
    EXPECT_EQ(tree.Selected(), nullptr);

    ItemNode* alpha = Node("Alpha Line", PT_ROUTE);
    alpha->SetExpanded(true);
    AppState::TreeSelectionInfo info{"Routes\\ALPHA", std::int32_t(PT_ROUTE),
                                     alpha->Data()->FileName};
    int index = 0;
    for (ItemNode* n = tree.First(); n != alpha; n = n->GetNext())
        ++index;
    EXPECT_EQ(ReselectLastNode(tree, info), index);
    EXPECT_EQ(tree.Selected(), alpha);

    ItemNode* run = Node("Morning Run");
    info = {run->Data()->Folder, std::int32_t(PT_ACTIVITY), run->Data()->FileName};
    EXPECT_GT(ReselectLastNode(tree, info), 0);
    EXPECT_EQ(tree.Selected(), run);
    services.SetMainPageIndex(0);
    ReselectLastNode(tree, info);
    EXPECT_EQ(tree.Selected(), alpha);
}
