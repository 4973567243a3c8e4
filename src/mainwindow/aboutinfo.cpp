#include "mainwindow/aboutinfo.h"

#include "catalogue/pathrecords.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "engine/tsectionedit.h"
#include "engine/tsectionsettings.h"
#include "platform/winfs.h"

#include <QCoreApplication>

namespace qv {

AboutTexts AboutBoxTexts() {
    const AppState& app = App();
    AboutTexts texts;
    texts.ProductName = app.ProgramTitle;
    // The build stands on a second line.
    texts.Version = QCoreApplication::translate("qv::TAboutBoxDlg", "Version %1\n(Build %2)")
                        .arg(app.ProgramVersion, app.ProgramFileVersion);
    texts.Copyright = app.ProgramCopyright;
    texts.FixedOrAutomatic =
        Caption(RegReadString(kProductKey, QStringLiteral("Fixed MSTS Path")).isEmpty()
                    ? Msg::MSTS_FOLDER_AUTOMATIC_TAG
                    : Msg::MSTS_FOLDER_FIXED_TAG);
    texts.MstsFolder = app.MstsRootFolder;
    texts.StoreFolder = app.StoreRootFolder;
    RouteInfo record;
    record.TSectionFileName = app.MstsRootFolder + QStringLiteral("\\GLOBAL\\TSECTION.DAT");
    if (FileExists(record.TSectionFileName)) {
        ReadTsectionBuild(record);
        texts.TsectionBuild = TsectionBuildOrDate(record.TSectionBuild, record.TSectionFileName);
    }
    return texts;
}

} // namespace qv
