// The files an engine or wagon depends on beyond itself: the sound and cab-view files it names, and
// the files that those name in turn. Most lie in the item's own SOUND and CABVIEW folders; a
// reference that climbs out with "..\" may lead into another stock folder, which the item then
// borrows from (an alias). The three readers here find both kinds, for the suggested aliases of the
// fixed-objects dialog and for the information report of a stock item.
#pragma once

#include <QString>

namespace qv {

class StringList;

// The common arguments: `root` holds the file read, which is given relative to it; `otherRoot` is
// the other of the MSTS folder and the store; a referenced file counts as existing when it exists
// under either. An alias is added to `aliases` as the referenced file's folder below
// TRAINS\TRAINSET ("OTHERLOCO\CABVIEW") when `folderPaths` is set, else as the other stock
// folder's name alone ("OTHERLOCO"). A referenced file that exists nowhere is reported as an error
// into the main window's information pane. A file that cannot be opened is passed over; all three
// return true.

// Reads an engine or wagon (TRAINS\TRAINSET\<folder>\<file>). Its Sound and CabView files that
// exist in its own folder go to `ownFiles`, as TRAINS\TRAINSET\<folder>\Sound\<name> or
// ...\CabView\<name>; a missing own file is not reported here.
bool ReadStockDependencies(const QString& root, const QString& stockFile, const QString& otherRoot,
                           StringList& ownFiles, StringList& aliases, bool folderPaths);

// Reads a cab-view file for the graphics and files it borrows from other stock folders.
bool ReadCabViewDependencies(const QString& root, const QString& cabViewFile,
                             const QString& otherRoot, StringList& aliases, bool folderPaths);

// Reads a sound file for the samples it borrows from other stock folders. Unless `strict` ("Strict
// SMS Checking"), a missing sample whose name MSTS's own SOUND folder holds is not reported.
bool ReadSoundDependencies(const QString& root, const QString& soundFile, const QString& otherRoot,
                           StringList& aliases, bool strict, bool folderPaths);

} // namespace qv
