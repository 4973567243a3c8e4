// Where the outside programs live and with which parameters they start (MSTS, Route Control, the
// editor, ConBuilder, Route_Riter, the RailDriver manager and the shape viewer), the commands
// that edit those settings and start Route_Riter and ConBuilder, the manual and the uninstall.
#pragma once

#include "core/generaldefs.h"

#include <QString>
#include <functional>

namespace qv {

enum class OutsideTool { Msts, RouteControl, Editor, ConBuilder, RouteRiter, RailDriver, Sview };

// One program's row of the launch settings.
struct LaunchSettingsRow {
    QString Key;         // under HKEY_LOCAL_MACHINE
    QString PathValue;   // "MSTS EXE Path"
    QString ParamsValue; // "MSTS EXE Params"
    bool ShowParams = false;
    Msg ProgramName;
    Msg Description;
};
const LaunchSettingsRow& LaunchSettingsFor(OutsideTool tool);

// The launch-settings dialog for the tool, with the main window's follow-ups: MSTS (the caller
// enables "Launch MSTS" exactly when its path is set) and the RailDriver manager ("Start RD"
// becomes "false" when its path is empty; the controls are refreshed). The dialog's result.
int EditToolLaunchSettings(OutsideTool tool);

// The dialog's OK: a typed path that names no existing file is refused with INVALID_FILENAME
// (false, nothing written); otherwise (an empty path too) the path and, when the row has a
// parameters value, the parameters are written.
bool AcceptLaunchSettings(const QString& key, const QString& pathValue, const QString& paramsValue,
                          const QString& path, const QString& params);

// The folder the dialog's file browser opens in: the stored path, else MSTS's own "EXE Path".
QString LaunchBrowseFolder(const QString& key, const QString& pathValue);

// Start Route_Riter or ConBuilder: a tool whose window is already open is only reported
// ("<name> is already running"); otherwise it starts and the program waits for it. Either way
// the tree counts as not synchronised afterwards and the lists are refreshed at the next control
// refresh.
void StartOutsideTool(OutsideTool tool);

// The manual beside the program file: "<program> <ABBR>.PDF" for a language other than English
// when that file exists, else "<program>.PDF" (`exists` tells whether a Windows-form file is
// there). `abbreviation` is the language's three-letter abbreviation.
QString ManualFileName(const QString& programFile, const QString& abbreviation,
                       const std::function<bool(const QString&)>& exists);

// The reader program registered for ".pdf" (the open command's program before " \"%1\""),
// empty when none is registered.
QString RegisteredPdfReader();

// Help > manual: opens the manual with the registered reader, else with the desktop's opener;
// says so when there is no manual file, and names the file when no program to open PDF files
// was found (the opener cannot be started, or it ends at once with a failure).
void QuarvelManualClick();

// Removes the product key with everything in it, and its parent key when that is left empty.
void DeleteProductRegistryKeys();

// The uninstall command: refused while busy or while anything is stored; after the user agreed
// and everything was unstored the settings are removed and the user is told that the program
// itself goes with the system's package tools; the program then ends. The settings stay when the
// user declines. True when the settings were removed.
bool UninstallQuarvel();

} // namespace qv
