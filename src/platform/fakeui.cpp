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

void FakeUi::Clear() {
    expected_.clear();
    shown_.clear();
    mismatches_.clear();
}

} // namespace qv
