// Finding the host file behind a Windows-form path: each component is looked up without regard to
// letter case (the exact name first, else the one name that matches when case is folded), through
// folder listings that are kept while the folder's change time stays the same. Error codes are
// errno values throughout, so callers can show them as "... : [n]".
#pragma once

#include <QString>
#include <QStringList>
#include <cerrno>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace qv {

class RenameQueue;

// What a folder listing tells of an entry: a folder, some other entry that is no link (a regular
// file, a device, ...), or nothing certain (a link, a file system that does not tell, or a name
// this program added itself), which only a stat settles.
enum class EntryKind : quint8 { Unknown, Folder, File };

// Two host names in one folder differ only in letter case, and neither is the exact name asked for.
constexpr int kFsAmbiguous = ENOTUNIQ;
// The path's drive letter is not in the drive map.
constexpr int kFsNoDrive = ENODEV;
// The text is not a full Windows path ("X:\...").
constexpr int kFsBadPath = EINVAL;
// The entry is no regular file (a named pipe, a device, a socket): never read.
constexpr int kFsNotRegular = ESPIPE;

// The text of an error code for messages.
QString FsErrorText(int code);

// The folder of a host path ("/" for an entry of the root folder).
QString HostParentOf(const QString& hostPath);

// Sets the error (when asked for) and gives false: the way every call here fails.
inline bool SetFsError(int* error, int code) {
    if (error)
        *error = code;
    return false;
}

struct ResolvedPath {
    QString host;         // the host path: what exists resolved, the rest appended as given
    QString existingHost; // the longest part of `host` that exists
    bool exists = false;  // every component was found
};

// The host path of an existing entry; false with ENOENT, kFsAmbiguous, ENOTDIR, ... otherwise.
bool ResolvePath(const QString& path, QString* hostPath, int* error = nullptr);
// Resolves the longest existing prefix and appends the rest as given, for creating an entry; an
// entry that exists in another letter case resolves to that entry (`exists` is then true).
bool ResolvePathForCreate(const QString& path, ResolvedPath* resolved, int* error = nullptr);
// The host path of a Windows-form path as the user finds it on disk: the existing part in the
// letter case found, the rest as given; the drive map's literal mapping when nothing resolves.
QString HostPathOf(const QString& windowsPath);

// lstat, or with followLinks stat, of a host path that ResolvePath has just given; a file whose
// folder is watched is answered from the cache while no write or attribute change of it was
// reported up to that lookup. False with the errno.
bool HostStat(const QString& hostPath, bool followLinks, struct stat* st, int* error = nullptr);
// ResolvePath followed by HostStat of what it found, with the folder's listing looked up once;
// `hostPath` (or none) receives the host path.
bool ResolvePathStat(const QString& path, bool followLinks, QString* hostPath, struct stat* st,
                     int* error = nullptr);
// What the folder cache knows of an entry without asking the disk: a file (any entry that is
// neither a folder nor a link), a real folder, missing (with the error), or nothing certain,
// when the caller asks the disk.
// `twinned` (when given) receives whether the entry's folder holds another name alike but for
// letter case beside it (with an answer other than Unknown).
enum class ListedKind { Unknown, Missing, File, Folder };
ListedKind ListedKindOf(const QString& path, int* error = nullptr, bool* twinned = nullptr);
// True when the folder (a Windows-form path) was among the last few found as folders of other
// paths, with its listing known current and nothing on the way changed since: it exists as a
// folder. False tells nothing.
bool RecentlyFoundFolder(const QString& windowsFolder);

// What a stat of a name in a folder found: its lstat and, for a link that leads somewhere, the
// stat of what it points to.
struct HostEntryStat {
    bool exists = false; // false: the name is gone (or cannot be asked)
    struct stat st {};
    bool hasTarget = false;
    struct stat target {};
};

// A name of a folder listing as ListFolder gives it.
struct ListedEntry {
    QString name;
    EntryKind kind{}; // what the listing told of it
    // For a name asked with its stat only, what HostStat would give (not following links): a
    // listing of thousands of names that were not asked would otherwise carry two stats for each.
    std::unique_ptr<HostEntryStat> stat;
};
enum class ListChoice { Skip, Take, TakeWithStat };
using ListChooser = std::function<ListChoice(const QString& name, EntryKind kind)>;
// The names of a host folder (no "." and "..", in the order FindEntries lists them: without
// regard to case, then exactly) that `choose` takes,
// with the kind the listing told of each, and for those taken with their stat the HostStat of
// the name (and of a link's target), answered from the cache under its rules where it may, the
// others asked relative to one open handle of the folder. The host folder is one that
// ResolvePath has just given. `state` (when given) receives the state of the listing when the
// entries came from the cache alone (or from stats it kept on the way), else 0.
bool ListFolder(const QString& hostFolder, const ListChooser& choose,
                std::vector<ListedEntry>* entries, int* error = nullptr, quint64* state = nullptr);
