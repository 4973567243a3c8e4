#include "catalogue/mststext.h"

#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "platform/casefold.h"
#include "platform/mstsfile.h"

#include <QLocale>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <utility>

namespace qv {

namespace {

bool IsTrimmed(QChar c) {
    return c.unicode() < 33;
}

QString Trim(QStringView text) {
    return TrimView(text).toString();
}

// StripQuotes on a view.
QStringView WithoutQuotes(QStringView text) {
    if (text.size() > 1 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

bool ParseDigits(QStringView text, int* value) {
    if (text.isEmpty() || text.size() > 4)
        return false;
    int result = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
        result = result * 10 + (c.unicode() - u'0');
    }
    *value = result;
    return true;
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

MstsTextReader::MstsTextReader(const QString& text) : text_(text) {}

bool MstsTextReader::Open(const QString& windowsPath) {
    pos_ = 0;
    return ReadMstsTextFile(windowsPath, &text_);
}

bool MstsTextReader::OpenHostFile(const QString& hostPath) {
    pos_ = 0;
    return ReadMstsTextHostFile(hostPath, &text_);
}

bool MstsTextReader::ReadLine(QString* line) {
    QStringView view;
    const bool read = ReadLine(&view);
    *line = view.toString();
    return read;
}

bool MstsTextReader::ReadLine(QStringView* line) {
    if (pos_ >= text_.size()) {
        *line = QStringView();
        return false;
    }
    QStringView chunk = QStringView(text_).mid(pos_, kMaxLineUnits);
    const qsizetype lineFeed = chunk.indexOf(u'\n');
    if (lineFeed >= 0)
        chunk.truncate(lineFeed + 1);
    pos_ += chunk.size();
    *line = TrimView(chunk);
    return true;
}

QString TrimText(const QString& text) {
    return Trim(text);
}

QStringView TrimView(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsTrimmed(text[begin]))
        ++begin;
    while (end > begin && IsTrimmed(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

bool StartsWithKeyword(QStringView line, QStringView keyword) {
    // An empty keyword prefixes every line but a null one, as the full comparison has it.
    if (keyword.isEmpty())
        return line.startsWith(keyword, Qt::CaseInsensitive);
    if (line.size() < keyword.size())
        return false;
    for (qsizetype i = 0; i < keyword.size(); ++i) {
        const char16_t k = keyword[i].unicode();
        if (k >= 0x80)
            return line.startsWith(keyword, Qt::CaseInsensitive);
        const char16_t u = line[i].unicode();
        // Each character folded as the comparison folds it: beyond ASCII only the Kelvin sign
        // and the long s fold to ASCII letters, and a surrogate folds to none.
        const char32_t folded = u < 0x80 ? char32_t(u >= u'A' && u <= u'Z' ? u + 32 : u)
                                         : QChar::toCaseFolded(char32_t(u));
        if (folded != char32_t(k >= u'A' && k <= u'Z' ? k + 32 : k))
            return false;
    }
    return true;
}

int MatchKeyword(const QString& line, const QStringList& table) {
    return MatchKeyword(QStringView(line), table);
}

namespace {

// For each plain ASCII letter (folded), the keywords of a table that a line beginning with it may
// begin with: those that begin with it, with any beyond ASCII, and empty ones. Made once for a
// table and kept beside a copy of it: while the copy shares the table's contents, no change can
// have been made to them (a change would have given the table contents of its own).
struct KeywordsByLetter {
    QStringList table;
    quint32 candidates[0x80] = {};
};

constexpr qsizetype kMostKeywordsByLetter = 32;

const KeywordsByLetter& ByLetter(const QStringList& table) {
    thread_local KeywordsByLetter kept;
    if (kept.table.constData() == table.constData() && kept.table.size() == table.size())
        return kept;
    kept.table = table;
    std::fill(std::begin(kept.candidates), std::end(kept.candidates), 0);
    for (qsizetype i = 0; i < table.size(); ++i) {
        const QString& keyword = table[i];
        const char16_t letter = keyword.isEmpty() ? 0x80 : keyword.front().unicode();
        for (char16_t c = 0; c < 0x80; ++c) {
            if (letter >= 0x80 || AsciiLower(letter) == AsciiLower(c))
                kept.candidates[c] |= quint32(1) << i;
        }
    }
    return kept;
}

} // namespace

int MatchKeyword(QStringView line, const QStringList& table) {
    // Most lines begin with no keyword's letter: the keywords a line's first letter may begin
    // are found at once, and only they are compared.
    const char16_t first = line.isEmpty() ? 0x80 : line.front().unicode();
    if (first < 0x80 && table.size() <= kMostKeywordsByLetter) {
        for (quint32 left = ByLetter(table).candidates[first]; left != 0; left &= left - 1) {
            const int i = std::countr_zero(left);
            if (StartsWithKeyword(line, table[i]))
                return i;
        }
        return -1;
    }
    for (int i = 0; i < table.size(); ++i) {
        if (StartsWithKeyword(line, table[i]))
            return i;
    }
    return -1;
}

QString CutValue(MstsTextReader& reader, const QString& line, int keywordLength, bool keepQuotes) {
    return CutValue(reader, QStringView(line), keywordLength, keepQuotes);
}

QString CutValue(MstsTextReader& reader, QStringView line, int keywordLength, bool keepQuotes) {
    QStringView value = TrimView(line.mid(std::clamp<qsizetype>(keywordLength, 0, line.size())));
    // Most values end on their own line and are cut out of it; one that runs on is collected.
    QString collected;
    if (!value.endsWith(u')')) {
        collected = value.toString();
        QStringView next;
        while (!collected.endsWith(u')')) {
            if (!reader.ReadLine(&next)) {
                collected.append(u')');
                break;
            }
            AppendContinued(collected, next);
        }
        value = collected;
    }
    value = value.size() > 2 ? TrimView(value.mid(1, value.size() - 2)) : QStringView();
    value = keepQuotes ? value : WithoutQuotes(value);
    return collected.isNull() ? value.toString() : TakeSpan(std::move(collected), value);
}

void AppendContinued(QString& collected, QStringView next) {
    const qsizetype kept = collected.endsWith(u"\"+") ? collected.size() - 1 : collected.size();
    if (kept > 0 && collected[kept - 1] == u'"' && next.startsWith(u'"')) {
        collected.truncate(kept - 1);
        collected.append(next.mid(1));
    } else {
        collected.append(next);
    }
}

QString JoinContinuedString(const QString& collected, const QString& next) {
    QString joined = collected;
    AppendContinued(joined, next);
    return joined;
}

QString TakeSpan(QString&& text, QStringView span) {
    if (span.isEmpty())
        return QString();
    const qsizetype start = span.data() - text.constData();
    if (start < 0 || start + span.size() > text.size())
        return span.toString();
    // Cut in place: a value collected over a whole damaged file is not copied once more.
    text.truncate(start + span.size());
    text.remove(0, start);
    return std::move(text);
}

QString FileBaseName(const QString& fileName) {
    QString base = fileName.mid(fileName.lastIndexOf(u'\\') + 1);
    const qsizetype dot = base.lastIndexOf(u'.');
    if (dot >= 0)
        base.truncate(dot);
    return base;
}

QString CollapseDoubleBackslashes(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c != u'\\' || !result.endsWith(u'\\'))
            result.append(c);
    }
    return result;
}

QString SlashesToBackslashes(const QString& text) {
    QString result = text;
    return result.replace(u'/', u'\\');
}

QString ResolveRelativePath(const QString& relative, const QString& baseFolder) {
    QString base = baseFolder;
    if (base.endsWith(u'\\'))
        base.chop(1);
    QString rest = relative;
    // A climb from the root itself stays in the result, so that whoever joins it to the root
    // sees it leave; one that ends at the root gives a name below it.
    while (!base.isEmpty() && rest.startsWith(u"..\\")) {
        rest.remove(0, 3);
        const qsizetype slash = base.lastIndexOf(u'\\');
        base.truncate(std::max<qsizetype>(slash, 0));
    }
    if (base.isEmpty())
        return rest;
    if (!base.endsWith(u'\\'))
        base.append(u'\\');
    return base + rest;
}

QTime ParseTimeText(const QString& text) {
    // MSTS writes "12 30 0"; a run of blanks or tabs separates two numbers as a colon does.
    const QStringList parts = SplitOnBlanks(text).join(u':').split(u':');
    int values[3] = {0, 0, 0};
    bool ok = parts.size() == 2 || parts.size() == 3;
    for (qsizetype i = 0; ok && i < parts.size(); ++i)
        ok = ParseDigits(parts[i], &values[i]);
    const QTime time(values[0], values[1], values[2]);
    return ok && time.isValid() ? time : QTime(0, 0);
}

QString GetTextLine(const QString& text, int index) {
    int current = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        if (current == index)
            return text.mid(start, end - start);
        ++current;
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return Caption(Msg::TYPE_UNKNOWN_LEG);
}

namespace {

// part.endsWith(unit, Qt::CaseInsensitive) for a unit of ASCII letters, letter by letter while the
// part's end is plain ASCII too; any other character leaves it to the full folding.
bool EndsWithUnit(QStringView part, QStringView unit) {
    if (part.size() < unit.size())
        return false;
    const QStringView end = part.last(unit.size());
    for (qsizetype i = 0; i < unit.size(); ++i) {
        const char16_t a = end[i].unicode();
        if (a >= 0x80)
            return part.endsWith(unit, Qt::CaseInsensitive);
        if (AsciiLower(a) != AsciiLower(unit[i].unicode()))
            return false;
    }
    return true;
}

// Digits with at most one point between them, as nearly every length is written: read by the
// standard library, which rounds to the nearest double as the C locale's reading does. Any other
// text (a sign, an exponent, blanks, a group separator) is left to the locale.
bool PlainDecimal(QStringView text, double* value) {
    constexpr qsizetype kMost = 32;
    if (text.isEmpty() || text.size() > kMost)
        return false;
    char ascii[kMost];
    bool point = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'.') {
            if (point || i == 0 || i + 1 == text.size())
                return false;
            point = true;
        } else if (c < u'0' || c > u'9') {
            return false;
        }
        ascii[i] = char(c);
    }
    const auto [end, error] = std::from_chars(ascii, ascii + text.size(), *value);
    return error == std::errc() && end == ascii + text.size() && std::isfinite(*value);
}

// One part of a length in metres; false when it ends in no unit. A number that cannot be read
// counts as 0.
bool PartInMetres(QStringView part, double* metres) {
    struct Unit {
        const char16_t* suffix;
        double factor;
    };
    // "cm" before "m", since every text in centimetres also ends in "m".
    static const Unit kUnits[] = {{u"cm", 0.01}, {u"m", 1.0}, {u"ft", 0.3048}, {u"in", 0.0254}};
    for (const Unit& unit : kUnits) {
        const QStringView suffix(unit.suffix);
        if (!EndsWithUnit(part, suffix))
            continue;
        const QStringView digits = part.chopped(suffix.size());
        double number = 0;
        if (PlainDecimal(digits, &number)) {
            *metres = number * unit.factor;
            return true;
        }
        static const QLocale c = [] {
            QLocale locale = QLocale::c();
            locale.setNumberOptions(QLocale::RejectGroupSeparator);
            return locale;
        }();
        bool ok = false;
        number = c.toDouble(digits, &ok);
        *metres = ok && std::isfinite(number) ? number * unit.factor : 0;
        return true;
    }
    return false;
}

} // namespace

double ParseNumber(const QString& input) {
    QStringView text(input);
    // What follows the first "+" is read no further than 999 units.
    constexpr qsizetype kMostAfterPlus = 999;
    const qsizetype firstPlus = text.indexOf(u'+');
    if (firstPlus >= 0)
        text = text.left(std::min(text.size(), firstPlus + 1 + kMostAfterPlus));
    // The parts are summed from the first up to the first without a unit; a first part without
    // one makes the whole 0.
    double sum = 0;
    for (qsizetype from = 0;;) {
        qsizetype plus = text.indexOf(u'+', from);
        if (plus < 0)
            plus = text.size();
        double metres = 0;
        if (!PartInMetres(text.sliced(from, plus - from), &metres))
            return from == 0 ? 0 : sum;
        sum += metres;
        if (plus == text.size())
            return sum;
        from = plus + 1;
    }
}

qsizetype FindBlank(const QString& text, qsizetype from) {
    for (qsizetype i = std::max<qsizetype>(from, 0); i < text.size(); ++i) {
        if (IsBlank(text[i]))
            return i;
    }
    return -1;
}

qsizetype FindLastBlank(const QString& text) {
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (IsBlank(text[i]))
            return i;
    }
    return -1;
}

QStringList SplitOnBlanks(const QString& text) {
    QStringList words;
    qsizetype start = 0;
    while (start < text.size()) {
        while (start < text.size() && IsBlank(text[start]))
            ++start;
        if (start >= text.size())
            break;
        qsizetype end = FindBlank(text, start);
        if (end < 0)
            end = text.size();
        words.append(text.mid(start, end - start));
        start = end;
    }
    return words;
}

std::uint32_t ParseHexNumber(const QString& text, std::uint32_t fallback) {
    const QString digits = Trim(text);
    if (digits.isEmpty())
        return fallback;
    std::uint64_t value = 0;
    for (QChar c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return fallback;
        value = value * 16 + std::uint64_t(digit);
        if (value > 0xFFFFFFFFu)
            return fallback;
    }
    return std::uint32_t(value);
}

} // namespace qv
