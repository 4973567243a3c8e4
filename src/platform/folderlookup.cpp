// The lookup side of the folder cache: names, paths, stats and the answers of finds, from
// listings known current where they may answer, else from the disk.
#include "platform/foldercache.h"

#include "platform/drivemap.h"
#include "platform/workers.h"

#include <QFile>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace qv {

bool IsPlainFolder(const QString& path) {
    if (path.size() < 4 || path.at(1) != QLatin1Char(':'))
        return false;
    qsizetype start = 3;
    for (qsizetype i = 3; i <= path.size(); ++i) {
        if (i < path.size() && path.at(i) != QLatin1Char('\\') && path.at(i) != QLatin1Char('/'))
            continue;
        const QStringView part = QStringView(path).mid(start, i - start);
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
        start = i + 1;
    }
    return path.at(2) == QLatin1Char('\\') || path.at(2) == QLatin1Char('/');
}

namespace {

// A last component that names an entry of its folder as it is: not empty, "." or "..", no NUL.
bool IsPlainName(QStringView name) {
    return !name.isEmpty() && name != u"." && name != u".." &&
           std::find(name.begin(), name.end(), QChar(0)) == name.end();
}

// The path exists as far as `host`, its component `from` is missing: the result names the whole
// path to be created below the existing part.
void SetMissingTail(ResolvedPath* out, const QString& host, const QStringList& components,
                    qsizetype from) {
    out->existingHost = host;
    QString whole = host;
    for (qsizetype j = from; j < components.size(); ++j)
        whole = JoinHostPath(whole, components.at(j));
    out->host = whole;
    out->exists = false;
}

// Ambiguous, or missing when nothing is to be created: the lookup failed with that error.
bool LookupFailed(FolderLookup result, bool forCreate, int* error) {
    const int code = result == FolderLookup::Ambiguous               ? kFsAmbiguous
                     : result == FolderLookup::Missing && !forCreate ? ENOENT
                                                                     : 0;
    if (code != 0 && error)
        *error = code;
    return code != 0;
}

// A lookup that failed: done, with the error (when one is given here).
bool Failed(bool* failed, int* error, int code) {
    *failed = true;
    if (error && code != 0)
        *error = code;
    return true;
}

} // namespace

bool FolderCache::Walk(const QString& path, const QString& root, const QStringList& components,
                       bool forCreate, bool knownOnly, ResolvedPath* out, int* error,
                       bool* failed) {
    QMutexLocker lock(&mutex_);
    return WalkLocked(path, root, components, forCreate, knownOnly, out, error, failed);
}

bool FolderCache::WalkLocked(const QString& path, const QString& root,
                             const QStringList& components, bool forCreate, bool knownOnly,
                             ResolvedPath* out, int* error, bool* failed) {
    QString host = root;
    for (qsizetype i = 0; i < components.size(); ++i) {
        FolderListing* listing = Known(host);
        if (!listing && knownOnly)
            return false;
        int code = 0;
        if (!listing && !(listing = Current(host, &code)))
            return Failed(failed, error, code);
        // Only a listing known current is told of every change that would make it wrong.
        const bool remember = listing->KnownCurrent();
        if (remember && i + 1 == components.size())
            RememberFolder(path, components.at(i), root, host, listing);
        QString found;
        const FolderLookup result = MatchName(*listing, components.at(i), &found);
        // A folder of the path is missing: so is every other file in the same folder.
        if (result == FolderLookup::Missing && remember && i + 1 < components.size())
            RememberFolder(path, components.last(), root, QString(), listing, components.at(i));
        if (LookupFailed(result, forCreate, error))
            return Failed(failed, nullptr, 0);
        if (result == FolderLookup::Missing) {
            SetMissingTail(out, host, components, i);
            return true;
        }
        host = JoinHostPath(host, found);
    }
    out->host = out->existingHost = host;
    out->exists = true;
    return true;
}

