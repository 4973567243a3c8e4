// The finds of the folder cache: the answers of a find in many folders at once, from listings
// known current where there are some, the others read on worker threads and taken in as they
// come.
#include "platform/foldercache.h"

#include "platform/drivemap.h"

#include <QSet>
#include <cerrno>

namespace qv {

namespace {

// Keeps a find's answer for each key in the listing it rests on.
void KeepAnswers(FolderListing* listing, const QStringList& keys,
                 const std::vector<FindAnswer>& answers) {
    for (qsizetype k = 0; k < keys.size(); ++k)
        listing->KeepAnswer(keys.at(k), answers[std::size_t(k)].names,
                            answers[std::size_t(k)].times);
}

} // namespace

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
            notifiers = watches_.GroupNotifiers();
            epoch = watches_.Epoch();
            generation = generation_;
            ++prefetching_;
            // Grown once rather than rehashed again and again as thousands are taken in.
            watches_.Reserve(qsizetype(places.size()));
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
            if (epoch != watches_.Epoch())
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
    if (root.isEmpty() || !watches_.Watchable(root))
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

} // namespace qv
