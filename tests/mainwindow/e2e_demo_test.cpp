// The demo as a user first sees it: the main window started on the demo's installation shows,
// after its first tick, the routes, activities and named lists with their state icons, and its
// buttons and menu items follow the node the user selects.
#include "core/forms/fixeddefs.h"
#include "core/generaldefs.h"
#include "mainwindow/e2ekit.h"
#include "mainwindow/objecttree.h"

#include <QAction>
#include <QPixmap>

using namespace qv;

namespace {

class DemoWindow : public DemoTest {
protected:
    // The state icon the view shows beside the node: its place in the state image list, -1 for
    // none.
    int Icon(const ItemNode* node) const {
        const QVariant shown = IndexOf(node).data(Qt::DecorationRole);
        if (!shown.isValid())
            return -1;
        const QList<QPixmap>& icons = FixedDefsForm()->StateImageList.Images;
        for (int i = 0; i < icons.size(); ++i) {
            if (icons[i].cacheKey() == shown.value<QPixmap>().cacheKey())
                return i;
        }
        return -2; // a picture that is no state icon
    }
    bool Enabled(const char* item) const { return C<QAction>(item)->isEnabled(); }
    bool ButtonEnabled(const char* button) const { return C<QAbstractButton>(button)->isEnabled(); }
    int Glyph(const char* button) const { return TMainForm::Glyph(C<QAbstractButton>(button)); }
};

TEST_F(DemoWindow, FirstStart_RebuildsTheCachesAndShowsTheTreeWithItsStateIcons) {
    Start();
    for (const char* cache : {"CACHESTK.QVC", "CACHECON.QVC", "CACHEPAT.QVC"})
        EXPECT_TRUE(QFile::exists(demo + "/STORE/QVDATA/" + cache)) << cache;
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->MainPageIndex(), 1);

    // Routes with their activities, all in the MSTS folder: the "In Use" icon; headings none.
    const ItemNode* routes = Node(Caption(Msg::TREE_HEADING_ROUTES), PT_HEADING);
    ASSERT_NE(routes, nullptr);
    EXPECT_EQ(routes->ChildCount(), 9);
    EXPECT_EQ(Icon(routes), -1);
    EXPECT_TRUE(View()->isExpanded(IndexOf(routes)));
    EXPECT_EQ(Icon(Node("Route 0", PT_ROUTE)), SI_IN_USE);
    EXPECT_EQ(Icon(Node("Alpine Pass", PT_ROUTE)), SI_IN_USE);
    EXPECT_EQ(Icon(Node("Activity 0", PT_ACTIVITY)), SI_IN_USE);
    EXPECT_EQ(Icon(Node("Route 0", PT_ROUTE)->FirstChild()), -1) << "the activities heading";

    // The global Explore Mode consist lists: the active one ticked, the other not; an entry
    // shows its list's kind once the list is opened.
    ItemNode* active = Node("Original List", PT_EXPLORE_CONSIST | PT_HEADING);
    ItemNode* inactive = Node("Heavy Freight", PT_EXPLORE_CONSIST | PT_HEADING);
    ASSERT_TRUE(active && inactive);
    EXPECT_EQ(Icon(active->Parent()), -1);
    EXPECT_EQ(Icon(active), SI_LIST_ACTIVE);
    EXPECT_EQ(Icon(inactive), SI_LIST_INACTIVE);
    View()->expand(IndexOf(inactive));
    ASSERT_EQ(inactive->ChildCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(inactive->Child(i)->Data()->PType & PT_FIRST_ONLY);
        EXPECT_EQ(Icon(inactive->Child(i)), 5) << "an Explore Mode consist";
    }
    EXPECT_EQ(View()->model()->rowCount(IndexOf(inactive)), 2);
}