bool FolderCache::ResolveRemembered(const QString& path, bool forCreate, ResolvedPath* out,
                                    int* error, bool* failed) {
    QMutexLocker lock(&mutex_);
    TakeReports();
    // A move finds its source and its target and then renames the one to the other: the second
    // lookup of the same path, with no listing changed, read or dropped meanwhile and the drive
    // where it was, has the first answer.
    for (const LastResolved& last : lastResolved_) {
        if (last.changes == changes_ && last.generation == generation_ &&
            last.forCreate == forCreate && !path.isEmpty() && last.path == path &&
            TheDriveMap().HostRoot(path.at(0)) == last.root) {
            *out = last.out;
            return true;
        }
    }
    FolderListing* listing = nullptr;
    QString name;
    QString found;
    const KnownFolder* folder =
        LookUpRemembered(path, forCreate, &listing, &name, &found, error, failed);
    if (!folder || *failed)
        return folder != nullptr;
    if (found.isEmpty()) {
        out->existingHost = folder->host;
        out->host = JoinHostPath(folder->host, name);
        out->exists = false;
    } else {
        out->host = out->existingHost = JoinHostPath(folder->host, found);
        out->exists = true;
    }
    KeepResolved(path, forCreate, folder->root, *out);
    return true;
}

bool FolderCache::StatRemembered(const QString& path, bool followLinks, QString* hostPath,
                                 struct stat* st, int* error, bool* failed) {
    QMutexLocker lock(&mutex_);
    TakeReports();
    FolderListing* listing = nullptr;
    QString name;
    QString found;
    int code = 0;
    const KnownFolder* folder =
        LookUpRemembered(path, false, &listing, &name, &found, &code, failed);
    if (code != 0 && error)
        *error = code;
    if (folder && *failed && code == ENOENT && !folder->host.isEmpty()) {
        // A move asks whether its target exists and then creates it a moment later.
        KeepResolved(path, true, folder->root,
                     ResolvedPath{JoinHostPath(folder->host, name), folder->host, false});
    }
    if (!folder || *failed)
        return folder != nullptr;
    const QString host = JoinHostPath(folder->host, found);
    *failed = !CachedStat(folder->host, listing, found, st) &&
              !StatDisk(listing, found, AT_FDCWD, EncodeHostPath(host), followLinks, st, error);
    if (hostPath)
        *hostPath = host;
    // A move finds its source so and renames it a moment later.
    if (!*failed)
        KeepResolved(path, false, folder->root, ResolvedPath{host, host, true});
    return true;
}

void FolderCache::KeepResolved(const QString& path, bool forCreate, const QString& root,
                               const ResolvedPath& out) {
    lastResolved_[1] = std::move(lastResolved_[0]);
    lastResolved_[0] = LastResolved{path, forCreate, changes_, generation_, root, out};
}

bool FolderCache::FoundRecently(const QString& windowsFolder) {
    if (windowsFolder.isEmpty())
        return false;
    QMutexLocker lock(&mutex_);
    TakeReports();
    const KnownFolder* last = RecentFolderOf(windowsFolder);
    return last && !last->host.isEmpty() && last->listing->KnownCurrent() &&
           TheDriveMap().HostRoot(windowsFolder.at(0)) == last->root;
}

bool FolderCache::KindRemembered(const QString& path, EntryKind* kind, int* error, bool* failed,
                                 bool* twinned) {
    QMutexLocker lock(&mutex_);
    TakeReports();
    FolderListing* listing = nullptr;
    QString name;
    QString found;
    if (!LookUpRemembered(path, false, &listing, &name, &found, error, failed, kind, twinned))
        return false;
    return *failed || *kind != EntryKind::Unknown;
}

bool FolderCache::Stat(const QString& hostPath, bool followLinks, struct stat* st, int* error) {
    const qsizetype slash = hostPath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        QMutexLocker lock(&mutex_);
        return StatDisk(nullptr, hostPath, AT_FDCWD, EncodeHostPath(hostPath), followLinks, st,
                        error);
    }
    return StatEntry(HostParentOf(hostPath), hostPath.mid(slash + 1), hostPath, followLinks, st,
                     error);
}

bool FolderCache::StatEntry(const QString& hostFolder, const QString& name, const QString& hostPath,
                            bool followLinks, struct stat* st, int* error) {
    QMutexLocker lock(&mutex_);
    FolderListing* listing = ListingOf(hostFolder, name);
    if (CachedStat(hostFolder, listing, name, st))
        return true;
    return StatDisk(listing, name, AT_FDCWD, EncodeHostPath(hostPath), followLinks, st, error);
}

