// One host folder as the path layer's cache keeps it: its names (as on the disk, without regard
// to case, and in listing order) with the kind the listing told of each, the stamp it was read
// under, its change watch, the stats of its files and the answers of finds made from it; reading
// folders from the disk into such listings; and the tests on folder stamps that decide when a
// folder is read again. The cache of such listings is in foldercache.h.
#pragma once

#include "platform/casefold.h"
#include "platform/winresolve.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <ctime>
#include <functional>
#include <memory>
#include <span>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace qv {

// What tells one state of a folder from another.
struct FolderStamp {
    dev_t dev = 0;
    ino_t ino = 0;
    timespec mtime{};
    timespec ctime{};

    bool operator==(const FolderStamp& o) const {
        return dev == o.dev && ino == o.ino && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec &&
               ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

FolderStamp FolderStampOf(const struct stat& st);

// The order folder listings are given in: without regard to case, then exactly.
bool NameOrder(const QString& a, const QString& b);
// The first eight characters of a name folded as NameOrder folds them, a byte each, with zero
// bytes past the end of a shorter name: when both names' keys are plain, different keys order
// the names as NameOrder does, and as CompareAsciiFolded does (equal ones leave it to those).
// Not plain when one of those characters is beyond ASCII.
struct OrderKey {
    quint64 key = 0;
    bool plain = true;
};
OrderKey OrderKeyOf(QStringView name);

enum class FolderLookup { Found, Missing, Ambiguous };

// Names without regard to case, each with a value. A folder of a few names (nearly every folder
// a job meets: an engine's holds two or three files) keeps them in a short row searched by their
// hashes; a QHash takes room for 48 at its first, kilobytes for a folder of two files, and tens
// of thousands of folders are listed at once. A folder of more names has them hashed.
template <typename Value> class FoldedTable {
public:
    const Value* Find(const FoldedName& key) const {
        if (!many_.isEmpty()) {
            const auto found = many_.constFind(key);
            return found == many_.cend() ? nullptr : &*found;
        }
        for (const auto& [name, value] : few_)
            if (name == key)
                return &value;
        return nullptr;
    }
    Value* Find(const FoldedName& key) {
        return const_cast<Value*>(std::as_const(*this).Find(key));
    }
    // The value of the key, made (default) when there was none, as `added` tells.
    Value& Insert(const FoldedName& key, bool* added) {
        if (Value* there = Find(key)) {
            *added = false;
            return *there;
        }
        *added = true;
        if (many_.isEmpty() && few_.size() < kFew)
            return few_.emplace_back(key, Value{}).second;
        Spill(0);
        return many_[key];
    }
    void Erase(const FoldedName& key) {
        if (!many_.isEmpty()) {
            many_.remove(key);
            return;
        }
        for (auto& entry : few_) {
            if (entry.first == key) {
                // The order is the listing's own to make.
                if (&entry != &few_.back())
                    entry = std::move(few_.back());
                few_.pop_back();
                return;
            }
        }
    }
    // Room for `more` names: a folder of many is hashed at once.
    void Reserve(qsizetype more) {
        if (qsizetype(few_.size()) + many_.size() + more > qsizetype(kFew))
            Spill(more);
        else
            few_.reserve(few_.size() + std::size_t(more));
    }
    template <typename Each> void ForEach(Each each) const {
        for (const auto& entry : few_)
            each(entry.second);
        for (const Value& value : many_)
            each(value);
    }
    template <typename Each> void ForEachToChange(Each each) {
        std::as_const(*this).ForEach([&](const Value& value) { each(const_cast<Value&>(value)); });
    }

private:
    static constexpr std::size_t kFew = 16;
    void Spill(qsizetype more) {
        many_.reserve(many_.size() + qsizetype(few_.size()) + more);
        for (auto& [name, value] : few_)
            many_.insert(name, std::move(value));
        few_ = {};
    }
    std::vector<std::pair<FoldedName, Value>> few_;
    QHash<FoldedName, Value> many_;
};

class FolderListing {
public:
    FolderStamp stamp;
    // The folder changed so shortly before it was read that a later change could carry the same
    // time stamp; such a listing is read again when its stamp is to decide (unwatched, or after
    // a report).
    bool racy = false;
    // The change watch on the folder (-1: none, the stamp is compared at every use) and whether
    // the watch reported anything since the stamp was last found unchanged.
    int watch = -1;
    bool reported = false;
    // The stat of the folder itself as it was read (or last changed by this program), good as
    // long as the listing is known current: every change of the folder's entries, attributes or
    // times is reported to its watch.
    struct stat self {};
    // A change of ours that the listing took over without asking the disk moved the folder's
    // times: `self` is not known then, and the stamp is none (a report of another change then
    // reads the folder again).
    bool selfKnown = true;
    // The last rename handed to the rename queue in or out of the folder (0: none).
    quint64 renameSeq = 0;

    // Takes over a change of ours made without asking the disk for the folder's new stat.
    void ChangedUnasked() {
        stamp = FolderStamp{};
        selfKnown = false;
    }

    void Add(const QString& name, EntryKind kind = EntryKind::Unknown);
    // A name as a folder's reading found it, with its kind and, when `kept`, its stat.
    struct ReadName {
        QString name;
        EntryKind kind = EntryKind::Unknown;
        bool kept = false;
        struct stat st {};
    };
    // Add of every name of a folder just read (each once), keeping the stats it was read with.
    void Fill(const std::vector<ReadName>& names);
    void Remove(const QString& name);
    bool Has(const QString& name) const { return Exact(name) != nullptr; }
    EntryKind KindOf(const QString& name) const {
        const Spelling* exact = Exact(name);
        return exact ? exact->kind : EntryKind{};
    }
    // Whether another name alike but for letter case is in the listing beside the name.
    bool HasTwin(const QString& name) const {
        const Folded* match = folded_.Find(FoldedName{name});
        return match && !match->more.empty();
    }
    // The names in NameOrder, made when first asked for and again after a change (a job changes
    // a folder file by file, and it is listed again far less often), and their kinds in the same
    // order.
    const QStringList& Ordered();
    const QList<EntryKind>& OrderedKinds();
    // The stats kept of the names in the same order (null where none is kept), good until the
    // listing or a kept stat changes.
    const std::vector<const struct stat*>& OrderedStats();
    // Good without asking the disk: watched since before it was read, nothing reported. A racy
    // listing is good too while nothing is reported, since every change after the watch went on
    // is reported; only the stamp test after a report must not trust it.
    bool KnownCurrent() const { return watch >= 0 && !reported; }

    // The stat of a file in the folder as last asked, kept while the watch reported no change of
    // it (none when not kept).
    const struct stat* FileStat(const QString& name) const;
    void KeepFileStat(const QString& name, const struct stat& st);
    void ForgetFileStat(const QString& name);
    void ForgetFileStats();

    // A number for the names and file stats the listing holds now, new with every change of them
    // (no two listings share one), and with MarkChanged.
    quint64 State() const;
    // A change of the listing, or one it does not hold itself (of a sub-folder's listing that
    // answered for the sub-folder's stat): the kept answers go.
    void MarkChanged();
    // Answers that finds made from the names and file stats alone, by a key of the find's own,
    // kept while the state they were made in lasts.
    void KeepAnswer(const QString& key, const QStringList& names, const QList<qint32>& times);
    bool KeptAnswer(const QString& key, QStringList* names, QList<qint32>* times) const;
    // Drops the kept answers, leaving the state as it is.
    void ForgetAnswers() { answers_.clear(); }

private:
    // Add without marking the change: the name with its kind, and its place among the names
    // alike without regard to case.
    struct Spelling;
    Spelling& AddName(const QString& name, EntryKind kind);

    friend FolderLookup MatchName(const FolderListing& listing, const QString& name, QString* found,
                                  EntryKind* kind, bool* twinned, const struct stat** st);

    struct Answer {
        QString key;
        QStringList names;
        QList<qint32> times;
    };

    struct Spelling {
        QString name;
        EntryKind kind = EntryKind::Unknown;
        // The stat kept of a file, beside its name: a job asks for a file's name, kind and stat
        // in turn, and finds all three by one lookup. Never changed in place, only replaced:
        // a copy of the table may share it.
        std::shared_ptr<const struct stat> st;
    };
    // Name without regard to case -> the names that fold so, each with its kind: nearly always
    // one, so that a job finds a file's name and kind, and adds or removes a name, by one lookup.
    struct Folded : Spelling {
        std::vector<Spelling> more; // twins: other names alike but for letter case
        // The spelling exactly as given, when it is one of these.
        const Spelling* Exactly(const QString& spelled) const {
            if (name == spelled)
                return this;
            for (const Spelling& twin : more)
                if (twin.name == spelled)
                    return &twin;
            return nullptr;
        }
        Spelling* Exactly(const QString& spelled) {
            return const_cast<Spelling*>(std::as_const(*this).Exactly(spelled));
        }
    };
    // The name exactly as given, when the listing holds it.
    const Spelling* Exact(const QString& name) const;
    Spelling* Exact(const QString& name) {
        return const_cast<Spelling*>(std::as_const(*this).Exact(name));
    }
    FoldedTable<Folded> folded_;
    qsizetype count_ = 0; // names held
    QStringList ordered_;
    QList<EntryKind> orderedKinds_;
    bool orderedValid_ = false;
    std::vector<const struct stat*> orderedStats_;
    bool orderedStatsValid_ = false;
    mutable quint64 state_ = 0; // 0: a new number is given when asked
    std::vector<Answer> answers_;
};

// Finds a name in a listing: the exact name first, else the one name that folds alike; with its
// kind, whether another name alike but for letter case is beside it, and the stat kept of it
// (null when none is; good until the listing changes), when asked.
FolderLookup MatchName(const FolderListing& listing, const QString& name, QString* found,
                       EntryKind* kind = nullptr, bool* twinned = nullptr,
                       const struct stat** st = nullptr);

// Time stamps of most file systems move in clock ticks of a few milliseconds; those that keep
// whole seconds (FAT keeps two) show it by a zero fraction. True when the folder changed so
// recently that a later change could carry the same stamp.
bool IsRacy(const struct stat& st);

// Counts one question to the disk (a stat, a folder opened or read) that the path layer asks.
void CountDiskAsk();

// stat of a host folder; false with the errno (ENOTDIR for what is no folder).
bool StatFolder(const QByteArray& encoded, struct stat* st, int* error);

// Reads a host folder into a fresh listing (stamp, racy, self and names with their kinds; no
// watch) through one open handle, which is stat'ed before and after the names are read. With
// `fileStats` the entries the listing tells are regular files are stat'ed through the same handle
// and kept as its file stats (those with one link). False with the errno.
bool ReadFolder(const QByteArray& encoded, bool fileStats, FolderListing* listing, int* error);

// A folder as ReadFolders read it: the listing, or the errno of the failure (0 when read), and the
// change watch that was put on it before its stamp was taken (-1: none).
struct FolderRead {
    FolderListing listing;
    int watch = -1;
    int error = 0;
};

// A run of folders ReadFolders read one after another: `run[k]` is the folder at place
// `first + k`.
using FolderRunTaker = std::function<void(std::size_t first, std::span<FolderRead> run)>;

// The kernel puts the watches of one inotify descriptor on one at a time: thousands of folders
// read together on several threads waited for each other's watches longer than their reading took.
// A cache keeps a few descriptors, and a watch is known by the descriptor's place (`group`) with
// its number: the first descriptor's watches keep the kernel's numbers.
constexpr int kWatchGroupShift = 28;
// The watch of `group` numbered `descriptor` by the kernel; -1 when the number is too large to go
// with its group (never in practice: the kernel numbers the watches of a descriptor from 1 up,
// and this would take hundreds of millions).
inline int WatchOf(std::size_t group, int descriptor) {
    if (descriptor < 0 || descriptor >= (1 << kWatchGroupShift))
        return -1;
    return int(group << kWatchGroupShift) | descriptor;
}
inline std::size_t WatchGroupOf(int watch) {
    return watch < 0 ? 0 : std::size_t(watch) >> kWatchGroupShift;
}
inline int WatchDescriptorOf(int watch) {
    return watch < 0 ? watch : watch & ((1 << kWatchGroupShift) - 1);
}
// Puts a watch on the folder through the notifier at place `group`: the watch as WatchOf numbers
// it, or -1 (none left on) when it cannot be put on.
int AddWatch(const std::vector<int>& notifiers, std::size_t group, const QByteArray& encoded,
             quint32 mask);

// ReadFolder of many host folders, several at a time on the worker threads, each encoded on the
// thread that reads it. Each folder is watched with `watchMask` through one of the inotify
// descriptors `notifiers` (when there are some), taken in turn, before it is read; the caller
// takes the watches over (WatchOf the descriptor's place). `then` (when given) runs on the same
// thread with each folder read without error, its names in order. `take` (when given) runs on the
// calling thread with the folders in turn, read or failed, as soon as they and those before them
// are done, while the workers go on reading the others; the calling thread then reads nothing
// itself. Each call is given every folder done by then that follows the last one given (a run of
// one at least), so that the taker can take a run in at once.
std::vector<FolderRead>
ReadFolders(const QStringList& hostFolders, bool fileStats, const std::vector<int>& notifiers,
            quint32 watchMask, const std::function<void(std::size_t, FolderRead&)>& then = nullptr,
            const FolderRunTaker& take = nullptr);

// File systems whose change notifications report every change, whoever makes it. Network and
// user-space file systems can change behind the kernel's back; their folders are checked by
// their stamps at every use.
bool ReportsEveryChange(const QByteArray& encoded);

// `<folder>/<name>` of a host folder.
QString JoinHostPath(const QString& folder, const QString& name);

// A host path as the system calls take it.
QByteArray EncodeHostPath(const QString& hostPath);

// The place of the last separator, "\\" or "/", in a path; -1 when there is none.
qsizetype LastSeparator(QStringView path);

} // namespace qv
