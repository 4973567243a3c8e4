// Program-wide state, in one place, under the names the rest of the program uses for it.
// Tests call ResetAppState() so that no state leaks from one test into the next.
#pragma once

#include "core/itemset.h"
#include "core/languages.h"
#include "core/stringlist.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

namespace qv {

struct ViewerWindowList;

// What a file move and the duplicate-file dialog hand each other: the file being moved, the file
// already at its target, and the standing answer (0 ask, 1 Replace All, 2 Keep All) that holds for
// the rest of a job once given; a job sets it back to 0 before it moves files.
struct TPathSet {
    QString DuplicateSourceFile;
    QString DuplicateTargetFile;
    std::int32_t DuplicateAnswer = 0;
};

struct AppState {
    // The program's own identity, from its compiled-in version information.
    QString ProgramTitle;
    QString ProgramVersion;
    QString ProgramFileVersion;
    QString ProgramCopyright;
    // Written as "Version" into every store data file; does not follow the program's version.
    const QString StoreDataVersion = QStringLiteral("3.0");

    // The two roots every MSTS path is relative to (Windows form, no trailing backslash).
    QString MstsRootFolder;
    QString StoreRootFolder;
    QString StartupWorkingFolder;

    // Reporting, status and the log.
    int ReportLevel = 0;
    bool Busy = false;
    bool LoggingActive = false;

    // Display options.
    bool ViewByFileName = false;

    // Caches and lot numbers.
    bool ForceCacheReread = false;
    bool ExtendedActivityCache = false;
    QString CurrentLotNumber = QStringLiteral("0");
    bool ConsistLotUsed = false;
    bool StockLotUsed = false;
    // The lot-number dialog's answer: the lot chosen for the selected items, empty after a
    // cancel or an empty entry.
    QString ChosenLotNumber;
    bool ConsistCacheStale = false;
    bool StockCacheStale = false;
    bool PathCacheStale = false;
    // The path list editor's route: the store state of the tree node it works on, and how many
    // records of PathCacheList belong to that route.
    int PathRouteState = 0;
    int PathRouteCount = 0;

    // Store and unstore jobs.
    bool ErrorsFileWritten = false;
    bool RunHadErrors = false;
    bool TreeSynchronised = false;
    bool ScenarioChanged = false;
    // A job given on the command line runs: no plain completion box, the Easy-page error hint.
    bool CommandLineJob = false;
    // The command-line job could not run (its scenario was refused): the program ends with a
    // status that tells its caller so.
    bool CommandLineJobFailed = false;

    // Start-up.
    bool NoViewerFile = false;
    std::uint32_t LastCloseFileDate = 0;

    // The main window's run (start-up, first tick, close).
    bool StartupAborted = false;   // the start-up ended the program
    bool SilentClose = false;      // the next close skips the save prompt
    bool FirstTickPending = false; // the main timer has not ticked yet
    bool FirstLoadPending = true;  // the tree has not been loaded yet
    bool EasyListsStale = true;    // the Easy page lists must be refilled
    bool TreeClearing = false;     // tree nodes are being freed; change handlers ignore changes
    bool GeometryRestoring = false;
    bool EasySuppressImage = false;
    bool PictureLibraryAvailable = false;
    // The picture library's module: none until its first use, then kept for the program's life.
    const struct PictureLibraryModule* PictureLibrary = nullptr;
    // The tree node remembered across runs and page switches.
    struct TreeSelectionInfo {
        QString Folder;
        std::int32_t PType = 0;
        QString FileName;
    } LastTreeSelection;

    // Status, report numbering and the log.
    QStringList StatusCodeStack; // newest first
    int ReportItemCount = 0;     // number of the last report entry written into a pane
    QString LogFileName;         // host path of the open log; empty while logging is off
    // Monotonic times (ms) of the last event pump and status bar repaint; -1 before the first.
    qint64 LastPumpMs = -1;
    qint64 LastStatusRepaintMs = -1;

    // File moves and the folder dialog.
    TPathSet PathSet;
    QString FolderDialogFolder;  // the initial folder handed to the dialog; the chosen one after OK
    QString FolderDialogPrompt;  // the prompt the dialog shows
    QString FolderDialogCaption; // the suffix of the dialog's caption
    int FolderDialogResult = 0;  // the modal result of the last folder dialog (1 OK)

    // Stock paths that consists name but the stock cache does not hold yet; the consist cache
    // rebuild reads them and empties the list.
    StringList UncachedStockList = StringList::SortedUnique();

    // Cache rebuilds: every engine and wagon, consist and path of both roots, as the last
    // rebuild of each kind found them; the records carry attribute bits only, the list tells
    // the kind.
    RecordList<ItemSet> StockCacheList;
    RecordList<ItemSet> ConsistCacheList;
    RecordList<ItemSet> PathCacheList;

    // Languages.
    std::uint32_t CurrentLanguageId = 0;  // the loaded language's locale; 0 before any
    RecordList<LanguageSet> LanguageList; // the languages with a module, sorted by name
    std::unique_ptr<LanguageModule> LoadedLanguageModule; // none: the compiled-in English
    QStringList ReportedLanguageModules; // damaged module files already told to the user

    // Start-up configuration, the store folder and the outside tools.
    QString ProgramFilePath;     // the program's own file (Windows form); empty: the running one
    QString RegisteredStorePath; // "Store Path" as the storage-folder dialog found it when shown
    QString ShapeViewerPath;     // the outside shape viewer; empty when none is known
    QString ScreenshotFolder;    // where viewer screenshots go
    bool ViewerControlRegistered = false; // the 3-D viewer can be used

    // The open viewer windows (made by the viewer when it first opens one).
    std::shared_ptr<::qv::ViewerWindowList> ViewerWindowList;
};

AppState& App();
void ResetAppState();

} // namespace qv
