#include "platform/winresolve.h"

#include "platform/drivemap.h"
#include "platform/foldercache.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qv {

namespace {

FolderCache& Cache() {
    static FolderCache cache;
    return cache;
}

bool Resolve(const QString& path, bool forCreate, ResolvedPath* out, int* error) {
    // A file in a folder resolved a moment ago: the folder's listings are all still known.
    bool failed = false;
    if (Cache().ResolveRemembered(path, forCreate, out, error, &failed))
        return !failed;

    QChar drive;
    QStringList components;
    if (!SplitWindowsPath(path, &drive, &components))
        return SetFsError(error, kFsBadPath);
    const QString root = TheDriveMap().HostRoot(drive);
    if (root.isEmpty())
        return SetFsError(error, kFsNoDrive);

    // Every folder on the way already listed and unchanged: no need to ask the disk.
    if (Cache().Walk(path, root, components, forCreate, true, out, error, &failed))
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
    Cache().Walk(path, root, components, forCreate, false, out, error, &failed);
    return !failed;
}

} // namespace

QString HostParentOf(const QString& hostPath) {
    const qsizetype slash = hostPath.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : hostPath.left(slash);
}

QString FsErrorText(int code) {
    switch (code) {
    case kFsAmbiguous:
        return QCoreApplication::translate("FileSystem",
                                           "Two names in the folder differ only in letter case");
    case kFsNoDrive:
        return QCoreApplication::translate("FileSystem", "No such drive");
    case kFsNotRegular:
        return QCoreApplication::translate("FileSystem", "Not a regular file");
    default:
        return QString::fromLocal8Bit(strerror(code));
    }
}

QString HostPathOf(const QString& windowsPath) {
    if (windowsPath.isEmpty())
        return QString();
    QString host;
    if (ResolvePath(windowsPath, &host))
        return host;
    ResolvedPath resolved;
    if (ResolvePathForCreate(windowsPath, &resolved))
        return resolved.host;
    return TheDriveMap().ToHost(windowsPath);
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

ListedKind ListedKindOf(const QString& path, int* error, bool* twinned) {
    EntryKind kind = EntryKind::Unknown;
    bool failed = false;
    int code = 0;
    if (!Cache().KindRemembered(path, &kind, &code, &failed, twinned))
        return ListedKind::Unknown;
    if (failed) {
        SetFsError(error, code);
        return ListedKind::Missing;
    }
    return kind == EntryKind::Folder ? ListedKind::Folder : ListedKind::File;
}

bool RecentlyFoundFolder(const QString& windowsFolder) {
    return Cache().FoundRecently(windowsFolder);
}

bool ListFolder(const QString& hostFolder, const ListChooser& choose,
                std::vector<ListedEntry>* entries, int* error, quint64* state) {
    int code = 0;
    return Cache().List(hostFolder, choose, entries, &code, state) ? true : SetFsError(error, code);
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

void FindInFolders(const QStringList& windowsFolders, const QStringList& keys,
                   const FindAnswerMaker& make, std::vector<FolderFinds>* found,
                   const std::function<void(std::size_t)>& taken) {
    Cache().FindInFolders(windowsFolders, keys, make, found, taken);
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

void FolderChanged(const QString& hostFolder, const QString& addedName, const QString& removedName,
                   OwnChange change) {
    Cache().Changed(hostFolder, addedName, removedName, change);
}

bool CanTakeFileRename(const QString& oldHost, const QString& newHost, FileRenameTicket* ticket) {
    return Cache().CanTakeFileRename(oldHost, newHost, ticket);
}

ListedTarget CanTakeListedRename(const QString& source, const QString& target,
                                 FileRenameTicket* ticket) {
    return Cache().CanTakeListedRename(source, target, ticket);
}

void FileRenamed(const FileRenameTicket& ticket) {
    Cache().FileRenamed(ticket);
}

namespace {

// Whether renames are deferred, for the calls that ask without the cache's lock.
std::atomic<bool> renamesDeferred{false};

} // namespace

DeferredRenames::DeferredRenames()
    : queue_(std::make_unique<RenameQueue>([] { Cache().ReadReportsAhead(); })) {
    Cache().DeferRenames(queue_.get());
    renamesDeferred = true;
}

DeferredRenames::~DeferredRenames() {
    renamesDeferred = false;
    Cache().DeferRenames(nullptr);
}

bool QueueListedRename(const FileRenameTicket& ticket, const QString& source,
                       const QString& renamedTo) {
    if (!renamesDeferred)
        return false;
    Cache().QueueRename(ticket, source, renamedTo);
    return true;
}

std::vector<DeferredRenameFailure> TakeDeferredRenameFailures(bool wait) {
    if (!renamesDeferred)
        return {};
    return Cache().TakeRenameFailures(wait);
}

void WaitForDeferredRenames() {
    if (renamesDeferred)
        Cache().WaitForRenames();
}

bool TwinBeside(const QString& hostFolder, const QString& name) {
    return Cache().TwinBeside(hostFolder, name);
}

bool IsListedFolder(const QString& hostFolder) {
    return Cache().IsListedFolder(hostFolder);
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

void ReportsTakenOnce::Again() {
    Cache().TakeReportsAgain();
}

qint64 FolderReadCount() {
    return Cache().Reads();
}

quint64 FolderCacheChanges() {
    return Cache().Changes();
}

quint64 OtherEntryChanges() {
    return Cache().OtherEntryChanges();
}

} // namespace qv