TEST_F(DemoWindow, Controls_FollowTheSelectedNodeAndItsMarks) {
    BuildCaches();
    Start();
    ItemNode* route = Node("Route 0", PT_ROUTE);
    ASSERT_NE(route, nullptr);

    // A route in use offers to be stored.
    Select(route);
    EXPECT_TRUE(ButtonEnabled("StoreRoute_ActivityBtn"));
    EXPECT_EQ(Glyph("StoreRoute_ActivityBtn"), BTN_STORE);
    EXPECT_FALSE(ButtonEnabled("UnStoreRoute_ActivityBtn"));
    EXPECT_TRUE(Enabled("StoreRouteMnu"));
    EXPECT_FALSE(Enabled("UnStoreRouteMnu"));
    EXPECT_TRUE(ButtonEnabled("GoBtn"));

    // Marked In Store, it and its activities show the store icon, and it offers to be unstored.
    Click("StoreRoute_ActivityBtn");
    EXPECT_EQ(Icon(route), SI_IN_STORE);
    EXPECT_EQ(Icon(Node("Activity 0", PT_ACTIVITY)), SI_IN_STORE);
    EXPECT_TRUE(ButtonEnabled("UnStoreRoute_ActivityBtn"));
    EXPECT_EQ(Glyph("UnStoreRoute_ActivityBtn"), BTN_UNSTORE);
    EXPECT_FALSE(ButtonEnabled("StoreRoute_ActivityBtn"));
    EXPECT_EQ(Glyph("StoreRoute_ActivityBtn"), -1);
    EXPECT_TRUE(App().ScenarioChanged);

    // An activity of a stored route, put in use, brings its route back into use.
    Select(Node("Activity 3", PT_ACTIVITY));
    EXPECT_EQ(C<QAbstractButton>("UnStoreRoute_ActivityBtn")->text(),
              Caption(Msg::UNSTORE_ACTIVITY_TAG).replace(u'\r', u'\n'));
    EXPECT_TRUE(Enabled("UnStoreActivityMnu"));
    Click("UnStoreRoute_ActivityBtn");
    EXPECT_EQ(Icon(Node("Activity 3", PT_ACTIVITY)), SI_IN_USE);
    EXPECT_EQ(Icon(route), SI_IN_USE);
    EXPECT_EQ(Icon(Node("Activity 0", PT_ACTIVITY)), SI_IN_STORE);
    EXPECT_TRUE(ButtonEnabled("StoreRoute_ActivityBtn"));
    EXPECT_EQ(Glyph("StoreRoute_ActivityBtn"), BTN_STORE);

    // A list node offers what switches it; activating one list alone ticks it and no other.
    ItemNode* active = Node("Original List", PT_EXPLORE_CONSIST | PT_HEADING);
    ItemNode* inactive = Node("Heavy Freight", PT_EXPLORE_CONSIST | PT_HEADING);
    Select(active);
    EXPECT_TRUE(Enabled("DeActivateConsistListMnu"));
    EXPECT_FALSE(Enabled("ActivateConsistListMnu"));
    EXPECT_FALSE(ButtonEnabled("StoreRoute_ActivityBtn"));
    Select(inactive);
    EXPECT_TRUE(Enabled("ActivateConsistListMnu"));
    EXPECT_TRUE(Enabled("ActivateThisConsistListOnlyMnu"));
    EXPECT_FALSE(Enabled("DeActivateConsistListMnu"));
    C<QAction>("ActivateThisConsistListOnlyMnu")->trigger();
    EXPECT_EQ(Icon(inactive), SI_LIST_ACTIVE);
    EXPECT_EQ(Icon(active), SI_LIST_INACTIVE);
    EXPECT_TRUE(Enabled("DeActivateConsistListMnu"));
    EXPECT_FALSE(Enabled("ActivateConsistListMnu"));
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
}

// The pane shows the remembered route at the start, and the tree has the focus after a job.
TEST_F(DemoWindow, Keys_TheTreeHoldsTheFocusAfterTheStartAndAJob) {
    BuildCaches();
    Start();
    Select(Node("Alpine Pass", PT_ROUTE));
    RememberLastNode(*form->QuarvelObjects(), App().LastTreeSelection, true);
    form.reset();
    Start();
    EXPECT_TRUE(form->InformationMemo()->Lines().join('\n').contains("Alpine Pass"));
    C<QAction>("RebuildCachesMnu")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), View());
}

} // namespace
