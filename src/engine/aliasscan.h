// The alias scan: which trainset folders other stock borrows files from. Engines and wagons name
// sound and cab-view files, and those name samples and graphics, with "..\" references into other
// stock folders; such folders must stay in the MSTS folder or the borrowing stock breaks, so the
// fixed-objects dialog offers them as fixed folders.
#pragma once

namespace qv {

class StringList;

// Adds the names of the stock folders that stock of the MSTS folder or of the store borrows from
// to `result` (a sorted list that ignores duplicates is meant). Clears the information pane first;
// references that lead nowhere are reported there.
void ScanAliasTargets(StringList& result);

} // namespace qv
