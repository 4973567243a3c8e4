// The path list editor: the paths of one route, the Explore rule, the From and To filters, the
// Maintenance actions by the route's state, the cache pruning of a forced refresh, and opening
// it with nothing (or nothing route-like) selected.
#include "editors/pathfilter.h"

#include "core/regsettings.h"
#include "editors/forms/editpathlistsdlg.h"
#include "editors/listboxview.h"
#include "editors/listeditoractions.h"
#include "editortestkit.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>

namespace qv {

namespace {

class PathEditorTest : public EditorTest {
protected:
    PathEditorTest() {
        RegWriteString(kProductKey + "\\Filters\\Paths", "StoreInd", "3");
        ui.SetDefaultAnswer(ID_NO);
        builder.AddPath("ALPHA", "up.pat", "Up", "Yard", "Town", true);
        builder.AddPath("ALPHA", "down.pat", "Down", "Town", "Yard", true);
        builder.AddPath("ALPHA", "shunt.pat", "Shunt", "Yard", "Siding", false);
        builder.AddPath("BETA", "far.pat", "Far", "Hill", "Lake", true);
        routes = tree.AddRoot(Record(0, PT_ROUTES_ROOT, 0, "Routes", "ROUTES", ""));
        alpha = routes->AddChild(Record(1, PT_ROUTE, 1, "Alpha Line", folder, "ALPHA.trk"));
        routes->AddChild(Record(1, PT_ROUTE, 1, "Beta Line", "ROUTES\\BETA", "BETA.trk"));
        ItemNode* activities = alpha->AddChild(
            Record(2, PT_ACTIVITIES_GROUP, 0, "Activities", folder + "\\Activities", ""));
        activity = activities->AddChild(
            Record(3, PT_ACTIVITY, 1, "Coal Run", folder + "\\Activities", "coal.act"));
    }
    // A path list heading of the route holding one path, selected.
    ItemNode* AddPathList(std::uint32_t kind, int state) {
        const QString id = kind == PT_EXPLORE_PATH ? "PATHS" : "MAINTPAT";
        RegisterLists(folder, kind, {id + "=" + QString::number(state) + ",Mine"}, {{"up.pat"}});
        ItemNode* heading =
            alpha->AddChild(Record(2, kind | PT_HEADING, state, "Paths", folder, id + ".QVC"));
        tree.SetSelected(heading);
        return heading;
    }
    static QStringList Rows(const TEditPathListsDlg& dialog) {
        QStringList rows;
        for (int i = 0; i < dialog.AvailableListBox->count(); ++i)
            rows << dialog.AvailableListBox->item(i)->text();
        return rows;
    }

