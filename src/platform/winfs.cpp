#include "platform/winfs.h"

#include "platform/folderlisting.h"
#include "platform/keptfolders.h"

#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {

// renameat2 with RENAME_NOREPLACE; where the file system does not know the flag, a file is linked
// under the new name and unlinked under the old (link refuses an existing name), and only as the
// last resort the name is checked before a plain rename.
bool RenameNoReplaceAt(int fromFolder, const char* from, int toFolder, const char* to, int* error) {
    if (renameat2(fromFolder, from, toFolder, to, RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return SetFsError(error, errno);
    struct stat st {};
    if (fstatat(fromFolder, from, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return SetFsError(error, errno);
    if (!S_ISDIR(st.st_mode)) {
        if (linkat(fromFolder, from, toFolder, to, 0) == 0) {
            if (unlinkat(fromFolder, from, 0) == 0)
                return true;
            const int code = errno;
            unlinkat(toFolder, to, 0);
            return SetFsError(error, code);
        }
        if (errno == EEXIST)
            return SetFsError(error, EEXIST);
    }
    if (fstatat(toFolder, to, &st, AT_SYMLINK_NOFOLLOW) == 0)
        return SetFsError(error, EEXIST);
    if (renameat(fromFolder, from, toFolder, to) != 0)
        return SetFsError(error, errno);
    return true;
}

namespace {

QString NameOf(const QString& hostPath) {
    return hostPath.mid(hostPath.lastIndexOf(QLatin1Char('/')) + 1);
}

// Keeps the folder cache in step with a change: a success adds or removes the name, a failure may
// have left anything behind, so the listing is read again.
void NoteChange(bool done, const QString& hostFolder, const QString& added,
                const QString& removed = QString(), OwnChange change = OwnChange::Other) {
    if (done)
        FolderChanged(hostFolder, added, removed, change);
    else
        InvalidateFolder(hostFolder);
}

// A name in the target's own folder, so that the final rename stays on one file system.
QString TempNameBeside(const QString& hostPath, const char* purpose) {
    static std::atomic<int> counter{0};
    return HostParentOf(hostPath) + QStringLiteral("/.qv-%1-%2-%3.tmp")
                                        .arg(QLatin1String(purpose))
                                        .arg(getpid())
                                        .arg(++counter);
}

std::function<bool(qint64)>& CopyBlockHook() {
    static std::function<bool(qint64)> hook;
    return hook;
}

// The host path of an existing entry (when `host` is given), followed by a stat (links
// followed).
bool StatPath(const QString& path, QString* host, struct stat* st, int* error) {
    return ResolvePathStat(path, true, host, st, error);
}

std::function<void(const QString&, const QString&)>& BeforeRenameHook() {
    static std::function<void(const QString&, const QString&)> hook;
    return hook;
}

bool RenameNoReplaceHost(const QString& oldHost, const QString& newHost, int* error) {
    if (BeforeRenameHook())
        BeforeRenameHook()(oldHost, newHost);
    return RenameNoReplaceAt(AT_FDCWD, EncodeHostPath(oldHost).constData(), AT_FDCWD,
                             EncodeHostPath(newHost).constData(), error);
}

// RENAME_NOREPLACE refuses only the exact name: a name alike but for letter case that another
// program made beside the target just before a rename of ours is met after it, and the rename is
// taken back, so that the caller meets that name as one that was there (EEXIST). Should even the
// way back be barred, both names stay and the rename counts as failed (kFsAmbiguous).
bool TakenBackBesideTwin(const QString& oldHost, const QString& newHost, int* error) {
    if (!TwinBeside(HostParentOf(newHost), NameOf(newHost)))
        return false;
    const bool back = RenameNoReplaceHost(newHost, oldHost, nullptr);
    InvalidateFolder(HostParentOf(oldHost));
    InvalidateFolder(HostParentOf(newHost));
    InvalidateFolder(newHost);
    SetFsError(error, back ? EEXIST : kFsAmbiguous);
    return true;
}

bool WriteAll(int fd, const char* data, qint64 size, int* error) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return SetFsError(error, written < 0 ? errno : EIO);
        data += written;
        size -= written;
    }
    return true;
}

// Copies the open source into the open target; the hook may stop it between blocks.
bool CopyContent(int in, int out, int* error) {
    char buffer[65536];
    qint64 copied = 0;
    for (;;) {
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return SetFsError(error, errno);
        if (got == 0)
            return true;
        if (CopyBlockHook() && !CopyBlockHook()(copied))
            return SetFsError(error, EIO);
        if (!WriteAll(out, buffer, got, error))
            return false;
        copied += got;
    }
}

void SyncFolder(const QString& hostFolder) {
    const int fd = open(EncodeHostPath(hostFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// What the listings tell of an entry (most answers need no stat: a folder's listing tells files
// from folders and links), its folder resolved first when it was not remembered.
ListedKind KindFromListings(const QString& path, int* error, bool* twinned = nullptr) {
    const ListedKind kind = ListedKindOf(path, error, twinned);
    QString host;
    if (kind != ListedKind::Unknown)
        return kind;
    if (!ResolvePath(path, &host, error))
        return ListedKind::Missing;
    return ListedKindOf(path, error, twinned);
}

} // namespace

bool FileExistsMayBeTwinned(const QString& path, bool* mayBeTwinned) {
    *mayBeTwinned = false;
    // Names alike but for letter case, none spelled as asked, stand there all the same: the move
    // meets them as twins and reports what it cannot settle, rather than passing them by.
    int error = 0;
    switch (KindFromListings(path, &error, mayBeTwinned)) {
    case ListedKind::Missing:
        return *mayBeTwinned = error == kFsAmbiguous;
    case ListedKind::Folder:
        return false;
    case ListedKind::File:
        return true;
    case ListedKind::Unknown:
        break;
    }
    // The listings cannot answer: the disk does, as FileExists would after asking them.
    *mayBeTwinned = true;
    struct stat st {};
    if (!StatPath(path, nullptr, &st, &error))
        return error == kFsAmbiguous;
    return !S_ISDIR(st.st_mode);
}

bool FileExists(const QString& path, int* error) {
    switch (KindFromListings(path, error)) {
    case ListedKind::Missing:
        return false;
    case ListedKind::File:
        return true;
    case ListedKind::Folder:
        return SetFsError(error, EISDIR);
    case ListedKind::Unknown:
        break;
    }
    struct stat st {};
    if (!StatPath(path, nullptr, &st, error))
        return false;
    return S_ISDIR(st.st_mode) ? SetFsError(error, EISDIR) : true;
}

bool FolderExists(const QString& path, int* error) {
    switch (KindFromListings(path, error)) {
    case ListedKind::Missing:
        return false;
    case ListedKind::File:
        return SetFsError(error, ENOTDIR);
    case ListedKind::Folder:
        return true;
    case ListedKind::Unknown:
        break;
    }
    // A folder whose own listing is known current exists, even while its new times are unasked.
    QString host;
    struct stat st {};
    if (!ResolvePath(path, &host, error))
        return false;
    if (IsListedFolder(host))
        return true;
    if (!HostStat(host, true, &st, error))
        return false;
    return S_ISDIR(st.st_mode) ? true : SetFsError(error, ENOTDIR);
}

qint32 FileAge(const QString& path, int* error) {
    return FileAge(path, nullptr, error);
}

bool FileStamp::SameFile(const FileStamp& o) const {
    return device == o.device && inode == o.inode && size == o.size &&
           written.tv_sec == o.written.tv_sec && written.tv_nsec == o.written.tv_nsec &&
           changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
}

namespace {

// The stamp and packed date of a regular file's stat.
qint32 AgeOfStat(const struct stat& st, FileStamp* stamp) {
    if (stamp) {
        stamp->device = st.st_dev;
        stamp->inode = st.st_ino;
        stamp->size = st.st_size;
        stamp->written = st.st_mtim;
        stamp->changed = st.st_ctim;
        // File systems that keep whole seconds (FAT keeps two) show it by a zero fraction.
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now); // compared with the file system's own stamps
        const qint64 windowMs = st.st_ctim.tv_nsec == 0 ? 2500 : 100;
        const qint64 ageMs = (qint64(now.tv_sec) - st.st_ctim.tv_sec) * 1000 +
                             (qint64(now.tv_nsec) - st.st_ctim.tv_nsec) / 1000000;
        stamp->settled = ageMs >= windowMs;
    }
    return DosDateTimeFromUnix(st.st_mtim.tv_sec);
}

} // namespace

int OpenForReadingWithStat(const QString& hostPath, struct stat* st, int* error) {
    // Opened without waiting: a named pipe would otherwise hold the open until a writer came.
    const int fd =
        open(EncodeHostPath(hostPath).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        SetFsError(error, errno);
        return -1;
    }
    int code = 0;
    if (fstat(fd, st) != 0)
        code = errno;
    else if (S_ISDIR(st->st_mode))
        code = EISDIR;
    else if (!S_ISREG(st->st_mode))
        code = kFsNotRegular;
    if (code != 0) {
        close(fd);
        SetFsError(error, code);
        return -1;
    }
    return fd;
}

namespace {

// Reads an open file to its end and closes it.
bool ReadAndClose(int fd, QByteArray* data, int* error) {
    data->clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int code = errno;
            close(fd);
            return SetFsError(error, code);
        }
        if (got == 0)
            break;
        data->append(buffer, got);
    }
    close(fd);
    return true;
}

} // namespace

qint32 FileAge(const QString& path, FileStamp* stamp, int* error) {
    struct stat st {};
    if (!StatPath(path, nullptr, &st, error))
        return -1;
    if (S_ISDIR(st.st_mode)) {
        SetFsError(error, EISDIR);
        return -1;
    }
    return AgeOfStat(st, stamp);
}

qint32 HostFileAge(const QString& hostPath, FileStamp* stamp, int* error) {
    struct stat st {};
    if (stat(EncodeHostPath(hostPath).constData(), &st) != 0) {
        SetFsError(error, errno);
        return -1;
    }
    if (S_ISDIR(st.st_mode)) {
        SetFsError(error, EISDIR);
        return -1;
    }
    return AgeOfStat(st, stamp);
}

bool SetFileAge(const QString& path, qint32 age, int* error) {
    const QDateTime time = UnpackDosDateTime(age);
    if (!time.isValid())
        return SetFsError(error, EINVAL);
    QString host;
    if (!ResolvePath(path, &host, error))
        return false;
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time_t(time.toSecsSinceEpoch());
    times[1].tv_nsec = 0;
    if (utimensat(AT_FDCWD, EncodeHostPath(host).constData(), times, 0) != 0)
        return SetFsError(error, errno);
    return true;
}

quint32 FileAttributes(const QString& path, int* error) {
    QString host;
    FindEntry entry;
    if (!ResolvePath(path, &host, error) || !HostEntry(host, &entry, error))
        return kInvalidFileAttributes;
    return entry.attributes;
}

bool SetFileAttributes(const QString& path, quint32 attributes, int* error) {
    QString host;
    struct stat st {};
    if (!StatPath(path, &host, &st, error))
        return false;
    const mode_t mode =
        (attributes & kFaReadOnly) ? (st.st_mode & ~mode_t(0222)) : (st.st_mode | S_IWUSR);
    if ((mode & 07777) != (st.st_mode & 07777) &&
        chmod(EncodeHostPath(host).constData(), mode & 07777))
        return SetFsError(error, errno);
    return true;
}

bool CreateFolder(const QString& path, int* error) {
    ResolvedPath resolved;
    if (!ResolvePathForCreate(path, &resolved, error))
        return false;
    if (resolved.exists)
        return SetFsError(error, EEXIST);
    BeforeFolderChange(HostParentOf(resolved.host));
    const bool made = mkdir(EncodeHostPath(resolved.host).constData(), 0777) == 0;
    const int code = errno;
    NoteChange(made, HostParentOf(resolved.host), NameOf(resolved.host), QString(),
               OwnChange::FolderMade);
    return made ? true : SetFsError(error, code);
}

namespace {

// A folder just found, or one its parent's listing knows as one: nothing to make and nothing to
// ask. A job asks this for every file it moves into a folder.
bool KnownFolder(const QString& path) {
    return RecentlyFoundFolder(path) || ListedKindOf(path) == ListedKind::Folder;
}

// Makes the folder `host`, named `name` in `parent` (made ready for changes by the caller), and
// keeps the parent's listing in step; one there already counts as made. False with the errno.
bool MakeFolderIn(const QString& parent, const QString& name, const QString& host, int* code) {
    const bool madeNow = mkdir(EncodeHostPath(host).constData(), 0777) == 0;
    *code = madeNow ? 0 : errno;
    const bool there = madeNow || *code == EEXIST;
    NoteChange(there, parent, name, QString(), madeNow ? OwnChange::FolderMade : OwnChange::Other);
    return there;
}

} // namespace

bool ForceFolders(const QString& path, int* error) {
    if (KnownFolder(path))
        return true;
    ResolvedPath resolved;
    if (!ResolvePathForCreate(path, &resolved, error))
        return false;
    struct stat st {};
    if (resolved.exists)
        return IsListedFolder(resolved.host) ||
                       (stat(EncodeHostPath(resolved.host).constData(), &st) == 0 &&
                        S_ISDIR(st.st_mode))
                   ? true
                   : SetFsError(error, ENOTDIR);
    // No folder of the kept folders is made outside them, whatever a link on the way says.
    if (KeptFolderCheck().LeadsOut(path))
        return SetFsError(error, kFsLinkLeaves);
    QString host = resolved.existingHost;
    const QString rest = resolved.host.mid(host.size() + (host.endsWith(QLatin1Char('/')) ? 0 : 1));
    for (const QString& component : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QString parent = host;
        host = host.endsWith(QLatin1Char('/')) ? host + component : host + '/' + component;
        BeforeFolderChange(parent);
        int code = 0;
        if (!MakeFolderIn(parent, component, host, &code))
            return SetFsError(error, code);
    }
    return FolderExists(path, error);
}

bool ForceFoldersTogether(const QStringList& paths, int* error) {
    bool result = true;
    QStringList made;
    QString readyParent;
    // One check for the run remembers the answer of each folder on the way: most of the folders
    // share their parent.
    std::optional<KeptFolderCheck> links;
    for (const QString& path : paths) {
        if (KnownFolder(path))
            continue;
        int code = 0;
        ResolvedPath resolved;
        if (!ResolvePathForCreate(path, &resolved, &code)) {
            result = SetFsError(error, code);
            continue;
        }
        const QString parent = HostParentOf(resolved.host);
        // There already (not as a folder, which its move then reports), or a parent missing too.
        if (resolved.exists || resolved.existingHost != parent) {
            if (!ForceFolders(path, &code))
                result = SetFsError(error, code);
            continue;
        }
        // No folder of the kept folders is made outside them, whatever a link on the way says.
        if (!links)
            links.emplace();
        if (links->LeadsOut(path)) {
            result = SetFsError(error, kFsLinkLeaves);
            continue;
        }
        // Our own changes keep the parent's listing in step: it is made ready once for a run.
        if (parent != readyParent) {
            BeforeFolderChange(parent);
            readyParent = parent;
        }
        if (!MakeFolderIn(parent, NameOf(resolved.host), resolved.host, &code)) {
            readyParent.clear(); // the failure had the parent's listing dropped
            result = SetFsError(error, code);
            continue;
        }
        made.append(resolved.host);
    }
    // Each file that goes into one of them then finds it in a listing; they were resolved just
    // now, and are read by their host paths.
    PrefetchFolderListings(made, true);
    return result;
}

bool RemoveFolder(const QString& path, int* error) {
    QString host;
    if (!ResolvePath(path, &host, error))
        return false;
    const QByteArray encoded = EncodeHostPath(host);
    struct stat st {};
    if (lstat(encoded.constData(), &st) != 0)
        return SetFsError(error, errno);
    int result;
    BeforeFolderChange(HostParentOf(host));
    const bool link = S_ISLNK(st.st_mode);
    if (link) {
        struct stat target {};
        if (stat(encoded.constData(), &target) != 0 || !S_ISDIR(target.st_mode))
            return SetFsError(error, ENOTDIR);
        result = unlink(encoded.constData());
    } else if (!S_ISDIR(st.st_mode)) {
        return SetFsError(error, ENOTDIR);
    } else {
        result = rmdir(encoded.constData());
    }
    const int code = errno;
    NoteChange(result == 0, HostParentOf(host), QString(), NameOf(host),
               link ? OwnChange::FileDeleted : OwnChange::FolderRemoved);
    InvalidateFolder(host);
    return result == 0 ? true : SetFsError(error, code);
}

bool DeleteFile(const QString& path, int* error) {
    QString host;
    if (!ResolvePath(path, &host, error))
        return false;
    const QByteArray encoded = EncodeHostPath(host);
    struct stat st {};
    if (lstat(encoded.constData(), &st) != 0)
        return SetFsError(error, errno);
    if (S_ISDIR(st.st_mode))
        return SetFsError(error, EISDIR);
    if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR))
        return SetFsError(error, EACCES);
    // No file of the kept folders is deleted outside them, whatever a link on the way says; a
    // link itself may go, as removing it touches nothing it leads to.
    const qsizetype cut = path.lastIndexOf(QLatin1Char('\\'));
    if (cut > 0 && KeptFolderCheck().LeadsOut(path.left(cut)))
        return SetFsError(error, kFsLinkLeaves);
    BeforeFolderChange(HostParentOf(host));
    const bool removed = unlink(encoded.constData()) == 0;
    const int code = errno;
    NoteChange(removed, HostParentOf(host), QString(), NameOf(host), OwnChange::FileDeleted);
    return removed ? true : SetFsError(error, code);
}

