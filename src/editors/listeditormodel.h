// What every list editor holds while it is open: the kind of list it edits and how it was
// opened, the records of the list being built, the program-wide list its Available column shows,
// the map from Available rows to that list, the route nodes of the main tree and the access
// record of the list's entry in its scope's register. The dialogs own one; the shared actions
// and the filters work on it without any widget.
#pragma once

#include "catalogue/namedlists.h"
#include "core/itemset.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace qv {

class ItemNode;

// Edit modes of a list editor.
constexpr int EM_VIEW_ALL = 0;
constexpr int EM_EDIT = 1;
constexpr int EM_NEW_LIST = 2;

struct ListEditorModel {
    // The kind bit of the list: 0x8 or 0x20 for consist lists, 0x40 stock, 0x1000000 or
    // 0x2000000 paths; in View All the item kind (0x400000, 0x8000000, 0x800000).
    std::uint32_t ListType = 0;
    int EditMode = EM_VIEW_ALL;
    // Set while the dialog is being shown: its first refresh writes nothing to the registry.
    bool InFormShow = false;
    // The Used in Route filter was changed since the last refresh.
    bool RouteFilterChanged = false;
    // The records behind the Current rows, row i = element i; owned.
    RecordList<ItemSet> CurrentItems;
    // The program-wide list the Available column shows (not owned).
    RecordList<ItemSet>* AvailableItems = nullptr;
    // The route nodes of the main tree (not owned).
    std::vector<ItemNode*> RouteNodes;
    RouteListsInfo ListInfo;
    // Available row r shows element RowMap[r] of AvailableItems.
    std::vector<int> RowMap;

    // The record behind an Available row, or null for a row the map does not know.
    ItemSet* AvailableRecord(int row) const;
    // The record behind a Current row, or null.
    ItemSet* CurrentRecord(int row) const;
};

// The text a record shows in the editors' lists: its FileName under "View by File Name", else
// its Description.
QString ListItemText(const ItemSet& item);

// The key by which list entries are told apart: a path by its folder and file, a consist or a
// stock item by its file (without regard to case when compared).
QString ListItemKey(const ItemSet& item);
// Whether two records stand for one file.
bool SameListItem(const ItemSet& a, const ItemSet& b);

} // namespace qv
