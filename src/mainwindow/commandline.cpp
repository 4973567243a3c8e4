#include "mainwindow/commandline.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/storeini.h"
#include "easy/goandlaunch.h"
#include "easy/launchprogram.h"
#include "easy/routecontrol.h"
#include "engine/unstoreall.h"
#include "mainwindow/scenariofiles.h"
#include "platform/drivemap.h"
#include "platform/inifile.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QCoreApplication>

namespace qv {

namespace {

// Page indexes of the main window's page controls.
constexpr int kEasyPage = 0;
constexpr int kClassicPage = 1;
constexpr int kSimulationTab = 0;
constexpr int kMaintenanceTab = 1;
constexpr int kRunActivityTab = 0;
constexpr int kExploreTab = 1;

void StopBox(const QString& text) {
    TheUi().MessageBox(text, App().ProgramTitle, MB_ICONSTOP);
}

// The caption of the main menu's "Unstore Everything!" item as the current language shows it,
// without its accelerator mark (a label would show the ampersand).
QString UnstoreEverythingCaption() {
    return QCoreApplication::translate("TMainForm", "Unstore &Everything!")
        .remove(QLatin1Char('&'));
}

// Route Control is started only when its program is known and its route folder is safe to swap;
// false when it was refused or could not be started.
bool StartRouteControl() {
    if (!CheckRouteControlPath() || !CheckRouteControlRoute())
        return false;
    return LaunchProgram(RegReadString(kRouteControlKey, QStringLiteral("RC EXE Path")),
                         RegReadString(kRouteControlKey, QStringLiteral("RC EXE Params")),
                         QString(), false, false, true) >= 0;
}

// Loads the scenario given on the command line, runs its store job and launches MSTS; a
// scenario that cannot run is refused with a stop box naming the argument, and gives false.
bool RunScenario(const QString& argument, StatusLabel& status, QObject* sender) {
    if (RegReadString(kProductKey, QStringLiteral("MSTS EXE Path")).isEmpty()) {
        StopBox(Caption(Msg::MSTS_EXE_PATH_NOT_SET_LEG));
        return false;
    }
    const QString file = ToWindowsForm(argument);
    if (!FileExists(file)) {
        StopBox(Caption(Msg::ERROR_FILE_NOT_FOUND_LEG) + QStringLiteral("\n\n'") + argument +
                QLatin1Char('\''));
        return false;
    }
    IniFile scenario;
    LoadIniFile(file, &scenario);
    const QString version = scenario.ReadString(QStringLiteral("QUARVEL_INFORMATION"),
                                                QStringLiteral("Version"), QString());
    if (IsAcceptedVersion(version) == 0) {
        StopBox(Caption(Msg::INVALID_QVS_FILE) + Caption(Msg::GENERAL_NOT_FOUND3) + argument +
                QLatin1Char('\''));
        return false;
    }

    MainServices& main = TheMainServices();
    main.SetChecked(QStringLiteral("LaunchMSTSCbx"), true);
    main.SetOpenScenarioDialogFile(file);
    const QString shown =
        QLatin1Char('\'') +
        ShortenScenarioPath(file, status.Width(),
                            [&status](const QString& text) { return status.TextWidth(text); }) +
        QLatin1Char('\'');
    status.ShowText(Caption(Msg::OPEN_SCENARIO_TITLE_OPEN) + QStringLiteral("\n\n") + shown);
    // A scenario that did not load leaves no marks to act on: the store job would work on
    // whatever tree happens to be there.
    if (!OpenScenario(file))
        return false;
    status.ShowText(Caption(Msg::UNSTORE_ACTIVITY_TAG) + QStringLiteral("\n\n") + shown);
    // A job whose moves failed has launched MSTS all the same, but did not do what was asked.
    return GoAndLaunch(sender, false) && !App().RunHadErrors;
}

} // namespace

bool IsCommandLineJob(const QString& argument) {
    if (argument.isEmpty())
        return false;
    for (const char* pageSwitch : {"-ss", "-sm", "-se", "-sa"})
        if (argument.compare(QLatin1String(pageSwitch), Qt::CaseInsensitive) == 0)
            return false;
    return true;
}

QString JobNotRunText(const QString& argument) {
    return QStringLiteral("Quarvel: another copy of the program is running; the job '") + argument +
           QStringLiteral("' did not run.");
}

void ProcessCommandLine(const QString& argument, StatusLabel& status, QObject* sender) {
    MainServices& main = TheMainServices();
    const auto is = [&argument](const char* option) {
        return argument.compare(QLatin1String(option), Qt::CaseInsensitive) == 0;
    };
    if (is("-ss") || is("-sm")) {
        main.SetMainPageIndex(kClassicPage);
        main.SetSimulationMaintPageIndex(is("-ss") ? kSimulationTab : kMaintenanceTab);
        return;
    }
    if (is("-se") || is("-sa")) {
        main.SetMainPageIndex(kEasyPage);
        main.SetActivityExplorePageIndex(is("-se") ? kExploreTab : kRunActivityTab);
        return;
    }

    App().CommandLineJob = true;
    bool done = false;
    if (is("-rc")) {
        done = StartRouteControl();
    } else if (is("-uc")) {
        status.ShowText(UnstoreEverythingCaption());
        done = UnstoreEverything(true) && !App().RunHadErrors;
    } else {
        done = RunScenario(argument, status, sender);
    }
    App().CommandLineJobFailed = !done;
    main.MinimiseApplication();
}

} // namespace qv
