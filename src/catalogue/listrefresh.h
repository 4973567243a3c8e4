// Bringing the members of a named list up to date, and putting one named list into the item tree
// list. A list file holds only each member's file name, kind and description; before members are
// shown or used they are looked up again in the store and in the MSTS folder (through the caches)
// to learn where each one is now and to refresh what the caches know of it.
#pragma once

#include "core/generaldefs.h"
#include "core/itemset.h"
#include "core/stringlist.h"

#include <QString>
#include <cstdint>

namespace qv {

struct StoreIniHolder;

// The heading of the named lists of a kind (Explore or Maintenance consists, stock or paths).
Msg ListHeadingCaption(std::uint32_t kind);

// Marks the first record from `start` on as standing for the rest of its list when `firstOnly`,
// and clears the mark on every other one: a list file written from a tree that held the
// placeholder carries the mark on a member that must not keep it.
void SetFirstOnlyMark(RecordList<ItemSet>& members, std::size_t start, bool firstOnly);

// Reads the list file `listId` of the scope `folder` into `members` at level 3 (with `firstOnly`
// just its first member, marked as standing for the rest) and looks each member up as a consist,
// store first (In Store), then the MSTS folder (In Use). A member whose kind lacks `kind` is
// dropped; one found in neither root stays with StoreInd -1, is reported and added to `notFound`
// when that is given, and makes the result false. With `append` the records already in `members`
// are left out of the refresh. The members end up sorted. An empty list id ends the program.
bool RefreshConsistList(RecordList<ItemSet>& members, const QString& folder, const QString& listId,
                        StringList* notFound, bool append, bool firstOnly,
                        StoreIniHolder& stockCache, StoreIniHolder& consistCache,
                        std::uint32_t kind);

// The same for path lists: each member is looked up as `<member Folder>\Paths\<FileName>` and a
// found one takes the path's folder and name.
bool RefreshPathList(RecordList<ItemSet>& members, const QString& folder, const QString& listId,
                     StringList* notFound, bool append, bool firstOnly, StoreIniHolder& pathCache,
                     std::uint32_t kind);

// Appends to the item tree list the nodes of the `index`-th entry of `lists` (lines
// "<id>.QVC=<state>,<name>" as ReadRouteLists gives them) for the list kind `kind` of the scope
// `folder`. With list nodes (the main tree): the kind's heading (for index 0 only), a list node
// when the scope has two or more lists, and the list's first member only, standing for the rest
// until the node is opened. Without them: every member, no heading or list node. An empty `lists`
// still gives the heading. The caches a kind needs (path for path lists, stock and consist for the
// others) are used when given and opened for the call otherwise.
void AddListNode(RecordList<ItemSet>& list, std::uint32_t kind, const QString& folder,
                 bool withListNodes, StoreIniHolder* pathCache, StoreIniHolder* stockCache,
                 StoreIniHolder* consistCache, int index, const StringList& lists);

// True for the global scope's folders (TRAINS\CONSISTS, TRAINS\TRAINSET), whose lists hang one
// level higher than a route's.
bool IsGlobalListScope(const QString& folder);

} // namespace qv
