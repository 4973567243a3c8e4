#include "engine/surveychecks.h"

#include "catalogue/activityreader.h"
#include "catalogue/cacherebuild.h"
#include "catalogue/listedondemand.h"
#include "catalogue/listrefresh.h"
#include "catalogue/namedlists.h"
#include "catalogue/pathrecords.h"
#include "catalogue/readahead.h"
#include "catalogue/servicereader.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/contentpath.h"
#include "core/filefind.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "engine/worklists.h"
#include "platform/casefold.h"
#include "platform/inifile.h"
#include "platform/winfind.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include <QCoreApplication>
#include <QStringBuilder>

namespace qv {

namespace {

const QString kConsistsFolder = QStringLiteral("TRAINS\\CONSISTS");
const QString kTrainsetFolder = QStringLiteral("TRAINS\\TRAINSET");

// Whether the listing of the file's folder in the root, when one is given, tells that the root
// lacks the file: the file is then not looked for there.
bool ListedAbsent(ListedOnDemand* dates, const QString& root, const QString& relative) {
    qint32 date = -1;
    return dates && dates->Find(root, relative, &date) == ListedFileDates::Answer::Absent;
}

bool ReadServiceFromEitherRoot(const QString& relative, ServiceInfo& service, ListedOnDemand* dates,
                               const AheadFile* ahead = nullptr) {
    for (const QString& root : {App().StoreRootFolder, App().MstsRootFolder})
        if (!ListedAbsent(dates, root, relative) && ReadServiceFile(root, relative, service, ahead))
            return true;
    return false;
}

// The files of the entries (relative to the roots) read on the worker threads, by the listings of
// their folders, which are made first: one place for each entry, or none without listings.
std::vector<AheadFile> ReadEntriesAhead(const StringList& entries, ListedOnDemand* dates) {
    if (!dates)
        return {};
    dates->ListFoldersOf(entries);
    static const IniFile noCache;
    return ReadFilesAhead(entries, noCache, true, &dates->Dates(), QLatin1StringView("\\"));
}

// The PATHS and SERVICES folders of a route, below which its paths and services must lie.
QString PathsFolder(const QString& routeFolder) {
    return routeFolder + QStringLiteral("\\PATHS");
}

QString ServicesFolder(const QString& routeFolder) {
    return routeFolder + QStringLiteral("\\SERVICES");
}

// The path a service drives, in the PATHS folder of the service's own route; empty when the name
// the service gives would lead out of that folder.
QString ServicePath(const QString& serviceEntry, const ServiceInfo& service) {
    const QString paths = PathsFolder(ParentPath(ParentPath(serviceEntry)));
    return EntryInside(paths, paths + u'\\' + service.PathFile);
}

QString TrafficFileLine(const QString& trafficFile) {
    return Caption(Msg::TREE_HEADING_TRAFFIC) + u' ' + Caption(Msg::TREE_HEADING_FILE) +
           QStringLiteral(" '") + trafficFile + u'\'';
}

// Adds each service that exists in either root to C and warns about the others. A name that leads
// out of the route's SERVICES folder is an error; false then.
bool AddExistingServices(const StringList& services, const ItemSet& activity, StringList& C,
                         const QString& trafficFile, ReportPane* pane, ListedOnDemand* dates) {
    const QString folder = ServicesFolder(ParentPath(activity.Folder));
    bool inside = true;
    for (int i = 0; i < services.Count(); ++i) {
        const QString service = CheckedEntry(folder, services[i], &activity, pane);
        if (service.isEmpty()) {
            inside = false;
            continue;
        }
        if (ExistsInEitherRoot(service, dates)) {
            C.Add(service);
            continue;
        }
        QString text = MissingFileText(services[i], QString());
        if (!trafficFile.isEmpty())
            text += u'\n' + TrafficFileLine(trafficFile);
        Report(RL_WARNING, &activity, text, pane);
    }
    return inside;
}

// Whether the player path exists. The reader tests it itself only when it parses the file; with
// the extended cache the activity is taken from its cache section, so the cached PathID is tested
// here, and a valid player path is not taken for an invalid one.
bool PlayerPathFound(const ActivityInfo& info, const QString& playerPath) {
    if (info.FullCheck)
        return info.PlayerPathFound;
    return !playerPath.isEmpty() && ExistsInEitherRoot(playerPath);
}

// The members of one list, refreshed; false when a member was found in neither root.
bool RefreshListMembers(RecordList<ItemSet>& members, std::uint32_t kind, const QString& scope,
                        const QString& listId, StringList& H, StoreIniHolder& pathCache,
                        StoreIniHolder& consistCache, StoreIniHolder& stockCache) {
    switch (kind) {
    case PT_MAINT_STOCK:
        return RefreshStockList(members, scope, listId, &H, false, false, stockCache, kind);
    case PT_EXPLORE_PATH:
    case PT_MAINT_PATH:
        return RefreshPathList(members, scope, listId, &H, false, false, pathCache, kind);
    default:
        return RefreshConsistList(members, scope, listId, &H, false, false, stockCache,
                                  consistCache, kind);
    }
}

} // namespace

bool ExistsInEitherRoot(const QString& relative, ListedOnDemand* dates) {
    const QString inside = NameInside(QString(), relative);
    if (inside.isEmpty())
        return false;
    // A root that is not set up is no folder at all, never the drive's own root.
    for (const QString& root : {App().StoreRootFolder, App().MstsRootFolder})
        if (!root.isEmpty() && !ListedAbsent(dates, root, inside) &&
            FileExists(InRoot(root, inside)))
            return true;
    return false;
}

bool SurveyActivity(const ItemSet& activity, StoreIniHolder& scenarioCache, StringList& C,
                    StringList* playerServices, StringList& D, StringList& B, StringList& G,
                    ListedOnDemand* dates, const AheadFile* ahead, ActivityAhead* parsed) {
    ReportPane* pane = TheMainServices().InformationMemo();
    ActivityInfo info;
    info.FullCheck = !App().ExtendedActivityCache;
    // An activity as a scenario file from elsewhere may name it: one outside both folders is
    // reported and neither read nor moved.
    const QString relative =
        CheckedEntry(QString(), activity.Folder + u'\\' + activity.FileName, &activity, pane);
    if (relative.isEmpty())
        return false;
    const QString routeFolder = ParentPath(activity.Folder);

    StringList services = StringList::SortedUnique();
    StringList looseStock = StringList::SortedUnique();
    // The reader reads only a file that is there: the MSTS folder's first, else the store's.
    const ListedFileDates* listed = dates ? &dates->Dates() : nullptr;
    if (!ReadActivityFile(App().MstsRootFolder, activity, scenarioCache, info, &services,
                          &looseStock, ahead, listed, parsed) &&
        !ReadActivityFile(App().StoreRootFolder, activity, scenarioCache, info, &services,
                          &looseStock, ahead, listed, parsed)) {
        Report(RL_ERROR, &activity,
               Caption(Msg::TYPE_ACTIVITY_LEG) + u' ' + Caption(Msg::GENERAL_NOT_FOUND0), pane);
        return false;
    }

    // Every name the activity gives must stay inside the folder of its kind: a bad reference is
    // reported and neither read nor moved, and the survey counts it as an error.
    bool inside = true;
    for (int i = 0; i < looseStock.Count(); ++i)
        inside = AddEntryInside(G, QString(), looseStock[i], &activity, pane) && inside;
    // An activity without a player service has none to add: the bare name would be no file.
    if (!info.PlayerSrv.isEmpty()) {
        const QString player =
            CheckedEntry(ServicesFolder(routeFolder), info.PlayerSrv, &activity, pane);
        if (player.isEmpty()) {
            inside = false;
        } else {
            C.Add(player);
            if (playerServices)
                playerServices->Add(player);
        }
    }
    inside = AddExistingServices(services, activity, C, QString(), pane, dates) && inside;

    if (!info.Traffic.isEmpty() && info.TrafficDate < 0) {
        const QString trafficFolder = routeFolder + QStringLiteral("\\TRAFFIC");
        const QString named = trafficFolder + u'\\' + info.Traffic + QStringLiteral(".trf");
        Report(RL_WARNING, &activity,
               Caption(Msg::TRAFFIC_DISCREPANCY_LEG1) + u'\n' + TrafficFileLine(named), pane);
        const QString trafficFile = CheckedEntry(trafficFolder, named, &activity, pane);
        if (trafficFile.isEmpty()) {
            inside = false;
        } else {
            TrafficInfo traffic;
            StringList trafficServices = StringList::SortedUnique();
            ReadTrafficServices(App().MstsRootFolder, trafficFile, traffic, &trafficServices);
            inside = AddExistingServices(trafficServices, activity, C, trafficFile, pane, dates) &&
                     inside;
        }
    }

    B.Add(relative);
    if (info.AsvOutOfDate)
        Report(RL_WARNING, &activity, Caption(Msg::OLDER_ASV_FILE_FOUND), pane);

    const QString pathId = info.PathID.trimmed();
    const QString paths = PathsFolder(routeFolder);
    const QString playerPath =
        pathId.isEmpty() ? QString() : CheckedEntry(paths, paths + u'\\' + pathId, &activity, pane);
    if (!pathId.isEmpty() && playerPath.isEmpty())
        inside = false;
    const bool pathFound = !playerPath.isEmpty() && PlayerPathFound(info, playerPath);
    if (info.PathID.startsWith(u' ') || !pathFound)
        Report(RL_WARNING, &activity,
               Caption(Msg::INVALID_PATHID) + QStringLiteral("\nPathID '") + info.PathID + u'\'',
               pane);
    if (pathFound)
        D.Add(playerPath);
    return inside;
}

bool SurveyServices(StringList& C, StringList& E, StringList& D, StringList& H,
                    ListedOnDemand* dates) {
    ReportPane* pane = TheMainServices().InformationMemo();
    bool allFound = true;
    // Thousands of services: their files are read on the worker threads first.
    const std::vector<AheadFile> ahead = ReadEntriesAhead(C, dates);
    int i = 0;
    for (std::size_t read = 0; i < C.Count(); ++read) {
        const QString entry = C[i];
        ServiceInfo service;
        if (ReadServiceFromEitherRoot(entry, service, dates,
                                      read < ahead.size() ? &ahead[read] : nullptr)) {
            // A consist or path name that leads out of its folder is reported with the service
            // and left out; the service itself is sound and stays.
            const ItemSet namedBy = NamingFile(entry);
            if (!AddEntryInside(E, QString(), service.ConsistFile, &namedBy, pane))
                allFound = false;
            const QString paths = PathsFolder(ParentPath(ParentPath(entry)));
            if (!AddEntryInside(D, paths, paths + u'\\' + service.PathFile, &namedBy, pane))
                allFound = false;
            ++i;
            continue;
        }
        Report(RL_ERROR, nullptr,
               Caption(Msg::TYPE_SERVICE_LEG) + u' ' + Caption(Msg::GENERAL_NOT_FOUND0) +
                   Caption(Msg::GENERAL_NOT_FOUND3) + entry + u'\'',
               pane);
        H.Add(entry);
        C.Delete(i);
        allFound = false;
    }
    return allFound;
}

bool CheckTwinRouteFolders(StringList& H, ReportPane* pane) {
    bool none = true;
    QStringList roots{App().MstsRootFolder};
    if (App().StoreRootFolder != App().MstsRootFolder)
        roots.append(App().StoreRootFolder);
    for (const QString& root : roots) {
        if (root.isEmpty())
            continue;
        // The listing of the ROUTES folder that the job reads anyway, with every name kept:
        // sorted without regard to case, twins stand side by side.
        StringList folders(true, StringList::Duplicates::Accept);
        FindFileNames(folders, root + QStringLiteral("\\Routes"), true, QString(),
                      QStringLiteral("*.*"));
        int first = 0;
        for (int i = 1; i < folders.Count(); ++i) {
            if (CompareText(folders[first], folders[i]) != 0) {
                first = i;
                continue;
            }
            // The collator takes some distinct names as equal (full-width letters, say): a twin
            // is a name that differs from one before it in letter case only.
            int twinOf = first;
            while (twinOf < i && !SameWithoutCase(folders[twinOf], folders[i]))
                ++twinOf;
            if (twinOf == i)
                continue;
            const QString twin = QStringLiteral("Routes\\") + folders[i];
            // The job takes the first of them for the route and leaves this one as it is.
            Report(RL_ERROR, nullptr,
                   // One text whole, so that a translation reads as one sentence.
                   QCoreApplication::translate("Survey",
                                               "The folder '%1' stays where it is: MSTS cannot "
                                               "tell its name from\rFolder: '%2'")
                       .arg(root + u'\\' + twin,
                            root + QStringLiteral("\\Routes\\") + folders[twinOf]),
                   pane);
            H.Add(twin);
            none = false;
        }
    }
    return none;
}

bool CheckPlayerPath(const StringList& playerServices, StringList& playerPaths, ReportPane* pane,
                     ListedOnDemand* dates) {
    bool allFound = true;
    for (int i = 0; i < playerServices.Count(); ++i) {
        ServiceInfo service;
        if (!ReadServiceFromEitherRoot(playerServices[i], service, dates))
            continue;
        const QString path = ServicePath(playerServices[i], service);
        if (path.isEmpty())
            continue; // a bad reference, reported when the services were surveyed
        if (ExistsInEitherRoot(path, dates)) {
            playerPaths.Add(path);
            continue;
        }
        Report(RL_ERROR, nullptr,
               Caption(Msg::INVALID_PLAYER_PATH) + MissingFileText(path, QString()), pane);
        allFound = false;
    }
    return allFound;
}

bool CheckPathFileParameters(const StringList& D, const StringList& playerPaths,
                             StoreIniHolder& pathCache, ReportPane* pane) {
    bool result = true;
    for (int i = 0; i < D.Count(); ++i) {
        const QString& entry = D[i];
        const auto ptype =
            std::uint32_t(pathCache.Ini.ReadInteger(entry, QStringLiteral("PType"), 0));
        if (!(ptype & PT_NAME_DIFFERS))
            continue;
        const bool player = playerPaths.IndexOf(entry) >= 0;
        const QString note = player ? Caption(Msg::LOAD_ERROR_NOTIFY_LEG1) + u' ' +
                                          Caption(Msg::LOAD_ERROR_NOTIFY_LEG2)
                                    : Caption(Msg::LOAD_AI_PATH_ERROR_NOTIFY_LEG);
        ItemSet item;
        item.Folder = ParentPath(entry);
        item.FileName = LastPathComponent(entry);
        item.Description = pathCache.Ini.ReadString(entry, QStringLiteral("Name"), QString());
        Report(player ? RL_ERROR : RL_WARNING, &item,
               Caption(Msg::DIFFERENT_PARAM_LEG1) + QStringLiteral("TrPathName") +
                   Caption(Msg::DIFFERENT_PARAM_LEG2) + Caption(Msg::SHOULD_BE_IDENTICAL_LEG) +
                   note,
               pane);
        if (player)
            result = false;
    }
    return result;
}

bool CollectListDependencies(const QString& folder, std::uint32_t kindMask, StringList& E,
                             StringList& H, StoreIniHolder& pathCache, StoreIniHolder& consistCache,
                             StoreIniHolder& stockCache, StringList& D, StringList& G) {
    static const std::uint32_t kKinds[] = {PT_EXPLORE_CONSIST, PT_MAINT_CONSIST, PT_MAINT_STOCK,
                                           PT_EXPLORE_PATH, PT_MAINT_PATH};
    ReportPane* pane = TheMainServices().InformationMemo();
    bool missing = false;
    for (const std::uint32_t kind : kKinds) {
        if (!(kindMask & kind))
            continue;
        // The global stock lists belong to the trainset folder, not to the consists folder.
        const QString scope =
            kind == PT_MAINT_STOCK && folder.compare(kConsistsFolder, Qt::CaseInsensitive) == 0
                ? kTrainsetFolder
                : folder;
        const StringList lists = ReadRouteLists(scope, kind, true);
        for (int i = 0; i < lists.Count(); ++i) {
            RecordList<ItemSet> members;
            if (!RefreshListMembers(members, kind, scope, lists.Names(i), H, pathCache,
                                    consistCache, stockCache))
                missing = true;
            ItemSet list;
            list.Folder = scope;
            list.FileName = lists.Names(i);
            for (const auto& member : members) {
                // A member found in neither root is reported and listed in H already; as a work
                // entry it would only be reported again (a path's folder is not even known).
                if (!member || member->StoreInd == SI_HEADING)
                    continue;
                // A member that leads out of its folder is reported with its list, never moved.
                bool inside = true;
                if (kind == PT_MAINT_STOCK)
                    inside = AddEntryInside(G, QString(), member->FileName, &list, pane);
                else if (kind & (PT_EXPLORE_PATH | PT_MAINT_PATH))
                    inside = AddEntryInside(D, scope, member->Folder + u'\\' + member->FileName,
                                            &list, pane);
                else
                    inside = AddEntryInside(E, QString(), member->FileName, &list, pane);
                if (!inside)
                    missing = true;
            }
        }
    }
    return missing;
}

void CollectEngineWagonFolders(const QString& root, StringList& G) {
    const QString trainset = root + u'\\' + kTrainsetFolder;
    StringList folders;
    FindFileNames(folders, trainset, true, QString(), QStringLiteral("*.*"));
    // Thousands of folders hold a file or two each: they are searched together, each once for
    // both kinds, those not listed yet read on several threads at a time.
    QStringList paths;
    paths.reserve(folders.Count());
    for (int i = 0; i < folders.Count(); ++i)
        paths.append(trainset % QLatin1Char('\\') % folders[i]);
    std::vector<FolderFiles> found;
    FindFilesIn(paths, {QStringLiteral("*.*")}, &found);
    QStringList stock;
    for (int i = 0; i < folders.Count(); ++i) {
        const QStringList& files = found[std::size_t(i)].found.front().names;
        for (const QString& file : files) {
            const QStringView extension = QStringView(file).right(4);
            if (SameWithoutCase(extension, u".eng") || SameWithoutCase(extension, u".wag"))
                stock.append(folders[i] % QLatin1Char('\\') % file);
        }
    }
    G.AddStrings(std::move(stock));
}

int CountOtherActivityConsists(const ItemSet& activity, const QString& consistFile) {
    std::unique_ptr<StoreIniHolder> cache = OpenStoreIni(QStringLiteral("CACHESCN.QVC"));
    StringList services = StringList::SortedUnique();
    StringList paths = StringList::SortedUnique();
    StringList activities = StringList::SortedUnique();
    StringList stock = StringList::SortedUnique();
    StringList consists = StringList::SortedUnique();
    StringList errors = StringList::SortedUnique();
    int result = -1;
    if (SurveyActivity(activity, *cache, services, nullptr, paths, activities, stock) &&
        SurveyServices(services, consists, paths, errors)) {
        const int index = consists.IndexOf(consistFile);
        if (index >= 0)
            consists.Delete(index);
        result = consists.Count();
    }
    CloseStoreIni(std::move(cache));
    return result;
}

} // namespace qv
