// The listings of the folder cache: reading folders in (one at a time, or many at once outside
// the lock), our own changes, and dropping listings that no longer hold.
#include "platform/foldercache.h"

#include <QFile>
#include <QSet>
#include <cerrno>

namespace qv {

namespace {

// The folder that holds a host path, as a part of it ("/" for one at the root); empty when the
// path has no folder.
QStringView ParentPart(QStringView hostPath) {
    const qsizetype slash = hostPath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {};
    return slash == 0 ? QStringView(u"/") : hostPath.left(slash);
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
        notifiers = watches_.GroupNotifiers();
        epoch = watches_.Epoch();
        ++prefetching_;
    }
    // Each folder is taken in as soon as it is read, while the others are still being read.
    ReadFolders(folders, fileStats, notifiers, kWatchMask, nullptr,
                [&](std::size_t first, std::span<FolderRead> run) {
                    QMutexLocker lock(&mutex_);
                    // The watches went with a notifier that was closed meanwhile.
                    if (epoch != watches_.Epoch())
                        return;
                    for (std::size_t k = 0; k < run.size(); ++k)
                        TakeRead(folders.at(qsizetype(first + k)), run[k]);
                });
    QMutexLocker lock(&mutex_);
    EndPrefetch();
}

FolderListing* FolderCache::TakeRead(const QString& folder, FolderRead& read) {
    if (read.watch >= 0)
        watches_.Register(read.watch, folder);
    FolderListing* old = Listing(folder);
    const bool full = !old && entries_.size() >= kMaxCachedFolders;
    if (read.error != 0 || (old && old->KnownCurrent()) || full) {
        if (!old || old->watch != read.watch)
            watches_.Unwatch(folder, read.watch);
        return nullptr;
    }
    if (old && old->watch >= 0 && old->watch != read.watch)
        watches_.Unwatch(folder, old->watch);
    read.listing.watch = watches_.KeepWatch(folder, read.watch, read.listing.self.st_dev);
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
        expected_.Expect(listing->watch, IN_CREATE | IN_ISDIR, added);
    else if (listing->watch >= 0 && change == OwnChange::FolderRemoved)
        expected_.Expect(listing->watch, IN_DELETE | IN_ISDIR, removed);
    else if (listing->watch >= 0 && change == OwnChange::FileDeleted)
        expected_.Expect(listing->watch, IN_DELETE, removed);
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
    return watches_.Watchable(root);
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
        watch = watches_.Watch(encoded, hostFolder);
    if (old && !old->racy) {
        // A listing read before holds while the folder's stamp stays the same.
        struct stat st {};
        if (!StatFolder(encoded, &st, error)) {
            watches_.Unwatch(hostFolder, watch);
            Drop(hostFolder);
            return nullptr;
        }
        watch = watches_.KeepWatch(hostFolder, watch, st.st_dev);
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
        watches_.Unwatch(hostFolder, watch);
        Drop(hostFolder);
        return nullptr;
    }
    listing.watch = watches_.KeepWatch(hostFolder, watch, listing.self.st_dev);
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
        listing.watch =
            listing.watch >= 0 ? watches_.Watch(EncodeHostPath(hostFolder), hostFolder) : -1;
        // Watched only from now on: the next use compares the stamp.
        listing.racy = true;
        listing.reported = true;
        listing.ForgetFileStats();
    }
    keys_.Add(hostFolder);
    return &entries_.emplace(FolderKey(hostFolder), std::move(listing)).first->second;
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

void FolderCache::Drop(const QString& hostFolder) {
    auto it = entries_.find(FolderKey(hostFolder));
    if (it == entries_.end())
        return;
    // Read again later, the folder must not miss a rename still in flight.
    WaitForSeq(it->second.renameSeq);
    ++generation_;
    ++changes_;
    watches_.Unwatch(hostFolder, it->second.watch);
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
    expected_.Forget();
    watches_.CloseAll();
}

} // namespace qv
