// Committing an edited list: its list file, its entry in the scope's register and its nodes in
// the tree of stored objects, in the forms a kind heading takes (empty, one list, several lists).
#pragma once

#include "core/itemset.h"

#include <cstdint>

namespace qv {

class ItemNode;
class ItemTree;
struct RouteListsInfo;

// Commits `currentItems` as the list of `node` (a list node, or an entry of one) in `editMode`
// (1 edit, 2 new list). The list file is written first: when that fails nothing else changes and
// the result is false. A node that is no list is reported and gives false. Afterwards a list node
// holds one placeholder entry standing for the rest; an emptied list leaves its register and the
// tree (the heading becomes empty, or the last remaining list folds back into it, active).
bool CommitListEdit(RecordList<ItemSet>& currentItems, ItemTree& tree, ItemNode* node, int editMode,
                    RouteListsInfo& info, std::uint32_t listType);

} // namespace qv