bool ReadWholeFile(const QString& path, QByteArray* data, int* error) {
    QString host;
    return ResolvePath(path, &host, error) && ReadHostFile(host, data, nullptr, nullptr, error);
}

bool ReadHostFile(const QString& hostPath, QByteArray* data, FileStamp* stamp, qint32* age,
                  int* error) {
    struct stat st {};
    const int fd = OpenForReadingWithStat(hostPath, &st, error);
    if (fd < 0)
        return false;
    if (stamp || age) {
        const qint32 date = AgeOfStat(st, stamp);
        if (age)
            *age = date;
    }
    return ReadAndClose(fd, data, error);
}

bool WriteFileAtomic(const QString& path, const QByteArray& data, int* error) {
    ResolvedPath resolved;
    if (!ResolvePathForCreate(path, &resolved, error))
        return false;
    // A file of the kept folders is never written outside them, whatever a link there says.
    if (KeptFolderCheck().LeadsOut(path))
        return SetFsError(error, kFsLinkLeaves);
    QString target = resolved.host;
    if (!resolved.exists && resolved.existingHost != HostParentOf(target))
        return SetFsError(error, ENOENT);
    struct stat st {};
    bool keepMode = false;
    if (resolved.exists) {
        // Writing through a link writes the file it points to, as Windows does (inside the kept
        // folders, when the file is theirs).
        if (lstat(EncodeHostPath(target).constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
            const QString real = QFileInfo(target).canonicalFilePath();
            if (real.isEmpty())
                return SetFsError(error, ENOENT);
            target = real;
        }
        if (stat(EncodeHostPath(target).constData(), &st) != 0)
            return SetFsError(error, errno);
        if (S_ISDIR(st.st_mode))
            return SetFsError(error, EISDIR);
        if (!(st.st_mode & S_IWUSR))
            return SetFsError(error, EACCES);
        keepMode = true;
    }
    BeforeFolderChange(HostParentOf(target));
    const QString temp = TempNameBeside(target, "write");
    const QByteArray tempName = EncodeHostPath(temp);
    const int fd = open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return SetFsError(error, errno);
    bool ok = WriteAll(fd, data.constData(), data.size(), error);
    if (ok && keepMode && fchmod(fd, st.st_mode & 07777) != 0)
        ok = SetFsError(error, errno);
    if (ok && fsync(fd) != 0)
        ok = SetFsError(error, errno);
    if (close(fd) != 0 && ok)
        ok = SetFsError(error, errno);
    if (ok && rename(tempName.constData(), EncodeHostPath(target).constData()) != 0)
        ok = SetFsError(error, errno);
    if (!ok)
        unlink(tempName.constData());
    else
        SyncFolder(HostParentOf(target));
    NoteChange(ok, HostParentOf(target), NameOf(target));
    return ok;
}

bool RenameNoReplace(const QString& oldPath, const QString& newPath, int* error) {
    QString oldHost;
    ResolvedPath target;
    if (!ResolvePath(oldPath, &oldHost, error) || !ResolvePathForCreate(newPath, &target, error))
        return false;
    if (target.exists)
        return SetFsError(error, EEXIST);
    // A file moved between folders whose listings are known current: they take the rename over
    // as it is made, without asking the disk before or after.
    FileRenameTicket ticket;
    if (CanTakeFileRename(oldHost, target.host, &ticket)) {
        const bool renamed = RenameNoReplaceHost(oldHost, target.host, error);
        if (renamed) {
            FileRenamed(ticket);
        } else {
            InvalidateFolder(HostParentOf(oldHost));
            InvalidateFolder(HostParentOf(target.host));
        }
        return renamed && !TakenBackBesideTwin(oldHost, target.host, error);
    }
    const QString from = HostParentOf(oldHost), to = HostParentOf(target.host);
    BeforeFolderChange(from);
    BeforeFolderChange(to);
    const bool renamed = RenameNoReplaceHost(oldHost, target.host, error);
    NoteChange(renamed, from, QString(), NameOf(oldHost));
    NoteChange(renamed, to, NameOf(target.host));
    InvalidateFolder(oldHost);
    return renamed && !TakenBackBesideTwin(oldHost, target.host, error);
}

ListedRename RenameListedFile(const QString& source, const QString& target, QString* renamedTo,
                              int* error) {
    FileRenameTicket ticket;
    switch (CanTakeListedRename(source, target, &ticket)) {
    case ListedTarget::Settled:
        break;
    case ListedTarget::FolderMissing:
        return ListedRename::FolderMissing;
    case ListedTarget::NotSettled:
        return ListedRename::NotSettled;
    }
    // The target as given, unless the file's own letter case differs from it.
    const qsizetype cut = LastSeparator(target) + 1;
    const QString renamed =
        QStringView(target).mid(cut) == ticket.newName ? target : target.left(cut) + ticket.newName;
    if (renamedTo)
        *renamedTo = renamed;
    if (QueueListedRename(ticket, source, renamed))
        return ListedRename::Renamed;
    // Renamed here: the paths the rename thread would have made.
    const QString oldHost = JoinHostPath(ticket.oldFolder, ticket.oldName);
    const QString newHost = JoinHostPath(ticket.newFolder, ticket.newName);
    if (!RenameNoReplaceHost(oldHost, newHost, error)) {
        InvalidateFolder(ticket.oldFolder);
        InvalidateFolder(ticket.newFolder);
        return ListedRename::Failed;
    }
    FileRenamed(ticket);
    return TakenBackBesideTwin(oldHost, newHost, error) ? ListedRename::Failed
                                                        : ListedRename::Renamed;
}

bool CopyFileWithTimes(const QString& source, const QString& target, int* error) {
    QString sourceHost;
    ResolvedPath resolved;
    if (!ResolvePath(source, &sourceHost, error) || !ResolvePathForCreate(target, &resolved, error))
        return false;
    if (resolved.exists)
        return SetFsError(error, EEXIST);
    if (resolved.existingHost != HostParentOf(resolved.host))
        return SetFsError(error, ENOENT);
    if (KeptFolderCheck().LeadsOut(target))
        return SetFsError(error, kFsLinkLeaves);
    struct stat st {};
    const int in = OpenForReadingWithStat(sourceHost, &st, error);
    if (in < 0)
        return false;
    BeforeFolderChange(HostParentOf(resolved.host));
    const QString temp = TempNameBeside(resolved.host, "copy");
    const QByteArray tempName = EncodeHostPath(temp);
    const int out = open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        const int code = errno;
        close(in);
        return SetFsError(error, code);
    }
    // The times go onto the temporary file, so an existing or foreign file never receives them.
    const timespec times[2] = {st.st_atim, st.st_mtim};
    bool ok = CopyContent(in, out, error);
    if (ok && fchmod(out, st.st_mode & 0777) != 0)
        ok = SetFsError(error, errno);
    if (ok && futimens(out, times) != 0)
        ok = SetFsError(error, errno);
    if (ok && fsync(out) != 0)
        ok = SetFsError(error, errno);
    close(in);
    if (close(out) != 0 && ok)
        ok = SetFsError(error, errno);
    if (ok)
        ok = RenameNoReplaceHost(temp, resolved.host, error);
    if (!ok)
        unlink(tempName.constData());
    else
        SyncFolder(HostParentOf(resolved.host));
    // A failed copy made and removed its temporary file: the names are as before.
    NoteChange(true, HostParentOf(resolved.host), ok ? NameOf(resolved.host) : QString());
    // A name alike made meanwhile by another program: the copy goes, its source is still there.
    if (ok && TwinBeside(HostParentOf(resolved.host), NameOf(resolved.host))) {
        unlink(EncodeHostPath(resolved.host).constData());
        InvalidateFolder(HostParentOf(resolved.host));
        return SetFsError(error, EEXIST);
    }
    return ok;
}

