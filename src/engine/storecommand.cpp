#include "engine/storecommand.h"

#include "core/appstate.h"
#include "core/easyservices.h"
#include "core/exploresaveinfo.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "engine/fixedobjects.h"
#include "engine/storeunstoreproc.h"
#include "engine/tsection.h"
#include "engine/unstoreall.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QDir>

namespace qv {

namespace {

StoreUnstoreDriver& DriverOverride() {
    static StoreUnstoreDriver driver;
    return driver;
}

bool RunDriver(bool unstore, bool partialRoute, bool defaultRoutes, bool allConsists, bool allStock,
               bool silent, const QString& tsectionFile) {
    if (DriverOverride())
        return DriverOverride()(unstore, partialRoute, defaultRoutes, allConsists, allStock, silent,
                                tsectionFile);
    return StoreUnstore(unstore, partialRoute, defaultRoutes, allConsists, allStock, silent,
                        tsectionFile);
}

int Box(const QString& text, int style) {
    return TheUi().MessageBox(text, App().ProgramTitle, style);
}

// "There are ... left 'In Use'" + "MSTS will not run ..." + "Are you sure ...", No the default.
bool ConfirmDespite(Msg first) {
    const QString text = Caption(first) + Caption(Msg::DO_NOT_ALLOWED_TAG1A) + QLatin1Char('\n') +
                         Caption(Msg::ARE_YOU_SURE_TAG);
    return Box(text, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == ID_YES;
}

// Settles the TSECTION.DAT of the routes in use: the file to install after the move (empty when
// none is managed or none could be chosen). Sets `abandon` when a specified file is unusable, the
// user cancels the choice, the choice cannot be applied, or the user then declines to go on
// without activities; `routeInUse` follows the deselections.
QString ChooseTsectionFile(bool& abandon, bool& routeInUse) {
    ConflictList list;
    if (!BuildTsectionEntryList(list, false)) {
        abandon = true;
        return QString();
    }
    if (FindTsectionConflicts(list, true)) {
        ItemTree* tree = TheMainServices().QuarvelObjects();
        if (TheUi().ResolveTsectionConflicts(list) != ID_OK)
            abandon = true;
        else if (!tree || !ApplyTsectionChoice(*tree, list))
            abandon = true;
        else if (CheckActivitiesInUse(routeInUse) == ID_NO)
            abandon = true;
    }
    const int recommended = RecommendedTsectionEntry(list);
    return recommended >= 0 ? list[std::size_t(recommended)]->TSectionFileName : QString();
}

void ShowOutcome() {
    if (App().RunHadErrors) {
        Box(Caption(Msg::PROCESS_COMPLETED) + Caption(Msg::MOVE_ERRORS), MB_ICONEXCLAMATION);
        return;
    }
    if (App().CommandLineJob)
        return;
    QString text;
    if (ReadFlag(QStringLiteral("Confirm Completion")))
        text = Caption(Msg::PROCESS_COMPLETED);
    // A reloaded session must be started from MSTS's saved-activity list, not as a new activity.
    const ExploreActivitySaveInfo* session = TheEasyServices().CurrentExploreRecord();
    if (session && session->SaveNumber >= 1) {
        if (!text.isEmpty())
            text += QStringLiteral("\n\n");
        text +=
            Caption(Msg::EXPLORE_LOAD_REMINDER) + ExploreSessionName(session->SaveNumber) + u'\'';
    }
    if (!text.isEmpty())
        Box(text, MB_ICONINFORMATION);
}

bool ScreenLargeEnough() {
    const QSize screen = TheMainServices().ScreenSize();
    return screen.width() >= 1024 && screen.height() >= 768;
}

// The MSTS editor runs from the MSTS folder, as MSTS itself expects.
void EnterMstsFolder() {
    QString host;
    if (ResolvePath(App().MstsRootFolder, &host))
        QDir::setCurrent(host);
}

} // namespace

int CheckActivitiesInUse(bool& routeInUse) {
    routeInUse = false;
    std::int32_t count = 0;
    const ItemTree* tree = TheMainServices().QuarvelObjects();
    for (ItemNode* node = tree ? tree->First() : nullptr; node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if ((item.PType & PT_ROUTE) && item.StoreInd == SI_IN_USE)
            routeInUse = true;
        const bool activitiesGroup = (item.PType & PT_ACTIVITY) && (item.PType & PT_HEADING);
        if (activitiesGroup && node->Parent() && node->Parent()->Data()->StoreInd == SI_IN_USE) {
            std::int32_t inStore = 0, inUse = 0, active = 0, inactive = 0;
            CountChildStates(node, inStore, inUse, active, inactive, true);
            count += inUse;
        }
    }
    if (count == 0 && routeInUse && !TheEasyServices().CurrentExploreRecord())
        return ConfirmDespite(Msg::DO_NOT_ALLOWED_TAG2) ? ID_YES : ID_NO;
    return 1;
}

bool GoStoreUnstore(bool unstore, bool partialRoute, bool defaultRoutes, bool allConsists,
                    bool allStock, bool silent) {
    // Each check runs even after an earlier one refused, so one press shows every reason.
    bool abandon = false;
    bool routeInUse = false;
    QString chosenFile;
    if (CheckActivitiesInUse(routeInUse) == ID_NO)
        abandon = true;
    else
        chosenFile = ChooseTsectionFile(abandon, routeInUse);

    if (!routeInUse) {
        if (!unstore) {
            if (!ConfirmDespite(Msg::DO_NOT_ALLOWED_TAG1))
                abandon = true;
        } else if (!defaultRoutes) {
            // The routes to prepare are the ones in use; with "+ Def. Routes" those are enough.
            Box(Caption(Msg::DO_NOT_ALLOWED_TAG6), MB_ICONSTOP);
            abandon = true;
        }
    }
    if (!EnsureDefaultExclusions()) {
        Box(Caption(Msg::NO_EXCLUSIONS_ENTERED), MB_ICONSTOP);
        abandon = true;
    }
    // Moves are renames: the store must lie on the drive and file system of the MSTS folder.
    if (!SameDrive(App().StoreRootFolder, App().MstsRootFolder)) {
        Box(Caption(Msg::DO_NOT_ALLOWED_TAG4), MB_ICONSTOP);
        abandon = true;
    }
    if (abandon)
        return false;

    const bool moved =
        RunDriver(unstore, partialRoute, defaultRoutes, allConsists, allStock, silent, chosenFile);
    if (!moved)
        return false;
    TheMainServices().UpdateControls();
    ShowOutcome();
    return true;
}

void PrepareForMaintenance(const MaintenanceChoice& choice) {
    if (Box(Caption(Msg::UNSTORE_SELECTED_QUERY_TAG), MB_YESNO | MB_ICONQUESTION) != ID_YES)
        return;
    const bool ok = choice.everything
                        ? UnstoreEverything(true)
                        : GoStoreUnstore(true, choice.partialRoute, choice.defaultRoutes,
                                         choice.allConsists, choice.allStock, false);
    // The editor is started, and the program closed, only over folders that were prepared.
    if (!ok || !choice.launchEditor)
        return;
    MainServices& main = TheMainServices();
    const int save = main.QuerySaveScenario();
    if (save == ID_CANCEL)
        return;
    if (save == ID_NO)
        main.SetCurrentScenarioFile(QString());

    int answer = ID_YES;
    while (answer == ID_YES && !ScreenLargeEnough()) {
        answer = Box(Caption(Msg::QUERY_SCREEN_RESOLUTION), MB_YESNO | MB_ICONQUESTION);
        if (answer == ID_YES)
            TheEasyServices().LaunchProgram(QStringLiteral("RunDll32.exe"),
                                            QStringLiteral("shell32.dll,Control_RunDLL") +
                                                QLatin1Char(' ') + QStringLiteral("desk.cpl,@0,3"),
                                            QString(), false, false, false);
    }
    if (answer != ID_YES)
        return;
    EnterMstsFolder();
    TheEasyServices().LaunchProgram(RegReadString(kProductKey, QStringLiteral("MSTS EXE Path")),
                                    QStringLiteral("-toolset"), QString(), false, false, true);
    main.CloseMainForm();
}

bool DefaultRoutesChecked(bool checked) {
    ItemTree* tree = TheMainServices().QuarvelObjects();
    if (checked && (!tree || !TheEasyServices().CheckDefaultRoutes(*tree)))
        checked = false;
    TheMainServices().UpdateControls();
    return checked;
}

void SetStoreUnstoreDriverForTests(StoreUnstoreDriver driver) {
    DriverOverride() = std::move(driver);
}

} // namespace qv
