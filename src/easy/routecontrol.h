// The two checks made before Route Control is started from the command line: that its program is
// known, and that the route it keeps in its own route folder has nothing in the store, since
// Route Control swaps that folder's files in and out behind this program's back.
#pragma once

#include "core/regsettings.h"

#include <QString>

namespace qv {

// Where Route Control's launch settings ("RC EXE Path", "RC EXE Params") live.
inline const QString kRouteControlKey = kProductKey + QStringLiteral("\\Route Control");

// True when "RC EXE Path" is set, if need be after the user has been asked and has set it in the
// launch-settings dialog; otherwise a stop box and false.
bool CheckRouteControlPath();

// True when Route Control may run: its route folder is not in the MSTS folder, or the store's
// copy of it holds no file. Otherwise the route's name is read from its route file (MSTS folder
// first, then the store): with a name, a stop box naming the route and false; without one, a
// warning that the route cannot be told, and true.
bool CheckRouteControlRoute();

} // namespace qv
