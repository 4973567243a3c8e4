// The folder cache of the path layer: listings by host folder, the change watches that keep them
// known current, and the lookups of names, paths, stats and find answers made from them. Its
// parts, by what each does:
//   foldercache.cpp         the listings: reading folders in, prefetches, our own changes
//   foldercachereports.cpp  taking the change reports: what they mean to the listings
//   folderwatches.h/.cpp    the watches and notifiers the reports come through
//   expectedreports.h/.cpp  the reports our own changes are expected to make
//   folderlookup.cpp        names, paths and stats answered from the listings
//   folderfinds.cpp         the answers of finds in many folders at once
//   foldercacherenames.cpp  our own renames, and those handed to the rename thread
// The path layer's calls in winresolve.cpp go through one cache.
#pragma once

#include "platform/expectedreports.h"
#include "platform/folderlisting.h"
#include "platform/folderorder.h"
#include "platform/folderwatches.h"
#include "platform/renamequeue.h"

#include <QHash>
#include <QMutex>
#include <array>
#include <deque>
#include <functional>
#include <unordered_map>

namespace qv {

// The most folders the cache keeps listings of, or remembers as spelled, at once.
constexpr int kMaxCachedFolders = 100000;

// A full Windows folder path of plain components only ("X:\A\B": none empty, "." or ".."), which
// stands for its host folder as it is.
bool IsPlainFolder(const QString& path);

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
    // Resolves the components below a root, each found in its folder's listing (the exact name
    // first, else the one case-folded match). With `knownOnly` only listings known current are
    // used, without asking the disk, and false means that some listing on the way is not: the
    // caller resolves as usual. Otherwise listings are read where needed; a folder that cannot
    // be read sets `failed` and the error. A lookup that failed sets them too.
    bool Walk(const QString& path, const QString& root, const QStringList& components,
              bool forCreate, bool knownOnly, ResolvedPath* out, int* error, bool* failed);

    // Resolves a path whose folder (as spelled) was resolved before from listings known current
    // and none of them changed since: only the last component is looked up. Takes the reports
    // that arrived since the last lookup. False when the folder is not remembered so.
    bool ResolveRemembered(const QString& path, bool forCreate, ResolvedPath* out, int* error,
                           bool* failed);

    // ResolveRemembered of an existing entry followed by Stat, with the listing looked up once.
    bool StatRemembered(const QString& path, bool followLinks, QString* hostPath, struct stat* st,
                        int* error, bool* failed);

    // What the listing of a path's remembered folder tells of the path: a file or a folder (no
    // link), or missing (`failed` and the error set). False when it cannot tell: the caller asks
    // the disk.
    // `twinned` (when given) receives whether the folder holds another name alike but for letter
    // case beside the one found.
    bool KindRemembered(const QString& path, EntryKind* kind, int* error, bool* failed,
                        bool* twinned = nullptr);

    // Whether a folder as spelled is among the folders last remembered, found (not missing),
    // with its listing known current: it exists as a folder. Takes the reports first. Only
    // those last found are compared, so that the many other paths asked cost no hashing.
    bool FoundRecently(const QString& windowsFolder);

    // lstat (or, following links, stat) of a host path. A regular file with one link in a
    // folder whose listing is known current is answered from the last answer while the watch
    // reported no change of it, and a folder (no link) from its own listing while that is known
    // current; links and other entries are always asked (their stats change without a report in
    // this folder). The reports are those taken by the lookup of the path or of its folder that
    // comes just before.
    bool Stat(const QString& hostPath, bool followLinks, struct stat* st, int* error);

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

    // Reads the listings of host folders that are not known current on a few threads, outside the
    // lock, and takes them in under it. Reports that arrive meanwhile for the new watches are
    // kept until the watches are known.
    void Prefetch(const QStringList& hostFolders, bool fileStats);

    // FindInFolders of the path layer (winresolve.h).
    void FindInFolders(const QStringList& windowsFolders, const QStringList& keys,
                       const FindAnswerMaker& make, std::vector<FolderFinds>* found,
                       const std::function<void(std::size_t)>& taken);

