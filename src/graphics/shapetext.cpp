// The text form of a shape: whitespace-separated words, "(" and ")" around blocks, a block
// written `name [label] ( ... )`, strings bare or quoted, flags in hex without "0x".
#include "graphics/shapenumbers.h"
#include "graphics/shapesource.h"
#include "graphics/shapetokens.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <type_traits>

namespace qv {

namespace {

// What a character is to the tokenizer. A shape is almost all ASCII, so the kinds of the first
// 128 characters are looked up; every other character belongs to a word.
enum CharKind : quint8 { kBlank, kWordChar, kOpenChar, kCloseChar, kQuoteChar };

constexpr std::array<quint8, 128> kAsciiKinds = [] {
    std::array<quint8, 128> kinds{};
    for (std::size_t c = 0; c < kinds.size(); ++c)
        kinds[c] = c <= ' ' ? kBlank : kWordChar;
    kinds['('] = kOpenChar;
    kinds[')'] = kCloseChar;
    kinds['"'] = kQuoteChar;
    return kinds;
}();

CharKind KindOf(char16_t c) {
    return c < 128 ? CharKind(kAsciiKinds[c]) : kWordChar;
}

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
        *token = TokenId(name);
        ++depth_;
        return true;
    }

    void Close() override {
        if (depth_ == 0)
            return;
        SkipBlanks();
        if (pos_ < n_ && s_[pos_] == u')') {
            // The usual case: the block was read to its end.
            ++pos_;
            --depth_;
            return;
        }
        // Brackets are tokens of their own and a quote always starts a quoted text, so going
        // over the characters skips exactly what going over the tokens would.
        for (int level = 1; level > 0; ++pos_) {
            while (pos_ < n_ && KindOf(s_[pos_]) <= kWordChar)
                ++pos_;
            if (pos_ >= n_)
                ThrowShapeError(QStringLiteral("the file ends inside a block"));
            if (s_[pos_] == u'(')
                ++level;
            else if (s_[pos_] == u')')
                --level;
            else
                SkipQuoted();
        }
        --depth_;
    }

    qint32 Int() override { return ReadNumber<qint32>(PlainInt, "a whole number"); }
    quint32 Flags() override { return ReadNumber<quint32>(PlainHex, "hex flags", 16); }
    float Float() override { return ReadNumber<float>(PlainFloat, "a number"); }

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

    void SkipBlanks() {
        // Lines start with runs of tabs: four characters at a time while all four are blanks.
        // A character x is at most ' ' when neither x nor x + 0x7fdf has its top bit set; a
        // carry into the next character only comes from one that is no blank.
        constexpr quint64 kAddend = 0x7fdf7fdf7fdf7fdfULL;
        constexpr quint64 kTopBits = 0x8000800080008000ULL;
        while (n_ - pos_ >= 4) {
            quint64 four;
            std::memcpy(&four, s_ + pos_, sizeof four);
            if (((four | (four + kAddend)) & kTopBits) != 0)
                break;
            pos_ += 4;
        }
        while (pos_ < n_ && s_[pos_] <= u' ')
            ++pos_;
    }

    Token Next() {
        SkipBlanks();
        Token token;
        if (pos_ >= n_)
            return token;
        switch (KindOf(s_[pos_])) {
        case kOpenChar:
        case kCloseChar:
            token.kind = s_[pos_] == u'(' ? Token::Open : Token::Close;
            ++pos_;
            return token;
        case kQuoteChar:
            token.kind = Token::Word;
            token.quoted = true;
            token.from = pos_ + 1;
            SkipQuoted();
            token.to = pos_++;
            return token;
        default:
            token.kind = Token::Word;
            token.from = pos_;
            while (pos_ < n_ && KindOf(s_[pos_]) == kWordChar)
                ++pos_;
            token.to = pos_;
            return token;
        }
    }

    // A number in its plain form, read where it stands: true when the whole word was read;
    // false, without moving, when the word is anything else.
    template <typename T, typename Read> bool Plain(Read read, T* value) {
        SkipBlanks();
        const char16_t* end = s_ + n_;
        const char16_t* stop = read(s_ + pos_, end, value);
        if (stop == nullptr || (stop < end && KindOf(*stop) == kWordChar) ||
            stop - (s_ + pos_) >= qsizetype(kNumberChars))
            return false;
        pos_ = stop - s_;
        return true;
    }

    // A number in its plain form where it stands, else the general conversion of the whole
    // word (`base` given for whole numbers only); anything else is refused.
    template <typename T, typename Read, typename... Base>
    T ReadNumber(Read read, const char* what, Base... base) {
        T value = 0;
        if (Plain(read, &value))
            return value;
        char buffer[kNumberChars];
        const std::size_t length = Number(buffer);
        const char* from = buffer;
        if constexpr (std::is_floating_point_v<T>) {
            if (length > 1 && buffer[0] == '+')
                ++from;
        }
        const auto result = std::from_chars(from, buffer + length, value, base...);
        if (result.ec != std::errc() || result.ptr != buffer + length)
            NotANumber(buffer, length, what);
        return value;
    }

    // From the opening quote to the closing one, where it leaves the position.
    void SkipQuoted() {
        for (++pos_; pos_ < n_ && s_[pos_] != u'"';)
            pos_ += (s_[pos_] == u'\\' && pos_ + 1 < n_) ? 2 : 1;
        if (pos_ >= n_)
            ThrowShapeError(QStringLiteral("a quoted text is not closed"));
    }

    // Lists repeat one or two block names thousands of times: the last two names looked up
    // are compared as they are written before the name is looked up without regard to case.
    int TokenId(const Token& name) {
        const QStringView word = View(name);
        for (RecentName& recent : recent_) {
            if (recent.name.size() == word.size() &&
                std::equal(word.begin(), word.end(), recent.name.begin()))
                return recent.id;
        }
        const int id = ShapeTokenId(word);
        recent_[1] = recent_[0];
        recent_[0] = RecentName{word, id};
        return id;
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

    // The next value, which is no plain number, as ASCII in the buffer; its length.
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

    struct RecentName {
        QStringView name; // in the text
        int id = kTokenUnknown;
    };

    const char16_t* s_;
    qsizetype n_;
    RecentName recent_[2];
    qsizetype pos_ = 0;
    int depth_ = 0; // blocks entered and not yet closed
};

} // namespace

std::unique_ptr<ShapeSource> NewTextShapeSource(QStringView text) {
    return std::make_unique<TextShapeSource>(text);
}

} // namespace qv
