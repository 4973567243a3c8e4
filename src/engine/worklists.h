// The work lists of one store or unstore job, which the survey fills and the move phase carries
// out; every entry taken from a content file is kept inside its folder by core/contentpath.
#pragma once

#include "core/contentpath.h"
#include "core/stringlist.h"

#include <QString>

namespace qv {

class ReportPane;
struct ItemSet;

// Each entry is a path relative to a root folder (the MSTS folder and the store have the same
// layout): A route files, B activities, C services, D paths, E consist file names (below
// TRAINS\CONSISTS), F stock folders and G stock files (both below TRAINS\TRAINSET), H items missing
// or in error. A keeps the routes in the order the survey finds them; the others are sorted lists
// that hold each entry once.
struct WorkLists {
    StringList A;
    StringList B = StringList::SortedUnique();
    StringList C = StringList::SortedUnique();
    StringList D = StringList::SortedUnique();
    StringList E = StringList::SortedUnique();
    StringList F = StringList::SortedUnique();
    StringList G = StringList::SortedUnique();
    StringList H = StringList::SortedUnique();
};

// Adds the entry, resolved, to the list when it lies inside `base`, and returns true. Otherwise
// reports it as an error in the pane, naming the file that names it (when given), and returns
// false: a bad reference is never read or moved.
bool AddEntryInside(StringList& list, const QString& base, const QString& entry,
                    const ItemSet* namedBy, ReportPane* pane);

// The file that names an entry, for the report: its folder and file name relative to a root.
ItemSet NamingFile(const QString& relativePath);

} // namespace qv