    // Before our own change: a listing that is no longer current is dropped, so that the change
    // is only ever added to a listing that was right before it.
    void BeforeChange(const QString& hostFolder);

    // Our own change: the listing takes it over and the folder's new stamp, so that moving many
    // files into one folder does not read that folder again for every file. A watched folder
    // whose new stamp is recent is racy: after a report its listing is read again.
    // The report of a change of a kind that OwnChange tells is expected and passed over.
    void Changed(const QString& hostFolder, const QString& added, const QString& removed,
                 OwnChange change = OwnChange::Other);

    void Invalidate(const QString& hostFolder);

    // Whether a rename of the file at the host path `oldHost` to `newHost` can be taken over by
    // FileRenamed without asking the disk: both folders' listings are known current and the
    // first tells that the name is a file (no folder, no link). The ticket receives what
    // FileRenamed needs.
    bool CanTakeFileRename(const QString& oldHost, const QString& newHost,
                           FileRenameTicket* ticket);

    // Whether a regular file at the Windows-form path `source` can be renamed into the folder of
    // `target` under its own name, settled by the listings of both folders as spelled (remembered
    // and known current) without asking the disk but for the source's stat when it was not kept
    // and the target folder's listing when it was not read (a folder just made): the source a
    // regular file its owner may write, the target's folder existing, no name there alike
    // without regard to case, and the target's last component the source's name in some letter
    // case. The ticket receives the host paths and what FileRenamed needs. FolderMissing when
    // all of it is settled but that the target's folder is known to be missing. Called for
    // thousands of files a job, all under one lock.
    ListedTarget CanTakeListedRename(const QString& source, const QString& target,
                                     FileRenameTicket* ticket);

    // While a queue is given (until null is), CanTakeListedRename leaves a source's stat that is
    // not kept to the queue's check, and QueueRename hands the renames it settled to the queue.
    // Before the cache reads a folder from the disk, or this program changes it, the renames in
    // flight in or out of it are waited for (every one of them, before a stat is asked); the
    // ending waits for every one.
    void DeferRenames(RenameQueue* queue);
    // FileRenamed of a rename handed to the queue: the listings take it over before it is made,
    // the reports it makes are expected once it is. It is to be made in the very folders the two
    // listings were read from (the queue fails it elsewhere). `source` and `renamedTo` (Windows
    // form) are what a failure is told by.
    void QueueRename(const FileRenameTicket& ticket, const QString& source,
                     const QString& renamedTo);
    // Waits for every rename handed to the queue (when `wait`), and gives those that failed or
    // that the check refused since the last call: their folders' listings are dropped.
    std::vector<DeferredRenameFailure> TakeRenameFailures(bool wait);
    // Called on the rename thread now and then: reads the reports that came (most of them of
    // its renames) into memory, which the next lookup takes before reading the notifier, so that
    // the caller's thread is spared the reading. Nothing when that thread is reading them.
    void ReadReportsAhead();
    // Waits for every rename handed to the queue; the failures are kept for TakeRenameFailures.
    void WaitForRenames();

    // Our own rename of a file that CanTakeFileRename allowed: the listings take it over, their
    // folders' new stats are left unasked, and the two reports the rename makes are expected
    // and passed over when they are taken. Where a listing stopped being known current
    // meanwhile, it is dropped instead.
    void FileRenamed(const FileRenameTicket& ticket);

    // Whether the host folder, as every change reported by now leaves it, holds another name
    // alike but for letter case beside `name`: its listing is read again where a report made it
    // no longer known current.
    bool TwinBeside(const QString& hostFolder, const QString& name);

    // Whether the cache holds a listing of the host folder that is known current (the folder
    // exists as a folder).
    bool IsListedFolder(const QString& hostFolder);

    void Clear();

    // Begins (or ends) a run of lookups in which the reports are taken once only (and again
    // every few milliseconds in a long run).
    void TakeReportsOnce(bool begin);
    // Within such runs, the next lookup takes the reports again.
    void TakeReportsAgain();

