#include "platform/inifile.h"

#include "platform/codepage.h"

#include <cstring>
#include <limits>

namespace qv {

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF", 3);
const QByteArray kUtf16LeMark("\xFF\xFE", 2);
const QLatin1StringView kLineEnd("\r\n");

// Blanks and control characters at either end go; other white space (a no-break space) stays.
QStringView TrimControls(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.sliced(begin, end - begin);
}

// True when no byte has its high bit set; eight at a time.
bool IsPlainAscii(const QByteArray& bytes) {
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 eight;
        std::memcpy(&eight, data + i, sizeof eight);
        if (eight & 0x8080808080808080ULL)
            return false;
    }
    for (; i < size; ++i) {
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return false;
    }
    return true;
}

QString DecodeText(const QByteArray& bytes) {
    if (bytes.startsWith(kUtf8Mark))
        return QString::fromUtf8(bytes.constData() + kUtf8Mark.size(),
                                 bytes.size() - kUtf8Mark.size());
    if (bytes.startsWith(kUtf16LeMark)) {
        QString text;
        text.reserve((bytes.size() - kUtf16LeMark.size()) / 2);
        for (qsizetype i = kUtf16LeMark.size(); i + 1 < bytes.size(); i += 2)
            text.append(QChar(static_cast<unsigned char>(bytes[i]) |
                              static_cast<unsigned char>(bytes[i + 1]) << 8));
        return text;
    }
    // A cache of tens of thousands of sections is plain ASCII nearly always, which reads the
    // same in Windows-1252 and needs no table.
    if (IsPlainAscii(bytes))
        return QString::fromLatin1(bytes);
    return DecodeWindows1252(bytes);
}

// The next line of the text from `*start` on, which moves past its CR LF, CR or LF; false at the
// end of the text.
bool NextLine(QStringView text, qsizetype* start, QStringView* line) {
    const qsizetype from = *start;
    if (from >= text.size())
        return false;
    qsizetype end = from;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    *line = text.sliced(from, end - from);
    if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n')
        ++end;
    *start = end + 1;
    return true;
}

// A value inside a pair of double quotes: how a value that would not read back as written is
// stored.
bool IsQuoted(QStringView value) {
    return value.size() >= 2 && value.front() == u'"' && value.back() == u'"';
}

// Reading trims a value, so one with a blank (or control character) at either end would lose it,
// and takes off a pair of quotes, so one inside quotes would lose them: such a value is written
// inside a pair of quotes, as the ini format allows.
bool NeedsQuotes(QStringView value) {
    return !value.isEmpty() &&
           (value.front().unicode() <= 0x20 || value.back().unicode() <= 0x20 || IsQuoted(value));
}

// A line that begins with '[' and ends with ']' is read as a section, so a key that begins with
// '[' gets its value quoted where the value would end the line with ']'.
bool NeedsQuotes(QStringView key, QStringView value) {
    return NeedsQuotes(value) || (key.startsWith(u'[') && value.endsWith(u']'));
}

QStringView Unquoted(QStringView value) {
    return IsQuoted(value) ? value.sliced(1, value.size() - 2) : value;
}

// Appends "name=value" with both trimmed, and a line end.
void AppendKeyLine(QString& body, QStringView line, qsizetype equals) {
    const QStringView name = TrimControls(line.first(equals));
    const QStringView value = TrimControls(line.sliced(equals + 1));
    if (name.size() == equals && value.size() == line.size() - equals - 1)
        body.append(line);
    else
        body.append(name).append(u'=').append(value);
    body.append(u'\n');
}

// Room for the lines of a cache section, which most new sections are.
constexpr qsizetype kNewSectionSize = 80;

bool HasLineBreak(QStringView text) {
    for (const QChar ch : text) {
        if (ch == u'\r' || ch == u'\n')
            return true;
    }
    return false;
}

// A line break inside a value would turn into a key or section of its own when the file is read
// again, so it is written as a blank.
QString OneLine(QString text) {
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

// A unit of a surrogate pair without its other half, which no UTF-8 text can hold.
bool HasLoneSurrogate(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return true;
    }
    return false;
}

