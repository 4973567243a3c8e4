#include "easy/launchsettings.h"

#include "core/appstate.h"
#include "core/easyservices.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/startupconfig.h"
#include "core/storeini.h"
#include "core/toolpaths.h"
#include "easy/launchprogram.h"
#include "engine/unstoreall.h"
#include "platform/localetable.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/terminate.h"
#include "platform/ui.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include <QCoreApplication>
#include <QTimer>

namespace qv {

namespace {

int Box(const QString& text, int style) {
    return TheUi().MessageBox(text, App().ProgramTitle, style);
}

QString Sub(const char* name) {
    return kProductKey + QLatin1Char('\\') + QLatin1String(name);
}

// The manual's opener is watched for ten seconds, in passes of 100 ms.
constexpr int kOpenerWatchPasses = 100;
constexpr int kOpenerWatchPassMs = 100;

// The manual is named as the user finds it on disk.
void ReportManualNotShown(const QString& manual) {
    Box(QCoreApplication::translate("Manual", "The manual '%1' cannot be shown:\r"
                                              "no program to open PDF files was found.")
            .arg(HostPathOf(manual)),
        MB_ICONEXCLAMATION);
}

// The program that opens the manual ends at once with a failure when it finds nothing to show PDF
// files with (the desktop's opener does so); one that shows the file may also stay until the file
// is closed. So it is watched for a while in the background, never waited for.
void WatchManualOpener(qint64 processId, const QString& manual, int passesLeft) {
    int exitCode = 0;
    switch (WaitForProcess(processId, 0, nullptr, &exitCode)) {
    case ProcessWait::Ended:
        if (exitCode != 0)
            ReportManualNotShown(manual);
        return;
    case ProcessWait::Failed:
        return;
    case ProcessWait::TimedOut:
        break;
    }
    if (passesLeft <= 0) {
        DetachProcess(processId);
        return;
    }
    QTimer::singleShot(kOpenerWatchPassMs, [processId, manual, passesLeft] {
        WatchManualOpener(processId, manual, passesLeft - 1);
    });
}

} // namespace

const LaunchSettingsRow& LaunchSettingsFor(OutsideTool tool) {
    static const LaunchSettingsRow rows[] = {
        {kProductKey, QStringLiteral("MSTS EXE Path"), QStringLiteral("MSTS EXE Params"), true,
         Msg::MSTS_PARAMS_PROGNAME, Msg::MSTS_PARAMS_DESC_TEXT},
        {Sub("Route Control"), QStringLiteral("RC EXE Path"), QStringLiteral("RC EXE Params"), true,
         Msg::RC_PARAMS_PROGNAME, Msg::RC_PARAMS_DESC_TEXT},
        {Sub("Editor"), QStringLiteral("Editor EXE Path"), QStringLiteral("Editor EXE Params"),
         true, Msg::EDITOR_PARAMS_PROGNAME, Msg::EDITOR_PARAMS_DESC_TEXT},
        {Sub("ConBuilder"), QStringLiteral("CB EXE Path"), QStringLiteral("CB EXE Params"), false,
         Msg::CB_PARAMS_PROGNAME, Msg::CB_PARAMS_DESC_TEXT},
        {Sub("Route_Riter"), QStringLiteral("RR EXE Path"), QStringLiteral("RR EXE Params"), false,
         Msg::RR_PARAMS_PROGNAME, Msg::RR_PARAMS_DESC_TEXT},
        {Sub("RailDriver"), QStringLiteral("RD EXE Path"), QStringLiteral("RD EXE Params"), false,
         Msg::RD_PARAMS_PROGNAME, Msg::RD_PARAMS_DESC_TEXT},
        {Sub("SVIEW"), QStringLiteral("SVIEW EXE Path"), QStringLiteral("SVIEW EXE Params"), false,
         Msg::SVIEW_PARAMS_PROGNAME, Msg::SVIEW_PARAMS_DESC_TEXT},
    };
    return rows[int(tool)];
}

int EditToolLaunchSettings(OutsideTool tool) {
    const LaunchSettingsRow& row = LaunchSettingsFor(tool);
    const int result =
        TheUi().EditLaunchSettings(Caption(row.ProgramName), row.ParamsValue, row.PathValue,
                                   row.Key, row.ShowParams, Caption(row.Description));
    if (result == ID_OK && tool == OutsideTool::RailDriver) {
        if (RegReadString(row.Key, row.PathValue).isEmpty())
            WriteFlag(false, QStringLiteral("Start RD"));
        TheMainServices().UpdateControls();
    }
    return result;
}

bool AcceptLaunchSettings(const QString& key, const QString& pathValue, const QString& paramsValue,
                          const QString& path, const QString& params) {
    if (!path.isEmpty() && !FileExists(path)) {
        Box(Caption(Msg::INVALID_FILENAME), MB_ICONSTOP);
        return false;
    }
    RegWriteString(key, pathValue, path);
    if (!paramsValue.isEmpty())
        RegWriteString(key, paramsValue, params);
    return true;
}

QString LaunchBrowseFolder(const QString& key, const QString& pathValue) {
    const QString stored = RegReadString(key, pathValue);
    return stored.isEmpty() ? RegReadString(kMstsKey, QStringLiteral("EXE Path")) : stored;
}

void StartOutsideTool(OutsideTool tool) {
    const bool riter = tool == OutsideTool::RouteRiter;
    const QString name = riter ? QStringLiteral("Route_Riter") : QStringLiteral("ConBuilder");
    const LaunchSettingsRow& row =
        LaunchSettingsFor(riter ? OutsideTool::RouteRiter : OutsideTool::ConBuilder);
    if (FindTopWindow(QStringLiteral("ThunderRT6Main"), name)) {
        Box(name + QLatin1Char(' ') + Caption(Msg::ALREADY_RUNNING_ERR_LEG), MB_ICONEXCLAMATION);
    } else {
        LaunchProgram(RegReadString(row.Key, row.PathValue), QString(), QString(), true, false,
                      false);
    }
    // The tool may have changed consists and routes behind our back.
    App().TreeSynchronised = false;
    App().EasyListsStale = true;
}

QString ManualFileName(const QString& programFile, const QString& abbreviation,
                       const std::function<bool(const QString&)>& exists) {
    QString base = programFile;
    const qsizetype slash = base.lastIndexOf(QLatin1Char('\\'));
    const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
    if (dot > slash)
        base.truncate(dot);
    if (!abbreviation.isEmpty() &&
        abbreviation.compare(QLatin1String("ENG"), Qt::CaseInsensitive)) {
        const QString translated = base + QLatin1Char(' ') + abbreviation + QStringLiteral(".PDF");
        if (exists(translated))
            return translated;
    }
    return base + QStringLiteral(".PDF");
}

QString RegisteredPdfReader() {
    const QString className = RegReadStringAt(HKEY_CLASSES_ROOT, QStringLiteral(".pdf"), QString());
    if (className.isEmpty())
        return QString();
    const QString command = RegReadStringAt(
        HKEY_CLASSES_ROOT, className + QStringLiteral("\\shell\\open\\command"), QString());
    const qsizetype at = command.indexOf(QStringLiteral(" \"%1\""));
    return at < 0 ? QString() : StripQuotes(command.left(at).trimmed());
}

void QuarvelManualClick() {
    const LocaleInfo* locale = FindLocale(App().CurrentLanguageId);
    const QString manual =
        ManualFileName(ProgramFilePath(), locale ? locale->Abbreviation : QString(),
                       [](const QString& file) { return FileExists(file); });
    if (!FileExists(manual)) {
        Box(Caption(Msg::ERROR_FILE_NOT_FOUND_LEG) + Caption(Msg::GENERAL_NOT_FOUND3) + manual +
                QLatin1Char('\''),
            MB_ICONEXCLAMATION);
        return;
    }
    const QString quoted = QLatin1Char('"') + manual + QLatin1Char('"');
    const QString reader = RegisteredPdfReader();
    // Without a registered reader the desktop's own opener shows the file. A registered one is
    // named as every program is, often through variables ("%ProgramFiles%\...").
    qint64 processId = 0;
    int shellError = 0;
    if (!StartProgram(reader.isEmpty() ? QStringLiteral("xdg-open") : ExpandEnvironmentVars(reader),
                      quoted, &processId, &shellError)) {
        ReportManualNotShown(manual);
        return;
    }
    WatchManualOpener(processId, manual, kOpenerWatchPasses);
}

void DeleteProductRegistryKeys() {
    DeleteKeyTree(kProductKey);
    const QString parent = QStringLiteral("SOFTWARE\\Pellicott");
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, parent, false) && key.SubKeyNames().isEmpty() &&
        key.ValueNames().isEmpty()) {
        key.Close();
        RegDeleteKey(HKEY_LOCAL_MACHINE, parent);
    }
}

bool UninstallQuarvel() {
    if (App().Busy)
        return false;
    if (!ReadFlag(QStringLiteral("Everything Unstored"))) {
        Box(Caption(Msg::CONFIRM_UNINSTALL2), MB_ICONEXCLAMATION);
        return false;
    }
    if (Box(Caption(Msg::CONFIRM_UNINSTALL1), MB_YESNO | MB_ICONQUESTION) != ID_YES)
        return false;
    if (CountStoreContent() > 0) {
        Box(Caption(Msg::CONFIRM_UNINSTALL3), MB_ICONEXCLAMATION);
        return false;
    }
    if (!UnstoreEverything(false))
        return false;
    // Unstoring can leave files behind when a move failed: check again before the settings go.
    if (CountStoreContent() > 0) {
        Box(Caption(Msg::CONFIRM_UNINSTALL3), MB_ICONEXCLAMATION);
        return false;
    }
    DeleteProductRegistryKeys();
    Box(QCoreApplication::translate("Uninstall",
                                    "Quarvel's settings have been removed.\r"
                                    "Remove the program itself with your system's package tools."),
        MB_ICONINFORMATION);
    // Closing normally would write the settings back.
    TerminateProgram(0);
    return true;
}

} // namespace qv
