#include "core/contentpath.h"

#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/report.h"

#include <QStringList>

#include <string_view>

namespace qv {

namespace {

bool IsSeparator(QChar c) {
    return c == u'\\' || c == u'/';
}

// The letter in lower case when it is an ASCII letter; any other character as it is. The device
// names below are made of letters that no character beyond ASCII folds to (only the Kelvin sign
// and the long s fold to ASCII letters, k and s), so this compares them exactly as a comparison
// without regard to case does.
char16_t LowerAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

// Whether the text is the name (lower case ASCII), without regard to case.
bool IsNamed(QStringView text, std::u16string_view name) {
    if (text.size() != qsizetype(name.size()))
        return false;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (LowerAscii(text[i].unicode()) != name[std::size_t(i)])
            return false;
    return true;
}

// Windows opens a device for these names in any folder, whatever extension follows them: the
// part up to its first dot (`stem`, of `part`), blanks at its end not counted.
bool IsDeviceName(QStringView part, qsizetype stem) {
    qsizetype end = stem;
    while (end > 0 && part[end - 1] == u' ')
        --end;
    // Every device name is of three, four, six or seven characters: most parts are passed over
    // by their length and first letter alone.
    if (end < 3 || end > 7)
        return false;
    const QStringView name = part.first(end);
    switch (LowerAscii(name[0].unicode())) {
    case u'c':
        if (end == 4)
            return name[3] >= u'1' && name[3] <= u'9' && IsNamed(name.first(3), u"com");
        return IsNamed(name, u"con") || IsNamed(name, u"conin$") || IsNamed(name, u"conout$");
    case u'l':
        return end == 4 && name[3] >= u'1' && name[3] <= u'9' && IsNamed(name.first(3), u"lpt");
    case u'p':
        return IsNamed(name, u"prn");
    case u'a':
        return IsNamed(name, u"aux");
    case u'n':
        return IsNamed(name, u"nul");
    default:
        return false;
    }
}

// A part that names a file or folder as it stands: not empty, no "." or "..", nothing Windows
// would shorten or open as a device, no drive, stream or control character.
bool PlainPart(QStringView part) {
    if (part.isEmpty())
        return false;
    bool dotsAndSpaces = true;
    qsizetype firstDot = -1;
    for (qsizetype i = 0; i < part.size(); ++i) {
        const char16_t u = part[i].unicode();
        if (u == u':' || u < 0x20)
            return false;
        if (u == u'.') {
            if (firstDot < 0)
                firstDot = i;
        } else if (u != u' ') {
            dotsAndSpaces = false;
        }
    }
    return !dotsAndSpaces && !IsDeviceName(part, firstDot < 0 ? part.size() : firstDot);
}

// The number of parts of the entry (separated by "\" alone) when every one is plain: the entry
// is then its own resolution, and most names from content files are so. 0 otherwise. Tens of
// thousands of names are judged in a survey: each in one pass over its characters.
qsizetype PlainParts(QStringView entry) {
    qsizetype parts = 0;
    qsizetype from = 0;
    qsizetype firstDot = -1;
    bool dotsAndSpaces = true;
    const qsizetype size = entry.size();
    for (qsizetype i = 0;; ++i) {
        if (i == size || entry[i] == u'\\') {
            if (i == from || dotsAndSpaces ||
                IsDeviceName(entry.sliced(from, i - from), (firstDot < 0 ? i : firstDot) - from))
                return 0;
            ++parts;
            if (i == size)
                return parts;
            from = i + 1;
            firstDot = -1;
            dotsAndSpaces = true;
            continue;
        }
        const char16_t u = entry[i].unicode();
        if (u == u'/' || u == u':' || u < 0x20)
            return 0;
        if (u == u'.') {
            if (firstDot < 0)
                firstDot = i;
        } else if (u != u' ') {
            dotsAndSpaces = false;
        }
    }
}

// Whether the resolved entry of so many parts lies below `base` (not empty).
bool Below(const QString& base, const QString& inside, qsizetype parts) {
    return parts > 1 && inside.size() > base.size() && inside.at(base.size()) == u'\\' &&
           CompareText(inside.left(base.size()), base) == 0;
}

} // namespace

QString EntryInside(const QString& base, const QString& entry) {
    if (entry.isEmpty() || IsSeparator(entry.front()))
        return QString();
    // A plain entry has no empty part: it cannot hold "<folder>\\server\share" either.
    if (const qsizetype parts = PlainParts(entry))
        return base.isEmpty() || Below(base, entry, parts) ? entry : QString();
    // A name joined to its folder ("<folder>\\server\share") is as absolute as it was alone.
    if (!base.isEmpty() && entry.size() > base.size() + 1 && IsSeparator(entry.at(base.size())) &&
        IsSeparator(entry.at(base.size() + 1)) && CompareText(entry.left(base.size()), base) == 0)
        return QString();
    QStringList kept;
    const QStringList parts = QString(entry).replace(u'/', u'\\').split(u'\\');
    for (const QString& part : parts) {
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (kept.isEmpty())
                return QString();
            kept.removeLast();
            continue;
        }
        if (!PlainPart(part))
            return QString();
        kept << part;
    }
    const QString inside = kept.join(u'\\');
    return base.isEmpty() || Below(base, inside, kept.size()) ? inside : QString();
}

