// The where-used report: the sorted results of the where-used analysis as plain text in a report
// pane, one block per item with its users grouped by kind, or only the items that nothing uses,
// or only those that something uses; and the whole-content report of the Reports menu.
#pragma once

#include "engine/usedinindex.h"

#include <QString>

namespace qv {

class ReportPane;

// The report body of sorted results (one header, Kind 0, before each item's hits) in a mode of
// WhereUsed: 0 complete, 1 unused items only, 2 used items only.
QString FormatWhereUsedReport(const UsedInList& results, int mode);
// The block of one item: users is the text of its user groups, empty when nothing uses it.
QString WhereUsedItemHeading(const QString& item, const QString& users, int mode);
// Appends the mode's heading, an empty line and the body to the pane, below what it holds.
void WriteWhereUsedReport(ReportPane* pane, const UsedInList& results, int mode);

// Clears the pane and reports on every service and path of every route of both roots and every
// engine, wagon and consist of the caches; confirms completion when "Confirm Completion" is set.
void WhereUsedAll(int mode, ReportPane* pane);

} // namespace qv
