#include "catalogue/itemtreelist.h"

#include "catalogue/itemfiles.h"
#include "catalogue/listrefresh.h"
#include "catalogue/namedlists.h"
#include "catalogue/routeactivities.h"
#include "catalogue/routereader.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/sortedlists.h"
#include "core/storeini.h"

#include <algorithm>

namespace qv {

namespace {

const QString kGlobalListFolder = QStringLiteral("TRAINS\\CONSISTS");
const QString kGlobalStockListFolder = QStringLiteral("TRAINS\\TRAINSET");

// The order in which a scope's list kinds follow each other in the tree.
constexpr std::uint32_t kListKindOrder[] = {PT_EXPLORE_CONSIST, PT_MAINT_CONSIST, PT_MAINT_STOCK,
                                            PT_EXPLORE_PATH, PT_MAINT_PATH};

// The caches a tree build reads through, open for the whole build and closed (written when
// changed) at its end.
struct TreeCaches {
    std::unique_ptr<StoreIniHolder> stock = OpenStoreIni(CacheFileName(QStringLiteral("CACHESTK")));
    std::unique_ptr<StoreIniHolder> consist =
        OpenStoreIni(CacheFileName(QStringLiteral("CACHECON")));
    std::unique_ptr<StoreIniHolder> path = OpenStoreIni(CacheFileName(QStringLiteral("CACHEPAT")));
    ~TreeCaches() {
        CloseStoreIni(std::move(stock));
        CloseStoreIni(std::move(consist));
        CloseStoreIni(std::move(path));
    }
};

// The saved routes of the scenario (or of the item list), brought in line with the routes there
// are now when they come from a file. True when that changed anything.
bool ReadScenarioRoutes(RecordList<ItemSet>& routes, const QString& scenarioFile,
                        const RecordList<ItemSet>* itemList) {
    ReadScenarioFile(routes, scenarioFile, itemList, false, PT_HEADING, PT_ROUTE, QString());
    std::erase_if(
        routes, [](const std::unique_ptr<ItemSet>& item) { return !item || !IsRouteItem(*item); });
    if (itemList)
        return false;
    RecordList<ItemSet> current;
    ReadRouteItems(current);
    return MergeItemLists(routes, current);
}

// The whole tree list; routes and activities from the scenario (file or item list) when
// `fromScenario` is set. True when merging with the scenario changed something.
bool BuildTreeList(RecordList<ItemSet>& list, int page, bool withListNodes, bool withActivities,
                   bool fromScenario, const QString& scenarioFile,
                   const RecordList<ItemSet>* itemList) {
    bool changed = false;
    {
        TreeCaches caches;
        AddGlobalRoot(list);
        AddListNodes(list, kGlobalListFolder, GlobalListKindsOfPage(page), *caches.path,
                     *caches.consist, *caches.stock, withListNodes);

        RecordList<ItemSet> routes;
        if (fromScenario)
            changed = ReadScenarioRoutes(routes, scenarioFile, itemList);
        else
            ReadRouteItems(routes);
        SortItemList(routes);

        auto routesRoot = std::make_unique<ItemSet>();
        routesRoot->PLevel = 0;
        routesRoot->PType = PT_ROUTES_ROOT;
        routesRoot->StoreInd = SI_HEADING;
        routesRoot->Description = Caption(Msg::TREE_HEADING_ROUTES);
        routesRoot->Folder = QStringLiteral("Routes");
        list.push_back(std::move(routesRoot));

        auto scenarioCache = OpenStoreIni(CacheFileName(QStringLiteral("CACHESCN")));
        const QString activitySource = fromScenario ? scenarioFile : kNoScenarioFile;
        const RecordList<ItemSet>* activityItems = fromScenario ? itemList : nullptr;
        for (const auto& route : routes) {
            if (!route)
                continue;
            auto copy = std::make_unique<ItemSet>(*route);
            copy->PLevel = 1;
            list.push_back(std::move(copy));
            if (withActivities && ReadRouteActivities(list, route->Folder, *scenarioCache,
                                                      activitySource, activityItems))
                changed = true;
            AddListNodes(list, route->Folder, RouteListKindsOfPage(page), *caches.path,
                         *caches.consist, *caches.stock, withListNodes);
        }
        CloseStoreIni(std::move(scenarioCache));
    }
    App().TreeSynchronised = true;
    return changed;
}

} // namespace

std::uint32_t GlobalListKindsOfPage(int page) {
    switch (page) {
    case TREE_PAGE_SIMULATION:
        return PT_MASK_GLOBAL_SIM_LISTS;
    case TREE_PAGE_MAINTENANCE:
        return PT_MASK_GLOBAL_MAINT_LISTS;
    case TREE_PAGE_ALL:
        return PT_MASK_GLOBAL_ALL_LISTS;
    default:
        return 0;
    }
}

std::uint32_t RouteListKindsOfPage(int page) {
    switch (page) {
    case TREE_PAGE_SIMULATION:
        return PT_MASK_ROUTE_SIM_LISTS;
    case TREE_PAGE_MAINTENANCE:
        return PT_MASK_ROUTE_MAINT_LISTS;
    case TREE_PAGE_ALL:
        return PT_MASK_LIST_KINDS;
    default:
        return 0;
    }
}

void BuildItemTree(RecordList<ItemSet>& list, int page, bool withListNodes, bool withActivities) {
    BuildTreeList(list, page, withListNodes, withActivities, false, QString(), nullptr);
}

bool BuildScenarioTree(RecordList<ItemSet>& list, const QString& scenarioFile,
                       const RecordList<ItemSet>* itemList, bool withListNodes, int page) {
    return BuildTreeList(list, page, withListNodes, true, true, scenarioFile, itemList);
}

void AddGlobalRoot(RecordList<ItemSet>& list) {
    auto root = std::make_unique<ItemSet>();
    root->PLevel = 0;
    root->PType = PT_GLOBAL_ROOT;
    root->StoreInd = SI_HEADING;
    root->Description = Caption(Msg::TREE_HEADING_GLOBAL);
    root->Folder = kGlobalListFolder;
    list.push_back(std::move(root));
}

void AddListNodes(RecordList<ItemSet>& list, const QString& folder, std::uint32_t kindMask,
                  StoreIniHolder& pathCache, StoreIniHolder& consistCache,
                  StoreIniHolder& stockCache, bool withListNodes) {
    for (const std::uint32_t kind : kListKindOrder) {
        if (!(kindMask & kind))
            continue;
        const QString scope =
            kind == PT_MAINT_STOCK && folder.compare(kGlobalListFolder, Qt::CaseInsensitive) == 0
                ? kGlobalStockListFolder
                : folder;
        const StringList lists = ReadRouteLists(scope, kind, false);
        // Index 0 is visited even without lists, so that the kind's heading always stands.
        const int count = std::max(1, lists.Count());
        for (int index = 0; index < count; ++index)
            AddListNode(list, kind, scope, withListNodes, &pathCache, &stockCache, &consistCache,
                        index, lists);
    }
}

} // namespace qv
