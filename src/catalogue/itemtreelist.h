// The flat list of items in display order behind the main object tree: the global root with the
// global named lists, then the routes root with each route, its activities and its named lists.
// Each record's PLevel tells its depth, so that the tree fill makes one parent node per level.
// Built from what the MSTS folder and the store hold now, or merged with a saved scenario so that
// routes and activities carry the store marks saved in it.
#pragma once

#include "core/itemset.h"

#include <QString>
#include <cstdint>

namespace qv {

struct StoreIniHolder;

// Page codes: the main window's page index, or every page at once.
constexpr int TREE_PAGE_SIMULATION = 0;
constexpr int TREE_PAGE_MAINTENANCE = 1;
constexpr int TREE_PAGE_ALL = 100;

// The named-list kinds a page shows under the global root and under each route (none for an
// unknown page).
std::uint32_t GlobalListKindsOfPage(int page);
std::uint32_t RouteListKindsOfPage(int page);

// Appends the whole tree list for the page. With list nodes (the main tree) each named list gives
// its heading, its list node and only its first member, standing for the rest; without them every
// member of every list and no heading or list node. Sets TreeSynchronised.
void BuildItemTree(RecordList<ItemSet>& list, int page, bool withListNodes, bool withActivities);

// As BuildItemTree with activities, but the routes and activities come from the scenario file
// (or from `itemList` when one is given instead, as the page switch does) and are brought in line
// with the current content, keeping their saved store marks. True when the saved selection
// differed from the current content (an item added or removed, or its description or kind changed).
bool BuildScenarioTree(RecordList<ItemSet>& list, const QString& scenarioFile,
                       const RecordList<ItemSet>* itemList, bool withListNodes, int page);

// Appends the "Global Settings" root.
void AddGlobalRoot(RecordList<ItemSet>& list);

// For each list kind of the mask, in the order Explore Mode Consists, Maintenance Mode Consists,
// Maintenance Mode Stock, Explore Mode Paths, Maintenance Mode Paths, appends every list of that
// kind of the scope `folder` (active or not); a kind without lists still gives its heading when
// list nodes are asked for. Global stock lists belong to TRAINS\TRAINSET.
void AddListNodes(RecordList<ItemSet>& list, const QString& folder, std::uint32_t kindMask,
                  StoreIniHolder& pathCache, StoreIniHolder& consistCache,
                  StoreIniHolder& stockCache, bool withListNodes);

} // namespace qv
