// Where the main window may open and how wide its tree pane may be: the stored place, size and
// tree width come from earlier runs, possibly on screens that are gone, so each is checked
// against what is available now before it is applied.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

namespace qv {

// The height of the strip at the top of the window that must stay on a screen so that the
// window can be grabbed and moved.
inline constexpr int kTitleBarHeight = 30;

// The stored place when the window's title bar would still show on one of the screens (at least
// a grip of 50 x 10 pixels); otherwise a place that puts the whole title bar on the first screen.
// No screens: the place as stored.
QPoint VisibleWindowPlace(const QRect& window, const QList<QRect>& screens);

// The tree width to apply: the stored one when above 0 and narrower than the window by at least
// `minimumPane` pixels (room for the information pane); otherwise -1, and nothing is applied.
int UsableTreeWidth(int stored, int windowWidth, int minimumPane);

// "All Locos Index" as a row of the locomotive box: 0 to 3, anything else 0.
int UsableAllLocosIndex(int stored);

} // namespace qv
