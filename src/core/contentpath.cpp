#include "core/contentpath.h"

#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/report.h"

#include <QStringList>

namespace qv {

namespace {

bool IsSeparator(QChar c) {
    return c == u'\\' || c == u'/';
}

bool OnlyDotsAndSpaces(QStringView part) {
    for (const QChar c : part)
        if (c != u'.' && c != u' ')
            return false;
    return true;
}

// Windows opens a device for these names in any folder, whatever extension follows them.
bool IsDeviceName(QStringView part) {
    QStringView stem = part.left(part.indexOf(u'.') < 0 ? part.size() : part.indexOf(u'.'));
    while (stem.endsWith(u' '))
        stem.chop(1);
    if (stem.size() == 4 && stem.at(3) >= u'1' && stem.at(3) <= u'9')
        return stem.left(3).compare(u"COM", Qt::CaseInsensitive) == 0 ||
               stem.left(3).compare(u"LPT", Qt::CaseInsensitive) == 0;
    for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
        if (stem.compare(QStringView(device), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// A part that names a file or folder as it stands: not empty, no "." or "..", nothing Windows
// would shorten or open as a device, no drive, stream or control character.
bool PlainPart(QStringView part) {
    if (part.isEmpty() || OnlyDotsAndSpaces(part) || IsDeviceName(part))
        return false;
    for (const QChar c : part)
        if (c == u':' || c.unicode() < 0x20)
            return false;
    return true;
}

// True when every part of the entry (separated by "\" alone) is plain: the entry is then its own
// resolution, and most names from content files are so.
bool PlainEntry(const QString& entry) {
    if (entry.contains(u'/'))
        return false;
    for (const QStringView part : QStringView(entry).split(u'\\'))
        if (!PlainPart(part))
            return false;
    return true;
}

} // namespace

QString EntryInside(const QString& base, const QString& entry) {
    if (entry.isEmpty() || IsSeparator(entry.front()))
        return QString();
    if (base.isEmpty() && PlainEntry(entry))
        return entry;
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
    if (base.isEmpty() ||
        (kept.size() > 1 && inside.size() > base.size() && inside.at(base.size()) == u'\\' &&
         CompareText(inside.left(base.size()), base) == 0))
        return inside;
    return QString();
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
