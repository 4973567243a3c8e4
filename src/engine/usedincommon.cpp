#include "engine/usedincommon.h"

#include "catalogue/activityreader.h"
#include "catalogue/consistvehicles.h"
#include "catalogue/itemtreelist.h"
#include "catalogue/listrefresh.h"
#include "catalogue/pathrecords.h"
#include "catalogue/routefolders.h"
#include "catalogue/servicereader.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/contentpath.h"
#include "core/filefind.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/status.h"
#include "core/storeini.h"
#include "engine/whereusedreport.h"

#include <algorithm>

namespace qv {

namespace {

const QString kConsistsFolder = QStringLiteral("TRAINS\\CONSISTS");
// The version section that every store data file holds besides its item sections.
const QString kInfoSection = QStringLiteral("QUARVEL_INFORMATION");

enum class ItemKind { Other, Stock, Consist, Service, Path };

ItemKind KindOfItem(const QString& item) {
    const auto has = [&item](const char* extension) {
        return item.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
    };
    if (has(".eng") || has(".wag"))
        return ItemKind::Stock;
    if (has(".con"))
        return ItemKind::Consist;
    if (has(".srv"))
        return ItemKind::Service;
    if (has(".pat"))
        return ItemKind::Path;
    return ItemKind::Other;
}

// ROUTES\<route> of a route's service or path (the item without its last two components).
QString RouteFolderOf(const QString& item) {
    return ParentPath(ParentPath(item));
}

// A route file's path below the ROUTES folder, as the status bar shows it.
QString BelowRoutesFolder(const QString& path) {
    const qsizetype slash = path.indexOf(u'\\');
    return slash >= 0 &&
                   path.left(slash).compare(QStringLiteral("ROUTES"), Qt::CaseInsensitive) == 0
               ? path.mid(slash + 1)
               : path;
}

std::unique_ptr<UsedInInfo> NewHit(std::uint32_t kind, std::int32_t weight, const QString& text1,
                                   const QString& text2, const QString& text3,
                                   const UsedInInfo& searched) {
    auto hit = std::make_unique<UsedInInfo>();
    hit->Kind = kind;
    hit->Weight = weight;
    hit->Text1 = text1;
    hit->Text2 = text2;
    hit->Text3 = text3;
    hit->ItemName = searched.ItemName;
    hit->ItemText = searched.ItemText;
    return hit;
}

// Reads a consist's vehicle list from one root; false when the root is not set.
bool ReadVehicles(const QString& root, const QString& name, StringList& vehicles) {
    const QString path = root.isEmpty() ? QString() : ContentPath(root, kConsistsFolder, name);
    return !path.isEmpty() && ReadConsistVehicles(path, &vehicles, nullptr);
}

// The names as the survey takes them: resolved below `base` (a folder relative to a root, empty
// for the root itself), so that "BOX\..\DASH9\DASH9.eng" names DASH9's engine; a name that leads
// out of the folder names nothing and is left out.
StringList ResolvedNames(const QString& base, const StringList& names) {
    StringList resolved = StringList::SortedUnique();
    for (int i = 0; i < names.Count(); ++i) {
        const QString inside = EntryInside(base, names[i]);
        if (!inside.isEmpty())
            resolved.Add(inside);
    }
    return resolved;
}

// The route's files of a kind, or those of every route of the root when route is empty.
StringList RouteFiles(std::uint32_t kind, const QString& route, const QString& root,
                      const QString& subFolder, const QString& mask) {
    StringList files;
    if (route.isEmpty()) {
        ListRouteFilesOfKind(kind, files, root);
    } else {
        const QString folder = route + QLatin1Char('\\') + subFolder;
        FindFiles(files, root + QLatin1Char('\\') + folder, false, folder, mask);
    }
    return files;
}

// Restores ReportLevel on every way out of the analysis.
class ReportLevelGuard {
public:
    explicit ReportLevelGuard(int level) : saved_(App().ReportLevel) { App().ReportLevel = level; }
    ~ReportLevelGuard() { App().ReportLevel = saved_; }
    ReportLevelGuard(const ReportLevelGuard&) = delete;
    ReportLevelGuard& operator=(const ReportLevelGuard&) = delete;

private:
    int saved_;
};

} // namespace

StringList SortedItemList(QStringList names) {
    // All at once: sorted together, the first of names alike kept, as adding them one by one would.
    StringList sorted = StringList::SortedUnique();
    sorted.AddStrings(std::move(names));
    return sorted;
}

StringList RouteFilter(const StringList& items) {
    StringList routes = StringList::SortedUnique();
    for (int i = 0; i < items.Count(); ++i) {
        const ItemKind kind = KindOfItem(items[i]);
        if (kind == ItemKind::Stock || kind == ItemKind::Consist) {
            routes.Clear();
            break;
        }
        if (kind != ItemKind::Service && kind != ItemKind::Path)
            continue;
        const QString route = RouteFolderOf(items[i]);
        // A service or path whose route cannot be told could be in any route.
        if (route.isEmpty()) {
            routes.Clear();
            break;
        }
        routes.Add(route);
    }
    return routes;
}

void AddServiceHit(const UsedInInfo& searched, UsedInSearchList& found, const ServiceInfo& service,
                   UsedInList& results) {
    results.push_back(
        NewHit(PT_SERVICE, UW_SERVICE, service.Name, service.Folder, service.FileName, searched));
    found.AddFound(service.Folder + QLatin1Char('\\') + service.FileName, searched.ItemText);
}

void AddActivityHit(const UsedInInfo& searched, const ActivityInfo& activity, UsedInList& results) {
    results.push_back(NewHit(PT_ACTIVITY, UW_ACTIVITY, activity.Name, activity.Folder,
                             activity.FileName, searched));
}

void FindConsistsUsingStock(const UsedInSearchList& stock, UsedInSearchList* consists,
                            UsedInList& results) {
    // No stock to look for: no consist needs to be read.
    if (stock.IsEmpty())
        return;
    std::unique_ptr<StoreIniHolder> cache = OpenStoreIni(QStringLiteral("CACHECON.QVC"));
    const StringList names = SortedItemList(cache->Ini.ReadSections());
    for (int i = 0; i < names.Count(); ++i) {
        const QString& name = names[i];
        if (name.compare(kInfoSection, Qt::CaseInsensitive) == 0)
            continue;
        StringList vehicles = StringList::SortedUnique();
        if (!ReadVehicles(App().StoreRootFolder, name, vehicles) &&
            !ReadVehicles(App().MstsRootFolder, name, vehicles))
            continue;
        ShowReadStatus(Msg::STATUS_TEXT_LOADING_CONSIST, name);
        const std::vector<int> found = stock.MatchAny(ResolvedNames(QString(), vehicles));
        if (found.empty())
            continue;
        const QString description =
            cache->Ini.ReadString(name, QStringLiteral("Description"), QString());
        for (const int index : found) {
            const UsedInInfo& searched = stock[index];
            results.push_back(
                NewHit(PT_CONSIST, UW_CONSIST, description, kConsistsFolder, name, searched));
            if (consists)
                consists->AddFound(name, searched.ItemText);
        }
    }
    CloseStoreIni(std::move(cache));
}

void FindServicesUsing(const UsedInSearchList* consists, const UsedInSearchList* paths,
                       UsedInSearchList& found, UsedInList& results, const QString& route,
                       const QString& root) {
    if (root.isEmpty())
        return;
    const StringList files =
        RouteFiles(PT_SERVICE, route, root, QStringLiteral("SERVICES"), QStringLiteral("*.SRV"));
    ServiceInfo service;
    for (int i = 0; i < files.Count(); ++i) {
        if (!ReadServiceFile(root, files[i], service))
            continue;
        if (consists) {
            for (const int index : consists->Match(EntryInside(QString(), service.ConsistFile)))
                AddServiceHit((*consists)[index], found, service, results);
        }
        if (paths) {
            const QString path = NameInside(ParentPath(service.Folder) + QStringLiteral("\\PATHS"),
                                            service.PathFile);
            for (const int index : paths->Match(path))
                AddServiceHit((*paths)[index], found, service, results);
        }
    }
}

void FindActivitiesUsing(const UsedInSearchList* stock, const UsedInSearchList* services,
                         const UsedInSearchList* paths, UsedInList& results,
                         StoreIniHolder& scenarioCache, const QString& route, const QString& root) {
    if (root.isEmpty())
        return;
    const StringList files =
        RouteFiles(PT_ACTIVITY, route, root, QStringLiteral("Activities"), QStringLiteral("*.act"));
    ActivityInfo activity;
    activity.FullCheck = !App().ExtendedActivityCache;
    for (int i = 0; i < files.Count(); ++i) {
        const QString& file = files[i];
        StringList usedServices = StringList::SortedUnique();
        StringList usedStock = StringList::SortedUnique();
        StringList trafficServices = StringList::SortedUnique();
        ItemSet item;
        item.Folder = ParentPath(file);
        item.FileName = file.mid(item.Folder.size() + 1);
        ShowReadStatus(Msg::STATUS_TEXT_LOADING_ACTIVITY, BelowRoutesFolder(file));
        if (!ReadActivityFile(root, item, scenarioCache, activity, &usedServices, &usedStock))
            continue;
        const QString routeFolder = ParentPath(item.Folder);
        // The traffic file no longer lists exactly the activity's services: whatever it lists
        // is used too.
        if (activity.TrafficDate < 0 && !activity.Traffic.isEmpty()) {
            const QString trafficFile = NameInside(routeFolder + QStringLiteral("\\TRAFFIC"),
                                                   activity.Traffic + QStringLiteral(".trf"));
            TrafficInfo traffic;
            if (trafficFile.isEmpty())
                ReportRefusedName(activity.Traffic, file, TheMainServices().InformationMemo());
            else
                ReadTrafficServices(App().MstsRootFolder, trafficFile, traffic, &trafficServices);
        }
        if (!activity.PlayerSrv.isEmpty())
            usedServices.Add(activity.PlayerSrv);
        usedServices.AddStrings(trafficServices);
        const QString playerPath =
            NameInside(routeFolder + QStringLiteral("\\Paths"), activity.PathID.trimmed());

        if (stock && !usedStock.IsEmpty()) {
            for (const int index : stock->MatchAny(ResolvedNames(QString(), usedStock)))
                AddActivityHit((*stock)[index], activity, results);
        }
        if (services) {
            const StringList named =
                ResolvedNames(routeFolder + QStringLiteral("\\SERVICES"), usedServices);
            for (const int index : services->MatchAny(named))
                AddActivityHit((*services)[index], activity, results);
        }
        if (paths && !activity.PathID.isEmpty()) {
            for (const int index : paths->Match(playerPath))
                AddActivityHit((*paths)[index], activity, results);
        }
    }
}

void FindListMemberships(const UsedInSearchList& searched, const RecordList<ItemSet>& treeItems,
                         std::uint32_t kind, UsedInList& results, std::int32_t weight) {
    if (searched.IsEmpty())
        return;
    const QString label = Caption(ListHeadingCaption(kind));
    // Path list members carry the bare file name of a path of their route's PATHS folder.
    const bool pathList = (kind & (PT_EXPLORE_PATH | PT_MAINT_PATH)) != 0;
    const ItemSet* context = nullptr;
    QString contextName;
    QString statusContext;
    for (const auto& node : treeItems) {
        if (!node)
            continue;
        if ((node->PType & PT_ROUTE) || node->PType == PT_GLOBAL_ROOT) {
            context = node.get();
            contextName = App().ViewByFileName && (node->PType & PT_ROUTE)
                              ? LastPathComponent(node->Folder)
                              : node->Description;
            statusContext = Caption(Msg::STATUS_TEXT_LOADING) + QLatin1Char(' ') + contextName +
                            QStringLiteral(" - ") + label;
            continue;
        }
        if (!context || (node->PType & PT_HEADING) || !(node->PType & kind))
            continue;
        const QString member = pathList && IsRouteItem(*context)
                                   ? context->Folder + QStringLiteral("\\Paths\\") + node->FileName
                                   : node->FileName;
        for (const int index : searched.Match(member)) {
            const UsedInInfo& item = searched[index];
            SetStatusDetail(statusContext + QStringLiteral(" '") + item.ItemName +
                            QLatin1Char('\''));
            results.push_back(
                NewHit(kind, weight, contextName, context->Folder, context->FileName, item));
        }
    }
}

void FindItemUsers(std::uint32_t kind, const StringList& items, StringList* services,
                   StringList* activities, StoreIniHolder& scenarioCache) {
    UsedInList results;
    UsedInSearchList searchedPaths;
    UsedInSearchList searchedServices;
    PumpMessagesIfBusy();

    // The items grouped by their route folder, routes in sorted order.
    std::vector<int> order;
    QStringList routeOf;
    for (int i = 0; i < items.Count(); ++i) {
        routeOf << RouteFolderOf(items[i]);
        if (!routeOf.last().isEmpty())
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&routeOf](int a, int b) { return CompareText(routeOf[a], routeOf[b]) < 0; });

