#include "editors/forms/editconsistlistsdlg.h"

#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/forms/fixeddefs.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
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
        auto* b = new QCheckBox(caption, ConsistFilterPnl);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(left, 20, 100, 22);
        connect(b, &QCheckBox::clicked, this, &TEditConsistListsDlg::ApplyFilterBtnClick);
        return b;
    };
    EngineCbx = box("EngineCbx", tr("Light Engine"), 10);
    CarriageCbx = box("CarriageCbx", tr("Passenger"), 110);
    FreightCbx = box("FreightCbx", tr("Freight"), 210);
    SteamCbx = box("SteamCbx", tr("Steam"), 330);
    DieselCbx = box("DieselCbx", tr("Diesel"), 420);
    ElectricCbx = box("ElectricCbx", tr("Electric"), 510);
    const QList<QCheckBox*> boxes = CheckBoxes();
    for (int i = 0; i < boxes.size(); ++i)
        boxes[i]->setProperty("Tag", uint(kConsistFilterTags[i]));

    auto label = [this](const QString& caption, int left, int top, int width) {
        auto* l = new QLabel(caption, ConsistFilterPnl);
        l->setGeometry(left, top, width, 18);
        return l;
    };
    label(tr("Driveable"), 610, 22, 60);
    DriveableCmbx = new QComboBox(ConsistFilterPnl);
    DriveableCmbx->setObjectName(QStringLiteral("DriveableCmbx"));
    DriveableCmbx->setGeometry(675, 20, 60, 24);
    DriveableCmbx->addItems(DriveableItems());
    DriveableCmbx->setProperty("Tag", uint(PT_DRIVEABLE));
    connect(DriveableCmbx, &QComboBox::activated, this, &TEditConsistListsDlg::ApplyFilterBtnClick);

    auto text = [this, &label](const char* name, const QString& caption, int left) {
        label(caption, left, 52, 180);
        auto* c = new QComboBox(ConsistFilterPnl);
        c->setObjectName(QString::fromLatin1(name));
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setGeometry(left, 70, 180, 24);
        c->lineEdit()->installEventFilter(this);
        return c;
    };
    ConsistNameFilterCmbx = text("ConsistNameFilterCmbx", tr("Consist Name"), 10);
    EngineNameFilterCmbx = text("EngineNameFilterCmbx", tr("Locomotive Name"), 200);
    LotNumberFilterCmbx = text("LotNumberFilterCmbx", tr("Lot Number"), 390);
    UsedInRouteFilterCmbx = text("UsedInRouteFilterCmbx", tr("Used in Route"), 580);
    connect(UsedInRouteFilterCmbx, &QComboBox::activated, this,
            &TEditConsistListsDlg::UsedInRouteFilterCmbxSelect);

    label(tr("Status"), 10, 112, 50);
    StoreIndCmbx = new QComboBox(ConsistFilterPnl);
    StoreIndCmbx->setObjectName(QStringLiteral("StoreIndCmbx"));
    StoreIndCmbx->setGeometry(60, 108, 150, 24);
    connect(StoreIndCmbx, &QComboBox::activated, this, &TEditConsistListsDlg::ApplyFilterBtnClick);

    ApplyFilterBtn = new QPushButton(tr("Apply Filter"), ConsistFilterPnl);
    ApplyFilterBtn->setObjectName(QStringLiteral("ApplyFilterBtn"));
    ApplyFilterBtn->setGeometry(230, 108, 110, 25);
    ApplyFilterBtn->setAutoDefault(false);
    connect(ApplyFilterBtn, &QPushButton::clicked, this,
            &TEditConsistListsDlg::ApplyFilterBtnClick);

    FilterIconImage = new QLabel(ConsistFilterPnl);
    FilterIconImage->setObjectName(QStringLiteral("FilterIconImage"));
    FilterIconImage->setGeometry(750, 20, 16, 16);

    NewLotsPnl = new QWidget(ConsistFilterPnl);
    NewLotsPnl->setObjectName(QStringLiteral("NewLotsPnl"));
    NewLotsPnl->setGeometry(400, 104, 300, 48);
    NewLotsPnl->setAutoFillBackground(true);
    NewConsistsLbl = new QLabel(NewLotsPnl);
    NewConsistsLbl->setObjectName(QStringLiteral("NewConsistsLbl"));
    NewConsistsLbl->setGeometry(8, 4, 280, 18);
    NewConsistsLbl->setStyleSheet(QStringLiteral("QLabel { color: green; font-weight: bold; }"));
    NewLotsNumberLbl = new QLabel(NewLotsPnl);
    NewLotsNumberLbl->setObjectName(QStringLiteral("NewLotsNumberLbl"));
    NewLotsNumberLbl->setGeometry(8, 24, 280, 18);
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
    QStringList status = StatusComboItems().split(QStringLiteral("\r\n"));
    status.removeLast();
    {
        const QSignalBlocker blocker(StoreIndCmbx);
        StoreIndCmbx->clear();
        StoreIndCmbx->addItems(status);
    }
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
    StoreIndCmbx->setToolTip(FilterHint(Msg::STOREIND_FILTER_HINT));
}

