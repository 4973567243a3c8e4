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

bool OnlyDotsAndSpaces(const QString& part) {
    for (const QChar c : part)
        if (c != u'.' && c != u' ')
            return false;
    return true;
}

// Windows opens a device for these names in any folder, whatever extension follows them.
bool IsDeviceName(const QString& part) {
    QString stem = part.left(part.indexOf(u'.')).toUpper();
    while (stem.endsWith(u' '))
        stem.chop(1);
    static const QStringList devices{QStringLiteral("CON"),    QStringLiteral("PRN"),
                                     QStringLiteral("AUX"),    QStringLiteral("NUL"),
                                     QStringLiteral("CONIN$"), QStringLiteral("CONOUT$")};
    if (devices.contains(stem))
        return true;
    return stem.size() == 4 && (stem.startsWith(u"COM") || stem.startsWith(u"LPT")) &&
           stem.at(3) >= u'1' && stem.at(3) <= u'9';
}

} // namespace

QString EntryInside(const QString& base, const QString& entry) {
    if (entry.isEmpty() || IsSeparator(entry.front()))
        return QString();
    // A name joined to its folder ("<folder>\\server\share") is as absolute as it was alone.
    if (!base.isEmpty() && entry.size() > base.size() + 1 && IsSeparator(entry.at(base.size())) &&
        IsSeparator(entry.at(base.size() + 1)) && CompareText(entry.left(base.size()), base) == 0)
        return QString();
    QStringList kept;
    const QStringList parts = QString(entry).replace(u'/', u'\\').split(u'\\');
    for (const QString& part : parts) {
        // A colon names a drive or a stream; control characters name no MSTS file.
        for (const QChar c : part)
            if (c == u':' || c.unicode() < 0x20)
                return QString();
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (kept.isEmpty())
                return QString();
            kept.removeLast();
            continue;
        }
        if (OnlyDotsAndSpaces(part) || IsDeviceName(part))
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
    // A name that starts with a separator is absolute, not a part of the folder's path.
    if (name.isEmpty() || IsSeparator(name.front()))
        return QString();
    return folder.isEmpty() ? EntryInside(QString(), name)
                            : EntryInside(folder, folder + u'\\' + name);
}

QString ContentPath(const QString& root, const QString& folder, const QString& name) {
    const QString inside = NameInside(folder, name);
    if (inside.isEmpty())
        return QString();
    QString path = root;
    while (!path.isEmpty() && IsSeparator(path.back()))
        path.chop(1);
    return path + u'\\' + inside;
}

QString CheckedContentPath(const QString& root, const QString& folder, const QString& name,
                           const QString& namingFile, ReportPane* pane) {
    const QString path = ContentPath(root, folder, name);
    if (path.isEmpty())
        Report(RL_ERROR, nullptr, RefusedNameText(name, namingFile), pane);
    return path;
}

QString RefusedNameText(const QString& name, const QString& namingFile) {
    QString text = Caption(Msg::INVALID_FILENAME) + Caption(Msg::GENERAL_NOT_FOUND3) + name + u'\'';
    if (!namingFile.isEmpty())
        text += Caption(Msg::GENERAL_NOT_FOUND5) + namingFile + u'\'';
    return text;
}

QString CheckedEntry(const QString& base, const QString& entry, const ItemSet* namedBy,
                     ReportPane* pane) {
    const QString inside = EntryInside(base, entry);
    if (inside.isEmpty())
        Report(RL_ERROR, namedBy, RefusedNameText(entry, QString()), pane);
    return inside;
}

} // namespace qv
