#include "easy/easylists.h"

#include "catalogue/cacherebuild.h"
#include "catalogue/listeditorservices.h"
#include "catalogue/listrefresh.h"
#include "catalogue/namedlists.h"
#include "catalogue/routeactivities.h"
#include "core/appstate.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "engine/storeunstoreproc.h"
#include "platform/casefold.h"

namespace qv {

namespace {

const QString kMruKey = QStringLiteral("Easy\\MRUs\\");

// A sorted index that holds each name once, whatever its letter case.
void AddToIndex(QStringList& index, const QString& name) {
    auto place =
        std::lower_bound(index.begin(), index.end(), name, [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
    if (place != index.end() && place->compare(name, Qt::CaseInsensitive) == 0)
        return;
    index.insert(place, name);
}

void SelectFirstRow(EasyRows& rows) {
    rows.Selected = rows.Rows.isEmpty() ? -1 : 0;
}

} // namespace

int EasyRows::RecordOfRow(int row) const {
    const int data = row - LeadingRows;
    if (row < 0 || data < 0 || data >= int(RowMap.size()))
        return -1;
    return RowMap[std::size_t(data)];
}

void EasyRows::AddDataRow(const QString& text, int record) {
    Rows << text;
    RowMap.push_back(record);
}

EasyPageState& EasyPage() {
    static EasyPageState state;
    return state;
}

void ResetEasyPageState() {
    EasyPage() = EasyPageState();
}

EasyRows MruBlock(const QString& name) {
    EasyRows rows;
    rows.Rows = ReadKeyList(kMruKey + name);
    if (!rows.Rows.isEmpty())
        rows.Rows << QStringLiteral(" ");
    rows.LeadingRows = int(rows.Rows.size());
    return rows;
}

int TreePosition(const ItemTree& tree, const ItemNode* node) {
    int position = 0;
    for (const ItemNode* walk = tree.First(); walk; walk = walk->GetNext(), ++position) {
        if (walk == node)
            return position;
    }
    return -1;
}

ItemNode* NodeAtPosition(const ItemTree& tree, int position) {
    if (position < 0)
        return nullptr;
    ItemNode* walk = tree.First();
    for (int i = 0; walk && i < position; ++i)
        walk = walk->GetNext();
    return walk;
}

QString ParentFolderOf(const QString& folder) {
    const qsizetype cut =
        std::max(folder.lastIndexOf(QLatin1Char('\\')), folder.lastIndexOf(QLatin1Char(':')));
    if (cut < 0)
        return QString();
    QString parent = folder.left(cut);
    while (parent.endsWith(QLatin1Char('\\')))
        parent.chop(1);
    return parent;
}

EasyRows FillRoutesList(const ItemTree& tree, int nodeIndex) {
    EasyRows rows = MruBlock(QStringLiteral("Routes"));
    int position = 0;
    for (const ItemNode* node = tree.First(); node; node = node->GetNext(), ++position) {
        if (IsRouteItem(*node->Data()))
            rows.AddDataRow(node->Data()->Description, position);
    }
    SelectFirstRow(rows);
    const auto route = std::find(rows.RowMap.begin(), rows.RowMap.end(), nodeIndex);
    if (nodeIndex >= 0 && route != rows.RowMap.end())
        rows.Selected = rows.LeadingRows + int(route - rows.RowMap.begin());
    return rows;
}

EasyRows FillActivitiesList(const ItemTree& tree, const ItemSet& route) {
    EasyRows rows = MruBlock(QStringLiteral("Activities"));
    int position = 0;
    for (const ItemNode* node = tree.First(); node; node = node->GetNext(), ++position) {
        const ItemSet& item = *node->Data();
        if (IsActivityItem(item) && SameWithoutCase(ParentFolderOf(item.Folder), route.Folder))
            rows.AddDataRow(item.Description, position);
    }
    SelectFirstRow(rows);
    return rows;
}

void AddLocomotivesByFlag(const RecordList<ItemSet>& list, QStringList& index,
                          std::uint32_t excluded) {
    for (const auto& item : list) {
        if (item && (item->PType & PT_DRIVEABLE) && !(item->PType & excluded))
            AddToIndex(index, item->EngineName);
    }
}

void BuildLocomotiveIndexForList(RecordList<ItemSet>& list, ItemNode* routeNode, int mode) {
    if (!routeNode)
        return;
    std::unique_ptr<StoreIniHolder> stockCache = OpenStoreIni(QStringLiteral("CACHESTK.QVC"));
    std::unique_ptr<StoreIniHolder> consistCache = OpenStoreIni(QStringLiteral("CACHECON.QVC"));
    if (!stockCache || !consistCache) {
        CloseStoreIni(std::move(stockCache));
        CloseStoreIni(std::move(consistCache));
        return;
    }
    RecordList<ItemSet> working;
    auto addLists = [&](const QString& folder) {
        const StringList lists = ReadRouteLists(folder, PT_EXPLORE_CONSIST, true);
        for (int i = 0; i < lists.Count(); ++i)
            RefreshConsistList(working, folder, lists.Names(i), nullptr, true, false, *stockCache,
                               *consistCache, PT_EXPLORE_CONSIST);
    };
    if (mode == 1)
        addLists(QStringLiteral("TRAINS\\CONSISTS"));
    if (mode == 1 || mode == 2)
        addLists(routeNode->Data()->Folder);
    if (mode == 3)
        RebuildScenarioCache({routeNode}, &working, nullptr);

    for (auto& item : working) {
        if (!item || item->StoreInd == SI_HEADING)
            continue;
        item->PType |= std::uint32_t(
            consistCache->Ini.ReadInteger(item->FileName, QStringLiteral("PType"), 0));
        list.push_back(std::move(item));
    }
    CloseStoreIni(std::move(stockCache));
    CloseStoreIni(std::move(consistCache));
}

EasyRows FillLocomotivesList(ItemNode* routeNode, int mode) {
    AppState& app = App();
    PushStatus(QStringLiteral("REFLOCO"));
    if (app.ConsistCacheList.empty()) {
        PushStatus(QStringLiteral("CONS"));
        app.ConsistCacheStale = true;
        RebuildConsistCache(app.ConsistCacheList, false, nullptr);
        PopStatus();
    }
    if (app.ConsistCacheStale) {
        // The recount consumes the out-of-date flags the list editors go by, so it takes the
        // error list too: otherwise the consists in error would lose their mark for good.
        StringList errors;
        LoadErrorMarks(errors);
        UpdateStoreIndicators(app.ConsistCacheList, PT_CONSIST, &errors);
    }
    const std::uint32_t excluded =
        routeNode && (routeNode->Data()->PType & PT_ELECTRIFIED) ? 0 : PT_ELECTRIC;

    EasyRows rows = MruBlock(QStringLiteral("Locomotives"));
    QStringList index;
    if (mode > 0) {
        RecordList<ItemSet>& chosen = EasyPage().ExploreListConsists;
        ClearTypedList(RK_ITEMSET, chosen);
        BuildLocomotiveIndexForList(chosen, routeNode, mode);
        AddLocomotivesByFlag(chosen, index, excluded);
    } else {
        AddLocomotivesByFlag(app.ConsistCacheList, index, excluded);
    }
    // The locomotive rows stand for no record: the row's text names the locomotive.
    for (const QString& name : index)
        rows.AddDataRow(name, -1);
    SelectFirstRow(rows);
    PopStatus();
    return rows;
}

EasyRows FillConsistsCombo(const QString& locomotive, int mode, bool* exploreAllowed) {
    const RecordList<ItemSet>& consists = App().ConsistCacheList;
    EasyRows rows = MruBlock(QStringLiteral("Consists"));
    std::uint32_t firstFlags = 0;
    for (std::size_t i = 0; i < consists.size(); ++i) {
        const ItemSet* item = consists[i].get();
        if (!item || !(item->PType & PT_DRIVEABLE) || (item->PType & PT_ENGINE_REF_DIFFERS) ||
            item->EngineName != locomotive)
            continue;
        if (rows.RowMap.empty())
            firstFlags = item->PType & (PT_NAME_DIFFERS | PT_LEAD_NO_CABVIEW);
        rows.AddDataRow(item->Description, int(i));
    }
    if (!ReadFlag(QStringLiteral("Easy Show All Consists")) && mode > 0) {
        const RecordList<ItemSet>& chosen = EasyPage().ExploreListConsists;
        EasyRows kept;
        for (int record : rows.RowMap) {
            const QString& file = consists[std::size_t(record)]->FileName;
            const bool listed = std::any_of(chosen.begin(), chosen.end(), [&](const auto& item) {
                return item && SameWithoutCase(item->FileName, file);
            });
            if (listed)
                kept.AddDataRow(consists[std::size_t(record)]->Description, record);
        }
        rows = std::move(kept);
    }
    SelectFirstRow(rows);
    if (exploreAllowed && !rows.Rows.isEmpty())
        *exploreAllowed = firstFlags == 0;
    return rows;
}

EasyRows FillFromPaths(const ItemSet& route) {
    EasyRows rows = MruBlock(QStringLiteral("Paths From"));
    QStringList starts;
    for (const auto& path : App().PathCacheList) {
        if (path && SameWithoutCase(ParentFolderOf(path->Folder), route.Folder) &&
            (path->PType & PT_DRIVEABLE) && !path->EngineName.isEmpty())
            AddToIndex(starts, path->EngineName);
    }
    for (const QString& start : starts)
        rows.AddDataRow(start, -1);
    SelectFirstRow(rows);
    return rows;
}

EasyRows FillToPaths(const QString& start) {
    EasyRows rows;
    const RecordList<ItemSet>& paths = App().PathCacheList;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const ItemSet* path = paths[i].get();
        if (path && path->EngineName == start && (path->PType & PT_DRIVEABLE) &&
            !path->LotNumber.isEmpty())
            rows.AddDataRow(path->LotNumber, int(i));
    }
    SelectFirstRow(rows);
    return rows;
}

EasyRows FillTrafficActivities(const ItemTree& tree, const ItemNode* routeNode) {
    EasyRows rows;
    // The blank row stands for "no traffic activity"; it counts as a data row without a record.
    rows.AddDataRow(QStringLiteral(" "), -1);
    if (routeNode) {
        QString prefix = routeNode->Data()->Folder;
        if (!prefix.endsWith(QLatin1Char('\\')))
            prefix += QLatin1Char('\\');
        int position = TreePosition(tree, routeNode);
        for (const ItemNode* node = routeNode; node; node = node->GetNext(), ++position) {
            QString folder = node->Data()->Folder;
            if (!folder.endsWith(QLatin1Char('\\')))
                folder += QLatin1Char('\\');
            if (!folder.startsWith(prefix, Qt::CaseInsensitive))
                break;
            if (IsActivityItem(*node->Data()))
                rows.AddDataRow(node->Data()->Description, position);
        }
    }
    SelectFirstRow(rows);
    return rows;
}

ItemNode* FindTutorialActivity(const ItemTree& tree) {
    const QString folder = QStringLiteral("ROUTES\\TUTORIAL ROUTE\\Activities");
    ItemNode* found = nullptr;
    for (ItemNode* node = tree.First(); node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if (!IsActivityItem(item) || item.Folder.compare(folder, Qt::CaseInsensitive) != 0)
            continue;
        found = node;
        if (item.FileName.compare(QStringLiteral("elesson1.act"), Qt::CaseInsensitive) == 0)
            break;
    }
    return found;
}

} // namespace qv
