// The text form of a shape: whitespace-separated words, "(" and ")" around blocks, a block
// written `name [label] ( ... )`, strings bare or quoted, flags in hex without "0x".
#include "graphics/shapesource.h"
#include "graphics/shapetokens.h"

#include <charconv>
#include <cstring>

namespace qv {

namespace {

class TextShapeSource : public ShapeSource {
public:
    explicit TextShapeSource(QStringView text)
        : s_(reinterpret_cast<const char16_t*>(text.utf16())), n_(text.size()) {}

    bool Open(int* token, QString* label) override {
        const qsizetype start = pos_;
        Token name = Next();
        if (name.kind == Token::Close || (name.kind == Token::End && depth_ == 0)) {
            pos_ = start;
            return false;
        }
        if (name.kind == Token::End)
            ThrowShapeError(QStringLiteral("the file ends inside a block"));
        if (name.kind != Token::Word)
            ThrowShapeError(QStringLiteral("a block has no name at %1").arg(Where()));
        label->clear();
        Token next = Next();
        if (next.kind == Token::Word) {
            *label = Text(next);
            next = Next();
        }
        if (next.kind != Token::Open)
            ThrowShapeError(QStringLiteral("\"%1\" at %2 is not followed by a block")
                                .arg(View(name).toString(), Where()));
        *token = ShapeTokenId(View(name));
        ++depth_;
        return true;
    }

    void Close() override {
        if (depth_ == 0)
            return;
        for (int level = 1; level > 0;) {
            const Token token = Next();
            if (token.kind == Token::Open)
                ++level;
            else if (token.kind == Token::Close)
                --level;
            else if (token.kind == Token::End)
                ThrowShapeError(QStringLiteral("the file ends inside a block"));
        }
        --depth_;
    }

    qint32 Int() override {
        char buffer[kNumberChars];
        const std::size_t length = Number(buffer);
        qint32 value = 0;
        const auto result = std::from_chars(buffer, buffer + length, value);
        if (result.ec != std::errc() || result.ptr != buffer + length)
            NotANumber(buffer, length, "a whole number");
        return value;
    }

    quint32 Flags() override {
        char buffer[kNumberChars];
        const std::size_t length = Number(buffer);
        quint32 value = 0;
        const auto result = std::from_chars(buffer, buffer + length, value, 16);
        if (result.ec != std::errc() || result.ptr != buffer + length)
            NotANumber(buffer, length, "hex flags");
        return value;
    }

    float Float() override {
        char buffer[kNumberChars];
        std::size_t length = Number(buffer);
        const char* from = buffer;
        if (length > 1 && buffer[0] == '+')
            ++from;
        float value = 0;
        const auto result = std::from_chars(from, buffer + length, value);
        if (result.ec != std::errc() || result.ptr != buffer + length)
            NotANumber(buffer, length, "a number");
        return value;
    }

    QString String() override {
        QString text = Text(Value());
        // Quoted pieces may be joined with "+".
        for (;;) {
            const qsizetype start = pos_;
            const Token plus = Next();
            if (plus.kind == Token::Word && !plus.quoted && View(plus) == u"+") {
                const Token next = Next();
                if (next.kind == Token::Word && next.quoted) {
                    text += Text(next);
                    continue;
                }
            }
            pos_ = start;
            return text;
        }
    }

    bool Fits(qint64 count, bool blocks) const override {
        // The shortest value is a digit and a blank, the shortest block "a()" and a blank.
        return count >= 0 && count <= (n_ - pos_) / (blocks ? 4 : 2);
    }

    QString Where() const override {
        qsizetype line = 1;
        for (qsizetype i = 0; i < pos_ && i < n_; ++i)
            line += s_[i] == u'\n';
        return QStringLiteral("line %1").arg(line);
    }

private:
    static constexpr std::size_t kNumberChars = 64;

    struct Token {
        enum Kind { End, Open, Close, Word } kind = End;
        qsizetype from = 0, to = 0; // the word's characters, without quotes
        bool quoted = false;
    };

    Token Next() {
        while (pos_ < n_ && s_[pos_] <= u' ')
            ++pos_;
        Token token;
        if (pos_ >= n_)
            return token;
        const char16_t c = s_[pos_];
        if (c == u'(' || c == u')') {
            token.kind = c == u'(' ? Token::Open : Token::Close;
            ++pos_;
            return token;
        }
        token.kind = Token::Word;
        if (c == u'"') {
            token.quoted = true;
            token.from = ++pos_;
            while (pos_ < n_ && s_[pos_] != u'"')
                pos_ += (s_[pos_] == u'\\' && pos_ + 1 < n_) ? 2 : 1;
            if (pos_ >= n_)
                ThrowShapeError(QStringLiteral("a quoted text is not closed"));
            token.to = pos_++;
            return token;
        }
        token.from = pos_;
        while (pos_ < n_ && s_[pos_] > u' ' && s_[pos_] != u'(' && s_[pos_] != u')' &&
               s_[pos_] != u'"')
            ++pos_;
        token.to = pos_;
        return token;
    }

    QStringView View(const Token& token) const {
        return QStringView(s_ + token.from, token.to - token.from);
    }
    QString Text(const Token& token) const { return View(token).toString(); }

    Token Value() {
        const Token token = Next();
        if (token.kind != Token::Word)
            ThrowShapeError(QStringLiteral("a value is missing at %1").arg(Where()));
        return token;
    }

    // The next value as ASCII in the buffer; its length.
    std::size_t Number(char* buffer) {
        const Token token = Value();
        const qsizetype length = token.to - token.from;
        if (token.quoted || length >= qsizetype(kNumberChars))
            ThrowShapeError(QStringLiteral("a number is expected at %1").arg(Where()));
        for (qsizetype i = 0; i < length; ++i) {
            const char16_t c = s_[token.from + i];
            buffer[i] = c < 128 ? char(c) : '?';
        }
        return std::size_t(length);
    }

    [[noreturn]] void NotANumber(const char* buffer, std::size_t length, const char* what) const {
        ThrowShapeError(
            QStringLiteral("%1 is expected at %2, not \"%3\"")
                .arg(QLatin1String(what), Where(), QString::fromLatin1(buffer, qsizetype(length))));
    }

    const char16_t* s_;
    qsizetype n_;
    qsizetype pos_ = 0;
    int depth_ = 0; // blocks entered and not yet closed
};

} // namespace

std::unique_ptr<ShapeSource> NewTextShapeSource(QStringView text) {
    return std::make_unique<TextShapeSource>(text);
}

} // namespace qv