// A line of a section's text: where it starts, its length and the place of its first '=' in
// it (-1 for none).
struct LineSpan {
    qsizetype start = 0;
    qsizetype size = 0;
    qsizetype equals = -1;
};

// The line of a section's text that starts at `*pos`, which moves past its end; false at the end.
// Keys are short and values long: the first '=' is looked for letter by letter, the end after it
// by the library's search.
bool NextBodyLine(const QString& body, qsizetype* pos, LineSpan* line) {
    const qsizetype size = body.size();
    if (*pos >= size)
        return false;
    const char16_t* text = reinterpret_cast<const char16_t*>(body.constData());
    qsizetype at = *pos;
    while (at < size && text[at] != u'=' && text[at] != u'\n')
        ++at;
    qsizetype end = at;
    line->equals = -1;
    if (at < size && text[at] == u'=') {
        line->equals = at - *pos;
        end = body.indexOf(u'\n', at + 1);
        if (end < 0)
            end = size;
    }
    line->start = *pos;
    line->size = end - *pos;
    *pos = end + 1;
    return true;
}

// A line's key and a key asked for, alike without regard to case (the sizes are alike already):
// letter by letter while both are plain ASCII, as SameWithoutCase compares them; any other
// character leaves it to SameWithoutCase.
bool SameKey(QStringView name, QStringView key) {
    // Keys are mostly asked as they were written.
    if (std::memcmp(name.data(), key.data(), std::size_t(key.size()) * sizeof(QChar)) == 0)
        return true;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char16_t a = name[i].unicode();
        const char16_t b = key[i].unicode();
        if ((a | b) >= 0x80)
            return SameWithoutCase(name, key);
        if (AsciiLower(a) != AsciiLower(b))
            return false;
    }
    return true;
}

QStringView LineText(const QString& body, const LineSpan& line) {
    return QStringView(body).sliced(line.start, line.size);
}

// The value of a key's line, as it reads: a pair of quotes around it taken off.
QStringView ValueOf(const QString& body, const LineSpan& line) {
    return Unquoted(LineText(body, line).sliced(line.equals + 1));
}

// The line that starts at `start`; false when there is none (-1).
bool LineAt(const QString& body, qsizetype start, LineSpan* line) {
    return start >= 0 && NextBodyLine(body, &start, line);
}

// Sections longer than this get an index of their keys; a walk through a shorter one costs
// less than the index would.
constexpr qsizetype kIndexKeysFrom = 2048;

// A name as a key to look a section up by, sharing the caller's text without counting itself
// among its users: lookups on several threads at once then never write to the text, which the
// calling thread may be about to copy.
FoldedName LookupKey(QStringView name) {
    return FoldedName{QString::fromRawData(name.constData(), name.size())};
}

} // namespace

// Names that differ in length never match without regard to case, so most lines of a walk are
// passed over without a comparison.
qsizetype IniFile::KeyLine(const Section& section, QStringView key) {
    if (section.indexed)
        return section.keys.value(LookupKey(key), -1);
    qsizetype pos = 0;
    LineSpan line;
    while (NextBodyLine(section.body, &pos, &line)) {
        if (line.equals == key.size() &&
            SameKey(LineText(section.body, line).first(line.equals), key))
            return line.start;
    }
    return -1;
}

void IniFile::KeysAdded(Section& section, qsizetype from) {
    if (!section.indexed) {
        if (section.body.size() <= kIndexKeysFrom)
            return;
        section.indexed = true;
        from = 0;
    }
    LineSpan line;
    while (NextBodyLine(section.body, &from, &line)) {
        // The first line of a key holds its value.
        if (line.equals < 0)
            continue;
        const qsizetype before = section.keys.size();
        qsizetype& start =
            section.keys[FoldedName{LineText(section.body, line).first(line.equals).toString()}];
        if (section.keys.size() != before)
            start = line.start;
    }
}

IniFile::IniFile(const IniFile& other) : sections_(other.sections_) {
    RebuildIndex();
}

IniFile& IniFile::operator=(const IniFile& other) {
    if (this != &other) {
        ++changes_;
        sections_ = other.sections_;
        RebuildIndex();
    }
    return *this;
}

