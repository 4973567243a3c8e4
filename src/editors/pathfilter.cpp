#include "editors/pathfilter.h"

#include "catalogue/listeditorservices.h"
#include "catalogue/namedlists.h"
#include "catalogue/routeactivities.h"
#include "catalogue/routefolders.h"
#include "core/appstate.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "editors/filtersupport.h"
#include "editors/listboxview.h"
#include "editors/listeditormodel.h"
#include "editors/listeditorsupport.h"

namespace qv {

namespace {

void RememberFilters(const ListEditorModel& model, const PathFilterControls& controls,
                     std::uint32_t include, std::uint32_t exclude) {
    // An Explore list's forced tick is not the user's choice: the stored bit stays.
    if (model.ListType == PT_EXPLORE_PATH)
        KeepStoredBits(kPathFiltersKey, PT_DRIVEABLE, include, exclude);
    RememberFilterPanel(kPathFiltersKey, include, exclude,
                        {{"To", controls.To}, {"From", controls.From}, {"Name", controls.Name}},
                        controls.StoreIndIndex);
}

// Drops from the path cache every path that neither folder holds any more.
void PrunePathCache() {
    StringList files = StringList::SortedUnique();
    for (const QString& root : {App().MstsRootFolder, App().StoreRootFolder}) {
        StringList found = StringList::SortedUnique();
        ListRouteFilesOfKind(PT_PATH, found, root);
        files.AddStrings(found);
    }
    PruneIniSections(files, QStringLiteral("CACHEPAT.QVC"));
}

} // namespace

void ReadPathFilterMemory(PathFilterControls& controls) {
    const StoredFilters stored = ReadStoredFilters(kPathFiltersKey);
    controls.DriveableIndex = stored.DriveableIndex;
    controls.StoreIndIndex = stored.StoreIndIndex;
}

bool PathPassesFilter(const ItemSet& x, const PathFilterValues& v) {
    if (v.ListType == PT_EXPLORE_PATH && !(x.PType & PT_DRIVEABLE))
        return false;
    bool passes = true;
    if (v.FromMask || v.ToMask || v.NameMask || v.Include != 0 || v.StatusMask != 8) {
        if (v.NameMask && !v.NameMask->Matches(ListItemText(x)))
            passes = false;
        else if (v.FromMask && !v.FromMask->Matches(x.EngineName))
            passes = false;
        else if (v.ToMask && !v.ToMask->Matches(x.LotNumber))
            passes = false;
        else if (v.StatusMask != 8 && !(x.StoreInd & v.StatusMask))
            passes = false;
        else if ((v.Include & PT_DRIVEABLE) && !(x.PType & PT_DRIVEABLE))
            passes = false;
    }
    if (passes && v.Exclude != 0 && (x.PType & PT_DRIVEABLE))
        return false;
    return passes;
}

ItemNode* PathScopeNode(ItemNode* node) {
    if (!node)
        return nullptr;
    if (node->Data()->PType & (PT_HEADING | PT_ROUTE))
        return node;
    return node->Parent();
}

bool PathInRoute(const ItemSet& path, const QString& routeFolder) {
    const qsizetype cut = path.Folder.lastIndexOf(QLatin1Char('\\'));
    if (routeFolder.isEmpty() || cut <= 0)
        return false;
    return path.Folder.left(cut).compare(routeFolder, Qt::CaseInsensitive) == 0;
}

void RefreshAvailablePaths(ListEditorModel& model, PathFilterControls& controls,
                           ListBoxView& available, bool force, ItemNode* node,
                           const std::function<void(bool enabled)>& enablePanel) {
    AppState& app = App();
    app.PathRouteCount = 0;
    if (!model.AvailableItems)
        return;
    RecordList<ItemSet>& paths = *model.AvailableItems;
    StringList startNames = StringList::SortedUnique();
    StringList endNames = StringList::SortedUnique();
    HourglassGuard hourglass;
    available.Clear();

    // Without a route there is nothing to show (View All may be opened with no node, or with
    // one that has no route above it).
    const ItemNode* scope = PathScopeNode(node);
    QString routeFolder = scope ? scope->Data()->Folder : QString();
    if (!routeFolder.startsWith(QStringLiteral("ROUTES\\"), Qt::CaseInsensitive))
        routeFolder.clear();
    app.PathRouteState = scope ? scope->Data()->StoreInd : 0;

    if (force) {
        paths.clear();
        PrunePathCache();
    }
    if (paths.empty() && !routeFolder.isEmpty()) {
        BusyWithControl busy(enablePanel);
        StringList unreadable = StringList::SortedUnique();
        app.PathCacheStale = true;
        RebuildRoutePathCache(paths, routeFolder, false, &unreadable);
        AnalyseUnreadableFiles(unreadable);
    }
    RenewStoreStates(paths, PT_PATH, app.PathCacheStale);

    if (model.ListType == PT_EXPLORE_PATH) {
        controls.DriveableIndex = DRIVEABLE_TICK;
        controls.DriveableEnabled = false;
    } else {
        controls.DriveableEnabled = true;
    }
    PathFilterValues values;
    values.ListType = model.ListType;
    values.Include = DriveableInclude(controls.DriveableIndex);
    values.Exclude = DriveableExclude(controls.DriveableIndex);
    if (!model.InFormShow)
        RememberFilters(model, controls, values.Include, values.Exclude);

    values.FromMask = MakeMask(controls.From);
    values.ToMask = MakeMask(controls.To);
    values.NameMask = MakeMask(controls.Name);
    values.StatusMask = StatusFilterMask(controls.StoreIndIndex);

    controls.FromItems = FilterHistoryItems(kPathFiltersKey, QStringLiteral("From"), true);
    controls.From = FirstItemWhen(!!values.FromMask, controls.FromItems);
    controls.ToItems = FilterHistoryItems(kPathFiltersKey, QStringLiteral("To"), true);
    controls.To = FirstItemWhen(!!values.ToMask, controls.ToItems);
    controls.NameItems = FilterHistoryItems(kPathFiltersKey, QStringLiteral("Name"), false);
    controls.Name = FirstItemWhen(!!values.NameMask, controls.NameItems);

    ShowPassingRows(model, available, [&](ItemSet& x) {
        if (!PathInRoute(x, routeFolder))
            return false;
        ++app.PathRouteCount;
        x.PType = (x.PType & ~(PT_EXPLORE_PATH | PT_MAINT_PATH)) | model.ListType;
        if (!x.EngineName.isEmpty())
            startNames.Add(x.EngineName);
        if (!x.LotNumber.isEmpty())
            endNames.Add(x.LotNumber);
        return PathPassesFilter(x, values);
    });

    controls.ToItems << endNames.Strings();
    controls.FromItems << startNames.Strings();
}

} // namespace qv
