#include "engine/worklists.h"

#include "core/itemset.h"

namespace qv {

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
