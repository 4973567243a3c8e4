// The fixed-objects dialog: the trainset folders (or the suggested alias folders) on the left,
// the current fixed objects on the right; folders and files are added, entries removed, and OK
// writes the two lists back to the registry.
#pragma once

#include "core/generaldefs.h"
#include "engine/fixedobjects.h"

#include <QDialog>

class QFileDialog;
class QLabel;
class QListWidget;
class QPushButton;

namespace qv {

class TSetFixedDlg : public QDialog {
    Q_OBJECT

public:
    explicit TSetFixedDlg(QWidget* owner = nullptr);

    QLabel* Label1;
    QListWidget* TrainsetFolders;
    QLabel* SelectedFoldersLbl;
    QLabel* ExclusionListLbl;
    QListWidget* ExclusionListBox;
    QPushButton* AddFolderBtn;
    QPushButton* AddFileBtn;
    QPushButton* RemoveBtn;
    QPushButton* AliasesOrFolders;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QFileDialog* OpenFileDlg;

    // The left-hand list: every trainset folder of both roots, or the suggested alias folders.
    void ShowTrainsetFolders();
    void ShowSuggestedAliases();

    // The list being edited, line for line as ExclusionListBox shows it.
    const ExclusionEditor& Editor() const { return editor_; }

    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillLeftList(const QStringList& names, Msg label, Msg buttonCaption);
    void AppendLine(const ExclusionInfo& entry);
    void AddFolderClick();
    void AddFileClick();
    void RemoveClick();
    void AliasesOrFoldersClick();
    void OKClick();
    void TrainsetFoldersSelectionChanged();

    ExclusionEditor editor_;
};

} // namespace qv
