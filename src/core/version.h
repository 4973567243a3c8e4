// The program's own version information (compiled in) and the reader of a file's version
// information, which language modules carry too.
#pragma once

#include <QString>

namespace qv {

// Fills ProgramTitle, ProgramVersion, ProgramFileVersion and ProgramCopyright of AppState.
void LoadProgramVersion();

} // namespace qv
