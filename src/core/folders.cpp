#include "core/folders.h"

#include "core/comparetext.h"
#include "platform/drivemap.h"
#include "platform/winfs.h"

#include <QFileInfo>
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

namespace {

// Through another drive letter the names tell nothing: the host folders are compared as they lie
// on the disk, links followed. A path that does not exist yet counts by its existing part.
bool InsideOnHost(const QString& path, const QString& folder, bool orSame) {
    QString folderHost;
    ResolvedPath resolved;
    if (!ResolvePath(folder, &folderHost) || !ResolvePathForCreate(path, &resolved))
        return false;
    const QString inside = QFileInfo(resolved.existingHost).canonicalFilePath();
    const QString outside = QFileInfo(folderHost).canonicalFilePath();
    if (inside.isEmpty() || outside.isEmpty())
        return false;
    if (inside == outside)
        return orSame || !resolved.exists;
    return inside.startsWith(outside == QLatin1String("/") ? outside : outside + QLatin1Char('/'));
}

} // namespace

bool IsInsideFolder(const QString& path, const QString& folder, bool orSame) {
    QChar pathDrive, folderDrive;
    QStringList pathParts, folderParts;
    if (!SplitWindowsPath(path, &pathDrive, &pathParts) ||
        !SplitWindowsPath(folder, &folderDrive, &folderParts))
        return false;
    if (pathDrive != folderDrive)
        return InsideOnHost(path, folder, orSame);
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
