// The start-up's look-up of the outside tools on Wine prefixes made to be costly (variables made
// of themselves, a huge program-files folder, a megabyte of names): the look-up against merely
// reading and parsing the prefix's system.reg, side by side in one run, each the quickest of
// three; with the size of our hive afterwards and the process's peak memory so far.
// QUARVEL_BENCH_DIVIDE=N makes every prefix N times smaller.
#include "benchdrive.h"
#include "core/appstate.h"
#include "core/toolpaths.h"
#include "fixtures/procself.h"
#include "fixtures/registrysandbox.h"
#include "platform/registryformat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace qv;

namespace {

QByteArray WineKey(const QByteArray& path, const QByteArray& values) {
    return "[" + path + "] 1733700000\n#time=1db49f2a1b2c3d4\n" + values + "\n";
}

QByteArray SystemReg(const QByteArray& keys) {
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n" + keys;
}

const QByteArray kAppPaths = "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\";
const QByteArray kSession =
    "System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment";

// How many times a piece of `size` bytes fits in `bytes`, at least once.
int Times(qsizetype bytes, qsizetype size) {
    return int(std::max<qsizetype>(1, bytes / BenchDivide() / size));
}

struct Prefix {
    const char* what;
    QByteArray systemReg;
};

std::vector<Prefix> Prefixes() {
    const qsizetype mb = 1024 * 1024;
    const QByteArray wordpad = kAppPaths + "wordpad.exe";
    return {
        {"A = %A% x 4,000 (12 KB)",
         SystemReg(WineKey(wordpad, "@=str(2):\"%A%\\\\wordpad.exe\"") +
                   WineKey(kSession, "\"A\"=str(2):\"" +
                                         QByteArray("%A%").repeated(Times(12000, 3)) + "\""))},
        {"A = %A% x 330,000 (1 MB)",
         SystemReg(WineKey(wordpad, "@=str(2):\"%A%\\\\wordpad.exe\"") +
                   WineKey(kSession,
                           "\"A\"=str(2):\"" + QByteArray("%A%").repeated(Times(mb, 3)) + "\""))},
        {"ProgramFilesDir of 142 KB",
         SystemReg(WineKey(kAppPaths + "RDMgr.exe", "@=str(2):\"%ProgramFiles%\\\\RDMgr.exe\"") +
                   WineKey("Software\\\\Microsoft\\\\Windows\\\\CurrentVersion",
                           "\"ProgramFilesDir\"=\"C:\\\\" +
                               QByteArray("p").repeated(Times(142 * 1024, 1)) + "\""))},
        {"App Paths of 1 MB of one empty name",
         SystemReg(
             WineKey(wordpad, "@=str(2):\"" + QByteArray("%E%").repeated(Times(mb, 3)) + "\"") +
             WineKey(kSession, "\"E\"=\"\""))},
        {"App Paths of 1 MB of names none has",
         [&] {
             QByteArray names;
             for (int i = 0; names.size() < mb / BenchDivide(); ++i)
                 names += "%N" + QByteArray::number(i) + "%";
             return SystemReg(WineKey(wordpad, "@=str(2):\"" + names + "\""));
         }()},
    };
}

double BestMs(int rounds, const std::function<void()>& job) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        job();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("%-40s %9s %10s %8s %10s %12s\n", "prefix", "size KB", "look-up ms", "ratio",
                "hive bytes", "peak MB");
    for (const Prefix& prefix : Prefixes()) {
        const double parseMs = BestMs(3, [&] {
            RegNode root;
            ParseWineRegistry(prefix.systemReg, &root);
        });
        qint64 hiveBytes = 0;
        const double lookupMs = BestMs(3, [&] {
            RegistrySandbox sandbox;
            ResetAppState();
            sandbox.MakeWinePrefix(prefix.systemReg, "WINE REGISTRY Version 2\n");
            DiscoverOutsideTools();
            hiveBytes = sandbox.ReadHive(HKEY_LOCAL_MACHINE).size();
        });
        std::printf("%-40s %9lld %10.1f %8.1f %10lld %12.0f\n", prefix.what,
                    (long long)(prefix.systemReg.size() / 1024), lookupMs, lookupMs / parseMs,
                    (long long)hiveBytes, double(test::PeakMemoryKb()) / 1024.0);
        std::fflush(stdout);
    }
    return 0;
}
