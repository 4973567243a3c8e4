// Questions about folders that the settings and the store set-up ask of Windows-form paths.
#pragma once

#include <QString>

namespace qv {

// True when the folder (Windows form) holds no file and no sub-folder, and also when there is
// nothing at that path. A folder that exists but cannot be read is not taken as empty.
bool IsFolderEmpty(const QString& folder);

} // namespace qv
