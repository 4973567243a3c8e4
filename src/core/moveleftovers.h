// What a move, copy or write that was cut short (the program ended in its midst) leaves in the
// MSTS folder and the store: a file kept aside while a move replaced it, and temporary copies and
// writes, all hidden beside their targets. The next start settles them.
#pragma once

#include <QString>

namespace qv {

class ReportPane;

// The path beside `path` under which the file there is kept aside while a move replaces it (or
// a copy is made that is to take its place): hidden, ending in ".tmp" so that no MSTS mask
// takes it, and carrying the name it stands for, so that it can be put back.
QString KeptAsidePath(const QString& path);

// Settles the left-overs in the store and in the MSTS folders that moves and writes go to, in
// the folders inside the two only: a file kept aside whose place is empty is put back, one whose
// place is filled (in any letter case) is removed when its name is exactly as the program made
// it, and temporary copies and writes of the program's own making are removed. Any other hidden
// ".qv-" file is kept. The pane says what was done and what was kept; a left-over that cannot be
// settled is reported as an error.
void SettleMoveLeftovers(ReportPane* pane);

} // namespace qv
