// The TSECTION.DAT parameters dialog: the file, description and the two unstoring actions of
// the system default or of one route's own specification. It works on a copy of the record;
// an accepted OK writes the specification and hands it back.
#pragma once

#include "catalogue/pathrecords.h"

#include <QDialog>

class QComboBox;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace qv {

class TTSECTIONParamsBoxDlg : public QDialog {
    Q_OBJECT

public:
    // `record` is the system default (PType PT_GLOBAL) or a route with its Name and Folder.
    TTSECTIONParamsBoxDlg(QWidget* owner, RouteInfo& record);

    QFrame* Panel1;
    QLabel* SetTSECTIONLbl1;
    QLabel* Label2;
    QLineEdit* Path;
    QToolButton* OpenTSECTIONDialogBtn;
    QLabel* Label3;
    QLineEdit* Description;
    QLabel* Label6;
    QLabel* Label4;
    QComboBox* SimulationActionCmbx;
    QLabel* Label5;
    QComboBox* MaintenanceActionCmbx;
    QLabel* SetTSECTIONLbl2;
    QLabel* BuildInfoLbl;
    QPushButton* OKButton;
    QPushButton* CancelButton;
    QFileDialog* OpenTSECTIONDlg;

    // Shows the dialog's specification in the controls.
    void ShowTsectionSettings();

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OpenTSECTIONDialogBtnClick();
    void OKButtonClick();

    RouteInfo& record_;
    RouteInfo work_;
};

} // namespace qv
