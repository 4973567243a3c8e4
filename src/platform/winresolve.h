// Finding the host file behind a Windows-form path: each component is looked up without regard to
// letter case (the exact name first, else the one name that matches when case is folded), through
// folder listings that are kept while the folder's change time stays the same. Error codes are
// errno values throughout, so callers can show them as "... : [n]".
#pragma once

#include <QString>
#include <QStringList>
#include <cerrno>
#include <sys/stat.h>

namespace qv {

// Two host names in one folder differ only in letter case, and neither is the exact name asked for.
constexpr int kFsAmbiguous = ENOTUNIQ;
// The path's drive letter is not in the drive map.
constexpr int kFsNoDrive = ENODEV;
// The text is not a full Windows path ("X:\...").
constexpr int kFsBadPath = EINVAL;

// The text of an error code for messages.
QString FsErrorText(int code);

struct ResolvedPath {
    QString host;         // the host path: what exists resolved, the rest appended as given
    QString existingHost; // the longest part of `host` that exists
    bool exists = false;  // every component was found
};

// The host path of an existing entry; false with ENOENT, kFsAmbiguous, ENOTDIR, ... otherwise.
bool ResolvePath(const QString& path, QString* hostPath, int* error = nullptr);
// Resolves the longest existing prefix and appends the rest as given, for creating an entry; an
// entry that exists in another letter case resolves to that entry (`exists` is then true).
bool ResolvePathForCreate(const QString& path, ResolvedPath* resolved, int* error = nullptr);

// lstat, or with followLinks stat, of a host path that ResolvePath or FolderNames has just
// given; a file whose folder is watched is answered from the cache while no write or attribute
// change of it was reported up to that lookup. False with the errno.
bool HostStat(const QString& hostPath, bool followLinks, struct stat* st, int* error = nullptr);
// HostStat of `<hostFolder>/<name>` for a name that FolderNames has just given.
bool HostStatIn(const QString& hostFolder, const QString& name, bool followLinks, struct stat* st,
                int* error = nullptr);
// ResolvePath followed by HostStat of what it found, with the folder's listing looked up once;
// `hostPath` (or none) receives the host path.
bool ResolvePathStat(const QString& path, bool followLinks, QString* hostPath, struct stat* st,
                     int* error = nullptr);
// The names in a host folder (no "." and ".."), from the cache when the folder has not changed;
// the host folder is one that ResolvePath has just given. They come in the order FindEntries
// lists them: without regard to case, then exactly.
bool FolderNames(const QString& hostFolder, QStringList* names, int* error = nullptr);
// Tells the cache that this layer is about to change a host folder (it drops a listing that is
// no longer current); FolderChanged then records the change.
void BeforeFolderChange(const QString& hostFolder);
// Tells the cache of a change made in a host folder (a name added, one removed, or neither when
// only the folder's time changed); this layer calls it after each change it makes.
void FolderChanged(const QString& hostFolder, const QString& addedName,
                   const QString& removedName = QString());
// Forgets the cached listing of a host folder.
void InvalidateFolder(const QString& hostFolder);
// Forgets every cached listing.
void ClearFolderCache();
// How many times a folder was read from the disk since the program started (tests count rescans).
qint64 FolderReadCount();

} // namespace qv
