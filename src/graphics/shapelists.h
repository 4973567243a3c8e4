// Counted lists of blocks, the bulk of every shape. Most are read where they stand; the long
// lists of points, UV points, normals and vertices may be left for later, when the text source
// can cut them into runs of whole items, and then read on several threads at once.
#pragma once

#include "graphics/shapesource.h"
#include "graphics/shapetokens.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <type_traits>
#include <vector>

namespace qv {

namespace shapelists {

// A first stretch reserved for a list; beyond it a list grows by what is really there, so that
// a large claim in a large file costs nothing until its entries are read.
constexpr qint64 kFirstReserve = 1 << 16;
// Long lists shorter than this are read where they stand: a run of their own costs more.
constexpr qint64 kLaterFrom = 64;
// Items in a run of a long list, and the most runs of one list.
constexpr qint64 kItemsPerRun = 512;
constexpr qint64 kMostRuns = 16;
// Lists of plain values (a triangle list's vertex indexes) shorter than this are read where
// they stand, and the values in a run of one.
constexpr qint64 kValuesLaterFrom = 512;
constexpr qint64 kValuesPerRun = 1024;
// The most threads reading long lists, the reading thread counted.
constexpr std::size_t kMostThreads = 4;

inline bool Ignorable(int token) {
    return token == kTokenComment || token == kTokenSkip;
}

// Blocks inside a block; comments are passed over.
inline bool OpenChild(ShapeSource& source, int* token, QString* label) {
    while (source.Open(token, label)) {
        if (!Ignorable(*token))
            return true;
        source.Close();
    }
    return false;
}

// The most entries a list of blocks may claim, where a real shape needs far fewer: an empty
// block takes a few bytes of a file and a good deal more of the model, so that millions of
// empty distance levels or sub-objects would build a model of gigabytes from a small file. Real
// shapes hold a handful of distance levels and sub-objects, one animation, two controllers per
// node and some dozens of matrices, states and names. -1: bounded by the file's bytes alone
// (each entry takes about as much of the model as of the file).
inline qint64 MostEntries(int list) {
    switch (list) {
    case kTokenControllers:
        return 16;
    case kTokenLodControls:
    case kTokenAnimations:
        return 64;
    case kTokenDistanceLevels:
        return 256;
    case kTokenSubObjects:
        return 4096;
    case kTokenMatrices:
    case kTokenAnimNodes:
    case kTokenShaderNames:
    case kTokenTextureFilterNames:
    case kTokenImages:
    case kTokenTextures:
    case kTokenVtxStates:
    case kTokenPrimStates:
        return 65536;
    default:
        return -1;
    }
}

// A list's leading count, checked against what the rest of the block could hold and what a
// shape may need.
inline qint64 Count(ShapeSource& source, int list, bool blocks) {
    const qint64 count = source.Int();
    if (!source.Fits(count, blocks))
        ThrowShapeError(QStringLiteral("the %1 list at %2 claims %3 entries, more than the file "
                                       "can hold")
                            .arg(ShapeTokenName(list), source.Where())
                            .arg(count));
    const qint64 most = MostEntries(list);
    if (most >= 0 && count > most)
        ThrowShapeError(QStringLiteral("the %1 list at %2 claims %3 entries, more than a shape "
                                       "needs (%4 at most)")
                            .arg(ShapeTokenName(list), source.Where())
                            .arg(count)
                            .arg(most));
    return count;
}

// A list found to hold more entries than it claims: refused as soon as the first one more is
// met, so that its entries never grow beyond the count checked.
[[noreturn]] inline void ThrowMoreThanClaimed(ShapeSource& source, int list, qint64 count) {
    ThrowShapeError(QStringLiteral("the %1 list holds more entries than the %2 it claims, at %3")
                        .arg(ShapeTokenName(list))
                        .arg(count)
                        .arg(source.Where()));
}

// Items read the quick way where the source can (a source's Vertices, Vectors or Uvs): none.
struct NoQuickItems {
    template <typename Item> qint64 operator()(ShapeSource&, Item*, qint64) const { return 0; }
};

// The most items made at once for blocks read the quick way where they stand.
constexpr std::size_t kMostQuickStretch = 1024;

// The items up to the end of the source's current block, each read by `read(source, item,
// label)` inside its block and added to `into`. Those the source reads the quick way are read
// by `quick(source, first, room)` straight into items made for them a stretch at a time; the
// stretch grows while they fill it and falls to one item after a block read the other way.
template <typename Item, typename Read, typename Quick = NoQuickItems>
void ReadItems(ShapeSource& source, int list, int item, qint64 count, std::vector<Item>* into,
               const Read& read, const Quick& quick = {}) {
    int token = 0;
    QString label;
    std::size_t stretch = 1;
    for (;;) {
        if constexpr (!std::is_same_v<Quick, NoQuickItems>) {
            const std::size_t had = into->size();
            stretch = std::min(stretch, std::size_t(std::max<qint64>(count - qint64(had), 0)));
            into->resize(had + stretch);
            const auto got = std::size_t(quick(source, into->data() + had, qint64(stretch)));
            into->resize(had + got);
            stretch = got == stretch && got > 0 ? std::min(stretch * 2, kMostQuickStretch) : 1;
        }
        if (!OpenChild(source, &token, &label))
            break;
        if (token != item)
            ThrowShapeError(QStringLiteral("the %1 list holds a %2 block at %3")
                                .arg(ShapeTokenName(list), ShapeTokenName(token), source.Where()));
        if (qint64(into->size()) >= count)
            ThrowMoreThanClaimed(source, list, count);
        into->emplace_back();
        read(source, into->back(), label);
        source.Close();
    }
}

// The same items into the `room` items from `first` on, which they must fill: a run of a long
// list, whose faults are reported by reading the shape again in one go. Those the source reads
// the quick way, `quick(source, first, room)` reads; `read` the others.
template <typename Item, typename Read, typename Quick>
void ReadItemsInto(ShapeSource& source, int list, int item, Item* first, qint64 room,
                   const Read& read, const Quick& quick) {
    qint64 filled = 0;
    int token = 0;
    QString label;
    for (;;) {
        filled += quick(source, first + filled, room - filled);
        if (!OpenChild(source, &token, &label))
            break;
        if (token != item || filled == room)
            ThrowShapeError(QStringLiteral("the %1 list holds a %2 block at %3")
                                .arg(ShapeTokenName(list), ShapeTokenName(token), source.Where()));
        read(source, first[filled++], label);
        source.Close();
    }
    if (filled != room)
        ThrowShapeError(QStringLiteral("a run of the %1 list holds %2 entries, not %3")
                            .arg(ShapeTokenName(list))
                            .arg(filled)
                            .arg(room));
}

// `count` whole numbers where they stand into `values`, replacing what it held: those written
// the usual way a stretch at a time, the others one by one.
template <typename Values> void ReadIntegers(ShapeSource& source, qint64 count, Values* values) {
    values->resize(qsizetype(count));
    int* const first = values->data();
    for (qint64 read = 0; read < count;) {
        read += source.Ints(first + read, count - read);
        if (read < count)
            first[read++] = source.Int();
    }
}

// The `count` items of the list read where they stand into `into`, replacing what it held
// (see ReadItems for `quick`).
template <typename Item, typename Read, typename Quick = NoQuickItems>
void ReadItemsHere(ShapeSource& source, int list, int item, qint64 count, std::vector<Item>* into,
                   const Read& read, const Quick& quick = {}) {
    into->clear();
    into->reserve(std::size_t(std::min<qint64>(count, kFirstReserve)));
    ReadItems(source, list, item, count, into, read, quick);
    if (qint64(into->size()) != count)
        ThrowShapeError(QStringLiteral("the %1 list holds %2 entries, not the %3 it claims")
                            .arg(ShapeTokenName(list))
                            .arg(into->size())
                            .arg(count));
}

// The long lists left for later, each cut into runs that helper threads read while the rest of
// the shape is still being read. Reading them is all or nothing: when a run fails or the runs
// do not join into the list they were cut from, ReadAll says so and the caller reads the whole
// shape again in one go, which reports the fault where it stands.
class LaterLists {
public:
    LaterLists() = default;
    LaterLists(const LaterLists&) = delete;
    LaterLists& operator=(const LaterLists&) = delete;
    ~LaterLists();

