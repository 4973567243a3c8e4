// Whole store and unstore jobs, headless, on synthetic installations: the MSTS folder ends holding
// what the selection needs, no file is ever lost or duplicated whatever fails or wherever the job
// is killed, the error list is written on every run, and the user decides after survey errors.
#include "engine/storeunstoreproc.h"

#include "core/filemoveops.h"
#include "core/regsettings.h"
#include "engine/surveytestkit.h"
#include "engine/worklists.h"
#include "movetestkit.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

namespace qv {
namespace {

// The folders of these jobs are made in memory (the base made first makes them there).
class StoreUnstoreTest : private TempFoldersInMemory, public SurveyTestKit {
protected:
    StoreUnstoreTest() {
        Restore();
        SetFileMoveOps(&ops);
    }
    ~StoreUnstoreTest() override { SetFileMoveOps(nullptr); }

    // Route ALPHA: a1 drives s1 (FREIGHT on up) with traffic running s2 (PAX on down); a2 is
    // stored with its service s3 (PAX on its stored path side). Route BETA: b1 drives b1 (BOXES
    // on b). Stock and a consist that nothing uses (SPARE, IDLE.CON).
    void BuildInstallation() {
        AddFixedObjects();
        builder.AddEngine("DASH9", "DASH9.ENG", "DASH9", EngineType::Diesel);
        builder.AddEngine("GP38", "GP38.ENG", "GP38", EngineType::Diesel);
        builder.AddEngine("SPARE", "SPARE.ENG", "SPARE", EngineType::Electric);
        builder.AddWagon("BOX", "BOX.WAG", "BOX", WagonType::Freight);
        builder.AddWagon("COACH", "COACH.WAG", "COACH", WagonType::Passenger);
        builder.AddWagon("TANK", "TANK.WAG", "TANK", WagonType::Freight, Into::Store);
        builder.AddConsist("FREIGHT.CON", "FREIGHT", {{"DASH9", "DASH9", true}, {"BOX", "BOX"}});
        builder.AddConsist("PAX.CON", "PAX", {{"GP38", "GP38", true}, {"COACH", "COACH"}});
        builder.AddConsist("BOXES.CON", "BOXES", {{"DASH9", "DASH9", true}, {"BOX", "BOX"}});
        builder.AddConsist("IDLE.CON", "IDLE", {{"SPARE", "SPARE", true}});
        builder.AddConsist("TANKS.CON", "TANKS", {{"GP38", "GP38", true}, {"TANK", "TANK"}},
                           Into::Store);
        builder.AddRoute("ALPHA", "Alpha Line", "A");
        builder.AddPath("ALPHA", "up.pat", "up", "Here", "There");
        builder.AddPath("ALPHA", "down.pat", "down", "There", "Here");
        builder.AddPath("ALPHA", "side.pat", "side", "Yard", "Here", true, Into::Store);
        builder.AddService("ALPHA", "s1.srv", "s1", "FREIGHT", "up");
        builder.AddService("ALPHA", "s2.srv", "s2", "PAX", "down");
        builder.AddService("ALPHA", "s3.srv", "s3", "TANKS", "side", Into::Store);
        builder.AddTraffic("ALPHA", "t1.trf", "t1", {"s2.srv"});
        builder.AddActivity("ALPHA", "a1.act", "Morning", "s1.srv", "t1.trf");
        builder.AddActivity("ALPHA", "a2.act", "Tanks", "s3.srv", QString(), {}, Into::Store);
        builder.AddRoute("BETA", "Beta Line", "B");
        builder.AddPath("BETA", "b.pat", "b", "X", "Y");
        builder.AddService("BETA", "b1.srv", "b1", "BOXES", "b");
        builder.AddActivity("BETA", "b1.act", "Beta Run", "b1.srv", QString());
    }

    // The job every safety test runs: BETA goes to the store, ALPHA's stored a2 comes back.
    void MarkJob() {
        Mark(RouteNode("BETA"), SI_IN_STORE);
        Mark(ActivityNode("a2.act"), SI_IN_USE);
    }
    bool RunStore() { return StoreUnstore(false, false, false, false, false, false, QString()); }

