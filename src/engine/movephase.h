// The second phase of a store or unstore job: given the work lists the survey filled, make the
// MSTS folder hold exactly the routes, activities, services, paths, consists and engines and
// wagons they name (what is not named goes to the store, what is named and stored comes back),
// then record the new state in the settings and install the chosen TSECTION.DAT.
#pragma once

#include <QString>

namespace qv {

class StringList;

// Moves file by file through MoveEntry in rename mode; no failure stops the phase, each one is
// reported by the move itself and left in App().RunHadErrors (cleared here at the start). The
// lists hold paths relative to a root: A route files, B activities, C services, D paths
// (ROUTES\<route>\...), E consist file names, G engines and wagons below TRAINS\TRAINSET.
// An unstore with all stock moves no engine or wagon out. An empty tsectionFile installs nothing.
void Move(bool unstore, const QString& tsectionFile, const StringList& G, const StringList& E,
          const StringList& D, const StringList& C, const StringList& B, const StringList& A,
          bool allStock, bool allConsists);

} // namespace qv
