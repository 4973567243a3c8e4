// The one way every reader scans an MSTS text file: line by line, a case-insensitive prefix test
// against the reader's short keyword table, and a fixed rule for cutting a value out of the
// parentheses after a keyword. No tokenizer, no tree of blocks: a reader picks out the few keywords
// it needs and skips every other line. The small text helpers that the readers share live here too.
#pragma once

#include <QString>
#include <QStringList>
#include <QTime>
#include <cstdint>

namespace qv {

// Delivers the lines of one decoded MSTS file. A line is everything up to and including the next
// line feed, but never more than 255 UTF-16 code units: a longer physical line arrives in chunks of
// 255, each a line of its own. Every line is trimmed of characters below 33 at both ends. The
// header line ("SIMISA@@@...") is read like any other line.
class MstsTextReader {
public:
    static constexpr int kMaxLineUnits = 255;

    MstsTextReader() = default;
    // Reads from text that is already decoded.
    explicit MstsTextReader(const QString& text);

    // Reads and decodes the file at a Windows-form path; false when it cannot be opened or decoded
    // (the reader is then empty).
    bool Open(const QString& windowsPath);
    // The same for a host path.
    bool OpenHostFile(const QString& hostPath);

    // The next trimmed line; false at the end of the text.
    bool ReadLine(QString* line);
    // The same as a view into the reader's text, good until the reader is opened again or goes:
    // a reader that skips most lines need not copy each one.
    bool ReadLine(QStringView* line);

private:
    QString text_;
    qsizetype pos_ = 0;
};

// The text without the characters below 33 (blank, tab, CR, LF, other controls) at both ends.
QString TrimText(const QString& text);
// The same without a copy: a view into the text.
QStringView TrimView(QStringView text);

// Whether the keyword begins the line, compared without regard to case: line.startsWith(keyword,
// Qt::CaseInsensitive), which thousands of lines a file ask, made cheap for a keyword of ASCII.
bool StartsWithKeyword(QStringView line, QStringView keyword);

// The index of the first keyword of the table that begins the line, compared without regard to
// case, or -1 when none does. A keyword that begins another one must stand after it in the table.
int MatchKeyword(const QString& line, const QStringList& table);
int MatchKeyword(QStringView line, const QStringList& table);

// The standard value rule: the rest of the line after the keyword, joined with the following lines
// until it ends with ")" (end of file supplies one), without its first and last character, trimmed,
// and, unless keepQuotes, without one pair of surrounding double quotes.
QString CutValue(MstsTextReader& reader, const QString& line, int keywordLength,
                 bool keepQuotes = false);
QString CutValue(MstsTextReader& reader, QStringView line, int keywordLength,
                 bool keepQuotes = false);

// Joins a value that runs on to the next line; a quote and plus sign at the end of the first part
// and a quote at the start of the second run the two quoted runs together.
QString JoinContinuedString(const QString& collected, const QString& next);
// The same in place: a value collected over many lines is then built in linear time.
void AppendContinued(QString& collected, QStringView next);

// The part of the text that the view (into the text) shows, made by cutting the text in place
// rather than copying; a view that lies elsewhere is copied.
QString TakeSpan(QString&& text, QStringView span);

// Every run of backslashes reduced to one backslash.
// The file name without its folder and its extension.
QString FileBaseName(const QString& fileName);

QString CollapseDoubleBackslashes(const QString& text);

// Every "/" replaced by "\".
QString SlashesToBackslashes(const QString& text);

// Applies the leading "..\" segments of the relative path to the base folder ("..\..\SOUND\x.wav"
// against "TRAINS\TRAINSET\MYLOCO" gives "TRAINS\SOUND\x.wav"). Only leading segments count.
// Against a folder relative to a root, a climb that ends at the root gives a name below it
// ("SOUND\x.wav"), and each climb above the root stays in the result ("..\x.wav").
QString ResolveRelativePath(const QString& relative, const QString& baseFolder);

// A time of day from MSTS's "h m s" form (blanks between the numbers; seconds optional); midnight
// when the text is not a time.
QTime ParseTimeText(const QString& text);

// Line index (from 0) of a multi-line text (CR, LF or CRLF breaks); "Unknown" when there is none.
QString GetTextLine(const QString& text, int index);

// A length in metres from MSTS's unit form: "2.5m", "10ft", "3m+20cm", with the units cm, m, ft and
// in. A text that ends in no unit yields 0.
double ParseNumber(const QString& text);

// Blank and tab both separate words wherever a value is split on blanks.
inline bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
// The position of the first blank or tab at or after from, or -1.
qsizetype FindBlank(const QString& text, qsizetype from = 0);
// The position of the last blank or tab, or -1.
qsizetype FindLastBlank(const QString& text);
// The words of the text, separated by runs of blanks and tabs.
QStringList SplitOnBlanks(const QString& text);

// A hexadecimal number as MSTS writes flags ("00000020"), or the fallback when the text is not one
// that fits in 32 bits.
std::uint32_t ParseHexNumber(const QString& text, std::uint32_t fallback);

} // namespace qv
