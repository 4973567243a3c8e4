#include "editors/forms/editpathlistsdlg.h"

#include "core/appstate.h"
#include "core/forms/fixeddefs.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "editors/filtersupport.h"
#include "editors/forms/filterwidgets.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace qv {

TEditPathListsDlg::TEditPathListsDlg(QWidget* owner, int mode) : TListEditorDlg(owner, mode) {
    setObjectName(QStringLiteral("TEditPathListsDlg"));
    model_.AvailableItems = &App().PathCacheList;
    BuildFilterPanel();
}

void TEditPathListsDlg::BuildFilterPanel() {
    PathFilterPnl = new QGroupBox(tr("Path Filter"), MainPanel);
    PathFilterPnl->setObjectName(QStringLiteral("PathFilterPnl"));
    PathFilterPnl->setGeometry(5, 348, 782, 164);

    auto* driveable = new QLabel(tr("Driveable"), PathFilterPnl);
    driveable->setGeometry(610, 22, 60, 18);
    DriveableCmbx = new QComboBox(PathFilterPnl);
    DriveableCmbx->setObjectName(QStringLiteral("DriveableCmbx"));
    DriveableCmbx->setGeometry(675, 20, 60, 24);
    DriveableCmbx->addItems(DriveableItems());
    DriveableCmbx->setProperty("Tag", uint(PT_DRIVEABLE));
    connect(DriveableCmbx, &QComboBox::activated, this, &TEditPathListsDlg::ApplyFilterBtnClick);

    PathFromFilterCmbx =
        NewTextFilter(PathFilterPnl, "PathFromFilterCmbx", tr("From"), 10, 52, 240, this);
    PathToFilterCmbx =
        NewTextFilter(PathFilterPnl, "PathToFilterCmbx", tr("To"), 265, 52, 240, this);
    PathNameFilterCmbx =
        NewTextFilter(PathFilterPnl, "PathNameFilterCmbx", tr("Path Name"), 520, 52, 240, this);

    auto* status = new QLabel(tr("Status"), PathFilterPnl);
    status->setGeometry(10, 112, 50, 18);
    StoreIndCmbx = new QComboBox(PathFilterPnl);
    StoreIndCmbx->setObjectName(QStringLiteral("StoreIndCmbx"));
    StoreIndCmbx->setGeometry(60, 108, 150, 24);
    connect(StoreIndCmbx, &QComboBox::activated, this, &TEditPathListsDlg::ApplyFilterBtnClick);

    ApplyFilterBtn = new QPushButton(tr("Apply Filter"), PathFilterPnl);
    ApplyFilterBtn->setObjectName(QStringLiteral("ApplyFilterBtn"));
    ApplyFilterBtn->setGeometry(230, 108, 110, 25);
    ApplyFilterBtn->setAutoDefault(false);
    connect(ApplyFilterBtn, &QPushButton::clicked, this, &TEditPathListsDlg::ApplyFilterBtnClick);

    FilterIconImage = new QLabel(PathFilterPnl);
    FilterIconImage->setObjectName(QStringLiteral("FilterIconImage"));
    FilterIconImage->setGeometry(750, 20, 16, 16);

    // Paths have no lot numbers: the panel of new items stays empty.
    NewLotsPnl = new QWidget(PathFilterPnl);
    NewLotsPnl->setObjectName(QStringLiteral("NewLotsPnl"));
    NewLotsPnl->setGeometry(400, 104, 300, 48);
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
    QStringList status = StatusComboItems().split(QStringLiteral("\r\n"));
    status.removeLast();
    {
        const QSignalBlocker blocker(StoreIndCmbx);
        StoreIndCmbx->clear();
        StoreIndCmbx->addItems(status);
    }
    DriveableCmbx->setToolTip(FilterHint(Msg::CONSIST_FILTER_HINT));
    PathFromFilterCmbx->setToolTip(
        FilterHint(Msg::PATH_FROM_FILTER_HINT, Msg::NAME_FILTER_HINT2, QStringLiteral(" ")));
    PathToFilterCmbx->setToolTip(
        FilterHint(Msg::PATH_TO_FILTER_HINT, Msg::NAME_FILTER_HINT2, QStringLiteral(" ")));
    PathNameFilterCmbx->setToolTip(FilterHint(Msg::USED_IN_ROUTE_FILTER_HINT));
    StoreIndCmbx->setToolTip(FilterHint(Msg::STOREIND_FILTER_HINT));
}

void TEditPathListsDlg::ReadFilterMemory() {
    // Paths are never shown in the viewer.
    ViewBtn->setVisible(false);
    const MainServices& main = TheMainServices();
    const bool maintenance = model_.ListType == PT_MAINT_PATH ||
                             (model_.ListType == PT_PATH && main.MainPageIndex() == 1 &&
                              main.SimulationMaintPageIndex() == 1);
    const TFixedDefsForm* pictures = FixedDefsForm();
    const int picture = maintenance ? 10 : 9;
    if (pictures && picture < pictures->StateImageList.Count())
        FilterIconImage->setPixmap(pictures->StateImageList.Images[picture]);

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
    {
        const QSignalBlocker blocker(DriveableCmbx);
        DriveableCmbx->setCurrentIndex(controls.DriveableIndex);
    }
    DriveableCmbx->setEnabled(controls.DriveableEnabled);
    {
        const QSignalBlocker blocker(StoreIndCmbx);
        StoreIndCmbx->setCurrentIndex(
            controls.StoreIndIndex < StoreIndCmbx->count() ? controls.StoreIndIndex : -1);
    }
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

void TEditPathListsDlg::ApplyFilterBtnClick() {
    if (App().Busy)
        return;
    RefreshAvailable(false);
}

void TEditPathListsDlg::TextFilterKeyUp(QComboBox* combo, const QString& history, int key,
                                        Qt::KeyboardModifiers modifiers) {
    if (App().Busy)
        return;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        RefreshAvailable(false);
    } else if (key == Qt::Key_Delete && (modifiers & Qt::ShiftModifier)) {
        ClearKey(FilterHistoryKey(kPathFiltersKey, history));
        combo->setEditText(QString());
        RefreshAvailable(false);
    }
}

bool TEditPathListsDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        const struct {
            QComboBox* combo;
            const char* history;
        } filters[] = {
            {PathFromFilterCmbx, "From"}, {PathToFilterCmbx, "To"}, {PathNameFilterCmbx, "Name"}};
        for (const auto& filter : filters)
            if (watched == filter.combo->lineEdit()) {
                TextFilterKeyUp(filter.combo, QString::fromLatin1(filter.history), key->key(),
                                key->modifiers());
                return true;
            }
    }
    return TListEditorDlg::eventFilter(watched, event);
}

} // namespace qv
