// What the program settles once at every start, before the main window shows anything: where
// MSTS is installed (its own registry key, or a folder the user fixed), where the store is (or,
// on a first start, letting the user choose it), that both folders are sane, that no left-over
// copies of the content folders lie beside them, and where the outside tools are.
#pragma once

#include <QString>
#include <functional>

namespace qv {

// MSTS's own key under HKEY_LOCAL_MACHINE (ours, else read-only from the Wine prefix).
inline const QString kMstsKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Microsoft Games\\Train Simulator\\1.0");

// Sets App().MstsRootFolder and App().StoreRootFolder and records the first-run settings; true
// when the program may go on. Every refusal has been shown to the user; on false the caller ends
// the program. A start never goes on without an existing store folder.
bool StartupConfiguration();

// True when the folder holds an MSTS installation (TRAINS\TRAINSET\DEFAULT\DEFAULT.WAG); otherwise
// a stop box says whether the folder is missing or incomplete.
bool CheckMstsFolder(const QString& folder);

// Looks for folders that a system restore or a copy program may have left: any foreign folder in
// the store (root empty, or the root is the store), a data folder beside the one the program
// reads (another "QVDATA" in a different letter case), and numbered copies of TRAINS and ROUTES
// ("TRAINS (2)", "Routes(1)") in the MSTS folder (root empty). True when any was found; with
// `show` they are listed in a stop box.
bool CheckLeftoverFolders(const QString& root, bool show);

// The start-up makes sure the fixed objects exist, which the store engine (a library above this
// one) knows how to do; the program installs the engine's EnsureDefaultExclusions here before the
// main window is first shown. Without one the start is refused as an unexpected result.
void SetFixedObjectsCheck(std::function<bool()> check);

} // namespace qv