QString NameInside(const QString& folder, const QString& name) {
    // The name may not climb out of the folder: it is resolved on its own.
    const QString inside = EntryInside(QString(), name);
    if (inside.isEmpty() || folder.isEmpty())
        return inside;
    // The folder may come from a content file too (a list's path folder).
    const QString base = EntryInside(QString(), folder);
    return base.isEmpty() ? QString() : base + u'\\' + inside;
}

QString InRoot(const QString& root, const QString& inside) {
    // Looked at through a view: the root's text is not copied for each path.
    QStringView path = root;
    while (!path.isEmpty() && IsSeparator(path.back()))
        path.chop(1);
    QString joined;
    joined.reserve(path.size() + 1 + inside.size());
    return joined.append(path).append(u'\\').append(inside);
}

QString ContentPath(const QString& root, const QString& folder, const QString& name) {
    const QString inside = NameInside(folder, name);
    return inside.isEmpty() ? QString() : InRoot(root, inside);
}

QString CheckedContentPath(const QString& root, const QString& folder, const QString& name,
                           const QString& namingFile, ReportPane* pane) {
    const QString path = ContentPath(root, folder, name);
    if (path.isEmpty())
        ReportRefusedName(name, namingFile, pane);
    return path;
}

void ReportRefusedName(const QString& name, const QString& namingFile, ReportPane* pane) {
    Report(RL_ERROR, nullptr, RefusedNameText(name, namingFile), pane);
}

namespace {

QString FileReportText(Msg heading, const QString& file, const QString& namingFile) {
    QString text = Caption(heading) + Caption(Msg::GENERAL_NOT_FOUND3) + file + u'\'';
    if (!namingFile.isEmpty())
        text += Caption(Msg::GENERAL_NOT_FOUND5) + namingFile + u'\'';
    return text;
}

} // namespace

QString RefusedNameText(const QString& name, const QString& namingFile) {
    return FileReportText(Msg::INVALID_FILENAME, name, namingFile);
}

QString MissingFileText(const QString& file, const QString& namingFile) {
    return FileReportText(Msg::GENERAL_NOT_FOUND1, file, namingFile);
}

QString CheckedEntry(const QString& base, const QString& entry, const ItemSet* namedBy,
                     ReportPane* pane) {
    const QString inside = EntryInside(base, entry);
    if (inside.isEmpty())
        Report(RL_ERROR, namedBy, RefusedNameText(entry, QString()), pane);
    return inside;
}

} // namespace qv
