// The listing side of the folder cache: reading folders in, our own changes, and the change
// watches with their reports.
#include "platform/foldercache.h"

#include "platform/drivemap.h"

#include <QFile>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace qv {

namespace {

// Every change of a folder's entries, attributes or place.
// Writes and attribute changes of the files in it keep their known stats current.
constexpr quint32 kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                               IN_MODIFY | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// Reports about a file's content or attributes, which leave the folder's own stamp as it was.
constexpr quint32 kFileOnlyEvents = IN_MODIFY | IN_ATTRIB;
// How often a run that takes the reports once takes them again: soon enough that the reports of
// thousands of its own renames never fill the kernel's queue.
constexpr qint64 kRetakeMs = 5;
// The most bytes of reports the rename thread reads ahead; the rest wait in the notifier.
constexpr qsizetype kMostReadAhead = 1 << 20;

// The name a report carries. Two reports come for every file a move renames; a plain ASCII name
// needs no converter.
QString ReportedName(const char* name) {
    const std::size_t size = std::strlen(name);
    for (std::size_t i = 0; i < size; ++i)
        if (static_cast<unsigned char>(name[i]) >= 0x80)
            return QFile::decodeName(name);
    return QString::fromLatin1(name, qsizetype(size));
}

// The folder that holds a host path, as a part of it ("/" for one at the root); empty when the
// path has no folder.
QStringView ParentPart(QStringView hostPath) {
    const qsizetype slash = hostPath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {};
    return slash == 0 ? QStringView(u"/") : hostPath.left(slash);
}

// Keeps a find's answer for each key in the listing it rests on.
void KeepAnswers(FolderListing* listing, const QStringList& keys,
                 const std::vector<FindAnswer>& answers) {
    for (qsizetype k = 0; k < keys.size(); ++k)
        listing->KeepAnswer(keys.at(k), answers[std::size_t(k)].names,
                            answers[std::size_t(k)].times);
}

} // namespace

void FolderCache::Prefetch(const QStringList& hostFolders, bool fileStats) {
    QStringList folders;
    std::vector<int> notifiers;
    quint64 epoch = 0;
    {
        QMutexLocker lock(&mutex_);
        QSet<QString> seen;
        for (const QString& folder : hostFolders) {
            if (Known(folder) || seen.contains(folder))
                continue;
            seen.insert(folder);
            folders.append(folder);
        }
        if (folders.isEmpty())
            return;
        // The folders are read outside the lock.
        WaitForFolders(folders);
        notifiers = GroupNotifiers();
        epoch = notifierEpoch_;
        ++prefetching_;
    }
    // Each folder is taken in as soon as it is read, while the others are still being read.
    ReadFolders(folders, fileStats, notifiers, kWatchMask, nullptr,
                [&](std::size_t first, std::span<FolderRead> run) {
                    QMutexLocker lock(&mutex_);
                    // The watches went with a notifier that was closed meanwhile.
                    if (epoch != notifierEpoch_)
                        return;
                    for (std::size_t k = 0; k < run.size(); ++k)
                        TakeRead(folders.at(qsizetype(first + k)), run[k]);
                });
    QMutexLocker lock(&mutex_);
    EndPrefetch();
}

FolderListing* FolderCache::TakeRead(const QString& folder, FolderRead& read) {
    if (read.watch >= 0)
        Register(read.watch, folder);
    FolderListing* old = Listing(folder);
    const bool full = !old && entries_.size() >= kMaxCachedFolders;
    if (read.error != 0 || (old && old->KnownCurrent()) || full) {
        if (!old || old->watch != read.watch)
            Unwatch(folder, read.watch);
        return nullptr;
    }
    if (old && old->watch >= 0 && old->watch != read.watch)
        Unwatch(folder, old->watch);
    read.listing.watch = KeepWatch(folder, read.watch, read.listing.self.st_dev);
    if (read.listing.watch < 0)
        read.listing.ForgetFileStats();
    ++reads_;
    return Insert(folder, std::move(read.listing), old);
}