    // A number that moves on with every report taken and every listing read, changed or
    // dropped: while it stays the same, every listing known current is as it was. The reports
    // that arrived are taken first.
    quint64 Changes();

    // A number that moves on with every report of an entry made, removed or renamed (a folder, a
    // link, a file) that this program's own changes do not explain, and whenever reports were
    // lost: while it stays the same, no folder or link on any watched way was put in place of
    // another. Takes the reports as a lookup does (once in a run, again every few
    // milliseconds).
    quint64 OtherEntryChanges();

    qint64 Reads();

    // Whether folders below a drive root can be watched for changes.
    bool Watchable(const QString& root);

private:
    struct KnownFolder {
        QString root; // the drive's host root when it was resolved
        QString host; // empty: the folder is missing
        quint64 generation = 0;
        // The folder's listing (for a missing folder, the listing on the way that lacked the
        // name `missing`). Every removal of a listing moves the generation on, so the pointer
        // is good while the generation is the same.
        FolderListing* listing = nullptr;
        QString missing;
    };

    // Walk, called under the lock.
    bool WalkLocked(const QString& path, const QString& root, const QStringList& components,
                    bool forCreate, bool knownOnly, ResolvedPath* out, int* error, bool* failed);

    // The host folder of an existing Windows-form folder, found in its parent remembered as
    // spelled, else by a walk through the listings (read where needed) when its drive's folders
    // are watched; `missing` is set when the walk found the folder missing. Called under the lock.
    bool HostFolderOf(const QString& windowsFolder, QString* hostFolder, bool* missing);

    // Takes a listing that a prefetch read into the cache, unless the read failed, a listing
    // known current came meanwhile or the cache is full; gives the listing taken in, else none.
    // Called under the lock.
    FolderListing* TakeRead(const QString& hostFolder, FolderRead& read);

    // The end of a prefetch's reading (it no longer counts as one): the reports kept for its
    // watches are taken when no other prefetch reads. Called under the lock.
    void EndPrefetch();

    // The answers of a find in a folder whose listing is known current, for each key: those kept,
    // else made from the listing (and kept when they rest on it alone). Called under the lock.
    void AnswerFromListing(const QString& hostFolder, FolderListing* listing,
                           const QStringList& keys, const FindAnswerMaker& make,
                           FolderFinds* finds);

    // A folder as spelled that is remembered with its listing, still good and known current.
    const KnownFolder* RememberedFolder(const QString& windowsFolder) const;

    // Remembers a folder as spelled, resolved to the host folder (empty: missing) of the drive's
    // host root under the current generation, with its listing.
    void Remember(const QString& windowsFolder, const QString& root, const QString& hostFolder,
                  FolderListing* listing, const QString& missing = QString());

    // The host folder of a folder as spelled, found in its remembered parent as ResolvePath would
    // find it; false when the parent is not remembered or the folder is not there.
    bool RememberedHost(const QString& windowsFolder, QString* hostFolder);

    // Remembers a folder as spelled, resolved to the host folder under the current generation,
    // with its listing.
    void RememberListing(const QString& windowsFolder, const QString& hostFolder,
                         FolderListing* listing);

    // Remembers the host folder of the path's folder as spelled (an empty one: the folder is
    // missing), when the path's last part is the last component (no "." or ".." or trailing
    // separator to apply).
    void RememberFolder(const QString& path, const QString& last, const QString& root,
                        const QString& hostFolder, FolderListing* listing,
                        const QString& missing = QString());

    // The remembered folder of the path, still good, with its listing (known current), the
    // path's last part and the name that part found there (empty when missing). A folder that
    // is missing, or a name that is missing or ambiguous while `forCreate` is clear, sets
    // `failed` and the error. Null when the folder is not remembered so (or is missing while
    // `forCreate` is set): the caller resolves as usual. `name` is a view of the path's own
    // characters, good while the path lives: asked for every file a job moves, it is not copied.
    // The name's kind, twins and kept stat as MatchName gives them. Called under the lock.
    const KnownFolder* LookUpRemembered(const QString& path, bool forCreate,
                                        FolderListing** listing, QString* name, QString* found,
                                        int* error, bool* failed, EntryKind* kind = nullptr,
                                        bool* twinned = nullptr, const struct stat** st = nullptr);

