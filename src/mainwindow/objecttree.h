// The tree of stored objects on the Classic page, without its view: (re)loading it from the MSTS
// folder or from a scenario, filling a named-list node with its entries when it is first opened,
// the text and state icon of a node, and remembering the selected node across runs and pages.
#pragma once

#include "core/appstate.h"
#include "core/itemset.h"

#include <QString>
#include <cstdint>

namespace qv {

class ItemNode;
class ItemTree;

// Refills the tree. With no scenario file, no item list and state -1 it is built afresh from
// what the MSTS folder and the store hold; otherwise from the scenario file, or from `items`
// (the page switch), carrying that scenario's marks. A scenario that had to be changed while
// loading is marked changed and the user is told so once the tree is complete.
void LoadTree(ItemTree& tree, const QString& scenarioFile, RecordList<ItemSet>* items, int state);

// Opens an unopened list node (a heading whose first child is the placeholder standing for the
// list's entries): the placeholder gives way to the list's entries, read through the caches.
// Any other node is left as it is.
void ExpandNodeFromCaches(ItemNode* node);

// Opens every unopened list of the tree as ExpandNodeFromCaches does, reading the caches once.
void FillUnopenedLists(ItemTree& tree);

// The state icon of a list entry by its list kind: Explore Mode Consist 5, Maintenance Mode
// Consist 6, Maintenance Mode Stock 8, Explore Mode Path 9, Maintenance Mode Path 10; none (-1)
// for any other value.
void SetNodeImageByKind(ItemNode* node, std::int32_t kind);

// The text a node shows: as ItemNodeText, except that a Maintenance Mode Stock entry shown by
// file name drops everything up to its last backslash or colon.
QString ObjectNodeText(const ItemNode& node);

// Fills the record from the selected node (nothing selected: empty folder and kind 0, the file
// name kept) and, with `write`, stores it as "Last Node Folder", "Last Node FileName" and
// "Last Node PType". Only a route keeps its file name.
void RememberLastNode(const ItemTree& tree, AppState::TreeSelectionInfo& info, bool write);

// Selects and collapses the node the record names; returns its position in tree order, 0 when
// none is found or the record names no folder.
int ReselectLastNode(ItemTree& tree, const AppState::TreeSelectionInfo& info);

// After a scenario load that changed the scenario: every activity in use whose route is in store
// is marked in use again (which brings its route into use), and that route is collapsed.
void ReapplyActivityMarks(ItemTree& tree);

} // namespace qv
