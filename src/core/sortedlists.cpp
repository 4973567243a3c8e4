#include "core/sortedlists.h"

#include "core/itemkinds.h"

#include <algorithm>

namespace qv {

namespace {

// The walk advances both lists by the order the lists are sorted in; a list sorted by any other
// key would make the walk take items that stand in both lists for different ones.
int CompareMergeOrder(const ItemSet& a, const ItemSet& b) {
    const int folder = CompareText(a.Folder, b.Folder);
    return folder != 0 ? folder : CompareText(a.FileName, b.FileName);
}

bool MergeLess(const ItemSet* a, const ItemSet* b) {
    return CompareMergeOrder(*a, *b) < 0;
}

} // namespace

bool SortedStringsCommon(const StringList& first, const StringList& second, StringList& out) {
    bool any = false;
    int f = 0;
    int s = 0;
    while (f < first.Count() && s < second.Count()) {
        const int order = CompareText(first[f], second[s]);
        if (order == 0) {
            out.Add(first[f]);
            any = true;
            ++f;
            ++s;
        } else if (order > 0) {
            ++s;
        } else {
            ++f;
        }
    }
    return any;
}

bool SortedStringsMissing(const StringList& first, const StringList& second, StringList& out) {
    bool any = false;
    int f = 0;
    int s = 0;
    while (f < first.Count() && s < second.Count()) {
        const int order = CompareText(first[f], second[s]);
        if (order == 0) {
            ++f;
            ++s;
        } else if (order > 0) {
            out.Add(second[s]);
            any = true;
            ++s;
        } else {
            ++f;
        }
    }
    for (; s < second.Count(); ++s) {
        out.Add(second[s]);
        any = true;
    }
    return any;
}

bool MergeItemLists(RecordList<ItemSet>& target, const RecordList<ItemSet>& source) {
    // The source belongs to the caller and is left as it is: walk it through a sorted view.
    std::vector<const ItemSet*> from;
    for (const auto& item : source) {
        if (item)
            from.push_back(item.get());
    }
    std::stable_sort(from.begin(), from.end(), MergeLess);

    bool changed = false;
    std::vector<std::unique_ptr<ItemSet>> own;
    for (auto& item : target) {
        if (item)
            own.push_back(std::move(item));
    }
    std::stable_sort(own.begin(), own.end(),
                     [](const auto& a, const auto& b) { return MergeLess(a.get(), b.get()); });

    RecordList<ItemSet> merged;
    merged.reserve(from.size());
    std::size_t t = 0;
    std::size_t s = 0;
    while (t < own.size() && s < from.size()) {
        const int order = CompareMergeOrder(*own[t], *from[s]);
        if (order == 0) {
            ItemSet& kept = *own[t];
            if (kept.Description != from[s]->Description) {
                kept.Description = from[s]->Description;
                changed = true;
            }
            if (kept.PType != from[s]->PType) {
                kept.PType = from[s]->PType;
                changed = true;
            }
            merged.push_back(std::move(own[t]));
            ++t;
            ++s;
        } else if (order > 0) {
            merged.push_back(std::make_unique<ItemSet>(*from[s]));
            changed = true;
            ++s;
        } else {
            own[t].reset(); // the source lacks it
            changed = true;
            ++t;
        }
    }
    for (; s < from.size(); ++s) {
        merged.push_back(std::make_unique<ItemSet>(*from[s]));
        changed = true;
    }
    if (t < own.size())
        changed = true; // the rest of the target is freed with `own`
    // Callers expect the list in the file-name order it has always come back in.
    std::stable_sort(merged.begin(), merged.end(),
                     [](const auto& a, const auto& b) { return CompareFileNameOrder(*a, *b) < 0; });
    target = std::move(merged);
    return changed;
}

void InsertSorted(StringList& sorted, const QString& name) {
    int above = sorted.Count(); // sorted[above] and after sort after the name
    int below = -1;             // sorted[below] and before sort before it
    // Back from the end in doubling steps, then narrowed down.
    for (int step = 1; above > 0; step *= 2) {
        const int probe = std::max(above - step, 0);
        const int order = CompareText(sorted[probe], name);
        if (order == 0)
            return;
        if (order < 0) {
            below = probe;
            break;
        }
        above = probe;
    }
    while (above - below > 1) {
        const int middle = below + (above - below) / 2;
        const int order = CompareText(sorted[middle], name);
        if (order == 0)
            return;
        (order < 0 ? below : above) = middle;
    }
    sorted.Insert(above, name);
}

SortedMerge::SortedMerge(StringList& list) : list_(list), held_(list.Strings()) {}

void SortedMerge::Add(const QString& name) {
    if (any_) {
        const int order = CompareText(last_, name);
        if (order == 0)
            return; // the first of names alike stays
        if (order > 0) {
            // Every entry held that sorts after the last name in order is still to come, so the
            // name's place is among those passed on already, mostly near their end.
            InsertSorted(merged_, name);
            return;
        }
    }
    last_ = name;
    any_ = true;
    // The entries held already that sort before the name go first; one alike stays instead.
    while (next_ < held_.size()) {
        const int order = CompareText(held_.at(next_), name);
        if (order > 0)
            break;
        merged_.Add(held_.at(next_++));
        if (order == 0)
            return;
    }
    merged_.Add(name);
}

void SortedMerge::Done() {
    while (next_ < held_.size())
        merged_.Add(held_.at(next_++));
    list_ = std::move(merged_);
}

} // namespace qv
