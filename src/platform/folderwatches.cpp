#include "platform/folderwatches.h"

#include "platform/folderlisting.h"

#include <QFile>
#include <array>
#include <atomic>
#include <climits>
#include <poll.h>
#include <unistd.h>

namespace qv {

namespace {

// The most bytes of reports the rename thread reads ahead; the rest wait in the notifier.
constexpr qsizetype kMostReadAhead = 1 << 20;

std::atomic<bool>& LoseReports() {
    static std::atomic<bool> lose{false};
    return lose;
}

} // namespace

bool FolderWatches::Watchable(const QString& root) {
    if (notifierFailed_)
        return false;
    auto it = watchableRoots_.constFind(root);
    if (it == watchableRoots_.cend())
        it = watchableRoots_.insert(root, ReportsEveryChange(QFile::encodeName(root)));
    return *it;
}

int FolderWatches::Watch(const QByteArray& encoded, const QString& hostFolder) {
    if (Notifier() < 0)
        return -1;
    const int watch = AddWatch(notifiers_, 0, encoded, kWatchMask);
    if (watch < 0)
        return -1;
    Register(watch, hostFolder);
    return watch;
}

bool FolderWatches::AddNotifier() {
    const int notifier = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (notifier < 0)
        return false;
    notifiers_.push_back(notifier);
    return true;
}

int FolderWatches::Notifier() {
    if (notifiers_.empty() && !notifierFailed_) {
        QMutexLocker lock(&reportsMutex_);
        notifierFailed_ = !AddNotifier();
    }
    return notifiers_.empty() ? -1 : notifiers_[0];
}

std::vector<int> FolderWatches::GroupNotifiers() {
    if (Notifier() >= 0 && notifiers_.size() < kWatchGroups) {
        QMutexLocker lock(&reportsMutex_);
        // Without more, the folders share those there are.
        while (notifiers_.size() < kWatchGroups && AddNotifier()) {
        }
    }
    return notifiers_;
}

void FolderWatches::AppendReports(QByteArray* reports) {
    if (notifiers_.size() == 1) {
        AppendReports(0, reports);
        return;
    }
    // Reports are taken before most changes of ours, mostly none queued: one call asks every
    // notifier, rather than a read of each.
    std::array<pollfd, kWatchGroups> asked{};
    for (std::size_t group = 0; group < notifiers_.size(); ++group)
        asked[group] = pollfd{notifiers_[group], POLLIN, 0};
    const int ready = poll(asked.data(), nfds_t(notifiers_.size()), 0);
    for (std::size_t group = 0; group < notifiers_.size(); ++group)
        if (ready < 0 || (asked[group].revents & POLLIN))
            AppendReports(group, reports);
}

void FolderWatches::AppendReports(std::size_t group, QByteArray* reports) {
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = read(notifiers_[group], buffer, sizeof buffer);
        if (got <= 0)
            break;
        // Numbered as the cache knows the watches (a lost report's watch, -1, stays as it is).
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= got;) {
            auto* event = reinterpret_cast<inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            event->wd = WatchOf(group, event->wd);
        }
        reports->append(buffer, got);
        // A read gives every report queued that fits: room left for the longest one means
        // none was left behind, and a read more would only say so.
        if (std::size_t(got) + sizeof(inotify_event) + NAME_MAX + 1 <= sizeof buffer)
            break;
    }
}

QByteArray FolderWatches::TakeReports() {
    // What the rename thread read ahead came first; none is read ahead meanwhile.
    QMutexLocker lock(&reportsMutex_);
    QByteArray reports = std::exchange(readAhead_, {});
    AppendReports(&reports);
    if (LoseReports() && !reports.isEmpty()) {
        const inotify_event lost{-1, IN_Q_OVERFLOW, 0, 0};
        reports = QByteArray(reinterpret_cast<const char*>(&lost), sizeof lost);
    }
    return reports;
}

void FolderWatches::ReadReportsAhead() {
    // The caller's thread reading them meanwhile reads them all.
    if (!reportsMutex_.tryLock())
        return;
    if (!notifiers_.empty() && readAhead_.size() < kMostReadAhead)
        AppendReports(&readAhead_);
    reportsMutex_.unlock();
}

void FolderWatches::Register(int watch, const QString& hostFolder) {
    WatchFolders& folders = foldersByWatch_[watch];
    if (folders.first.isEmpty())
        folders.first = hostFolder;
    else if (!folders.Has(hostFolder))
        folders.more.append(hostFolder);
}

int FolderWatches::KeepWatch(const QString& hostFolder, int watch, dev_t device) {
    if (watch >= 0 && !DeviceReportsEveryChange(device, hostFolder)) {
        Unwatch(hostFolder, watch);
        return -1;
    }
    return watch;
}

bool FolderWatches::DeviceReportsEveryChange(dev_t device, const QString& hostFolder) {
    auto it = reportingDevices_.constFind(quint64(device));
    if (it == reportingDevices_.cend())
        it = reportingDevices_.insert(quint64(device),
                                      ReportsEveryChange(EncodeHostPath(hostFolder)));
    return *it;
}

void FolderWatches::Unwatch(const QString& hostFolder, int watch) {
    if (watch < 0)
        return;
    auto it = foldersByWatch_.find(watch);
    if (it == foldersByWatch_.end())
        return;
    if (it->first == hostFolder)
        it->first = it->more.isEmpty() ? QString() : it->more.takeFirst();
    else
        it->more.removeAll(hostFolder);
    if (it->first.isEmpty()) {
        foldersByWatch_.erase(it);
        if (WatchGroupOf(watch) < notifiers_.size())
            inotify_rm_watch(notifiers_[WatchGroupOf(watch)], WatchDescriptorOf(watch));
    }
}

const WatchFolders* FolderWatches::FoldersOf(int watch) const {
    const auto it = foldersByWatch_.constFind(watch);
    return it == foldersByWatch_.cend() ? nullptr : &*it;
}

void FolderWatches::CloseAll() {
    foldersByWatch_.clear();
    QMutexLocker lock(&reportsMutex_);
    for (const int notifier : notifiers_)
        close(notifier);
    notifiers_.clear();
    readAhead_.clear();
    ++epoch_;
}

void LoseChangeReportsForTests(bool lose) {
    LoseReports() = lose;
}

} // namespace qv
