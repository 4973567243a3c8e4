// Walks over sorted lists that the catalogue and the store engine share: bringing one item list
// in line with another, and the entries two sorted string lists have in common or that the first
// lacks. Every comparison is CompareText, the order the lists are sorted in.
#pragma once

#include "core/itemset.h"
#include "core/stringlist.h"

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

} // namespace qv