void FolderCache::EndPrefetch() {
    if (--prefetching_ != 0)
        return;
    const std::vector<PendingReport> pending = std::move(pending_);
    pending_.clear();
    for (const PendingReport& report : pending)
        TakeReport(report.watch, report.mask, report.name);
}

void FolderCache::FindInFolders(const QStringList& windowsFolders, const QStringList& keys,
                                const FindAnswerMaker& make, std::vector<FolderFinds>* found,
                                const std::function<void(std::size_t)>& taken) {
    found->assign(std::size_t(windowsFolders.size()), FolderFinds{});
    auto tell = [&](std::size_t place) {
        if (taken && (*found)[place].known)
            taken(place);
    };
    // The folders to be read: their places and host folders.
    std::vector<std::size_t> places;
    QStringList hosts;
    std::vector<int> notifiers;
    quint64 epoch = 0;
    quint64 generation = 0;
    {
        QMutexLocker lock(&mutex_);
        TakeReports();
        QSet<QString> seen;
        for (qsizetype i = 0; i < windowsFolders.size(); ++i) {
            const QString& folder = windowsFolders.at(i);
            FolderFinds& finds = (*found)[std::size_t(i)];
            if (const KnownFolder* known = RememberedFolder(folder)) {
                AnswerFromListing(known->host, known->listing, keys, make, &finds);
                continue;
            }
            QString host;
            bool missing = false;
            if (!HostFolderOf(folder, &host, &missing)) {
                // A folder found missing holds nothing, as a find in it would tell.
                if (missing) {
                    finds.known = true;
                    finds.answers.resize(std::size_t(keys.size()));
                }
                continue;
            }
            if (FolderListing* listing = Known(host)) {
                AnswerFromListing(host, listing, keys, make, &finds);
                if (IsPlainFolder(folder))
                    RememberListing(folder, host, listing);
                continue;
            }
            // One folder spelt two ways is read once; the second is left to the caller.
            if (seen.contains(host))
                continue;
            seen.insert(host);
            places.push_back(std::size_t(i));
            hosts.append(std::move(host));
        }
        if (!places.empty()) {
            WaitForFolders(hosts);
            notifiers = GroupNotifiers();
            epoch = notifierEpoch_;
            generation = generation_;
            ++prefetching_;
            // Grown once rather than rehashed again and again as thousands are taken in.
            foldersByWatch_.reserve(foldersByWatch_.size() + qsizetype(places.size()));
            knownFolders_.reserve(knownFolders_.size() + qsizetype(places.size()));
        }
    }
    // Those answered already are told before the others are read (those to be read are not
    // known yet).
    for (std::size_t i = 0; i < found->size(); ++i)
        tell(i);
    if (places.empty())
        return;
    // Each folder is read, its files stat'ed and its answers made on the worker threads. The
    // cache takes each in on this thread as soon as it is read, while the others are still being
    // read (taking each in on the thread that read it made the threads wait for the lock by
    // turns, which costs more than it spares).
    std::vector<char> fromListing(places.size(), 0);
    // Whether each folder as spelled may be remembered, found on the worker threads too.
    std::vector<char> plain(places.size(), 0);
    std::vector<std::vector<FindAnswer>> answers(places.size());
    // Answers resting on the listing alone are kept in it here, on the thread that made them,
    // rather than on the one that takes the folders in; that one drops them again when the
    // listing it took is not known current.
    auto makeAnswers = [&](std::size_t r, FolderRead& read) {
        plain[r] = IsPlainFolder(windowsFolders.at(qsizetype(places[r]))) ? 1 : 0;
        fromListing[r] = make(hosts.at(qsizetype(r)), read.listing, &answers[r]) ? 1 : 0;
        if (fromListing[r])
            KeepAnswers(&read.listing, keys, answers[r]);
    };
    // Taken in under the lock, which the caller holds; told without it.
    auto takeIn = [&](std::size_t r, FolderRead& read) {
        const QString& host = hosts.at(qsizetype(r));
        // A folder that could not be read loses its watch here, and is left to the caller,
        // which finds out why.
        FolderListing* listing = TakeRead(host, read);
        if (read.error != 0)
            return;
        const QString& folder = windowsFolders.at(qsizetype(places[r]));
        if (listing && listing->KnownCurrent()) {
            // Reports taken since the folder was found in its parent moved the generation on.
            if (generation == generation_ && plain[r])
                RememberListing(folder, host, listing);
        } else if (listing) {
            listing->ForgetAnswers();
        }
        FolderFinds& finds = (*found)[places[r]];
        finds.known = true;
        finds.host = host;
        finds.answers = std::move(answers[r]);
    };
    // A run of folders read meanwhile is taken in under one lock, then told.
    auto take = [&](std::size_t first, std::span<FolderRead> run) {
        {
            QMutexLocker lock(&mutex_);
            // The watches went with a notifier that was closed meanwhile.
            if (epoch != notifierEpoch_)
                return;
            for (std::size_t k = 0; k < run.size(); ++k)
                takeIn(first + k, run[k]);
        }
        for (std::size_t k = 0; k < run.size(); ++k)
            tell(places[first + k]);
    };
    // The host paths are encoded on the worker threads too.
    ReadFolders(hosts, true, notifiers, kWatchMask, makeAnswers, take);
    QMutexLocker lock(&mutex_);
    EndPrefetch();
}

