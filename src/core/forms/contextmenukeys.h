// Shift+F10 and the Menu key open the context menu of the control that has the focus, in every
// window of the program (the main window, the list editors, the dialogs), as a click of the
// right mouse button does.
#pragma once

namespace qv {

// Makes the keys work program-wide; later calls do nothing.
void InstallContextMenuKeys();

} // namespace qv
