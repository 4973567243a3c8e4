// The temporary files a job needs for a moment (a converted picture): the host's temporary
// folder in Windows form, and new files in it under names no one else holds.
#pragma once

#include <QString>

namespace qv {

// The temporary folder in Windows form, ending in "\": $TMPDIR, else /tmp.
QString TempFolderPath();

// Creates a new empty file in a folder (Windows form), named with the first three characters of
// the prefix, four hexadecimal digits and ".tmp", under a name that no entry holds in any letter
// case; its Windows-form path goes to *path. False with an errno value when the folder cannot be
// found or no file can be made there.
bool CreateTempFile(const QString& folder, const QString& prefix, QString* path,
                    int* error = nullptr);

} // namespace qv
