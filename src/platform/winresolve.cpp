#include "platform/winresolve.h"

#include "platform/drivemap.h"
#include "platform/folderlisting.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qv {

namespace {

// A full Windows folder path of plain components only ("X:\A\B": none empty, "." or ".."), which
// stands for its host folder as it is.
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

} // namespace

// ---- The folder cache: names, paths, stats and answers ----

bool FolderCache::Find(const QString& hostFolder, const QString& name, FolderLookup* result,
                       QString* found, int* error) {
    QMutexLocker lock(&mutex_);
    const FolderListing* listing = Current(hostFolder, error);
    if (!listing)
        return false;
    *result = MatchName(*listing, name, found);
    return true;
}

bool FolderCache::ResolveKnown(const QString& path, const QString& root,
                               const QStringList& components, bool forCreate, ResolvedPath* out,
                               int* error, bool* failed) {
    QMutexLocker lock(&mutex_);
    QString host = root;
    for (qsizetype i = 0; i < components.size(); ++i) {
        FolderListing* listing = Known(host);
        if (!listing)
            return false;
        if (i + 1 == components.size())
            RememberFolder(path, components.at(i), root, host, listing);
        QString found;
        switch (MatchName(*listing, components.at(i), &found)) {
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
            host = JoinHostPath(host, found);
            break;
        }
    }
    out->host = out->existingHost = host;
    out->exists = true;
    return true;
}

bool FolderCache::ResolveRemembered(const QString& path, bool forCreate, ResolvedPath* out,
                                    int* error, bool* failed) {
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
        out->host = JoinHostPath(folder->host, name);
        out->exists = false;
        return true;
    }
    out->host = out->existingHost = JoinHostPath(folder->host, found);
    out->exists = true;
    return true;
}

bool FolderCache::StatRemembered(const QString& path, bool followLinks, QString* hostPath,
                                 struct stat* st, int* error, bool* failed) {
    QMutexLocker lock(&mutex_);
    TakeReports();
    FolderListing* listing = nullptr;
    QString name;
    QString found;
    const KnownFolder* folder =
        LookUpRemembered(path, false, &listing, &name, &found, error, failed);
    if (!folder || *failed)
        return folder != nullptr;
    if (CachedStat(folder->host, listing, found, st)) {
        if (hostPath)
            *hostPath = JoinHostPath(folder->host, found);
        return true;
    }
    const QString host = JoinHostPath(folder->host, found);
    *failed = !StatDisk(listing, found, AT_FDCWD, QFile::encodeName(host), followLinks, st, error);
    if (hostPath)
        *hostPath = host;
    return true;
}

bool FolderCache::Stat(const QString& hostPath, bool followLinks, struct stat* st, int* error) {
    QMutexLocker lock(&mutex_);
    const qsizetype slash = hostPath.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash <= 0 ? QStringLiteral("/") : hostPath.left(slash);
    const QString name = hostPath.mid(slash + 1);
    FolderListing* listing = slash >= 0 ? ListingOf(folder, name) : nullptr;
    return CachedStat(folder, listing, name, st) ||
           StatDisk(listing, name, AT_FDCWD, QFile::encodeName(hostPath), followLinks, st, error);
}