    QString MstsHost() const { return drive.Host("MSTS"); }
    QString StoreHost() const { return drive.Host("STORE"); }
    QStringList InMsts() const { return PathsBelow(MstsHost()); }
    QStringList InStore() const { return PathsBelow(StoreHost()); }
    QStringList Both() const { return ContentOfBoth(MstsHost(), StoreHost()); }
    QByteArray ErrorList() const { return drive.Content("STORE/QVDATA/ERRORS.QVC"); }

    JobOps ops;
};

TEST_F(StoreUnstoreTest, StoreUnstore_StoresWhatTheSelectionDoesNotNeedAndUnstoresItBack) {
    BuildInstallation();
    const QStringList original = InMsts();
    const QStringList before = Both();
    drive.MakeFile("STORE/QVDATA/ERRORS.QVC", "OLD.con\r\n"); // a job without errors empties it
    LoadTree();
    MarkJob();

    ASSERT_TRUE(RunStore()) << PaneText().toStdString();
    EXPECT_FALSE(App().RunHadErrors) << PaneText().toStdString();
    const QStringList msts = InMsts();
    for (const char* needed :
         {"routes/alpha/a.trk", "routes/alpha/activities/a2.act", "routes/alpha/services/s3.srv",
          "routes/alpha/paths/side.pat", "trains/consists/tanks.con",
          "trains/trainset/tank/tank.wag", "trains/trainset/default/default.wag",
          "trains/trainset/dash9/dash9.eng"})
        EXPECT_TRUE(msts.contains(QString::fromLatin1(needed))) << needed;
    // BETA keeps its folder but for its route file and what only it used; unused stock goes.
    EXPECT_EQ(Text(InStore()),
              Text(QStringList({"routes/beta/activities/b1.act", "routes/beta/b.trk",
                                "routes/beta/paths/b.pat", "routes/beta/services/b1.srv",
                                "trains/consists/boxes.con", "trains/consists/idle.con",
                                "trains/trainset/spare/spare.eng"})));
    EXPECT_EQ(Text(Both()), Text(before));
    EXPECT_EQ(RegReadString(kProductKey, "Everything Unstored"), "false");
    EXPECT_EQ(RegReadString(kProductKey, "Selected Unstored"), "");
    EXPECT_EQ(ErrorList(), "");
    EXPECT_TRUE(App().ErrorsFileWritten);
    EXPECT_FALSE(App().Busy);

    ops.Reset();
    ASSERT_TRUE(RunStore());
    EXPECT_EQ(ops.renames, 0) << "the same job again moves nothing";

    // Unstoring both routes with every consist and engine and wagon brings back all there was.
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_USE);
    ASSERT_TRUE(StoreUnstore(true, false, false, true, true, false, QString()))
        << PaneText().toStdString();
    QStringList expected = original;
    for (const char* stored : {"routes/alpha/activities/a2.act", "routes/alpha/services/s3.srv",
                               "routes/alpha/paths/side.pat", "trains/consists/tanks.con",
                               "trains/trainset/tank/tank.wag"})
        expected << QString::fromLatin1(stored);
    expected.sort();
    EXPECT_EQ(Text(InMsts()), Text(expected));
    EXPECT_TRUE(InStore().isEmpty()) << InStore().join(' ').toStdString();
    EXPECT_EQ(Text(Both()), Text(before));
    EXPECT_EQ(RegReadString(kProductKey, "Selected Unstored"), "2");
    EXPECT_TRUE(ui.FileMoves().empty());
}

// One store job with a fault at one file operation, or killed from one operation on, for every
// operation of the job: nothing is lost, damaged or doubled, and running the same job again
// ends exactly where an undisturbed job ends. Once with the files moved step by step, once with
// most of them renamed in one step each.
TEST_F(StoreUnstoreTest, StoreUnstore_AFaultOrAKillAnywhereLosesNothingAndTheRerunConverges) {
    QStringList before, finalMsts, finalStore;
    const auto fresh = [&] {
        QDir(MstsHost()).removeRecursively();
        QDir(StoreHost()).removeRecursively();
        RestartProgram();
        builder = MstsBuilder(MstsHost(), StoreHost());
        BuildInstallation();
        before = Both();
        LoadTree();
        MarkJob();
    };
    AtEveryOperation(
        ops, 40, fresh, [&] { return RunStore(); },
        [&] {
            finalMsts = InMsts();
            finalStore = InStore();
        },
        // The tree keeps the user's marks: the same job runs again.
        [&](const std::string& at) {
            ASSERT_EQ(Text(Both()), Text(before)) << at;
            ASSERT_TRUE(RunStore()) << at;
            EXPECT_FALSE(App().RunHadErrors) << at << PaneText().toStdString();
            ASSERT_EQ(Text(InMsts()), Text(finalMsts)) << at;
            ASSERT_EQ(Text(InStore()), Text(finalStore)) << at;
        });
    EXPECT_TRUE(ui.FileMoves().empty()) << "a rerun never meets a duplicate";
}

TEST_F(StoreUnstoreTest, StoreUnstore_AfterSurveyErrorsTheUserDecidesAndTheErrorListIsWritten) {
    BuildInstallation();
    builder.AddService("ALPHA", "s2.srv", "s2", "GHOST", "down"); // a consist that is nowhere
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);
    const QStringList msts = InMsts();