    // The remembered folder as spelled, still of the current generation (its listing may have
    // stopped being known current); null when there is none. The pointer is good until the next
    // call or the next folder remembered.
    const KnownFolder* LastFolder(QStringView windowsFolder);
    // The same among the copies LastFolder found last only, which costs no hashing.
    const KnownFolder* RecentFolderOf(QStringView windowsFolder) const;

    // A folder as spelled that is not remembered, whose parent folder is (with its listing known
    // current): found in the parent's listing as the walk from the root would find it, and
    // remembered so (also as missing); null when it cannot be so (it is then resolved as usual).
    // With `readListing` a folder whose listing is not in the cache (one just made, say) has it
    // read (taking it in may let every other listing go when the cache is full).
    const KnownFolder* RememberInParent(QStringView windowsFolder, bool readListing = false);

    // Remembers how a path resolved, for the next lookup of it while nothing changed.
    void KeepResolved(const QString& path, bool forCreate, const QString& root,
                      const ResolvedPath& out);

    // The listing of a folder when it is known current, else none.
    FolderListing* Known(const QString& hostFolder);

    // The listing of a folder, known current, that holds the name; else none.
    FolderListing* ListingOf(const QString& hostFolder, const QString& name);

    FolderListing* Listing(const QString& hostFolder);
    // Listing of a folder given as a part of a path, which is copied only when the folder is not
    // among the recent listings.
    FolderListing* Listing(QStringView hostFolder);

    // The listing of a listed folder's parent folder, when the cache holds one; the last few
    // found are remembered by the folder's listing while no listing is removed.
    FolderListing* ParentListing(const FolderListing* listing, QStringView hostFolder);

    // Stat of the entry `name` of the host folder, whose host path is `hostPath`: from the cache
    // where it may answer, else from the disk by the host path.
    bool StatEntry(const QString& hostFolder, const QString& name, const QString& hostPath,
                   bool followLinks, struct stat* st, int* error);

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
    // its changes are not reported in this folder. Renames in flight in the listing's folder (in
    // any folder, without a listing) are waited for first.
    bool StatDisk(FolderListing* listing, const QString& name, int folder, const QByteArray& path,
                  bool followLinks, struct stat* st, int* error);

    // The stats of the entries at `asked`, from the disk; a single name is asked by its path,
    // since opening the folder would cost more than it spares.
    static void StatOnDisk(const QString& hostFolder, FolderListing* known,
                           std::vector<ListedEntry>* entries,
                           const std::vector<std::size_t>& asked);

    // The listing of a folder, read again when the folder's stamp changed. Called under the lock;
    // the pointer is good until the next change of the cache.
    FolderListing* Current(const QString& hostFolder, int* error);

    // Takes a listing just read in as the folder's, in place of any earlier one.
    FolderListing* Insert(const QString& hostFolder, FolderListing&& listing);
    // The same when the folder's listing (`old`, none when there is none) was just looked up.
    FolderListing* Insert(const QString& hostFolder, FolderListing&& listing, FolderListing* old);

    // ---- Change reports (foldercachereports.cpp) ----

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
    // The same, of a folder whose listing is at hand.
    void SubFolderChanged(const FolderListing* listing, QStringView hostFolder);

    // The folder and every cached folder below it.
    void MarkTree(const QString& hostFolder);

    void Drop(const QString& hostFolder);

    // Whether the cache holds a listing of the folder, for keys_.
    bool Holds(const QString& hostFolder) const;

    void ClearAll();

    struct PendingReport {
        int watch;
        quint32 mask;
        QString name;
    };

    // ---- Renames handed to a queue ----

    // FileRenamed, called under the lock; `seq` is the rename's in the queue (0: made already).
    void TakeRename(const FileRenameTicket& ticket, quint64 seq);