    // `into` gets the list's `count` items once they are all read, run k holding those from
    // k * `perRun` on; it must stay where it is until then. The items are made here, before
    // they are read, and each run reads its own where they stay: joining runs read on other
    // threads into one vector would move every item once more.
    template <typename Item, typename Read, typename Quick>
    void Add(std::vector<std::unique_ptr<ShapeSource>> runs, qint64 perRun, int list, int item,
             qint64 count, std::vector<Item>* into, Read read, Quick quick) {
        Forget(into);
        if (perRun < 1 || qint64(runs.size()) != (count + perRun - 1) / perRun) {
            // Runs that would leave items unread: the shape is read again in one go.
            failed_ = true;
            return;
        }
        auto items = std::make_shared<std::vector<Item>>(std::size_t(count));
        auto later = std::make_unique<Later>();
        later->into = into;
        later->runs = std::move(runs);
        later->readRun = [items, perRun, count, list, item, read, quick](ShapeSource& run,
                                                                         std::size_t k) {
            const qint64 first = qint64(k) * perRun;
            ReadItemsInto(run, list, item, items->data() + first, std::min(perRun, count - first),
                          read, quick);
        };
        later->join = [items, into] {
            *into = std::move(*items);
            return true;
        };
        Queue(std::move(later), count);
    }

