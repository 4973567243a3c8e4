// The "Change Lot Number" dialog: the user picks one of the lots that the items selected in a
// list editor carry, or types another, for the editor to give to those items. A numeric lot must
// be one the program has handed out already; any other lot must begin with a non-digit.
#pragma once

#include "core/itemset.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace qv {

class TItemRightClickForm : public QDialog {
    Q_OBJECT

public:
    // `items` (owned by the caller) must outlive the dialog. The modal result is ID_OK or
    // ID_CANCEL; the answer stands in App().ChosenLotNumber.
    TItemRightClickForm(QWidget* owner, const RecordList<ItemSet>& items);

    QLabel* ChangeLotNumber;
    QComboBox* LotNumberCmbx;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // Offers the items' lots, empties the answer and centres the dialog over the list editor of
    // the first item's kind; runs when the dialog shows.
    void FormShow();
    // Takes the entry as the answer and closes the dialog, unless the entry is an unknown lot
    // number: then it says so and the dialog stays open.
    void OKBtnClick();

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    const RecordList<ItemSet>& items_;
};

} // namespace qv
