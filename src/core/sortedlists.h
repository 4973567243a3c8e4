// Walks over sorted lists that the catalogue and the store engine share: bringing one item list
// in line with another, and the entries two sorted string lists have in common or that the first
// lacks. Every comparison is CompareText, the order the lists are sorted in.
#pragma once

#include "core/itemset.h"
#include "core/stringlist.h"

#include <QStringList>

namespace qv {

// Adds to `out` each entry that both sorted lists hold (as the first list spells it); true when
// there was any.
bool SortedStringsCommon(const StringList& first, const StringList& second, StringList& out);

// Adds to `out` each entry of the sorted `second` that the sorted `first` lacks; true when there
// was any.
bool SortedStringsMissing(const StringList& first, const StringList& second, StringList& out);

// Makes `target` hold exactly the items of `source` (alike when Folder and FileName compare
// equal), keeping target's own record, with its PLevel and StoreInd, where an item stands in both
// and taking source's Description and PType into it. Items only in the source are added as
// copies, items only in the target are freed. The target ends up in the file-name order
// (CompareFileNameOrder) with no empty places. True when any item was added, removed or changed.
bool MergeItemLists(RecordList<ItemSet>& target, const RecordList<ItemSet>& source);

// Puts `name` into `sorted` (CompareText order, each name once) unless an equal name is there.
// Names mostly arrive nearly in order, so the search starts at the end: a name that belongs there
// costs one comparison.
void InsertSorted(StringList& sorted, const QString& name);

// Adds names that arrive one by one, nearly in CompareText order, to a list in that order that
// holds each name once: when done, the list holds what adding the names one by one to a sorted
// list that ignores duplicates would hold (an entry held already, or the first added of names
// alike, stays). A listing of tens of thousands of files hands its names on as it makes them:
// each is compared while it is fresh in memory, and merged with the entries held already in the
// same pass, rather than every name being looked at again afterwards.
class SortedMerge {
public:
    explicit SortedMerge(StringList& list);
    SortedMerge(const SortedMerge&) = delete;
    SortedMerge& operator=(const SortedMerge&) = delete;

    void Add(const QString& name);
    // Puts the merged names into the list; nothing is to be added after.
    void Done();

private:
    StringList& list_;
    QStringList held_;   // the list's entries when the merge began
    qsizetype next_ = 0; // the first of them not yet passed on
    StringList merged_;
    QString last_; // the last name that came in order: none passed on sorts after it
    bool any_ = false;
};

} // namespace qv
