#include "editors/consistfilter.h"

#include "catalogue/cacherebuild.h"
#include "catalogue/listeditorservices.h"
#include "catalogue/namedlists.h"
#include "catalogue/routeactivities.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "editors/filtersupport.h"
#include "editors/listboxview.h"
#include "editors/listeditormodel.h"
#include "editors/listeditorsupport.h"
#include "engine/usedincommon.h"
#include "platform/winfs.h"

#include <optional>

namespace qv {

namespace {

QStringList HistoryItems(const QString& name, bool blank) {
    return FilterHistoryItems(kConsistFiltersKey, name, blank);
}

// Fills the program-wide consist list from the caches, building the stock cache first when the
// store has none.
void RebuildConsists(RecordList<ItemSet>& consists,
                     const std::function<void(bool enabled)>& enablePanel,
                     std::optional<StatusGuard>& consTag) {
    BusyWithControl busy(enablePanel);
    StringList unreadable = StringList::SortedUnique();
    if (!FileExists(App().StoreRootFolder + QStringLiteral("\\QVDATA\\CACHESTK.QVC"))) {
        StatusGuard stockTag(QStringLiteral("CONSSTK"));
        App().StockCacheStale = true;
        App().StockCacheList.clear();
        RebuildStockCache(App().StockCacheList, false, &unreadable);
    }
    consTag.emplace(QStringLiteral("CONS"));
    App().ConsistCacheStale = true;
    RebuildConsistCache(consists, false, &unreadable);
    AnalyseUnreadableFiles(unreadable);
}

// Remembers the filters and the texts. An Explore list's forced tick (and, off electrified
// routes, its forced electric box) is not the user's choice: those bits keep what was stored.
void RememberFilters(const ListEditorModel& model, const ConsistFilterControls& controls,
                     std::uint32_t include, std::uint32_t exclude, bool electrified) {
    if (model.ListType == PT_EXPLORE_CONSIST)
        KeepStoredBits(kConsistFiltersKey, electrified ? PT_DRIVEABLE : PT_DRIVEABLE | PT_ELECTRIC,
                       include, exclude);
    RememberFilterPanel(kConsistFiltersKey, include, exclude,
                        {{"ConsistName", controls.ConsistName},
                         {"EngineName", controls.EngineName},
                         {"UsedInRoute", controls.UsedInRoute},
                         {"LotNumber", controls.LotNumber}},
                        controls.StoreIndIndex);
}

} // namespace

void ReadConsistFilterMemory(ConsistFilterControls& controls) {
    const StoredFilters stored = ReadStoredFilters(kConsistFiltersKey);
    controls.DriveableIndex = stored.DriveableIndex;
    controls.StoreIndIndex = stored.StoreIndIndex;
    controls.CheckedTags = TagsIn(stored.Include, kConsistFilterTags);
}

bool ConsistPassesFilter(const ItemSet& x, const ConsistFilterValues& v) {
    if (v.RouteFilterOn && !(x.PType & PT_IN_OTHER_LIST))
        return false;
    if (v.ListType == PT_EXPLORE_CONSIST) {
        if (!(x.PType & PT_DRIVEABLE))
            return false;
        if (!v.Electrified && (x.PType & PT_ELECTRIC))
            return false;
    }
    const std::uint32_t includeType = v.Include & ~kPowerBits;
    const std::uint32_t includePower = v.Include & kPowerBits;
    bool passes = true;
    if (v.NameMask || v.EngineMask || v.LotMask || includeType != 0 || includePower != 0 ||
        v.StatusMask != 8) {
        if (v.NameMask && !v.NameMask->Matches(ListItemText(x)))
            passes = false;
        else if (v.EngineMask && !v.EngineMask->Matches(x.EngineName))
            passes = false;
        else if (v.LotMask && !v.LotMask->Matches(x.LotNumber))
            passes = false;
        else if (v.StatusMask != 8 && !(x.StoreInd & v.StatusMask))
            passes = false;
        else if ((includeType & ~PT_DRIVEABLE) && !(x.PType & (includeType & ~PT_DRIVEABLE)))
            passes = false;
        else if ((includeType & PT_DRIVEABLE) && !(x.PType & PT_DRIVEABLE))
            passes = false;
        else if (includePower && !(x.PType & includePower))
            passes = false;
    }
    // The cross keeps only consists that cannot be driven.
    if (passes && v.Exclude != 0 && (x.PType & PT_DRIVEABLE))
        return false;
    return passes;
}

bool IsElectrifiedScope(const ItemNode* selected, int editMode) {
    if (editMode == EM_VIEW_ALL || !selected)
        return false;
    const ItemNode* list = (selected->Data()->PType & PT_HEADING) ? selected : selected->Parent();
    // One of several lists hangs below its kind's heading: the scope is the route or the global
    // settings above it, whichever comes first.
    for (const ItemNode* scope = list ? list->Parent() : nullptr; scope; scope = scope->Parent())
        if (scope->Data()->PType & (PT_ROUTE | PT_GLOBAL))
            return scope->Data()->PType & (PT_ELECTRIFIED | PT_GLOBAL);
    return false;
}

ConsistRefreshResult
RefreshAvailableConsists(ListEditorModel& model, ConsistFilterControls& controls,
                         ListBoxView& available, bool force, bool electrified,
                         const std::function<void(bool enabled)>& enablePanel) {
    ConsistRefreshResult result;
    if (!model.AvailableItems)
        return result;
    RecordList<ItemSet>& consists = *model.AvailableItems;
    StringList engineNames = StringList::SortedUnique();
    StringList lotNumbers = StringList::SortedUnique();
    HourglassGuard hourglass;
    available.Clear();

    if (force)
        consists.clear();
    std::optional<StatusGuard> consTag;
    if (consists.empty())
        RebuildConsists(consists, enablePanel, consTag);
    RenewStoreStates(consists, PT_CONSIST, App().ConsistCacheStale);

    if (model.ListType == PT_EXPLORE_CONSIST) {
        controls.DriveableIndex = DRIVEABLE_TICK;
        controls.DriveableEnabled = false;
        controls.ElectricEnabled = electrified;
        if (!electrified)
            controls.CheckedTags &= ~PT_ELECTRIC;
    } else {
        controls.DriveableEnabled = true;
        controls.ElectricEnabled = true;
    }
    ConsistFilterValues values;
    values.ListType = model.ListType;
    values.Electrified = electrified;
    values.Include = controls.CheckedTags | DriveableInclude(controls.DriveableIndex);
    values.Exclude = DriveableExclude(controls.DriveableIndex);
    if (!model.InFormShow)
        RememberFilters(model, controls, values.Include, values.Exclude, electrified);

    values.NameMask = MakeMask(controls.ConsistName);
    values.EngineMask = MakeMask(controls.EngineName);
    values.LotMask = MakeMask(controls.LotNumber);
    const QString routeText = controls.UsedInRoute.trimmed();
    values.RouteFilterOn = !routeText.isEmpty();
    values.StatusMask = StatusFilterMask(controls.StoreIndIndex);

    controls.EngineNameItems = HistoryItems(QStringLiteral("EngineName"), true);
    controls.EngineName = FirstItemWhen(!!values.EngineMask, controls.EngineNameItems);
    controls.UsedInRouteItems = HistoryItems(QStringLiteral("UsedInRoute"), true);
    controls.UsedInRoute = routeText;
    controls.ConsistNameItems = HistoryItems(QStringLiteral("ConsistName"), false);
    controls.ConsistName = FirstItemWhen(!!values.NameMask, controls.ConsistNameItems);
    controls.LotNumberItems = HistoryItems(QStringLiteral("LotNumber"), true);
    controls.LotNumber = FirstItemWhen(!!values.LotMask, controls.LotNumberItems);

    if (model.RouteFilterChanged)
        MarkRouteItems(*model.AvailableItems, model.RouteNodes, routeText, false);

    ShowPassingRows(model, available, [&](ItemSet& x) {
        x.PType = (x.PType & ~(PT_EXPLORE_CONSIST | PT_MAINT_CONSIST)) | model.ListType;
        if (!x.EngineName.isEmpty())
            engineNames.Add(x.EngineName);
        if (!x.LotNumber.isEmpty())
            lotNumbers.Add(x.LotNumber);
        return ConsistPassesFilter(x, values);
    });

    controls.EngineNameItems << engineNames.Strings();
    AddRouteItems(controls.UsedInRouteItems, model.RouteNodes);
    controls.LotNumberItems << lotNumbers.Strings();
    model.RouteFilterChanged = false;
    result.NewConsists = App().ConsistLotUsed;
    return result;
}

} // namespace qv
