#include "platform/inifile.h"

#include "platform/codepage.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF", 3);
const QByteArray kUtf16LeMark("\xFF\xFE", 2);
const QLatin1StringView kLineEnd("\r\n");

// Blanks and control characters at either end go; other white space (a no-break space) stays.
QString TrimControls(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.sliced(begin, end - begin).toString();
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
    return DecodeWindows1252(bytes);
}

// Splits at CR LF, CR or LF.
QList<QStringView> SplitLines(QStringView text) {
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch != u'\r' && ch != u'\n')
            continue;
        lines.append(text.sliced(start, i - start));
        if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.sliced(start));
    return lines;
}

// A line break inside a name or value would turn into a key or section of its own when the file
// is read again, so it is written as a blank.
QString OneLine(QString text) {
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

qsizetype FindKey(const QStringList& lines, const QString& key) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype eq = lines[i].indexOf(u'=');
        if (eq >= 0 && QStringView(lines[i]).first(eq).compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString ErrnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

IniFile::IniFile(const IniFile& other) : sections_(other.sections_) {
    RebuildIndex();
}

IniFile& IniFile::operator=(const IniFile& other) {
    if (this != &other) {
        sections_ = other.sections_;
        RebuildIndex();
    }
    return *this;
}

void IniFile::RebuildIndex() {
    index_.clear();
    for (auto it = sections_.begin(); it != sections_.end(); ++it)
        index_.insert(it->name.toCaseFolded(), it);
}

IniFile IniFile::FromBytes(const QByteArray& bytes) {
    IniFile ini;
    const QString text = DecodeText(bytes);
    Section* current = nullptr;
    for (QStringView raw : SplitLines(text)) {
        const QString line = TrimControls(raw);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current =
                &ini.SectionForWriting(TrimControls(QStringView(line).sliced(1, line.size() - 2)));
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            current->lines.append(line);
        else
            current->lines.append(TrimControls(QStringView(line).first(eq)) + u'=' +
                                  TrimControls(QStringView(line).sliced(eq + 1)));
    }
    return ini;
}

QByteArray IniFile::ToBytes() const {
    QString text;
    for (const Section& section : sections_) {
        text += u'[' + section.name + u']' + kLineEnd;
        for (const QString& line : section.lines)
            text += line + kLineEnd;
        text += kLineEnd;
    }
    if (std::optional<QByteArray> bytes = EncodeWindows1252(text))
        return *bytes;
    return kUtf8Mark + text.toUtf8();
}

IniFile::LoadStatus IniFile::Load(const QString& hostPath, QString* errorText) {
    Clear();
    auto fail = [&](const QString& reason) {
        if (errorText)
            *errorText = reason;
        return LoadStatus::Unreadable;
    };
    struct stat info {};
    if (::stat(QFile::encodeName(hostPath).constData(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return LoadStatus::Missing;
        return fail(ErrnoText(error));
    }
    if (S_ISDIR(info.st_mode))
        return fail(ErrnoText(EISDIR));
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    *this = FromBytes(bytes);
    return LoadStatus::Loaded;
}

bool IniFile::Save(const QString& hostPath, QString* errorText) const {
    QSaveFile file(hostPath);
    auto fail = [&](const QString& reason) {
        if (errorText)
            *errorText = reason;
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    const QByteArray bytes = ToBytes();
    if (file.write(bytes) != bytes.size() || !file.flush())
        return fail(file.errorString());
    if (::fsync(file.handle()) != 0)
        return fail(ErrnoText(errno));
    if (!file.commit()) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    return true;
}

const IniFile::Section* IniFile::FindSection(const QString& name) const {
    const auto found = index_.constFind(name.toCaseFolded());
    return found == index_.constEnd() ? nullptr : &**found;
}

IniFile::Section& IniFile::SectionForWriting(const QString& name) {
    const QString folded = name.toCaseFolded();
    const auto found = index_.constFind(folded);
    if (found != index_.constEnd())
        return **found;
    sections_.push_back(Section{name, {}});
    const auto added = std::prev(sections_.end());
    index_.insert(folded, added);
    return *added;
}

QString IniFile::ReadString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    const Section* found = FindSection(section);
    if (!found)
        return defaultValue;
    const qsizetype line = FindKey(found->lines, key);
    if (line < 0)
        return defaultValue;
    const QString& text = found->lines[line];
    return text.sliced(text.indexOf(u'=') + 1);
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    Section& target = SectionForWriting(OneLine(section));
    const QString name = OneLine(key);
    const qsizetype line = FindKey(target.lines, name);
    if (line < 0) {
        target.lines.append(name + u'=' + OneLine(value));
        return;
    }
    // The key keeps the spelling it was first written with.
    QString& text = target.lines[line];
    text = text.first(text.indexOf(u'=') + 1) + OneLine(value);
}

int IniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    const QString text = ReadString(section, key, QString());
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
        for (const QString& line : found->lines) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq >= 0)
                keys.append(line.first(eq));
        }
    }
    return keys;
}

QStringList IniFile::ReadSectionValues(const QString& section) const {
    const Section* found = FindSection(section);
    return found ? found->lines : QStringList();
}

bool IniFile::SectionExists(const QString& section) const {
    const Section* found = FindSection(section);
    return found && !found->lines.isEmpty();
}

bool IniFile::ValueExists(const QString& section, const QString& key) const {
    const Section* found = FindSection(section);
    return found && FindKey(found->lines, key) >= 0;
}

void IniFile::EraseSection(const QString& section) {
    const auto found = index_.find(section.toCaseFolded());
    if (found == index_.end())
        return;
    sections_.erase(*found);
    index_.erase(found);
}

void IniFile::DeleteKey(const QString& section, const QString& key) {
    const auto found = index_.constFind(section.toCaseFolded());
    if (found == index_.constEnd())
        return;
    QStringList& lines = (*found)->lines;
    const qsizetype line = FindKey(lines, key);
    if (line >= 0)
        lines.removeAt(line);
}

void IniFile::Clear() {
    sections_.clear();
    index_.clear();
}

} // namespace qv
