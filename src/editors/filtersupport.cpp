#include "editors/filtersupport.h"

#include "catalogue/listeditorservices.h"
#include "catalogue/namedlists.h"
#include "catalogue/routeactivities.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/stringlist.h"
#include "editors/listboxview.h"
#include "editors/listeditormodel.h"
#include "engine/storeunstoreproc.h"
#include "engine/usedincommon.h"

#include <algorithm>

namespace qv {

namespace {

QString FilterKey(const QString& filtersKey) {
    return kProductKey + QLatin1Char('\\') + filtersKey;
}

void WriteFilterValue(const QString& filtersKey, const QString& name, qint64 value) {
    RegWriteString(FilterKey(filtersKey), name, QString::number(value));
}

// A number stored as text under the filters' key, 0 when missing or not a number.
std::uint32_t ReadFilterValue(const QString& filtersKey, const QString& name) {
    bool ok = false;
    const std::uint32_t value = RegReadString(FilterKey(filtersKey), name).toUInt(&ok);
    return ok ? value : 0;
}

// The remembered status choice, 2 when none.
int ReadFilterStatusIndex(const QString& filtersKey) {
    bool ok = false;
    const int status = RegReadString(FilterKey(filtersKey), QStringLiteral("StoreInd")).toInt(&ok);
    return ok ? status : 2;
}

// The route nodes the Used in Route text names: for "MSTS Default Routes" the first route of each
// default route folder present, else the first route of that name.
std::vector<ItemNode*> ChosenRouteNodes(const std::vector<ItemNode*>& routes, const QString& text) {
    std::vector<ItemNode*> chosen;
    if (text == Caption(Msg::MSTS_DEFAULT_ROUTES)) {
        for (const QString& name : MstsDefaultRoutes())
            for (ItemNode* node : routes) {
                const QString folder = node->Data()->Folder;
                const qsizetype cut = std::max(folder.lastIndexOf(QLatin1Char('\\')),
                                               folder.lastIndexOf(QLatin1Char(':')));
                if (folder.mid(cut + 1) == name) {
                    chosen.push_back(node);
                    break;
                }
            }
        return chosen;
    }
    for (ItemNode* node : routes)
        if (node->Data()->Description == text) {
            chosen.push_back(node);
            break;
        }
    return chosen;
}

} // namespace

QString FilterHistoryKey(const QString& filtersKey, const QString& name) {
    return filtersKey + QLatin1Char('\\') + name;
}

std::uint32_t DriveableInclude(int driveableIndex) {
    return driveableIndex == DRIVEABLE_TICK ? PT_DRIVEABLE : 0;
}

std::uint32_t DriveableExclude(int driveableIndex) {
    return driveableIndex == DRIVEABLE_CROSS ? PT_DRIVEABLE : 0;
}

StoredFilters ReadStoredFilters(const QString& filtersKey) {
    StoredFilters stored;
    stored.Include = ReadFilterValue(filtersKey, QStringLiteral("Include"));
    stored.Exclude = ReadFilterValue(filtersKey, QStringLiteral("Exclude"));
    stored.DriveableIndex = (stored.Include & PT_DRIVEABLE)   ? DRIVEABLE_TICK
                            : (stored.Exclude & PT_DRIVEABLE) ? DRIVEABLE_CROSS
                                                              : DRIVEABLE_EITHER;
    stored.StoreIndIndex = ReadFilterStatusIndex(filtersKey);
    return stored;
}

std::uint32_t TagsIn(std::uint32_t include, std::span<const std::uint32_t> tags) {
    std::uint32_t found = 0;
    for (std::uint32_t tag : tags)
        if (include & tag)
            found |= tag;
    return found;
}

void RememberFilterPanel(const QString& filtersKey, std::uint32_t include, std::uint32_t exclude,
                         std::initializer_list<std::pair<QString, QString>> texts,
                         int storeIndIndex) {
    WriteFilterValue(filtersKey, QStringLiteral("Include"), include);
    WriteFilterValue(filtersKey, QStringLiteral("Exclude"), exclude);
    for (const auto& [name, text] : texts)
        AddToKeyList(FilterHistoryKey(filtersKey, name), text, false, kFilterHistoryMaximum);
    WriteFilterValue(filtersKey, QStringLiteral("StoreInd"), storeIndIndex);
}

void KeepStoredBits(const QString& filtersKey, std::uint32_t kept, std::uint32_t& include,
                    std::uint32_t& exclude) {
    include = (include & ~kept) | (ReadFilterValue(filtersKey, QStringLiteral("Include")) & kept);
    exclude = (exclude & ~kept) | (ReadFilterValue(filtersKey, QStringLiteral("Exclude")) & kept);
}

QStringList FilterHistoryItems(const QString& filtersKey, const QString& name, bool blank) {
    QStringList items = ReadKeyList(FilterHistoryKey(filtersKey, name));
    if (blank)
        items << QStringLiteral(" ");
    return items;
}

QString FirstItemWhen(bool mask, const QStringList& items) {
    return mask && !items.isEmpty() ? items.first() : QString();
}

void AddRouteItems(QStringList& items, const std::vector<ItemNode*>& routes) {
    items << Caption(Msg::MSTS_DEFAULT_ROUTES);
    for (const ItemNode* node : routes)
        items << node->Data()->Description;
}

void RenewStoreStates(RecordList<ItemSet>& list, std::uint32_t kind, bool stale) {
    if (!stale && !App().ErrorsFileWritten)
        return;
    StringList errors;
    LoadErrorMarks(errors);
    UpdateStoreIndicators(list, kind, &errors);
}

void ShowPassingRows(ListEditorModel& model, ListBoxView& available,
                     const std::function<bool(ItemSet& item)>& passes) {
    RecordList<ItemSet>& items = *model.AvailableItems;
    model.RowMap.assign(items.size(), 0);
    std::size_t rows = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        ItemSet* x = items[i].get();
        if (!x || !passes(*x))
            continue;
        model.RowMap[rows++] = int(i);
        available.Add(ListItemText(*x));
    }
    model.RowMap.resize(rows);
}

void MarkRouteItems(RecordList<ItemSet>& items, const std::vector<ItemNode*>& routes,
                    const QString& routeText, bool stock) {
    if (routeText.isEmpty()) {
        for (const auto& item : items)
            if (item)
                item->PType &= ~PT_IN_OTHER_LIST;
        return;
    }
    RecordList<ItemSet> used;
    const std::vector<ItemNode*> chosen = ChosenRouteNodes(routes, routeText);
    if (!chosen.empty())
        RebuildScenarioCache(chosen, stock ? nullptr : &used, stock ? &used : nullptr);
    // The walk compares two lists sorted alike.
    SortItemList(used);
    SortItemList(items);
    MarkItemsInList(used, items);
}

void AnalyseUnreadableFiles(const StringList& unreadable) {
    if (unreadable.IsEmpty() || ReadFlag(QStringLiteral("Suppress Where Used Analysis")))
        return;
    ReportPane* pane = TheMainServices().InformationMemo();
    WriteReportHeading(Caption(Msg::TREE_HEADING_ERROR_ANALYSIS), pane);
    WhereUsed(pane, unreadable, WU_COMPLETE);
}

} // namespace qv
