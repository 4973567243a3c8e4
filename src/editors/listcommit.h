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
// (1 edit, 2 new list). All or nothing: the list file is replaced first (its old content kept
// aside), then the register is written, and only then does the tree change. When anything cannot
// be written it has been reported, the list file is put back, the tree is untouched and the
// result is false, so that the same commit can be made again. A node that is no list is reported
// and gives false. Afterwards a closed list node holds one placeholder entry standing for the
// rest, an open one all its entries; an emptied list leaves its register and the tree (the
// heading becomes empty, or the last remaining list folds back into it, active).
bool CommitListEdit(RecordList<ItemSet>& currentItems, ItemTree& tree, ItemNode* node, int editMode,
                    RouteListsInfo& info, std::uint32_t listType);

} // namespace qv
