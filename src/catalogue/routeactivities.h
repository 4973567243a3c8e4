// Operations on the files of whole routes: the activity records of one route for the main object
// tree (through the scenario cache), the rebuild of the scenario cache over a set of routes that
// also yields the consists and stock those routes use, and the path records of one route.
#pragma once

#include "core/itemset.h"

#include <QString>
#include <vector>

namespace qv {

class ItemNode;
class StringList;
struct StoreIniHolder;

// Appends to treeList the route's "Activities" heading and one record per activity. Without an
// item list the activity files are listed in the MSTS folder and the store (the temporary Explore
// activities left out and cleaned away) and read through the open scenario cache, each marked 1
// when found in the MSTS folder, else 2; an activity neither root can read is reported and left
// out. With an item list its activities of this route are taken instead. With a scenario file
// (not the no-file marker) the saved activities are brought in line with those found, keeping
// their saved marks. True when that merge changed something.
bool ReadRouteActivities(RecordList<ItemSet>& treeList, const QString& routeFolder,
                         StoreIniHolder& scenarioCache, const QString& scenarioFile,
                         const RecordList<ItemSet>* itemList);

// Reads every activity and every service file of the given routes (nodes of the main tree), the
// consists those services drive and the stock of those consists and of the activities' loose
// consists, renewing the scenario, consist and stock caches on the way. consistItems and
// stockItems (either may be none) receive the records found. True when every activity, service
// and consist was found; what is missing is reported into the information pane.
bool RebuildScenarioCache(const std::vector<ItemNode*>& routeNodes,
                          RecordList<ItemSet>* consistItems, RecordList<ItemSet>* stockItems);

// Reads the path files of one route (MSTS folder and store) through the path cache into
// pathItems; skip and missing are those of ReadPathFiles. Always true.
bool RebuildRoutePathCache(RecordList<ItemSet>& pathItems, const QString& routeFolder, bool skip,
                           StringList* missing);

} // namespace qv