    // The same for a list of whole numbers, cut between two values. It stands inside `key`'s
    // object, which may move meanwhile: `locate()` finds it once all is read (null when it is
    // gone). Each run is read into a part of its own; the thread that reads the last run of a
    // list joins the parts, so that the reading thread only takes the whole list over in
    // ReadAll, once it knows no item of the shape moved meanwhile.
    template <typename Locate>
    void AddValues(std::vector<std::unique_ptr<ShapeSource>> runs, qint64 count, const void* key,
                   Locate locate) {
        struct Parts {
            std::vector<std::vector<int>> parts;
            std::atomic<std::size_t> left;
            std::vector<int> whole;
        };
        auto shared = std::make_shared<Parts>();
        shared->parts.resize(runs.size());
        shared->left = runs.size();
        auto later = std::make_unique<Later>();
        later->into = key;
        later->runs = std::move(runs);
        const qint64 share =
            std::min<qint64>(count / qint64(later->runs.size()) + 16, kFirstReserve);
        later->readRun = [shared, share](ShapeSource& run, std::size_t k) {
            // Read into a vector of this thread's own: the parts stand side by side, and
            // growing one where it stands would have the helpers write to the same cache
            // lines item after item.
            std::vector<int> part;
            part.reserve(std::size_t(share));
            int stretch[256];
            while (!run.AtEnd()) {
                const qint64 read = run.Ints(stretch, qint64(std::size(stretch)));
                part.insert(part.end(), stretch, stretch + read);
                if (read == 0)
                    part.push_back(run.Int());
            }
            shared->parts[k] = std::move(part);
            if (shared->left.fetch_sub(1) != 1)
                return;
            std::size_t total = 0;
            for (const std::vector<int>& each : shared->parts)
                total += each.size();
            shared->whole.reserve(total);
            for (std::vector<int>& each : shared->parts) {
                std::move(each.begin(), each.end(), std::back_inserter(shared->whole));
                std::vector<int>().swap(each);
            }
        };
        later->join = [shared, locate, count] {
            std::vector<int>* const into = locate();
            if (into == nullptr || shared->left != 0 || qint64(shared->whole.size()) != count)
                return false;
            *into = std::move(shared->whole);
            return true;
        };
        Queue(std::move(later), count);
    }

    // Wakes the helpers, once, as a long list is about to be cut: they take a while to come
    // round, the time it takes to find the first list's end. A small shape calls none.
    void CallHelpers();

    // Lists left for later inside objects from `from` to `to` are dropped with the objects. Their
    // runs no helper has taken yet are read at once, as a reading in one go would read them, to
    // find their faults; then all they hold is let go, so that lists replaced again and again
    // hold no memory and keep no helper busy.
    void ForgetWithin(const void* from, const void* to);
    // A list read again into `into` where it stands replaces any left for later.
    void Forget(const void* into) { ForgetWithin(into, static_cast<const char*>(into) + 1); }

    // Reads the runs not yet taken, waits for the helpers and fills the lists; false when any
    // run failed.
    bool ReadAll();

private:
    struct Later {
        const void* into = nullptr;
        // Set by the reading thread alone.
        bool forgotten = false;
        std::vector<std::unique_ptr<ShapeSource>> runs;
        std::function<void(ShapeSource&, std::size_t)> readRun;
        std::function<bool()> join;
        // The runs handed out so far, in order (under the lock), and the items of each.
        std::size_t taken = 0;
        qint64 itemsPerRun = 0;
        // The runs not yet read, and one more while the list is not forgotten: whoever drops
        // the last lets go of what the list holds.
        std::atomic<std::size_t> holds{0};
    };

