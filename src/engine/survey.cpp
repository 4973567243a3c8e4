#include "engine/survey.h"

#include "catalogue/activityreader.h"
#include "catalogue/consistreader.h"
#include "catalogue/listedondemand.h"
#include "catalogue/pathreader.h"
#include "catalogue/readahead.h"
#include "catalogue/routereader.h"
#include "catalogue/stockchecks.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/contentpath.h"
#include "core/easyservices.h"
#include "core/exploresaveinfo.h"
#include "core/filefind.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/sortedlists.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "engine/fixedobjects.h"
#include "engine/surveychecks.h"
#include "engine/usedincommon.h"
#include "engine/worklists.h"
#include "platform/inifile.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"
#include "platform/workers.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace qv {

namespace {

const QString kConsistsFolder = QStringLiteral("TRAINS\\CONSISTS");
// Rounds of the partial-route closure when "Max Unstore Iterations" does not say otherwise.
constexpr int kDefaultUnstoreIterations = 100;

int MaxUnstoreIterations() {
    bool ok = false;
    const int rounds =
        RegReadString(kProductKey, QStringLiteral("Max Unstore Iterations")).trimmed().toInt(&ok);
    return ok ? rounds : kDefaultUnstoreIterations;
}

// Adds `<folder>\<file>` for each file of the folder that matches the mask, MSTS folder first.
void AddFilesOfBothRoots(StringList& list, const QString& folder, const QString& mask) {
    FindFiles(list, App().MstsRootFolder + u'\\' + folder, false, folder, mask);
    FindFiles(list, App().StoreRootFolder + u'\\' + folder, false, folder, mask);
}

// Adds to `added` the entries of `found` that `have` lacks and that no earlier round handled, and
// marks them handled: an entry that could not be brought in (an unreadable service, an activity
// the tree does not show) stays missing, and taking it for new again would keep the closure going
// round after round.
void TakeNewEntries(const StringList& found, const StringList& have, StringList& handled,
                    StringList& added) {
    StringList missing = StringList::SortedUnique();
    SortedStringsMissing(have, found, missing);
    for (int i = 0; i < missing.Count(); ++i) {
        if (handled.IndexOf(missing[i]) >= 0)
            continue;
        handled.Add(missing[i]);
        added.Add(missing[i]);
    }
}

// The sorted work lists gather their entries while the survey runs (each takes them in when it
// is next looked at), and hold them all in their places when it ends.
class GatheringLists {
public:
    explicit GatheringLists(WorkLists& lists)
        : lists_{&lists.B, &lists.C, &lists.D, &lists.E, &lists.F, &lists.G, &lists.H} {
        for (StringList* list : lists_)
            list->SetGathering(true);
    }
    ~GatheringLists() {
        for (StringList* list : lists_)
            list->SetGathering(false);
    }
    GatheringLists(const GatheringLists&) = delete;
    GatheringLists& operator=(const GatheringLists&) = delete;

private:
    StringList* lists_[7];
};

// An activity as the tree names it: its folder, which its parse takes its route from, and its
// file name, joined by a character no name holds.
QString ActivityPlace(const ItemSet& activity) {
    return activity.Folder + u'|' + activity.FileName;
}

class SurveyRun {
public:
    SurveyRun(bool unstore, bool partialRoute, WorkLists& lists)
        : unstore_(unstore), partialRoute_(partialRoute), H(lists.H), G(lists.G), F(lists.F),
          E(lists.E), D(lists.D), C(lists.C), B(lists.B), A(lists.A) {}

    bool Run(bool defaultRoutes, bool allStock, bool allConsists);

private:
    void ReadFoldersAhead();
    void WalkTree();
    void SurveyRoute(ItemNode* node);
    void SurveyExploreChoice();
    void CloseOverUsers();
    void BringActivityIntoUse(const QString& entry);
    void CheckPaths();
    void CollectConsists();
    // Lists the folders of the stock found so far and of the vehicles of the consists read ahead.
    void ListStockFolders(const std::vector<ConsistAhead>& parsed);
    void CollectLists(const QString& folder, std::uint32_t mask);
    void Activity(const ItemSet& item);
    void BringIntoUse(ItemNode* node);

