#include "easy/exploresession.h"

#include "catalogue/activityreader.h"
#include "catalogue/consistreader.h"
#include "catalogue/pathreader.h"
#include "catalogue/servicereader.h"
#include "core/appstate.h"
#include "core/contentpath.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "easy/exploresaves.h"
#include "easy/explorestate.h"
#include "platform/winfind.h"
#include "platform/winfs.h"

#include <algorithm>

namespace qv {

namespace {

// The saved session's source activity: the first activity from the route node on with the
// record's folder and file name. The names are compared without regard to case, as the file
// system does, so that a folder renamed in case by a tool still finds its session.
const ItemSet* SessionActivity(const ItemNode* routeNode, const ExploreActivitySaveInfo& record) {
    for (const ItemNode* node = routeNode; node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if (IsActivityItem(item) && item.Folder.compare(record.Folder, Qt::CaseInsensitive) == 0 &&
            item.FileName.compare(record.FileName, Qt::CaseInsensitive) == 0)
            return &item;
    }
    return nullptr;
}

// The player path can be driven and the consist has a locomotive with a cab whose name agrees.
bool SessionStillRuns(const ExploreActivitySaveInfo& record) {
    auto pathCache = OpenStoreIni(QStringLiteral("CACHEPAT.QVC"));
    auto consistCache = OpenStoreIni(QStringLiteral("CACHECON.QVC"));
    auto stockCache = OpenStoreIni(QStringLiteral("CACHESTK.QVC"));
    PathInfo path;
    path.Folder = ParentPath(record.PlayerPathFileName);
    path.FileName = LastPathComponent(record.PlayerPathFileName);
    bool ok = ReadPathFile(App().StoreRootFolder, path, *pathCache) ||
              ReadPathFile(App().MstsRootFolder, path, *pathCache);
    ok = ok && (path.PType & PT_DRIVEABLE);
    if (ok) {
        ItemSet item;
        item.Folder = QStringLiteral("TRAINS\\CONSISTS");
        item.FileName = record.ConsistFileName;
        ConsistInfo consist;
        ok = ReadConsistFile(App().StoreRootFolder, item, consist, *consistCache, *stockCache,
                             nullptr) ||
             ReadConsistFile(App().MstsRootFolder, item, consist, *consistCache, *stockCache,
                             nullptr);
        ok = ok && !(consist.PType & (PT_NAME_DIFFERS | PT_LEAD_NO_CABVIEW));
    }
    CloseStoreIni(std::move(stockCache));
    CloseStoreIni(std::move(consistCache));
    CloseStoreIni(std::move(pathCache));
    return ok;
}

} // namespace

bool ReadActivityWithPlayerService(const ItemSet& item, StoreIniHolder& scenarioCache,
                                   ActivityInfo& activity, ServiceInfo& service) {
    // The file is read whatever the cache holds: its player service and path are needed.
    activity.FullCheck = true;
    const bool read =
        ReadActivityFile(App().StoreRootFolder, item, scenarioCache, activity, nullptr, nullptr) ||
        ReadActivityFile(App().MstsRootFolder, item, scenarioCache, activity, nullptr, nullptr);
    if (!read || activity.PlayerSrv.isEmpty())
        return false;
    // The player service is named by the activity: one that leads out of the route's SERVICES
    // folder is refused, and the session is not built on it.
    const QString services = ParentPath(item.Folder) + QStringLiteral("\\SERVICES");
    if (EntryInside(services, activity.PlayerSrv).isEmpty()) {
        ReportRefusedName(activity.PlayerSrv, item.Folder + u'\\' + item.FileName,
                          TheMainServices().InformationMemo());
        return false;
    }
    return (ReadServiceFile(App().StoreRootFolder, activity.PlayerSrv, service) ||
            ReadServiceFile(App().MstsRootFolder, activity.PlayerSrv, service));
}

bool CheckSessionActivity(const ItemSet& activity) {
    ExploreState& state = Explore();
    auto consistCache = OpenStoreIni(QStringLiteral("CACHECON.QVC"));
    auto scenarioCache = OpenStoreIni(QStringLiteral("CACHESCN.QVC"));
    state.ExploreTemplateActivity = ActivityInfo();
    ServiceInfo service;
    bool ok = ReadActivityWithPlayerService(activity, *scenarioCache, state.ExploreTemplateActivity,
                                            service);
    if (ok) {
        const IniFile& consists = consistCache->Ini;
        ok =
            !consists.ReadString(service.ConsistFile, QStringLiteral("EngineName"), {}).isEmpty() &&
            !consists.ReadString(service.ConsistFile, QStringLiteral("Description"), {}).isEmpty();
    }
    if (ok)
        state.ExploreSourceActivity = activity;
    CloseStoreIni(std::move(consistCache));
    CloseStoreIni(std::move(scenarioCache));
    return ok;
}

SavedSessionRows FillSavedExploreSessions(const QString& routeFolderName) {
    auto savesFile = OpenStoreIni(ExploreSavesFileName(routeFolderName));
    StringList files = StringList::SortedUnique();
    StringList numbers = StringList::SortedUnique();
    const bool listed = ListExploreSaves(routeFolderName, &files, &numbers, *savesFile);

    std::vector<ExploreActivitySaveInfo> sessions;
    const QString folder =
        App().MstsRootFolder + QStringLiteral("\\SAVES\\") + routeFolderName + u'\\';
    for (int i = 0; i < files.Count(); ++i) {
        ExploreActivitySaveInfo record;
        if (!ReadExploreSaveRecord(record, SaveNumberFromSaveFileName(files[i]), *savesFile))
            continue;
        record.SaveDate = UnpackDosDateTime(FileAge(folder + files[i]));
        sessions.push_back(std::move(record));
    }
    std::stable_sort(sessions.begin(), sessions.end(),
                     [](const ExploreActivitySaveInfo& a, const ExploreActivitySaveInfo& b) {
                         return a.SaveDate > b.SaveDate;
                     });

    SavedSessionRows rows;
    for (const ExploreActivitySaveInfo& record : sessions) {
        rows.Rows << ExploreSaveDateText(record.SaveDate) + QStringLiteral("   (") + record.Name +
                         u')';
        rows.RowMap.push_back(SessionRow{record.SaveNumber, record.SaveDate});
    }
    // A listing that failed says nothing about which saves are gone.
    if (listed)
        PurgeStaleExploreSaves(numbers, *savesFile);
    CloseStoreIni(std::move(savesFile));
    return rows;
}

bool RestoreExploreSession(const ItemNode* routeNode, const SessionRow& row) {
    ExploreState& state = Explore();
    if (!routeNode)
        return false;
    auto savesFile =
        OpenStoreIni(ExploreSavesFileName(LastPathComponent(routeNode->Data()->Folder)));
    ExploreActivitySaveInfo& record = state.CurrentExploreRecord;
    const bool read = ReadExploreSaveRecord(record, QString::number(row.SaveNumber), *savesFile);
    CloseStoreIni(std::move(savesFile));
    if (!read)
        return false;
    record.SaveDate = row.SaveDate;
    const ItemSet* activity = SessionActivity(routeNode, record);
    if (activity && CheckSessionActivity(*activity) && SessionStillRuns(record))
        return true;
    state.ExploreSourceActivity.reset();
    return false;
}

} // namespace qv
