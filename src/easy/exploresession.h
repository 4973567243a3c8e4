// The Explore session panel's work that needs no widget: the check of the activity a session
// takes its traffic and loose consists from, the list of a route's saved sessions, newest first,
// and the restore of one of them into the program-wide Explore record.
#pragma once

#include "core/itemset.h"

#include <QDateTime>
#include <QStringList>
#include <vector>

namespace qv {

class ItemNode;
struct ActivityInfo;
struct ServiceInfo;
struct StoreIniHolder;

// Reads the whole activity (store first, then the MSTS folder) into `activity` and its player
// service into `service`; true when both were read.
bool ReadActivityWithPlayerService(const ItemSet& item, StoreIniHolder& scenarioCache,
                                   ActivityInfo& activity, ServiceInfo& service);

// Reads the activity into ExploreTemplateActivity (store first, then the MSTS folder) with its
// player service; true, and the activity becomes the session's source, when both were read and
// the service's consist has a locomotive and a name in the consist cache.
bool CheckSessionActivity(const ItemSet& activity);

// One row of the saved-session list: the session's save number and the date of its MSTS save.
struct SessionRow {
    int SaveNumber = -1;
    QDateTime SaveDate;
};
struct SavedSessionRows {
    QStringList Rows;
    std::vector<SessionRow> RowMap;
};
// The route's saved sessions (those with an MSTS save and a record), newest save first, each as
// "dd mmm yyyy hh:nn   (<name>)". Records without a save go from "SAVES.QVC" once the saves
// were listed.
SavedSessionRows FillSavedExploreSessions(const QString& routeFolderName);

// Reads the saved session into CurrentExploreRecord and checks that it can run again: its source
// activity (found from the route node on, without regard to case) passes CheckSessionActivity,
// its player path is driveable and its consist has a leading locomotive with a cab. True when it
// can; the record then holds the session and the source activity is set.
bool RestoreExploreSession(const ItemNode* routeNode, const SessionRow& row);

} // namespace qv