    const QString folder = "ROUTES\\ALPHA";
    ItemNode* routes = nullptr;
    ItemNode* alpha = nullptr;
    ItemNode* activity = nullptr;
};

TEST_F(PathEditorTest, ViewAllOnAnActivityShowsItsRoutesPathsAndSelectsTheRoute) {
    tree.SetSelected(activity);
    TEditPathListsDlg dialog(nullptr, EM_VIEW_ALL);
    dialog.show();

    EXPECT_EQ(tree.Selected(), alpha);
    EXPECT_EQ(dialog.Model().ListType, PT_PATH);
    EXPECT_EQ(Rows(dialog), (QStringList{"Down", "Shunt", "Up"}));
    EXPECT_EQ(App().PathRouteCount, 3); // the other route's path is not counted
    EXPECT_EQ(App().PathRouteState, 1);
    EXPECT_EQ(dialog.AvailableListLabel->text(), "Paths Available (3)");
    EXPECT_TRUE(dialog.ViewBtn->isHidden());
    EXPECT_GE(dialog.PathFromFilterCmbx->findText("Town"), 0);
    EXPECT_GE(dialog.PathToFilterCmbx->findText("Siding"), 0);
    EXPECT_LT(dialog.PathFromFilterCmbx->findText("Siding"), 0);

    dialog.DriveableCmbx->setCurrentIndex(DRIVEABLE_CROSS);
    dialog.ApplyFilterBtnClick();
    EXPECT_EQ(Rows(dialog), QStringList{"Shunt"});
    EXPECT_EQ(dialog.AvailableListLabel->text(), "Paths Available (1 out of 3)");
    EXPECT_EQ(RegReadString(kProductKey + "\\Filters\\Paths", "Exclude"), "16384");
}

TEST(PathInRoute, ComparesTheFolderAboveThePathWithoutRegardToCase) {
    const struct {
        const char* folder;
        const char* route;
        bool inRoute;
    } cases[] = {
        {"ROUTES\\ALPHA\\PATHS", "ROUTES\\ALPHA", true},
        {"Routes\\ALPHA\\Paths", "ROUTES\\alpha", true},
        {"ROUTES\\ALPHA2\\PATHS", "ROUTES\\ALPHA", false},
        {"ROUTES\\BETA\\PATHS", "ROUTES\\ALPHA", false},
        {"PATHS", "", false},
        {"", "ROUTES\\ALPHA", false},
    };
    for (const auto& c : cases) {
        ItemSet path;
        path.Folder = c.folder;
        EXPECT_EQ(PathInRoute(path, c.route), c.inRoute) << c.folder << " in " << c.route;
    }
}

TEST_F(PathEditorTest, FromAndToFilterByTheStartAndEndTexts) {
    tree.SetSelected(alpha);
    const struct {
        const char* name;
        QString from;
        QString to;
        QStringList rows;
    } cases[] = {
        {"from the yard", "Yard", "", {"Shunt", "Up"}},
        {"to the yard", "", "Yard", {"Down"}},
        {"from the yard to the siding", "Yard", "Sid*", {"Shunt"}},
        {"nowhere", "Lake", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ListEditorModel model;
        model.ListType = PT_PATH;
        model.AvailableItems = &App().PathCacheList;
        MemoryListBox box;
        PathFilterControls controls;
        controls.StoreIndIndex = 3;
        controls.From = c.from;
        controls.To = c.to;
        RefreshAvailablePaths(model, controls, box, false, alpha, {});
        EXPECT_EQ(box.Texts(), c.rows);
        EXPECT_EQ(controls.From, c.from);
    }
    EXPECT_EQ(ReadKeyList("Filters\\Paths\\From").value(0), "Lake");
}

TEST_F(PathEditorTest, AnExploreListShowsDriveablePathsAndKeepsTheStoredDriveableChoice) {
    RegWriteString(kProductKey + "\\Filters\\Paths", "Exclude", "16384");
    AddPathList(PT_EXPLORE_PATH, SI_LIST_ACTIVE);
    TEditPathListsDlg dialog(nullptr, EM_EDIT);
    dialog.show();

    EXPECT_EQ(dialog.Model().ListType, PT_EXPLORE_PATH);
    EXPECT_EQ(Rows(dialog), (QStringList{"Down", "Up"}));
    EXPECT_EQ(dialog.DriveableCmbx->currentIndex(), DRIVEABLE_TICK);
    EXPECT_FALSE(dialog.DriveableCmbx->isEnabled());
    dialog.ApplyFilterBtnClick();
    EXPECT_EQ(RegReadString(kProductKey + "\\Filters\\Paths", "Include"), "0");
    EXPECT_EQ(RegReadString(kProductKey + "\\Filters\\Paths", "Exclude"), "16384");
}

TEST_F(PathEditorTest, UnstoreAndEditAreEnabledOnlyForARouteInUse) {
    RegWriteString(kProductKey + "\\Editor", "Editor EXE Path", "C:\\ED.EXE");
    main.SetSimulationMaintPageIndex(1);
    const struct {
        const char* name;
        int mode;
        bool enabled;
    } cases[] = {{"view all of a route in use", EM_VIEW_ALL, true},
                 {"a maintenance list being edited", EM_EDIT, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.mode == EM_VIEW_ALL)
            tree.SetSelected(alpha);
        else
            AddPathList(PT_MAINT_PATH, SI_LIST_INACTIVE);
        TEditPathListsDlg dialog(nullptr, c.mode);
        dialog.show();
        ASSERT_GT(dialog.AvailableListBox->count(), 0);
        dialog.AvailableListBox->item(0)->setSelected(true);
        dialog.ListEditorPopupMenuPopup(dialog.AvailableListBox);
        EXPECT_TRUE(dialog.ImmediateUnstorePopupMnu->isVisible());
        EXPECT_TRUE(dialog.ImmediateEditPopupMnu->isVisible());
        EXPECT_EQ(dialog.ImmediateUnstorePopupMnu->isEnabled(), c.enabled);
        EXPECT_EQ(dialog.ImmediateEditPopupMnu->isEnabled(), c.enabled);
        EXPECT_FALSE(dialog.SVIEWPopupMnu->isVisible());
        EXPECT_FALSE(dialog.EditLotNumberPopupMnu->isVisible());
        EXPECT_FALSE(dialog.LoadInCBPopupMnu->isVisible());
    }
}

TEST_F(PathEditorTest, WithoutARouteTheListIsEmptyAndNothingBreaks) {
    const struct {
        const char* name;
        ItemNode* selected;
    } cases[] = {{"no selection", nullptr}, {"the routes heading", routes}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tree.SetSelected(c.selected);
        TEditPathListsDlg dialog(nullptr, EM_VIEW_ALL);
        dialog.show();
        EXPECT_EQ(dialog.AvailableListBox->count(), 0);
        EXPECT_EQ(App().PathRouteCount, 0);
        EXPECT_EQ(dialog.AvailableListLabel->text(), "Paths Available (0)");
        dialog.ListEditorPopupMenuPopup(dialog.AvailableListBox);
        dialog.RefreshBtnClick();
        EXPECT_EQ(dialog.AvailableListBox->count(), 0);
    }
}

TEST_F(PathEditorTest, AForcedRefreshPrunesThePathCacheToExistingPaths) {
    {
        auto cache = OpenStoreIni("CACHEPAT.QVC");
        cache->Ini.WriteString("Routes\\ALPHA\\PATHS\\gone.pat", "Name", "Gone");
        cache->Modified = true;
        ASSERT_TRUE(CloseStoreIni(std::move(cache)));
    }
    tree.SetSelected(alpha);
    TEditPathListsDlg dialog(nullptr, EM_VIEW_ALL);
    dialog.show();
    auto cache = OpenStoreIni("CACHEPAT.QVC");
    EXPECT_TRUE(cache->Ini.ReadSection("Routes\\ALPHA\\PATHS\\gone.pat").isEmpty());
    EXPECT_FALSE(cache->Ini.ReadSection("Routes\\ALPHA\\PATHS\\up.pat").isEmpty() &&
                 cache->Ini.ReadSection("ROUTES\\ALPHA\\PATHS\\up.pat").isEmpty());
}

TEST_F(PathEditorTest, AStoredPathOfTheRouteIsUnstoredIntoItsRoutesPathsFolder) {
    // The MSTS folder spells the route's path folder "Paths", the store "PATHS".
    const QString mstsPaths = builder.HostPath("ROUTES\\ALPHA\\PATHS");
    ASSERT_TRUE(QDir().rename(mstsPaths, mstsPaths.chopped(5) + "Paths"));
    builder.AddPath("ALPHA", "stored.pat", "Stored", "Quay", "Town", true, Into::Store);
    tree.SetSelected(alpha);
    TEditPathListsDlg dialog(nullptr, EM_VIEW_ALL);
    dialog.show();
    const QStringList rows = Rows(dialog);
    const int row = int(rows.indexOf("Stored"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(dialog.Model().AvailableRecord(row)->StoreInd, SI_IN_STORE);
    dialog.AvailableListBox->item(row)->setSelected(true);
    dialog.ListEditorPopupMenuPopup(dialog.AvailableListBox);
    dialog.PopupAction(LEA_UNSTORE);
    EXPECT_EQ(dialog.Model().AvailableRecord(row)->StoreInd, SI_IN_USE);
    EXPECT_TRUE(QFileInfo::exists(mstsPaths.chopped(5) + "Paths/stored.pat"));
    EXPECT_EQ(QDir(mstsPaths.chopped(6)).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{"Paths"});
    EXPECT_FALSE(
        QFileInfo::exists(builder.HostPath("ROUTES\\ALPHA\\PATHS\\stored.pat", Into::Store)));
}

} // namespace

} // namespace qv
