// Showing a stock item or a consist in 3-D: in a viewer window of our own, or through the
// outside shape viewer SVIEW when the user chose it; the vehicles laid out for the window; and
// the viewer's menu commands of the main window.
#pragma once

#include "viewer/viewerheader.h"

#include <functional>
#include <memory>

namespace qv {

struct ItemSet;

// Opens a viewer window on a header; installed by the program's windows (and by tests).
using ViewerWindowOpener = std::function<void(std::unique_ptr<SVIEWHeaderInfo>)>;
void SetViewerWindowOpener(ViewerWindowOpener opener);

// The header of a consist or stock item with every vehicle's shape, freight shape, length and
// Flip read from its own engine or wagon file (store first, then the MSTS folder; each file once
// however often the consist names it); the shapes are those of the MSTS folder, where they stay
// when the stock is stored. None when the item's file or every vehicle is missing, which is then
// reported in the information pane.
std::unique_ptr<SVIEWHeaderInfo> BuildViewerHeader(const ItemSet& item);

// The shape file SVIEW is given for a stock item: in the MSTS folder, whichever root holds its
// record; empty when the record or its shape is not found.
QString SviewShapePath(const ItemSet& item);

// Shows the item in our viewer, or in SVIEW (stock items only) when "Use SVIEW" is set or our
// viewer is unavailable and SVIEW is known; otherwise nothing happens.
void ShowShape(const ItemSet& item);
// Whether ShowShape shows the item in either viewer, so that the commands are offered only then
// (not while our viewer is switched off and SVIEW cannot show the item).
bool ShapeViewerOffered(const ItemSet& item);

// "Use SVIEW" from the menu item's check mark.
void UseSviewCommand(bool checked);

// Asks for the folder viewer screenshots go to, refuses one inside the store, offers to create
// a missing one, and uses it from now on.
void ViewerScreenshotFolderCommand();

} // namespace qv
