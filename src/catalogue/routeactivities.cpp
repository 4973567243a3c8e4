#include "catalogue/routeactivities.h"

#include "catalogue/activityreader.h"
#include "catalogue/cacherebuild.h"
#include "catalogue/consistvehicles.h"
#include "catalogue/itemfiles.h"
#include "catalogue/pathrecords.h"
#include "catalogue/servicereader.h"
#include "core/appstate.h"
#include "core/contentpath.h"
#include "core/easyservices.h"
#include "core/filefind.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/sortedlists.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/stringlist.h"

#include <QStringList>

namespace qv {

namespace {

const QString kScenarioCache = QStringLiteral("CACHESCN.QVC");
const QString kConsistCache = QStringLiteral("CACHECON.QVC");
const QString kStockCache = QStringLiteral("CACHESTK.QVC");
const QString kPathCache = QStringLiteral("CACHEPAT.QVC");

ReportPane* InformationPane() {
    return TheMainServices().InformationMemo();
}

// Lists the files matching the mask in the same folder of both roots, MSTS folder first.
void FindInBothRoots(StringList& list, const QString& folder, const QString& prefix,
                     const QString& mask) {
    FindFiles(list, App().MstsRootFolder + u'\\' + folder, false, prefix, mask);
    FindFiles(list, App().StoreRootFolder + u'\\' + folder, false, prefix, mask);
}

// The temporary Explore activities leave the list; their files go when there were any.
void LeaveOutExploreTemp(const QString& routeFolder, StringList& names) {
    QStringList plain = names.Strings();
    TheEasyServices().CleanExploreTemp(routeFolder, &plain);
    if (plain.size() == names.Count())
        return;
    names.Clear();
    for (const QString& name : plain)
        names.Add(name);
}

// Reads every activity file of the folder in both roots; each one found becomes a record marked
// where it was found first (the MSTS folder before the store).
void ReadActivitiesFromFolders(RecordList<ItemSet>& local, const QString& routeFolder,
                               const QString& activitiesFolder, StoreIniHolder& scenarioCache) {
    StringList names = StringList::SortedUnique();
    FindInBothRoots(names, activitiesFolder, QString(), QStringLiteral("*.act"));
    LeaveOutExploreTemp(routeFolder, names);

    ActivityInfo info;
    for (int i = 0; i < names.Count(); ++i) {
        auto record = std::make_unique<ItemSet>();
        record->Description = names[i];
        record->StoreInd = SI_HEADING;
        record->Folder = activitiesFolder;
        record->FileName = names[i];
        if (ReadActivityFile(App().MstsRootFolder, *record, scenarioCache, info, nullptr,
                             nullptr)) {
            record->StoreInd = SI_IN_USE;
        } else if (ReadActivityFile(App().StoreRootFolder, *record, scenarioCache, info, nullptr,
                                    nullptr)) {
            record->StoreInd = SI_IN_STORE;
        } else {
            Report(RL_ERROR, record.get(),
                   Caption(Msg::TYPE_ACTIVITY_LEG) + u' ' + Caption(Msg::GENERAL_NOT_FOUND0),
                   InformationPane());
            continue;
        }
        record->PType = PT_ACTIVITY;
        record->Description = info.Name;
        record->Folder = info.Folder;
        record->FileName = info.FileName;
        local.push_back(std::move(record));
    }
}

QString NotFoundText(Msg kind, const QString& file) {
    return Caption(kind) + u' ' + Caption(Msg::GENERAL_NOT_FOUND0) +
           Caption(Msg::GENERAL_NOT_FOUND3) + file + u'\'';
}

// Reads the activities below the route node's activities heading into the scenario cache; their
// loose stock joins stockFiles. False when one could be read from neither root.
bool ReadRouteNodeActivities(const ItemNode& routeNode, StoreIniHolder& scenarioCache,
                             ActivityInfo& info, StringList& stockFiles) {
    bool result = true;
    for (int c = 0; c < routeNode.ChildCount(); ++c) {
        const ItemNode* heading = routeNode.Child(c);
        if (!(heading->Data()->PType & PT_ACTIVITY))
            continue;
        for (int a = 0; a < heading->ChildCount(); ++a) {
            const ItemSet& activity = *heading->Child(a)->Data();
            if (!ReadActivityFile(App().StoreRootFolder, activity, scenarioCache, info, nullptr,
                                  &stockFiles) &&
                !ReadActivityFile(App().MstsRootFolder, activity, scenarioCache, info, nullptr,
                                  &stockFiles))
                result = false;
        }
    }
    return result;
}

// Reads every service file of the route (used by an activity or not); the consist each one drives
// joins consistFiles. False when a service could be read from neither root.
bool ReadRouteServices(const QString& routeFolder, StringList& consistFiles) {
    const QString servicesFolder = routeFolder + QStringLiteral("\\SERVICES");
    StringList serviceFiles = StringList::SortedUnique();
    FindInBothRoots(serviceFiles, servicesFolder, servicesFolder, QStringLiteral("*.SRV"));
    bool result = true;
    ServiceInfo service;
    for (int i = 0; i < serviceFiles.Count(); ++i) {
        if (ReadServiceFile(App().StoreRootFolder, serviceFiles[i], service) ||
            ReadServiceFile(App().MstsRootFolder, serviceFiles[i], service)) {
            consistFiles.Add(service.ConsistFile);
            continue;
        }
        Report(RL_ERROR, nullptr, NotFoundText(Msg::TYPE_SERVICE_LEG, serviceFiles[i]),
               InformationPane());
        result = false;
    }
    return result;
}

// Adds the stock of every consist to stockFiles. False when a consist names no vehicle in
// either root.
bool ReadConsistStock(const StringList& consistFiles, StringList& stockFiles) {
    const QString consists = QStringLiteral("TRAINS\\CONSISTS");
    bool result = true;
    for (int i = 0; i < consistFiles.Count(); ++i) {
        // The consist is named by a service file: one named outside TRAINS\CONSISTS is refused.
        const QString stored = CheckedContentPath(App().StoreRootFolder, consists, consistFiles[i],
                                                  QString(), InformationPane());
        if (stored.isEmpty()) {
            result = false;
            continue;
        }
        if (ReadConsistVehicles(stored, &stockFiles, nullptr) ||
            ReadConsistVehicles(ContentPath(App().MstsRootFolder, consists, consistFiles[i]),
                                &stockFiles, nullptr))
            continue;
        Report(RL_ERROR, nullptr, NotFoundText(Msg::TYPE_STOCK_ITEM_LEG, consistFiles[i]),
               InformationPane());
        result = false;
    }
    return result;
}

} // namespace

bool ReadRouteActivities(RecordList<ItemSet>& treeList, const QString& routeFolder,
                         StoreIniHolder& scenarioCache, const QString& scenarioFile,
                         const RecordList<ItemSet>* itemList) {
    const QString activitiesFolder = routeFolder + QStringLiteral("\\Activities");
    RecordList<ItemSet> local;
    if (itemList)
        ReadScenarioFile(local, kNoScenarioFile, itemList, false, PT_HEADING, PT_ACTIVITY,
                         activitiesFolder);
    else
        ReadActivitiesFromFolders(local, routeFolder, activitiesFolder, scenarioCache);

    bool changed = false;
    if (scenarioFile != kNoScenarioFile) {
        RecordList<ItemSet> saved;
        ReadScenarioFile(saved, scenarioFile, nullptr, false, PT_HEADING, PT_ACTIVITY,
                         activitiesFolder);
        std::erase_if(saved, [](const std::unique_ptr<ItemSet>& item) {
            return !item || !(item->PType & PT_ACTIVITY) || (item->PType & PT_HEADING);
        });
        changed = MergeItemLists(saved, local);
        local = std::move(saved);
    }
    SortItemList(local);

    auto heading = std::make_unique<ItemSet>();
    heading->PLevel = 2;
    heading->PType = PT_ACTIVITIES_GROUP;
    heading->StoreInd = SI_HEADING;
    heading->Description = Caption(Msg::TREE_HEADING_ACTIVITIES);
    heading->Folder = activitiesFolder;
    treeList.push_back(std::move(heading));
    for (const auto& record : local) {
        if (!record)
            continue;
        auto copy = std::make_unique<ItemSet>();
        CopyItemSet(*record, *copy);
        copy->PLevel = 3;
        copy->PType = PT_ACTIVITY;
        treeList.push_back(std::move(copy));
    }
    return changed;
}

bool RebuildScenarioCache(const std::vector<ItemNode*>& routeNodes,
                          RecordList<ItemSet>* consistItems, RecordList<ItemSet>* stockItems) {
    bool result = true;
    StringList consistFiles = StringList::SortedUnique();
    StringList stockFiles = StringList::SortedUnique();

    // Without the extended cache the sections hold no stock, so every activity is parsed.
    ActivityInfo info;
    info.FullCheck = !App().ExtendedActivityCache;
    auto scenarioCache = OpenStoreIni(kScenarioCache);
    for (const ItemNode* routeNode : routeNodes) {
        if (!routeNode)
            continue;
        if (!ReadRouteNodeActivities(*routeNode, *scenarioCache, info, stockFiles))
            result = false;
        if (!ReadRouteServices(routeNode->Data()->Folder, consistFiles))
            result = false;
    }
    CloseStoreIni(std::move(scenarioCache));

    auto consistCache = OpenStoreIni(kConsistCache);
    auto stockCache = OpenStoreIni(kStockCache);
    if (consistItems) {
        ReadConsistFiles(*consistItems, consistFiles, *consistCache, *stockCache, true, nullptr);
        for (const auto& item : *consistItems) {
            if (!item)
                continue;
            item->PLevel = 3;
            item->PType |= PT_MAINT_CONSIST;
        }
    }
    if (stockItems && !ReadConsistStock(consistFiles, stockFiles))
        result = false;
    CloseStoreIni(std::move(consistCache));

    if (stockItems) {
        StringList names = StringList::SortedUnique();
        names.AddStrings(stockFiles);
        ReadStockFiles(*stockItems, names, *stockCache, true, nullptr);
        for (const auto& item : *stockItems) {
            if (item)
                item->PType |= PT_MAINT_STOCK;
        }
    }
    CloseStoreIni(std::move(stockCache));
    return result;
}

bool RebuildRoutePathCache(RecordList<ItemSet>& pathItems, const QString& routeFolder, bool skip,
                           StringList* missing) {
    StatusGuard status(QStringLiteral("PATH"));
    const QString pathsFolder = routeFolder + QStringLiteral("\\PATHS");
    StringList files = StringList::SortedUnique();
    FindInBothRoots(files, pathsFolder, pathsFolder, QStringLiteral("*.PAT"));
    auto pathCache = OpenStoreIni(kPathCache);
    ReadPathFiles(pathItems, files, *pathCache, skip, missing);
    CloseStoreIni(std::move(pathCache));
    return true;
}

} // namespace qv