bool FolderCache::List(const QString& hostFolder, const ListChooser& choose,
                       std::vector<ListedEntry>* entries, int* error, quint64* state) {
    QMutexLocker lock(&mutex_);
    entries->clear();
    if (state)
        *state = 0;
    FolderListing* listing = Current(hostFolder, error);
    if (!listing)
        return false;
    // Only a listing known current may answer for its files or keep their stats.
    FolderListing* known = listing->KnownCurrent() ? listing : nullptr;
    bool fromListing = known != nullptr;
    const QStringList& names = listing->Ordered();
    const QList<EntryKind>& kinds = listing->OrderedKinds();
    const std::vector<const struct stat*>& kept = listing->OrderedStats();
    entries->reserve(std::size_t(names.size()));
    std::vector<std::size_t> asked;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const ListChoice choice = choose(names.at(i), kinds.at(i));
        if (choice == ListChoice::Skip)
            continue;
        ListedEntry& entry = entries->emplace_back();
        entry.name = names.at(i);
        entry.kind = kinds.at(i);
        if (choice != ListChoice::TakeWithStat)
            continue;
        entry.stat = std::make_unique<HostEntryStat>();
        if (const struct stat* file = known ? kept[std::size_t(i)] : nullptr) {
            entry.stat->st = *file;
            entry.stat->exists = true;
            continue;
        }
        // A sub-folder's stat may come from its own listing, whose changes move this listing's
        // state on (SubFolderChanged).
        entry.stat->exists = CachedStat(hostFolder, known, entry.name, entry.kind, &entry.stat->st);
        if (!entry.stat->exists)
            asked.push_back(entries->size() - 1);
    }
    if (!asked.empty())
        StatOnDisk(hostFolder, known, entries, asked);
    // What the disk answered is followed only where the listing kept it.
    for (std::size_t i : asked) {
        if (!known || !known->FileStat((*entries)[i].name))
            fromListing = false;
    }
    if (state && fromListing)
        *state = known->State();
    return true;
}