// The one moved from is left empty; neither remembers a section.
IniFile::IniFile(IniFile&& other) noexcept
    : sections_(std::move(other.sections_)), index_(std::move(other.index_)) {
    other.Clear();
}

IniFile& IniFile::operator=(IniFile&& other) noexcept {
    if (this != &other) {
        ++changes_;
        ForgetLastSection();
        sections_ = std::move(other.sections_);
        index_ = std::move(other.index_);
        other.Clear();
    }
    return *this;
}

void IniFile::RebuildIndex() {
    ForgetLastSection();
    index_.clear();
    for (auto it = sections_.begin(); it != sections_.end(); ++it)
        index_.insert(FoldedName{it->name}, it);
}

void IniFile::Remember(const QString& name, SectionList::iterator place) const {
    lastKnown_ = true;
    lastName_ = name;
    lastPlace_ = place;
}

void IniFile::ForgetLastSection() const {
    lastKnown_ = false;
    lastName_.clear();
}

IniFile IniFile::FromBytes(const QByteArray& bytes) {
    IniFile ini;
    const QString text = DecodeText(bytes);
    // A section of a cache takes some sixty bytes or more; growing the index section by section
    // would rehash it again and again.
    ini.index_.reserve(bytes.size() / 60);
    Section* current = nullptr;
    // The lines of the current section gather here and go into it all at once.
    QString pending;
    auto flush = [&] {
        if (current && !pending.isEmpty()) {
            const qsizetype from = current->body.size();
            current->body.append(QStringView(pending));
            KeysAdded(*current, from);
        }
        pending.truncate(0);
    };
    qsizetype start = 0;
    QStringView raw;
    while (NextLine(text, &start, &raw)) {
        const QStringView line = TrimControls(raw);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            flush();
            // The name stands as written between the brackets: a file name may begin or end
            // with a blank.
            current = &ini.SectionForWriting(line.sliced(1, line.size() - 2).toString());
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            pending.append(line).append(u'\n');
        else
            AppendKeyLine(pending, line, eq);
    }
    flush();
    return ini;
}

std::optional<QByteArray> IniFile::ToWindows1252() const {
    // At most two bytes a character: each line feed of a body becomes CR LF.
    qsizetype most = 0;
    for (const Section& section : sections_)
        most += section.name.size() + 6 + 2 * section.body.size();
    QByteArray bytes(most, Qt::Uninitialized);
    char* out = bytes.data();
    const auto put = [&out](QStringView text) {
        for (const QChar ch : text) {
            const char16_t unit = ch.unicode();
            if (unit == u'\n') {
                *out++ = '\r';
                *out++ = '\n';
            } else if (unit < 0x80) {
                *out++ = char(unit);
            } else if (!Windows1252Byte(unit, out++)) {
                return false;
            }
        }
        return true;
    };
    // A body holds its lines each ended by a line feed, which no name or value holds.
    for (const Section& section : sections_) {
        *out++ = '[';
        if (!put(section.name))
            return std::nullopt;
        *out++ = ']';
        if (!put(u"\n") || !put(section.body) || !put(u"\n"))
            return std::nullopt;
    }
    bytes.truncate(out - bytes.constData());
    return bytes;
}

QByteArray IniFile::ToBytes() const {
    if (std::optional<QByteArray> bytes = ToWindows1252())
        return *bytes;
    // A lone surrogate (from a stranger's UTF-16 file) has no UTF-8 form: such a file is written
    // in UTF-16, which the reader takes back unit for unit.
    bool utf16 = false;
    for (const Section& section : sections_)
        utf16 = utf16 || HasLoneSurrogate(section.name) || HasLoneSurrogate(section.body);
    qsizetype size = 0;
    for (const Section& section : sections_)
        size += section.name.size() + 6 + section.body.size() + section.body.count(u'\n');
    QString text;
    text.reserve(size);
    for (const Section& section : sections_) {
        text.append(u'[').append(section.name).append(u']').append(kLineEnd);
        qsizetype pos = 0;
        LineSpan line;
        while (NextBodyLine(section.body, &pos, &line))
            text.append(LineText(section.body, line)).append(kLineEnd);
        text.append(kLineEnd);
    }
    if (!utf16)
        return kUtf8Mark + text.toUtf8();
    QByteArray bytes = kUtf16LeMark;
    bytes.reserve(bytes.size() + 2 * text.size());
    for (const QChar ch : std::as_const(text))
        bytes.append(char(ch.unicode() & 0xFF)).append(char(ch.unicode() >> 8));
    return bytes;
}

