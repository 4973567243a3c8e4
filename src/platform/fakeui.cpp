#include "platform/fakeui.h"

namespace qv {

FakeUi::FakeUi() : previous_(&TheUi()) {
    SetUi(this);
}

FakeUi::~FakeUi() {
    if (&TheUi() == this)
        SetUi(previous_);
}

void FakeUi::Expect(const QString& textPart, int answer) {
    expected_.push_back({textPart, answer});
}

int FakeUi::MessageBox(const QString& text, const QString& caption, int style) {
    shown_.push_back({text, caption, style});
    if (!expected_.empty()) {
        Expectation next = expected_.front();
        expected_.pop_front();
        if (!text.contains(next.textPart))
            mismatches_ << QStringLiteral("expected '%1', shown '%2'").arg(next.textPart, text);
        return next.answer;
    }
    if (defaultAnswer_ != 0)
        return defaultAnswer_;
    const int buttons = style & 0xF;
    return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? ID_YES : ID_OK;
}

void FakeUi::ExpectConfirmFileMove(int answer) {
    fileMoveAnswers_.push_back(answer);
}

int FakeUi::ConfirmFileMove(const QString& sourceFile, const QString& targetFile,
                            bool contentsDiffer) {
    fileMoves_.push_back({sourceFile, targetFile, contentsDiffer});
    if (fileMoveAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected duplicate-file dialog for '%1'").arg(targetFile);
        return ID_CANCEL;
    }
    const int answer = fileMoveAnswers_.front();
    fileMoveAnswers_.pop_front();
    return answer;
}

void FakeUi::ExpectSelectFolder(int result, const QString& folder) {
    folderAnswers_.push_back({result, folder});
}

int FakeUi::SelectFolder(const QString& initialFolder, const QString& prompt,
                         const QString& captionSuffix, QString* folder) {
    folderDialogs_.push_back({initialFolder, prompt, captionSuffix});
    if (folderAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected folder dialog at '%1'").arg(initialFolder);
        return ID_CANCEL;
    }
    const auto [result, chosen] = folderAnswers_.front();
    folderAnswers_.pop_front();
    if (result == ID_OK && folder)
        *folder = chosen;
    return result;
}

void FakeUi::Clear() {
    fileMoveAnswers_.clear();
    fileMoves_.clear();
    folderAnswers_.clear();
    folderDialogs_.clear();
    expected_.clear();
    shown_.clear();
    mismatches_.clear();
}

} // namespace qv
