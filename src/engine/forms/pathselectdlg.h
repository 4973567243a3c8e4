// The storage-folder dialog ("Storage Path Setup"): a folder tree of the drive and an edit line
// with the folder chosen. OK runs the checks and the set-up or move of the store (see
// engine/storefolder.h) and closes only when a folder was registered.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qv {

class TPathSelectDlg : public QDialog {
    Q_OBJECT

public:
    explicit TPathSelectDlg(QWidget* owner = nullptr);
    ~TPathSelectDlg() override;

    QLabel* SrcLabel;
    QTreeWidget* DirectoryListBox;
    QLineEdit* SelectedPath;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // False when the registered store has vanished (the program is ending): do not show.
    bool Ready() const { return ready_; }
    // The folder the tree is at, in Windows form.
    QString Folder() const;
    // Moves the tree to a folder (Windows form), as far as its folders exist.
    void GoToFolder(const QString& windowsPath);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillBranch(QTreeWidgetItem* item);
    void SelectedPathExit();
    void OKClick();

    bool ready_ = false;
};

} // namespace qv
