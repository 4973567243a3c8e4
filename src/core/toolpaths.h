// Where the outside programs are (the consist and route editors, a text editor, the RailDriver
// manager and the shape viewer) and whether the 3-D viewer can be used. A path the user set in
// the launch settings is kept; an empty one is filled from where Windows programs register
// themselves, so that a fresh installation works without setup. Runs on every start.
#pragma once

#include <QString>

namespace qv {

// The program's own file in Windows form: App().ProgramFilePath when set, else the running
// executable.
QString ProgramFilePath();

// Fills the empty tool paths under the product key from the App Paths registrations and the
// shape file type's View command, and sets App().ShapeViewerPath, ScreenshotFolder, NoViewerFile
// and ViewerControlRegistered.
void DiscoverOutsideTools();

} // namespace qv
