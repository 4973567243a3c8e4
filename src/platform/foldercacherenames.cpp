// The folder cache's side of our own renames: whether the listings can take a rename over
// without asking the disk, taking it over, handing it to the rename thread and the failures that
// come back.
#include "platform/foldercache.h"

#include "platform/casefold.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/inotify.h>

namespace qv {

namespace {

// The folder a listing was read from (none known without a listing).
FolderIdentity IdentityOf(const FolderListing* listing) {
    return listing ? FolderIdentity{listing->self.st_dev, listing->self.st_ino} : FolderIdentity{};
}

} // namespace

bool FolderCache::CanTakeFileRename(const QString& oldHost, const QString& newHost,
                                    FileRenameTicket* ticket) {
    const qsizetype oldSlash = oldHost.lastIndexOf(QLatin1Char('/'));
    const qsizetype newSlash = newHost.lastIndexOf(QLatin1Char('/'));
    if (oldSlash <= 0 || newSlash <= 0)
        return false;
    ticket->oldFolder = oldHost.left(oldSlash);
    ticket->newFolder = newHost.left(newSlash);
    ticket->oldName = oldHost.mid(oldSlash + 1);
    ticket->newName = newHost.mid(newSlash + 1);
    QMutexLocker lock(&mutex_);
    // The caller renames on this thread.
    WaitForQueue();
    FolderListing* source = Listing(ticket->oldFolder);
    FolderListing* target = Listing(ticket->newFolder);
    ticket->source = source;
    ticket->target = target;
    ticket->changes = changes_;
    return source && source->KnownCurrent() && source->KindOf(ticket->oldName) == EntryKind::File &&
           target && target->KnownCurrent();
}

ListedTarget FolderCache::CanTakeListedRename(const QString& source, const QString& target,
                                              FileRenameTicket* ticket) {
    QMutexLocker lock(&mutex_);
    SettleFailures();
    TakeReports();
    FolderListing* from = nullptr;
    QString name, found;
    bool failed = false;
    EntryKind kind = EntryKind::Unknown;
    const struct stat* keptStat = nullptr;
    const KnownFolder* folder = LookUpRemembered(source, false, &from, &name, &found, nullptr,
                                                 &failed, &kind, nullptr, &keptStat);
    if (!folder || failed || folder->host.isEmpty() || found.isEmpty() || kind != EntryKind::File)
        return ListedTarget::NotSettled;
    // Copied now: the next lookup may reuse the place the folder was found in.
    const QString fromHost = folder->host;
    // The file keeps its own letter case, under a name the target gives in some case.
    const qsizetype cut = LastSeparator(target);
    const QStringView targetName = QStringView(target).mid(cut + 1);
    if (cut < 3 || (targetName != found && !SameWithoutCase(targetName, found)))
        return ListedTarget::NotSettled;
    ticket->oldFolder = fromHost;
    struct stat st {};
    // The stat kept beside the name, as the lookup found it.
    const bool kept = keptStat != nullptr;
    if (kept)
        st = *keptStat;
    // With renames deferred, the rename thread checks the source as it renames it.
    ticket->checkFile = !kept && queue_;
    if (!kept && !queue_ &&
        !StatDisk(from, found, AT_FDCWD, EncodeHostPath(JoinHostPath(fromHost, found)), false, &st,
                  nullptr))
        return ListedTarget::NotSettled;
    // A read-only file has its attribute cleared by the move, step by step.
    if (!ticket->checkFile && (!S_ISREG(st.st_mode) || !(st.st_mode & S_IWUSR)))
        return ListedTarget::NotSettled;
    FolderListing* to = nullptr;
    QString spelled, existing;
    int code = 0;
    failed = false;
    folder = LookUpRemembered(target, false, &to, &spelled, &existing, &code, &failed);
    // A folder just made is read once, so that the files going into it are settled by it.
    if (!folder && RememberInParent(QStringView(target).left(cut), true)) {
        // Taking a listing in may have let every other go (a full cache): the source's is
        // looked up again.
        from = Known(fromHost);
        if (!from || from->KindOf(found) != EntryKind::File)
            return ListedTarget::NotSettled;
        folder = LookUpRemembered(target, false, &to, &spelled, &existing, &code, &failed);
    }
    if (!folder || !failed || code != ENOENT)
        return ListedTarget::NotSettled; // not remembered, the name there, or ambiguous
    if (folder->host.isEmpty())
        return ListedTarget::FolderMissing;
    if (to == from)
        return ListedTarget::NotSettled;
    ticket->newFolder = folder->host;
    ticket->oldName = found;
    ticket->newName = found;
    ticket->source = from;
    ticket->target = to;
    ticket->changes = changes_;
    return ListedTarget::Settled;
}

void FolderCache::FileRenamed(const FileRenameTicket& ticket) {
    QMutexLocker lock(&mutex_);
    TakeRename(ticket, 0);
}

void FolderCache::QueueRename(const FileRenameTicket& ticket, const QString& source,
                              const QString& renamedTo) {
    QMutexLocker lock(&mutex_);
    // The rename is to be made in the very folders whose listings settled it, as they were
    // read: taken before a failure settled now can drop them.
    const bool same = ticket.changes == changes_;
    const FolderIdentity from = IdentityOf(same ? ticket.source : Known(ticket.oldFolder));
    const FolderIdentity to = IdentityOf(same ? ticket.target : Known(ticket.newFolder));
    // What a failure is told by is kept while the rename is in flight, from before it is handed
    // over.
    SettleFailures();
    const quint64 seq = seqBase_ + queue_->Pushed() + 1;
    inFlight_.push_back(
        InFlight{seq, ticket.oldFolder, ticket.newFolder, ticket.newName, source, renamedTo});
    queue_->Push(QueuedRename{ticket.oldFolder, ticket.oldName, ticket.newFolder, ticket.newName,
                              ticket.checkFile, from, to});
    TakeRename(ticket, seq);
}

void FolderCache::TakeRename(const FileRenameTicket& ticket, quint64 seq) {
    const QString& from = ticket.oldFolder;
    const QString& to = ticket.newFolder;
    FolderListing* source = ticket.source;
    FolderListing* target = ticket.target;
    // Whatever the cache did since the listings were found may have dropped them, or a report
    // may have made them no longer known current: they are looked up again.
    if (ticket.changes != changes_) {
        source = Known(from);
        target = Known(to);
    }
    ++changes_;
    if (!source || !target) {
        Drop(from);
        Drop(to);
        return;
    }
    source->Remove(ticket.oldName);
    target->Add(ticket.newName, EntryKind::File);
    expected_.Expect(source->watch, IN_MOVED_FROM, ticket.oldName, seq);
    expected_.Expect(target->watch, IN_MOVED_TO, ticket.newName, seq);
    source->ChangedUnasked();
    target->ChangedUnasked();
    if (seq != 0)
        source->renameSeq = target->renameSeq = seq;
    // The folders' times moved: answers that hold them go.
    SubFolderChanged(source, from);
    SubFolderChanged(target, to);
}

bool FolderCache::TwinBeside(const QString& hostFolder, const QString& name) {
    QMutexLocker lock(&mutex_);
    TakeReports(true);
    int error = 0;
    const FolderListing* listing = Current(hostFolder, &error);
    return listing && listing->HasTwin(name);
}

bool FolderCache::IsListedFolder(const QString& hostFolder) {
    QMutexLocker lock(&mutex_);
    return Known(hostFolder) != nullptr;
}

void FolderCache::DeferRenames(RenameQueue* queue) {
    QMutexLocker lock(&mutex_);
    if (!queue && queue_) {
        WaitForQueue();
        // Failures not taken by now belong to a move phase that stopped (an exception): their
        // listings are read again, and no later phase is to act on them.
        SettleFailures();
        failures_.clear();
        inFlight_.clear();
        afterthoughts_.clear();
        // The numbers of the next queue follow on, so that those left in listings are done.
        seqBase_ += queue_->Pushed();
    }
    queue_ = queue;
}

std::vector<DeferredRenameFailure> FolderCache::TakeRenameFailures(bool wait) {
    QMutexLocker lock(&mutex_);
    if (wait) {
        WaitForQueue();
        // The reports of every rename are read, so that none amid them goes unseen.
        TakeReports(true);
    }
    SettleFailures();
    return std::exchange(failures_, {});
}

void FolderCache::WaitForRenames() {
    QMutexLocker lock(&mutex_);
    WaitForQueue();
    SettleFailures();
}

void FolderCache::WaitForFolder(const QString& hostFolder, bool settle) {
    if (!queue_)
        return;
    const FolderListing* listing = Listing(hostFolder);
    if (listing)
        WaitForSeq(listing->renameSeq);
    if (settle)
        SettleFailures();
}

void FolderCache::WaitForFolders(const QStringList& hostFolders) {
    if (!queue_)
        return;
    // A folder no longer held has no rename in flight: dropping it waited for them.
    quint64 last = 0;
    for (const QString& folder : hostFolders)
        if (const FolderListing* listing = Listing(folder))
            last = std::max(last, listing->renameSeq);
    WaitForSeq(last);
}

quint64 FolderCache::DoneSeq() const {
    return queue_ ? seqBase_ + queue_->Done() : seqBase_;
}

void FolderCache::WaitForSeq(quint64 seq) {
    if (queue_ && seq > DoneSeq())
        queue_->WaitFor(seq - seqBase_);
}

void FolderCache::WaitForQueue() {
    if (queue_)
        queue_->WaitFor(queue_->Pushed());
}

void FolderCache::SettleFailures() {
    if (!queue_)
        return;
    const quint64 done = DoneSeq();
    for (const FailedRename& failure :
         queue_->HasFailures() ? queue_->TakeFailures() : std::vector<FailedRename>()) {
        const quint64 seq = seqBase_ + failure.seq;
        const auto it = std::find_if(inFlight_.begin(), inFlight_.end(),
                                     [&](const InFlight& rename) { return rename.seq == seq; });
        if (it == inFlight_.end())
            continue;
        // The listings took the rename over as made: they are read again.
        Drop(it->fromFolder);
        Drop(it->toFolder);
        expected_.Forget([&](const ExpectedReports::Report& report) { return report.seq == seq; });
        // A rename that failed is settled as a failure only: a change noted against it concerns
        // no file of ours at its target.
        std::erase_if(afterthoughts_, [&](const Afterthought& noted) { return noted.seq == seq; });
        failures_.push_back(
            DeferredRenameFailure{it->source, it->target, failure.error, failure.notSettled});
    }
    for (const Afterthought& noted : std::exchange(afterthoughts_, {})) {
        const auto it =
            std::find_if(inFlight_.begin(), inFlight_.end(),
                         [&](const InFlight& rename) { return rename.seq == noted.seq; });
        if (it != inFlight_.end())
            failures_.push_back(
                DeferredRenameFailure{it->source, it->target, 0, false, noted.what});
    }
    // A rename is kept until its reports have been taken, for what they tell amid it.
    const quint64 reported = watches_.None() ? done : std::min(done, reportedSeq_);
    while (!inFlight_.empty() && inFlight_.front().seq <= reported)
        inFlight_.pop_front();
}

void FolderCache::NoteChangeAmidRenames(int watch, quint32 mask, const QString& name) {
    const bool made = mask & (IN_CREATE | IN_MOVED_TO);
    if (!made && !(mask & IN_ATTRIB))
        return;
    // Our renames whose reports are still to come were made after this change.
    for (const ExpectedReports::Report& report : expected_.OfRenames(watch)) {
        if (report.watch != watch)
            continue;
        const bool concerned = made ? report.mask == IN_MOVED_TO &&
                                          report.name.size() == name.size() &&
                                          report.name != name && SameWithoutCase(report.name, name)
                                    : report.mask == IN_MOVED_FROM && report.name == name;
        if (concerned) {
            afterthoughts_.push_back(Afterthought{report.seq, made ? AfterRename::TwinAtTarget
                                                                   : AfterRename::SourceChanged});
            return;
        }
    }
}

void FolderCache::LookForTwinsAfterLostReports() {
    WaitForQueue();
    for (const InFlight& rename : inFlight_) {
        if (rename.seq <= reportedSeq_)
            continue;
        const bool noted = std::any_of(
            afterthoughts_.begin(), afterthoughts_.end(),
            [&](const Afterthought& afterthought) { return afterthought.seq == rename.seq; });
        int error = 0;
        const FolderListing* listing = noted ? nullptr : Current(rename.toFolder, &error);
        if (listing && listing->HasTwin(rename.toName))
            afterthoughts_.push_back(Afterthought{rename.seq, AfterRename::TwinAtTarget});
    }
}

} // namespace qv
