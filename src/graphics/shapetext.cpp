// The text form of a shape: whitespace-separated words, "(" and ")" around blocks, a block
// written `name [label] ( ... )`, strings bare or quoted, flags in hex without "0x".
#include "graphics/shapenumbers.h"
#include "graphics/shapesource.h"
#include "graphics/shapetokens.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <type_traits>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define QV_WIDE_SKIP 1
#endif

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

bool IsBracketOrQuote(char16_t c) {
    return c == u'(' || c == u')' || c == u'"';
}

#ifdef __SSE2__
// A lane of ones for each of the eight characters that is "(", ")" or '"'.
__m128i BracketOrQuoteLanes(__m128i eight) {
    const __m128i open = _mm_cmpeq_epi16(eight, _mm_set1_epi16(u'('));
    const __m128i close = _mm_cmpeq_epi16(eight, _mm_set1_epi16(u')'));
    return _mm_or_si128(_mm_or_si128(open, close), _mm_cmpeq_epi16(eight, _mm_set1_epi16(u'"')));
}
#endif

// The first "(", ")" or '"' from `from` on, or `to`: eight characters at a time where the
// processor can compare them at once, as passing over a long block is mostly this search.
qsizetype FindBracketOrQuote(const char16_t* s, qsizetype from, qsizetype to) {
#ifdef __SSE2__
    for (; to - from >= 8; from += 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + from));
        const int mask = _mm_movemask_epi8(BracketOrQuoteLanes(eight));
        if (mask != 0)
            return from + __builtin_ctz(unsigned(mask)) / 2;
    }
#endif
    while (from < to && !IsBracketOrQuote(s[from]))
        ++from;
    return from;
}

// Where the word starting at `from` ends: the first blank, bracket or quote, or `to`. Eight
// characters are looked at at once where the processor can, as words are most of a shape.
qsizetype WordEnd(const char16_t* s, qsizetype from, qsizetype to) {
#ifdef __SSE2__
    // Characters compared without sign: the top bit is flipped for the signed comparison.
    const __m128i flip = _mm_set1_epi16(short(0x8000));
    const __m128i blankLimit = _mm_set1_epi16(short(0x8000 + u' ' + 1));
    for (; to - from >= 8; from += 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + from));
        const __m128i blanks = _mm_cmplt_epi16(_mm_xor_si128(eight, flip), blankLimit);
        const int mask = _mm_movemask_epi8(_mm_or_si128(blanks, BracketOrQuoteLanes(eight)));
        if (mask != 0)
            return from + __builtin_ctz(unsigned(mask)) / 2;
    }
#endif
    while (from < to && KindOf(s[from]) == kWordChar)
        ++from;
    return from;
}

// The first character from `at` on that is no blank, or `end`. Most words are parted by one
// space; lines start with runs of tabs, passed over eight characters at a time where the
// processor can compare them at once.
inline const char16_t* PastBlanks(const char16_t* at, const char16_t* end) {
    if (end - at >= 2 && at[0] == u' ' && at[1] > u' ')
        return at + 1;
#ifdef __SSE2__
    // Characters compared without sign: the top bit is flipped for the signed comparison.
    const __m128i flip = _mm_set1_epi16(short(0x8000));
    const __m128i blankLimit = _mm_set1_epi16(short(0x8000 + u' ' + 1));
    for (; end - at >= 8; at += 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const int blanks =
            _mm_movemask_epi8(_mm_cmplt_epi16(_mm_xor_si128(eight, flip), blankLimit));
        if (blanks != 0xFFFF)
            return at + std::countr_one(unsigned(blanks)) / 2;
    }
#endif
    while (at < end && *at <= u' ')
        ++at;
    return at;
}

// Passing over a list of blocks, from a place between two of its blocks to the ")" that closes
// it: the blocks it holds are counted, and after every `perRun`th of them the place just after
// its ")" is kept, where a run of the list's items may start.
struct ListScan {
    qint64 perRun = 1;
    qint64 untilCut = 1;
    qint64 blocks = 0;
    qsizetype depth = 1; // 1 between the list's blocks
    std::vector<qsizetype>* cuts = nullptr;
};

