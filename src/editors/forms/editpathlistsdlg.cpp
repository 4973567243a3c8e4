#include "editors/forms/editpathlistsdlg.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "editors/filtersupport.h"
#include "editors/forms/filterwidgets.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

namespace qv {

TEditPathListsDlg::TEditPathListsDlg(QWidget* owner, int mode) : TListEditorDlg(owner, mode) {
    setObjectName(QStringLiteral("TEditPathListsDlg"));
    model_.AvailableItems = &App().PathCacheList;
    BuildFilterPanel();
}

void TEditPathListsDlg::BuildFilterPanel() {
    PathFilterPnl = new QGroupBox(MainPanel);
    PathFilterPnl->setObjectName(QStringLiteral("PathFilterPnl"));
    PathFilterPnl->setGeometry(5, 348, 782, 164);

    BuildDriveableFilter(PathFilterPnl);

    PathFromFilterCmbx = NewTextFilter(PathFilterPnl, "PathFromFilterCmbx", 10, 52, 240, this);
    PathToFilterCmbx = NewTextFilter(PathFilterPnl, "PathToFilterCmbx", 265, 52, 240, this);
    PathNameFilterCmbx = NewTextFilter(PathFilterPnl, "PathNameFilterCmbx", 520, 52, 240, this);
    const auto history = [](const char* name) {
        return FilterHistoryKey(kPathFiltersKey, QString::fromLatin1(name));
    };
    WatchTextFilter(PathFromFilterCmbx, history("From"));
    WatchTextFilter(PathToFilterCmbx, history("To"));
    WatchTextFilter(PathNameFilterCmbx, history("Name"));

    // Paths have no lot numbers: the panel of new items stays empty.
    BuildFilterControls(PathFilterPnl, nullptr);
    ShowFilterTexts();
}

void TEditPathListsDlg::ShowFilterTexts() {
    PathFilterPnl->setTitle(tr("Path Filter"));
    SetFilterCaption(PathFromFilterCmbx, tr("From"));
    SetFilterCaption(PathToFilterCmbx, tr("To"));
    SetFilterCaption(PathNameFilterCmbx, tr("Path Name"));
    TListEditorDlg::ShowFilterTexts();
}

QString TEditPathListsDlg::AvailableCaption() const {
    return Caption(Msg::PATHS_AVAILABLE_TAG);
}

QString TEditPathListsDlg::SelectedCaption() const {
    return Caption(Msg::PATHS_SELECTED_TAG);
}

QString TEditPathListsDlg::DetailsCaption() const {
    return tr("Path Details");
}

int TEditPathListsDlg::AvailableTotal() const {
    return App().PathRouteCount;
}

ItemNode* TEditPathListsDlg::ViewAllNode(ItemNode* selected) {
    // Up to the route; that route becomes the tree's selection.
    ItemNode* node = selected;
    while (node && node->Data()->PLevel >= 2 && node->Parent())
        node = node->Parent();
    ItemTree* tree = TheMainServices().QuarvelObjects();
    if (node && tree && node != selected)
        tree->SetSelected(node);
    return node;
}

void TEditPathListsDlg::ShowFilters() {
    ShowStatusItems(StoreIndCmbx);
    DriveableCmbx->setToolTip(FilterHint(Msg::CONSIST_FILTER_HINT));
    PathFromFilterCmbx->setToolTip(
        FilterHint(Msg::PATH_FROM_FILTER_HINT, Msg::NAME_FILTER_HINT2, QStringLiteral(" ")));
    PathToFilterCmbx->setToolTip(
        FilterHint(Msg::PATH_TO_FILTER_HINT, Msg::NAME_FILTER_HINT2, QStringLiteral(" ")));
    PathNameFilterCmbx->setToolTip(FilterHint(Msg::USED_IN_ROUTE_FILTER_HINT));
}

void TEditPathListsDlg::ReadFilterMemory() {
    // Paths are never shown in the viewer.
    ViewBtn->setVisible(false);
    ShowFilterIcon(FilterIconImage, PT_MAINT_PATH, 9);

    PathFilterControls controls = ReadControls();
    ReadPathFilterMemory(controls);
    ShowControls(controls);
}

PathFilterControls TEditPathListsDlg::ReadControls() const {
    PathFilterControls controls;
    controls.DriveableIndex = DriveableCmbx->currentIndex();
    controls.From = PathFromFilterCmbx->currentText();
    controls.To = PathToFilterCmbx->currentText();
    controls.Name = PathNameFilterCmbx->currentText();
    controls.StoreIndIndex = StoreIndCmbx->currentIndex();
    return controls;
}

void TEditPathListsDlg::ShowControls(const PathFilterControls& controls) {
    ShowComboIndex(DriveableCmbx, controls.DriveableIndex);
    DriveableCmbx->setEnabled(controls.DriveableEnabled);
    ShowStatusIndex(StoreIndCmbx, controls.StoreIndIndex);
}

void TEditPathListsDlg::RefreshAvailable(bool force) {
    PathFilterControls controls = ReadControls();
    ItemTree* tree = TheMainServices().QuarvelObjects();
    RefreshAvailablePaths(model_, controls, AvailableView(), force,
                          tree ? tree->Selected() : nullptr,
                          [this](bool enabled) { EnableMainPanel(enabled); });
    ShowControls(controls);
    SetComboItems(PathFromFilterCmbx, controls.FromItems, controls.From);
    SetComboItems(PathToFilterCmbx, controls.ToItems, controls.To);
    SetComboItems(PathNameFilterCmbx, controls.NameItems, controls.Name);
    CurrentListBoxEnter();
    AvailableListBoxEnter();
}

void TEditPathListsDlg::AdjustPopupItems(int selected) {
    (void)selected;
    SVIEWPopupMnu->setVisible(false);
    LoadInCBPopupMnu->setVisible(false);
    EditLotNumberPopupMnu->setVisible(false);
    // Only paths of a route in use can be unstored or edited from here.
    const bool inUse = App().PathRouteState == 1;
    ImmediateUnstorePopupMnu->setEnabled(inUse);
    ImmediateEditPopupMnu->setEnabled(inUse);
}

} // namespace qv
