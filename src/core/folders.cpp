#include "core/folders.h"

#include "core/comparetext.h"
#include "platform/drivemap.h"
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

bool IsInsideFolder(const QString& path, const QString& folder, bool orSame) {
    QChar pathDrive, folderDrive;
    QStringList pathParts, folderParts;
    if (!SplitWindowsPath(path, &pathDrive, &pathParts) ||
        !SplitWindowsPath(folder, &folderDrive, &folderParts) || pathDrive != folderDrive)
        return false;
    if (pathParts.size() < folderParts.size() ||
        (!orSame && pathParts.size() == folderParts.size()))
        return false;
    for (qsizetype i = 0; i < folderParts.size(); ++i) {
        if (CompareText(pathParts[i], folderParts[i]) != 0)
            return false;
    }
    return true;
}

} // namespace qv
