#include "platform/folderlisting.h"

#include "platform/workers.h"

#include <QFile>
#include <QStringBuilder>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>

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
    // Every folder read is sorted so: while both names are plain ASCII, their first difference
    // after folding decides as the full case folding would, without its cost.
    const qsizetype size = std::min(a.size(), b.size());
    const QChar* x = a.constData();
    const QChar* y = b.constData();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t u = x[i].unicode();
        const char16_t v = y[i].unicode();
        if ((u | v) >= 0x80) {
            const int folded = a.compare(b, Qt::CaseInsensitive);
            return folded != 0 ? folded < 0 : a < b;
        }
        const char16_t lu = AsciiLower(u);
        const char16_t lv = AsciiLower(v);
        if (lu != lv)
            return lu < lv;
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

OrderKey OrderKeyOf(QStringView name) {
    OrderKey order;
    const qsizetype size = std::min<qsizetype>(name.size(), 8);
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t u = name.at(i).unicode();
        if (u >= 0x80) {
            order.plain = false;
            return order;
        }
        order.key |= quint64(AsciiLower(u)) << (8 * (7 - i));
    }
    return order;
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
    AddName(name, kind);
    orderedValid_ = false;
}

FolderListing::Spelling& FolderListing::AddName(const QString& name, EntryKind kind) {
    // One lookup finds the names alike or makes the place.
    bool added = false;
    Folded& alike = folded_.Insert(FoldedName{name}, &added);
    if (added) {
        alike.name = name;
        alike.kind = kind;
        ++count_;
        return alike;
    }
    // A name there already may have changed its kind, and what was kept of it goes.
    if (Spelling* there = alike.Exactly(name)) {
        there->kind = kind;
        there->st.reset();
        return *there;
    }
    alike.more.push_back(Spelling{name, kind, {}});
    ++count_;
    return alike.more.back();
}

const FolderListing::Spelling* FolderListing::Exact(const QString& name) const {
    const Folded* alike = folded_.Find(FoldedName{name});
    return alike ? alike->Exactly(name) : nullptr;
}

void FolderListing::Fill(const std::vector<ReadName>& names) {
    MarkChanged();
    orderedValid_ = false;
    // Thousands of names: the table is sized once. The stats kept share one block, each held
    // through its own pointer into it (replaced, never changed, as a single one would be).
    folded_.Reserve(qsizetype(names.size()));
    std::size_t kept = 0;
    for (const ReadName& read : names)
        kept += read.kept ? 1 : 0;
    std::shared_ptr<std::vector<struct stat>> stats;
    if (kept > 0) {
        stats = std::make_shared<std::vector<struct stat>>();
        stats->reserve(kept);
    }
    for (const ReadName& read : names) {
        Spelling& added = AddName(read.name, read.kind);
        if (read.kept) {
            stats->push_back(read.st);
            added.st = std::shared_ptr<const struct stat>(stats, &stats->back());
        }
    }
}

void FolderListing::Remove(const QString& name) {
    MarkChanged();
    const FoldedName key{name};
    Folded* alike = folded_.Find(key);
    if (!alike)
        return;
    if (alike->name == name) {
        if (alike->more.empty()) {
            folded_.Erase(key);
        } else {
            // A twin stays: it takes the first place.
            static_cast<Spelling&>(*alike) = std::move(alike->more.front());
            alike->more.erase(alike->more.begin());
        }
    } else {
        const Spelling* twin = alike->Exactly(name);
        if (!twin)
            return;
        alike->more.erase(alike->more.begin() + (twin - alike->more.data()));
    }
    --count_;
    orderedValid_ = false;
}

const QStringList& FolderListing::Ordered() {
    if (!orderedValid_) {
        // Every folder read is put in order once: the names are sorted with their kinds and
        // stats, so that no name is looked up again for either.
        // Folders of thousands of names (the consists, a route's paths) are sorted by the
        // numbers their first letters make, which settle nearly every comparison.
        std::vector<std::pair<OrderKey, const Spelling*>> keyed;
        keyed.reserve(std::size_t(count_));
        folded_.ForEach([&](const Folded& alike) {
            keyed.emplace_back(OrderKeyOf(alike.name), &alike);
            for (const Spelling& twin : alike.more)
                keyed.emplace_back(OrderKeyOf(twin.name), &twin);
        });
        std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
            if (a.first.plain && b.first.plain && a.first.key != b.first.key)
                return a.first.key < b.first.key;
            return NameOrder(a.second->name, b.second->name);
        });
        ordered_.clear();
        ordered_.reserve(qsizetype(keyed.size()));
        orderedKinds_.clear();
        orderedKinds_.reserve(qsizetype(keyed.size()));
        orderedStats_.clear();
        orderedStats_.reserve(keyed.size());
        for (const auto& [key, spelling] : keyed) {
            ordered_.append(spelling->name);
            orderedKinds_.append(spelling->kind);
            orderedStats_.push_back(spelling->st.get());
        }
        orderedValid_ = true;
        orderedStatsValid_ = true;
    }
    return ordered_;
}