// The brackets whose bits are set in `marks` (bit i for the character at `at` + i), the opening
// ones set in `opens` too, taken in order; true, with the list's ")" in *end, when one of them
// closes the list.
inline bool TakeBrackets(ListScan& scan, quint32 opens, quint32 marks, qsizetype at,
                         qsizetype* end) {
    for (; marks != 0; marks &= marks - 1) {
        const int bit = std::countr_zero(marks);
        if (opens >> bit & 1) {
            ++scan.depth;
        } else if (--scan.depth == 1) {
            ++scan.blocks;
            if (--scan.untilCut == 0) {
                scan.cuts->push_back(at + bit + 1);
                scan.untilCut = scan.perRun;
            }
        } else if (scan.depth == 0) {
            *end = at + bit;
            return true;
        }
    }
    return false;
}

// The brackets of a stretch of characters with their quotes: those after the first quote are
// not taken, as a quoted text may hold brackets. Gives the list's ")" when it closes before
// the quote, -1 when a quote comes first, -2 when the list goes on.
inline qsizetype TakeStretch(ListScan& scan, quint32 opens, quint32 closes, quint32 quotes,
                             qsizetype at) {
    quint32 marks = opens | closes;
    if (quotes != 0)
        marks &= (quotes & (0u - quotes)) - 1;
    qsizetype end = -1;
    if (TakeBrackets(scan, opens, marks, at, &end))
        return end;
    return quotes != 0 ? -1 : -2;
}

#ifdef QV_WIDE_SKIP
// Bit i set where character i of the thirty-two in `low` and `high` is the one in `wanted` (the
// packing interleaves the halves, the permutation puts them back in order).
__attribute__((target("avx2"))) inline quint32 WideBits(__m256i low, __m256i high, __m256i wanted) {
    return quint32(_mm256_movemask_epi8(_mm256_permute4x64_epi64(
        _mm256_packs_epi16(_mm256_cmpeq_epi16(low, wanted), _mm256_cmpeq_epi16(high, wanted)),
        0xD8)));
}

// Thirty-two characters at a time, on processors that have the wider instructions: passing over
// a long list is mostly this. Gives what TakeStretch gives, -2 with `from` moved on when fewer
// than thirty-two characters are left before `to`.
__attribute__((target("avx2,popcnt,bmi"))) qsizetype ListEndWide(const char16_t* s, qsizetype* from,
                                                                 qsizetype to, ListScan& scan) {
    const __m256i open = _mm256_set1_epi16(short(u'(')), close = _mm256_set1_epi16(short(u')')),
                  quote = _mm256_set1_epi16(short(u'"'));
    qsizetype at = *from;
    for (; to - at >= 32; at += 32) {
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + at));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + at + 16));
        const quint32 opens = WideBits(low, high, open), closes = WideBits(low, high, close),
                      quotes = WideBits(low, high, quote);
        if ((closes | quotes) == 0) {
            // No block closes here: the opening brackets are only counted.
            scan.depth += _mm_popcnt_u32(opens);
            continue;
        }
        const qsizetype end = TakeStretch(scan, opens, closes, quotes, at);
        if (end != -2)
            return end;
    }
    *from = at;
    return -2;
}

const bool kWideSkip = [] {
    __builtin_cpu_init(); // this may run before the run-time library's own start-up code
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt") &&
           __builtin_cpu_supports("bmi");
}();
#endif

