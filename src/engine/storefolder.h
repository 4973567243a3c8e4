// The store folder: recording it in the registry, the checks a newly chosen folder must pass,
// and setting the store up there or moving the whole store there. The storage-folder dialog
// (forms/pathselectdlg.h) is a thin face over these.
//
// A move is all or nothing: on one file system the store folder is renamed in one step;
// otherwise it is copied, the copy is compared with the original, "Store Path" is switched, and
// only then is the old folder deleted. Whatever fails before the switch leaves the old store whole
// and registered and takes away what the move had made.
#pragma once

#include <QString>

namespace qv {

// Writes "Store Path" under the product key (deletes the value for an empty path) and sets
// App().StoreRootFolder. A registry failure is shown and ends the program (false when the end is
// hooked).
bool WriteStorePath(const QString& path);

// What the storage-folder dialog opens with.
struct StorePathDialogStart {
    QString folder;   // where the folder list opens
    QString selected; // the folder proposed
    QString label;    // the explanation above the list
};

// Reads "Store Path" into App().RegisteredStorePath and fills `start`: the registered store, or,
// when none is registered, "Quarvel" at the root of the MSTS folder's drive. A registered folder
// that no longer exists is shown and ends the program; false then (the dialog is not shown).
bool PrepareStorePathDialog(StorePathDialogStart* start);

enum class StorePathAction {
    Refused,  // a check failed or the user said No; the dialog stays open
    Register, // the folder exists and is empty, or holds a store to adopt
    Create,   // the folder is to be made
    Move,     // the registered store moves there
};

// The checks of the dialog's OK, in their order, against App().RegisteredStorePath and
// App().MstsRootFolder; the first that fails shows its message. Asks whether to create a missing
// folder and whether to move the store.
StorePathAction CheckNewStorePath(const QString& newPath);

// Carries out what the checks decided. True when "Store Path" now names `newPath`; otherwise the
// failure has been shown and the registered store is as it was.
bool ApplyNewStorePath(const QString& newPath, StorePathAction action);

// The dialog's OK: both of the above; true when the dialog may close with OK.
bool AcceptStorePath(const QString& newPath);

} // namespace qv
