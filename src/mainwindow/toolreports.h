// The reports that the Tools menu and the item menus write into the information pane: how many
// routes, activities, services, paths, consists, engines and wagons the MSTS folder and the store
// hold, the check for files and folders whose attributes would break a move, and where one item
// is used.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace qv {

struct ItemSet;
class ReportPane;

// The content of one root folder, counted by file names.
struct StatisticsCounts {
    std::int32_t routes = 0;
    std::int32_t activities = 0;
    std::int32_t services = 0;
    std::int32_t paths = 0;
    std::int32_t consists = 0;
    std::int32_t engines = 0;
    std::int32_t wagons = 0;
};

// Counts the root's route files, the activities, services and paths of its routes, its consists
// and the engines and wagons of its stock folders. Missing folders count 0.
void StatisticsReport(StatisticsCounts& counts, const QString& root);

// The count with the user's thousands separators, at least one digit, padded on the left with
// blanks to 11 characters.
QString StatisticsNumberText(std::int32_t count);

// The Statistics report: the pane is emptied, the MSTS folder counted and its section written,
// `repaint` called so that the user sees it while the store is counted, then the store's section
// and the totals; the whole report in a fixed-pitch font.
void WriteStatistics(ReportPane* pane, const std::function<void()>& repaint);

// Checks the MSTS folder and, only when it passes, the store for read-only, system or hidden
// files and folders; each one found is reported into the information pane, and a stop box warns
// once. True when none was found.
bool CheckInstallationAttributes();

// The item's information report, then the where-used analysis of it below. A path is looked up by
// its folder and file name, since path names repeat between routes; any other item by its file.
void WhereUsedItem(const ItemSet& item, ReportPane* pane);

} // namespace qv
