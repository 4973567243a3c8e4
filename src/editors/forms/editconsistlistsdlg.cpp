#include "editors/forms/editconsistlistsdlg.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "editors/filtersupport.h"
#include "editors/forms/filterwidgets.h"
#include "editors/listeditoractions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

namespace qv {

TEditConsistListsDlg::TEditConsistListsDlg(QWidget* owner, int mode) : TListEditorDlg(owner, mode) {
    setObjectName(QStringLiteral("TEditConsistListsDlg"));
    model_.AvailableItems = &App().ConsistCacheList;
    BuildFilterPanel();
}

void TEditConsistListsDlg::BuildFilterPanel() {
    ConsistFilterPnl = new QGroupBox(tr("Consist Filter"), MainPanel);
    ConsistFilterPnl->setObjectName(QStringLiteral("ConsistFilterPnl"));
    ConsistFilterPnl->setGeometry(5, 348, 782, 164);

    auto box = [this](const char* name, const QString& caption, int left) {
        return BuildKindBox(ConsistFilterPnl, name, caption, left, 100);
    };
    EngineCbx = box("EngineCbx", tr("Light Engine"), 10);
    CarriageCbx = box("CarriageCbx", tr("Passenger"), 110);
    FreightCbx = box("FreightCbx", tr("Freight"), 210);
    SteamCbx = box("SteamCbx", tr("Steam"), 330);
    DieselCbx = box("DieselCbx", tr("Diesel"), 420);
    ElectricCbx = box("ElectricCbx", tr("Electric"), 510);
    SetCheckBoxTags(CheckBoxes(), kConsistFilterTags);

    BuildDriveableFilter(ConsistFilterPnl, tr("Driveable"));

    auto text = [this](const char* name, const QString& caption, int left) {
        return NewTextFilter(ConsistFilterPnl, name, caption, left, 52, 180, this);
    };
    ConsistNameFilterCmbx = text("ConsistNameFilterCmbx", tr("Consist Name"), 10);
    EngineNameFilterCmbx = text("EngineNameFilterCmbx", tr("Locomotive Name"), 200);
    LotNumberFilterCmbx = text("LotNumberFilterCmbx", tr("Lot Number"), 390);
    UsedInRouteFilterCmbx = text("UsedInRouteFilterCmbx", tr("Used in Route"), 580);
    connect(UsedInRouteFilterCmbx, &QComboBox::activated, this,
            &TEditConsistListsDlg::RouteFilterSelect);
    const auto history = [](const char* name) {
        return FilterHistoryKey(kConsistFiltersKey, QString::fromLatin1(name));
    };
    WatchTextFilter(ConsistNameFilterCmbx, history("ConsistName"));
    WatchTextFilter(EngineNameFilterCmbx, history("EngineName"));
    WatchTextFilter(LotNumberFilterCmbx, history("LotNumber"));
    WatchTextFilter(UsedInRouteFilterCmbx, history("UsedInRoute"), true);

    BuildFilterControls(ConsistFilterPnl, tr("Status"), tr("Apply Filter"), "NewConsistsLbl");
}

QList<QCheckBox*> TEditConsistListsDlg::CheckBoxes() const {
    return {EngineCbx, CarriageCbx, FreightCbx, SteamCbx, DieselCbx, ElectricCbx};
}

QString TEditConsistListsDlg::AvailableCaption() const {
    return Caption(Msg::CONSISTS_AVAILABLE_TAG);
}

QString TEditConsistListsDlg::SelectedCaption() const {
    return Caption(Msg::CONSISTS_SELECTED_TAG);
}

QString TEditConsistListsDlg::DetailsCaption() const {
    return tr("Consist Details");
}

int TEditConsistListsDlg::ViewerAction() const {
    return LEA_VIEW_CONSIST;
}

void TEditConsistListsDlg::ShowFilters() {
    ShowStatusItems(StoreIndCmbx);
    setToolTip(QString());
    for (QCheckBox* b : {EngineCbx, CarriageCbx, FreightCbx})
        b->setToolTip(FilterHint(Msg::CONSIST_FILTER_HINT));
    for (QCheckBox* b : {SteamCbx, DieselCbx, ElectricCbx})
        b->setToolTip(FilterHint(Msg::CONSIST_POWER_FILTER_HINT));
    ConsistNameFilterCmbx->setToolTip(
        FilterHint(Msg::CONSIST_NAME_FILTER_HINT, Msg::NAME_FILTER_HINT2, QStringLiteral(" ")));
    EngineNameFilterCmbx->setToolTip(
        FilterHint(Msg::ENGINE_NAME_FILTER_HINT, Msg::NAME_FILTER_HINT2, QString()));
    LotNumberFilterCmbx->setToolTip(
        FilterHint(Msg::LOT_NUMBER_FILTER_HINT, Msg::NAME_FILTER_HINT2, QString()));
    UsedInRouteFilterCmbx->setToolTip(FilterHint(Msg::USED_IN_ROUTE_FILTER_HINT));
}

void TEditConsistListsDlg::ReadFilterMemory() {
    ShowFilterIcon(FilterIconImage, PT_MAINT_CONSIST, 5);

    ConsistFilterControls controls = ReadControls();
    ReadConsistFilterMemory(controls);
    ShowControls(controls);
}

ConsistFilterControls TEditConsistListsDlg::ReadControls() const {
    ConsistFilterControls controls;
    controls.CheckedTags = CheckedTags(CheckBoxes());
    controls.DriveableIndex = DriveableCmbx->currentIndex();
    controls.ConsistName = ConsistNameFilterCmbx->currentText();
    controls.EngineName = EngineNameFilterCmbx->currentText();
    controls.LotNumber = LotNumberFilterCmbx->currentText();
    controls.UsedInRoute = UsedInRouteFilterCmbx->currentText();
    controls.StoreIndIndex = StoreIndCmbx->currentIndex();
    return controls;
}

void TEditConsistListsDlg::ShowControls(const ConsistFilterControls& controls) {
    ShowCheckedTags(CheckBoxes(), controls.CheckedTags);
    ElectricCbx->setEnabled(controls.ElectricEnabled);
    ShowComboIndex(DriveableCmbx, controls.DriveableIndex);
    DriveableCmbx->setEnabled(controls.DriveableEnabled);
    ShowStatusIndex(StoreIndCmbx, controls.StoreIndIndex);
}

void TEditConsistListsDlg::RefreshAvailable(bool force) {
    ConsistFilterControls controls = ReadControls();
    ItemTree* tree = TheMainServices().QuarvelObjects();
    const bool electrified = IsElectrifiedScope(tree ? tree->Selected() : nullptr, model_.EditMode);
    const ConsistRefreshResult result =
        RefreshAvailableConsists(model_, controls, AvailableView(), force, electrified,
                                 [this](bool enabled) { EnableMainPanel(enabled); });
    ShowControls(controls);
    SetComboItems(ConsistNameFilterCmbx, controls.ConsistNameItems, controls.ConsistName);
    SetComboItems(EngineNameFilterCmbx, controls.EngineNameItems, controls.EngineName);
    SetComboItems(LotNumberFilterCmbx, controls.LotNumberItems, controls.LotNumber);
    SetComboItems(UsedInRouteFilterCmbx, controls.UsedInRouteItems, controls.UsedInRoute);
    ShowNewItems(newLots_, Msg::TREE_HEADING_CONSISTS, result.NewConsists);
    CurrentListBoxEnter();
    AvailableListBoxEnter();
}

} // namespace qv
