#include "editors/forms/editstocklistsdlg.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "editors/filtersupport.h"
#include "editors/forms/filterwidgets.h"
#include "editors/listeditoractions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace qv {

TEditStockListsDlg::TEditStockListsDlg(QWidget* owner, int mode) : TListEditorDlg(owner, mode) {
    setObjectName(QStringLiteral("EditStockListsDlg"));
    model_.AvailableItems = &App().StockCacheList;
    BuildFilterPanel();
}

void TEditStockListsDlg::BuildFilterPanel() {
    StockFilterPnl = new QGroupBox(MainPanel);
    StockFilterPnl->setObjectName(QStringLiteral("StockFilterPnl"));
    StockFilterPnl->setGeometry(5, 348, 782, 164);

    auto box = [this](const char* name, int left) {
        return BuildKindBox(StockFilterPnl, name, left, 88);
    };
    EngineCbx = box("EngineCbx", 10);
    TenderCbx = box("TenderCbx", 95);
    CarriageCbx = box("CarriageCbx", 180);
    FreightCbx = box("FreightCbx", 270);
    SteamCbx = box("SteamCbx", 370);
    DieselCbx = box("DieselCbx", 445);
    ElectricCbx = box("ElectricCbx", 520);
    SetCheckBoxTags(CheckBoxes(), kStockFilterTags);

    BuildDriveableFilter(StockFilterPnl);

    StockNameFilterCmbx = NewTextFilter(StockFilterPnl, "StockNameFilterCmbx", 10, 52, 240, this);
    LotNumberFilterCmbx = NewTextFilter(StockFilterPnl, "LotNumberFilterCmbx", 265, 52, 180, this);
    UsedInRouteFilterCmbx =
        NewTextFilter(StockFilterPnl, "UsedInRouteFilterCmbx", 460, 52, 240, this);
    connect(UsedInRouteFilterCmbx, &QComboBox::activated, this,
            &TEditStockListsDlg::RouteFilterSelect);
    const auto history = [](const char* name) {
        return FilterHistoryKey(kStockFiltersKey, QString::fromLatin1(name));
    };
    WatchTextFilter(StockNameFilterCmbx, history("StockName"));
    WatchTextFilter(LotNumberFilterCmbx, history("LotNumber"));
    WatchTextFilter(UsedInRouteFilterCmbx, history("UsedInRoute"), true);

    BuildFilterControls(StockFilterPnl, "NewStockItemsLbl");
    ShowFilterTexts();
}

void TEditStockListsDlg::ShowFilterTexts() {
    StockFilterPnl->setTitle(tr("Stock Filter"));
    EngineCbx->setText(tr("Engines"));
    TenderCbx->setText(tr("Tenders"));
    CarriageCbx->setText(tr("Carriages"));
    FreightCbx->setText(tr("Freight"));
    SteamCbx->setText(tr("Steam"));
    DieselCbx->setText(tr("Diesel"));
    ElectricCbx->setText(tr("Electric"));
    SetFilterCaption(StockNameFilterCmbx, tr("Stock Name"));
    SetFilterCaption(LotNumberFilterCmbx, tr("Lot Number"));
    SetFilterCaption(UsedInRouteFilterCmbx, tr("Used in Route"));
    TListEditorDlg::ShowFilterTexts();
    if (!newLots_.Items->text().isEmpty())
        ShowNewItems(newLots_, Msg::TREE_HEADING_STOCK_ITEMS, !newLots_.Items->isHidden());
}

QList<QCheckBox*> TEditStockListsDlg::CheckBoxes() const {
    return {EngineCbx, TenderCbx, CarriageCbx, FreightCbx, SteamCbx, DieselCbx, ElectricCbx};
}

QString TEditStockListsDlg::AvailableCaption() const {
    return Caption(Msg::STOCK_AVAILABLE_TAG);
}

QString TEditStockListsDlg::SelectedCaption() const {
    return Caption(Msg::STOCK_SELECTED_TAG);
}

QString TEditStockListsDlg::DetailsCaption() const {
    return tr("Stock Item Details");
}

int TEditStockListsDlg::ViewerAction() const {
    return LEA_VIEW_STOCK;
}

void TEditStockListsDlg::ShowFilters() {
    ShowStatusItems(StoreIndCmbx);
    RefreshBtn->setToolTip(tr("Refresh the Available Stock List"));
    for (QCheckBox* b : {EngineCbx, TenderCbx, CarriageCbx, FreightCbx})
        b->setToolTip(FilterHint(Msg::STOCK_FILTER_HINT));
    for (QCheckBox* b : {SteamCbx, DieselCbx, ElectricCbx})
        b->setToolTip(FilterHint(Msg::POWER_FILTER_HINT));
    StockNameFilterCmbx->setToolTip(
        FilterHint(Msg::STOCK_NAME_FILTER_HINT, Msg::NAME_FILTER_HINT2, QString()));
    LotNumberFilterCmbx->setToolTip(
        FilterHint(Msg::LOT_NUMBER_FILTER_HINT, Msg::NAME_FILTER_HINT2, QString()));
    UsedInRouteFilterCmbx->setToolTip(FilterHint(Msg::USED_IN_ROUTE_FILTER_HINT));
}

void TEditStockListsDlg::ReadFilterMemory() {
    ShowFilterIcon(FilterIconImage, PT_MAINT_STOCK, 7);

    StockFilterControls controls = ReadControls();
    ReadStockFilterMemory(controls);
    ShowControls(controls);
}

StockFilterControls TEditStockListsDlg::ReadControls() const {
    StockFilterControls controls;
    controls.CheckedTags = CheckedTags(CheckBoxes());
    controls.DriveableIndex = DriveableCmbx->currentIndex();
    controls.StockName = StockNameFilterCmbx->currentText();
    controls.LotNumber = LotNumberFilterCmbx->currentText();
    controls.UsedInRoute = UsedInRouteFilterCmbx->currentText();
    controls.StoreIndIndex = StoreIndCmbx->currentIndex();
    return controls;
}

void TEditStockListsDlg::ShowControls(const StockFilterControls& controls) {
    ShowCheckedTags(CheckBoxes(), controls.CheckedTags);
    ShowComboIndex(DriveableCmbx, controls.DriveableIndex);
    ShowStatusIndex(StoreIndCmbx, controls.StoreIndIndex);
}

void TEditStockListsDlg::RefreshAvailable(bool force) {
    StockFilterControls controls = ReadControls();
    const StockRefreshResult result =
        RefreshAvailableStock(model_, controls, AvailableView(), force,
                              [this](bool enabled) { EnableMainPanel(enabled); });
    ShowControls(controls);
    SetComboItems(StockNameFilterCmbx, controls.StockNameItems, controls.StockName);
    SetComboItems(LotNumberFilterCmbx, controls.LotNumberItems, controls.LotNumber);
    SetComboItems(UsedInRouteFilterCmbx, controls.UsedInRouteItems, controls.UsedInRoute);
    ShowNewItems(newLots_, Msg::TREE_HEADING_STOCK_ITEMS, result.NewStock);
    CurrentListBoxEnter();
    AvailableListBoxEnter();
}

} // namespace qv