    // Waits for the renames in flight in or out of the folder, and (with `settle`) takes the
    // failures that came. Called under the lock before anything of the folder is looked up.
    void WaitForFolder(const QString& hostFolder, bool settle);
    // Waits for the renames in flight in or out of the folders, for reading them outside the lock.
    void WaitForFolders(const QStringList& hostFolders);
    // The number of the last rename done, counted over every queue so far, and the wait for one.
    quint64 DoneSeq() const;
    void WaitForSeq(quint64 seq);
    // Waits for every rename in flight (nothing else: listings stay as they are).
    void WaitForQueue();
    // Takes the failures the queue reported: their listings are dropped, their expected
    // reports forgotten, and they are kept for TakeRenameFailures with the renames that another
    // program's change reported amid them. What is kept of the renames done and reported is let
    // go of.
    void SettleFailures();
    // Another program's change, reported before the reports of a rename handed to the queue that
    // it concerns (the reports come in the order of the changes): a name alike made at the
    // rename's target, or a change of the attributes of its source. Noted for the rename.
    void NoteChangeAmidRenames(int watch, quint32 mask, const QString& name);
    // Reports were lost, among them perhaps that of a name alike made at the target of a rename
    // handed to the queue: once every rename handed over is made, the target folders of those
    // whose reports were not all taken are read again, and a name alike beside the file is noted
    // for its rename as its report would have been.
    void LookForTwinsAfterLostReports();

    struct InFlight {
        quint64 seq;
        QString fromFolder; // host folders
        QString toFolder;
        QString toName; // the host name at the target
        QString source; // Windows form
        QString target;
    };

    QMutex mutex_;
    FolderWatches watches_;
    ExpectedReports expected_;
    RenameQueue* queue_ = nullptr;
    quint64 seqBase_ = 0; // the renames of the queues before this one
    std::deque<InFlight> inFlight_;
    std::vector<DeferredRenameFailure> failures_;
    // The last rename whose reports have all been taken.
    quint64 reportedSeq_ = 0;
    struct Afterthought {
        quint64 seq;
        AfterRename what;
    };
    std::vector<Afterthought> afterthoughts_;
    // Node-based, so that a listing stays where it is while others are added.
    std::unordered_map<FolderKey, FolderListing, FolderKeyHash> entries_;
    // The last two paths ResolveRemembered resolved (the latest first), good while neither number
    // moved on.
    struct LastResolved {
        QString path;
        bool forCreate = false;
        quint64 changes = ~quint64(0);
        quint64 generation = ~quint64(0);
        QString root;
        ResolvedPath out;
    };
    std::array<LastResolved, 2> lastResolved_;
    // The listings last found by Listing, forgotten whenever a listing is removed.
    struct RecentListing {
        QString folder;
        FolderListing* listing = nullptr;
    };
    std::array<RecentListing, 4> recent_{};
    // Parents that ParentListing found last, good while the generation is the same (every
    // removal of a listing moves it on).
    struct KnownParent {
        const FolderListing* listing = nullptr;
        FolderListing* parent = nullptr;
        quint64 generation = 0;
    };
    std::array<KnownParent, 2> parents_{};
    FolderOrder keys_; // the folders of entries_, in order, for the folders below one
    // Folders as callers spell them (with the drive) and their host folders, good while the
    // generation is the same: it moves on whenever a listing changes or may have changed.
    QHash<QString, KnownFolder> knownFolders_;
    // Copies of the entries of knownFolders_ that LastFolder found last, the latest first; each
    // forgotten when its folder is remembered anew, all when every folder is forgotten.
    struct RecentFolder {
        QString folder;
        KnownFolder known;
    };
    std::array<RecentFolder, 4> lastFolders_{};
    quint64 generation_ = 0;
    int prefetching_ = 0;    // prefetches reading outside the lock
    int takeOnce_ = 0;       // runs of lookups that take the reports once
    bool takenOnce_ = false; // and whether they took them already
    qint64 takenAtMs_ = 0;   // and when
    quint64 changes_ = 0;
    // Reports of changes of folders' entries that this program did not make (see
    // OtherEntryChanges).
    quint64 otherEntryChanges_ = 0;
    std::vector<PendingReport> pending_;
    qint64 reads_ = 0;
};

} // namespace qv