    // No to the question: nothing moves, but the analysis and the error list show the survey.
    ui.Expect(Caption(Msg::SURVEY_ERRORS), ID_NO);
    EXPECT_FALSE(RunStore());
    EXPECT_EQ(ui.Mismatches(), QStringList());
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown()[0].style, MB_YESNO | MB_ICONQUESTION);
    EXPECT_FALSE(ui.Shown()[0].text.contains(Caption(Msg::EASY_ERRORS)));
    EXPECT_EQ(ErrorList(), "GHOST.con\r\n") << ErrorList().toStdString();
    EXPECT_TRUE(PaneText().contains(Caption(Msg::TREE_HEADING_ERROR_ANALYSIS)));
    EXPECT_EQ(Text(InMsts()), Text(msts));
    EXPECT_FALSE(App().Busy);

    // From the Easy page the question points to the Classic page's pane; Yes moves.
    easy.mainPage = 0;
    ui.Clear();
    ui.Expect(Caption(Msg::EASY_ERRORS), ID_YES);
    EXPECT_TRUE(RunStore());
    EXPECT_EQ(ui.Mismatches(), QStringList());
    EXPECT_TRUE(InStore().contains("routes/beta/b.trk"));

    // A silent job shows neither analysis nor question and moves nothing.
    Mark(RouteNode("BETA"), SI_IN_USE);
    ClearReport(main.InformationMemo());
    ui.Clear();
    const QStringList stored = InStore();
    EXPECT_FALSE(StoreUnstore(false, false, false, false, false, true, QString()));
    EXPECT_TRUE(ui.Shown().empty());
    EXPECT_FALSE(PaneText().contains(Caption(Msg::TREE_HEADING_ERROR_ANALYSIS)));
    EXPECT_EQ(Text(InStore()), Text(stored));
    EXPECT_EQ(ErrorList(), "GHOST.con\r\n");

    // "Suppress Move Errors": no question, the job moves.
    WriteFlag(true, "Suppress Move Errors");
    EXPECT_TRUE(RunStore());
    EXPECT_TRUE(ui.Shown().empty());
    EXPECT_FALSE(InStore().contains("routes/beta/b.trk"));
}

TEST_F(StoreUnstoreTest, StoreUnstore_SuppressWhereUsedAnalysisLeavesOutOnlyTheAnalysis) {
    BuildInstallation();
    builder.AddService("ALPHA", "s2.srv", "s2", "GHOST", "down"); // a consist that is nowhere
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);
    for (const bool suppress : {false, true}) {
        SCOPED_TRACE(suppress ? "suppressed" : "shown");
        WriteFlag(suppress, "Suppress Where Used Analysis");
        ClearReport(main.InformationMemo());
        ui.Clear();
        drive.MakeFile("STORE/QVDATA/ERRORS.QVC", "OLD.con\r\n");
        ui.Expect(Caption(Msg::SURVEY_ERRORS), ID_NO);
        EXPECT_FALSE(RunStore());
        EXPECT_EQ(PaneText().contains(Caption(Msg::TREE_HEADING_ERROR_ANALYSIS)), !suppress);
        EXPECT_EQ(PaneText().contains(Caption(Msg::WHERE_USED_TAG)), !suppress);
        EXPECT_TRUE(PaneText().contains("GHOST", Qt::CaseInsensitive)) << "the survey still tells";
        EXPECT_EQ(ErrorList(), "GHOST.con\r\n");
        EXPECT_EQ(ui.Mismatches(), QStringList());
    }
}

