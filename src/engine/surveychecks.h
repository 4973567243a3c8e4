// The checks with which the survey of a store or unstore job examines what it finds: one activity,
// the services collected so far, the player paths, the name parameters of paths, the user's named
// lists of a tree item, and the whole stock of a root. Each adds what it finds to the job's work
// lists (paths relative to a root folder) and reports problems into the information pane: level 1
// warnings (dropped under "Suppress Warnings"), level 2 errors. The Easy page counts the other
// consists of an activity with the same checks.
#pragma once

#include <QString>
#include <cstdint>

namespace qv {

class ListedOnDemand;
struct ActivityAhead;
struct AheadFile;
class ReportPane;
class StringList;
struct ItemSet;
struct StoreIniHolder;

// The checks below take `dates` (or none): the listings of the folders they look in (relative to
// the roots), made as they are asked for, through which a root that lacks a file is not asked for
// it again.

// Whether the file (relative to a root) lies in the store or in the MSTS folder.
bool ExistsInEitherRoot(const QString& relative, ListedOnDemand* dates = nullptr);

// Reads the activity (MSTS folder first, else the store) through the open scenario cache and adds
// its player service and the services it names to C (and the player service to playerServices,
// when given), its player path to D, the activity itself to B and its loose stock to G. A service
// named but found in neither root, a traffic discrepancy, an out-of-date .ASV file and an invalid
// PathID are warnings. False, with an error and nothing added, when the activity cannot be read;
// false as well when a name it gives leads out of its folder (that name is reported with the
// activity and not listed). `ahead` and `parsed` (when given) are the activity's file as read
// and parsed ahead.
bool SurveyActivity(const ItemSet& activity, StoreIniHolder& scenarioCache, StringList& C,
                    StringList* playerServices, StringList& D, StringList& B, StringList& G,
                    ListedOnDemand* dates = nullptr, const AheadFile* ahead = nullptr,
                    ActivityAhead* parsed = nullptr);

// Reads every service of C (store first): adds its consist to E and its path to D. A service read
// in neither root is an error: it goes to H and leaves C. A consist or path name that leads out of
// its folder is reported with the service and not listed. False when either happened.
bool SurveyServices(StringList& C, StringList& E, StringList& D, StringList& H,
                    ListedOnDemand* dates = nullptr);

// Reports as an error each route folder that shares its root (MSTS folder or store) with another
// whose name differs only in letter case: the job takes such folders for one and would leave
// the files of all but one behind. Each twin goes to H; false when there was one.
bool CheckTwinRouteFolders(StringList& H, ReportPane* pane);

// Adds the path of each readable player service to playerPaths when the path exists in either
// root; a missing one is an error. False when a player path was missing.
bool CheckPlayerPath(const StringList& playerServices, StringList& playerPaths, ReportPane* pane,
                     ListedOnDemand* dates = nullptr);

// Reports each path of D whose cached name parameter differs from its file name: an error for a
// player path (the result is then false), a warning for any other path.
bool CheckPathFileParameters(const StringList& D, const StringList& playerPaths,
                             StoreIniHolder& pathCache, ReportPane* pane);

// Takes the item's active named lists of each kind of the mask (in the order Explore Mode
// Consists, Maintenance Mode Consists, Maintenance Mode Stock, Explore Mode Paths, Maintenance
// Mode Paths), refreshes their members against the caches and adds the members found to E, G or
// D. Members found in neither root are reported and go to H; a member that leads out of its
// folder is reported with its list and not listed. True when any member was missing or bad.
bool CollectListDependencies(const QString& folder, std::uint32_t kindMask, StringList& E,
                             StringList& H, StoreIniHolder& pathCache, StoreIniHolder& consistCache,
                             StoreIniHolder& stockCache, StringList& D, StringList& G);

// Adds every engine and then every wagon of each stock folder of <root>\TRAINS\TRAINSET to G as
// <folder>\<file>.
void CollectEngineWagonFolders(const QString& root, StringList& G);

// The number of consists that the activity needs besides the given one; -1 when the activity or
// one of its services cannot be read.
int CountOtherActivityConsists(const ItemSet& activity, const QString& consistFile);

} // namespace qv
