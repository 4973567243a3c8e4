// The small operations around Explore sessions: the start-up check for activities saved in MSTS
// while no scenario was current, the removal of a route's temporary Explore files, and the check
// the wait for MSTS makes while an Explore session runs, which patches the generated activity's
// Mode line once MSTS has taken the session up.
#pragma once

#include "platform/xwindows.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace qv {

struct ItemSet;

// Run once on the main timer's first tick. When no scenario was current at the last close and the
// warning is not suppressed, looks for MSTS save files newer than that close (the program's own
// Explore saves aside); the first one found asks whether to save the current scenario. On Yes an
// empty tree is loaded first, then `saveScenario` (File > Save) runs.
void SavedActivityCheck(const std::function<void()>& saveScenario = {});

// Deletes the temporary Explore files of a route (`routeFolder` relative to the roots, such as
// Routes\X) from the MSTS folder and the store: its QV_~TEMP activities and services and
// EXPLORER.ACT. Given the route's list of activity file names, first takes those files out of it,
// and deletes nothing when the list held none of them. Files that cannot be deleted stay.
void CleanExploreTemp(const QString& routeFolder, QStringList* names);

// The check made on each pass of the wait for MSTS once its window is found. `mode` 0: nothing to
// watch, 0. Mode 1 (an Explore launch): 1 while the session's EXPLORER.ACT still exists; once MSTS
// has removed it, the generated activity's Mode line is patched and the source activity stored,
// and the result is 0. Any other mode is reported as unexpected; 0. The process and window are
// the wait's own and not needed here.
int CheckExplorerActivity(int mode, qint64 processId, WindowHandle window);

// Rewrites, in place, the Mode line of <MstsRootFolder>\<activity.Folder>\QV_~TEMP<number>.act at
// byte `position` with `line` in UTF-16 (no line end), then moves the source activity
// <activity.Folder>\<activity.FileName> from the MSTS folder into the store when it is still
// there. False when the file cannot be opened, the line would not lie inside it, the write fails
// or the move fails; shows nothing itself (the move reports its own failure).
bool PatchSavedExploreMode(const ItemSet& activity, const QString& numberText,
                           std::int32_t position, const QString& line);

} // namespace qv