// A find's answer (names and times) made under a key of its own from the entries ListFolder gave
// with a state, for a Windows-form folder that ResolvePath resolved to the host folder: the
// listing keeps it while it stays in that state, and KeptFolderAnswer gives it again for the
// folder as spelled and the key, without the folder being resolved or its names looked at
// again, while the listing is known current and nothing on the way to it changed. `generation`
// is what KeptFolderAnswer gave just before the folder was resolved.
void KeepFolderAnswer(const QString& windowsFolder, const QString& hostFolder, quint64 generation,
                      quint64 state, const QString& key, const QStringList& names,
                      const QList<qint32>& times);
// Takes the reports of changes first, as ResolvePath does. `hostFolder` receives the folder's
// host path when the cache knows it as ResolvePath would give it (else it is left empty for the
// caller to resolve); with an answer it is always known.
bool KeptFolderAnswer(const QString& windowsFolder, const QString& key, QStringList* names,
                      QList<qint32>* times, quint64* generation, QString* hostFolder);

class FolderListing;

// A find's answer: the names found and their packed write times.
struct FindAnswer {
    QStringList names;
    QList<qint32> times;
};
// What FindInFolders learnt of one folder: its host path and one answer per key, or nothing
// (`known` false) when the caller is to find in it as usual.
struct FolderFinds {
    bool known = false;
    QString host;
    std::vector<FindAnswer> answers;
};
// Makes one answer per key from a folder's listing, whose names are in order. True when the
// answers rest on the listing alone (every stat they needed was one the listing kept). Called on
// several threads at once, each with a listing no other thread uses.
using FindAnswerMaker = std::function<bool(const QString& hostFolder, FolderListing& listing,
                                           std::vector<FindAnswer>* answers)>;
// Finds in many Windows-form folders at once, as KeptFolderAnswer and KeepFolderAnswer would for
// each folder and key: answers kept are given again, folders whose listings are known current are
// answered from them, and the others (found in a parent remembered as spelled) are read, stat'ed
// and answered on the worker threads, and their listings kept. A folder the cache cannot resolve
// so, or that cannot be read, is left to the caller. `taken` (when given) is called on the calling
// thread with the place of each folder whose finds are known as soon as they are, so that the
// caller's own work on them goes on while the others are still being read.
void FindInFolders(const QStringList& windowsFolders, const QStringList& keys,
                   const FindAnswerMaker& make, std::vector<FolderFinds>* found,
                   const std::function<void(std::size_t)>& taken = nullptr);

// Reads the listings of the host folders that are not known current, several at a time, into
// the folder cache, so that the finds that follow are answered from it. Errors are not reported
// here: a folder that cannot be read is left for the later find to report. With `withFileStats`
// the regular files of each folder are stat'ed as well, as HostStat would keep them.
void PrefetchFolderListings(const QStringList& hostFolders, bool withFileStats);
// PrefetchFolderListings of Windows-form folders; those that do not resolve are left out.
void PrefetchFolders(const QStringList& windowsFolders, bool withFileStats);

// Tells the cache that this layer is about to change a host folder (it drops a listing that is
// no longer current); FolderChanged then records the change.
void BeforeFolderChange(const QString& hostFolder);
// What a change of ours was, where the report it makes can be told from others' reports: a folder
// made or removed, a file (or link) deleted. Other changes are learnt of from their reports as
// anyone's are.
enum class OwnChange { Other, FolderMade, FolderRemoved, FileDeleted };
// Tells the cache of a change made in a host folder (a name added, one removed, or neither when
// only the folder's time changed); this layer calls it after each change it makes.
void FolderChanged(const QString& hostFolder, const QString& addedName,
                   const QString& removedName = QString(), OwnChange change = OwnChange::Other);
// A file rename that the listings of both folders take over as it is made: the host folders and
// the names (whoever renames makes the paths: mostly the rename thread, not the thread that
// decides), and the two listings as found, with the cache's number of changes then (while it
// stands, the listings are still there and known current).
struct FileRenameTicket {
    QString oldFolder;
    QString newFolder;
    QString oldName;
    QString newName;
    FolderListing* source = nullptr;
    FolderListing* target = nullptr;
    quint64 changes = 0;
    // The source's stat was not kept: the rename is to check that it is a regular file its
    // owner may write (only while renames are deferred).
    bool checkFile = false;
};
// Whether the rename of the file at the host path `oldHost` to `newHost` (in another folder or
// the same) can be taken over by FileRenamed without asking the disk: both folders' listings are
// known current and the first tells that the name is a file. The caller then makes no
// BeforeFolderChange.
bool CanTakeFileRename(const QString& oldHost, const QString& newHost, FileRenameTicket* ticket);
// CanTakeFileRename of a regular file given by Windows-form paths: the source, and the target's
// folder and name, which the file takes in its own letter case. Settled when the listings of both
// folders as spelled settle it (the source a regular file its owner may write, the target's folder
// there and no name alike in it): the ticket then holds both host folders and names. FolderMissing
// when all is settled but that the target's folder is known to be missing. NotSettled tells
// nothing.
enum class ListedTarget { Settled, FolderMissing, NotSettled };
ListedTarget CanTakeListedRename(const QString& source, const QString& target,
                                 FileRenameTicket* ticket);
