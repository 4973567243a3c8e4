#include "catalogue/rebuildlistings.h"

#include "catalogue/listeddates.h"
#include "catalogue/routefolders.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/filefind.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/sortedlists.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "platform/winresolve.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

namespace qv {

namespace {

const QString kTrainsetFolder = QStringLiteral("TRAINS\\TRAINSET");
const QString kConsistsFolder = QStringLiteral("TRAINS\\CONSISTS");

// How long the main thread waits for a listing made ahead before it pumps the events again.
constexpr std::chrono::milliseconds kPumpEvery{5};

// Adds the names of `found`, in their order, to `files`, which holds each name once (the first
// added of names that CompareText finds equal) in CompareText order.
void AddSorted(StringList& files, const StringList& found) {
    SortedMerge merge(files);
    for (int i = 0; i < found.Count(); ++i)
        merge.Add(found[i]);
    merge.Done();
}

// The files of `paths` in one root merged into `files` as AddSorted would, each name put in its
// place as it comes: tens of thousands of names are not looked at a second time.
void AddListingsSorted(StringList& files, ListedFileDates& listed, const QString& root,
                       const QString& searched, const QStringList& paths,
                       const QStringList& prefixes, const QStringList& masks) {
    SortedMerge merge(files);
    listed.AddListings([&](const QString& name) { merge.Add(name); }, root, searched, paths,
                       prefixes, masks);
    merge.Done();
}

// `<root>\TRAINS\TRAINSET\<folder>\*.WAG` and `*.ENG` of one root, into `files` (which holds
// only them) and the root's part of `listed`.
void ListStockIn(const QString& root, StringList& files, ListedFileDates& listed) {
    // Thousands of folders are listed, and nothing is changed on the way.
    const ReportsTakenOnce listing;
    const QString trainset = root + u'\\' + kTrainsetFolder;
    // The trainset folder, of thousands of names, is read outside the path layer's lock, so that
    // the other root's listing meanwhile does not wait for it; named below, its names then come
    // from memory.
    PrefetchFolders({trainset}, false);
    StringList folders;
    int error = 0;
    FindFolderNames(folders, trainset, &error);
    if (error == 0 || error == ENOENT)
        listed.AddParent(root, QString());
    QStringList paths;
    QStringList prefixes;
    for (int i = 0; i < folders.Count(); ++i) {
        paths.append(trainset + u'\\' + folders[i]);
        prefixes.append(folders[i]);
    }
    AddListingsSorted(files, listed, root, trainset, paths, prefixes,
                      {QStringLiteral("*.WAG"), QStringLiteral("*.ENG")});
}

// The stock of the store and of the MSTS folder, the store's names first. The MSTS folder's
// thousands of stock folders are listed on a thread of their own while the store's are listed
// here: each listing ends with work for one thread (the folders taken into the path layer's
// cache and added in order), which the other's reading fills. Each fills its own root's part of
// `listed`, which shares nothing between the roots.
void ListStock(StringList& files, ListedFileDates& listed) {
    StringList inMsts;
    std::future<void> msts;
    try {
        msts = std::async(std::launch::async, [&] {
            const QuietStatus quiet;
            ListStockIn(App().MstsRootFolder, inMsts, listed);
        });
    } catch (const std::system_error&) {
        // No thread to be had: listed here after the store's.
    }
    ListStockIn(App().StoreRootFolder, files, listed);
    if (msts.valid())
        msts.get();
    else
        ListStockIn(App().MstsRootFolder, inMsts, listed);
    AddSorted(files, inMsts);
}

// `<root>\TRAINS\CONSISTS\*.CON` of both roots. The folder of thousands of consists is read as
// the many stock folders are, outside the path layer's lock, so that listings made at the same
// time on other threads do not wait for it.
void ListConsists(StringList& files, ListedFileDates& listed) {
    for (const QString& root : {App().MstsRootFolder, App().StoreRootFolder}) {
        const QString consists = root + u'\\' + kConsistsFolder;
        AddListingsSorted(files, listed, root, consists, {consists}, {QString()},
                          {QStringLiteral("*.CON")});
    }
}

// Every route's path files in both roots.
void ListPaths(StringList& files, ListedFileDates& listed) {
    StringList found;
    // The folders of hundreds of routes are listed, and nothing is changed on the way.
    const ReportsTakenOnce listing;
    for (const QString& root : {App().MstsRootFolder, App().StoreRootFolder}) {
        ListRouteFilesOfKind(PT_PATH, found, root, &listed);
        AddSorted(files, found);
        found.Clear();
    }
}

// A listing made ahead on a thread of its own; `done` tells whether it was made.
struct AheadListing {
    std::future<bool> done;
    StringList files;
    ListedFileDates listed;
};

struct KindListings {
    KeptListing kept;
    std::unique_ptr<AheadListing> ahead; // set and taken on the main thread only
};

KindListings& ListingsOf(RebuildKind kind) {
    static std::array<KindListings, 3> kinds;
    return kinds[std::size_t(kind)];
}

// The kept listing of the kind, else one made now. A kind is listed on one thread at a time.
void ListKeptOrNow(RebuildKind kind, StringList& files, ListedFileDates& listed) {
    ListingsOf(kind).kept.List(files, listed, [&] {
        switch (kind) {
        case RebuildKind::Stock:
            ListStock(files, listed);
            break;
        case RebuildKind::Consists:
            ListConsists(files, listed);
            break;
        case RebuildKind::Paths:
            ListPaths(files, listed);
            break;
        }
    });
}

// The runs of rebuilds going on (ListingsAhead alive) and the stock listing of the latest.
struct Runs {
    int live = 0;
    std::optional<ListedFileDates> stock;
};

Runs& RunsNow() {
    static Runs runs;
    return runs;
}

// Waits for a listing made ahead while the window stays alive; true when it was made.
bool Made(AheadListing& ahead) {
    while (ahead.done.wait_for(kPumpEvery) != std::future_status::ready)
        PumpMessagesIfBusy();
    return ahead.done.get();
}

} // namespace

void ListRebuildFiles(RebuildKind kind, StringList& files, ListedFileDates& listed) {
    const std::unique_ptr<AheadListing> ahead = std::move(ListingsOf(kind).ahead);
    if (ahead && Made(*ahead)) {
        files = std::move(ahead->files);
        listed = std::move(ahead->listed);
    } else {
        ListKeptOrNow(kind, files, listed);
    }
    if (kind == RebuildKind::Stock && RunsNow().live > 0)
        RunsNow().stock = listed;
}

const ListedFileDates* RunStockListing() {
    // Kept only while a run lives: the last ListingsAhead to go drops it.
    const std::optional<ListedFileDates>& stock = RunsNow().stock;
    return stock ? &*stock : nullptr;
}

ListingsAhead::ListingsAhead(const std::vector<RebuildKind>& rebuilds) {
    ++RunsNow().live;
    // The first rebuild lists on the calling thread, as it would alone.
    for (std::size_t i = 1; i < rebuilds.size(); ++i) {
        const RebuildKind kind = rebuilds[i];
        std::unique_ptr<AheadListing>& slot = ListingsOf(kind).ahead;
        if (slot)
            continue; // being listed ahead already
        auto ahead = std::make_unique<AheadListing>();
        AheadListing* into = ahead.get();
        try {
            ahead->done = std::async(std::launch::async, [kind, into] {
                const QuietStatus quiet;
                try {
                    ListKeptOrNow(kind, into->files, into->listed);
                    return true;
                } catch (...) {
                    return false; // the rebuild lists again
                }
            });
        } catch (const std::system_error&) {
            continue; // no thread to be had: the rebuild lists as usual
        }
        started_.push_back(Started{kind, ahead.get()});
        slot = std::move(ahead);
    }
}

ListingsAhead::~ListingsAhead() {
    // What a run listed holds for that run alone.
    if (--RunsNow().live == 0)
        RunsNow().stock.reset();
    for (const Started& started : started_) {
        std::unique_ptr<AheadListing>& slot = ListingsOf(started.kind).ahead;
        if (slot && slot.get() == started.listing) {
            slot->done.wait();
            slot.reset();
        }
    }
}

} // namespace qv
