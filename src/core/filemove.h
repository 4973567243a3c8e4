// Moving files and folder trees between the MSTS folder and the store: the one move operation
// every job uses, with its waits for files held open, its handling of targets that exist, its
// reports into the information pane, and the attribute check a user can run before a job.
#pragma once

#include "core/appstate.h"

#include <QString>
#include <QStringList>

namespace qv {

// Move modes.
constexpr int MOVE_RENAME = 1; // source and target on one drive
constexpr int MOVE_COPY = 4;   // copy with the file times kept, then delete the source

// Moves a file or a folder tree to `target`, the full path the entry shall have. True when
// everything under the source reached the target and the source was removed. Failures are
// reported and set App().RunHadErrors; a cancelled duplicate dialog makes the result false only.
// A moved consist, stock or path file marks its cache out of date.
bool MoveEntry(const QString& source, const QString& target, int mode);

// MoveEntry of a file that follows, in its folder, a name alike but for letter case that the same
// job moves first: a second file, which MSTS cannot tell from the first (content from two
// downloads). When it meets a file at its target (the first, or what stands in its place), it
// stays where it is and is named, never settled against it; the run counts as failed.
bool MoveLaterSpelling(const QString& source, const QString& target, int mode);

// While one lives, the moves judge the links on their way with what they found remembered, and
// report each link once: a job moves thousands of files through a few hundred folders. MoveEntry
// makes one for itself when none lives.
class MoveLinkScope {
public:
    MoveLinkScope();
    ~MoveLinkScope();
    MoveLinkScope(const MoveLinkScope&) = delete;
    MoveLinkScope& operator=(const MoveLinkScope&) = delete;

private:
    bool own_ = false;
};

// True when the entry stays where it is since a folder on the way of `source` or `target` is a
// link that leads out of the MSTS folder and the store (a stock folder shared with another
// installation): nothing is taken from such a place or put into it. The link is reported once in
// the pane: as a warning when the entry stays in the MSTS folder (as a fixed object does), else as
// an error that counts against the run. Every move asks it; a job asks it first of the files it
// would take out, which then stay without failing.
bool StaysForLink(const QString& source, const QString& target);

// `folder` and `twin` stand side by side, alike but for letter case, and both are to go: while
// the MoveLinkScope lives, a file of either that meets a file at its target is not settled
// against it, but stays and is named in the pane (also once the other has gone whole).
void NoteTwinFolder(const QString& folder, const QString& twin);

// The paths of the files in the folder of `path` whose names are its name in any letter case
// (twins, which MSTS cannot tell apart), the one spelled as given first; `path` alone when the
// folder holds none of them (its move then reports it).
QStringList SpellingsOf(const QString& path);

// MoveEntry of the file and of each of its twins (SpellingsOf; only the file when `mayBeTwinned`
// is false, the caller knowing that there is none), each under its own name: every other one
// meets the first at the target, a second file MSTS cannot tell from it, and stays where it is,
// named. True when the first reached the target (the item is there); one that did not go
// (reported by its move, or cancelled by the user) sets App().RunHadErrors.
bool MoveEverySpelling(const QString& source, const QString& target, int mode, bool mayBeTwinned);

// Waits for the renames that moves handed to the rename thread (while renames are deferred) and
// deals with those that failed: a file held open or read-only moves step by step, any other
// failure is reported.
void FinishDeferredMoves();

// Renames, waiting a second at a time while the entry is in use; after each ten waits the user
// is asked whether to go on waiting. A refusal of permission is no wait: like any other failure
// it is reported at once and sets App().RunHadErrors.
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
