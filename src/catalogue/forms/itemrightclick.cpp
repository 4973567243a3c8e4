#include "catalogue/forms/itemrightclick.h"

#include "core/appstate.h"
#include "core/forms/controls.h"
#include "core/generaldefs.h"
#include "core/stringlist.h"
#include "platform/ui.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>

namespace qv {

namespace {

// The list editors the dialog centres over, by their object names.
const char* const kConsistEditorName = "EditConsistListsDlg";
const char* const kStockEditorName = "EditStockListsDlg";

// Strips blanks and control characters (codes below 33) at both ends.
QString TrimControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() < 33)
        ++first;
    while (last > first && text.at(last - 1).unicode() < 33)
        --last;
    return text.mid(first, last - first);
}

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A lot that begins with a digit is one the program numbered, so it must be a whole number that
// has been handed out already; any other text is a lot of the user's own.
bool IsAcceptableLot(const QString& lot) {
    if (!IsDigit(lot.front()))
        return true;
    if (!std::all_of(lot.begin(), lot.end(), IsDigit))
        return false;
    bool numeric = false;
    const qulonglong number = lot.toULongLong(&numeric);
    bool currentNumeric = false;
    qulonglong current = App().CurrentLotNumber.toULongLong(&currentNumeric);
    if (!currentNumeric)
        current = 0;
    return numeric && number <= current;
}

QWidget* ShownWindow(const char* name) {
    const QString wanted = QLatin1String(name);
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == wanted && window->isVisible())
            return window;
    return nullptr;
}

QPushButton* MakeButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

TItemRightClickForm::TItemRightClickForm(QWidget* owner, const RecordList<ItemSet>& items)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), items_(items) {
    setObjectName(QStringLiteral("ItemRightClickForm"));
    setWindowTitle(tr("Change Lot Number"));
    setFixedSize(295, 78);

    ChangeLotNumber = new QLabel(tr("Change Lot Number to"), this);
    ChangeLotNumber->setObjectName(QStringLiteral("ChangeLotNumber"));
    ChangeLotNumber->setGeometry(8, 10, 180, 16);
    LotNumberCmbx = new QComboBox(this);
    LotNumberCmbx->setObjectName(QStringLiteral("LotNumberCmbx"));
    LotNumberCmbx->setEditable(true);
    LotNumberCmbx->setInsertPolicy(QComboBox::NoInsert);
    LotNumberCmbx->setGeometry(8, 38, 180, 24);
    ChangeLotNumber->setBuddy(LotNumberCmbx);
    OKBtn = MakeButton(tr("OK"), "OKBtn", this);
    OKBtn->setGeometry(206, 8, 81, 27);
    OKBtn->setDefault(true);
    CancelBtn = MakeButton(tr("Cancel"), "CancelBtn", this);
    CancelBtn->setGeometry(206, 43, 81, 27);

    connect(OKBtn, &QPushButton::clicked, this, &TItemRightClickForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(ID_CANCEL); });
}

void TItemRightClickForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TItemRightClickForm::FormShow() {
    StringList lots = StringList::SortedUnique();
    for (const auto& item : items_)
        if (item && !item->LotNumber.isEmpty())
            lots.Add(item->LotNumber);
    LotNumberCmbx->clear();
    LotNumberCmbx->addItems(lots.Strings());
    LotNumberCmbx->setEditText(QString());
    App().ChosenLotNumber.clear();

    if (items_.empty() || !items_.front())
        return;
    const std::uint32_t kind = items_.front()->PType;
    QWidget* editor = nullptr;
    if (kind & PT_MAINT_CONSIST)
        editor = ShownWindow(kConsistEditorName);
    else if (kind & PT_MAINT_STOCK)
        editor = ShownWindow(kStockEditorName);
    if (editor)
        CentreControl(this, editor);
}

void TItemRightClickForm::OKBtnClick() {
    // Blanks round the entry are no part of a lot: a lot stored with them would never match the
    // same lot typed without them, and an entry of blanks only is no lot at all.
    const QString lot = TrimControls(LotNumberCmbx->currentText());
    if (lot.isEmpty()) {
        done(ID_OK);
        return;
    }
    if (!IsAcceptableLot(lot)) {
        TheUi().MessageBox(Caption(Msg::INVALID_LOT_NUMBER), App().ProgramTitle, MB_ICONSTOP);
        return;
    }
    App().ChosenLotNumber = lot;
    done(ID_OK);
}

void TItemRightClickForm::reject() {
    done(ID_CANCEL);
}

} // namespace qv
