// The change reports of the folder cache: taking the reports the watches queued, passing over
// those our own changes were expected to make, and sending the listings that others' changes
// concern back to the stamp test.
#include "platform/foldercache.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <sys/inotify.h>

namespace qv {

namespace {

// Reports about a file's content or attributes, which leave the folder's own stamp as it was.
constexpr quint32 kFileOnlyEvents = IN_MODIFY | IN_ATTRIB;
// How often a run that takes the reports once takes them again: soon enough that the reports of
// thousands of its own renames never fill the kernel's queue.
constexpr qint64 kRetakeMs = 5;

// The name a report carries. Two reports come for every file a move renames; a plain ASCII name
// needs no converter.
QString ReportedName(const char* name) {
    const std::size_t size = std::strlen(name);
    for (std::size_t i = 0; i < size; ++i)
        if (static_cast<unsigned char>(name[i]) >= 0x80)
            return QFile::decodeName(name);
    return QString::fromLatin1(name, qsizetype(size));
}

} // namespace

void FolderCache::ReadReportsAhead() {
    watches_.ReadReportsAhead();
}

void FolderCache::TakeReportsOnce(bool begin) {
    QMutexLocker lock(&mutex_);
    takeOnce_ += begin ? 1 : -1;
    if (takeOnce_ == 0)
        takenOnce_ = false;
}

void FolderCache::TakeReportsAgain() {
    QMutexLocker lock(&mutex_);
    takenOnce_ = false;
}

quint64 FolderCache::OtherEntryChanges() {
    QMutexLocker lock(&mutex_);
    TakeReports();
    return otherEntryChanges_;
}

quint64 FolderCache::Changes() {
    QMutexLocker lock(&mutex_);
    TakeReports(true);
    return changes_;
}

void FolderCache::TakeReports(bool always) {
    if (watches_.None())
        return;
    if (takeOnce_ > 0 && !always) {
        // A long run still takes them now and then, so that neither a change made meanwhile
        // nor the reports of its own changes wait long.
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
        const qint64 nowMs = qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
        if (takenOnce_ && nowMs - takenAtMs_ < kRetakeMs)
            return;
        takenOnce_ = true;
        takenAtMs_ = nowMs;
    }
    // The reports of the renames done by now are all queued before this read.
    const quint64 done = queue_ ? DoneSeq() : 0;
    const QByteArray reports = watches_.TakeReports();
    // Reports are whole and padded to a multiple of their header's size, so that each one read
    // starts aligned.
    for (qsizetype at = 0; at + qsizetype(sizeof(inotify_event)) <= reports.size();) {
        const auto* event = reinterpret_cast<const inotify_event*>(reports.constData() + at);
        at += qsizetype(sizeof(inotify_event) + event->len);
        // Most reports are of our own renames, expected and passed over unconverted.
        if (event->len > 0 &&
            expected_.ExpectedName(event->wd, event->mask, event->name, queue_ != nullptr))
            continue;
        TakeReport(event->wd, event->mask, event->len > 0 ? ReportedName(event->name) : QString());
    }
    // Every report of our changes so far has been read: what is still expected is not, but for
    // the renames still in flight.
    expected_.ForgetDone(done, queue_ != nullptr);
    reportedSeq_ = std::max(reportedSeq_, done);
}

void FolderCache::TakeReport(int watch, quint32 mask, const QString& name) {
    if (expected_.Expected(watch, mask, name, queue_ != nullptr))
        return;
    if (queue_ && !name.isEmpty())
        NoteChangeAmidRenames(watch, mask, name);
    ++changes_;
    if (mask & IN_Q_OVERFLOW) {
        ++otherEntryChanges_;
        expected_.Forget();
        // Reports were lost: every listing goes back to the stamp test.
        for (auto& entry : entries_) {
            entry.second.reported = true;
            entry.second.ForgetFileStats();
        }
        ++generation_;
        if (queue_)
            LookForTwinsAfterLostReports();
        return;
    }
    const WatchFolders* folders = watches_.FoldersOf(watch);
    if (!folders) {
        // Perhaps a watch that a prefetch put on and has yet to take over.
        if (prefetching_ > 0)
            pending_.push_back(PendingReport{watch, mask, name});
        return;
    }
    // A copy: the folders are looked at while the cache changes.
    const WatchFolders watched = *folders;
    const auto forEachFolder = [&watched](const auto& take) {
        take(watched.first);
        for (const QString& folder : watched.more)
            take(folder);
    };
    forEachFolder([&](const QString& folder) {
        if (!name.isEmpty())
            ForgetFile(folder, name);
        if (!name.isEmpty() && !(mask & ~(kFileOnlyEvents | IN_ISDIR)))
            return;
        ++otherEntryChanges_;
        MarkReported(folder);
        // A changed entry may be (or have been, or link to) a folder whose listings are kept
        // under its path; a folder moved or deleted takes every listing below it along.
        if (!name.isEmpty())
            MarkTree(JoinHostPath(folder, name));
        else if (mask & (IN_MOVE_SELF | IN_DELETE_SELF | IN_IGNORED | IN_UNMOUNT))
            MarkTree(folder);
    });
    if (mask & IN_IGNORED) {
        // The kernel dropped the watch (the folder is gone): its listings lose it.
        forEachFolder([&](const QString& folder) {
            FolderListing* listing = Listing(folder);
            if (listing && listing->watch == watch) {
                listing->watch = -1;
                listing->ForgetFileStats();
                SubFolderChanged(folder);
                ++generation_;
            }
        });
        watches_.Forget(watch);
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

void FolderCache::MarkTree(const QString& hostFolder) {
    MarkReported(hostFolder);
    const QString below =
        hostFolder.endsWith(QLatin1Char('/')) ? hostFolder : hostFolder + QLatin1Char('/');
    for (const QString& folder : keys_.Below(below, [this](const QString& f) { return Holds(f); }))
        MarkReported(folder);
}

} // namespace qv
