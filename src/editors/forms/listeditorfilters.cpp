// What the list editors' filter panels share in the dialog: the controls every panel has, the
// Apply Filter handler, the keys of the text filters and the picture of the list's kind.
#include "core/appstate.h"
#include "core/forms/fixeddefs.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "editors/forms/listeditordlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace qv {

void TListEditorDlg::ApplyFilterBtnClick() {
    if (App().Busy)
        return;
    RefreshAvailable(false);
}

void TListEditorDlg::TextFilterKeyUp(QComboBox* combo, const QString& historyKey, int key,
                                     Qt::KeyboardModifiers modifiers) {
    if (App().Busy)
        return;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        RefreshAvailable(false);
    } else if (key == Qt::Key_Delete && (modifiers & Qt::ShiftModifier)) {
        ClearKey(historyKey);
        combo->setEditText(QString());
        RefreshAvailable(false);
    }
}

void TListEditorDlg::RouteFilterKeyUp(QComboBox* combo, const QString& historyKey, int key,
                                      Qt::KeyboardModifiers modifiers) {
    if (App().Busy)
        return;
    if (key == Qt::Key_Delete && (modifiers & Qt::ShiftModifier)) {
        TextFilterKeyUp(combo, historyKey, key, modifiers);
        return;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    const QString text = combo->currentText();
    bool known = text.isEmpty();
    for (int i = 0; !known && i < combo->count(); ++i)
        known = combo->itemText(i) == text;
    if (!known) {
        combo->setEditText(QString());
        return;
    }
    model_.RouteFilterChanged = true;
    RefreshAvailable(false);
}

void TListEditorDlg::RouteFilterSelect() {
    model_.RouteFilterChanged = true;
}

void TListEditorDlg::BuildDriveableFilter(QWidget* panel) {
    DriveableCmbx = NewDriveableFilter(panel);
    connect(DriveableCmbx, &QComboBox::activated, this, &TListEditorDlg::ApplyFilterBtnClick);
}

QCheckBox* TListEditorDlg::BuildKindBox(QWidget* panel, const char* name, int left, int width) {
    auto* box = new QCheckBox(panel);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(left, 20, width, 22);
    connect(box, &QCheckBox::clicked, this, &TListEditorDlg::ApplyFilterBtnClick);
    return box;
}

void TListEditorDlg::BuildFilterControls(QWidget* panel, const char* newItemsName) {
    StoreIndCmbx = NewStatusFilter(panel);
    connect(StoreIndCmbx, &QComboBox::activated, this, &TListEditorDlg::ApplyFilterBtnClick);
    ApplyFilterBtn = NewApplyFilterButton(panel);
    connect(ApplyFilterBtn, &QPushButton::clicked, this, &TListEditorDlg::ApplyFilterBtnClick);
    FilterIconImage = NewFilterIcon(panel);
    newLots_ = NewLotsPanel(panel, newItemsName);
}

void TListEditorDlg::ShowFilterTexts() {
    SetFilterCaption(DriveableCmbx, tr("Driveable"));
    SetFilterCaption(StoreIndCmbx, tr("Status"));
    ApplyFilterBtn->setText(tr("Apply Filter"));
}

void TListEditorDlg::WatchTextFilter(QComboBox* combo, const QString& historyKey, bool route) {
    textFilters_.push_back({combo, historyKey, route});
}

bool TListEditorDlg::TextFilterEvent(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyRelease)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool forget = key->key() == Qt::Key_Delete && (key->modifiers() & Qt::ShiftModifier);
    if (!enter && !forget)
        return false;
    for (const TextFilter& filter : textFilters_)
        if (watched == filter.Combo) {
            if (filter.Route)
                RouteFilterKeyUp(filter.Combo, filter.HistoryKey, key->key(), key->modifiers());
            else
                TextFilterKeyUp(filter.Combo, filter.HistoryKey, key->key(), key->modifiers());
            return true;
        }
    return false;
}

void TListEditorDlg::ShowFilterIcon(QLabel* icon, std::uint32_t maintenanceKind, int picture) {
    const MainServices& main = TheMainServices();
    const bool maintenance = model_.ListType == maintenanceKind ||
                             (model_.ListType == ViewAllKind() && main.MainPageIndex() == 1 &&
                              main.SimulationMaintPageIndex() == 1);
    const TFixedDefsForm* pictures = FixedDefsForm();
    const int shown = maintenance ? picture + 1 : picture;
    if (pictures && shown < pictures->StateImageList.Count())
        icon->setPixmap(pictures->StateImageList.Images[shown]);
}

} // namespace qv
