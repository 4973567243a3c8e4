// The text search in the tree of stored objects: every unopened list is filled from the caches
// so that its entries are searched too, the node texts are matched in tree order from the node
// where the last search stopped, and the tree is left collapsed down to the match (or to the
// node where the search started, when nothing was found).
#pragma once

#include "core/searchtext.h"

namespace qv {

class ItemTree;

// Searches the tree from the record's state; LastResult above 0 when a match was found. A search
// goes on in the node of the last match only while that node is still the selected one; after
// the user selected another node it starts at the start of that node's text.
void SearchTreeView(SearchTextSet& record, ItemTree& tree);

} // namespace qv
