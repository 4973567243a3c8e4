// The modal folder chooser: a drive list of the drive map's letters and a folder tree of the
// chosen drive, which fills its branches as they are opened. It answers with a Windows-form path.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qv {

class TFolderSelectDlg : public QDialog {
    Q_OBJECT

public:
    // Opens at `initialFolder` (Windows form; its drive, and as much of the path as exists). A
    // non-empty prompt replaces the label's text; a non-empty suffix follows the caption.
    TFolderSelectDlg(const QString& initialFolder, const QString& prompt,
                     const QString& captionSuffix, QWidget* owner = nullptr);
    ~TFolderSelectDlg() override;

    QLabel* SrcLabel;
    QComboBox* DriveComboBox;
    QTreeWidget* DirectoryListBox;
    // Shows the folder the tree is at; a folder typed or pasted here (host or Windows form) moves
    // the tree there.
    QLineEdit* SelectedPath;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // The folder the tree is at, in Windows form ("C:\MSTS").
    QString Folder() const;
    // Moves the tree to a folder (Windows form), through its drive and as far as the folders exist.
    void GoToFolder(const QString& windowsPath);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowDrive(int comboIndex);
    void SelectedPathExit();
    void OKClick();
    void FillBranch(QTreeWidgetItem* item);
};

} // namespace qv