// Content that names files outside its folders: a wagon folder, a service's consist and path, an
// activity's player service, loose stock and player path, each leading out by "..\", a drive,
// a share or the root. With the store one folder deeper than the MSTS folder, the same relative
// name means two different outside files, so a move would really carry one across.
TEST_F(StoreUnstoreTest,
       StoreUnstore_NamesLeadingOutOfTheirFoldersAreReportedAndNothingOutsideMoves) {
    App().StoreRootFolder = QStringLiteral("C:\\DEEP\\STORE");
    builder = MstsBuilder(MstsHost(), drive.Host("DEEP/STORE"));
    BuildInstallation();
    builder.AddConsist("EVIL.CON", "EVIL",
                       {{"DASH9", "DASH9", true}, {"..\\..\\..\\OUT", "EVIL.wag"}});
    builder.AddService("ALPHA", "s2.srv", "s2", "EVIL", "down"); // a1's traffic runs it
    builder.AddService("ALPHA", "s5.srv", "s5", "C:\\OUT\\X", "..\\..\\..\\..\\OUT\\p");
    ActivityPlan plan;
    plan.route = "ALPHA";
    plan.file = "a9.act";
    plan.name = "Outside";
    plan.playerService = "s5.srv";
    plan.pathId = "\\\\server\\share\\p";
    plan.looseConsists = {{"Loose", {{"Z:\\OUT", "EVIL.wag"}}}};
    builder.AddActivity(plan);
    builder.AddActivity("ALPHA", "a10.act", "Escape", "..\\..\\..\\..\\OUT\\x.srv", QString());
    drive.MakeFile("DEEP/OUT/EVIL.wag", "stored evil");
    drive.MakeFile("OUT/X.con", "outside consist");
    drive.MakeFile("OUT/p.pat", "outside path");
    const QMap<QString, QByteArray> outsideBefore = FilesBelow(drive.Host("OUT"));
    const QMap<QString, QByteArray> deepOutBefore = FilesBelow(drive.Host("DEEP/OUT"));
    ops.paths.clear();
    LoadTree();
    Mark(RouteNode("BETA"), SI_IN_STORE);

    ui.Expect(Caption(Msg::SURVEY_ERRORS), ID_YES);
    EXPECT_TRUE(RunStore());
    EXPECT_EQ(ui.Mismatches(), QStringList());

    // Each bad name is reported as an error together with the file that gives it.
    const QString pane = PaneText();
    const QString bad = QString(Caption(Msg::INVALID_FILENAME));
    EXPECT_EQ(int(pane.count(bad)), 6) << pane.toStdString();
    for (const char* named :
         {"..\\..\\..\\OUT\\EVIL.wag", "C:\\OUT\\X.con", "..\\..\\..\\..\\OUT\\p.pat",
          "\\\\server\\share\\p", "Z:\\OUT\\EVIL.wag", "..\\..\\..\\..\\OUT\\x.srv"})
        EXPECT_TRUE(pane.contains(QString::fromLatin1(named), Qt::CaseInsensitive)) << named;
    for (const char* namer : {"EVIL.CON", "s5.srv", "a9.act", "a10.act"})
        EXPECT_TRUE(pane.contains(QString::fromLatin1(namer), Qt::CaseInsensitive)) << namer;

    // Outside files are where they were, untouched; no move even looked outside the folders.
    EXPECT_EQ(FilesBelow(drive.Host("OUT")), outsideBefore);
    EXPECT_EQ(FilesBelow(drive.Host("DEEP/OUT")), deepOutBefore);
    ASSERT_FALSE(ops.paths.isEmpty());
    for (const QString& path : ops.paths) {
        const bool inMsts = path.startsWith("C:\\MSTS\\", Qt::CaseInsensitive) &&
                            !EntryInside(QString(), path.mid(8)).isEmpty();
        const bool inStore = path.startsWith("C:\\DEEP\\STORE\\", Qt::CaseInsensitive) &&
                             !EntryInside(QString(), path.mid(14)).isEmpty();
        EXPECT_TRUE(inMsts || inStore) << path.toStdString();
    }
    // The sound part of the job still ran.
    EXPECT_TRUE(PathsBelow(drive.Host("DEEP/STORE")).contains("routes/beta/b.trk"));
    EXPECT_TRUE(PathsBelow(MstsHost()).contains("trains/consists/evil.con"));
}

