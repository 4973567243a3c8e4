// The dialog that resolves conflicting TSECTION.DAT specifications: the routes of a job with
// their builds, actions and files, ticked; the user unticks routes until one file serves all
// that remain, and OK is enabled only then. It changes only the entries' Selected and
// ConflictCount and the order of the list.
#pragma once

#include "engine/tsection.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace qv {

class TTSECTIONChoiceBoxDlg : public QDialog {
    Q_OBJECT

public:
    TTSECTIONChoiceBoxDlg(QWidget* owner, ConflictList& list);

    QFrame* Panel1;
    QLabel* ConflictLbl;
    QLabel* DeselectLbl;
    QTableWidget* TSECTIONLvw;
    QLabel* RecommendedLbl;
    QPushButton* OKButton;
    QPushButton* CancelButton;
    QPushButton* ReSortBtn;
    QFrame* Bevel6;

    // Shows the entry list in TSECTIONLvw, one row per entry in list order.
    void FillTsectionListView();

    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void RenewLabels();
    void TSECTIONLvwChange(QTableWidgetItem* item);
    void ReSortBtnClick();

    ConflictList& list_;
    // Off while the dialog itself fills the list, so that its own changes are not taken for the
    // user's.
    bool guard_ = false;
};

} // namespace qv