bool FolderCache::HostFolderOf(const QString& windowsFolder, QString* hostFolder, bool* missing) {
    if (RememberedHost(windowsFolder, hostFolder))
        return true;
    QChar drive;
    QStringList components;
    if (!SplitWindowsPath(windowsFolder, &drive, &components))
        return false;
    const QString root = TheDriveMap().HostRoot(drive);
    if (root.isEmpty() || !WatchableLocked(root))
        return false;
    ResolvedPath resolved;
    bool failed = false;
    int error = 0;
    if (!WalkLocked(windowsFolder, root, components, false, false, &resolved, &error, &failed) ||
        failed || !resolved.exists) {
        *missing = failed && error == ENOENT;
        return false;
    }
    *hostFolder = resolved.host;
    return true;
}

void FolderCache::AnswerFromListing(const QString& hostFolder, FolderListing* listing,
                                    const QStringList& keys, const FindAnswerMaker& make,
                                    FolderFinds* finds) {
    finds->answers.resize(std::size_t(keys.size()));
    bool kept = true;
    for (qsizetype k = 0; k < keys.size() && kept; ++k) {
        FindAnswer& answer = finds->answers[std::size_t(k)];
        kept = listing->KeptAnswer(keys.at(k), &answer.names, &answer.times);
    }
    if (!kept) {
        listing->Ordered();
        const quint64 state = listing->State();
        if (make(hostFolder, *listing, &finds->answers) && listing->State() == state)
            KeepAnswers(listing, keys, finds->answers);
    }
    finds->known = true;
    finds->host = hostFolder;
}

void FolderCache::BeforeChange(const QString& hostFolder) {
    QMutexLocker lock(&mutex_);
    WaitForFolder(hostFolder, true);
    if (!Listing(hostFolder))
        return;
    // Every change made so far by anyone has been reported: a listing whose watch reported
    // nothing is right as it stands, even while our own last changes left its stamp unasked.
    TakeReports(true);
    FolderListing* listing = Listing(hostFolder);
    if (!listing || listing->KnownCurrent())
        return;
    struct stat st {};
    int error = 0;
    if (!StatFolder(QFile::encodeName(hostFolder), &st, &error) ||
        !(listing->stamp == FolderStampOf(st)))
        Drop(hostFolder);
}