IniFile::SectionList::iterator IniFile::RememberedSection(const QString& name) const {
    auto& sections = const_cast<SectionList&>(sections_);
    if (!lastKnown_)
        return sections.end();
    if (name == lastName_)
        return lastPlace_;
    if (lastPlace_ != sections.end()) {
        const auto next = std::next(lastPlace_);
        if (next != sections.end() && next->name == name) {
            Remember(name, next);
            return next;
        }
    }
    return sections.end();
}

const IniFile::Section* IniFile::FindSection(const QString& name) const {
    auto place = RememberedSection(name);
    if (place == sections_.end() && !(lastKnown_ && name == lastName_)) {
        const auto found = index_.constFind(LookupKey(name));
        place = found == index_.constEnd() ? const_cast<SectionList&>(sections_).end() : *found;
        Remember(name, place);
    }
    return place == sections_.end() ? nullptr : &*place;
}

IniFile::Section& IniFile::SectionForWriting(const QString& name) {
    ++changes_;
    auto place = RememberedSection(name);
    if (place != sections_.end())
        return *place;
    // One lookup finds the section or makes its place in the index.
    const qsizetype before = index_.size();
    SectionList::iterator& slot = index_[FoldedName{name}];
    if (index_.size() == before) {
        Remember(name, slot);
        return *slot;
    }
    sections_.push_back(Section{name, {}, false, {}});
    slot = std::prev(sections_.end());
    Remember(name, slot);
    return *slot;
}

const IniFile::Section* IniFile::PeekSection(const QString& name) const {
    const auto found = index_.constFind(LookupKey(name));
    return found == index_.constEnd() ? nullptr : &**found;
}

bool IniFile::FindValue(const QString& section, const QString& key, QStringView* value,
                        bool remember) const {
    const Section* found = remember ? FindSection(section) : PeekSection(section);
    LineSpan line;
    if (!found || !LineAt(found->body, KeyLine(*found, key), &line))
        return false;
    *value = ValueOf(found->body, line);
    return true;
}

QString IniFile::ReadString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    QStringView value;
    return FindValue(section, key, &value) ? value.toString() : defaultValue;
}

QString IniFile::PeekString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    QStringView value;
    return FindValue(section, key, &value, false) ? value.toString() : defaultValue;
}

bool IniFile::CanHoldSection(QStringView name) {
    return !HasLineBreak(name);
}

bool IniFile::CanHoldKey(QStringView name) {
    return !HasLineBreak(name) && !name.contains(u'=') && !name.startsWith(u';') &&
           (name.isEmpty() || (name.front().unicode() > 0x20 && name.back().unicode() > 0x20));
}

bool IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    if (!CanHoldSection(section) || !CanHoldKey(key))
        return false;
    Section& target = SectionForWriting(section);
    const QString& name = key;
    LineSpan line;
    if (!LineAt(target.body, KeyLine(target, name), &line)) {
        // A new section gets its few lines in one allocation.
        if (target.body.isEmpty())
            target.body.reserve(kNewSectionSize);
        const qsizetype from = target.body.size();
        target.body.append(name).append(u'=');
        // The characters are copied, not the text shared: a text made on another thread would
        // cost more to count than to copy.
        QString oneLine;
        QStringView text = value;
        if (HasLineBreak(value)) {
            oneLine = OneLine(value);
            text = oneLine;
        }
        if (NeedsQuotes(name, text))
            target.body.append(u'"').append(text).append(u'"');
        else
            target.body.append(text);
        target.body.append(u'\n');
        KeysAdded(target, from);
        return true;
    }
    // The key keeps the spelling it was first written with.
    const qsizetype from = line.start + line.equals + 1;
    QString text = OneLine(value);
    if (NeedsQuotes(LineText(target.body, line).first(line.equals), text))
        text = u'"' + text + u'"';
    const qsizetype moved = text.size() - (line.start + line.size - from);
    target.body.replace(from, line.start + line.size - from, text);
    if (target.indexed && moved != 0) {
        for (qsizetype& start : target.keys) {
            if (start > line.start)
                start += moved;
        }
    }
    return true;
}

