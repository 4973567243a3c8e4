// The first phase of a store or unstore job: from the marks of the main tree it collects into the
// job's work lists everything that must be in the MSTS folder after the job (routes, activities,
// services, paths, consists, engines and wagons, fixed objects), follows the dependencies between
// them, checks what it finds, reports every problem in the information pane and lists the items in
// error. It moves nothing; it changes only the caches it reads through and the marks of the tree
// nodes it brings into use.
#pragma once

namespace qv {

struct WorkLists;

// Fills the work lists (B to H sorted lists that ignore duplicates, as WorkLists makes them).
// Every entry taken from a file lies inside its folder: a name that would lead outside is
// reported as an error with the file that names it and is not listed. True when at least one
// error was found; warnings alone leave it false. The busy flag stays set for the caller to clear;
// the hourglass shows while the survey runs.
bool Survey(bool unstore, bool partialRoute, bool defaultRoutes, WorkLists& lists, bool allStock,
            bool allConsists);

} // namespace qv
