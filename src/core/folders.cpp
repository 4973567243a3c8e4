#include "core/folders.h"

#include "platform/winfs.h"

#include <QList>

namespace qv {

bool IsFolderEmpty(const QString& folder) {
    QList<FindEntry> entries;
    int error = 0;
    const bool endsInSeparator =
        folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/'));
    const QString pattern =
        folder + (endsInSeparator ? QStringLiteral("*.*") : QStringLiteral("\\*.*"));
    if (!FindEntries(pattern, &entries, &error)) {
        // Nothing there at all counts as empty; a folder we could not read might hold anything,
        // and calling it empty would let the store be set up on top of unseen content.
        return error == ENOENT || error == ENOTDIR || error == kFsNoDrive || error == kFsBadPath;
    }
    for (const FindEntry& entry : entries) {
        if (!entry.IsFolder())
            return false;
        if (entry.name != QLatin1String(".") && entry.name != QLatin1String(".."))
            return false;
    }
    return true;
}

} // namespace qv
