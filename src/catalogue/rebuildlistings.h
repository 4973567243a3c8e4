// The listings the cache rebuilds start from: the engine and wagon, consist or path files of both
// roots with the dates their folders gave. Each kind's listing is kept for its next rebuild while
// the path layer learns of no change; and the listings of rebuilds that follow one another can be
// made at once, each on a thread of its own, while the first of those rebuilds goes on.
#pragma once

#include <vector>

namespace qv {

class ListedFileDates;
class StringList;

enum class RebuildKind { Stock, Consists, Paths };

// Fills `files` (in CompareText order, each name once) and `listed` with the listing a rebuild of
// the kind starts from: the one made ahead for it when there is one (waited for while the events
// are pumped), else the one kept from the last rebuild of the kind while that holds, else one
// made now. Called on the main thread.
void ListRebuildFiles(RebuildKind kind, StringList& files, ListedFileDates& listed);

// The listing the last stock rebuild started from, while the ListingsAhead of its run of rebuilds
// lives, else null: the rebuilds after it in the run look engines up there, as the listings made
// ahead for them are of that same moment. Main thread only.
const ListedFileDates* RunStockListing();

// While one lives, the listings of the rebuilds given after the first are made at once, each on a
// thread of its own that shows nothing, and the next rebuild of each of those kinds takes its
// listing from there instead of listing again. Those no rebuild took are waited for and dropped
// when it goes. Made on the main thread just before the rebuilds, which come in the order given.
class ListingsAhead {
public:
    explicit ListingsAhead(const std::vector<RebuildKind>& rebuilds);
    ~ListingsAhead();
    ListingsAhead(const ListingsAhead&) = delete;
    ListingsAhead& operator=(const ListingsAhead&) = delete;

private:
    struct Started {
        RebuildKind kind;
        const void* listing; // the one this started, when no rebuild took it yet
    };
    std::vector<Started> started_;
};

} // namespace qv