bool SameDrive(const QString& pathA, const QString& pathB) {
    // The letters do not matter: C: and Z: may both lead to the same disk, and rename asks only
    // for one file system.
    QChar driveA, driveB;
    QStringList components;
    if (!SplitWindowsPath(pathA, &driveA, &components) ||
        !SplitWindowsPath(pathB, &driveB, &components))
        return false;
    ResolvedPath a, b;
    struct stat stA {
    }, stB{};
    return ResolvePathForCreate(pathA, &a) && ResolvePathForCreate(pathB, &b) &&
           stat(EncodeHostPath(a.existingHost).constData(), &stA) == 0 &&
           stat(EncodeHostPath(b.existingHost).constData(), &stB) == 0 && stA.st_dev == stB.st_dev;
}

bool SameFolder(const QString& pathA, const QString& pathB) {
    QString hostA, hostB;
    struct stat stA {
    }, stB{};
    return ResolvePath(pathA, &hostA) && ResolvePath(pathB, &hostB) &&
           stat(EncodeHostPath(hostA).constData(), &stA) == 0 && S_ISDIR(stA.st_mode) &&
           stat(EncodeHostPath(hostB).constData(), &stB) == 0 && stA.st_dev == stB.st_dev &&
           stA.st_ino == stB.st_ino;
}

void SetCopyBlockHookForTests(std::function<bool(qint64 copied)> hook) {
    CopyBlockHook() = std::move(hook);
}

void SetBeforeRenameHookForTests(
    std::function<void(const QString& oldHost, const QString& newHost)> hook) {
    BeforeRenameHook() = std::move(hook);
}

} // namespace qv
