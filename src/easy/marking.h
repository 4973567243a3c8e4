// Marking the main tree of stored objects: the one way commands put the selected route or
// activity In Use or In Store (with the Maintenance page's "Partial Route" rule), and the MSTS
// default routes, checked for the Maintenance page's option and marked In Use for an unstore.
#pragma once

namespace qv {

class ItemTree;

// Marks the selected node of the main tree: a route with everything below it, an activity (an
// activity put In Use also brings a stored route back into use). `state` is 1 In Use or 2 In
// Store; with `routesHeading` every route is first put In Store. Marking an activity while the
// Maintenance page is shown switches "Partial Route" on. Nothing happens without a selection.
void MarkSelectedNode(int state, bool routesHeading);

// Selects and marks In Use each MSTS default route the tree holds; each missing one is reported
// as an error in the information pane. True when all six are there.
bool MarkDefaultRoutes(ItemTree& tree);

// Names each MSTS default route the tree lacks in its own exclamation box; marks nothing. True
// when all six are there.
bool CheckDefaultRoutes(ItemTree& tree);

} // namespace qv