// The index of the ")" that closes the list, passing over it from `from` with `scan`; -1 when a
// quoted text comes first or the list does not close before `to`.
qsizetype ListEnd(const char16_t* s, qsizetype from, qsizetype to, ListScan& scan) {
#ifdef QV_WIDE_SKIP
    if (kWideSkip) {
        const qsizetype end = ListEndWide(s, &from, to, scan);
        if (end != -2)
            return end;
    }
#endif
#ifdef __SSE2__
    for (; to - from >= 16; from += 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + from));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + from + 8));
        // One bit for each of the sixteen characters that is `c`.
        const auto bits = [&](char16_t c) {
            const __m128i wanted = _mm_set1_epi16(short(c));
            return quint32(_mm_movemask_epi8(
                _mm_packs_epi16(_mm_cmpeq_epi16(low, wanted), _mm_cmpeq_epi16(high, wanted))));
        };
        const qsizetype end = TakeStretch(scan, bits(u'('), bits(u')'), bits(u'"'), from);
        if (end != -2)
            return end;
    }
#endif
    for (; from < to; ++from) {
        const char16_t c = s[from];
        const qsizetype end = TakeStretch(scan, c == u'(', c == u')', c == u'"', from);
        if (end != -2)
            return end;
    }
    return -1;
}

// Whether the `n` characters at `a` and at `b` are the same: block names are short, and
// comparing them here, four characters at a time, costs less than a call to the library.
inline bool SameChars(const char16_t* a, const char16_t* b, qsizetype n) {
    for (; n >= 4; n -= 4, a += 4, b += 4) {
        quint64 x, y;
        std::memcpy(&x, a, sizeof x);
        std::memcpy(&y, b, sizeof y);
        if (x != y)
            return false;
    }
    for (; n > 0; --n) {
        if (*a++ != *b++)
            return false;
    }
    return true;
}

// A cache line of its own for each source: the runs of a list are made one after the other and
// read on several threads, each moving its place with every word.
class alignas(64) TextShapeSource : public ShapeSource {
public:
    explicit TextShapeSource(QStringView text)
        : s_(reinterpret_cast<const char16_t*>(text.utf16())), n_(text.size()) {}

    // A run of a list's items: the text from `from` to `to`.
    TextShapeSource(const char16_t* text, qsizetype from, qsizetype to)
        : s_(text), n_(to), pos_(from), run_(true) {}