bool IniFile::WriteValues(const QString& section, const QStringView* keys,
                          const QStringView* values, std::size_t count) {
    const auto oneByOne = [&] {
        bool all = true;
        for (std::size_t k = 0; k < count; ++k)
            all = WriteString(section, keys[k].toString(), values[k].toString()) && all;
        return all;
    };
    if (count == 0)
        return CanHoldSection(section);
    // A key given twice would find its first line, and a name the file cannot hold is refused:
    // both are left to WriteString.
    if (!CanHoldSection(section))
        return oneByOne();
    for (std::size_t k = 0; k < count; ++k) {
        if (!CanHoldKey(keys[k]))
            return oneByOne();
        for (std::size_t j = k + 1; j < count; ++j) {
            if (keys[k].size() == keys[j].size() && SameWithoutCase(keys[k], keys[j]))
                return oneByOne();
        }
    }
    const QString& name = section;
    // One look-up finds the section or makes its place in the index.
    const qsizetype before = index_.size();
    SectionList::iterator& slot = index_[FoldedName{name}];
    if (index_.size() == before)
        return oneByOne();
    ++changes_;
    // The lines straight into a text of their length: a line break in a value is a blank there,
    // as OneLine makes it.
    qsizetype size = 0;
    for (std::size_t k = 0; k < count; ++k)
        size += keys[k].size() + values[k].size() + 2 + (NeedsQuotes(keys[k], values[k]) ? 2 : 0);
    Section fresh{name, QString(size, Qt::Uninitialized), false, {}};
    QChar* out = fresh.body.data();
    const auto put = [&out](QStringView text) {
        for (const QChar ch : text)
            *out++ = ch == u'\r' || ch == u'\n' ? QChar(u' ') : ch;
    };
    for (std::size_t k = 0; k < count; ++k) {
        put(keys[k]);
        *out++ = u'=';
        // A line break at an end is a blank there too, so the same values need quotes.
        const bool quoted = NeedsQuotes(keys[k], values[k]);
        if (quoted)
            *out++ = u'"';
        put(values[k]);
        if (quoted)
            *out++ = u'"';
        *out++ = u'\n';
    }
    sections_.push_back(std::move(fresh));
    slot = std::prev(sections_.end());
    KeysAdded(*slot, 0);
    Remember(name, slot);
    return true;
}

// Decimal text, or hexadecimal after "0x" or "$"; the default when not a number.
int IniFile::ToInteger(QStringView text, int defaultValue) {
    // Plain decimal digits (with a minus sign), which is how every number here is written, are
    // read here: the cache rebuilds read two numbers a section from tens of thousands of them.
    // Anything else (blanks, a plus sign, hexadecimal) goes the long way.
    const qsizetype first = !text.isEmpty() && text.front() == u'-' ? 1 : 0;
    if (text.size() > first && text.size() - first <= 10) {
        qint64 plain = 0;
        qsizetype i = first;
        for (; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                break;
            plain = plain * 10 + (c - u'0');
        }
        if (i == text.size()) {
            if (first)
                plain = -plain;
            return plain < std::numeric_limits<int>::min() ||
                           plain > std::numeric_limits<int>::max()
                       ? defaultValue
                       : int(plain);
        }
    }
    bool ok = false;
    int value = 0;
    if (text.size() > 2 && text.startsWith(u"0x", Qt::CaseInsensitive))
        value = static_cast<int>(text.sliced(2).toUInt(&ok, 16));
    else if (text.size() > 1 && text.startsWith(u'$'))
        value = static_cast<int>(text.sliced(1).toUInt(&ok, 16));
    else
        value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool IniFile::PeekValues(const QString& section, const QStringView* keys, std::size_t count,
                         QStringView* values) const {
    std::fill(values, values + count, QStringView());
    const Section* found = PeekSection(section);
    if (!found)
        return false;
    LineSpan line;
    if (found->indexed) {
        for (std::size_t k = 0; k < count; ++k) {
            if (LineAt(found->body, KeyLine(*found, keys[k]), &line))
                values[k] = ValueOf(found->body, line);
        }
        return true;
    }
    std::size_t left = count;
    qsizetype pos = 0;
    while (left > 0 && NextBodyLine(found->body, &pos, &line)) {
        if (line.equals < 0)
            continue;
        const QStringView name = LineText(found->body, line).first(line.equals);
        for (std::size_t k = 0; k < count; ++k) {
            // The first line of a key holds its value, as KeyLine finds it.
            if (values[k].isNull() && name.size() == keys[k].size() && SameKey(name, keys[k])) {
                values[k] = ValueOf(found->body, line);
                --left;
                break;
            }
        }
    }
    return true;
}

int IniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    QStringView text;
    return FindValue(section, key, &text) ? ToInteger(text, defaultValue) : defaultValue;
}