bool FolderCache::StatName(const QString& hostFolder, const QString& name, bool followLinks,
                           struct stat* st, int* error) {
    QMutexLocker lock(&mutex_);
    FolderListing* listing = ListingOf(hostFolder, name);
    return CachedStat(hostFolder, listing, name, st) ||
           StatDisk(listing, name, AT_FDCWD, QFile::encodeName(JoinHostPath(hostFolder, name)),
                    followLinks, st, error);
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
        entry.asked = true;
        if (const struct stat* file = known ? known->FileStat(entry.name) : nullptr) {
            entry.stat.st = *file;
            entry.stat.exists = true;
            continue;
        }
        // A sub-folder's stat may come from its own listing, whose changes move this listing's
        // state on (SubFolderChanged).
        entry.stat.exists = CachedStat(hostFolder, known, entry.name, entry.kind, &entry.stat.st);
        if (!entry.stat.exists)
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
    for (std::size_t i : asked) {
        ListedEntry& entry = (*entries)[i];
        const QByteArray path = QFile::encodeName(
            folder == AT_FDCWD ? JoinHostPath(hostFolder, entry.name) : entry.name);
        HostEntryStat& stat = entry.stat;
        stat.exists = StatDisk(known, entry.name, folder, path, false, &stat.st, nullptr);
        // A dangling link keeps its own data.
        if (stat.exists && S_ISLNK(stat.st.st_mode))
            stat.hasTarget = fstatat(folder, path.constData(), &stat.target, 0) == 0;
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
    // The folder in a remembered parent, as ResolvePath would find it.
    FolderListing* parent = nullptr;
    QString name, found;
    bool failed = false;
    const KnownFolder* known =
        LookUpRemembered(windowsFolder, false, &parent, &name, &found, nullptr, &failed);
    if (known && !failed)
        *hostFolder = JoinHostPath(known->host, found);
    return false;
}

QStringList FolderCache::SortForPrefetch(const QStringList& windowsFolders,
                                         QStringList* hostFolders) {
    QMutexLocker lock(&mutex_);
    TakeReports();
    QStringList unresolved;
    for (const QString& folder : windowsFolders) {
        if (RememberedFolder(folder))
            continue;
        FolderListing* parent = nullptr;
        QString name, found;
        bool failed = false;
        const KnownFolder* known =
            LookUpRemembered(folder, false, &parent, &name, &found, nullptr, &failed);
        if (!known || failed) {
            unresolved.append(folder);
            continue;
        }
        const QString host = JoinHostPath(known->host, found);
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
    if (knownFolders_.size() >= kMaxCachedFolders)
        knownFolders_.clear();
    knownFolders_.insert(windowsFolder, KnownFolder{TheDriveMap().HostRoot(windowsFolder.at(0)),
                                                    hostFolder, generation_, listing});
}

bool FolderCache::Names(const QString& hostFolder, QStringList* names, int* error) {
    QMutexLocker lock(&mutex_);
    FolderListing* listing = Current(hostFolder, error);
    if (!listing)
        return false;
    *names = listing->Ordered();
    return true;
}

const FolderCache::KnownFolder* FolderCache::RememberedFolder(const QString& windowsFolder) const {
    const auto folder = knownFolders_.constFind(windowsFolder);
    if (folder == knownFolders_.cend() || folder->generation != generation_ || !folder->listing ||
        !folder->listing->KnownCurrent() ||
        TheDriveMap().HostRoot(windowsFolder.at(0)) != folder->root)
        return nullptr;
    return &*folder;
}

void FolderCache::RememberFolder(const QString& path, const QString& last, const QString& root,
                                 const QString& hostFolder, FolderListing* listing) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    if (cut < 3 || QStringView(path).mid(cut + 1) != last)
        return;
    if (knownFolders_.size() >= kMaxCachedFolders)
        knownFolders_.clear();
    knownFolders_.insert(path.left(cut), KnownFolder{root, hostFolder, generation_, listing});
}

const FolderCache::KnownFolder* FolderCache::LookUpRemembered(const QString& path, bool forCreate,
                                                              FolderListing** listing,
                                                              QString* name, QString* found,
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
    if (!folder)
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

namespace {

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
            literal = JoinHostPath(literal, component);
        struct stat st {};
        CountDiskAsk();
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
            host = JoinHostPath(host, found);
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

bool ListFolder(const QString& hostFolder, const ListChooser& choose,
                std::vector<ListedEntry>* entries, int* error, quint64* state) {
    int code = 0;
    return Cache().List(hostFolder, choose, entries, &code, state) ? true : SetError(error, code);
}

bool KeptFolderAnswer(const QString& windowsFolder, const QString& key, QStringList* names,
                      QList<qint32>* times, quint64* generation, QString* hostFolder) {
    return Cache().KeptAnswer(windowsFolder, key, names, times, generation, hostFolder);
}

void KeepFolderAnswer(const QString& windowsFolder, const QString& hostFolder, quint64 generation,
                      quint64 state, const QString& key, const QStringList& names,
                      const QList<qint32>& times) {
    Cache().KeepAnswer(windowsFolder, hostFolder, generation, state, key, names, times);
}

void PrefetchFolderListings(const QStringList& hostFolders, bool withFileStats) {
    Cache().Prefetch(hostFolders, withFileStats);
}

void PrefetchFolders(const QStringList& windowsFolders, bool withFileStats) {
    // Folders found before and unchanged since need not even be resolved again.
    QStringList hostFolders;
    const QStringList unresolved = Cache().SortForPrefetch(windowsFolders, &hostFolders);
    for (const QString& folder : unresolved) {
        QString host;
        if (ResolvePath(folder, &host))
            hostFolders.append(host);
    }
    PrefetchFolderListings(hostFolders, withFileStats);
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

ReportsTakenOnce::ReportsTakenOnce() {
    Cache().TakeReportsOnce(true);
}

ReportsTakenOnce::~ReportsTakenOnce() {
    Cache().TakeReportsOnce(false);
}

qint64 FolderReadCount() {
    return Cache().Reads();
}

quint64 FolderCacheChanges() {
    return Cache().Changes();
}

} // namespace qv
