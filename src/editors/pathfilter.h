// The Available list of the path list editor: the paths of one route that pass the From, To,
// Path Name, Driveable and Status filters, the reload of the route's paths (pruning the path
// cache to the paths that still exist), and the filters' registry memory.
#pragma once

#include "core/itemkinds.h"
#include "core/itemset.h"
#include "editors/consistfilter.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

namespace qv {

class ItemNode;
class ListBoxView;
struct ListEditorModel;

inline const QString kPathFiltersKey = QStringLiteral("Filters\\Paths");

struct PathFilterControls {
    int DriveableIndex = DRIVEABLE_EITHER;
    bool DriveableEnabled = true;
    QString From;
    QString To;
    QString Name;
    int StoreIndIndex = 2;
    QStringList FromItems;
    QStringList ToItems;
    QStringList NameItems;
};

// Sets the driveable choice and the status from the registry.
void ReadPathFilterMemory(PathFilterControls& controls);

struct PathFilterValues {
    std::uint32_t ListType = 0;
    std::unique_ptr<Mask> FromMask;
    std::unique_ptr<Mask> ToMask;
    std::unique_ptr<Mask> NameMask;
    int StatusMask = 8;
    std::uint32_t Include = 0;
    std::uint32_t Exclude = 0;
};

// Whether the path passes: an Explore list takes driveable paths only; then the name, start and
// end masks, the status and the driveable choice.
bool PathPassesFilter(const ItemSet& path, const PathFilterValues& values);

// The route node (or list heading) whose paths the editor shows, from the node the editor works
// on: that node when it is a heading or a route, else its parent; null without a node.
ItemNode* PathScopeNode(ItemNode* node);

// Whether the path lies in the route folder: its folder without the last component names the
// route's folder (without regard to case, as folder names are on disk).
bool PathInRoute(const ItemSet& path, const QString& routeFolder);

// Refreshes the Available list with the paths of the route above `node`. PathRouteState and
// PathRouteCount are set for that route; without a route the list stays empty. With force the
// program-wide path list is emptied and the path cache pruned to the paths either folder holds;
// an empty list is reloaded with the route's paths.
void RefreshAvailablePaths(ListEditorModel& model, PathFilterControls& controls,
                           ListBoxView& available, bool force, ItemNode* node,
                           const std::function<void(bool enabled)>& enablePanel);

} // namespace qv
