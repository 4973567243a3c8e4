#include "core/toolpaths.h"

#include "core/appstate.h"
#include "core/easyservices.h"
#include "core/regsettings.h"
#include "core/windowsenvironment.h"
#include "platform/drivemap.h"
#include "platform/ui.h"
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

// A registered text with its variables replaced; false when it would be longer than a Windows
// program could be given (the registration is then of no use, and nothing is stored from it).
bool Expanded(const QString& registered, QString* expanded) {
    bool complete = true;
    *expanded = ExpandEnvironmentVars(registered, &complete);
    return complete;
}

// False when the registration is of no use.
bool FillFromAppPaths(const OutsideTool& tool) {
    const QString subKey = kProductKey + QLatin1Char('\\') + QLatin1String(tool.subKey);
    if (!RegReadString(subKey, QLatin1String(tool.value)).isEmpty())
        return true; // the user's own setting always wins
    const QString appKey = kAppPathsKey + QLatin1String(tool.program);
    if (!RegKeyExists(HKEY_LOCAL_MACHINE, appKey))
        return true;
    QString path;
    if (!Expanded(RegReadString(appKey, QString()), &path))
        return false;
    // The path may be registered in quotes, as a path with blanks is written on a command line.
    RegWriteString(subKey, QLatin1String(tool.value), StripQuotes(path));
    return true;
}

// The program named by the shape file type's View command, without the quoted placeholder;
// false when the registration is of no use.
bool ShapeViewerFromFileType(QString* command) {
    command->clear();
    const QString className = RegReadStringAt(HKEY_CLASSES_ROOT, QStringLiteral(".s"), QString());
    if (className.isEmpty())
        return true;
    if (!Expanded(RegReadStringAt(HKEY_CLASSES_ROOT,
                                  className + QStringLiteral("\\shell\\View\\command"), QString()),
                  command)) {
        command->clear();
        return false;
    }
    const qsizetype placeholder = command->indexOf(QStringLiteral(" \"%1\""));
    if (placeholder >= 0)
        *command = StripQuotes(command->left(placeholder));
    return true;
}

// Tools whose registration could not be used are named to the user, who can set their paths in
// the launch settings.
void TellToolsNotFound(const QStringList& programs) {
    if (programs.isEmpty())
        return;
    TheUi().MessageBox(
        QCoreApplication::translate("OutsideTools",
                                    "These programs could not be found: %1.\r\rThe paths "
                                    "registered for them grow longer than %2 characters when "
                                    "their variables are replaced. Set their paths in the "
                                    "launch settings.")
            .arg(programs.join(QStringLiteral(", ")))
            .arg(kMaxExpandedLength),
        App().ProgramTitle, MB_ICONEXCLAMATION);
}

} // namespace

QString ProgramFilePath() {
    if (!App().ProgramFilePath.isEmpty())
        return App().ProgramFilePath;
    return ToWindowsForm(QCoreApplication::applicationFilePath());
}

void DiscoverOutsideTools() {
    QStringList notFound;
    for (const OutsideTool& tool : kTools) {
        if (!FillFromAppPaths(tool))
            notFound << QLatin1String(tool.program);
    }

    AppState& app = App();
    const QString sviewKey = kProductKey + QStringLiteral("\\SVIEW");
    const QString sviewValue = QStringLiteral("SVIEW EXE Path");
    app.ScreenshotFolder.clear();
    app.ShapeViewerPath = RegReadString(sviewKey, sviewValue);
    if (app.ShapeViewerPath.isEmpty()) {
        QString found;
        if (!ShapeViewerFromFileType(&found))
            notFound << QStringLiteral("SVIEW");
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
    TellToolsNotFound(notFound);
}

} // namespace qv