int IniFile::PeekInteger(const QString& section, const QString& key, int defaultValue) const {
    QStringView text;
    return FindValue(section, key, &text, false) ? ToInteger(text, defaultValue) : defaultValue;
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList IniFile::ReadSections() const {
    QStringList names;
    names.reserve(sections_.size());
    for (const Section& section : sections_)
        names.append(section.name);
    return names;
}

QStringList IniFile::ReadSection(const QString& section) const {
    QStringList keys;
    if (const Section* found = FindSection(section)) {
        qsizetype pos = 0;
        LineSpan line;
        while (NextBodyLine(found->body, &pos, &line)) {
            if (line.equals >= 0)
                keys.append(LineText(found->body, line).first(line.equals).toString());
        }
    }
    return keys;
}

QStringList IniFile::ReadSectionValues(const QString& section) const {
    QStringList lines;
    if (const Section* found = FindSection(section)) {
        qsizetype pos = 0;
        LineSpan line;
        while (NextBodyLine(found->body, &pos, &line))
            lines.append(LineText(found->body, line).toString());
    }
    return lines;
}

bool IniFile::SectionExists(const QString& section) const {
    const Section* found = FindSection(section);
    return found && !found->body.isEmpty();
}

bool IniFile::PeekSectionExists(const QString& section) const {
    const Section* found = PeekSection(section);
    return found && !found->body.isEmpty();
}

bool IniFile::ValueExists(const QString& section, const QString& key) const {
    const Section* found = FindSection(section);
    LineSpan line;
    return found && LineAt(found->body, KeyLine(*found, key), &line);
}

void IniFile::ReserveSections(qsizetype more) {
    if (more > 0)
        index_.reserve(index_.size() + more);
}

void IniFile::EraseSection(const QString& section) {
    const auto found = index_.find(LookupKey(section));
    if (found == index_.end())
        return;
    ++changes_;
    ForgetLastSection();
    sections_.erase(*found);
    index_.erase(found);
}

bool IniFile::EraseSectionsExcept(const std::function<bool(const QString&)>& keep) {
    bool erased = false;
    for (auto it = sections_.begin(); it != sections_.end();) {
        if (keep(it->name)) {
            ++it;
            continue;
        }
        if (!erased) {
            ++changes_;
            ForgetLastSection();
            erased = true;
        }
        index_.remove(FoldedName{it->name});
        it = sections_.erase(it);
    }
    return erased;
}

void IniFile::DeleteKey(const QString& section, const QString& key) {
    const auto found = index_.constFind(LookupKey(section));
    if (found == index_.constEnd())
        return;
    Section& target = **found;
    LineSpan line;
    if (LineAt(target.body, KeyLine(target, key), &line)) {
        ++changes_;
        target.body.remove(line.start, line.size + 1);
        // A later line of the same key may now be its first: the index is made again.
        if (target.indexed) {
            target.indexed = false;
            target.keys.clear();
            KeysAdded(target, 0);
        }
    }
}

void IniFile::Clear() {
    ++changes_;
    ForgetLastSection();
    sections_.clear();
    index_.clear();
}

} // namespace qv
