#include "editors/forms/editstocklistsdlg.h"

#include "core/appstate.h"
#include "core/forms/fixeddefs.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "editors/filtersupport.h"
#include "editors/forms/filterwidgets.h"
#include "editors/listeditoractions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace qv {

TEditStockListsDlg::TEditStockListsDlg(QWidget* owner, int mode) : TListEditorDlg(owner, mode) {
    setObjectName(QStringLiteral("EditStockListsDlg"));
    model_.AvailableItems = &App().StockCacheList;
    BuildFilterPanel();
}

void TEditStockListsDlg::BuildFilterPanel() {
    StockFilterPnl = new QGroupBox(tr("Stock Filter"), MainPanel);
    StockFilterPnl->setObjectName(QStringLiteral("StockFilterPnl"));
    StockFilterPnl->setGeometry(5, 348, 782, 164);

    auto box = [this](const char* name, const QString& caption, int left) {
        auto* b = new QCheckBox(caption, StockFilterPnl);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(left, 20, 88, 22);
        connect(b, &QCheckBox::clicked, this, &TEditStockListsDlg::ApplyFilterBtnClick);
        return b;
    };
    EngineCbx = box("EngineCbx", tr("Engines"), 10);
    TenderCbx = box("TenderCbx", tr("Tenders"), 95);
    CarriageCbx = box("CarriageCbx", tr("Carriages"), 180);
    FreightCbx = box("FreightCbx", tr("Freight"), 270);
    SteamCbx = box("SteamCbx", tr("Steam"), 370);
    DieselCbx = box("DieselCbx", tr("Diesel"), 445);
    ElectricCbx = box("ElectricCbx", tr("Electric"), 520);
    const QList<QCheckBox*> boxes = CheckBoxes();
    for (int i = 0; i < boxes.size(); ++i)
        boxes[i]->setProperty("Tag", uint(kStockFilterTags[i]));

    auto* driveable = new QLabel(tr("Driveable"), StockFilterPnl);
    driveable->setGeometry(610, 22, 60, 18);
    DriveableCmbx = new QComboBox(StockFilterPnl);
    DriveableCmbx->setObjectName(QStringLiteral("DriveableCmbx"));
    DriveableCmbx->setGeometry(675, 20, 60, 24);
    DriveableCmbx->addItems(DriveableItems());
    DriveableCmbx->setProperty("Tag", uint(PT_DRIVEABLE));
    connect(DriveableCmbx, &QComboBox::activated, this, &TEditStockListsDlg::ApplyFilterBtnClick);

    StockNameFilterCmbx =
        NewTextFilter(StockFilterPnl, "StockNameFilterCmbx", tr("Stock Name"), 10, 52, 240, this);
    LotNumberFilterCmbx =
        NewTextFilter(StockFilterPnl, "LotNumberFilterCmbx", tr("Lot Number"), 265, 52, 180, this);
    UsedInRouteFilterCmbx = NewTextFilter(StockFilterPnl, "UsedInRouteFilterCmbx",
                                          tr("Used in Route"), 460, 52, 240, this);
    connect(UsedInRouteFilterCmbx, &QComboBox::activated, this,
            &TEditStockListsDlg::UsedInRouteFilterCmbxSelect);

    auto* status = new QLabel(tr("Status"), StockFilterPnl);
    status->setGeometry(10, 112, 50, 18);
    StoreIndCmbx = new QComboBox(StockFilterPnl);
    StoreIndCmbx->setObjectName(QStringLiteral("StoreIndCmbx"));
    StoreIndCmbx->setGeometry(60, 108, 150, 24);
    connect(StoreIndCmbx, &QComboBox::activated, this, &TEditStockListsDlg::ApplyFilterBtnClick);

    ApplyFilterBtn = new QPushButton(tr("Apply Filter"), StockFilterPnl);
    ApplyFilterBtn->setObjectName(QStringLiteral("ApplyFilterBtn"));
    ApplyFilterBtn->setGeometry(230, 108, 110, 25);
    ApplyFilterBtn->setAutoDefault(false);
    connect(ApplyFilterBtn, &QPushButton::clicked, this, &TEditStockListsDlg::ApplyFilterBtnClick);

    FilterIconImage = new QLabel(StockFilterPnl);
    FilterIconImage->setObjectName(QStringLiteral("FilterIconImage"));
    FilterIconImage->setGeometry(750, 20, 16, 16);

    NewLotsPnl = new QWidget(StockFilterPnl);
    NewLotsPnl->setObjectName(QStringLiteral("NewLotsPnl"));
    NewLotsPnl->setGeometry(400, 104, 300, 48);
    NewLotsPnl->setAutoFillBackground(true);
    NewStockItemsLbl = new QLabel(NewLotsPnl);
    NewStockItemsLbl->setObjectName(QStringLiteral("NewStockItemsLbl"));
    NewStockItemsLbl->setGeometry(8, 4, 280, 18);
    NewStockItemsLbl->setStyleSheet(QStringLiteral("QLabel { color: green; font-weight: bold; }"));
    NewLotsNumberLbl = new QLabel(NewLotsPnl);
    NewLotsNumberLbl->setObjectName(QStringLiteral("NewLotsNumberLbl"));
    NewLotsNumberLbl->setGeometry(8, 24, 280, 18);
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
    QStringList status = StatusComboItems().split(QStringLiteral("\r\n"));
    status.removeLast();
    {
        const QSignalBlocker blocker(StoreIndCmbx);
        StoreIndCmbx->clear();
        StoreIndCmbx->addItems(status);
    }
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
    StoreIndCmbx->setToolTip(FilterHint(Msg::STOREIND_FILTER_HINT));
}