void FolderCache::StatOnDisk(const QString& hostFolder, FolderListing* known,
                             std::vector<ListedEntry>* entries,
                             const std::vector<std::size_t>& asked) {
    CountDiskAsk();
    int folder = AT_FDCWD;
    if (asked.size() > 1) {
        const int fd =
            open(QFile::encodeName(hostFolder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0)
            folder = fd;
    }
    // The stats themselves touch nothing of the cache: a folder of thousands of files has them
    // asked on a few threads, and what they told is kept here afterwards.
    auto ask = [&](std::size_t k) {
        CountDiskAsk();
        ListedEntry& entry = (*entries)[asked[k]];
        const QByteArray path = QFile::encodeName(
            folder == AT_FDCWD ? JoinHostPath(hostFolder, entry.name) : entry.name);
        HostEntryStat& stat = *entry.stat;
        stat.exists = fstatat(folder, path.constData(), &stat.st, AT_SYMLINK_NOFOLLOW) == 0;
        // A dangling link keeps its own data.
        if (stat.exists && S_ISLNK(stat.st.st_mode))
            stat.hasTarget = fstatat(folder, path.constData(), &stat.target, 0) == 0;
    };
    constexpr std::size_t kStatsPerThread = 256;
    if (folder != AT_FDCWD && asked.size() >= 2 * kStatsPerThread) {
        ForEachOnWorkers(asked.size(), kStatsPerThread, ask);
    } else {
        for (std::size_t k = 0; k < asked.size(); ++k)
            ask(k);
    }
    for (std::size_t i : asked) {
        const ListedEntry& entry = (*entries)[i];
        const struct stat& st = entry.stat->st;
        if (known && entry.stat->exists && S_ISREG(st.st_mode) && st.st_nlink == 1)
            known->KeepFileStat(entry.name, st);
    }
    if (folder != AT_FDCWD)
        close(folder);
}

bool FolderCache::KeptAnswer(const QString& windowsFolder, const QString& key, QStringList* names,
                             QList<qint32>* times, quint64* generation, QString* hostFolder) {
    QMutexLocker lock(&mutex_);
    TakeReports();
    *generation = generation_;
    hostFolder->clear();
    if (const KnownFolder* folder = RememberedFolder(windowsFolder)) {
        *hostFolder = folder->host;
        return folder->listing->KeptAnswer(key, names, times);
    }
    RememberedHost(windowsFolder, hostFolder);
    return false;
}

bool FolderCache::RememberedHost(const QString& windowsFolder, QString* hostFolder) {
    FolderListing* parent = nullptr;
    QString name, found;
    bool failed = false;
    const KnownFolder* known =
        LookUpRemembered(windowsFolder, false, &parent, &name, &found, nullptr, &failed);
    if (!known || failed)
        return false;
    *hostFolder = JoinHostPath(known->host, found);
    return true;
}

QStringList FolderCache::SortForPrefetch(const QStringList& windowsFolders,
                                         QStringList* hostFolders) {
    QMutexLocker lock(&mutex_);
    TakeReports();
    QStringList unresolved;
    for (const QString& folder : windowsFolders) {
        if (RememberedFolder(folder))
            continue;
        QString host;
        if (!RememberedHost(folder, &host)) {
            unresolved.append(folder);
            continue;
        }
        FolderListing* listing = Known(host);
        if (!listing)
            hostFolders->append(host);
        else if (IsPlainFolder(folder))
            RememberListing(folder, host, listing);
    }
    return unresolved;
}

void FolderCache::KeepAnswer(const QString& windowsFolder, const QString& hostFolder,
                             quint64 generation, quint64 state, const QString& key,
                             const QStringList& names, const QList<qint32>& times) {
    QMutexLocker lock(&mutex_);
    FolderListing* listing = Known(hostFolder);
    if (!listing)
        return;
    if (state != 0 && listing->State() == state)
        listing->KeepAnswer(key, names, times);
    if (generation == generation_ && IsPlainFolder(windowsFolder))
        RememberListing(windowsFolder, hostFolder, listing);
}

void FolderCache::RememberListing(const QString& windowsFolder, const QString& hostFolder,
                                  FolderListing* listing) {
    Remember(windowsFolder, TheDriveMap().HostRoot(windowsFolder.at(0)), hostFolder, listing);
}

void FolderCache::Remember(const QString& windowsFolder, const QString& root,
                           const QString& hostFolder, FolderListing* listing,
                           const QString& missing) {
    if (knownFolders_.size() >= kMaxCachedFolders) {
        knownFolders_.clear();
        lastFolders_ = {};
    }
    // A copy of what is remembered anew must not answer in its place.
    for (RecentFolder& last : lastFolders_)
        if (last.folder == windowsFolder)
            last = RecentFolder{};
    knownFolders_.insert(windowsFolder,
                         KnownFolder{root, hostFolder, generation_, listing, missing});
}

const FolderCache::KnownFolder* FolderCache::RememberedFolder(const QString& windowsFolder) const {
    const auto folder = knownFolders_.constFind(windowsFolder);
    if (folder == knownFolders_.cend() || folder->generation != generation_ ||
        folder->host.isEmpty() || !folder->listing->KnownCurrent() ||
        TheDriveMap().HostRoot(windowsFolder.at(0)) != folder->root)
        return nullptr;
    return &*folder;
}

void FolderCache::RememberFolder(const QString& path, const QString& last, const QString& root,
                                 const QString& hostFolder, FolderListing* listing,
                                 const QString& missing) {
    const qsizetype cut = LastSeparator(path);
    if (cut >= 3 && QStringView(path).mid(cut + 1) == last)
        Remember(path.left(cut), root, hostFolder, listing, missing);
}

const FolderCache::KnownFolder*
FolderCache::LookUpRemembered(const QString& path, bool forCreate, FolderListing** listing,
                              QString* name, QString* found, int* error, bool* failed,
                              EntryKind* kind, bool* twinned, const struct stat** st) {
    const qsizetype cut = LastSeparator(path);
    if (cut < 3)
        return nullptr;
    const KnownFolder* folder = LastFolder(QStringView(path).left(cut));
    if (!folder)
        folder = RememberInParent(QStringView(path).left(cut));
    if (!folder)
        return nullptr;
    *name = QString::fromRawData(path.constData() + cut + 1, path.size() - cut - 1);
    if (!IsPlainName(*name) || TheDriveMap().HostRoot(path.at(0)) != folder->root)
        return nullptr;
    if (folder->host.isEmpty()) {
        // Missing while the listing that lacked the name on the way still lacks it.
        QString twin;
        if (forCreate || !folder->listing->KnownCurrent() ||
            MatchName(*folder->listing, folder->missing, &twin) != FolderLookup::Missing)
            return nullptr;
        Failed(failed, error, ENOENT);
        return folder;
    }
    if (!folder->listing->KnownCurrent())
        return nullptr;
    *listing = folder->listing;
    const FolderLookup result = MatchName(**listing, *name, found, kind, twinned, st);
    if (result == FolderLookup::Missing)
        found->clear();
    if (LookupFailed(result, forCreate, error))
        *failed = true;
    return folder;
}

const FolderCache::KnownFolder* FolderCache::RememberInParent(QStringView windowsFolder,
                                                              bool readListing) {
    const qsizetype cut = LastSeparator(windowsFolder);
    if (cut < 3)
        return nullptr;
    const QStringView name = windowsFolder.mid(cut + 1);
    if (!IsPlainName(name))
        return nullptr;
    const KnownFolder* parent = LastFolder(windowsFolder.left(cut));
    if (!parent || !parent->listing->KnownCurrent())
        return nullptr;
    // Copied before anything is remembered anew: the parent's pointer then goes.
    const KnownFolder known = *parent;
    const QString folder = windowsFolder.toString();
    if (known.host.isEmpty()) {
        // Below a missing folder, while the listing that lacked it still lacks it.
        QString twin;
        if (MatchName(*known.listing, known.missing, &twin) != FolderLookup::Missing)
            return nullptr;
        Remember(folder, known.root, QString(), known.listing, known.missing);
        return LastFolder(folder);
    }
    QString found;
    const QString spelled = name.toString();
    switch (MatchName(*known.listing, spelled, &found)) {
    case FolderLookup::Missing:
        Remember(folder, known.root, QString(), known.listing, spelled);
        return LastFolder(folder);
    case FolderLookup::Found:
        break;
    case FolderLookup::Ambiguous:
        return nullptr;
    }
    // A file, or a folder not listed or not known current: resolved as usual (a folder's listing
    // is read here when asked).
    const QString host = JoinHostPath(known.host, found);
    FolderListing* listing = Known(host);
    if (!listing && readListing && known.listing->KindOf(found) == EntryKind::Folder) {
        int error = 0;
        listing = Current(host, &error);
        if (listing && !listing->KnownCurrent())
            listing = nullptr;
    }
    if (!listing)
        return nullptr;
    Remember(folder, known.root, host, listing);
    return LastFolder(folder);
}

const FolderCache::KnownFolder* FolderCache::RecentFolderOf(QStringView windowsFolder) const {
    for (const RecentFolder& last : lastFolders_)
        if (last.known.generation == generation_ && !last.folder.isNull() &&
            last.folder == windowsFolder)
            return &last.known;
    return nullptr;
}

const FolderCache::KnownFolder* FolderCache::LastFolder(QStringView windowsFolder) {
    // A move looks up files in its source folder and its target folder (and the target's parent)
    // in turn, thousands of times: the folders last found are compared before the whole text is
    // hashed.
    if (const KnownFolder* last = RecentFolderOf(windowsFolder))
        return last;
    // Looked up by the caller's own characters; the table's key is what is kept.
    const auto folder =
        knownFolders_.constFind(QString::fromRawData(windowsFolder.data(), windowsFolder.size()));
    if (folder == knownFolders_.cend() || folder->generation != generation_)
        return nullptr;
    std::move_backward(lastFolders_.begin(), lastFolders_.end() - 1, lastFolders_.end());
    lastFolders_[0] = RecentFolder{folder.key(), *folder};
    return &lastFolders_[0].known;
}

bool FolderCache::CachedStat(const QString& hostFolder, const FolderListing* listing,
                             const QString& name, EntryKind kind, struct stat* st) {
    if (!listing)
        return false;
    if (const struct stat* file = listing->FileStat(name)) {
        *st = *file;
        return true;
    }
    // The listing tells a folder from a link to one; a link is always asked.
    if (kind != EntryKind::Folder)
        return false;
    const FolderListing* folder = Known(JoinHostPath(hostFolder, name));
    if (!folder || !folder->selfKnown)
        return false;
    *st = folder->self;
    return true;
}

bool FolderCache::CachedStat(const QString& hostFolder, const FolderListing* listing,
                             const QString& name, struct stat* st) {
    return listing && CachedStat(hostFolder, listing, name, listing->KindOf(name), st);
}

bool FolderCache::StatDisk(FolderListing* listing, const QString& name, int folder,
                           const QByteArray& path, bool followLinks, struct stat* st, int* error) {
    if (listing)
        WaitForSeq(listing->renameSeq);
    else
        WaitForQueue();
    CountDiskAsk();
    if (fstatat(folder, path.constData(), st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (error)
            *error = errno;
        return false;
    }
    if (S_ISLNK(st->st_mode)) {
        if (followLinks && fstatat(folder, path.constData(), st, 0) != 0) {
            if (error)
                *error = errno;
            return false;
        }
    } else if (listing && S_ISREG(st->st_mode) && st->st_nlink == 1) {
        listing->KeepFileStat(name, *st);
    }
    return true;
}

} // namespace qv
