// The folder cache of the path layer. One host folder as the cache keeps it: its names (as on
// the disk, without regard to case, and in listing order) with the kind the listing told of each,
// the stamp it was read under, its change watch, the stats of its files and the answers of finds
// made from it; reading folders from the disk into such listings; the tests on folder stamps that
// decide when a folder is read again; and the cache itself, whose listing side (reading, change
// watches and their reports) is in folderlisting.cpp and whose lookup side (names, paths, stats
// and answers) is in winresolve.cpp.
#pragma once

#include "platform/casefold.h"
#include "platform/winresolve.h"

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <ctime>
#include <set>
#include <sys/stat.h>
#include <unordered_map>
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

enum class FolderLookup { Found, Missing, Ambiguous };

class FolderListing {
public:
    FolderStamp stamp;
    // The folder changed so shortly before it was read that a later change could carry the same
    // time stamp; such a listing is read again at its next use.
    bool racy = false;
    // The change watch on the folder (-1: none, the stamp is compared at every use) and whether
    // the watch reported anything since the stamp was last found unchanged.
    int watch = -1;
    bool reported = false;
    // The stat of the folder itself as it was read (or last changed by this program), good as
    // long as the listing is known current: every change of the folder's entries, attributes or
    // times is reported to its watch.
    struct stat self {};

    void Add(const QString& name, EntryKind kind = EntryKind::Unknown);
    void Remove(const QString& name);
    bool Has(const QString& name) const { return exact_.contains(name); }
    EntryKind KindOf(const QString& name) const { return exact_.value(name); }
    // The names in NameOrder, made when first asked for and dropped by every change, and their
    // kinds in the same order.
    const QStringList& Ordered();
    const QList<EntryKind>& OrderedKinds();
    // Good without asking the disk: watched, nothing reported, not racy.
    bool KnownCurrent() const { return watch >= 0 && !reported && !racy; }

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

private:
    friend FolderLookup MatchName(const FolderListing& listing, const QString& name,
                                  QString* found);

    struct Answer {
        QString key;
        QStringList names;
        QList<qint32> times;
    };

    // Each name with its kind.
    QHash<QString, EntryKind> exact_;
    // Name without regard to case -> the one name that folds so, or an empty text when two or
    // more do.
    QHash<FoldedName, QString> folded_;
    QHash<QString, struct stat> files_;
    QStringList ordered_;
    QList<EntryKind> orderedKinds_;
    bool orderedValid_ = false;
    mutable quint64 state_ = 0; // 0: a new number is given when asked
    std::vector<Answer> answers_;
};

// Finds a name in a listing: the exact name first, else the one name that folds alike.
FolderLookup MatchName(const FolderListing& listing, const QString& name, QString* found);

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

// ReadFolder of many host folders, several at a time on a few threads (at most 8). Each folder is
// watched through the inotify descriptor `notifier` with `watchMask` (when it is one) before it is
// read; the caller takes the watches over.
std::vector<FolderRead> ReadFolders(const std::vector<QByteArray>& encoded, bool fileStats,
                                    int notifier, quint32 watchMask);

// File systems whose change notifications report every change, whoever makes it. Network and
// user-space file systems can change behind the kernel's back; their folders are checked by
// their stamps at every use.
bool ReportsEveryChange(const QByteArray& encoded);

// `<folder>/<name>` of a host folder.
QString JoinHostPath(const QString& folder, const QString& name);

// The most folders the cache keeps listings of, or remembers as spelled, at once.
constexpr int kMaxCachedFolders = 100000;

// A host folder as the key of its listing. Folder paths are long and many share their length, so
// the hash is made once and compared before the text.
struct FolderKey {
    explicit FolderKey(const QString& folder) : path(folder), hash(qHash(folder)) {}
    bool operator==(const FolderKey& other) const {
        return hash == other.hash && path == other.path;
    }

    QString path;
    size_t hash;
};

struct FolderKeyHash {
    size_t operator()(const FolderKey& key) const noexcept { return key.hash; }
};