    const bool unstore_;
    const bool partialRoute_;
    StringList& H;
    StringList& G;
    StringList& F;
    StringList& E;
    StringList& D;
    StringList& C;
    StringList& B;
    StringList& A;

    bool errors_ = false;
    // The settings the survey goes by, read once for the whole survey: a route asking for each
    // again would read the registry's files for every route.
    bool suppressWarnings_ = false;
    bool onEasyPage_ = false;
    bool exploreConsists_ = false;
    bool explorePaths_ = false;
    ReportPane* pane_ = nullptr;
    ItemTree* tree_ = nullptr;
    StringList playerServices_ = StringList::SortedUnique();
    std::unique_ptr<StoreIniHolder> stockCache_;
    std::unique_ptr<StoreIniHolder> consistCache_;
    std::unique_ptr<StoreIniHolder> scenarioCache_;
    std::unique_ptr<StoreIniHolder> pathCache_;
    // The listings of the folders the survey looks in, each made once for both roots: of the
    // roots' own folders (routes' services and paths), of the consists folder and of the stock
    // folders.
    ListedOnDemand dates_{QLatin1StringView("\\")};
    ListedOnDemand consistDates_{kConsistsBase};
    ListedOnDemand stockDates_{kTrainsetBase};
    // The files of the activities in use, read and parsed ahead, by their folders and names as
    // the tree gives them (ActivityPlace).
    std::vector<AheadFile> activitiesAhead_;
    std::vector<ActivityAhead> activitiesParsed_;
    QHash<QString, std::size_t> activityPlaces_;
};

bool SurveyRun::Run(bool defaultRoutes, bool allStock, bool allConsists) {
    SetBusy(true);
    suppressWarnings_ = ReadFlag(QStringLiteral("Suppress Warnings"));
    onEasyPage_ = TheEasyServices().MainPageIndex() == 0;
    exploreConsists_ = ReadFlag(QStringLiteral("Include Explore Consists"));
    explorePaths_ = ReadFlag(QStringLiteral("Include Explore Paths"));
    HourglassGuard hourglass;
    App().PathSet.DuplicateAnswer = 0;
    StatusGuard status(QStringLiteral("SURVEY"));
    pane_ = TheMainServices().InformationMemo();
    tree_ = TheMainServices().QuarvelObjects();
    ClearReport(pane_);
    stockCache_ = OpenStoreIni(QStringLiteral("CACHESTK.QVC"));
    consistCache_ = OpenStoreIni(QStringLiteral("CACHECON.QVC"));
    scenarioCache_ = OpenStoreIni(QStringLiteral("CACHESCN.QVC"));
    pathCache_ = OpenStoreIni(QStringLiteral("CACHEPAT.QVC"));

    // Before anything else, so that the user learns of route folders the job would take for
    // one, whatever else the survey finds.
    if (!CheckTwinRouteFolders(H, pane_))
        errors_ = true;
    if (unstore_ && defaultRoutes && tree_ && !TheEasyServices().MarkDefaultRoutes(*tree_))
        errors_ = true;
    ReadFoldersAhead();
    WalkTree();
    if (!unstore_)
        SurveyExploreChoice();
    if (!SurveyServices(C, E, D, H, &dates_))
        errors_ = true;
    if (unstore_ && partialRoute_)
        CloseOverUsers();
    CloseStoreIni(std::move(scenarioCache_));

    CheckPaths();
    CloseStoreIni(std::move(pathCache_));

    if (unstore_) {
        if (allConsists) {
            const QString consists = u'\\' + kConsistsFolder;
            FindFiles(E, App().MstsRootFolder + consists, false, QString(),
                      QStringLiteral("*.CON"));
            FindFiles(E, App().StoreRootFolder + consists, false, QString(),
                      QStringLiteral("*.CON"));
        }
        if (allStock)
            CollectEngineWagonFolders(App().StoreRootFolder, G);
    }
    CollectConsists();
    CloseStoreIni(std::move(consistCache_));

    AddFixedObjects(F, G);
    if (!CheckStockNames(G, *stockCache_, F, H, pane_, suppressWarnings_, &stockDates_))
        errors_ = true;
    CloseStoreIni(std::move(stockCache_));
    return errors_;
}

// The folders the walk and the reading of consists will look in, read into the path layer's cache
// several at a time before the walk reaches them: each route in use (or with an activity in use)
// and its activities, services, traffic and paths, and the consists folder, of both roots; then
// the files of the activities in use, read on the worker threads.
void SurveyRun::ReadFoldersAhead() {
    QStringList routes;
    QSet<QString> seen;
    StringList activities;
    std::vector<const ItemSet*> activityItems;
    if (tree_) {
        for (ItemNode* node = tree_->First(); node; node = node->GetNext()) {
            const ItemSet& item = *node->Data();
            QString route;
            if ((item.PType & PT_ROUTE) && item.StoreInd == SI_IN_USE) {
                route = item.Folder;
            } else if (item.PType == PT_ACTIVITY && item.StoreInd == SI_IN_USE) {
                route = ParentPath(item.Folder);
                const QString activity =
                    EntryInside(QString(), item.Folder + u'\\' + item.FileName);
                const QString place = ActivityPlace(item);
                if (!activity.isEmpty() && !activityPlaces_.contains(place)) {
                    activityPlaces_.insert(place, std::size_t(activities.Count()));
                    activities.Add(activity);
                    activityItems.push_back(&item);
                }
            }
            // Only a folder that names itself plainly: anything else the walk reports.
            if (route.isEmpty() || EntryInside(QString(), route) != route || seen.contains(route))
                continue;
            seen.insert(route);
            routes.append(route);
        }
    }
    QStringList roots;
    for (const QString& root : {App().MstsRootFolder, App().StoreRootFolder})
        if (!root.isEmpty())
            roots.append(root);
    // The route folders first: the folders below them are then found from their listings.
    QStringList folders;
    for (const QString& root : roots)
        for (const QString& route : std::as_const(routes))
            folders.append(root + u'\\' + route);
    PrefetchFolders(folders, true);
    folders.clear();
    for (const QString& root : roots) {
        folders.append(root + u'\\' + kConsistsFolder);
        for (const QString& route : std::as_const(routes))
            for (const char* below : {"ACTIVITIES", "SERVICES", "TRAFFIC", "PATHS"})
                folders.append(root + u'\\' + route + u'\\' + QLatin1String(below));
    }
    PrefetchFolders(folders, true);

    // The activities' folders, where their saved states lie, and the traffic folders.
    QStringList traffic;
    for (const QString& route : std::as_const(routes))
        traffic.append(route + QStringLiteral("\\TRAFFIC"));
    dates_.ListFoldersOf(activities);
    dates_.ListFolders(traffic);
    static const IniFile noCache;
    activitiesParsed_.resize(activityItems.size());
    activitiesAhead_ =
        ReadFilesAhead(activities, noCache, true, &dates_.Dates(), QLatin1StringView("\\"),
                       [&](std::size_t i, MstsTextReader& reader) {
                           ParseActivityAhead(reader, *activityItems[i], activitiesParsed_[i]);
                       });
}

void SurveyRun::WalkTree() {
    if (!tree_)
        return;
    for (ItemNode* node = tree_->First(); node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if (item.PType == PT_GLOBAL_ROOT) {
            if (unstore_)
                CollectLists(item.Folder, PT_MASK_GLOBAL_MAINT_LISTS);
            else if (!onEasyPage_ && exploreConsists_)
                CollectLists(item.Folder, PT_EXPLORE_CONSIST);
        } else if ((item.PType & PT_ROUTE) && item.StoreInd == SI_IN_USE) {
            SurveyRoute(node);
        } else if (item.PType == PT_ACTIVITY && item.StoreInd == SI_IN_USE) {
            Activity(item);
        }
    }
}

void SurveyRun::SurveyRoute(ItemNode* node) {
    const ItemSet& item = *node->Data();
    // A route named by a scenario file may name any folder: one outside both is reported.
    const QString routeFile =
        CheckedEntry(QString(), item.Folder + u'\\' + item.FileName, &item, pane_);
    if (routeFile.isEmpty()) {
        errors_ = true;
        return;
    }
    if (ExistsInEitherRoot(routeFile, &dates_))
        A.Add(routeFile);
    if (unstore_ && !partialRoute_) {
        // The whole route comes back: every activity below it is surveyed when the walk reaches
        // it, and every service and path of the route is kept.
        BringIntoUse(node);
        AddFilesOfBothRoots(C, item.Folder + QStringLiteral("\\SERVICES"), QStringLiteral("*.SRV"));
        AddFilesOfBothRoots(D, item.Folder + QStringLiteral("\\PATHS"), QStringLiteral("*.PAT"));
    }
    if (unstore_) {
        CollectLists(item.Folder, PT_MASK_ROUTE_MAINT_LISTS);
    } else if (!onEasyPage_) {
        std::uint32_t mask = 0;
        if (exploreConsists_)
            mask |= PT_EXPLORE_CONSIST;
        if (explorePaths_)
            mask |= PT_EXPLORE_PATH;
        if (mask != 0)
            CollectLists(item.Folder, mask);
    }
}

void SurveyRun::SurveyExploreChoice() {
    const EasyServices& easy = TheEasyServices();
    if (!onEasyPage_ || easy.ExploreTabIndex() != 1)
        return;
    if (const ItemSet* chosen = easy.ChosenExploreActivity())
        Activity(*chosen);
    if (const ExploreActivitySaveInfo* session = easy.CurrentExploreRecord()) {
        if (!session->ConsistFileName.isEmpty() &&
            !AddEntryInside(E, QString(), session->ConsistFileName, nullptr, pane_))
            errors_ = true;
        if (!session->PlayerPathFileName.isEmpty() &&
            !AddEntryInside(D, QString(), session->PlayerPathFileName, nullptr, pane_))
            errors_ = true;
    }
}

void SurveyRun::CloseOverUsers() {
    StringList foundServices = StringList::SortedUnique();
    StringList foundActivities = StringList::SortedUnique();
    StringList handledServices = StringList::SortedUnique();
    StringList handledActivities = StringList::SortedUnique();
    for (int rounds = MaxUnstoreIterations(); rounds > 0; --rounds) {
        FindItemUsers(PT_PATH, D, &foundServices, &foundActivities, *scenarioCache_);
        foundServices.AddStrings(C);
        FindItemUsers(PT_SERVICE, foundServices, nullptr, &foundActivities, *scenarioCache_);

        StringList newActivities = StringList::SortedUnique();
        StringList newServices = StringList::SortedUnique();
        TakeNewEntries(foundActivities, B, handledActivities, newActivities);
        TakeNewEntries(foundServices, C, handledServices, newServices);
        if (newActivities.IsEmpty() && newServices.IsEmpty())
            return;
        C.AddStrings(newServices);
        for (int i = 0; i < newActivities.Count(); ++i)
            BringActivityIntoUse(newActivities[i]);
        if (!SurveyServices(C, E, D, H, &dates_))
            errors_ = true;
    }
}

void SurveyRun::BringActivityIntoUse(const QString& entry) {
    if (!tree_)
        return;
    // The tree's folders may be spelt otherwise than the files found on disk (a saved scenario
    // keeps the spelling it was saved with), so they compare without regard to case.
    const QString folder = ParentPath(entry);
    const QString file = LastPathComponent(entry);
    for (ItemNode* node = tree_->First(); node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if (!(item.PType & PT_ACTIVITY) || CompareText(item.Folder, folder) != 0 ||
            CompareText(item.FileName, file) != 0)
            continue;
        BringIntoUse(node);
        Activity(item);
        return;
    }
}

void SurveyRun::CheckPaths() {
    StringList driveableRoutes = StringList::SortedUnique();
    bool runChecks = false;
    // The paths whose cache sections are not current are read and scanned on the worker threads
    // first, by the listings of their folders.
    dates_.ListFoldersOf(D);
    std::vector<PathInfo> scanned(std::size_t(D.Count()));
    std::vector<AheadFile> ahead =
        ReadFilesAhead(D, pathCache_->Ini, false, &dates_.Dates(), QLatin1StringView("\\"),
                       [&](std::size_t i, MstsTextReader& reader) {
                           scanned[i].FileName = LastPathComponent(D[int(i)]);
                           ScanPathText(reader, scanned[i]);
                       });
    int i = 0;
    for (std::size_t read = 0; i < D.Count(); ++read) {
        const QString entry = D[i];
        PathInfo path;
        path.Folder = ParentPath(entry);
        path.FileName = LastPathComponent(entry);
        const ListedFileDates* listed = dates_.For(entry);
        AheadFile* file = read < ahead.size() ? &ahead[read] : nullptr;
        PathInfo* parsed = file ? &scanned[read] : nullptr;
        if (ReadPathFile(App().MstsRootFolder, path, *pathCache_, listed, file, parsed) ||
            ReadPathFile(App().StoreRootFolder, path, *pathCache_, listed, file, parsed)) {
            if (path.PType & PT_DRIVEABLE)
                driveableRoutes.Add(ParentPath(path.Folder));
            if (path.PType & PT_NAME_DIFFERS)
                runChecks = true;
            ++i;
            continue;
        }
        // A path that cannot be read is a warning: MSTS runs without it.
        runChecks = true;
        Report(RL_WARNING, nullptr,
               Caption(Msg::GENERAL_NOT_FOUND1) + Caption(Msg::GENERAL_NOT_FOUND3) + entry + u'\'',
               pane_);
        if (!suppressWarnings_)
            H.Add(entry);
        D.Delete(i);
    }

    if (runChecks) {
        StringList playerPaths = StringList::SortedUnique();
        if (!CheckPlayerPath(playerServices_, playerPaths, pane_, &dates_))
            errors_ = true;
        if (!CheckPathFileParameters(D, playerPaths, *pathCache_, pane_))
            errors_ = true;
    }

    for (int r = 0; r < A.Count(); ++r) {
        const QString folder = ParentPath(A[r]);
        if (driveableRoutes.IndexOf(folder) >= 0)
            continue;
        errors_ = true;
        RouteInfo route;
        route.Name = LastPathComponent(folder);
        if (!ReadRouteFile(App().StoreRootFolder, folder, LastPathComponent(A[r]), route))
            ReadRouteFile(App().MstsRootFolder, folder, LastPathComponent(A[r]), route);
        Report(RL_ERROR, nullptr,
               Caption(Msg::DO_NOT_ALLOWED_TAG1_2) + Caption(Msg::DO_NOT_ALLOWED_TAG1B) + u'\n' +
                   Caption(Msg::TYPE_ROUTE_LEG) + QStringLiteral(": '") + route.Name + u'\'' +
                   Caption(Msg::GENERAL_NOT_FOUND2) + folder + u'\'',
               pane_);
    }

    if (D.IsEmpty()) {
        errors_ = true;
        Report(RL_ERROR, nullptr,
               Caption(Msg::DO_NOT_ALLOWED_TAG1_1) + Caption(Msg::DO_NOT_ALLOWED_TAG1A), pane_);
    }
}

void SurveyRun::CollectConsists() {
    // Thousands of consists, each read for its vehicles: their files are read and parsed on the
    // worker threads first, by the listing of their folder, and the folders of their vehicles, in
    // which the lead-engine check and then the stock check look, are listed together.
    consistDates_.ListFoldersOf(E);
    std::vector<ConsistAhead> parsed;
    std::vector<AheadFile> ahead = ParseFilesAhead(
        E, consistCache_->Ini, true, &consistDates_.Dates(), kConsistsBase, parsed,
        [&](std::size_t i, MstsTextReader& reader, ConsistAhead& consist) {
            ParseConsistAhead(reader, E[int(i)], stockCache_->Ini, consist, true);
        },
        [](std::size_t, qint32, ConsistAhead&) { return false; });
    ListStockFolders(parsed);
    // The leading engines' files are asked for once each, by their folders' listings.
    AskLeadEngines(parsed, &stockDates_.Dates());
    // The parses made ahead read the stock cache as it was then: once the loop has written to it
    // (a leading engine's section renewed), the consists after are parsed here again.
    const bool stockModified = stockCache_->Modified;
    stockCache_->Modified = false;
    QSet<QString> inside; // the vehicles listed in G, as the consists name them
    ItemSet item;
    item.Folder = kConsistsFolder;
    for (int i = 0; i < E.Count(); ++i) {
        item.FileName = E[i];
        ConsistInfo consist;
        StringList vehicles = StringList::SortedUnique();
        const ListedFileDates* listed = consistDates_.For(item.FileName);
        const bool useAhead = !ahead.empty() && !stockCache_->Modified;
        AheadFile* file = useAhead ? &ahead[std::size_t(i)] : nullptr;
        ConsistAhead* consistAhead = useAhead ? &parsed[std::size_t(i)] : nullptr;
        const bool read =
            ReadConsistFile(App().StoreRootFolder, item, consist, *consistCache_, *stockCache_,
                            &vehicles, listed, file, consistAhead, &stockDates_) ||
            ReadConsistFile(App().MstsRootFolder, item, consist, *consistCache_, *stockCache_,
                            &vehicles, listed, file, consistAhead, &stockDates_);
        if (read) {
            // An engine or wagon folder that leads out of the trainset is reported with the
            // consist and never read or moved. One listed already for another consist is not
            // judged again.
            for (int v = 0; v < vehicles.Count(); ++v) {
                if (inside.contains(vehicles[v]))
                    continue;
                if (AddEntryInside(G, QString(), vehicles[v], &item, pane_))
                    inside.insert(vehicles[v]);
                else
                    errors_ = true;
            }
            CheckConsistNames(item, consist, pane_, H, suppressWarnings_);
            continue;
        }
        errors_ = true;
        Report(RL_ERROR, &item, Caption(Msg::GENERAL_NOT_FOUND1), pane_);
        H.Add(E[i]);
    }
    stockCache_->Modified = stockCache_->Modified || stockModified;
}

void SurveyRun::ListStockFolders(const std::vector<ConsistAhead>& parsed) {
    // With the stock the walk found: all the folders the stock check will look in, but for
    // consists not read ahead, listed in one go.
    StringList stock;
    stock.AddStrings(G);
    for (const ConsistAhead& consist : parsed)
        stock.AddStrings(consist.vehicles);
    stockDates_.ListFoldersOf(stock);
}

void SurveyRun::CollectLists(const QString& folder, std::uint32_t mask) {
    if (CollectListDependencies(folder, mask, E, H, *pathCache_, *consistCache_, *stockCache_, D,
                                G))
        errors_ = true;
}

void SurveyRun::Activity(const ItemSet& item) {
    AheadFile* ahead = nullptr;
    ActivityAhead* parsed = nullptr;
    if (!activitiesAhead_.empty()) {
        const auto place = activityPlaces_.constFind(ActivityPlace(item));
        if (place != activityPlaces_.cend()) {
            ahead = &activitiesAhead_[*place];
            parsed = &activitiesParsed_[*place];
        }
    }
    if (!SurveyActivity(item, *scenarioCache_, C, &playerServices_, D, B, G, &dates_, ahead,
                        parsed))
        errors_ = true;
    // Read once: an activity surveyed again is read from its file again.
    if (ahead) {
        *ahead = AheadFile();
        *parsed = ActivityAhead();
    }
}

void SurveyRun::BringIntoUse(ItemNode* node) {
    tree_->SetSelected(node);
    TheEasyServices().MarkSelectedNode(SI_IN_USE, false);
}

} // namespace

bool Survey(bool unstore, bool partialRoute, bool defaultRoutes, WorkLists& lists, bool allStock,
            bool allConsists) {
    const GatheringLists gathering(lists);
    // The survey changes nothing on the disk but through the path layer (its caches): the
    // reports of changes are taken now and then rather than at each of its tens of thousands of
    // lookups.
    const ReportsTakenOnce reports;
    SurveyRun run(unstore, partialRoute, lists);
    return run.Run(defaultRoutes, allStock, allConsists);
}

} // namespace qv