void FolderCache::Changed(const QString& hostFolder, const QString& added, const QString& removed,
                          OwnChange change) {
    QMutexLocker lock(&mutex_);
    ++changes_;
    FolderListing* listing = Listing(hostFolder);
    if (!listing)
        return;
    // A folder made in a watched folder known current is taken over as a rename of ours is,
    // without asking the disk: a job makes thousands in a row in one folder.
    const bool unasked =
        change == OwnChange::FolderMade && listing->KnownCurrent() && !added.isEmpty();
    struct stat st {};
    int error = 0;
    if (!unasked && !StatFolder(QFile::encodeName(hostFolder), &st, &error)) {
        Drop(hostFolder);
        return;
    }
    // What was remembered below a name that went may no longer hold; a name added is checked
    // by the remembered folders that found it missing.
    if (!removed.isEmpty() && listing->KindOf(removed) != EntryKind::File)
        ++generation_;
    if (!removed.isEmpty())
        listing->Remove(removed);
    if (!added.isEmpty())
        listing->Add(added,
                     change == OwnChange::FolderMade ? EntryKind::Folder : EntryKind::Unknown);
    if (listing->watch >= 0 && change == OwnChange::FolderMade)
        Expect(listing->watch, IN_CREATE | IN_ISDIR, added);
    else if (listing->watch >= 0 && change == OwnChange::FolderRemoved)
        Expect(listing->watch, IN_DELETE | IN_ISDIR, removed);
    else if (listing->watch >= 0 && change == OwnChange::FileDeleted)
        Expect(listing->watch, IN_DELETE, removed);
    if (unasked) {
        listing->ChangedUnasked();
    } else {
        listing->stamp = FolderStampOf(st);
        listing->self = st;
        listing->selfKnown = true;
        // Another program's change in the same clock tick as ours leaves this stamp as it is: a
        // watched folder is read again once that change is reported. An unwatched one has no
        // report to tell it and is compared by its stamp at every use, which must not read it
        // again after each file a move puts there.
        listing->racy = listing->watch >= 0 && IsRacy(st);
    }
    SubFolderChanged(hostFolder);
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
    return WatchableLocked(root);
}

bool FolderCache::WatchableLocked(const QString& root) {
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
    // A move between two folders asks for the same listings (and their parents') again and
    // again: comparing the path with the last few found is cheaper than hashing it.
    for (const RecentListing& recent : recent_)
        if (recent.listing && recent.folder == hostFolder)
            return recent.listing;
    const auto it = entries_.find(FolderKey(hostFolder));
    if (it == entries_.end())
        return nullptr;
    std::move_backward(recent_.begin(), recent_.end() - 1, recent_.end());
    recent_[0] = RecentListing{hostFolder, &it->second};
    return &it->second;
}

FolderListing* FolderCache::Listing(QStringView hostFolder) {
    for (const RecentListing& recent : recent_)
        if (recent.listing && recent.folder == hostFolder)
            return recent.listing;
    return Listing(hostFolder.toString());
}

FolderListing* FolderCache::ParentListing(const FolderListing* listing, QStringView hostFolder) {
    for (const KnownParent& known : parents_)
        if (known.listing == listing && known.generation == generation_)
            return known.parent;
    const QStringView parentFolder = ParentPart(hostFolder);
    if (parentFolder.isEmpty())
        return nullptr;
    FolderListing* parent = Listing(parentFolder);
    // A folder without a listing of its parent is not remembered: the parent may be read later
    // without the generation moving on.
    if (parent) {
        parents_[1] = parents_[0];
        parents_[0] = KnownParent{listing, parent, generation_};
    }
    return parent;
}

