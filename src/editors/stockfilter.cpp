#include "editors/stockfilter.h"

#include "catalogue/cacherebuild.h"
#include "catalogue/listeditorservices.h"
#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "editors/filtersupport.h"
#include "editors/listboxview.h"
#include "editors/listeditormodel.h"
#include "editors/listeditorsupport.h"

#include <optional>

namespace qv {

namespace {

void RememberFilters(const StockFilterControls& controls, std::uint32_t include,
                     std::uint32_t exclude) {
    RememberFilterPanel(kStockFiltersKey, include, exclude,
                        {{"StockName", controls.StockName},
                         {"UsedInRoute", controls.UsedInRoute},
                         {"LotNumber", controls.LotNumber}},
                        controls.StoreIndIndex);
}

void RebuildStock(RecordList<ItemSet>& stock, const std::function<void(bool enabled)>& enablePanel,
                  std::optional<StatusGuard>& tag) {
    BusyWithControl busy(enablePanel);
    StringList unreadable = StringList::SortedUnique();
    tag.emplace(QStringLiteral("MTSTK"));
    App().StockCacheStale = true;
    RebuildStockCache(stock, false, &unreadable);
    AnalyseUnreadableFiles(unreadable);
}

} // namespace

void ReadStockFilterMemory(StockFilterControls& controls) {
    const StoredFilters stored = ReadStoredFilters(kStockFiltersKey);
    controls.DriveableIndex = stored.DriveableIndex;
    controls.StoreIndIndex = stored.StoreIndIndex;
    controls.CheckedTags = TagsIn(stored.Include, kStockFilterTags);
}

bool StockPassesFilter(const ItemSet& x, const StockFilterValues& v) {
    if (v.RouteFilterOn && !(x.PType & PT_IN_OTHER_LIST))
        return false;
    const std::uint32_t includeType = v.Include & ~kPowerBits;
    const std::uint32_t includePower = v.Include & kPowerBits;
    const std::uint32_t otherKinds = includeType & ~PT_DRIVEABLE;
    bool passes = true;
    if (v.NameMask || v.LotMask || includeType != 0 || includePower != 0 || v.StatusMask != 8) {
        if (v.NameMask && !v.NameMask->Matches(ListItemText(x)))
            passes = false;
        else if (v.LotMask && !v.LotMask->Matches(x.LotNumber))
            passes = false;
        else if (v.StatusMask != 8 && !(x.StoreInd & v.StatusMask))
            passes = false;
        else if (x.PType & PT_ENGINE) {
            // Other kinds ticked without Engines leave the engines out.
            if (!(otherKinds & PT_ENGINE) && otherKinds != 0)
                passes = false;
            else if ((v.Include & PT_DRIVEABLE) && !(x.PType & PT_DRIVEABLE))
                passes = false;
            else if (includePower && !(x.PType & includePower))
                passes = false;
        } else {
            passes = (x.PType & includeType) || otherKinds == 0;
        }
    }
    // The cross keeps only what cannot be driven.
    if (passes && v.Exclude != 0 && (x.PType & PT_DRIVEABLE))
        return false;
    return passes;
}

StockRefreshResult RefreshAvailableStock(ListEditorModel& model, StockFilterControls& controls,
                                         ListBoxView& available, bool force,
                                         const std::function<void(bool enabled)>& enablePanel) {
    StockRefreshResult result;
    if (!model.AvailableItems)
        return result;
    RecordList<ItemSet>& stock = *model.AvailableItems;
    StringList lotNumbers = StringList::SortedUnique();
    HourglassGuard hourglass;
    available.Clear();

    if (force)
        stock.clear();
    std::optional<StatusGuard> tag;
    if (stock.empty())
        RebuildStock(stock, enablePanel, tag);
    RenewStoreStates(stock, PT_STOCK, App().StockCacheStale);

    StockFilterValues values;
    values.Include = controls.CheckedTags | DriveableInclude(controls.DriveableIndex);
    values.Exclude = DriveableExclude(controls.DriveableIndex);
    if (!model.InFormShow)
        RememberFilters(controls, values.Include, values.Exclude);

    values.NameMask = MakeMask(controls.StockName);
    values.LotMask = MakeMask(controls.LotNumber);
    const QString routeText = controls.UsedInRoute.trimmed();
    values.RouteFilterOn = !routeText.isEmpty();
    values.StatusMask = StatusFilterMask(controls.StoreIndIndex);

    controls.UsedInRouteItems =
        FilterHistoryItems(kStockFiltersKey, QStringLiteral("UsedInRoute"), true);
    controls.UsedInRoute = routeText;
    controls.StockNameItems =
        FilterHistoryItems(kStockFiltersKey, QStringLiteral("StockName"), false);
    controls.StockName = FirstItemWhen(!!values.NameMask, controls.StockNameItems);
    controls.LotNumberItems =
        FilterHistoryItems(kStockFiltersKey, QStringLiteral("LotNumber"), true);
    controls.LotNumber = FirstItemWhen(!!values.LotMask, controls.LotNumberItems);

    if (model.RouteFilterChanged)
        MarkRouteItems(stock, model.RouteNodes, routeText, true);

    ShowPassingRows(model, available, [&](ItemSet& x) {
        // A record once shown in a stock list keeps that kind, so the item actions treat it as
        // stock either way.
        x.PType |= model.ListType;
        if (!x.LotNumber.isEmpty())
            lotNumbers.Add(x.LotNumber);
        return StockPassesFilter(x, values);
    });

    AddRouteItems(controls.UsedInRouteItems, model.RouteNodes);
    controls.LotNumberItems << lotNumbers.Strings();
    model.RouteFilterChanged = false;
    result.NewStock = App().StockLotUsed;
    return result;
}

} // namespace qv