    for (std::size_t first = 0; first < order.size();) {
        const QString route = routeOf[order[first]];
        std::size_t end = first;
        for (; end < order.size() && CompareText(routeOf[order[end]], route) == 0; ++end) {
            if (kind == PT_PATH)
                searchedPaths.AddItem(items[order[end]]);
            else if (kind == PT_SERVICE)
                searchedServices.AddItem(items[order[end]]);
        }
        first = end;
        if (kind == PT_PATH) {
            FindServicesUsing(nullptr, &searchedPaths, searchedServices, results, route,
                              App().MstsRootFolder);
            FindServicesUsing(nullptr, &searchedPaths, searchedServices, results, route,
                              App().StoreRootFolder);
        }
        FindActivitiesUsing(nullptr, &searchedServices, &searchedPaths, results, scenarioCache,
                            route, App().MstsRootFolder);
        FindActivitiesUsing(nullptr, &searchedServices, &searchedPaths, results, scenarioCache,
                            route, App().StoreRootFolder);
        searchedPaths.Clear();
        searchedServices.Clear();
    }

    for (const auto& hit : results) {
        const QString user = hit->Text2 + QLatin1Char('\\') + hit->Text3;
        if (hit->Kind == PT_SERVICE && services)
            services->Add(user);
        else if (hit->Kind == PT_ACTIVITY && activities)
            activities->Add(user);
    }
}

