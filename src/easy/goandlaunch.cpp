#include "easy/goandlaunch.h"

#include "core/appstate.h"
#include "core/itemkinds.h"
#include "core/itemset.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "easy/activityfilegen.h"
#include "easy/explorestate.h"
#include "easy/launchprogram.h"
#include "easy/savedactivity.h"
#include "engine/storecommand.h"
#include "platform/ui.h"
#include "platform/winresolve.h"

#include <QDir>

namespace qv {

namespace {

const QString kRailDriverKey = kProductKey + QStringLiteral("\\RailDriver");

ExploreReloadHandler& ReloadHandler() {
    static ExploreReloadHandler handler;
    return handler;
}

// MSTS expects to be started from its own folder.
void EnterMstsFolder() {
    QString host;
    if (ResolvePath(App().MstsRootFolder, &host))
        QDir::setCurrent(host);
}

// The RailDriver manager is brought to the front when it runs already, else started. False when
// it could not be started (the start has said why).
bool StartRailDriver(bool noWait) {
    const WindowHandle window =
        FindTopWindow(QStringLiteral("TApplication"), QStringLiteral("RailDriver Manager"));
    if (window) {
        ShowTopWindow(window, SW_RESTORE);
        BringTopWindowToFront(window);
        return true;
    }
    return LaunchProgram(RegReadString(kRailDriverKey, QStringLiteral("RD EXE Path")),
                         RegReadString(kRailDriverKey, QStringLiteral("RD EXE Params")), QString(),
                         true, false, noWait) != -1;
}

// After the wait for an Explore session: its temporary files go, and its save number stays only
// while the Easy page reloads saved sessions.
void TidyUpExploreSession(QObject* sender) {
    ExploreState& explore = Explore();
    const QString routeFolder = ParentPath(explore.ExploreSourceActivity->Folder);
    CleanExploreTemp(routeFolder, nullptr);
    const ExploreReloadHandler& reload = ReloadHandler();
    if (!reload || !reload(sender, LastPathComponent(routeFolder)))
        explore.CurrentExploreRecord.SaveNumber = -1;
}

} // namespace

bool GoAndLaunch(QObject* sender, bool explore) {
    if (!GoStoreUnstore(false, false, false, false, false, explore))
        return false;
    MainServices& main = TheMainServices();
    main.SetChecked(QStringLiteral("AllConsistsCbx"), false);
    main.SetChecked(QStringLiteral("AllStockCbx"), false);
    if (!main.Checked(QStringLiteral("LaunchMSTSCbx")))
        return true;

    const int save = main.QuerySaveScenario();
    if (save == ID_CANCEL)
        return true;
    if (save == ID_NO)
        main.SetCurrentScenarioFile(QString());
    EnterMstsFolder();

    const bool explorePending = Explore().ExploreSourceActivity.has_value();
    const bool spawnWait = ReadFlag(QStringLiteral("Spawn Wait"));
    const bool railDriverOnly = ReadFlag(QStringLiteral("Start RD")) && !explorePending;
    const bool wait = spawnWait && !App().CommandLineJob && !railDriverOnly;
    // MSTS starts minimised over a generated Explore activity, so that the wait can watch for
    // its window; a failed generation has reported itself and MSTS starts as usual.
    bool startMinimised = false;
    if (explorePending) {
        ExploreState& state = Explore();
        startMinimised =
            GenerateExploreActivity(state.ExploreTemplateActivity, state.CurrentExploreRecord);
    }
    const bool started =
        railDriverOnly
            ? StartRailDriver(!wait)
            : LaunchProgram(RegReadString(kProductKey, QStringLiteral("MSTS EXE Path")),
                            RegReadString(kProductKey, QStringLiteral("MSTS EXE Params")),
                            QString(), true, startMinimised, !wait) != -1;

    // A command-line job ends the program itself, as failed when what it was to start did not.
    if (App().CommandLineJob)
        return started;
    if (!spawnWait || railDriverOnly) {
        App().SilentClose = true;
        main.CloseMainForm();
        return true;
    }
    if (Explore().ExploreSourceActivity)
        TidyUpExploreSession(sender);
    main.RestoreApplication();
    return true;
}

void SetExploreReloadHandler(ExploreReloadHandler handler) {
    ReloadHandler() = std::move(handler);
}

} // namespace qv