// Listings by host folder. Everything happens under one lock; the program reaches files from its
// GUI thread, so the lock is never contended in practice. Only the reading of many folders at
// once (Prefetch) goes on outside it, on threads of its own.
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
              int* error);

    // Resolves the components below a root from listings that are known to be current, without
    // asking the disk. False when some listing on the way is not: the caller resolves as usual.
    bool ResolveKnown(const QString& path, const QString& root, const QStringList& components,
                      bool forCreate, ResolvedPath* out, int* error, bool* failed);

    // Resolves a path whose folder (as spelled) was resolved before from listings known current
    // and none of them changed since: only the last component is looked up. Takes the reports
    // that arrived since the last lookup. False when the folder is not remembered so.
    bool ResolveRemembered(const QString& path, bool forCreate, ResolvedPath* out, int* error,
                           bool* failed);

    // ResolveRemembered of an existing entry followed by Stat, with the listing looked up once.
    bool StatRemembered(const QString& path, bool followLinks, QString* hostPath, struct stat* st,
                        int* error, bool* failed);

    // lstat (or, following links, stat) of a host path. A regular file with one link in a
    // folder whose listing is known current is answered from the last answer while the watch
    // reported no change of it, and a folder (no link) from its own listing while that is known
    // current; links and other entries are always asked (their stats change without a report in
    // this folder). The reports are those taken by the lookup of the path or of its folder that
    // comes just before.
    bool Stat(const QString& hostPath, bool followLinks, struct stat* st, int* error);

    // Stat of a name in a host folder, as of the joined path, which is only made when the disk
    // is asked.
    bool StatName(const QString& hostFolder, const QString& name, bool followLinks, struct stat* st,
                  int* error);

    // The names a chooser takes from a folder's listing, in listing order, with their stats where
    // asked: from the cache where it may answer, the others from the disk relative to one open
    // handle of the folder. The reports are those taken by the lookup of the folder that comes
    // just before.
    bool List(const QString& hostFolder, const ListChooser& choose,
              std::vector<ListedEntry>* entries, int* error, quint64* state);

    // The answer of a find in a folder as spelled (Windows form) that KeepAnswer kept, while the
    // folder's listing is in the state it was made from and nothing on the way to the folder
    // changed. Takes the reports first, as a lookup does; `generation` receives what KeepAnswer
    // needs to remember the folder, and `hostFolder` the folder's host path when it is known
    // without resolving the folder (else it is left empty; with an answer it is known).
    bool KeptAnswer(const QString& windowsFolder, const QString& key, QStringList* names,
                    QList<qint32>* times, quint64* generation, QString* hostFolder);

    // Sorts Windows-form folders for a prefetch: those whose listings are known current are
    // left out (and remembered as spelled), those the cache can resolve go to `hostFolders`, and
    // the others, for the caller to resolve, are returned. The reports are taken first.
    QStringList SortForPrefetch(const QStringList& windowsFolders, QStringList* hostFolders);

    // Keeps a find's answer with the listing it was made from (when ListFolder gave a state and
    // the listing is still in it), and remembers the folder as spelled with its listing (known
    // current), which ResolvePath resolved to the host folder when the generation was the one
    // given.
    void KeepAnswer(const QString& windowsFolder, const QString& hostFolder, quint64 generation,
                    quint64 state, const QString& key, const QStringList& names,
                    const QList<qint32>& times);

    // The names in a host folder, in listing order. The reports are those taken by the lookup of
    // the folder that comes just before.
    bool Names(const QString& hostFolder, QStringList* names, int* error);

    // Reads the listings of host folders that are not known current on a few threads, outside the
    // lock, and takes them in under it. Reports that arrive meanwhile for the new watches are
    // kept until the watches are known.
    void Prefetch(const QStringList& hostFolders, bool fileStats);

    // Before our own change: a listing that is no longer current is dropped, so that the change
    // is only ever added to a listing that was right before it.
    void BeforeChange(const QString& hostFolder);

    // Our own change: the listing takes it over and the folder's new stamp, so that moving many
    // files into one folder does not read that folder again for every file. The listing was
    // current just before the change, so it no longer counts as racy.
    void Changed(const QString& hostFolder, const QString& added, const QString& removed);

    void Invalidate(const QString& hostFolder);

    void Clear();

    // Begins (or ends) a run of lookups in which the reports are taken once only.
    void TakeReportsOnce(bool begin);

    // A number that moves on with every report taken and every listing read, changed or
    // dropped: while it stays the same, every listing known current is as it was. The reports
    // that arrived are taken first.
    quint64 Changes();

    qint64 Reads();

    // Whether folders below a drive root can be watched for changes.
    bool Watchable(const QString& root);

