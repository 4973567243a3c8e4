// A store job and its reverse on a large generated installation: the time of the move phase
// against renaming the very same files with a plain rename(2) loop on their host paths, measured
// side by side in one run. The ratio is what the move phase costs per file beyond the rename
// itself (listing what to move, finding each file without regard to case, checking the target,
// making folders, status texts), less what of it overlaps the renames, which are made on a
// thread of their own.
// The survey of each job is compared with its floor, measured in the same run: every folder of
// both roots listed once (names only), and each file the survey parses (its activities, services,
// paths and consists, and the caches it opens) read and decoded once, all on one thread. The
// survey itself reads folders and files ahead on the worker threads.
#include "benchdrive.h"
#include "catalogue/cacherebuild.h"
#include "catalogue/itemtreelist.h"
#include "core/appstate.h"
#include "core/filemoveops.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "engine/fixedobjects.h"
#include "engine/movephase.h"
#include "engine/survey.h"
#include "engine/worklists.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "platform/drivemap.h"
#include "platform/mstsfile.h"
#include "platform/winresolve.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <mutex>
#include <utility>
#include <vector>

using namespace qv;

namespace {

// Memory-backed when the machine has /dev/shm, so that the disk does not decide the numbers.
// The default operations, remembering every rename that succeeded (Windows-form paths).
class RecordingOps : public FileMoveOps {
public:
    bool Rename(const QString& from, const QString& to, int* error) override {
        if (!FileMoveOps::Rename(from, to, error))
            return false;
        renames.emplace_back(from, to);
        return true;
    }
    ListedRename RenameListed(const QString& from, const QString& to, QString* renamedTo,
                              int* error) override {
        QString target;
        const ListedRename done = FileMoveOps::RenameListed(from, to, &target, error);
        if (done == ListedRename::Renamed)
            renames.emplace_back(from, target);
        if (renamedTo)
            *renamedTo = target;
        return done;
    }
    std::vector<std::pair<QString, QString>> renames;
};

struct JobTimes {
    int files = 0;
    double surveyMs = 0;
    double moveMs = 0;
    double renameLoopMs = 0;
    // The survey's floor: its folders listed, its files read and decoded, each once.
    double floorMs = 0;
    int floorFolders = 0;
    int floorFiles = 0;
    qint64 surveyFilesRead = 0; // MSTS files the survey itself read
};

// Lists the host folder and every folder below it (a link is not followed), names only, each
// folder once: what no survey can spare. Returns the folders listed.
int ListTree(const QByteArray& folder, QStringList* names) {
    DIR* dir = opendir(folder.constData());
    if (!dir)
        return 0;
    int listed = 1;
    std::vector<QByteArray> below;
    while (const dirent* entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        names->append(QFile::decodeName(name));
        if (entry->d_type == DT_DIR)
            below.push_back(folder + '/' + name);
    }
    closedir(dir);
    for (const QByteArray& sub : below)
        listed += ListTree(sub, names);
    return listed;
}

// The host paths of the files the survey read (each once; a Windows-form path found through the
// drive map) and of the caches it opened.
std::vector<QByteArray> FilesTheSurveyParses(const QStringList& read) {
    QStringList paths = read;
    for (const char* cache : {"CACHESTK.QVC", "CACHECON.QVC", "CACHESCN.QVC", "CACHEPAT.QVC"})
        paths << App().StoreRootFolder + QStringLiteral("\\QVDATA\\") + QLatin1String(cache);
    std::vector<QByteArray> files;
    for (const QString& path : paths) {
        QString host = path;
        if (!path.startsWith(u'/') && !ResolvePath(path, &host))
            continue;
        files.push_back(QFile::encodeName(host));
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

// Times the survey's floor into `times`: both roots listed, then each file read and decoded.
void MeasureFloor(const QStringList& read, JobTimes* times) {
    const std::vector<QByteArray> files = FilesTheSurveyParses(read);
    QString mstsHost, storeHost;
    ResolvePath(App().MstsRootFolder, &mstsHost);
    ResolvePath(App().StoreRootFolder, &storeHost);
    QElapsedTimer timer;
    timer.start();
    QStringList names;
    times->floorFolders = ListTree(QFile::encodeName(mstsHost), &names) +
                          ListTree(QFile::encodeName(storeHost), &names);
    qint64 units = 0;
    for (const QByteArray& file : files) {
        QString text;
        if (ReadMstsTextHostFile(QFile::decodeName(file), &text))
            units += text.size();
    }
    times->floorMs = timer.nsecsElapsed() / 1e6;
    times->floorFiles = int(files.size());
}

// Survey and move phase of one job, as the engine driver runs them, each timed.
JobTimes RunJob(RecordingOps& ops) {
    // The last job's renames are let go of before this one's survey: memory let go of just
    // before the move phase would be sorted out by the allocator during it, at its cost.
    ops.renames.clear();
    WorkLists lists;
    JobTimes times;
    ClearFolderCache();
    QStringList read;
    std::mutex reading;
    RecordMstsFilesRead([&](const QString& path) {
        const std::lock_guard<std::mutex> lock(reading);
        read << path;
    });
    QElapsedTimer timer;
    timer.start();
    Survey(false, false, false, lists, false, false);
    times.surveyMs = timer.nsecsElapsed() / 1e6;
    RecordMstsFilesRead(nullptr);
    times.surveyFilesRead = read.size();
    SetBusy(false);
    // Before the move phase, which takes the files elsewhere.
    MeasureFloor(read, &times);
    timer.restart();
    Move(false, QString(), lists, false, false);
    times.moveMs = timer.nsecsElapsed() / 1e6;
    times.files = int(ops.renames.size());
    return times;
}

// The host paths of the renames the job made, as (where the file is now, where it came from).
std::vector<std::pair<QByteArray, QByteArray>> HostPairs(const RecordingOps& ops) {
    std::vector<std::pair<QByteArray, QByteArray>> pairs;
    for (const auto& [from, to] : ops.renames) {
        QString now;
        ResolvedPath before;
        if (ResolvePath(to, &now) && ResolvePathForCreate(from, &before))
            pairs.emplace_back(QFile::encodeName(now), QFile::encodeName(before.host));
    }
    return pairs;
}

// Renames the same files back and forth with plain rename(2), leaving them where the job put
// them; the time of one pass.
double RenameLoopMs(const std::vector<std::pair<QByteArray, QByteArray>>& pairs) {
    QElapsedTimer timer;
    timer.start();
    for (const auto& [now, before] : pairs)
        std::rename(now.constData(), before.constData());
    const double backMs = timer.nsecsElapsed() / 1e6;
    timer.restart();
    for (const auto& [now, before] : pairs)
        std::rename(before.constData(), now.constData());
    const double forthMs = timer.nsecsElapsed() / 1e6;
    ClearFolderCache();
    return (backMs + forthMs) / 2;
}

// Every second route of the tree gets the state (2 store, 1 back in use).
void MarkEverySecondRoute(ItemTree& tree, int state) {
    int index = 0;
    for (ItemNode* node = tree.First(); node; node = node->GetNext()) {
        const std::uint32_t kind = node->Data()->PType;
        if ((kind & PT_ROUTE) && !(kind & PT_HEADING) && index++ % 2 == 0)
            SetRouteNodeState(node, state);
    }
}

double Ratio(const JobTimes& t) {
    return t.moveMs / std::max(0.001, t.renameLoopMs);
}

double SurveyRatio(const JobTimes& t) {
    return t.surveyMs / std::max(0.001, t.floorMs);
}

// The survey against its floor, by the round of median ratio.
void PrintSurvey(std::vector<JobTimes> rounds, const char* name) {
    std::sort(rounds.begin(), rounds.end(),
              [](const JobTimes& a, const JobTimes& b) { return SurveyRatio(a) < SurveyRatio(b); });
    const JobTimes& t = rounds[rounds.size() / 2];
    const double ratio = SurveyRatio(t);
    std::printf("%s: survey %.0f ms (%lld MSTS files read); floor %.0f ms (%d folders listed, "
                "%d files read and decoded); survey / floor = %.2f, median of %zu rounds "
                "(%.2f-%.2f) (target at most 2: %s)\n",
                name, t.surveyMs, static_cast<long long>(t.surveyFilesRead), t.floorMs,
                t.floorFolders, t.floorFiles, ratio, rounds.size(), SurveyRatio(rounds.front()),
                SurveyRatio(rounds.back()), ratio <= 2 ? "met" : "MISSED");
}

// The round of median ratio stands for the job; the range shows how much the rounds spread.
JobTimes Median(std::vector<JobTimes> rounds, const char* name) {
    std::sort(rounds.begin(), rounds.end(),
              [](const JobTimes& a, const JobTimes& b) { return Ratio(a) < Ratio(b); });
    const JobTimes& t = rounds[rounds.size() / 2];
    const double ratio = Ratio(t);
    std::printf("%s: %d files moved; survey %.0f ms; move phase %.0f ms (%.1f us a file); "
                "plain rename loop %.1f ms; move phase / rename loop = %.2f, median of %zu "
                "rounds (%.2f-%.2f) (target at most 1.5: %s)\n",
                name, t.files, t.surveyMs, t.moveMs, 1000 * t.moveMs / std::max(1, t.files),
                t.renameLoopMs, ratio, rounds.size(), Ratio(rounds.front()), Ratio(rounds.back()),
                ratio <= 1.5 ? "met" : "MISSED");
    return t;
}

// Builds an installation of `scale` times the base counts and runs a store job and its reverse
// on it; false when the work folder cannot be made.
bool RunOnce(int scale, bool tell, JobTimes* store, JobTimes* reverse) {
    QTemporaryDir work(WorkBase() + QStringLiteral("/quarvel-bench-XXXXXX"));
    if (!MapBenchDrive(work))
        return false;

    LargeCounts counts;
    counts.engines = 1000;
    counts.wagons = 4000;
    counts.consists = 2000;
    counts.paths = 2500;
    counts.routes = 80;
    counts.activities = 800;
    counts.storeEvery = 10; // a tenth of every kind lies in the store
    for (int* count : {&counts.engines, &counts.wagons, &counts.consists, &counts.paths,
                       &counts.routes, &counts.activities})
        *count = std::max(1, *count * scale / BenchDivide());
    QElapsedTimer building;
    building.start();
    MstsBuilder builder(work.path() + QStringLiteral("/MSTS"),
                        work.path() + QStringLiteral("/STORE"));
    builder.BuildLarge(counts);
    builder.AddDefaultWagon();
    EnsureDefaultExclusions();
    if (tell)
        std::printf("%dx: %d engines and wagons, %d consists, %d paths, %d routes, %d activities "
                    "(built in %.1f s below %s)\n",
                    scale, counts.engines + counts.wagons, counts.consists, counts.paths,
                    counts.routes, counts.activities, building.elapsed() / 1000.0,
                    qPrintable(WorkBase()));

    // The caches and the main tree as the start-up leaves them.
    RecordList<ItemSet> stock, consists, items;
    RebuildStockCache(stock, false, nullptr);
    RebuildConsistCache(consists, false, nullptr);
    BuildItemTree(items, TREE_PAGE_SIMULATION, true, true);
    ItemTree tree;
    FillTreeFromItemList(tree, items);
    HeadlessMainServices main;
    main.SetQuarvelObjects(&tree);
    SetMainServices(&main);
    RecordingOps ops;
    SetFileMoveOps(&ops);

    MarkEverySecondRoute(tree, SI_IN_STORE);
    *store = RunJob(ops);
    store->renameLoopMs = RenameLoopMs(HostPairs(ops));
    MarkEverySecondRoute(tree, SI_IN_USE);
    *reverse = RunJob(ops);
    reverse->renameLoopMs = RenameLoopMs(HostPairs(ops));

    SetFileMoveOps(nullptr);
    SetMainServices(nullptr);
    ClearFolderCache();
    return true;
}

// Each round on an installation of its own, as the first job found it (a second store job on
// the same one moves less), so that one slow moment of a busy machine does not decide the figure.
bool RunAtScale(int scale, JobTimes* store, JobTimes* reverse) {
    // QUARVEL_BENCH_ROUNDS=N for a profiling run that counts instructions.
    const int kRounds = qEnvironmentVariableIsSet("QUARVEL_BENCH_ROUNDS")
                            ? std::max(1, qEnvironmentVariableIntValue("QUARVEL_BENCH_ROUNDS"))
                            : 5;
    std::vector<JobTimes> stores(kRounds), reverses(kRounds);
    for (int round = 0; round < kRounds; ++round)
        if (!RunOnce(scale, round == 0, &stores[round], &reverses[round]))
            return false;
    *store = Median(stores, "store job   ");
    *reverse = Median(reverses, "reverse job ");
    PrintSurvey(stores, "store job   ");
    PrintSurvey(reverses, "reverse job ");
    return true;
}

double MicrosecondsAFile(const JobTimes& t) {
    return 1000 * t.moveMs / std::max(1, t.files);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    RegistrySandbox registry;
    // The move phase's cost a file must stay flat as the collection grows.
    const int scales[] = {1, 2, 4};
    JobTimes store[3], reverse[3];
    for (int i = 0; i < 3; ++i)
        if (!RunAtScale(scales[i], &store[i], &reverse[i]))
            return 1;
    for (int i = 1; i < 3; ++i)
        std::printf("%dx against 1x, move phase cost a file: store %.2f, reverse %.2f (flat: "
                    "1.00)\n",
                    scales[i], MicrosecondsAFile(store[i]) / MicrosecondsAFile(store[0]),
                    MicrosecondsAFile(reverse[i]) / MicrosecondsAFile(reverse[0]));
    return 0;
}
