#include "mainwindow/toolreports.h"

#include "catalogue/routefolders.h"
#include "core/appstate.h"
#include "core/filefind.h"
#include "core/filemove.h"
#include "core/generaldefs.h"
#include "core/itemset.h"
#include "core/report.h"
#include "core/reportpane.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "engine/usedincommon.h"
#include "mainwindow/iteminfo.h"

#include <QLocale>

namespace qv {

namespace {

QString CountLine(Msg label, std::int32_t count, const QString& indent) {
    return indent + Caption(label) + QStringLiteral(":\t") + StatisticsNumberText(count);
}

void WriteSection(ReportPane* pane, Msg title, const StatisticsCounts& counts) {
    const QString twoTabs = QStringLiteral("\t\t");
    pane->AddBoldLine(QLatin1Char('\t') + Caption(title));
    pane->AddLine(CountLine(Msg::TREE_HEADING_ROUTES, counts.routes, twoTabs));
    pane->AddLine(CountLine(Msg::TREE_HEADING_ACTIVITIES, counts.activities, twoTabs));
    pane->AddLine(CountLine(Msg::TREE_HEADING_SERVICES, counts.services, twoTabs));
    pane->AddLine(CountLine(Msg::TREE_HEADING_PATHS, counts.paths, twoTabs));
    pane->AddLine(CountLine(Msg::TREE_HEADING_CONSISTS, counts.consists, twoTabs));
    pane->AddLine(twoTabs + Caption(Msg::TREE_HEADING_STOCK_ITEMS) + QLatin1Char(':'));
    const QString stockIndent = twoTabs + QStringLiteral("    ");
    pane->AddLine(CountLine(Msg::TREE_HEADING_ENGINES, counts.engines, stockIndent));
    pane->AddLine(CountLine(Msg::TREE_HEADING_WAGONS, counts.wagons, stockIndent));
    pane->AddLine(CountLine(Msg::TREE_HEADING_TOTAL, counts.engines + counts.wagons, stockIndent));
}

} // namespace

void StatisticsReport(StatisticsCounts& counts, const QString& root) {
    const QString routesFolder = root + QStringLiteral("\\Routes");
    counts.routes = CountFiles(routesFolder, QStringLiteral(".TRK"), 1);
    counts.activities = 0;
    counts.services = 0;
    counts.paths = 0;
    StringList routes = StringList::SortedUnique();
    ListRouteFolders(routes, root, QString());
    for (int i = 0; i < routes.Count(); ++i) {
        const QString route = routesFolder + QLatin1Char('\\') + routes[i];
        counts.activities +=
            CountFiles(route + QStringLiteral("\\Activities"), QStringLiteral(".ACT"), 0);
        counts.services +=
            CountFiles(route + QStringLiteral("\\Services"), QStringLiteral(".SRV"), 0);
        counts.paths += CountFiles(route + QStringLiteral("\\Paths"), QStringLiteral(".PAT"), 0);
    }
    counts.consists =
        CountFiles(root + QStringLiteral("\\TRAINS\\CONSISTS"), QStringLiteral(".CON"), 0);
    counts.engines = 0;
    counts.wagons = 0;
    const QString trainset = root + QStringLiteral("\\TRAINS\\TRAINSET");
    StringList folders;
    FindFiles(folders, trainset, true, QString(), QStringLiteral("*.*"));
    for (int i = 0; i < folders.Count(); ++i) {
        const QString folder = trainset + QLatin1Char('\\') + folders[i];
        counts.wagons += CountFiles(folder, QStringLiteral(".WAG"), 0);
        counts.engines += CountFiles(folder, QStringLiteral(".ENG"), 0);
    }
}

QString StatisticsNumberText(std::int32_t count) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(count).rightJustified(11, QLatin1Char(' '));
}

void WriteStatistics(ReportPane* pane, const std::function<void()>& repaint) {
    ClearReport(pane);
    if (repaint)
        repaint();
    StatusGuard status(QStringLiteral("STATS"));
    StatisticsCounts msts;
    StatisticsReport(msts, App().MstsRootFolder);
    WriteReportHeading(Caption(Msg::TREE_HEADING_STATISTICS), pane);
    WriteSection(pane, Msg::TREE_HEADING_IN_USE, msts);
    pane->AddLine(QString());
    // The store can be large: the user sees the first section while it is counted.
    if (repaint)
        repaint();
    StatisticsCounts store;
    StatisticsReport(store, App().StoreRootFolder);
    WriteSection(pane, Msg::TREE_HEADING_IN_STORE, store);
    pane->AddLine(QString());
    StatisticsCounts totals;
    totals.routes = msts.routes + store.routes;
    totals.activities = msts.activities + store.activities;
    totals.services = msts.services + store.services;
    totals.paths = msts.paths + store.paths;
    totals.consists = msts.consists + store.consists;
    totals.engines = msts.engines + store.engines;
    totals.wagons = msts.wagons + store.wagons;
    WriteSection(pane, Msg::TREE_HEADING_TOTALS, totals);
    // The columns line up only in a fixed-pitch font.
    pane->SetFixedPitch(true);
}

bool CheckInstallationAttributes() {
    StatusGuard status(QStringLiteral("ATTR"));
    const bool clean =
        CheckAttributes(App().MstsRootFolder) && CheckAttributes(App().StoreRootFolder);
    if (!clean)
        Report(RL_ERROR, nullptr, Caption(Msg::CHECKATTR_ERROR3), nullptr);
    return clean;
}

void WhereUsedItem(const ItemSet& item, ReportPane* pane) {
    StringList items = StringList::SortedUnique();
    items.Add(item.PType & (PT_EXPLORE_PATH | PT_MAINT_PATH)
                  ? item.Folder + QLatin1Char('\\') + item.FileName
                  : item.FileName);
    ShowItemInfo(item, pane);
    SetBusy(true);
    WhereUsed(pane, items, WU_COMPLETE);
    SetBusy(false);
}

} // namespace qv
