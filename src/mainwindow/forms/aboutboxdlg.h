// The About box: the program's name, version, build and copyright, the MSTS folder (fixed by the
// user or found automatically) and the store folder, shortened to their labels with the whole
// path as hint, and the build or date of the TSECTION.DAT in force.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace qv {

class TAboutBoxDlg : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBoxDlg(QWidget* owner);

    QFrame* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductNameLbl;
    QLabel* VersionLbl;
    QLabel* CopyrightLbl;
    QLabel* LegalCopyrightLbl;
    QLabel* DescriptionLbl;
    QLabel* Description;
    QFrame* LinePnl;
    QLabel* MSTSFolderPathLbl;
    QLabel* MSTSFolderFixedAuto;
    QLabel* MSTSFolderPath;
    QLabel* StorageFolderPathLbl;
    QLabel* StorageFolderPath;
    QLabel* TSECTIONLbl;
    QLabel* TSECTIONBuildLbl;
    QPushButton* OKButton;

    // Fills the box; runs once, before it is first shown.
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool filled_ = false;
};

} // namespace qv
