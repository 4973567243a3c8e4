// The file operations the program needs of Windows, on Windows-form paths ("C:\MSTS\x.con")
// mapped through the drive map and found without regard to letter case. Every call returns
// success as bool and, on failure, an errno value in `error` (FsErrorText gives its text); nothing
// throws. Changes never replace an entry silently: renames and copies refuse an existing target,
// and a name that exists in another letter case counts as existing.
#pragma once

#include "platform/drivemap.h"
#include "platform/winfind.h"
#include "platform/winresolve.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ctime>
#include <functional>
#include <sys/stat.h>
#include <sys/types.h>

namespace qv {

// True when the path names an existing file (not a folder); links are followed.
bool FileExists(const QString& path, int* error = nullptr);
// FileExists that also tells whether the file's folder may hold another name alike but for letter
// case beside it: false only when the listings tell there is none.
bool FileExistsMayBeTwinned(const QString& path, bool* mayBeTwinned);
// True when the path names an existing folder; links are followed.
bool FolderExists(const QString& path, int* error = nullptr);

// The packed DOS date-time of a file's last write, -1 when it cannot be found.
qint32 FileAge(const QString& path, int* error = nullptr);

// What tells one state of a file from another: the file, its size and its change and write
// times to the nanosecond. A file whose stamp is unchanged has not been written since, unless it
// was written twice within one tick of the file system's clock: `settled` is set when the last
// write was so long ago that a later one would show.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec written{};
    timespec changed{};
    bool settled = false;

    bool SameFile(const FileStamp& other) const;
};
// FileAge that also gives the file's stamp.
qint32 FileAge(const QString& path, FileStamp* stamp, int* error = nullptr);
// FileAge with the stamp of a file by its host path (as a listing gave it), following a link as
// reading the file would. Safe on any thread: the path layer's cache is not involved.
qint32 HostFileAge(const QString& hostPath, FileStamp* stamp, int* error = nullptr);
// Sets a file's last-write time from a packed DOS date-time (local time).
bool SetFileAge(const QString& path, qint32 age, int* error = nullptr);

// The attribute bits of an entry (kFa...), kInvalidFileAttributes when it cannot be found.
quint32 FileAttributes(const QString& path, int* error = nullptr);
// Applies the read-only bit of `attributes` (removes or gives back write permission); the other
// bits have no host counterpart and are ignored.
bool SetFileAttributes(const QString& path, quint32 attributes, int* error = nullptr);

// Creates one folder; its parent must exist, the folder must not (in any letter case).
bool CreateFolder(const QString& path, int* error = nullptr);
// Creates a folder and every missing parent; true when it exists already. A folder to be made
// below a kept folder that a link on its way leads out of them is refused (kFsLinkLeaves).
bool ForceFolders(const QString& path, int* error = nullptr);
// ForceFolders of many folders, most of them new beside each other (a job's engine and wagon
// folders in the store): those whose parent is there are made one after the other, the parent
// made ready for changes once for a run of them, and the new folders are then read and watched
// together, as a prefetch reads. True when every one exists; `error` tells the last failure.
bool ForceFoldersTogether(const QStringList& paths, int* error = nullptr);
// Removes an empty folder (a link to a folder: the link only).
bool RemoveFolder(const QString& path, int* error = nullptr);
// Deletes a file or a link; a read-only file is refused with EACCES as Windows does, and one in a
// folder that a link leads to outside the kept folders with kFsLinkLeaves.
bool DeleteFile(const QString& path, int* error = nullptr);

// Opens a file for reading by its host path, with its stat, never waiting: only a regular file
// is opened; a folder is refused with EISDIR, a named pipe, device or socket with kFsNotRegular.
// The handle, or -1 with the errno in `error`.
int OpenForReadingWithStat(const QString& hostPath, struct stat* st, int* error = nullptr);
// Reads a whole file.
bool ReadWholeFile(const QString& path, QByteArray* data, int* error = nullptr);
// Reads a regular file by its host path, with the stamp and packed date of the file opened (when
// asked). Safe on any thread: the path layer's cache is not involved.
bool ReadHostFile(const QString& hostPath, QByteArray* data, FileStamp* stamp = nullptr,
                  qint32* age = nullptr, int* error = nullptr);
// Writes a whole file through a temporary file, fsync and rename, so readers see the old content
// or the new, never a part; keeps the mode of the file it replaces and refuses a read-only one.
// A path below a kept folder that a link on its way leads out of them is refused (kFsLinkLeaves).
bool WriteFileAtomic(const QString& path, const QByteArray& data, int* error = nullptr);

// Renames a file or folder; fails with EEXIST when the target exists in any letter case.
bool RenameNoReplace(const QString& oldPath, const QString& newPath, int* error = nullptr);
// RenameNoReplace of encoded host paths, each relative to an open folder (or AT_FDCWD), with
// stand-ins for the flag where the file system lacks it.
bool RenameNoReplaceAt(int fromFolder, const char* from, int toFolder, const char* to,
                       int* error = nullptr);
// How RenameListedFile went.
enum class ListedRename { Renamed, Failed, FolderMissing, NotSettled };
// Renames the regular file `source` into the folder of `target` under the name the file has (the
// target's last component names it in some letter case), when the path layer's listings of both
// folders settle it without asking the disk (see CanTakeListedRename): one lookup of each folder
// for the thousands of files of a job. NotSettled: nothing was done, the caller moves the file
// step by step. FolderMissing: nothing was done, and all is settled but that the target's folder
// is missing, for the caller to make. Failed: the rename itself failed with `error`. `renamedTo`
// (when given) receives the target as renamed to.
ListedRename RenameListedFile(const QString& source, const QString& target, QString* renamedTo,
                              int* error = nullptr);
// Copies a file with its last-access and last-write times and permissions to a target that must
// not exist (EEXIST otherwise, the existing file untouched); a failed copy leaves no target. A
// target below a kept folder that a link on its way leads out of them is refused (kFsLinkLeaves).
bool CopyFileWithTimes(const QString& source, const QString& target, int* error = nullptr);

// True when both paths lie on the same host file system, so that a move between them is a
// rename, whatever drive letters lead there; paths that do not exist yet count by their existing
// parts.
bool SameDrive(const QString& pathA, const QString& pathB);
// True when both paths lead to one existing host folder (the same device and inode), whatever
// drive letters, letter case or links lead there.
bool SameFolder(const QString& pathA, const QString& pathB);

// Tests only: called with the bytes copied so far before each block a copy writes; returning
// false makes the copy fail there with EIO. An empty hook removes it.
void SetCopyBlockHookForTests(std::function<bool(qint64 copied)> hook);
// Tests only: called with the host paths just before each rename this layer makes on the calling
// thread, as another program acting in that moment. An empty hook removes it.
void SetBeforeRenameHookForTests(
    std::function<void(const QString& oldHost, const QString& newHost)> hook);

} // namespace qv
