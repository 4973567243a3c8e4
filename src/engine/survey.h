// The first phase of a store or unstore job: from the marks of the main tree it collects into the
// job's work lists everything that must be in the MSTS folder after the job (routes, activities,
// services, paths, consists, engines and wagons, fixed objects), follows the dependencies between
// them, checks what it finds, reports every problem in the information pane and lists the items in
// error. It moves nothing; it changes only the caches it reads through and the marks of the tree
// nodes it brings into use.
#pragma once

namespace qv {

class StringList;

// The work lists, each holding paths relative to a root folder: A route files, B activities,
// C services, D paths, E consist file names, F stock folders and G stock files (both below
// TRAINS\TRAINSET), H items missing or in error. B to H must be sorted lists that ignore
// duplicates. True when at least one error was found; warnings alone leave it false. The busy
// flag stays set for the caller to clear.
bool Survey(bool unstore, bool partialRoute, bool defaultRoutes, StringList& H, StringList& G,
            StringList& F, StringList& E, StringList& D, StringList& C, StringList& B,
            StringList& A, bool allStock, bool allConsists);

} // namespace qv
