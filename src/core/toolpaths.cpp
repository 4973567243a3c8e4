#include "core/toolpaths.h"

#include "core/appstate.h"
#include "core/easyservices.h"
#include "core/regsettings.h"
#include "platform/drivemap.h"
#include "platform/winfs.h"

#include <QCoreApplication>

namespace qv {

namespace {

struct OutsideTool {
    const char* subKey;
    const char* value;
    const char* program; // its name under App Paths
};

// In the order they are looked up.
const OutsideTool kTools[] = {
    {"ConBuilder", "CB EXE Path", "ConBuilder.exe"},
    {"Route_Riter", "RR EXE Path", "Route_Riter.exe"},
    {"Editor", "Editor EXE Path", "WordPad.exe"},
    {"RailDriver", "RD EXE Path", "RDMgr.exe"},
};

const QString kAppPathsKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");
const QString kShapeViewerKey =
    QStringLiteral("Software\\VB and VBA Program Settings\\Wendrick\\MSTS Shape Viewer");

void FillFromAppPaths(const OutsideTool& tool) {
    const QString subKey = kProductKey + QLatin1Char('\\') + QLatin1String(tool.subKey);
    if (!RegReadString(subKey, QLatin1String(tool.value)).isEmpty())
        return; // the user's own setting always wins
    const QString appKey = kAppPathsKey + QLatin1String(tool.program);
    if (!RegKeyExists(HKEY_LOCAL_MACHINE, appKey))
        return;
    RegWriteString(subKey, QLatin1String(tool.value),
                   ExpandEnvironmentVars(RegReadString(appKey, QString())));
}

// The program named by the shape file type's View command, without the quoted placeholder.
QString ShapeViewerFromFileType() {
    const QString className = RegReadStringAt(HKEY_CLASSES_ROOT, QStringLiteral(".s"), QString());
    if (className.isEmpty())
        return QString();
    QString command = ExpandEnvironmentVars(RegReadStringAt(
        HKEY_CLASSES_ROOT, className + QStringLiteral("\\shell\\View\\command"), QString()));
    const qsizetype placeholder = command.indexOf(QStringLiteral(" \"%1\""));
    if (placeholder >= 0)
        command = StripQuotes(command.left(placeholder));
    return command;
}

} // namespace

QString ProgramFilePath() {
    if (!App().ProgramFilePath.isEmpty())
        return App().ProgramFilePath;
    return ToWindowsForm(QCoreApplication::applicationFilePath());
}

void DiscoverOutsideTools() {
    for (const OutsideTool& tool : kTools)
        FillFromAppPaths(tool);

    AppState& app = App();
    const QString sviewKey = kProductKey + QStringLiteral("\\SVIEW");
    const QString sviewValue = QStringLiteral("SVIEW EXE Path");
    app.ScreenshotFolder.clear();
    app.ShapeViewerPath = RegReadString(sviewKey, sviewValue);
    if (app.ShapeViewerPath.isEmpty()) {
        const QString found = ShapeViewerFromFileType();
        if (!found.isEmpty()) {
            RegWriteString(sviewKey, sviewValue, found);
            // Found now, so usable now, not only from the next start on.
            app.ShapeViewerPath = found;
        }
    }

    app.ScreenshotFolder = RegReadString(kProductKey, QStringLiteral("screenshotLocation"));
    if (app.ScreenshotFolder.isEmpty())
        app.ScreenshotFolder = RegReadStringAt(HKEY_CURRENT_USER, kShapeViewerKey,
                                               QStringLiteral("screenshotLocation"));

    // Our own viewer stands in for the outside 3-D control; a NOVIEWER.TXT beside the program
    // switches it off.
    const QString program = ProgramFilePath();
    const QString folder = program.left(program.lastIndexOf(QLatin1Char('\\')));
    app.NoViewerFile = FileExists(folder + QStringLiteral("\\NOVIEWER.TXT"));
    app.ViewerControlRegistered = !app.NoViewerFile;
}

} // namespace qv
