#include "engine/unstoreall.h"

#include "core/appstate.h"
#include "core/filefind.h"
#include "core/filemove.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/startupconfig.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "engine/tsection.h"
#include "engine/tsectionsettings.h"
#include "platform/casefold.h"
#include "platform/ui.h"

#include <QHash>

namespace qv {

namespace {

int Box(const QString& text, int style) {
    return TheUi().MessageBox(text, App().ProgramTitle, style);
}

// Moves every top-level folder of the store but the data folder into the MSTS folder.
void MoveStoreFolders() {
    const QString store = App().StoreRootFolder;
    StringList folders;
    FindFiles(folders, store, true, QString(), QStringLiteral("*.*"));
    const MoveLinkScope scope;
    QStringList going;
    // Two folders alike but for letter case both go, merging in the MSTS folder as each merges
    // with the folder there; known as twins before either goes, their files are never settled
    // against a file they meet.
    QHash<QString, QString> seen;
    for (int i = 0; i < folders.Count(); ++i) {
        const QString name = folders[i];
        // The data folder in any letter case is the one the program reads: it never leaves.
        if (name.compare(QLatin1String("QVDATA"), Qt::CaseInsensitive) == 0)
            continue;
        const auto twin = seen.constFind(FoldCase(name));
        if (twin == seen.constEnd())
            seen.insert(FoldCase(name), name);
        else
            NoteTwinFolder(store + QLatin1Char('\\') + name, store + QLatin1Char('\\') + *twin);
        going.append(name);
    }
    for (const QString& name : std::as_const(going)) {
        // A file left in the store counts against the job, also when the user cancelled its
        // duplicate dialog: the job did not bring back everything.
        if (!MoveEntry(store + QLatin1Char('\\') + name,
                       App().MstsRootFolder + QLatin1Char('\\') + name, MOVE_RENAME))
            App().RunHadErrors = true;
    }
}

// Everything between the question and the completion box, under the busy flag and its status.
void RunUnstoreEverything() {
    MainServices& main = TheMainServices();
    StatusGuard status(QStringLiteral("UNSTEVERY"));
    SetBusy(true);
    main.ShowHourglass(true);
    App().RunHadErrors = false;
    // A Keep All or Replace All given in an earlier job must not decide this job's duplicates.
    App().PathSet.DuplicateAnswer = 0;

    MoveStoreFolders();

    SetBusy(false);
    const bool left = CountStoreContent() > 0;
    if (left)
        Box(Caption(Msg::WARN_UNSTORE_EVERYTHING), MB_ICONEXCLAMATION);

    main.SetOpenScenarioDialogFile(QString());
    main.SetCurrentScenarioFile(QString());

    RouteInfo systemDefault;
    if (ReadDefaultTsectionSettings(&systemDefault) && !systemDefault.TSectionFileName.isEmpty())
        InstallTsectionFile(systemDefault.TSectionFileName);

    // The tree is loaded for the page shown afterwards, the Simulation tab.
    main.SetSimulationMaintPageIndex(0);
    main.LoadTree(QString(), nullptr, -1);
    // Files left in the store are still stored: the state says so, as a start finding them does.
    RegWriteString(kProductKey, QStringLiteral("Everything Unstored"),
                   left ? QStringLiteral("false") : QStringLiteral("true"));
    RegWriteString(kProductKey, QStringLiteral("Selected Unstored"), QString());

    main.UpdateControls();
    main.ShowSelectedNodeInfo();
    main.ShowHourglass(false);
}

} // namespace

bool UnstoreEverything(bool ask) {
    if (CheckLeftoverFolders(QString(), ask))
        return false;
    if (ask &&
        Box(Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG), MB_YESNO | MB_ICONQUESTION) != ID_YES)
        return false;
    // The tree is rebuilt from the folders afterwards: changed marks would be lost unsaved.
    if (TheMainServices().QuerySaveScenario() == ID_CANCEL)
        return false;

    RunUnstoreEverything();

    if (ask) {
        if (App().RunHadErrors)
            Box(Caption(Msg::PROCESS_COMPLETED) + Caption(Msg::MOVE_ERRORS), MB_ICONEXCLAMATION);
        else if (ReadFlag(QStringLiteral("Confirm Completion")) || App().CommandLineJob)
            Box(Caption(Msg::PROCESS_COMPLETED), MB_ICONINFORMATION);
    }
    return true;
}

} // namespace qv