// A route folder beside BETA whose name differs only in letter case, in the root BETA is in when
// the job runs: the survey names both before anything moves, and a job the user lets go on
// anyway leaves the twin as it was and loses nothing.
TEST_F(StoreUnstoreTest, StoreUnstore_RouteFoldersAlikeButForLetterCaseAreReportedFirst) {
    for (const bool unstore : {false, true}) {
        SCOPED_TRACE(unstore ? "unstore, twins in the store" : "store, twins in the MSTS folder");
        QDir(MstsHost()).removeRecursively();
        QDir(StoreHost()).removeRecursively();
        RestartProgram();
        builder = MstsBuilder(MstsHost(), StoreHost());
        BuildInstallation();
        if (unstore) {
            LoadTree();
            Mark(RouteNode("BETA"), SI_IN_STORE);
            ASSERT_TRUE(RunStore());
        }
        const Into where = unstore ? Into::Store : Into::Msts;
        const QString routes = builder.HostPath("Routes\\BETA", where);
        ASSERT_TRUE(QDir().mkpath(routes + "/../Beta"));
        ASSERT_TRUE(QFile::copy(routes + "/B.trk", routes + "/../Beta/twin.trk"));
        const QStringList before = Both();
        LoadTree();
        Mark(RouteNode("BETA"), unstore ? SI_IN_USE : SI_IN_STORE);
        const auto run = [&] {
            return StoreUnstore(unstore, false, false, false, false, false, QString());
        };

        ClearReport(main.InformationMemo());
        ui.Clear();
        ui.Expect(Caption(Msg::SURVEY_ERRORS), ID_NO);
        EXPECT_FALSE(run());
        EXPECT_EQ(ui.Mismatches(), QStringList());
        const QString root = unstore ? "C:\\STORE\\" : "C:\\MSTS\\";
        // The message says which of them the job leaves, and the analysis has nothing to add.
        EXPECT_TRUE(PaneText().contains(root + "Routes\\Beta' stays where it is"))
            << PaneText().toStdString();
        EXPECT_TRUE(PaneText().contains("Folder: '" + root + "Routes\\BETA'"))
            << PaneText().toStdString();
        EXPECT_FALSE(PaneText().contains(Caption(Msg::TREE_HEADING_ERROR_ANALYSIS)));
        EXPECT_EQ(ErrorList().toLower(), "routes\\beta\r\n");
        EXPECT_EQ(Text(Both()), Text(before));

        ui.Clear();
        ui.Expect(Caption(Msg::SURVEY_ERRORS), ID_YES);
        EXPECT_TRUE(run());
        EXPECT_EQ(ui.Mismatches(), QStringList());
        EXPECT_EQ(Text(Both()), Text(before));
        EXPECT_TRUE(QFileInfo(routes + "/../Beta/twin.trk").isFile());
    }
}

TEST_F(StoreUnstoreTest, LoadErrorMarks_AddsTheConsistsOfListedStockOnceAfterAJobWroteTheList) {
    BuildInstallation();
    LoadTree(); // the consist cache names the consists
    StringList errors = StringList::SortedUnique();
    errors.Add("DASH9\\DASH9.ENG");
    errors.Add("Ghost.con");
    ASSERT_TRUE(WriteErrorList(errors));

    // Until a job writes the list, it is read as it stands.
    StringList lines;
    LoadErrorMarks(lines);
    EXPECT_EQ(lines.Strings(), QStringList({"DASH9\\DASH9.ENG", "Ghost.con"}));
    EXPECT_FALSE(App().ConsistCacheStale);

    App().ErrorsFileWritten = true;
    LoadErrorMarks(lines);
    LoadErrorMarks(lines);
    QStringList expected{"DASH9\\DASH9.ENG", "Ghost.con", "BOXES.CON", "FREIGHT.CON"};
    EXPECT_EQ(lines.Strings(), expected);
    EXPECT_TRUE(App().ConsistCacheStale && App().StockCacheStale && App().PathCacheStale);
    EXPECT_EQ(ErrorList(), expected.join("\r\n").toUtf8() + "\r\n");

    WriteFlag(true, "Suppress Error Highlighting");
    LoadErrorMarks(lines);
    EXPECT_TRUE(lines.IsEmpty());
}

} // namespace
} // namespace qv