const std::vector<const struct stat*>& FolderListing::OrderedStats() {
    Ordered();
    if (!orderedStatsValid_) {
        for (qsizetype i = 0; i < ordered_.size(); ++i)
            orderedStats_[std::size_t(i)] = FileStat(ordered_.at(i));
        orderedStatsValid_ = true;
    }
    return orderedStats_;
}

const QList<EntryKind>& FolderListing::OrderedKinds() {
    Ordered();
    return orderedKinds_;
}

const struct stat* FolderListing::FileStat(const QString& name) const {
    const Spelling* file = Exact(name);
    return file ? file->st.get() : nullptr;
}

void FolderListing::KeepFileStat(const QString& name, const struct stat& st) {
    MarkChanged();
    // Kept only of a name the listing holds: of any other the disk is asked again.
    if (Spelling* file = Exact(name)) {
        file->st = std::make_shared<const struct stat>(st);
        orderedStatsValid_ = false;
    }
}

void FolderListing::ForgetFileStat(const QString& name) {
    Spelling* file = Exact(name);
    if (file && file->st) {
        file->st.reset();
        orderedStatsValid_ = false;
        MarkChanged();
    }
}

void FolderListing::ForgetFileStats() {
    MarkChanged();
    orderedStatsValid_ = false;
    folded_.ForEachToChange([](Folded& alike) {
        alike.st.reset();
        for (Spelling& twin : alike.more)
            twin.st.reset();
    });
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

FolderLookup MatchName(const FolderListing& listing, const QString& name, QString* found,
                       EntryKind* kind, bool* twinned, const struct stat** st) {
    const FolderListing::Folded* match = listing.folded_.Find(FoldedName{name});
    if (!match)
        return FolderLookup::Missing;
    if (twinned)
        *twinned = !match->more.empty();
    // The exact name first, else the one name that folds alike.
    const FolderListing::Spelling* spelling = match->Exactly(name);
    if (!spelling && !match->more.empty())
        return FolderLookup::Ambiguous;
    if (!spelling)
        spelling = &*match;
    // The listing's own text: the name asked may be a view of a path that goes.
    *found = spelling->name;
    if (kind)
        *kind = spelling->kind;
    if (st)
        *st = spelling->st.get();
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

// A name as a folder gives it: plain ASCII (nearly every name) is the same in every encoding and
// needs no converter; any other name is decoded as the file system's names are.
QString DecodeEntryName(const char* name) {
    const std::size_t size = std::strlen(name);
    for (std::size_t i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(name[i]) >= 0x80)
            return QFile::decodeName(name);
    }
    return QString::fromLatin1(name, qsizetype(size));
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
    std::vector<FolderListing::ReadName> names;
    // Room for a folder of stock, which nearly every folder read is, at once.
    names.reserve(16);
    // The plain files' names as the folder gives them, one after another, for their stats.
    std::string plainNames;
    std::vector<std::pair<std::size_t, std::size_t>> plain; // (place in names, in plainNames)
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
            if (fileStats && entry->d_type == DT_REG) {
                plain.emplace_back(names.size(), plainNames.size());
                plainNames.append(name).push_back('\0');
            }
            FolderListing::ReadName& read = names.emplace_back();
            read.kind = KindOfType(entry->d_type);
            read.name = DecodeEntryName(name);
        }
    }
    const auto statOne = [&](std::size_t k) {
        FolderListing::ReadName& read = names[plain[k].first];
        read.kept = fstatat(folder.get(), plainNames.data() + plain[k].second, &read.st,
                            AT_SYMLINK_NOFOLLOW) == 0 &&
                    S_ISREG(read.st.st_mode) && read.st.st_nlink == 1;
    };
    // A folder of thousands of files (consists, a route's paths) is stat'ed on several threads:
    // one thread would take several times as long as reading the names.
    constexpr std::size_t kStatsPerThread = 512;
    if (plain.size() >= 2 * kStatsPerThread) {
        ForEachOnWorkers(plain.size(), kStatsPerThread, statOne);
    } else {
        for (std::size_t k = 0; k < plain.size(); ++k)
            statOne(k);
    }
    listing->Fill(names);
    // Nearly every folder read is listed in order later, often on the thread that moves files,
    // while folders are mostly read on several threads together: they are put in order here.
    listing->Ordered();
    // A change while reading leaves the stamp taken before it, so the next use reads again.
    struct stat after {};
    if (fstat(folder.get(), &after) != 0 || !(FolderStampOf(after) == listing->stamp))
        listing->racy = true;
    return true;
}

