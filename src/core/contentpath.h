// The one place where a name taken from a content file (a vehicle in a consist, a route's picture,
// a path or service named by an activity, a shape or texture named by a stock file, ...) becomes a
// path. Content comes from strangers' downloads: a name such as "..\..\OUT", "C:\WINDOWS", "\X"
// or "CON" must never make the program read, move or write anything outside the MSTS folder and
// the store, so every reader, mover and writer joins such names to their folder here.
#pragma once

#include <QString>

namespace qv {

class ReportPane;
struct ItemSet;

// The entry ("\" or "/" between its parts, relative to the folder its list lies in) with "." and
// ".." resolved, judged by its text alone. Empty when it cannot name a file below `base` (a folder
// relative to the same place; empty for the list's own folder): empty itself, absolute, a drive
// or a share (also when joined to `base`: "<base>\\\\server\\share"), a ".." that climbs above the
// list's folder, a part made of dots and spaces only (which Windows would shorten to ".."), a
// Windows device name (CON, NUL, COM1, LPT1, ..., with or without an extension), or a path that
// ends outside `base`.
QString EntryInside(const QString& base, const QString& entry);

// `name`, taken from a content file, below `folder` (relative to a root, as "TRAINS\TRAINSET";
// empty for the root itself): "<folder>\<name>" resolved, or empty when it would lead elsewhere.
QString NameInside(const QString& folder, const QString& name);

// The full path of `name` below `folder` of `root` (the MSTS folder or the store, which this
// program knows, never a content file): "<root>\<folder>\<name>" resolved, or empty when the name
// would lead outside the folder.
QString ContentPath(const QString& root, const QString& folder, const QString& name);

// "<root>\<inside>", for a name that NameInside resolved already (to be joined to both roots,
// say).
QString InRoot(const QString& root, const QString& inside);

// ContentPath that reports a refused name as an error in the pane (a message box without one),
// naming `namingFile`, the file that holds it.
QString CheckedContentPath(const QString& root, const QString& folder, const QString& name,
                           const QString& namingFile, ReportPane* pane);

// The report of a name refused: the name and the file that holds it (relative to its root, or
// as the user knows it).
QString RefusedNameText(const QString& name, const QString& namingFile);

// The report of a file not found: the file and the file that needs it (when given), as for a
// refused name.
QString MissingFileText(const QString& file, const QString& namingFile);

// Reports a refused name as an error in the pane (a message box without one).
void ReportRefusedName(const QString& name, const QString& namingFile, ReportPane* pane);

// The entry resolved when it lies inside `base`; otherwise empty, after reporting it as an error in
// the pane together with the file that names it (when given).
QString CheckedEntry(const QString& base, const QString& entry, const ItemSet* namedBy,
                     ReportPane* pane);

} // namespace qv
