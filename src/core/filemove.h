// Moving files and folder trees between the MSTS folder and the store: the one move operation
// every job uses, with its waits for files held open, its handling of targets that exist, its
// reports into the information pane, and the attribute check a user can run before a job.
#pragma once

#include "core/appstate.h"

#include <QString>

namespace qv {

// Move modes.
constexpr int MOVE_RENAME = 1; // source and target on one drive
constexpr int MOVE_COPY = 4;   // copy with the file times kept, then delete the source

// Moves a file or a folder tree to `target`, the full path the entry shall have. True when
// everything under the source reached the target and the source was removed. Failures are
// reported and set App().RunHadErrors; a cancelled duplicate dialog makes the result false only.
// A moved consist, stock or path file marks its cache out of date.
bool MoveEntry(const QString& source, const QString& target, int mode);

// Waits for the renames that moves handed to the rename thread (while renames are deferred) and
// deals with those that failed: a file held open or read-only moves step by step, any other
// failure is reported.
void FinishDeferredMoves();

// Renames, waiting a second at a time while access is refused; after each ten waits the user
// is asked whether to go on waiting. A failure is reported and sets App().RunHadErrors.
bool RenameWithWait(const QString& oldPath, const QString& newPath);

// True when no entry under the folder has the read-only, hidden, system or volume-label
// attribute; each entry that has one is reported. Linked folders are not gone into.
bool CheckAttributes(const QString& folder);

// The decimal text of an error number.
QString ErrorNumberText(int number);

// The program-wide exchange with the duplicate-file dialog.
inline TPathSet& PathSet() {
    return App().PathSet;
}

} // namespace qv
