// The where-used analysis: for a set of content files, which other content uses each of them
// (consists using an engine or wagon, services using a consist or path, activities using a
// service, path or stock item, and the named lists that name them), in the MSTS folder and in the
// store alike. It feeds the where-used report, the survey's closure of a partial route and the
// marking of consists that use stock in the error list.
//
// Items are named by their path relative to a root: a path ROUTES\<route>\PATHS\<file>.pat, a
// service ROUTES\<route>\SERVICES\<file>.srv, a consist by its file name <file>.con, an engine or
// wagon <trainset folder>\<file>.eng|.wag.
#pragma once

#include "core/itemset.h"
#include "core/stringlist.h"
#include "engine/usedinindex.h"

#include <QString>
#include <cstdint>

namespace qv {

class ReportPane;
struct ActivityInfo;
struct ServiceInfo;
struct StoreIniHolder;

// Report modes.
constexpr int WU_COMPLETE = 0;
constexpr int WU_UNUSED_ONLY = 1;
constexpr int WU_USED_ONLY = 2;

// Analyses the items and appends the where-used report (mode 0 complete, 1 unused items only,
// 2 used items only) to the pane. Items with an extension other than .eng, .wag, .con, .srv and
// .pat are left out.
void WhereUsed(ReportPane* pane, const StringList& items, int mode);
// Whether WhereUsed keeps any of the items (one of the kinds it analyses).
bool HasWhereUsedItem(const StringList& items);
// The analysis behind WhereUsed: one header per kept item and every hit, sorted for the report.
void CollectWhereUsed(const StringList& items, UsedInList& results);

// The names sorted without regard to case, each once (the first spelling kept), as a sorted list
// that ignores duplicates gives them, however many there are.
StringList SortedItemList(QStringList names);

// The route folders to which the service and activity searches of these items can be kept, sorted;
// empty means every route. Stock and consists are used in every route, so either empties it.
StringList RouteFilter(const StringList& items);

// Reads every consist of the consist cache (store first) and appends a consist hit for each
// searched stock record it names, and, when consists is given, a searched record for the consist.
void FindConsistsUsingStock(const UsedInSearchList& stock, UsedInSearchList* consists,
                            UsedInList& results);
// Reads the services of one route (or of every route when route is empty) of the root and adds a
// service hit, and a searched record in found, for each searched consist or path they use.
void FindServicesUsing(const UsedInSearchList* consists, const UsedInSearchList* paths,
                       UsedInSearchList& found, UsedInList& results, const QString& route,
                       const QString& root);
// Reads the activities of one route (or of every route) of the root, through the scenario cache,
// and adds an activity hit for each searched stock item, service or player path they use.
void FindActivitiesUsing(const UsedInSearchList* stock, const UsedInSearchList* services,
                         const UsedInSearchList* paths, UsedInList& results,
                         StoreIniHolder& scenarioCache, const QString& route, const QString& root);
// Walks the item tree list (in tree order, with every member of every list) and adds a list hit,
// under the route or the global settings, for each member of a list of the kind that names a
// searched item.
void FindListMemberships(const UsedInSearchList& searched, const RecordList<ItemSet>& treeItems,
                         std::uint32_t kind, UsedInList& results, std::int32_t weight);

// The hit records of a service and an activity; a service hit also becomes a searched record in
// found, so that the activities using the service are searched too.
void AddServiceHit(const UsedInInfo& searched, UsedInSearchList& found, const ServiceInfo& service,
                   UsedInList& results);
void AddActivityHit(const UsedInInfo& searched, const ActivityInfo& activity, UsedInList& results);

// The survey's closure step: searches, route by route in both roots, the users of the items (paths
// when kind is PT_PATH, services when PT_SERVICE): the services that use the paths, and the
// activities that use the items or those services. Adds them to services and activities (either
// may be none) as <folder>\<file name>. Activities are read through the scenario cache the
// caller holds open: a second copy of the file would be written over by whichever closes last.
void FindItemUsers(std::uint32_t kind, const StringList& items, StringList* services,
                   StringList* activities, StoreIniHolder& scenarioCache);

} // namespace qv
