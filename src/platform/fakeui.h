// A scripted Ui for tests: each expected prompt names a piece of its text and the answer to give.
// Every prompt shown is recorded, so tests can check what the user would have seen.
#pragma once

#include "platform/ui.h"

#include <QString>
#include <QStringList>
#include <deque>

namespace qv {

struct ShownMessage {
    QString text;
    QString caption;
    int style = 0;
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

    const std::deque<ShownMessage>& Shown() const { return shown_; }
    // Prompts whose text did not match the next expectation, and expectations never met.
    const QStringList& Mismatches() const { return mismatches_; }
    int PendingExpectations() const { return int(expected_.size()); }
    void Clear();

private:
    struct Expectation {
        QString textPart;
        int answer;
    };
    std::deque<Expectation> expected_;
    std::deque<ShownMessage> shown_;
    QStringList mismatches_;
    int defaultAnswer_ = 0;
    Ui* previous_ = nullptr;
};

} // namespace qv
