// Program-wide state, in one place, under the names the rest of the program uses for it.
// Tests call ResetAppState() so that no state leaks from one test into the next.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace qv {

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
    bool ConsistCacheStale = false;
    bool StockCacheStale = false;
    bool PathCacheStale = false;

    // Store and unstore jobs.
    bool ErrorsFileWritten = false;
    bool RunHadErrors = false;
    bool TreeSynchronised = false;
    bool ScenarioChanged = false;

    // Start-up.
    bool NoViewerFile = false;
    std::uint32_t LastCloseFileDate = 0;
};

AppState& App();
void ResetAppState();

} // namespace qv