bool HasWhereUsedItem(const StringList& items) {
    for (int i = 0; i < items.Count(); ++i)
        if (KindOfItem(items[i]) != ItemKind::Other)
            return true;
    return false;
}

void CollectWhereUsed(const StringList& items, UsedInList& results) {
    ReportLevelGuard quiet(RL_ERROR);
    UsedInSearchList stock;
    UsedInSearchList consists;
    UsedInSearchList services;
    UsedInSearchList paths;
    for (int i = 0; i < items.Count(); ++i) {
        const QString& item = items[i];
        switch (KindOfItem(item)) {
        case ItemKind::Stock:
            stock.AddItem(item);
            break;
        case ItemKind::Consist:
            consists.AddItem(item);
            break;
        case ItemKind::Service:
            services.AddItem(item);
            break;
        case ItemKind::Path:
            paths.AddItem(item);
            break;
        case ItemKind::Other:
            continue;
        }
        auto header = std::make_unique<UsedInInfo>();
        header->ItemText = item;
        results.push_back(std::move(header));
    }
    const bool givenStock = !stock.IsEmpty();
    const bool givenConsists = !consists.IsEmpty();
    const bool givenPaths = !paths.IsEmpty();
    const bool serviceSearch = givenStock || givenConsists || givenPaths;
    const bool activitySearch = serviceSearch || !services.IsEmpty();

    if (givenStock)
        FindConsistsUsingStock(stock, &consists, results);

    PumpMessagesIfBusy();
    if (serviceSearch) {
        const StringList routes = RouteFilter(items);
        const QStringList each = routes.IsEmpty() ? QStringList{QString()} : routes.Strings();
        for (const QString& route : each) {
            FindServicesUsing(&consists, &paths, services, results, route, App().MstsRootFolder);
            FindServicesUsing(&consists, &paths, services, results, route, App().StoreRootFolder);
        }
    }

    PumpMessagesIfBusy();
    if (activitySearch) {
        std::unique_ptr<StoreIniHolder> cache = OpenStoreIni(QStringLiteral("CACHESCN.QVC"));
        const StringList routes = RouteFilter(items);
        const QStringList each = routes.IsEmpty() ? QStringList{QString()} : routes.Strings();
        for (const QString& route : each) {
            FindActivitiesUsing(&stock, &services, &paths, results, *cache, route,
                                App().MstsRootFolder);
            FindActivitiesUsing(&stock, &services, &paths, results, *cache, route,
                                App().StoreRootFolder);
        }
        CloseStoreIni(std::move(cache));
    }

    PumpMessagesIfBusy();
    if (givenConsists || givenStock || givenPaths) {
        RecordList<ItemSet> tree;
        BuildItemTree(tree, 100, false, false);
        if (givenConsists) {
            FindListMemberships(consists, tree, PT_EXPLORE_CONSIST, results,
                                UW_EXPLORE_CONSIST_LIST);
            FindListMemberships(consists, tree, PT_MAINT_CONSIST, results, UW_MAINT_CONSIST_LIST);
        }
        FindListMemberships(stock, tree, PT_MAINT_STOCK, results, UW_MAINT_STOCK_LIST);
        FindListMemberships(paths, tree, PT_EXPLORE_PATH, results, UW_EXPLORE_PATH_LIST);
        ClearTypedList(RK_ITEMSET, tree);
    }

    SetStatusDetail(QString());
    PumpMessagesIfBusy();
    stock.Clear();
    consists.Clear();
    services.Clear();
    paths.Clear();

    StatusGuard sorting(QStringLiteral("SORT"));
    SortWhereUsedResults(results);
}

void WhereUsed(ReportPane* pane, const StringList& items, int mode) {
    HourglassGuard hourglass;
    StatusGuard status(QStringLiteral("WHERE"));
    UsedInList results;
    CollectWhereUsed(items, results);
    WriteWhereUsedReport(pane, results, mode);
}

} // namespace qv
