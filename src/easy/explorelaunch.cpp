#include "easy/explorelaunch.h"

#include "catalogue/itemfiles.h"
#include "catalogue/pathrecords.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/storeini.h"
#include "easy/explorestate.h"
#include "easy/goandlaunch.h"
#include "easy/marking.h"
#include "engine/surveychecks.h"
#include "platform/casefold.h"

namespace qv {

namespace {

bool InFolder(const ItemSet& item, const QString& activities) {
    return IsActivityItem(item) && item.Folder.compare(activities, Qt::CaseInsensitive) == 0;
}

// Whether the folder lies in the route's part of the tree: it begins with the route's folder,
// ASCII letters compared without regard to case.
bool InRoute(const QString& folder, const QString& routeFolder) {
    return folder.size() >= routeFolder.size() &&
           CompareAsciiFolded(QStringView(folder).left(routeFolder.size()), routeFolder) == 0;
}

// The recorded activity while no activity of the route carries a later cache date than the
// record; a route without a record has none.
ItemNode* RecordedActivity(ItemNode* routeNode, RouteInfo& route, const QString& activities,
                           const IniFile& scenarioCache) {
    ItemNode* candidate = nullptr;
    for (ItemNode* node = routeNode; node && InRoute(node->Data()->Folder, route.Folder);
         node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if (!InFolder(item, activities))
            continue;
        const int fileDate = scenarioCache.ReadInteger(item.Folder + u'\\' + item.FileName,
                                                       QStringLiteral("FileDate"), -1);
        if (fileDate > route.ExploreSetupDate) {
            route.ExploreSetupDate = -1;
            return nullptr;
        }
        if (item.FileName.compare(route.ExploreFileName, Qt::CaseInsensitive) == 0)
            candidate = node;
    }
    return candidate;
}

// The activity with the smallest number of other consists above 0; the earlier one on a tie.
ItemNode* FewestOtherConsists(ItemNode* routeNode, const QString& activities,
                              const QString& consistFile) {
    ItemNode* best = nullptr;
    int bestCount = 0;
    for (ItemNode* node = routeNode; node; node = node->GetNext()) {
        if (!InFolder(*node->Data(), activities))
            continue;
        const int count = CountOtherActivityConsists(*node->Data(), consistFile);
        if (count > 0 && (!best || count < bestCount)) {
            best = node;
            bestCount = count;
        }
    }
    return best;
}

// Marks the activity In Use with every other route stored and runs the job and the launch.
bool LaunchWith(QObject* sender, ItemNode* activity) {
    MainServices& main = TheMainServices();
    main.QuarvelObjects()->SetSelected(activity);
    MarkSelectedNode(1, true);
    main.UpdateControls();
    return GoAndLaunch(sender, true);
}

} // namespace

ItemNode* ChooseExploreActivity(ItemNode* routeNode, const QString& consistFile) {
    if (!routeNode)
        return nullptr;
    std::unique_ptr<StoreIniHolder> scenarioCache = OpenStoreIni(QStringLiteral("CACHESCN.QVC"));
    RouteInfo route;
    route.Folder = routeNode->Data()->Folder;
    const QString activities = route.Folder + QStringLiteral("\\Activities");
    ReadExploreActivitySetup(route);

    ItemNode* candidate = nullptr;
    if (scenarioCache)
        candidate = RecordedActivity(routeNode, route, activities, scenarioCache->Ini);
    if (!candidate) {
        candidate = FewestOtherConsists(routeNode, activities, consistFile);
        if (candidate) {
            route.ExploreFileName = candidate->Data()->FileName;
            WriteExploreActivitySetup(route);
        }
    }
    CloseStoreIni(std::move(scenarioCache));
    return candidate;
}

bool ExploreLaunch(QObject* sender, ItemNode* routeNode, const QString& consistFile,
                   const QString& playerPathFile) {
    ExploreActivitySaveInfo& record = Explore().CurrentExploreRecord;
    record.ConsistFileName = consistFile;
    record.PlayerPathFileName = playerPathFile;
    if (!routeNode)
        return false;
    ItemNode* candidate = ChooseExploreActivity(routeNode, consistFile);
    if (!ReadFlag(QStringLiteral("Easy Suppress MSTS Launch")))
        TheMainServices().SetChecked(QStringLiteral("LaunchMSTSCbx"), true);

    if (candidate && LaunchWith(sender, candidate))
        return true;
    const QString activities = routeNode->Data()->Folder + QStringLiteral("\\Activities");
    for (ItemNode* node = routeNode; node; node = node->GetNext()) {
        if (InFolder(*node->Data(), activities) && LaunchWith(sender, node))
            return true;
    }
    return false;
}

} // namespace qv
