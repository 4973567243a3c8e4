#include "mainwindow/windowplace.h"

#include <algorithm>

namespace qv {

QPoint VisibleWindowPlace(const QRect& window, const QList<QRect>& screens) {
    if (screens.isEmpty())
        return window.topLeft();
    const QRect titleBar(window.left(), window.top(), window.width(), kTitleBarHeight);
    for (const QRect& screen : screens) {
        const QRect shown = titleBar.intersected(screen);
        if (shown.width() >= 50 && shown.height() >= 10)
            return window.topLeft();
    }
    const QRect& screen = screens.first();
    const int left =
        std::max(screen.left(), std::min(window.left(), screen.right() + 1 - window.width()));
    const int top =
        std::max(screen.top(), std::min(window.top(), screen.bottom() + 1 - window.height()));
    return QPoint(left, top);
}

int UsableTreeWidth(int stored, int windowWidth, int minimumPane) {
    return stored > 0 && stored <= windowWidth - minimumPane ? stored : -1;
}

int UsableAllLocosIndex(int stored) {
    return stored >= 0 && stored <= 3 ? stored : 0;
}

} // namespace qv
