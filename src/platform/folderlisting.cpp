#include "platform/folderlisting.h"

#include "platform/workers.h"

#include <QFile>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace qv {

FolderStamp FolderStampOf(const struct stat& st) {
    FolderStamp s;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.mtime = st.st_mtim;
    s.ctime = st.st_ctim;
    return s;
}

bool NameOrder(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

namespace {

// Listing states are numbered across all listings, some of which are read on other threads.
quint64 NewListingState() {
    static std::atomic<quint64> last{0};
    return ++last;
}

// A listing keeps the answers of a few finds at most: a folder is mostly asked for one or two
// masks in turn.
constexpr std::size_t kKeptAnswers = 4;

} // namespace

void FolderListing::MarkChanged() {
    state_ = 0;
    answers_.clear();
}

quint64 FolderListing::State() const {
    if (state_ == 0)
        state_ = NewListingState();
    return state_;
}

void FolderListing::Add(const QString& name, EntryKind kind) {
    MarkChanged();
    files_.remove(name);
    const qsizetype before = exact_.size();
    exact_[name] = kind;
    orderedValid_ = false;
    if (exact_.size() == before)
        return;
    // One lookup finds the twin or makes the place.
    const qsizetype foldedBefore = folded_.size();
    QString& twin = folded_[FoldedName{name}];
    if (folded_.size() != foldedBefore)
        twin = name;
    else
        twin.clear();
}

void FolderListing::Remove(const QString& name) {
    MarkChanged();
    files_.remove(name);
    if (!exact_.remove(name))
        return;
    orderedValid_ = false;
    const FoldedName key{name};
    const auto twin = folded_.find(key);
    if (twin == folded_.end())
        return;
    if (!twin->isEmpty()) {
        folded_.erase(twin);
        return;
    }
    // It had twins: count those left (rare, so they are looked for only now).
    QString left;
    int count = 0;
    for (auto other = exact_.cbegin(); other != exact_.cend(); ++other) {
        if (FoldedName{other.key()} == key) {
            left = other.key();
            ++count;
        }
    }
    if (count == 0)
        folded_.erase(twin);
    else if (count == 1)
        *twin = left;
}

const QStringList& FolderListing::Ordered() {
    if (!orderedValid_) {
        ordered_ = exact_.keys();
        std::sort(ordered_.begin(), ordered_.end(), NameOrder);
        orderedKinds_.resize(ordered_.size());
        for (qsizetype i = 0; i < ordered_.size(); ++i)
            orderedKinds_[i] = exact_.value(ordered_.at(i));
        orderedValid_ = true;
    }
    return ordered_;
}

const QList<EntryKind>& FolderListing::OrderedKinds() {
    Ordered();
    return orderedKinds_;
}

const struct stat* FolderListing::FileStat(const QString& name) const {
    const auto file = files_.constFind(name);
    return file == files_.cend() ? nullptr : &*file;
}

void FolderListing::KeepFileStat(const QString& name, const struct stat& st) {
    MarkChanged();
    files_.insert(name, st);
}

void FolderListing::ForgetFileStat(const QString& name) {
    if (files_.remove(name))
        MarkChanged();
}

void FolderListing::ForgetFileStats() {
    MarkChanged();
    files_.clear();
}

void FolderListing::KeepAnswer(const QString& key, const QStringList& names,
                               const QList<qint32>& times) {
    for (Answer& answer : answers_) {
        if (answer.key == key) {
            answer.names = names;
            answer.times = times;
            return;
        }
    }
    if (answers_.size() >= kKeptAnswers)
        answers_.erase(answers_.begin());
    answers_.push_back(Answer{key, names, times});
}

bool FolderListing::KeptAnswer(const QString& key, QStringList* names, QList<qint32>* times) const {
    for (const Answer& answer : answers_) {
        if (answer.key == key) {
            *names = answer.names;
            *times = answer.times;
            return true;
        }
    }
    return false;
}

FolderLookup MatchName(const FolderListing& listing, const QString& name, QString* found) {
    if (listing.exact_.contains(name)) {
        *found = name;
        return FolderLookup::Found;
    }
    const auto match = listing.folded_.constFind(FoldedName{name});
    if (match == listing.folded_.cend())
        return FolderLookup::Missing;
    if (match->isEmpty())
        return FolderLookup::Ambiguous;
    *found = *match;
    return FolderLookup::Found;
}

bool IsRacy(const struct stat& st) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now); // compared with the file system's own stamps
    const qint64 ageMs = (qint64(now.tv_sec) - st.st_mtim.tv_sec) * 1000 +
                         (qint64(now.tv_nsec) - st.st_mtim.tv_nsec) / 1000000;
    const qint64 windowMs = st.st_mtim.tv_nsec == 0 ? 2500 : 100;
    return ageMs < windowMs;
}