void TEditStockListsDlg::ReadFilterMemory() {
    // The picture of a Maintenance Mode stock list, also in View All on the Maintenance tab.
    const MainServices& main = TheMainServices();
    const bool maintenance = model_.ListType == PT_MAINT_STOCK ||
                             (model_.ListType == PT_STOCK && main.MainPageIndex() == 1 &&
                              main.SimulationMaintPageIndex() == 1);
    const TFixedDefsForm* pictures = FixedDefsForm();
    const int picture = maintenance ? 8 : 7;
    if (pictures && picture < pictures->StateImageList.Count())
        FilterIconImage->setPixmap(pictures->StateImageList.Images[picture]);

    StockFilterControls controls = ReadControls();
    ReadStockFilterMemory(controls);
    ShowControls(controls);
}

StockFilterControls TEditStockListsDlg::ReadControls() const {
    StockFilterControls controls;
    for (QCheckBox* b : CheckBoxes())
        if (b->isChecked())
            controls.CheckedTags |= b->property("Tag").toUInt();
    controls.DriveableIndex = DriveableCmbx->currentIndex();
    controls.StockName = StockNameFilterCmbx->currentText();
    controls.LotNumber = LotNumberFilterCmbx->currentText();
    controls.UsedInRoute = UsedInRouteFilterCmbx->currentText();
    controls.StoreIndIndex = StoreIndCmbx->currentIndex();
    return controls;
}

void TEditStockListsDlg::ShowControls(const StockFilterControls& controls) {
    for (QCheckBox* b : CheckBoxes())
        b->setChecked(controls.CheckedTags & b->property("Tag").toUInt());
    {
        const QSignalBlocker blocker(DriveableCmbx);
        DriveableCmbx->setCurrentIndex(controls.DriveableIndex);
    }
    {
        const QSignalBlocker blocker(StoreIndCmbx);
        StoreIndCmbx->setCurrentIndex(
            controls.StoreIndIndex < StoreIndCmbx->count() ? controls.StoreIndIndex : -1);
    }
}

void TEditStockListsDlg::ShowNewStock(bool shown) {
    QPalette palette = NewLotsPnl->palette();
    palette.setColor(QPalette::Window,
                     shown ? QColor(0xFF, 0xFF, 0xE1)
                           : NewLotsPnl->parentWidget()->palette().color(QPalette::Window));
    NewLotsPnl->setPalette(palette);
    NewStockItemsLbl->setText(Caption(Msg::CAPTION_TEXT_NEW) + QLatin1Char(' ') +
                              Caption(Msg::TREE_HEADING_STOCK_ITEMS));
    NewLotsNumberLbl->setText(QLatin1Char('(') + Caption(Msg::TREE_HEADING_LOT_NUMBER) +
                              QLatin1Char(' ') + App().CurrentLotNumber + QLatin1Char(')'));
    NewStockItemsLbl->setVisible(shown);
    NewLotsNumberLbl->setVisible(shown);
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
    ShowNewStock(result.NewStock);
    CurrentListBoxEnter();
    AvailableListBoxEnter();
}

void TEditStockListsDlg::ApplyFilterBtnClick() {
    if (App().Busy)
        return;
    RefreshAvailable(false);
}

void TEditStockListsDlg::TextFilterKeyUp(QComboBox* combo, const QString& history, int key,
                                         Qt::KeyboardModifiers modifiers) {
    if (App().Busy)
        return;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        RefreshAvailable(false);
    } else if (key == Qt::Key_Delete && (modifiers & Qt::ShiftModifier)) {
        ClearKey(FilterHistoryKey(kStockFiltersKey, history));
        combo->setEditText(QString());
        RefreshAvailable(false);
    }
}

void TEditStockListsDlg::UsedInRouteFilterCmbxKeyUp(int key, Qt::KeyboardModifiers modifiers) {
    if (App().Busy)
        return;
    if (key == Qt::Key_Delete && (modifiers & Qt::ShiftModifier)) {
        TextFilterKeyUp(UsedInRouteFilterCmbx, QStringLiteral("UsedInRoute"), key, modifiers);
        return;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    const QString text = UsedInRouteFilterCmbx->currentText();
    bool known = text.isEmpty();
    for (int i = 0; !known && i < UsedInRouteFilterCmbx->count(); ++i)
        known = UsedInRouteFilterCmbx->itemText(i) == text;
    if (!known) {
        UsedInRouteFilterCmbx->setEditText(QString());
        return;
    }
    model_.RouteFilterChanged = true;
    RefreshAvailable(false);
}

void TEditStockListsDlg::UsedInRouteFilterCmbxSelect() {
    model_.RouteFilterChanged = true;
}

bool TEditStockListsDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == StockNameFilterCmbx->lineEdit()) {
            TextFilterKeyUp(StockNameFilterCmbx, QStringLiteral("StockName"), key->key(),
                            key->modifiers());
            return true;
        }
        if (watched == LotNumberFilterCmbx->lineEdit()) {
            TextFilterKeyUp(LotNumberFilterCmbx, QStringLiteral("LotNumber"), key->key(),
                            key->modifiers());
            return true;
        }
        if (watched == UsedInRouteFilterCmbx->lineEdit()) {
            UsedInRouteFilterCmbxKeyUp(key->key(), key->modifiers());
            return true;
        }
    }
    return TListEditorDlg::eventFilter(watched, event);
}

} // namespace qv