FolderListing* FolderCache::Current(const QString& hostFolder, int* error) {
    // Callers hold other listings: failures, which drop listings, are left for later.
    WaitForFolder(hostFolder, false);
    FolderListing* old = Listing(hostFolder);
    if (old && old->KnownCurrent())
        return old;
    const QByteArray encoded = EncodeHostPath(hostFolder);
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
        watch = KeepWatch(hostFolder, watch, st.st_dev);
        if (old->stamp == FolderStampOf(st)) {
            old->watch = watch;
            old->reported = false;
            old->self = st;
            old->selfKnown = true;
            return old;
        }
    }
    FolderListing listing;
    if (!ReadFolder(encoded, true, &listing, error)) {
        Unwatch(hostFolder, watch);
        Drop(hostFolder);
        return nullptr;
    }
    listing.watch = KeepWatch(hostFolder, watch, listing.self.st_dev);
    ++reads_;
    return Insert(hostFolder, std::move(listing));
}

FolderListing* FolderCache::Insert(const QString& hostFolder, FolderListing&& listing) {
    return Insert(hostFolder, std::move(listing), Listing(hostFolder));
}

FolderListing* FolderCache::Insert(const QString& hostFolder, FolderListing&& listing,
                                   FolderListing* old) {
    ++changes_;
    SubFolderChanged(hostFolder);
    if (old) {
        // What was remembered through the earlier listing may no longer hold.
        ++generation_;
        *old = std::move(listing);
        return old;
    }
    if (entries_.size() >= kMaxCachedFolders) {
        ClearAll();
        listing.watch = listing.watch >= 0 ? Watch(EncodeHostPath(hostFolder), hostFolder) : -1;
        // Watched only from now on: the next use compares the stamp.
        listing.racy = true;
        listing.reported = true;
        listing.ForgetFileStats();
    }
    keys_.Add(hostFolder);
    return &entries_.emplace(FolderKey(hostFolder), std::move(listing)).first->second;
}

int FolderCache::Watch(const QByteArray& encoded, const QString& hostFolder) {
    if (Notifier() < 0)
        return -1;
    const int watch = AddWatch(notifiers_, 0, encoded, kWatchMask);
    if (watch < 0)
        return -1;
    Register(watch, hostFolder);
    return watch;
}

bool FolderCache::AddNotifier() {
    const int notifier = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (notifier < 0)
        return false;
    notifiers_.push_back(notifier);
    return true;
}

int FolderCache::Notifier() {
    if (notifiers_.empty() && !notifierFailed_) {
        QMutexLocker lock(&reportsMutex_);
        notifierFailed_ = !AddNotifier();
    }
    return notifiers_.empty() ? -1 : notifiers_[0];
}

std::vector<int> FolderCache::GroupNotifiers() {
    if (Notifier() >= 0 && notifiers_.size() < kWatchGroups) {
        QMutexLocker lock(&reportsMutex_);
        // Without more, the folders share those there are.
        while (notifiers_.size() < kWatchGroups && AddNotifier()) {
        }
    }
    return notifiers_;
}