    friend class HelperPool;

    // Queues the runs of the list of `count` items; the helpers are woken once a run's worth of
    // items waits, so that a stream of short lists does not wake a sleeping thread for each.
    void Queue(std::unique_ptr<Later> later, qint64 count);
    // Takes runs from the queue and reads them until it is empty and closed.
    void Help();
    // The next run of the queue, under the lock: false when none is left.
    bool TakeRun(Later** list, std::size_t* index);
    // Reads a run taken (unless a run failed already) and drops its hold on the list.
    void ReadRun(Later& list, std::size_t index);
    void Drop(Later& list);
    void ForgetList(Later& list);
    // Closes the queue and returns once no helper reads a run of these lists any more.
    void StopHelpers();

    std::vector<std::unique_ptr<Later>> lists_;
    // The lists not yet forgotten by where they are read into, so that forgetting those within
    // an object does not look through every list of the shape.
    std::multimap<quintptr, Later*> byPlace_;
    std::mutex mutex_;
    std::condition_variable wake_;
    // Lists with runs to hand out, in the order they came; those handed out whole are passed
    // over.
    std::deque<Later*> queue_;
    // The items of the runs queued and not yet taken.
    qint64 waiting_ = 0;
    bool closed_ = false;
    std::atomic<bool> failed_{false};
    bool helpersCalled_ = false;
};

// `list ( count item ( ... ) item ( ... ) ... )`: each item is read by
// `read(source, item, label)` inside the item's block.
template <typename Item, typename Read, typename Quick = NoQuickItems>
void ReadList(ShapeSource& source, int list, int item, std::vector<Item>* into, Read read,
              Quick quick = {}) {
    const qint64 count = Count(source, list, true);
    if (source.later != nullptr) {
        // The items read before go, and with them whatever long list inside them was left for
        // later.
        source.later->Forget(into);
        source.later->ForgetWithin(into->data(), into->data() + into->capacity());
    }
    // A list that may outgrow its first stretch moves its items, and with them whatever long
    // list inside them was left for later: those are read where they stand.
    LaterLists* const later = source.later;
    if (count > kFirstReserve)
        source.later = nullptr;
    ReadItemsHere(source, list, item, count, into, read, quick);
    source.later = later;
}

// A list that is often long (points, UV points, normals, vertices): left for later when the
// source can cut it into runs, else read where it stands. Items the source reads the quick way
// are read by `quick` (see ReadItems).
template <typename Item, typename Read, typename Quick = NoQuickItems>
void ReadLongList(ShapeSource& source, int list, int item, std::vector<Item>* into, Read read,
                  Quick quick = {}) {
    if (source.later == nullptr) {
        ReadList(source, list, item, into, read, quick);
        return;
    }
    const qint64 count = Count(source, list, true);
    if (count >= kLaterFrom) {
        source.later->CallHelpers();
        const qint64 perRun = std::max(kItemsPerRun, (count + kMostRuns - 1) / kMostRuns);
        std::vector<std::unique_ptr<ShapeSource>> cut =
            source.SplitList(count, perRun, qint64(sizeof(Item)));
        if (!cut.empty()) {
            into->clear();
            source.later->Add(std::move(cut), perRun, list, item, count, into, read, quick);
            return;
        }
    }
    source.later->Forget(into);
    ReadItemsHere(source, list, item, count, into, read, quick);
}

// `count value value ...` up to the end of the source's current block into `into`: left for
// later when it is long and the source can cut it into runs (see AddValues for `key` and
// `locate`), else read where it stands.
template <typename Locate>
void ReadValues(ShapeSource& source, int list, std::vector<int>* into, const void* key,
                Locate locate) {
    const qint64 count = Count(source, list, false);
    into->clear();
    if (source.later != nullptr && count >= kValuesLaterFrom) {
        source.later->CallHelpers();
        const int runs = int(std::clamp<qint64>(count / kValuesPerRun, 1, kMostRuns));
        std::vector<std::unique_ptr<ShapeSource>> cut = source.SplitValues(runs);
        if (!cut.empty()) {
            source.later->AddValues(std::move(cut), count, key, locate);
            return;
        }
    }
    ReadIntegers(source, count, into);
}

} // namespace shapelists

} // namespace qv
