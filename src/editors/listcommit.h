// Committing an edited list: its list file, its entry in the scope's register and its nodes in
// the tree of stored objects, in the forms a kind heading takes (empty, one list, several lists).
#pragma once

#include "core/itemset.h"

#include <cstdint>
#include <functional>

namespace qv {

class ItemNode;
class ItemTree;
struct RouteListsInfo;

// Commits `currentItems` as the list of `node` (a list node, or an entry of one) in `editMode`
// (1 edit, 2 new list). All or nothing: the list file is replaced first (a copy of its old
// content kept beside it until the end), then the register is written, and only then does the
// tree change. Killed at any moment, it leaves the old list file or the new one. When anything
// cannot be written it has been reported, the list file is put back, the tree is untouched and the
// result is false, so that the same commit can be made again. A node that is no list is reported
// and gives false. Afterwards a closed list node holds one placeholder entry standing for the
// rest, an open one all its entries; an emptied list leaves its register and the tree (the
// heading becomes empty, or the last remaining list folds back into it, active).
bool CommitListEdit(RecordList<ItemSet>& currentItems, ItemTree& tree, ItemNode* node, int editMode,
                    RouteListsInfo& info, std::uint32_t listType);

// Tests only: called after each step of a commit that is on disk (a test ends the process there,
// as a power cut would). An empty hook removes it.
void SetListCommitStepHookForTests(std::function<void()> hook);

} // namespace qv
