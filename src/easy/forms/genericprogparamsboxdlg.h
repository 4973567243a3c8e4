// The launch-settings dialog of one outside program: the path of its program file and, for some,
// its command-line parameters, both kept under the program's registry key. OK writes them, after
// a typed path has been found to name an existing file.
#pragma once

#include <QDialog>

class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace qv {

class TGenericProgParamsBoxDlg : public QDialog {
    Q_OBJECT

public:
    TGenericProgParamsBoxDlg(QWidget* owner, const QString& programName, const QString& paramsValue,
                             const QString& pathValue, const QString& key, bool showParams,
                             const QString& description);

    QLabel* DescriptionTextLbl;
    QLabel* Launch_EXE_PathLbl;
    QLineEdit* Launch_EXE_Path;
    QToolButton* OpenLaunchDialogBtn;
    QLabel* Launch_EXE_ParamsLbl;
    QLineEdit* Launch_EXE_Params;
    QPushButton* OKButton;
    QPushButton* CancelButton;
    QFileDialog* OpenLaunchDlg;

    // The OK button: writes and closes with 1, or refuses a path that names no file and stays.
    void OKButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OpenLaunchDialogBtnClick();

    QString key_;
    QString pathValue_;
    QString paramsValue_;
    bool shown_ = false;
};

} // namespace qv
