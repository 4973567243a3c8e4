// The picture the Easy page shows for a route: the loading screen its route file names, found in
// the route's folder in the MSTS folder or else in the store.
#pragma once

#include <QString>

namespace qv {

class ReportPane;
struct ItemSet;

// The full path of the route's loading screen `picture` (as its route file names it), from the
// MSTS folder, else the store; empty when neither holds it. A name that leads out of the route's
// folder is refused and reported in the pane with the route file, so that the page shows no
// picture and says why.
QString RoutePictureFile(const ItemSet& route, const QString& picture, ReportPane* pane);

} // namespace qv
