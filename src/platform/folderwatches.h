// The change watches of the folder cache: the inotify notifiers its folders are watched through,
// which host folders each watch reports for, which file systems report every change, and the
// reading of the reports the notifiers queue (also ahead, on the rename thread). What the reports
// mean to the listings is the cache's (foldercachereports.cpp).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <sys/inotify.h>
#include <sys/types.h>
#include <vector>

namespace qv {

// Every change of a folder's entries, attributes or place.
// Writes and attribute changes of the files in it keep their known stats current.
constexpr quint32 kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                               IN_MODIFY | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// How many notifiers folders read together are watched through: four threads adding watches
// through four took a fifth of the time eight took through one, and each is one of the few
// inotify instances the system gives a user.
constexpr std::size_t kWatchGroups = 4;

// The host folders a watch reports for: one nearly always (two paths reach one folder only
// through a link), which then takes no list of its own.
struct WatchFolders {
    QString first; // empty: none
    QStringList more;
    bool Has(const QString& folder) const { return first == folder || more.contains(folder); }
};

// Called under the folder cache's lock, but for ReadReportsAhead, which takes a lock of its own
// (the notifiers' numbers and the reports read ahead are guarded by it for the rename thread).
class FolderWatches {
public:
    // Whether folders below a drive root can be watched for changes.
    bool Watchable(const QString& root);

    // A watch on the folder for the listing under this name, or -1 when the folder cannot be
    // watched (its listing then compares its stamp at every use).
    int Watch(const QByteArray& encoded, const QString& hostFolder);

    // The change notifier, made at its first use; -1 when there can be none.
    int Notifier();
    // The notifiers of folders read together: the first and a few more, made at their first use
    // (fewer when the system gives no more); empty when there can be none.
    std::vector<int> GroupNotifiers();
    // Whether there is no notifier (yet): no report can have come.
    bool None() const { return notifiers_.empty(); }
    // A number that moves on when the notifiers are closed.
    quint64 Epoch() const { return epoch_; }

    // One folder reached by two paths (through a link) has one watch for both listings.
    void Register(int watch, const QString& hostFolder);
    // The watch a folder keeps: none on a file system that does not report every change.
    int KeepWatch(const QString& hostFolder, int watch, dev_t device);
    void Unwatch(const QString& hostFolder, int watch);
    // The folders a watch reports for; null when it is not known.
    const WatchFolders* FoldersOf(int watch) const;
    // The kernel dropped the watch: it reports for no folder any more.
    void Forget(int watch) { foldersByWatch_.remove(watch); }
    // Room for `more` watches, grown once rather than rehashed again and again.
    void Reserve(qsizetype more) { foldersByWatch_.reserve(foldersByWatch_.size() + more); }

    // Every report queued by now: those read ahead first, then every one the notifiers hold,
    // each with its watch as WatchOf numbers it.
    QByteArray TakeReports();
    // Called on the rename thread now and then: reads the reports that came into memory, which
    // TakeReports gives before reading the notifiers. Nothing when they are being taken.
    void ReadReportsAhead();

    // Closing the notifiers drops every watch at once.
    void CloseAll();

private:
    // Makes one more notifier; false when the system gives none. Called under reportsMutex_.
    bool AddNotifier();
    // Whether the file system of a device reports every change; asked once per device.
    bool DeviceReportsEveryChange(dev_t device, const QString& hostFolder);
    // Appends every report the notifiers have queued; called under reportsMutex_.
    void AppendReports(QByteArray* reports);
    void AppendReports(std::size_t group, QByteArray* reports);

    QMutex reportsMutex_;
    QByteArray readAhead_;
    QHash<int, WatchFolders> foldersByWatch_;
    QHash<QString, bool> watchableRoots_;
    QHash<quint64, bool> reportingDevices_;
    std::vector<int> notifiers_; // the first watches single folders; all, folders read together
    bool notifierFailed_ = false;
    quint64 epoch_ = 0;
};

// Tests only: while set, every report read is lost, as when the kernel's queue of them is full,
// and one report that reports were lost is given in their place.
void LoseChangeReportsForTests(bool lose);

} // namespace qv
