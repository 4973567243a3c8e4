#include "core/version.h"

#include "core/appstate.h"

namespace qv {

void LoadProgramVersion() {
    App().ProgramTitle = QStringLiteral("Quarvel");
    App().ProgramVersion = QStringLiteral(QUARVEL_PRODUCT_VERSION);
    App().ProgramFileVersion = QStringLiteral(QUARVEL_FILE_VERSION);
}

} // namespace qv
