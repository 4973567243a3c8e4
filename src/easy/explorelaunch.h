// Exploring a route without a generated activity: MSTS lets a route be explored only when one of
// its activities is there, so exactly one real activity of the route is unstored with what it
// needs. The route's recorded Explore-mode activity is taken while no activity of the route has
// changed since it was recorded; otherwise the activity that brings the fewest other consists
// (at least one) is chosen and recorded. When its launch fails, every activity is tried in turn.
#pragma once

#include <QString>

class QObject;

namespace qv {

class ItemNode;

// The activity recorded for the route in its ROUTE.QVC while still current, else the activity
// with the smallest positive count of consists besides `consistFile` (recorded anew); null when
// there is none. Reads and may write the route's record; marks nothing.
ItemNode* ChooseExploreActivity(ItemNode* routeNode, const QString& consistFile);

// Sets the session's consist and player path, chooses the activity, marks it In Use with every
// other route stored, ticks "Launch MSTS" (unless "Easy Suppress MSTS Launch") and runs the store
// job and launch; on failure each activity of the route is tried in tree order. True when a run
// succeeded; false when none did or the route has no activity.
bool ExploreLaunch(QObject* sender, ItemNode* routeNode, const QString& consistFile,
                   const QString& playerPathFile);

} // namespace qv
