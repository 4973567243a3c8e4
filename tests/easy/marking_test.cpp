#include "easy/marking.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "fixtures/registrysandbox.h"
#include "platform/fakeui.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

// The Routes heading with routes below it, each with one Activities group, as the main tree.
class MarkingTest : public ::testing::Test {
protected:
    MarkingTest() {
        ResetAppState();
        SetUi(&ui);
        main.SetQuarvelObjects(&tree);
        SetMainServices(&main);
        heading = tree.AddRoot(std::make_unique<ItemSet>(
            ItemSet{0, PT_ROUTES_ROOT, SI_HEADING, "Routes", "Routes", {}, {}, {}}));
    }
    ~MarkingTest() override {
        SetMainServices(nullptr);
        SetUi(nullptr);
        ResetAppState();
    }
    // A route with one activity per given state.
    ItemNode* AddRoute(const QString& folder, int state, std::initializer_list<int> activities) {
        ItemNode* route = heading->AddChild(std::make_unique<ItemSet>(
            ItemSet{1, PT_ROUTE, state, folder, "Routes\\" + folder, folder + ".trk", {}, {}}));
        ItemNode* group = route->AddChild(std::make_unique<ItemSet>(
            ItemSet{2, PT_ACTIVITIES_GROUP, SI_HEADING, "Activities", {}, {}, {}, {}}));
        for (int activity : activities)
            group->AddChild(std::make_unique<ItemSet>(
                ItemSet{3, PT_ACTIVITY, activity, "Run", {}, "a.act", {}, {}}));
        return route;
    }
    static ItemNode* Activity(ItemNode* route, int index) { return route->Child(0)->Child(index); }
    static int State(const ItemNode* node) { return node->Data()->StoreInd; }

    RegistrySandbox registry;
    FakeUi ui;
    ItemTree tree;
    HeadlessMainServices main;
    ItemNode* heading = nullptr;
};

} // namespace

TEST_F(MarkingTest, MarkSelectedNode_ExclusiveActivityStoresOtherRoutesAndBringsItsRouteIntoUse) {
    MarkSelectedNode(SI_IN_STORE, true);
    EXPECT_FALSE(App().ScenarioChanged) << "no selection: nothing is marked";

    ItemNode* hill = AddRoute("Hill", SI_IN_USE, {SI_IN_USE});
    ItemNode* vale = AddRoute("Vale", SI_IN_STORE, {SI_IN_STORE, SI_IN_STORE});
    tree.SetSelected(Activity(vale, 1));
    MarkSelectedNode(SI_IN_USE, true);
    EXPECT_EQ(State(hill), SI_IN_STORE);
    EXPECT_EQ(State(Activity(hill, 0)), SI_IN_STORE);
    EXPECT_EQ(State(vale), SI_IN_USE);
    EXPECT_EQ(State(Activity(vale, 0)), SI_IN_STORE);
    EXPECT_EQ(Activity(vale, 1)->StateIndex, SI_IN_USE);
    EXPECT_TRUE(App().ScenarioChanged);
    EXPECT_FALSE(main.Checked("PartialRouteCbx")) << "the Simulation page has no partial route";
}

TEST_F(MarkingTest, MarkSelectedNode_ActivityOnMaintenancePageSwitchesPartialRouteOn) {
    ItemNode* hill = AddRoute("Hill", SI_IN_USE, {SI_IN_USE});
    main.SetSimulationMaintPageIndex(1);
    tree.SetSelected(hill);
    MarkSelectedNode(SI_IN_STORE, false);
    EXPECT_FALSE(main.Checked("PartialRouteCbx")) << "a whole route is no partial route";

    tree.SetSelected(Activity(hill, 0));
    MarkSelectedNode(SI_IN_USE, false);
    EXPECT_TRUE(main.Checked("PartialRouteCbx"));
    EXPECT_EQ(RegReadString(kProductKey, "Partial Route"), "true");
    EXPECT_EQ(State(hill), SI_IN_USE);
}

TEST_F(MarkingTest, DefaultRoutes_EachMissingRouteNamedOnceAndFoundOnesMarked) {
    // Folder names match in any letter case, as MSTS sees them.
    for (const char* name : {"EUROPE1", "europe2", "USA1", "USA2", "JAPAN1"})
        AddRoute(name, SI_IN_STORE, {SI_IN_STORE});
    const QString missing =
        Caption(Msg::DEFAULT_ROUTE_NOT_FOUND1) + Caption(Msg::GENERAL_NOT_FOUND2) + "JAPAN2'";

    EXPECT_FALSE(CheckDefaultRoutes(tree));
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown()[0].text, missing);
    EXPECT_EQ(ui.Shown()[0].style, MB_ICONEXCLAMATION);
    EXPECT_EQ(State(heading->Child(0)), SI_IN_STORE) << "the check marks nothing";

    EXPECT_FALSE(MarkDefaultRoutes(tree));
    EXPECT_EQ(ui.Shown().size(), 1u) << "marking reports into the pane";
    EXPECT_TRUE(main.InformationMemo()->Lines().join("\n").contains("JAPAN2'"));
    for (int i = 0; i < heading->ChildCount(); ++i)
        EXPECT_EQ(State(Activity(heading->Child(i), 0)), SI_IN_USE);

    AddRoute("JAPAN2", SI_IN_STORE, {});
    EXPECT_TRUE(CheckDefaultRoutes(tree));
    EXPECT_TRUE(MarkDefaultRoutes(tree));
}
