// A scripted Ui for tests: each expected prompt names a piece of its text and the answer to give.
// Every prompt shown is recorded, so tests can check what the user would have seen.
#pragma once

#include "platform/ui.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <utility>

namespace qv {

struct ShownMessage {
    QString text;
    QString caption;
    int style = 0;
};

struct ShownFileMove {
    QString sourceFile;
    QString targetFile;
    bool contentsDiffer = true;
};

struct ShownFolderDialog {
    QString initialFolder;
    QString prompt;
    QString captionSuffix;
};

class FakeUi : public Ui {
public:
    FakeUi();
    ~FakeUi() override;

    // Expects a message box whose text contains `textPart` and answers it with `answer`.
    void Expect(const QString& textPart, int answer);
    // Answer given to a message box that was not expected (default: ID_OK / ID_YES by style).
    void SetDefaultAnswer(int answer) { defaultAnswer_ = answer; }

    int MessageBox(const QString& text, const QString& caption, int style) override;

    // Queues the answer of the next duplicate-file dialog (ID_YES, ID_YESTOALL, ID_NO,
    // ID_NOTOALL or ID_CANCEL). A dialog with no queued answer is a mismatch, answered ID_CANCEL.
    void ExpectConfirmFileMove(int answer);
    int ConfirmFileMove(const QString& sourceFile, const QString& targetFile,
                        bool contentsDiffer) override;
    const std::deque<ShownFileMove>& FileMoves() const { return fileMoves_; }

    // Queues the result of the next folder dialog and, for ID_OK, the folder it returns. A dialog
    // with no queued result is a mismatch, answered ID_CANCEL.
    void ExpectSelectFolder(int result, const QString& folder = QString());
    int SelectFolder(const QString& initialFolder, const QString& prompt,
                     const QString& captionSuffix, QString* folder) override;
    const std::deque<ShownFolderDialog>& FolderDialogs() const { return folderDialogs_; }

    const std::deque<ShownMessage>& Shown() const { return shown_; }
    // Prompts whose text did not match the next expectation, and dialogs nobody expected; then the
    // number of expectations (boxes and dialogs) not met yet.
    const QStringList& Mismatches() const { return mismatches_; }
    int PendingExpectations() const {
        return int(expected_.size() + fileMoveAnswers_.size() + folderAnswers_.size());
    }
    void Clear();

private:
    struct Expectation {
        QString textPart;
        int answer;
    };
    std::deque<Expectation> expected_;
    std::deque<int> fileMoveAnswers_;
    std::deque<ShownFileMove> fileMoves_;
    std::deque<std::pair<int, QString>> folderAnswers_;
    std::deque<ShownFolderDialog> folderDialogs_;
    std::deque<ShownMessage> shown_;
    QStringList mismatches_;
    int defaultAnswer_ = 0;
    Ui* previous_ = nullptr;
};

} // namespace qv
