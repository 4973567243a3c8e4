// The question a file move asks when its target exists with another date or content: keep the
// file that is there or replace it, for this file or for the rest of the job. Both paths come
// from the program-wide exchange (PathSet); the "All" buttons leave their standing answer there.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace qv {

class TConfirmFileMoveDlg : public QDialog {
    Q_OBJECT

public:
    // `contentsDiffer`: whether the two files' contents differ. The modal result is ID_YES
    // (Replace, Replace All), ID_NO (Keep, Keep All) or ID_CANCEL (Escape, the close box).
    TConfirmFileMoveDlg(QWidget* owner, bool contentsDiffer);

    QFrame* Bevel1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3A;
    QLabel* Label4A;
    QLabel* Label5;
    QLabel* Label3B;
    QLabel* Label4B;
    QLabel* Label6;
    QPushButton* ReplaceBtn;
    QPushButton* ReplaceAllBtn;
    QPushButton* KeepBtn;
    QPushButton* KeepAllBtn;
    QPushButton* CancelBtn;

    // Fills the texts from the two files and proposes the newer one; runs when the form shows.
    void FormShow();
    void ReplaceAllBtnClick();
    void KeepAllBtnClick();

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool contentsDiffer_;
};

} // namespace qv