void TEditConsistListsDlg::ReadFilterMemory() {
    // The picture of a Maintenance Mode consist list, also in View All on the Maintenance tab;
    // else that of an Explore Mode one.
    const MainServices& main = TheMainServices();
    const bool maintenance = model_.ListType == PT_MAINT_CONSIST ||
                             (model_.ListType == PT_CONSIST && main.MainPageIndex() == 1 &&
                              main.SimulationMaintPageIndex() == 1);
    const TFixedDefsForm* pictures = FixedDefsForm();
    const int picture = maintenance ? 6 : 5;
    if (pictures && picture < pictures->StateImageList.Count())
        FilterIconImage->setPixmap(pictures->StateImageList.Images[picture]);

    ConsistFilterControls controls = ReadControls();
    ReadConsistFilterMemory(controls);
    ShowControls(controls);
}

ConsistFilterControls TEditConsistListsDlg::ReadControls() const {
    ConsistFilterControls controls;
    for (QCheckBox* b : CheckBoxes())
        if (b->isChecked())
            controls.CheckedTags |= b->property("Tag").toUInt();
    controls.DriveableIndex = DriveableCmbx->currentIndex();
    controls.ConsistName = ConsistNameFilterCmbx->currentText();
    controls.EngineName = EngineNameFilterCmbx->currentText();
    controls.LotNumber = LotNumberFilterCmbx->currentText();
    controls.UsedInRoute = UsedInRouteFilterCmbx->currentText();
    controls.StoreIndIndex = StoreIndCmbx->currentIndex();
    controls.ConsistNameItems = {};
    return controls;
}

void TEditConsistListsDlg::ShowControls(const ConsistFilterControls& controls) {
    for (QCheckBox* b : CheckBoxes())
        b->setChecked(controls.CheckedTags & b->property("Tag").toUInt());
    ElectricCbx->setEnabled(controls.ElectricEnabled);
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

void TEditConsistListsDlg::ShowNewConsists(bool shown) {
    QPalette palette = NewLotsPnl->palette();
    palette.setColor(QPalette::Window,
                     shown ? QColor(0xFF, 0xFF, 0xE1)
                           : NewLotsPnl->parentWidget()->palette().color(QPalette::Window));
    NewLotsPnl->setPalette(palette);
    NewConsistsLbl->setText(Caption(Msg::CAPTION_TEXT_NEW) + QLatin1Char(' ') +
                            Caption(Msg::TREE_HEADING_CONSISTS));
    NewLotsNumberLbl->setText(QLatin1Char('(') + Caption(Msg::TREE_HEADING_LOT_NUMBER) +
                              QLatin1Char(' ') + App().CurrentLotNumber + QLatin1Char(')'));
    NewConsistsLbl->setVisible(shown);
    NewLotsNumberLbl->setVisible(shown);
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
    ShowNewConsists(result.NewConsists);
    CurrentListBoxEnter();
    AvailableListBoxEnter();
}

void TEditConsistListsDlg::ApplyFilterBtnClick() {
    if (App().Busy)
        return;
    RefreshAvailable(false);
}

void TEditConsistListsDlg::TextFilterKeyUp(QComboBox* combo, const QString& history, int key,
                                           Qt::KeyboardModifiers modifiers) {
    if (App().Busy)
        return;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        RefreshAvailable(false);
    } else if (key == Qt::Key_Delete && (modifiers & Qt::ShiftModifier)) {
        ClearKey(kConsistFiltersKey + QLatin1Char('\\') + history);
        combo->setEditText(QString());
        RefreshAvailable(false);
    }
}

void TEditConsistListsDlg::UsedInRouteFilterCmbxKeyUp(int key, Qt::KeyboardModifiers modifiers) {
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

void TEditConsistListsDlg::UsedInRouteFilterCmbxSelect() {
    model_.RouteFilterChanged = true;
}

bool TEditConsistListsDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        const struct {
            QComboBox* combo;
            const char* history;
        } filters[] = {{ConsistNameFilterCmbx, "ConsistName"},
                       {EngineNameFilterCmbx, "EngineName"},
                       {LotNumberFilterCmbx, "LotNumber"}};
        for (const auto& filter : filters)
            if (watched == filter.combo->lineEdit()) {
                TextFilterKeyUp(filter.combo, QString::fromLatin1(filter.history), key->key(),
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