    bool Open(int* token, QString* label) override {
        if (OpenRecent(token, label))
            return true;
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
            pos_ = FindBracketOrQuote(s_, pos_, n_);
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

    bool Vertex(ShapeVertex* vertex) override {
        const char16_t* const at = VertexFields(s_ + pos_, s_ + n_, vertex);
        if (at == nullptr)
            return false;
        pos_ = at - s_;
        return true;
    }

    qint64 Ints(int* first, qint64 room) override {
        const char16_t* const end = s_ + n_;
        const char16_t* at = s_ + pos_;
        qint64 read = 0;
        for (; read < room && Quick(PlainInt, &at, end, &first[read]); ++read) {
        }
        pos_ = at - s_;
        return read;
    }

    qint64 Vertices(ShapeVertex* first, qint64 room) override {
        return Blocks(u"vertex (", first, room, VertexFields);
    }

    qint64 Vectors(int item, ShapeVector* first, qint64 room) override {
        const auto fields = [](const char16_t* at, const char16_t* end, ShapeVector* v) {
            return FloatFields(at, end, {&v->x, &v->y, &v->z});
        };
        if (item == kTokenPoint)
            return Blocks(u"point (", first, room, fields);
        if (item == kTokenVector)
            return Blocks(u"vector (", first, room, fields);
        return 0;
    }

    qint64 Uvs(ShapeUv* first, qint64 room) override {
        return Blocks(u"uv_point (", first, room,
                      [](const char16_t* at, const char16_t* end, ShapeUv* uv) {
                          return FloatFields(at, end, {&uv->u, &uv->v});
                      });
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

    std::vector<std::unique_ptr<ShapeSource>> SplitList(qint64 count, qint64 perRun,
                                                        qint64 itemBytes) override {
        // Runs are not cut again; a list with a quoted text (which may hold brackets) is read
        // where it stands.
        if (run_ || perRun < 1)
            return {};
        std::vector<qsizetype> starts{pos_};
        ListScan scan;
        scan.perRun = scan.untilCut = perRun;
        scan.cuts = &starts;
        const qsizetype end = ListEnd(s_, pos_, n_, scan);
        if (end < 0 || scan.blocks != count ||
            count > qint64(end - pos_) * qint64(sizeof(char16_t)) / std::max<qint64>(itemBytes, 1))
            return {};
        // A cut after the last block would start an empty run.
        if (starts.size() > 1 && qint64(starts.size() - 1) * perRun == count)
            starts.pop_back();
        return RunsTo(starts, end);
    }

    std::vector<std::unique_ptr<ShapeSource>> SplitValues(int runs) override {
        if (run_)
            return {};
        const qsizetype end = FindBracketOrQuote(s_, pos_, n_);
        if (end >= n_ || s_[end] != u')')
            return {};
        // Each run but the first starts after the first blank within its even share: no value
        // is cut in two.
        return CutInto(end, runs, [&](qsizetype from, qsizetype to) {
            while (from < to && s_[from] > u' ')
                ++from;
            return from < to ? from : qsizetype(-1);
        });
    }

    bool AtEnd() const override {
        return run_ && depth_ == 0 && PastBlanks(s_ + pos_, s_ + n_) == s_ + n_;
    }

private:
    static constexpr std::size_t kNumberChars = 64;

    // Runs from here to `end`, where the position is left: each but the first starts where
    // `startIn(from, to)` finds a place within its even share of the text; a share without
    // one (-1) joins the run before it.
    template <typename StartIn>
    std::vector<std::unique_ptr<ShapeSource>> CutInto(qsizetype end, int runs, StartIn startIn) {
        const qsizetype share = (end - pos_) / runs;
        std::vector<qsizetype> starts{pos_};
        for (int k = 1; k < runs; ++k) {
            const qsizetype from = pos_ + k * share;
            const qsizetype start = startIn(from, std::min(end, from + share));
            if (start > starts.back())
                starts.push_back(start);
        }
        return RunsTo(starts, end);
    }

    // Sources reading from each start to the next, the last one to `end`, where the position is
    // left.
    std::vector<std::unique_ptr<ShapeSource>> RunsTo(const std::vector<qsizetype>& starts,
                                                     qsizetype end) {
        std::vector<std::unique_ptr<ShapeSource>> cut;
        for (std::size_t k = 0; k < starts.size(); ++k) {
            const qsizetype to = k + 1 < starts.size() ? starts[k + 1] : end;
            cut.push_back(std::make_unique<TextShapeSource>(s_, starts[k], to));
        }
        pos_ = end;
        return cut;
    }

    // The fields of a vertex block from `at`, the block entered, where they are written the usual
    // way, up to the block's own ")": where they end, or null where they are written any other
    // way. Every field is taken the way Int and Flags take it.
    static const char16_t* VertexFields(const char16_t* at, const char16_t* end,
                                        ShapeVertex* vertex) {
        static constexpr char16_t kUvs[] = u"vertex_uvs (";
        constexpr qsizetype kUvsChars = qsizetype(std::size(kUvs)) - 1;
        qint32 count = 0;
        if (!Quick(PlainHex, &at, end, &vertex->flags) ||
            !Quick(PlainInt, &at, end, &vertex->point) ||
            !Quick(PlainInt, &at, end, &vertex->normal) ||
            !Quick(PlainHex, &at, end, &vertex->colour1) ||
            !Quick(PlainHex, &at, end, &vertex->colour2))
            return nullptr;
        at = PastBlanks(at, end);
        if (end - at < kUvsChars || !SameChars(at, kUvs, kUvsChars))
            return nullptr;
        at += kUvsChars;
        // The count is checked as Count checks it: no more values than the rest could hold.
        if (!Quick(PlainInt, &at, end, &count) || count < 0 || count > (end - at) / 2)
            return nullptr;
        vertex->uvs.resize(count);
        for (int& uv : vertex->uvs) {
            if (!Quick(PlainInt, &at, end, &uv))
                return nullptr;
        }
        at = PastBlanks(at, end);
        if (at == end || *at != u')')
            return nullptr;
        return at + 1;
    }

    // Numbers from `at` into `values`, each taken the way Float takes it: where they end, or
    // null where one is written any other way.
    static const char16_t* FloatFields(const char16_t* at, const char16_t* end,
                                       std::initializer_list<float*> values) {
        for (float* value : values) {
            const char16_t* const from = PastBlanks(at, end);
            at = PlainFloat(from, end, value);
            if (at == nullptr || (at < end && KindOf(*at) == kWordChar) ||
                at - from >= qsizetype(kNumberChars))
                return nullptr;
        }
        return at;
    }

    // Whole blocks `opening ... )` of a list's items from here on, up to `room` of them, into
    // the items from `first` on, their insides read by `fields` (see VertexFields): how many.
    // The position is left after the last one, before the first block written any other way.
    template <typename Item, typename Fields>
    qint64 Blocks(std::u16string_view opening, Item* first, qint64 room, Fields fields) {
        const char16_t* const end = s_ + n_;
        const char16_t* at = s_ + pos_;
        qint64 read = 0;
        for (; read < room; ++read) {
            const char16_t* from = PastBlanks(at, end);
            if (end - from < qsizetype(opening.size()) ||
                !SameChars(from, opening.data(), qsizetype(opening.size())))
                break;
            from = fields(from + opening.size(), end, &first[read]);
            if (from == nullptr)
                break;
            from = PastBlanks(from, end);
            if (from == end || *from != u')')
                break;
            at = from + 1;
        }
        pos_ = at - s_;
        return read;
    }

    // A number in its plain form after blanks from *at, which moves past it: what Plain reads.
    template <typename T, typename Read>
    static bool Quick(Read read, const char16_t** at, const char16_t* end, T* value) {
        const char16_t* from = PastBlanks(*at, end);
        const char16_t* stop = read(from, end, value);
        if (stop == nullptr || (stop < end && KindOf(*stop) == kWordChar))
            return false;
        *at = stop;
        return true;
    }

    struct Token {
        enum Kind { End, Open, Close, Word } kind = End;
        qsizetype from = 0, to = 0; // the word's characters, without quotes
        bool quoted = false;
    };

    void SkipBlanks() { pos_ = PastBlanks(s_ + pos_, s_ + n_) - s_; }

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
            pos_ = WordEnd(s_, pos_, n_);
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
        return ConvertNumber<T>(what, base...);
    }

    // The general conversion of the next word, apart from the plain forms so that reading
    // those needs no room for it: most numbers of a shape are plain.
    template <typename T, typename... Base>
    [[gnu::noinline]] T ConvertNumber(const char* what, Base... base) {
        T value = 0;
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

    // A block named as one of the last two names looked up, written "name (" as lists write
    // their items: entered without taking the words apart.
    bool OpenRecent(int* token, QString* label) {
        SkipBlanks();
        for (const RecentName& recent : recent_) {
            const qsizetype length = recent.name.size();
            if (length > 0 && n_ - pos_ > length + 1 && s_[pos_ + length] == u' ' &&
                s_[pos_ + length + 1] == u'(' &&
                SameChars(s_ + pos_, recent.name.utf16(), length)) {
                pos_ += length + 2;
                label->clear();
                *token = recent.id;
                ++depth_;
                return true;
            }
        }
        return false;
    }

    // Lists repeat one or two block names thousands of times: the last two names looked up
    // are compared as they are written before the name is looked up without regard to case.
    int TokenId(const Token& name) {
        const QStringView word = View(name);
        for (RecentName& recent : recent_) {
            if (recent.name.size() == word.size() &&
                SameChars(recent.name.utf16(), word.utf16(), word.size()))
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
    int depth_ = 0;    // blocks entered and not yet closed
    bool run_ = false; // a run of a list's items
};

} // namespace

std::unique_ptr<ShapeSource> NewTextShapeSource(QStringView text) {
    return std::make_unique<TextShapeSource>(text);
}

} // namespace qv
