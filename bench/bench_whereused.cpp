// The whole-content where-used report ("Where Used (Complete)") on a large generated installation
// at two sizes, N and 2N: how its time grows with the size of the content (it must stay close to
// linear), and how it compares with a cold rebuild of the stock, consist and path caches of the
// same installation. Everything is measured side by side in one run and printed as ratios.
#include "benchdrive.h"
#include "catalogue/cacherebuild.h"
#include "core/appstate.h"
#include "core/reportpane.h"
#include "engine/usedincommon.h"
#include "engine/whereusedreport.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "platform/drivemap.h"
#include "platform/winresolve.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace qv;

namespace {

// The folder the installations are built in: memory-backed when the machine has /dev/shm, else
// beside the benchmark, never the slow temporary folder.
LargeCounts CountsOfSize(int half) {
    LargeCounts counts;
    counts.engines = 2000 * half;
    counts.wagons = 8000 * half;
    counts.consists = 4000 * half;
    counts.paths = 5000 * half;
    counts.routes = 150 * half;
    counts.activities = 1500 * half;
    counts.storeEvery = 10; // a tenth of every kind lies in the store
    return counts;
}

struct SizeRun {
    double rebuildMs = 0;
    double whereUsedMs = 0;
    int lines = 0;
};

double RebuildCachesMs() {
    ClearFolderCache();
    RecordList<ItemSet> stock, consists, paths;
    QElapsedTimer timer;
    timer.start();
    RebuildStockCache(stock, false, nullptr);
    RebuildConsistCache(consists, false, nullptr);
    RebuildPathCache(paths, false, nullptr);
    return timer.nsecsElapsed() / 1e6;
}

// The best of five runs of the complete report, so that a disturbed run or two (a busy
// machine slows one by a fifth or more) do not decide.
double WhereUsedMs(int* lines) {
    double best = 0;
    for (int run = 0; run < 5; ++run) {
        ClearFolderCache();
        ReportPane pane;
        QElapsedTimer timer;
        timer.start();
        WhereUsedAll(WU_COMPLETE, &pane);
        const double ms = timer.nsecsElapsed() / 1e6;
        best = run == 0 ? ms : std::min(best, ms);
        *lines = pane.LineCount();
    }
    return best;
}

bool RunSize(int half, SizeRun* out) {
    QTemporaryDir work(WorkBase() + QStringLiteral("/quarvel-bench-XXXXXX"));
    if (!MapBenchDrive(work))
        return false;

    const LargeCounts counts = CountsOfSize(half);
    QElapsedTimer building;
    building.start();
    BuildLarge(work.path() + QStringLiteral("/MSTS"), counts,
               work.path() + QStringLiteral("/STORE"));
    std::printf("%s: %d engines and wagons, %d consists, %d paths, %d routes, %d activities "
                "(built in %.1f s below %s)\n",
                half == 1 ? "N " : "2N", counts.engines + counts.wagons, counts.consists,
                counts.paths, counts.routes, counts.activities, building.elapsed() / 1000.0,
                qPrintable(WorkBase()));

    out->rebuildMs = RebuildCachesMs();
    out->whereUsedMs = WhereUsedMs(&out->lines);
    std::printf("    cold cache rebuild %.0f ms; where used (complete) %.0f ms, %d report lines; "
                "where used / cold rebuild = %.2f\n",
                out->rebuildMs, out->whereUsedMs, out->lines, out->whereUsedMs / out->rebuildMs);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    RegistrySandbox registry;
    SizeRun single;
    SizeRun twice;
    if (!RunSize(1, &single) || !RunSize(2, &twice))
        return 1;
    const double growth = twice.whereUsedMs / single.whereUsedMs;
    std::printf("where used: time(2N) / time(N) = %.2f (target at most 2.3: %s)\n", growth,
                growth <= 2.3 ? "met" : "MISSED");
    std::printf("where used / cold cache rebuild = %.2f at N, %.2f at 2N\n",
                single.whereUsedMs / single.rebuildMs, twice.whereUsedMs / twice.rebuildMs);
    return 0;
}