namespace {

std::atomic<quint64> diskAsks{0};

} // namespace

void CountDiskAsk() {
    diskAsks.fetch_add(1, std::memory_order_relaxed);
}

quint64 PathLayerDiskAsks() {
    return diskAsks.load(std::memory_order_relaxed);
}

bool StatFolder(const QByteArray& encoded, struct stat* st, int* error) {
    CountDiskAsk();
    if (stat(encoded.constData(), st) != 0) {
        *error = errno;
        return false;
    }
    if (!S_ISDIR(st->st_mode)) {
        *error = ENOTDIR;
        return false;
    }
    return true;
}

namespace {

EntryKind KindOfType(unsigned char type) {
    switch (type) {
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN:
        return EntryKind::Unknown;
    default:
        return EntryKind::File;
    }
}

class Handle {
public:
    explicit Handle(int fd) : fd_(fd) {}
    ~Handle() {
        if (fd_ >= 0)
            close(fd_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

bool ReadFolder(const QByteArray& encoded, bool fileStats, FolderListing* listing, int* error) {
    CountDiskAsk();
    const Handle folder(open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st {};
    if (folder.get() < 0 || fstat(folder.get(), &st) != 0) {
        *error = errno;
        return false;
    }
    listing->stamp = FolderStampOf(st);
    listing->racy = IsRacy(st);
    listing->self = st;
    alignas(dirent64) char buffer[32768];
    for (;;) {
        const ssize_t got = getdents64(folder.get(), buffer, sizeof buffer);
        if (got < 0) {
            *error = errno;
            return false;
        }
        if (got == 0)
            break;
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            at += entry->d_reclen;
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            const EntryKind kind = KindOfType(entry->d_type);
            const QString decoded = QFile::decodeName(name);
            listing->Add(decoded, kind);
            struct stat file {};
            if (fileStats && entry->d_type == DT_REG &&
                fstatat(folder.get(), name, &file, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(file.st_mode) && file.st_nlink == 1)
                listing->KeepFileStat(decoded, file);
        }
    }
    // A change while reading leaves the stamp taken before it, so the next use reads again.
    struct stat after {};
    if (fstat(folder.get(), &after) != 0 || !(FolderStampOf(after) == listing->stamp))
        listing->racy = true;
    return true;
}

std::vector<FolderRead> ReadFolders(const std::vector<QByteArray>& encoded, bool fileStats,
                                    int notifier, quint32 watchMask) {
    std::vector<FolderRead> reads(encoded.size());
    // A thread is worth starting for a handful of folders at least.
    constexpr std::size_t kFoldersPerThread = 8;
    ForEachOnWorkers(encoded.size(), kFoldersPerThread, [&](std::size_t i) {
        FolderRead& read = reads[i];
        // The watch goes on before the stamp is taken, so that every later change is reported.
        if (notifier >= 0)
            read.watch = inotify_add_watch(notifier, encoded[i].constData(), watchMask);
        // The names are put in order here too, rather than on the caller's thread.
        if (ReadFolder(encoded[i], fileStats, &read.listing, &read.error))
            read.listing.Ordered();
    });
    return reads;
}

bool ReportsEveryChange(const QByteArray& encoded) {
    struct statfs fs {};
    if (statfs(encoded.constData(), &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53UL:     // ext2, ext3, ext4
    case 0x58465342UL: // xfs
    case 0x9123683EUL: // btrfs
    case 0x01021994UL: // tmpfs
    case 0xF2F52010UL: // f2fs
    case 0x4D44UL:     // vfat
    case 0x2011BAB0UL: // exfat
    case 0x7366746EUL: // ntfs3
        return true;
    default:
        return false;
    }
}

// ---- The folder cache: listings, change watches and their reports ----

namespace {

// Every change of a folder's entries, attributes or place.
// Writes and attribute changes of the files in it keep their known stats current.
constexpr quint32 kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                               IN_MODIFY | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// Reports about a file's content or attributes, which leave the folder's own stamp as it was.
constexpr quint32 kFileOnlyEvents = IN_MODIFY | IN_ATTRIB;

} // namespace

QString JoinHostPath(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

void FolderCache::Prefetch(const QStringList& hostFolders, bool fileStats) {
    QStringList folders;
    std::vector<QByteArray> encoded;
    int notifier = -1;
    quint64 epoch = 0;
    {
        QMutexLocker lock(&mutex_);
        QSet<QString> seen;
        for (const QString& folder : hostFolders) {
            if (Known(folder) || seen.contains(folder))
                continue;
            seen.insert(folder);
            folders.append(folder);
            encoded.push_back(QFile::encodeName(folder));
        }
        if (folders.isEmpty())
            return;
        notifier = Notifier();
        epoch = notifierEpoch_;
        ++prefetching_;
    }
    std::vector<FolderRead> reads = ReadFolders(encoded, fileStats, notifier, kWatchMask);
    QMutexLocker lock(&mutex_);
    --prefetching_;
    // The watches went with a notifier that was closed meanwhile.
    for (std::size_t i = 0; i < reads.size() && epoch == notifierEpoch_; ++i) {
        FolderRead& read = reads[i];
        const QString& folder = folders.at(qsizetype(i));
        if (read.watch >= 0)
            Register(read.watch, folder);
        FolderListing* old = Listing(folder);
        const bool full = !old && entries_.size() >= kMaxCachedFolders;
        if (read.error != 0 || (old && old->KnownCurrent()) || full) {
            if (!old || old->watch != read.watch)
                Unwatch(folder, read.watch);
            continue;
        }
        if (old && old->watch >= 0 && old->watch != read.watch)
            Unwatch(folder, old->watch);
        read.listing.watch = KeepWatch(folder, read.watch, read.listing.self.st_dev, encoded[i]);
        if (read.listing.watch < 0)
            read.listing.ForgetFileStats();
        ++reads_;
        Insert(folder, std::move(read.listing), encoded[i]);
    }
    if (prefetching_ == 0) {
        const std::vector<PendingReport> pending = std::move(pending_);
        pending_.clear();
        for (const PendingReport& report : pending)
            TakeReport(report.watch, report.mask, report.name);
    }
}

void FolderCache::BeforeChange(const QString& hostFolder) {
    QMutexLocker lock(&mutex_);
    FolderListing* listing = Listing(hostFolder);
    if (!listing)
        return;
    struct stat st {};
    int error = 0;
    if (!StatFolder(QFile::encodeName(hostFolder), &st, &error) ||
        !(listing->stamp == FolderStampOf(st)))
        Drop(hostFolder);
}

void FolderCache::Changed(const QString& hostFolder, const QString& added, const QString& removed) {
    QMutexLocker lock(&mutex_);
    ++changes_;
    FolderListing* listing = Listing(hostFolder);
    if (!listing)
        return;
    struct stat st {};
    int error = 0;
    if (!StatFolder(QFile::encodeName(hostFolder), &st, &error)) {
        Drop(hostFolder);
        return;
    }
    if (!removed.isEmpty())
        listing->Remove(removed);
    if (!added.isEmpty())
        listing->Add(added);
    listing->stamp = FolderStampOf(st);
    listing->self = st;
    listing->racy = false;
    SubFolderChanged(hostFolder);
    ++generation_;
}

void FolderCache::Invalidate(const QString& hostFolder) {
    QMutexLocker lock(&mutex_);
    Drop(hostFolder);
}

void FolderCache::Clear() {
    QMutexLocker lock(&mutex_);
    ClearAll();
}

qint64 FolderCache::Reads() {
    QMutexLocker lock(&mutex_);
    return reads_;
}

bool FolderCache::Watchable(const QString& root) {
    QMutexLocker lock(&mutex_);
    if (notifierFailed_)
        return false;
    auto it = watchableRoots_.constFind(root);
    if (it == watchableRoots_.cend())
        it = watchableRoots_.insert(root, ReportsEveryChange(QFile::encodeName(root)));
    return *it;
}

FolderListing* FolderCache::Known(const QString& hostFolder) {
    FolderListing* listing = Listing(hostFolder);
    return listing && listing->KnownCurrent() ? listing : nullptr;
}

FolderListing* FolderCache::ListingOf(const QString& hostFolder, const QString& name) {
    FolderListing* listing = name.isEmpty() ? nullptr : Known(hostFolder);
    return listing && listing->Has(name) ? listing : nullptr;
}

FolderListing* FolderCache::Listing(const QString& hostFolder) {
    const auto it = entries_.find(FolderKey(hostFolder));
    return it == entries_.end() ? nullptr : &it->second;
}

FolderListing* FolderCache::Current(const QString& hostFolder, int* error) {
    FolderListing* old = Listing(hostFolder);
    if (old && old->KnownCurrent())
        return old;
    const QByteArray encoded = QFile::encodeName(hostFolder);
    // The watch goes on before the stamp is taken, so that every later change is reported.
    int watch = old ? old->watch : -1;
    if (watch < 0)
        watch = Watch(encoded, hostFolder);
    if (old && !old->racy) {
        // A listing read before holds while the folder's stamp stays the same.
        struct stat st {};
        if (!StatFolder(encoded, &st, error)) {
            Unwatch(hostFolder, watch);
            Drop(hostFolder);
            return nullptr;
        }
        watch = KeepWatch(hostFolder, watch, st.st_dev, encoded);
        if (old->stamp == FolderStampOf(st)) {
            old->watch = watch;
            old->reported = false;
            old->self = st;
            return old;
        }
    }
    FolderListing listing;
    if (!ReadFolder(encoded, false, &listing, error)) {
        Unwatch(hostFolder, watch);
        Drop(hostFolder);
        return nullptr;
    }
    listing.watch = KeepWatch(hostFolder, watch, listing.self.st_dev, encoded);
    ++reads_;
    return Insert(hostFolder, std::move(listing), encoded);
}

FolderListing* FolderCache::Insert(const QString& hostFolder, FolderListing&& listing,
                                   const QByteArray& encoded) {
    ++changes_;
    SubFolderChanged(hostFolder);
    if (FolderListing* old = Listing(hostFolder)) {
        // What was remembered through the earlier listing may no longer hold.
        ++generation_;
        *old = std::move(listing);
        return old;
    }
    if (entries_.size() >= kMaxCachedFolders) {
        ClearAll();
        listing.watch = listing.watch >= 0 ? Watch(encoded, hostFolder) : -1;
        listing.racy = true; // watched only from now on: the next use compares the stamp
        listing.ForgetFileStats();
    }
    keys_.insert(hostFolder);
    return &entries_.emplace(FolderKey(hostFolder), std::move(listing)).first->second;
}

int FolderCache::Watch(const QByteArray& encoded, const QString& hostFolder) {
    if (Notifier() < 0)
        return -1;
    const int watch = inotify_add_watch(notifier_, encoded.constData(), kWatchMask);
    if (watch < 0)
        return -1;
    Register(watch, hostFolder);
    return watch;
}

int FolderCache::Notifier() {
    if (notifier_ < 0 && !notifierFailed_) {
        notifier_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        notifierFailed_ = notifier_ < 0;
    }
    return notifier_;
}

void FolderCache::Register(int watch, const QString& hostFolder) {
    QStringList& folders = foldersByWatch_[watch];
    if (!folders.contains(hostFolder))
        folders.append(hostFolder);
}

int FolderCache::KeepWatch(const QString& hostFolder, int watch, dev_t device,
                           const QByteArray& encoded) {
    if (watch >= 0 && !DeviceReportsEveryChange(device, encoded)) {
        Unwatch(hostFolder, watch);
        return -1;
    }
    return watch;
}

bool FolderCache::DeviceReportsEveryChange(dev_t device, const QByteArray& encoded) {
    auto it = reportingDevices_.constFind(quint64(device));
    if (it == reportingDevices_.cend())
        it = reportingDevices_.insert(quint64(device), ReportsEveryChange(encoded));
    return *it;
}

void FolderCache::Unwatch(const QString& hostFolder, int watch) {
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

void FolderCache::TakeReportsOnce(bool begin) {
    QMutexLocker lock(&mutex_);
    takeOnce_ += begin ? 1 : -1;
    if (takeOnce_ == 0)
        takenOnce_ = false;
}

quint64 FolderCache::Changes() {
    QMutexLocker lock(&mutex_);
    TakeReports(true);
    return changes_;
}

void FolderCache::TakeReports(bool always) {
    if (notifier_ < 0)
        return;
    if (takeOnce_ > 0 && !always) {
        if (takenOnce_)
            return;
        takenOnce_ = true;
    }
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = read(notifier_, buffer, sizeof buffer);
        if (got <= 0)
            return;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            TakeReport(event->wd, event->mask,
                       event->len > 0 ? QFile::decodeName(event->name) : QString());
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
}

void FolderCache::TakeReport(int watch, quint32 mask, const QString& name) {
    ++changes_;
    if (mask & IN_Q_OVERFLOW) {
        // Reports were lost: every listing goes back to the stamp test.
        for (auto& entry : entries_) {
            entry.second.reported = true;
            entry.second.ForgetFileStats();
        }
        ++generation_;
        return;
    }
    const auto it = foldersByWatch_.constFind(watch);
    if (it == foldersByWatch_.cend()) {
        // Perhaps a watch that a prefetch put on and has yet to take over.
        if (prefetching_ > 0)
            pending_.push_back(PendingReport{watch, mask, name});
        return;
    }
    const QStringList folders = *it;
    for (const QString& folder : folders) {
        if (!name.isEmpty())
            ForgetFile(folder, name);
        if (!name.isEmpty() && !(mask & ~(kFileOnlyEvents | IN_ISDIR)))
            continue;
        MarkReported(folder);
        // A changed entry may be (or have been, or link to) a folder whose listings are kept
        // under its path; a folder moved or deleted takes every listing below it along.
        if (!name.isEmpty())
            MarkTree(JoinHostPath(folder, name));
        else if (mask & (IN_MOVE_SELF | IN_DELETE_SELF | IN_IGNORED | IN_UNMOUNT))
            MarkTree(folder);
    }
    if (mask & IN_IGNORED) {
        // The kernel dropped the watch (the folder is gone): its listings lose it.
        for (const QString& folder : folders) {
            FolderListing* listing = Listing(folder);
            if (listing && listing->watch == watch) {
                listing->watch = -1;
                listing->ForgetFileStats();
                SubFolderChanged(folder);
                ++generation_;
            }
        }
        foldersByWatch_.remove(watch);
    }
}

void FolderCache::ForgetFile(const QString& hostFolder, const QString& name) {
    if (FolderListing* listing = Listing(hostFolder))
        listing->ForgetFileStat(name);
}

void FolderCache::MarkReported(const QString& hostFolder) {
    if (FolderListing* listing = Listing(hostFolder)) {
        listing->reported = true;
        SubFolderChanged(hostFolder);
        ++generation_;
    }
}

void FolderCache::SubFolderChanged(const QString& hostFolder) {
    const qsizetype slash = hostFolder.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return;
    if (FolderListing* parent = Listing(slash == 0 ? QStringLiteral("/") : hostFolder.left(slash)))
        parent->MarkChanged();
}

void FolderCache::MarkTree(const QString& hostFolder) {
    MarkReported(hostFolder);
    const QString below =
        hostFolder.endsWith(QLatin1Char('/')) ? hostFolder : hostFolder + QLatin1Char('/');
    for (auto it = keys_.lower_bound(below); it != keys_.end() && it->startsWith(below); ++it)
        MarkReported(*it);
}

void FolderCache::Drop(const QString& hostFolder) {
    auto it = entries_.find(FolderKey(hostFolder));
    if (it == entries_.end())
        return;
    ++generation_;
    ++changes_;
    Unwatch(hostFolder, it->second.watch);
    entries_.erase(it);
    SubFolderChanged(hostFolder);
    keys_.erase(hostFolder);
}

void FolderCache::ClearAll() {
    ++generation_;
    ++changes_;
    knownFolders_.clear();
    entries_.clear();
    keys_.clear();
    foldersByWatch_.clear();
    // Closing the notifier drops every watch at once.
    if (notifier_ >= 0)
        close(notifier_);
    notifier_ = -1;
    ++notifierEpoch_;
}

} // namespace qv
