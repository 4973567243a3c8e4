#include "editors/filtersupport.h"

#include "catalogue/listeditorservices.h"
#include "catalogue/namedlists.h"
#include "catalogue/routeactivities.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/stringlist.h"
#include "engine/usedincommon.h"

#include <algorithm>

namespace qv {

namespace {

QString FilterKey(const QString& filtersKey) {
    return kProductKey + QLatin1Char('\\') + filtersKey;
}

} // namespace

QString FilterHistoryKey(const QString& filtersKey, const QString& name) {
    return filtersKey + QLatin1Char('\\') + name;
}

std::uint32_t ReadFilterValue(const QString& filtersKey, const QString& name) {
    bool ok = false;
    const std::uint32_t value = RegReadString(FilterKey(filtersKey), name).toUInt(&ok);
    return ok ? value : 0;
}

int ReadFilterStatusIndex(const QString& filtersKey) {
    bool ok = false;
    const int status = RegReadString(FilterKey(filtersKey), QStringLiteral("StoreInd")).toInt(&ok);
    return ok ? status : 2;
}

void WriteFilterValue(const QString& filtersKey, const QString& name, qint64 value) {
    RegWriteString(FilterKey(filtersKey), name, QString::number(value));
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
