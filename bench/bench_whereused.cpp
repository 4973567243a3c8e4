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
#include <memory>

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
    std::unique_ptr<QTemporaryDir> work;
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

// One run of the complete report on the installation mapped now.
double WhereUsedMs(int* lines) {
    ClearFolderCache();
    ReportPane pane;
    QElapsedTimer timer;
    timer.start();
    WhereUsedAll(WU_COMPLETE, &pane);
    const double ms = timer.nsecsElapsed() / 1e6;
    *lines = pane.LineCount();
    return ms;
}

// Builds the installation of a size and rebuilds its caches, as a user's first start would.
bool BuildSize(int half, SizeRun* out) {
    out->work =
        std::make_unique<QTemporaryDir>(WorkBase() + QStringLiteral("/quarvel-bench-XXXXXX"));
    if (!MapBenchDrive(*out->work))
        return false;

    const LargeCounts counts = CountsOfSize(half);
    QElapsedTimer building;
    building.start();
    BuildLarge(out->work->path() + QStringLiteral("/MSTS"), counts,
               out->work->path() + QStringLiteral("/STORE"));
    std::printf("%s: %d engines and wagons, %d consists, %d paths, %d routes, %d activities "
                "(built in %.1f s below %s)\n",
                half == 1 ? "N " : "2N", counts.engines + counts.wagons, counts.consists,
                counts.paths, counts.routes, counts.activities, building.elapsed() / 1000.0,
                qPrintable(WorkBase()));
    out->rebuildMs = RebuildCachesMs();
    std::fflush(stdout);
    return true;
}

// The best of five runs at each size, the sizes taking turns, so that neither a disturbed run
// or two (a busy machine slows one by a fifth or more) nor a machine that grows busier or
// quieter while the benchmark runs decides the ratio.
void TimeWhereUsed(SizeRun* sizes, int count) {
    for (int round = 0; round < 5; ++round) {
        for (int i = 0; i < count; ++i) {
            UseBenchDrive(sizes[i].work->path());
            const double ms = WhereUsedMs(&sizes[i].lines);
            sizes[i].whereUsedMs = round == 0 ? ms : std::min(sizes[i].whereUsedMs, ms);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    RegistrySandbox registry;
    SizeRun sizes[2];
    if (!BuildSize(1, &sizes[0]) || !BuildSize(2, &sizes[1]))
        return 1;
    TimeWhereUsed(sizes, 2);
    for (const SizeRun& size : sizes) {
        std::printf("%s: cold cache rebuild %.0f ms; where used (complete) %.0f ms, %d report "
                    "lines; where used / cold rebuild = %.2f\n",
                    &size == &sizes[0] ? "N " : "2N", size.rebuildMs, size.whereUsedMs, size.lines,
                    size.whereUsedMs / size.rebuildMs);
    }
    const double growth = sizes[1].whereUsedMs / sizes[0].whereUsedMs;
    std::printf("where used: time(2N) / time(N) = %.2f (target at most 2.3: %s)\n", growth,
                growth <= 2.3 ? "met" : "MISSED");
    return 0;
}