int AddWatch(const std::vector<int>& notifiers, std::size_t group, const QByteArray& encoded,
             quint32 mask) {
    const int descriptor = inotify_add_watch(notifiers[group], encoded.constData(), mask);
    const int watch = WatchOf(group, descriptor);
    if (descriptor >= 0 && watch < 0)
        inotify_rm_watch(notifiers[group], descriptor);
    return watch;
}

std::vector<FolderRead> ReadFolders(const QStringList& hostFolders, bool fileStats,
                                    const std::vector<int>& notifiers, quint32 watchMask,
                                    const std::function<void(std::size_t, FolderRead&)>& then,
                                    const FolderRunTaker& take) {
    const std::size_t count = std::size_t(hostFolders.size());
    std::vector<FolderRead> reads(count);
    // Which folders are done, for the taking: each is set once its folder was read (or failed).
    const std::unique_ptr<std::atomic<bool>[]> done(take ? new std::atomic<bool>[count]()
                                                         : nullptr);
    auto readOne = [&](std::size_t i) {
        FolderRead& read = reads[i];
        // Encoded here, on the thread that reads the folder.
        const QByteArray encoded = EncodeHostPath(hostFolders.at(qsizetype(i)));
        // The watch goes on before the stamp is taken, so that every later change is reported.
        // Neighbours are read on different threads, and so watched through different
        // descriptors.
        if (!notifiers.empty())
            read.watch = AddWatch(notifiers, i % notifiers.size(), encoded, watchMask);
        // The names are put in order here too, rather than on the caller's thread.
        if (ReadFolder(encoded, fileStats, &read.listing, &read.error)) {
            read.listing.Ordered();
            if (then)
                then(i, read);
        }
        if (take) {
            done[i].store(true, std::memory_order_release);
            done[i].notify_one();
        }
    };
    // A thread is worth starting for a handful of folders at least.
    constexpr std::size_t kFoldersPerThread = 8;
    // `spare`: threads of the workers' limit left to the calling thread, which takes the folders
    // in meanwhile; with every core reading, it would wait for one each time a folder is done.
    auto readAll = [&](std::size_t spare) {
        ForEachOnWorkers(count, kFoldersPerThread, readOne, spare);
    };
    // A few folders are not worth a thread of their own: they are read first, then taken.
    constexpr std::size_t kTakeWhileReadingFrom = 32;
    if (!take || count < kTakeWhileReadingFrom) {
        readAll(0);
        if (take && !reads.empty())
            take(0, std::span<FolderRead>(reads));
        return reads;
    }
    // Taking thousands of folders in is work for one thread that would otherwise only begin
    // after the reading: the calling thread takes each folder as soon as it is read, while the
    // others are still being read on threads of their own.
    std::thread reader;
    try {
        reader = std::thread(readAll, 1);
    } catch (const std::system_error&) {
        readAll(0); // no thread to be had: everything is read first
    }
    // The folders done meanwhile are taken in one call: the taker then locks what it takes them
    // into once for them all, rather than in turn with other threads for each folder. A run is
    // kept short enough that other threads waiting for that lock are not held up long.
    constexpr std::size_t kMostTakenAtOnce = 64;
    for (std::size_t i = 0; i < reads.size();) {
        done[i].wait(false, std::memory_order_acquire);
        std::size_t end = i + 1;
        while (end < reads.size() && end - i < kMostTakenAtOnce &&
               done[end].load(std::memory_order_acquire))
            ++end;
        take(i, std::span<FolderRead>(reads).subspan(i, end - i));
        i = end;
    }
    if (reader.joinable())
        reader.join();
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

QByteArray EncodeHostPath(const QString& hostPath) {
    // Two paths or more for every file a move renames, mostly plain ASCII, which needs no
    // converter.
    return IsAscii(hostPath) ? hostPath.toLatin1() : QFile::encodeName(hostPath);
}

QString JoinHostPath(const QString& folder, const QString& name) {
    // Made for nearly every lookup: one allocation, the text copied once.
    if (folder.endsWith(QLatin1Char('/')))
        return folder % name;
    return folder % QLatin1Char('/') % name;
}

qsizetype LastSeparator(QStringView path) {
    // One walk from the end: every lookup of a path asks this.
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (path.at(i) == QLatin1Char('\\') || path.at(i) == QLatin1Char('/'))
            return i;
    return -1;
}

} // namespace qv