private:
    struct KnownFolder {
        QString root; // the drive's host root when it was resolved
        QString host; // empty: the folder is missing
        quint64 generation = 0;
        // The folder's listing. Every change or removal of a listing moves the generation on,
        // so the pointer is good while the generation is the same (new listings move none).
        FolderListing* listing = nullptr;
    };

    // A folder as spelled that is remembered with its listing, still good and known current.
    const KnownFolder* RememberedFolder(const QString& windowsFolder) const;

    // Remembers a folder as spelled, resolved to the host folder under the current generation,
    // with its listing.
    void RememberListing(const QString& windowsFolder, const QString& hostFolder,
                         FolderListing* listing);

    // Remembers the host folder of the path's folder as spelled (an empty one: the folder is
    // missing), when the path's last part is the last component (no "." or ".." or trailing
    // separator to apply).
    void RememberFolder(const QString& path, const QString& last, const QString& root,
                        const QString& hostFolder, FolderListing* listing);

    // The remembered folder of the path, still good, with its listing (known current), the
    // path's last part and the name that part found there (empty when missing). A folder that
    // is missing, or a name that is missing or ambiguous while `forCreate` is clear, sets
    // `failed` and the error. Null when the folder is not remembered so (or is missing while
    // `forCreate` is set): the caller resolves as usual. Called under the lock.
    const KnownFolder* LookUpRemembered(const QString& path, bool forCreate,
                                        FolderListing** listing, QString* name, QString* found,
                                        int* error, bool* failed);

    // The listing of a folder when it is known current, else none.
    FolderListing* Known(const QString& hostFolder);

    // The listing of a folder, known current, that holds the name; else none.
    FolderListing* ListingOf(const QString& hostFolder, const QString& name);

    FolderListing* Listing(const QString& hostFolder);

    // The stat of a name of the listing given (one known current that holds it) without asking
    // the disk: a regular file's last answer while the watch reported no change of it, or the
    // folder's own stat that its listing keeps while that is known current (every change of a
    // folder's entries, attributes or times is reported to its own watch). False when neither
    // is known. `kind` is what the listing tells of the name.
    bool CachedStat(const QString& hostFolder, const FolderListing* listing, const QString& name,
                    EntryKind kind, struct stat* st);

    bool CachedStat(const QString& hostFolder, const FolderListing* listing, const QString& name,
                    struct stat* st);

    // Asks the disk for `path` (relative to the open folder `folder`, or AT_FDCWD): the entry
    // itself, and, when links are followed, what a link points to. The entry's own answer is kept
    // for a regular file with one link of the listing given; what a link points to is not, since
    // its changes are not reported in this folder.
    static bool StatDisk(FolderListing* listing, const QString& name, int folder,
                         const QByteArray& path, bool followLinks, struct stat* st, int* error);

    // The stats of the entries at `asked`, from the disk; a single name is asked by its path,
    // since opening the folder would cost more than it spares.
    static void StatOnDisk(const QString& hostFolder, FolderListing* known,
                           std::vector<ListedEntry>* entries,
                           const std::vector<std::size_t>& asked);

    // The listing of a folder, read again when the folder's stamp changed. Called under the lock;
    // the pointer is good until the next change of the cache.
    FolderListing* Current(const QString& hostFolder, int* error);

    // Takes a listing just read in as the folder's, in place of any earlier one.
    FolderListing* Insert(const QString& hostFolder, FolderListing&& listing,
                          const QByteArray& encoded);

    // ---- Change watches ----

    // A watch on the folder for the listing under this name, or -1 when the folder cannot be
    // watched (its listing then compares its stamp at every use).
    int Watch(const QByteArray& encoded, const QString& hostFolder);

    // The change notifier, made at its first use; -1 when there can be none.
    int Notifier();

    // One folder reached by two paths (through a link) has one watch for both listings.
    void Register(int watch, const QString& hostFolder);

    // The watch a folder keeps: none on a file system that does not report every change.
    int KeepWatch(const QString& hostFolder, int watch, dev_t device, const QByteArray& encoded);

    // Whether the file system of a device reports every change; asked once per device.
    bool DeviceReportsEveryChange(dev_t device, const QByteArray& encoded);

    void Unwatch(const QString& hostFolder, int watch);

    // Takes the reports that arrived since the last call (once only in a run that asks so,
    // unless `always`).
    void TakeReports(bool always = false);

    // One report: the watch, what happened and the name in the folder (empty: the folder itself).
    void TakeReport(int watch, quint32 mask, const QString& name);

    void ForgetFile(const QString& hostFolder, const QString& name);

    void MarkReported(const QString& hostFolder);

    // A folder's listing changed, or stopped being known current: the answers of its parent's
    // listing that took the folder's stat from it no longer hold.
    void SubFolderChanged(const QString& hostFolder);

    // The folder and every cached folder below it.
    void MarkTree(const QString& hostFolder);

    void Drop(const QString& hostFolder);

    void ClearAll();

    struct PendingReport {
        int watch;
        quint32 mask;
        QString name;
    };

    QMutex mutex_;
    // Node-based, so that a listing stays where it is while others are added.
    std::unordered_map<FolderKey, FolderListing, FolderKeyHash> entries_;
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
    quint64 notifierEpoch_ = 0; // moves on when the notifier is closed
    int prefetching_ = 0;       // prefetches reading outside the lock
    int takeOnce_ = 0;          // runs of lookups that take the reports once
    bool takenOnce_ = false;    // and whether they took them already
    quint64 changes_ = 0;
    std::vector<PendingReport> pending_;
    qint64 reads_ = 0;
};

} // namespace qv
