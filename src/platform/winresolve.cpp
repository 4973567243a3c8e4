#include "platform/winresolve.h"

#include "platform/drivemap.h"
#include "platform/folderlisting.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <set>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {

namespace {

QString Join(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The path exists as far as `host`, its component `from` is missing: the result names the whole
// path to be created below the existing part.
void SetMissingTail(ResolvedPath* out, const QString& host, const QStringList& components,
                    qsizetype from) {
    out->existingHost = host;
    QString whole = host;
    for (qsizetype j = from; j < components.size(); ++j)
        whole = Join(whole, components.at(j));
    out->host = whole;
    out->exists = false;
}

constexpr int kMaxCachedFolders = 100000;

// Every change of a folder's entries, attributes or place.
// Writes and attribute changes of the files in it keep their known stats current.
constexpr quint32 kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                               IN_MODIFY | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// Reports about a file's content or attributes, which leave the folder's own stamp as it was.
constexpr quint32 kFileOnlyEvents = IN_MODIFY | IN_ATTRIB;

// Listings by host folder. Everything happens under one lock; the program reaches files from its
// GUI thread, so the lock is never contended in practice.
//
// A listing is good while its folder's stamp stays the same. Asking the disk for the stamp of
// every folder on a path at every lookup costs a system call per folder, which is most of the
// time a survey of thousands of files takes; so each cached folder is also watched for changes
// (inotify), and a listing whose watch reported nothing is taken without asking. A report only
// sends the listing back to the stamp test, so the stamps still decide when a folder is read.
class FolderCache {
public:
    // Finds a name in a folder: the exact name first, else the one case-folded match.
    bool Find(const QString& hostFolder, const QString& name, FolderLookup* result, QString* found,
              int* error) {
        QMutexLocker lock(&mutex_);
        const FolderListing* listing = Current(hostFolder, error);
        if (!listing)
            return false;
        *result = MatchName(*listing, name, found);
        return true;
    }

    // Resolves the components below a root from listings that are known to be current, without
    // asking the disk. False when some listing on the way is not: the caller resolves as usual.
    bool ResolveKnown(const QString& path, const QString& root, const QStringList& components,
                      bool forCreate, ResolvedPath* out, int* error, bool* failed) {
        QMutexLocker lock(&mutex_);
        QString host = root;
        for (qsizetype i = 0; i < components.size(); ++i) {
            const auto it = entries_.find(host);
            if (it == entries_.end() || !it->KnownCurrent())
                return false;
            if (i + 1 == components.size())
                RememberFolder(path, components.at(i), root, host, &*it);
            QString found;
            switch (MatchName(*it, components.at(i), &found)) {
            case FolderLookup::Ambiguous:
                *failed = true;
                if (error)
                    *error = kFsAmbiguous;
                return true;
            case FolderLookup::Missing:
                // A folder of the path is missing: so is every other file in the same folder.
                if (i + 1 < components.size())
                    RememberFolder(path, components.last(), root, QString(), nullptr);
                if (!forCreate) {
                    *failed = true;
                    if (error)
                        *error = ENOENT;
                    return true;
                }
                SetMissingTail(out, host, components, i);
                return true;
            case FolderLookup::Found:
                host = Join(host, found);
                break;
            }
        }
        out->host = out->existingHost = host;
        out->exists = true;
        return true;
    }

    // Resolves a path whose folder (as spelled) was resolved before from listings known current
    // and none of them changed since: only the last component is looked up. Takes the reports
    // that arrived since the last lookup. False when the folder is not remembered so.
    bool ResolveRemembered(const QString& path, bool forCreate, ResolvedPath* out, int* error,
                           bool* failed) {
        QMutexLocker lock(&mutex_);
        TakeReports();
        FolderListing* listing = nullptr;
        QString name;
        QString found;
        const KnownFolder* folder =
            LookUpRemembered(path, forCreate, &listing, &name, &found, error, failed);
        if (!folder || *failed)
            return folder != nullptr;
        if (found.isEmpty()) {
            out->existingHost = folder->host;
            out->host = Join(folder->host, name);
            out->exists = false;
            return true;
        }
        out->host = out->existingHost = Join(folder->host, found);
        out->exists = true;
        return true;
    }

    // ResolveRemembered of an existing entry followed by Stat, with the listing looked up once.
    bool StatRemembered(const QString& path, bool followLinks, QString* hostPath, struct stat* st,
                        int* error, bool* failed) {
        QMutexLocker lock(&mutex_);
        TakeReports();
        FolderListing* listing = nullptr;
        QString name;
        QString found;
        const KnownFolder* folder =
            LookUpRemembered(path, false, &listing, &name, &found, error, failed);
        if (!folder || *failed)
            return folder != nullptr;
        if (!hostPath && CachedStat(listing, found, st))
            return true;
        const QString host = Join(folder->host, found);
        *failed = !StatIn(listing, found, host, followLinks, st, error);
        if (hostPath)
            *hostPath = host;
        return true;
    }

    // lstat (or, following links, stat) of a host path. A regular file with one link in a
    // folder whose listing is known current is answered from the last answer while the watch
    // reported no change of it; links, folders and other entries are always asked (their stats
    // change without a report in this folder). The reports are those taken by the lookup of the
    // path or of its folder that comes just before.
    bool Stat(const QString& hostPath, bool followLinks, struct stat* st, int* error) {
        QMutexLocker lock(&mutex_);
        const qsizetype slash = hostPath.lastIndexOf(QLatin1Char('/'));
        const QString folder = slash <= 0 ? QStringLiteral("/") : hostPath.left(slash);
        const QString name = hostPath.mid(slash + 1);
        auto it = slash >= 0 && !name.isEmpty() ? entries_.find(folder) : entries_.end();
        const bool known = it != entries_.end() && it->KnownCurrent() && it->exact.contains(name);
        return StatIn(known ? &*it : nullptr, name, hostPath, followLinks, st, error);
    }

    // Stat of a name in a host folder, as of the joined path, which is only made when the disk
    // is asked.
    bool StatName(const QString& hostFolder, const QString& name, bool followLinks, struct stat* st,
                  int* error) {
        QMutexLocker lock(&mutex_);
        auto it = name.isEmpty() ? entries_.end() : entries_.find(hostFolder);
        const bool known = it != entries_.end() && it->KnownCurrent() && it->exact.contains(name);
        FolderListing* listing = known ? &*it : nullptr;
        return CachedStat(listing, name, st) ||
               StatDisk(listing, name, Join(hostFolder, name), followLinks, st, error);
    }

    // The reports are those taken by the lookup of the folder that comes just before.
    bool Names(const QString& hostFolder, QStringList* names, int* error) {
        QMutexLocker lock(&mutex_);
        FolderListing* listing = Current(hostFolder, error);
        if (!listing)
            return false;
        *names = listing->Ordered();
        return true;
    }

    // Before our own change: a listing that is no longer current is dropped, so that the change
    // is only ever added to a listing that was right before it.
    void BeforeChange(const QString& hostFolder) {
        QMutexLocker lock(&mutex_);
        auto it = entries_.find(hostFolder);
        if (it == entries_.end())
            return;
        struct stat st {};
        int error = 0;
        if (!StatFolder(QFile::encodeName(hostFolder), &st, &error) ||
            !(it->stamp == FolderStampOf(st)))
            Drop(hostFolder);
    }

    // Our own change: the listing takes it over and the folder's new stamp, so that moving many
    // files into one folder does not read that folder again for every file. The listing was
    // current just before the change, so it no longer counts as racy.
    void Changed(const QString& hostFolder, const QString& added, const QString& removed) {
        QMutexLocker lock(&mutex_);
        auto it = entries_.find(hostFolder);
        if (it == entries_.end())
            return;
        struct stat st {};
        int error = 0;
        if (!StatFolder(QFile::encodeName(hostFolder), &st, &error)) {
            Drop(hostFolder);
            return;
        }
        if (!removed.isEmpty())
            it->Remove(removed);
        if (!added.isEmpty())
            it->Add(added);
        it->stamp = FolderStampOf(st);
        it->racy = false;
        ++generation_;
    }

    void Invalidate(const QString& hostFolder) {
        QMutexLocker lock(&mutex_);
        Drop(hostFolder);
    }

    void Clear() {
        QMutexLocker lock(&mutex_);
        ClearAll();
    }

    qint64 Reads() {
        QMutexLocker lock(&mutex_);
        return reads_;
    }

    // Whether folders below a drive root can be watched for changes.
    bool Watchable(const QString& root) {
        QMutexLocker lock(&mutex_);
        if (notifierFailed_)
            return false;
        auto it = watchableRoots_.constFind(root);
        if (it == watchableRoots_.cend())
            it = watchableRoots_.insert(root, ReportsEveryChange(QFile::encodeName(root)));
        return *it;
    }

private:
    struct KnownFolder {
        QString root; // the drive's host root when it was resolved
        QString host; // empty: the folder is missing
        quint64 generation = 0;
        // The folder's listing. Every change of entries_ moves the generation on, so the
        // pointer is good while the generation is the same.
        FolderListing* listing = nullptr;
    };

    // Remembers the host folder of the path's folder as spelled (an empty one: the folder is
    // missing), when the path's last part is the last component (no "." or ".." or trailing
    // separator to apply).
    void RememberFolder(const QString& path, const QString& last, const QString& root,
                        const QString& hostFolder, FolderListing* listing) {
        const qsizetype cut =
            std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
        if (cut < 3 || QStringView(path).mid(cut + 1) != last)
            return;
        if (knownFolders_.size() >= kMaxCachedFolders)
            knownFolders_.clear();
        knownFolders_.insert(path.left(cut), KnownFolder{root, hostFolder, generation_, listing});
    }

    // The remembered folder of the path, still good, with its listing (known current), the
    // path's last part and the name that part found there (empty when missing). A folder that
    // is missing, or a name that is missing or ambiguous while `forCreate` is clear, sets
    // `failed` and the error. Null when the folder is not remembered so (or is missing while
    // `forCreate` is set): the caller resolves as usual. Called under the lock.
    const KnownFolder* LookUpRemembered(const QString& path, bool forCreate,
                                        FolderListing** listing, QString* name, QString* found,
                                        int* error, bool* failed) {
        const qsizetype cut =
            std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
        if (cut < 3)
            return nullptr;
        const auto folder = knownFolders_.constFind(path.left(cut));
        if (folder == knownFolders_.cend() || folder->generation != generation_)
            return nullptr;
        *name = path.mid(cut + 1);
        if (name->isEmpty() || *name == QLatin1String(".") || *name == QLatin1String("..") ||
            name->contains(QChar(0)) || TheDriveMap().HostRoot(path.at(0)) != folder->root)
            return nullptr;
        if (folder->host.isEmpty()) {
            if (forCreate)
                return nullptr;
            *failed = true;
            if (error)
                *error = ENOENT;
            return &*folder;
        }
        if (!folder->listing->KnownCurrent())
            return nullptr;
        *listing = folder->listing;
        switch (MatchName(**listing, *name, found)) {
        case FolderLookup::Ambiguous:
            *failed = true;
            if (error)
                *error = kFsAmbiguous;
            break;
        case FolderLookup::Missing:
            found->clear();
            if (!forCreate) {
                *failed = true;
                if (error)
                    *error = ENOENT;
            }
            break;
        case FolderLookup::Found:
            break;
        }
        return &*folder;
    }

    // Stat of a host path whose name is in the listing given (one known current), or of any
    // host path when none is given.
    static bool StatIn(FolderListing* listing, const QString& name, const QString& hostPath,
                       bool followLinks, struct stat* st, int* error) {
        return CachedStat(listing, name, st) ||
               StatDisk(listing, name, hostPath, followLinks, st, error);
    }

    // The last answer for a file of the listing, while the watch reported no change of it.
    static bool CachedStat(const FolderListing* listing, const QString& name, struct stat* st) {
        if (!listing)
            return false;
        const auto file = listing->files.constFind(name);
        if (file == listing->files.cend())
            return false;
        *st = *file;
        return true;
    }

    // Asks the disk, and keeps the answer for a plain file of the listing given.
    static bool StatDisk(FolderListing* listing, const QString& name, const QString& hostPath,
                         bool followLinks, struct stat* st, int* error) {
        const QByteArray encoded = QFile::encodeName(hostPath);
        if ((followLinks ? stat(encoded.constData(), st) : lstat(encoded.constData(), st)) != 0) {
            if (error)
                *error = errno;
            return false;
        }
        if (listing && S_ISREG(st->st_mode) && st->st_nlink == 1)
            listing->files.insert(name, *st);
        return true;
    }

    // The listing of a folder, read again when the folder's stamp changed. Called under the lock;
    // the pointer is good until the next change of the cache.
    FolderListing* Current(const QString& hostFolder, int* error) {
        auto it = entries_.find(hostFolder);
        if (it != entries_.end() && it->KnownCurrent())
            return &*it;
        const QByteArray encoded = QFile::encodeName(hostFolder);
        // The watch goes on before the stamp is taken, so that every later change is reported.
        int watch = it != entries_.end() ? it->watch : -1;
        if (watch < 0)
            watch = Watch(encoded, hostFolder);
        struct stat st {};
        if (!StatFolder(encoded, &st, error)) {
            Unwatch(hostFolder, watch);
            Drop(hostFolder);
            return nullptr;
        }
        if (watch >= 0 && !DeviceReportsEveryChange(st.st_dev, encoded)) {
            Unwatch(hostFolder, watch);
            watch = -1;
        }
        const FolderStamp stamp = FolderStampOf(st);
        if (it != entries_.end() && !it->racy && it->stamp == stamp) {
            it->watch = watch;
            it->reported = false;
            return &*it;
        }
        FolderListing listing;
        listing.stamp = stamp;
        listing.racy = IsRacy(st);
        listing.watch = watch;
        DIR* dir = opendir(encoded.constData());
        if (!dir) {
            *error = errno;
            Unwatch(hostFolder, watch);
            Drop(hostFolder);
            return nullptr;
        }
        while (const dirent* entry = readdir(dir)) {
            if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
                listing.Add(QFile::decodeName(entry->d_name));
        }
        // A change while reading leaves the stamp taken before it, so the next use reads again.
        // The folder that was read is asked through its open handle, sparing a path walk.
        struct stat after {};
        if (fstat(dirfd(dir), &after) != 0 || !(FolderStampOf(after) == stamp))
            listing.racy = true;
        closedir(dir);
        ++reads_;
        if (entries_.size() >= kMaxCachedFolders && !entries_.contains(hostFolder)) {
            ClearAll();
            listing.watch = watch >= 0 ? Watch(encoded, hostFolder) : -1;
            listing.racy = true; // watched only from now on: the next use compares the stamp
        }
        keys_.insert(hostFolder);
        ++generation_;
        return &*entries_.insert(hostFolder, std::move(listing));
    }

    // ---- Change watches ----

    // A watch on the folder for the listing under this name, or -1 when the folder cannot be
    // watched (its listing then compares its stamp at every use).
    int Watch(const QByteArray& encoded, const QString& hostFolder) {
        if (notifier_ < 0 && !notifierFailed_) {
            notifier_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
            notifierFailed_ = notifier_ < 0;
        }
        if (notifier_ < 0)
            return -1;
        const int watch = inotify_add_watch(notifier_, encoded.constData(), kWatchMask);
        if (watch < 0)
            return -1;
        // One folder reached by two paths (through a link) has one watch for both listings.
        QStringList& folders = foldersByWatch_[watch];
        if (!folders.contains(hostFolder))
            folders.append(hostFolder);
        return watch;
    }

    // Whether the file system of a device reports every change; asked once per device.
    bool DeviceReportsEveryChange(dev_t device, const QByteArray& encoded) {
        auto it = reportingDevices_.constFind(quint64(device));
        if (it == reportingDevices_.cend())
            it = reportingDevices_.insert(quint64(device), ReportsEveryChange(encoded));
        return *it;
    }

    void Unwatch(const QString& hostFolder, int watch) {
        if (watch < 0)
            return;
        auto it = foldersByWatch_.find(watch);
        if (it == foldersByWatch_.end())
            return;
        it->removeAll(hostFolder);
        if (it->isEmpty()) {
            foldersByWatch_.erase(it);
            inotify_rm_watch(notifier_, watch);
        }
    }

    // Takes the reports that arrived since the last call.
    void TakeReports() {
        if (notifier_ < 0)
            return;
        alignas(inotify_event) char buffer[16384];
        for (;;) {
            const ssize_t got = read(notifier_, buffer, sizeof buffer);
            if (got <= 0)
                return;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                TakeReport(*event);
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }

    void TakeReport(const inotify_event& event) {
        if (event.mask & IN_Q_OVERFLOW) {
            // Reports were lost: every listing goes back to the stamp test.
            for (FolderListing& listing : entries_) {
                listing.reported = true;
                listing.files.clear();
            }
            ++generation_;
            return;
        }
        const auto it = foldersByWatch_.constFind(event.wd);
        if (it == foldersByWatch_.cend())
            return;
        const QStringList folders = *it;
        const QString name = event.len > 0 ? QFile::decodeName(event.name) : QString();
        for (const QString& folder : folders) {
            if (!name.isEmpty())
                ForgetFile(folder, name);
            if (!name.isEmpty() && !(event.mask & ~(kFileOnlyEvents | IN_ISDIR)))
                continue;
            MarkReported(folder);
            // A changed entry may be (or have been, or link to) a folder whose listings are kept
            // under its path; a folder moved or deleted takes every listing below it along.
            if (!name.isEmpty())
                MarkTree(Join(folder, name));
            else if (event.mask & (IN_MOVE_SELF | IN_DELETE_SELF | IN_IGNORED | IN_UNMOUNT))
                MarkTree(folder);
        }
        if (event.mask & IN_IGNORED) {
            // The kernel dropped the watch (the folder is gone): its listings lose it.
            for (const QString& folder : folders) {
                auto listing = entries_.find(folder);
                if (listing != entries_.end() && listing->watch == event.wd) {
                    listing->watch = -1;
                    listing->files.clear();
                    ++generation_;
                }
            }
            foldersByWatch_.remove(event.wd);
        }
    }

    void ForgetFile(const QString& hostFolder, const QString& name) {
        auto it = entries_.find(hostFolder);
        if (it != entries_.end())
            it->files.remove(name);
    }

    void MarkReported(const QString& hostFolder) {
        auto it = entries_.find(hostFolder);
        if (it != entries_.end()) {
            it->reported = true;
            ++generation_;
        }
    }

    // The folder and every cached folder below it.
    void MarkTree(const QString& hostFolder) {
        MarkReported(hostFolder);
        const QString below =
            hostFolder.endsWith(QLatin1Char('/')) ? hostFolder : hostFolder + QLatin1Char('/');
        for (auto it = keys_.lower_bound(below); it != keys_.end() && it->startsWith(below); ++it)
            MarkReported(*it);
    }

    void Drop(const QString& hostFolder) {
        auto it = entries_.find(hostFolder);
        if (it == entries_.end())
            return;
        ++generation_;
        Unwatch(hostFolder, it->watch);
        entries_.erase(it);
        keys_.erase(hostFolder);
    }

    void ClearAll() {
        ++generation_;
        knownFolders_.clear();
        entries_.clear();
        keys_.clear();
        foldersByWatch_.clear();
        // Closing the notifier drops every watch at once.
        if (notifier_ >= 0)
            close(notifier_);
        notifier_ = -1;
    }

    QMutex mutex_;
    QHash<QString, FolderListing> entries_;
    std::set<QString> keys_; // the folders of entries_, in order, for the folders below one
    QHash<int, QStringList> foldersByWatch_;
    // Folders as callers spell them (with the drive) and their host folders, good while the
    // generation is the same: it moves on whenever a listing changes or may have changed.
    QHash<QString, KnownFolder> knownFolders_;
    quint64 generation_ = 0;
    QHash<QString, bool> watchableRoots_;
    QHash<quint64, bool> reportingDevices_;
    int notifier_ = -1;
    bool notifierFailed_ = false;
    qint64 reads_ = 0;
};

FolderCache& Cache() {
    static FolderCache cache;
    return cache;
}

bool SetError(int* error, int code) {
    if (error)
        *error = code;
    return false;
}

bool Resolve(const QString& path, bool forCreate, ResolvedPath* out, int* error) {
    // A file in a folder resolved a moment ago: the folder's listings are all still known.
    bool failed = false;
    if (Cache().ResolveRemembered(path, forCreate, out, error, &failed))
        return !failed;

    QChar drive;
    QStringList components;
    if (!SplitWindowsPath(path, &drive, &components))
        return SetError(error, kFsBadPath);
    const QString root = TheDriveMap().HostRoot(drive);
    if (root.isEmpty())
        return SetError(error, kFsNoDrive);

    // Every folder on the way already listed and unchanged: no need to ask the disk.
    if (Cache().ResolveKnown(path, root, components, forCreate, out, error, &failed))
        return !failed;

    // Most paths are already spelled as on the disk: where folders cannot be watched, one lstat
    // settles them; elsewhere the walk below lists the folders once and then needs no disk.
    if (!Cache().Watchable(root)) {
        QString literal = root;
        for (const QString& component : components)
            literal = Join(literal, component);
        struct stat st {};
        if (lstat(QFile::encodeName(literal).constData(), &st) == 0) {
            out->host = out->existingHost = literal;
            out->exists = true;
            return true;
        }
    }

    QString host = root;
    for (qsizetype i = 0; i < components.size(); ++i) {
        int code = 0;
        FolderLookup result = FolderLookup::Missing;
        QString found;
        if (!Cache().Find(host, components.at(i), &result, &found, &code))
            return SetError(error, code);
        switch (result) {
        case FolderLookup::Ambiguous:
            return SetError(error, kFsAmbiguous);
        case FolderLookup::Missing:
            if (!forCreate)
                return SetError(error, ENOENT);
            SetMissingTail(out, host, components, i);
            return true;
        case FolderLookup::Found:
            host = Join(host, found);
            break;
        }
    }
    out->host = out->existingHost = host;
    out->exists = true;
    return true;
}

} // namespace

QString FsErrorText(int code) {
    switch (code) {
    case kFsAmbiguous:
        return QStringLiteral("Two names in the folder differ only in letter case");
    case kFsNoDrive:
        return QStringLiteral("No such drive");
    default:
        return QString::fromLocal8Bit(strerror(code));
    }
}

bool ResolvePath(const QString& path, QString* hostPath, int* error) {
    ResolvedPath resolved;
    if (!Resolve(path, false, &resolved, error))
        return false;
    *hostPath = resolved.host;
    return true;
}

bool ResolvePathForCreate(const QString& path, ResolvedPath* resolved, int* error) {
    return Resolve(path, true, resolved, error);
}

bool HostStat(const QString& hostPath, bool followLinks, struct stat* st, int* error) {
    return Cache().Stat(hostPath, followLinks, st, error);
}

bool HostStatIn(const QString& hostFolder, const QString& name, bool followLinks, struct stat* st,
                int* error) {
    return Cache().StatName(hostFolder, name, followLinks, st, error);
}

bool ResolvePathStat(const QString& path, bool followLinks, QString* hostPath, struct stat* st,
                     int* error) {
    bool failed = false;
    if (Cache().StatRemembered(path, followLinks, hostPath, st, error, &failed))
        return !failed;
    QString host;
    if (!ResolvePath(path, &host, error) || !HostStat(host, followLinks, st, error))
        return false;
    if (hostPath)
        *hostPath = host;
    return true;
}

bool FolderNames(const QString& hostFolder, QStringList* names, int* error) {
    int code = 0;
    return Cache().Names(hostFolder, names, &code) ? true : SetError(error, code);
}

void BeforeFolderChange(const QString& hostFolder) {
    Cache().BeforeChange(hostFolder);
}

void FolderChanged(const QString& hostFolder, const QString& addedName,
                   const QString& removedName) {
    Cache().Changed(hostFolder, addedName, removedName);
}

void InvalidateFolder(const QString& hostFolder) {
    Cache().Invalidate(hostFolder);
}

void ClearFolderCache() {
    Cache().Clear();
}

qint64 FolderReadCount() {
    return Cache().Reads();
}

} // namespace qv
