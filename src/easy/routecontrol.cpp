#include "easy/routecontrol.h"

#include "catalogue/pathrecords.h"
#include "catalogue/routereader.h"
#include "core/appstate.h"
#include "core/filefind.h"
#include "core/generaldefs.h"
#include "core/stringlist.h"
#include "platform/ui.h"
#include "platform/winfs.h"

namespace qv {

namespace {

const QString kPathValue = QStringLiteral("RC EXE Path");
const QString kParamsValue = QStringLiteral("RC EXE Params");
// The one route folder Route Control swaps routes in and out of.
const QString kRouteControlFolder = QStringLiteral("Routes\\RtCntrl-route");

int Box(const QString& text, int style) {
    return TheUi().MessageBox(text, App().ProgramTitle, style);
}

// The first route file in Route Control's folder of `root`; empty when there is none.
QString FirstRouteFile(const QString& root) {
    StringList files;
    FindFiles(files, root + QLatin1Char('\\') + kRouteControlFolder, false, QString(),
              QStringLiteral("*.trk"));
    return files.IsEmpty() ? QString() : files[0];
}

} // namespace

bool CheckRouteControlPath() {
    if (!RegReadString(kRouteControlKey, kPathValue).isEmpty())
        return true;
    if (Box(Caption(Msg::RC_EXE_PATH_NOT_SET_LEG1) + Caption(Msg::RC_EXE_PATH_NOT_SET_LEG2),
            MB_YESNO | MB_ICONQUESTION) == ID_YES)
        TheUi().EditLaunchSettings(Caption(Msg::RC_PARAMS_PROGNAME), kParamsValue, kPathValue,
                                   kRouteControlKey, true, Caption(Msg::RC_PARAMS_DESC_TEXT));
    if (!RegReadString(kRouteControlKey, kPathValue).isEmpty())
        return true;
    Box(Caption(Msg::RC_EXE_PATH_NOT_SET_LEG1), MB_ICONSTOP);
    return false;
}

bool CheckRouteControlRoute() {
    const AppState& app = App();
    if (!FolderExists(app.MstsRootFolder + QLatin1Char('\\') + kRouteControlFolder) ||
        CountFiles(app.StoreRootFolder + QLatin1Char('\\') + kRouteControlFolder, QString(), -1) ==
            0)
        return true;
    // The store holds files of whichever route Route Control last had in its folder.
    QString root = app.MstsRootFolder;
    QString file = FirstRouteFile(root);
    if (file.isEmpty()) {
        root = app.StoreRootFolder;
        file = FirstRouteFile(root);
    }
    RouteInfo route;
    const bool found = !file.isEmpty() && ReadRouteFile(root, kRouteControlFolder, file, route);
    if (!found) {
        Box(Caption(Msg::ROUTE_CONTROL_WARNING1) + Caption(Msg::ROUTE_CONTROL_WARNING11) +
                Caption(Msg::ROUTE_CONTROL_WARNING12) + Caption(Msg::ROUTE_CONTROL_WARNING13),
            MB_ICONEXCLAMATION);
        return true;
    }
    Box(Caption(Msg::ROUTE_CONTROL_ERROR2) + route.Name + Caption(Msg::ROUTE_CONTROL_ERROR3),
        MB_ICONSTOP);
    return false;
}

} // namespace qv