void FolderCache::AppendReports(QByteArray* reports) {
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

void FolderCache::AppendReports(std::size_t group, QByteArray* reports) {
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

void FolderCache::ReadReportsAhead() {
    // The caller's thread reading them meanwhile reads them all.
    if (!reportsMutex_.tryLock())
        return;
    if (!notifiers_.empty() && readAhead_.size() < kMostReadAhead)
        AppendReports(&readAhead_);
    reportsMutex_.unlock();
}

void FolderCache::Register(int watch, const QString& hostFolder) {
    WatchFolders& folders = foldersByWatch_[watch];
    if (folders.first.isEmpty())
        folders.first = hostFolder;
    else if (!folders.Has(hostFolder))
        folders.more.append(hostFolder);
}

int FolderCache::KeepWatch(const QString& hostFolder, int watch, dev_t device) {
    if (watch >= 0 && !DeviceReportsEveryChange(device, hostFolder)) {
        Unwatch(hostFolder, watch);
        return -1;
    }
    return watch;
}

bool FolderCache::DeviceReportsEveryChange(dev_t device, const QString& hostFolder) {
    auto it = reportingDevices_.constFind(quint64(device));
    if (it == reportingDevices_.cend())
        it = reportingDevices_.insert(quint64(device),
                                      ReportsEveryChange(EncodeHostPath(hostFolder)));
    return *it;
}

void FolderCache::Unwatch(const QString& hostFolder, int watch) {
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
    if (notifiers_.empty())
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
    QByteArray reports;
    {
        // What the rename thread read ahead came first; none is read ahead meanwhile.
        QMutexLocker lock(&reportsMutex_);
        reports = std::exchange(readAhead_, {});
        AppendReports(&reports);
    }
    // Reports are whole and padded to a multiple of their header's size, so that each one read
    // starts aligned.
    for (qsizetype at = 0; at + qsizetype(sizeof(inotify_event)) <= reports.size();) {
        const auto* event = reinterpret_cast<const inotify_event*>(reports.constData() + at);
        at += qsizetype(sizeof(inotify_event) + event->len);
        // Most reports are of our own renames, expected and passed over unconverted.
        if (event->len > 0 && ExpectedName(event->wd, event->mask, event->name))
            continue;
        TakeReport(event->wd, event->mask, event->len > 0 ? ReportedName(event->name) : QString());
    }
    // Every report of our changes so far has been read: what is still expected is not, but for
    // the renames still in flight.
    ForgetExpectedDone(done);
    reportedSeq_ = std::max(reportedSeq_, done);
}

void FolderCache::TakeReport(int watch, quint32 mask, const QString& name) {
    if (Expected(watch, mask, name))
        return;
    if (queue_ && !name.isEmpty())
        NoteChangeAmidRenames(watch, mask, name);
    ++changes_;
    if (mask & IN_Q_OVERFLOW) {
        ++otherEntryChanges_;
        ForgetExpected();
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
    // A copy: the folders are looked at while the cache changes.
    const WatchFolders watched = *it;
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
    // The parent is mostly one of the recent listings, found without copying its path.
    const QStringView parentFolder = ParentPart(hostFolder);
    if (FolderListing* parent = parentFolder.isEmpty() ? nullptr : Listing(parentFolder))
        parent->MarkChanged();
}

void FolderCache::SubFolderChanged(const FolderListing* listing, QStringView hostFolder) {
    if (FolderListing* parent = ParentListing(listing, hostFolder))
        parent->MarkChanged();
}

void FolderCache::MarkTree(const QString& hostFolder) {
    MarkReported(hostFolder);
    const QString below =
        hostFolder.endsWith(QLatin1Char('/')) ? hostFolder : hostFolder + QLatin1Char('/');
    for (const QString& folder : keys_.Below(below, [this](const QString& f) { return Holds(f); }))
        MarkReported(folder);
}

void FolderCache::Drop(const QString& hostFolder) {
    auto it = entries_.find(FolderKey(hostFolder));
    if (it == entries_.end())
        return;
    // Read again later, the folder must not miss a rename still in flight.
    WaitForSeq(it->second.renameSeq);
    ++generation_;
    ++changes_;
    Unwatch(hostFolder, it->second.watch);
    recent_ = {};
    entries_.erase(it);
    SubFolderChanged(hostFolder);
    keys_.Drop([this](const QString& folder) { return Holds(folder); });
}

bool FolderCache::Holds(const QString& hostFolder) const {
    return entries_.find(FolderKey(hostFolder)) != entries_.end();
}

void FolderCache::ClearAll() {
    WaitForQueue();
    ++generation_;
    ++changes_;
    ++otherEntryChanges_;
    knownFolders_.clear();
    lastFolders_ = {};
    recent_ = {};
    entries_.clear();
    keys_.Clear();
    foldersByWatch_.clear();
    ForgetExpected();
    // Closing the notifiers drops every watch at once.
    QMutexLocker lock(&reportsMutex_);
    for (const int notifier : notifiers_)
        close(notifier);
    notifiers_.clear();
    readAhead_.clear();
    ++notifierEpoch_;
}

} // namespace qv
