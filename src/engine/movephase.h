// The second phase of a store or unstore job: given the work lists the survey filled, make the
// MSTS folder hold exactly the routes, activities, services, paths, consists and engines and
// wagons they name (what is not named goes to the store, what is named and stored comes back),
// then record the new state in the settings and install the chosen TSECTION.DAT.
#pragma once

#include <QString>

namespace qv {

struct WorkLists;

// Moves file by file through MoveEntry in rename mode; no failure stops the phase, each one
// (a cancelled duplicate too) is left in App().RunHadErrors (cleared here at the start). Of the
// lists the survey filled it uses A route files, B activities, C services, D paths, E consist file
// names and G engines and wagons; their entries were checked to lie inside their folders when the
// survey listed them. An unstore with all stock moves no engine or wagon out, and an engine or
// wagon of a fixed folder or a fixed file never goes out. An empty tsectionFile installs nothing.
void Move(bool unstore, const QString& tsectionFile, const WorkLists& lists, bool allStock,
          bool allConsists);

} // namespace qv
