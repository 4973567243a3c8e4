// Questions about folders that the settings and the store set-up ask of Windows-form paths.
#pragma once

#include <QString>

namespace qv {

// True when the folder (Windows form) holds no file and no sub-folder, and also when there is
// nothing at that path. A folder that exists but cannot be read is not taken as empty.
bool IsFolderEmpty(const QString& folder);

// True when `path` lies inside `folder`, judged by whole path components without regard to
// case, so that C:\MSTS2 is not inside C:\MSTS; with `orSame` the folder itself counts too. On
// two drive letters, which may lead to one disk (C: and Z: in a Wine prefix), the host folders
// are compared instead.
bool IsInsideFolder(const QString& path, const QString& folder, bool orSame);

} // namespace qv