// Tells the cache of a file rename that CanTakeFileRename or CanTakeListedRename allowed, made
// just now.
void FileRenamed(const FileRenameTicket& ticket);
// A rename that RenameListedFile handed to the rename thread and that failed with `error`, or
// that was not made since the source was no regular file its owner may write (`notSettled`).
// What the change reports told of another program's change in the moment of a rename that was
// made: a name alike but for letter case made at the target just before the file went there, or
// the source's attributes changed just before it went.
enum class AfterRename { Nothing, TwinAtTarget, SourceChanged };
struct DeferredRenameFailure {
    QString source; // Windows form
    QString target; // as renamed to
    int error = 0;
    bool notSettled = false;
    AfterRename after = AfterRename::Nothing; // set: the rename was made
};
// While one lives, RenameListedFile hands each rename it settled to a thread of its own and
// returns at once, the listings taking the rename over as if made; the renames are made in the
// order given. Whatever else looks at the disk through this layer, or changes it, waits first
// for the renames in flight it could see (a move phase's lookups in between are answered from
// the listings). Ending waits for every rename; failures not taken by then are forgotten.
class DeferredRenames {
public:
    DeferredRenames();
    ~DeferredRenames();
    DeferredRenames(const DeferredRenames&) = delete;
    DeferredRenames& operator=(const DeferredRenames&) = delete;

private:
    std::unique_ptr<RenameQueue> queue_;
};
// The renames handed over that failed since the last call, after waiting for all (`wait`) or
// only those known by now; their folders' listings are read again when next asked.
std::vector<DeferredRenameFailure> TakeDeferredRenameFailures(bool wait);
// Waits for every rename handed over (nothing when none is deferred); failures are kept for
// TakeDeferredRenameFailures.
void WaitForDeferredRenames();
// Hands a rename that CanTakeListedRename settled to the rename thread, with the listings taking
// it over as made; false (nothing done) when renames are not deferred.
bool QueueListedRename(const FileRenameTicket& ticket, const QString& source,
                       const QString& renamedTo);
// Whether the host folder, as every change reported by now leaves it, holds another name alike
// but for letter case beside `name`. Asked after a rename of ours, which RENAME_NOREPLACE lets
// through beside a name another program made in another letter case just before.
bool TwinBeside(const QString& hostFolder, const QString& name);
// True when the cache holds a listing of the host folder that is known current, so that the
// folder exists; false tells nothing.
bool IsListedFolder(const QString& hostFolder);
// Forgets the cached listing of a host folder.
void InvalidateFolder(const QString& hostFolder);
// Forgets every cached listing.
void ClearFolderCache();

// While one lives, the cache takes the reports of changes once, at the first lookup, instead of
// at every lookup (and again when a few milliseconds have passed): for a run of lookups that
// changes nothing but through this layer, such as the listing of thousands of folders or the
// moves of a job, where a change reported meanwhile is no later than one made a moment after.
class ReportsTakenOnce {
public:
    ReportsTakenOnce();
    ~ReportsTakenOnce();
    ReportsTakenOnce(const ReportsTakenOnce&) = delete;
    ReportsTakenOnce& operator=(const ReportsTakenOnce&) = delete;
    // The run waited (for the user, or for a file held open): the next lookup takes the reports
    // once more.
    static void Again();
};
// How many times a folder was read from the disk since the program started (tests count rescans).
qint64 FolderReadCount();

// A number that moves on with every change the folder cache learns of (reports of changes are
// taken first) and every listing it reads, changes or drops: while it stays the same, what the
// cache answers without asking the disk stays the same.
quint64 FolderCacheChanges();
// A number that moves on with every report of an entry made, removed or renamed that this
// program's own changes do not explain (another program's, a link put in place of a folder), and
// whenever reports were lost. Reports are taken as a lookup takes them.
quint64 OtherEntryChanges();
// How many questions the path layer asked the disk since the program started: a run of lookups
// that asked none was answered from listings known current, which every change is reported to.
quint64 PathLayerDiskAsks();

} // namespace qv
