#include "engine/worklists.h"

#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/itemset.h"
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
        if (OnlyDotsAndSpaces(part))
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

QString CheckedEntry(const QString& base, const QString& entry, const ItemSet* namedBy,
                     ReportPane* pane) {
    const QString inside = EntryInside(base, entry);
    if (inside.isEmpty())
        Report(RL_ERROR, namedBy,
               Caption(Msg::INVALID_FILENAME) + Caption(Msg::GENERAL_NOT_FOUND3) + entry + u'\'',
               pane);
    return inside;
}

bool AddEntryInside(StringList& list, const QString& base, const QString& entry,
                    const ItemSet* namedBy, ReportPane* pane) {
    const QString inside = CheckedEntry(base, entry, namedBy, pane);
    if (inside.isEmpty())
        return false;
    list.Add(inside);
    return true;
}

ItemSet NamingFile(const QString& relativePath) {
    ItemSet item;
    const qsizetype slash = relativePath.lastIndexOf(u'\\');
    item.Folder = slash < 0 ? QString() : relativePath.left(slash);
    item.FileName = relativePath.mid(slash + 1);
    return item;
}

} // namespace qv
