// The "Find Text" dialog: the text to find (with the history of past texts) and the search
// options, which are stored as soon as they are clicked. OK hands the choices to the window's
// search record; an empty text keeps the dialog open.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace qv {

struct SearchTextSet;

class TSearchParamsBoxDlg : public QDialog {
    Q_OBJECT

public:
    // `control` is the control to search (the window keeps it in the record when searching).
    TSearchParamsBoxDlg(QWidget* owner, SearchTextSet& record, QWidget* control);

    QLabel* Label1;
    QComboBox* SearchTextCmbx;
    QCheckBox* CaseSensitiveCbx;
    QCheckBox* WholeWordCbx;
    QCheckBox* SearchInformationCbx;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    void OKButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    SearchTextSet& record_;
    bool shown_ = false;
};

} // namespace qv
