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
#include <QLabel>
#include <QPushButton>

namespace qv {

TEditConsistListsDlg::TEditConsistListsDlg(QWidget* owner, int mode) : TListEditorDlg(owner, mode) {
    setObjectName(QStringLiteral("TEditConsistListsDlg"));
    model_.AvailableItems = &App().ConsistCacheList;
    BuildFilterPanel();
}

void TEditConsistListsDlg::BuildFilterPanel() {
    ConsistFilterPnl = new QGroupBox(MainPanel);
    ConsistFilterPnl->setObjectName(QStringLiteral("ConsistFilterPnl"));
    ConsistFilterPnl->setGeometry(5, 348, 782, 164);

    auto box = [this](const char* name, int left) {
        return BuildKindBox(ConsistFilterPnl, name, left, 100);
    };
    EngineCbx = box("EngineCbx", 10);
    CarriageCbx = box("CarriageCbx", 110);
    FreightCbx = box("FreightCbx", 210);
    SteamCbx = box("SteamCbx", 330);
    DieselCbx = box("DieselCbx", 420);
    ElectricCbx = box("ElectricCbx", 510);
    SetCheckBoxTags(CheckBoxes(), kConsistFilterTags);

    BuildDriveableFilter(ConsistFilterPnl);

    auto text = [this](const char* name, int left) {
        return NewTextFilter(ConsistFilterPnl, name, left, 52, 180, this);
    };
    ConsistNameFilterCmbx = text("ConsistNameFilterCmbx", 10);
    EngineNameFilterCmbx = text("EngineNameFilterCmbx", 200);
    LotNumberFilterCmbx = text("LotNumberFilterCmbx", 390);
    UsedInRouteFilterCmbx = text("UsedInRouteFilterCmbx", 580);
    connect(UsedInRouteFilterCmbx, &QComboBox::activated, this,
            &TEditConsistListsDlg::RouteFilterSelect);
    const auto history = [](const char* name) {
        return FilterHistoryKey(kConsistFiltersKey, QString::fromLatin1(name));
    };
    WatchTextFilter(ConsistNameFilterCmbx, history("ConsistName"));
    WatchTextFilter(EngineNameFilterCmbx, history("EngineName"));
    WatchTextFilter(LotNumberFilterCmbx, history("LotNumber"));
    WatchTextFilter(UsedInRouteFilterCmbx, history("UsedInRoute"), true);

    BuildFilterControls(ConsistFilterPnl, "NewConsistsLbl");
    ShowFilterTexts();
}

void TEditConsistListsDlg::ShowFilterTexts() {
    ConsistFilterPnl->setTitle(tr("Consist Filter"));
    EngineCbx->setText(tr("Light Engine"));
    CarriageCbx->setText(tr("Passenger"));
    FreightCbx->setText(tr("Freight"));
    SteamCbx->setText(tr("Steam"));
    DieselCbx->setText(tr("Diesel"));
    ElectricCbx->setText(tr("Electric"));
    SetFilterCaption(ConsistNameFilterCmbx, tr("Consist Name"));
    SetFilterCaption(EngineNameFilterCmbx, tr("Locomotive Name"));
    SetFilterCaption(LotNumberFilterCmbx, tr("Lot Number"));
    SetFilterCaption(UsedInRouteFilterCmbx, tr("Used in Route"));
    TListEditorDlg::ShowFilterTexts();
    if (!newLots_.Items->text().isEmpty())
        ShowNewItems(newLots_, Msg::TREE_HEADING_CONSISTS, !newLots_.Items->isHidden());
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
