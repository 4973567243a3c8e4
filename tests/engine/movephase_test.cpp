// The move phase on hand-made work lists: the MSTS folder ends holding exactly what the lists
// name, .ASV files follow their activities by date, the settings record the new state, and no
// fault or crash at any file operation loses a file or keeps the next run from finishing.
#include "engine/fixedobjects.h"
#include "engine/movephase.h"
#include "engine/worklists.h"

#include "core/appstate.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/stringlist.h"
#include "fixtures/growth.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "movetestkit.h"
#include "platform/fakeui.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace qv {
namespace {

const QDateTime kNoon(QDate(2023, 5, 1), QTime(12, 0));

class MoveTest : public ::testing::Test {
protected:
    MoveTest() {
        memory.Restore();
        RestartProgram();
        SetUi(&ui);
        SetMainServices(&main);
        SetFileMoveOps(&ops);
    }
    ~MoveTest() override {
        SetFileMoveOps(nullptr);
        SetMainServices(nullptr);
        SetUi(nullptr);
        ResetAppState();
    }

    // A file whose content is its own path, dated at `time`.
    void Make(const QString& relative, const QDateTime& time = kNoon) {
        drive.MakeFile(relative, relative.toUtf8());
        QFile file(drive.Host(relative));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(time, QFileDevice::FileModificationTime);
    }

    // Two routes in use (Alpha in the MSTS folder, Gamma stored but for its folder), one not
    // (Beta), and the lists of a store job that keeps Alpha's first activity and Gamma's.
    void MakeInstallation() {
        const QString alpha = "MSTS/Routes/Alpha/";
        for (const QString& file :
             Words("alpha.trk Alpha.tdb ACTIVITIES/a1.act ACTIVITIES/a1.asv ACTIVITIES/a2.act "
                   "ACTIVITIES/A2.ASV SERVICES/s1.srv SERVICES/s2.srv PATHS/p1.pat PATHS/p2.pat"))
            Make(alpha + file);
        for (const QString& path :
             Words("MSTS/Routes/Beta/BETA.TRK MSTS/Routes/Beta/ACTIVITIES/b1.act "
                   "MSTS/Routes/Beta/PATHS/bp.pat MSTS/Routes/Beta/world/w1.w "
                   "MSTS/Routes/Gamma/gamma.tdb MSTS/Trains/Consists/c1.con "
                   "MSTS/Trains/Consists/c2.con MSTS/Trains/Trainset/Loco/loco.eng "
                   "MSTS/Trains/Trainset/Loco/loco.s MSTS/Trains/Trainset/Cars/car.wag "
                   "MSTS/Trains/Trainset/Cars/car2.wag STORE/Routes/Gamma/GAMMA.trk "
                   "STORE/Routes/Gamma/ACTIVITIES/g1.act STORE/Routes/Gamma/ACTIVITIES/g1.asv "
                   "STORE/Routes/Gamma/SERVICES/gs.srv STORE/Routes/Gamma/PATHS/gp.pat "
                   "STORE/TRAINS/CONSISTS/c3.con STORE/TRAINS/TRAINSET/Loco2/loco2.eng"))
            Make(path);
        for (const QString& folder : Words("ACTIVITIES SERVICES PATHS"))
            drive.MakeFolder("MSTS/Routes/Gamma/" + folder);
        A = StringList();
        A.Add("ROUTES\\ALPHA\\ALPHA.TRK");
        A.Add("Routes\\Gamma\\gamma.trk");
        Fill(B, "Routes\\Alpha\\ACTIVITIES\\a1.act Routes\\Gamma\\ACTIVITIES\\g1.act");
        Fill(C, "Routes\\Alpha\\SERVICES\\s1.srv Routes\\Gamma\\SERVICES\\gs.srv");
        Fill(D, "Routes\\Alpha\\PATHS\\p1.pat Routes\\Gamma\\PATHS\\gp.pat");
        Fill(E, "c1.con C3.CON");
        Fill(G, "Loco\\loco.eng Cars\\car.wag Loco2\\loco2.eng");
    }
    static QStringList Words(const char* text) {
        return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
    }
    static void Fill(StringList& list, const char* entries) {
        list = StringList::SortedUnique();
        for (const QString& entry : Words(entries))
            list.Add(entry);
    }
    void Wipe() {
        QDir(drive.Host("MSTS")).removeRecursively();
        QDir(drive.Host("STORE")).removeRecursively();
    }

    void RunMove(bool unstore = false, const QString& tsection = {}, bool allStock = false,
                 bool allConsists = false) {
        WorkLists lists;
        lists.A = A;
        lists.B = B;
        lists.C = C;
        lists.D = D;
        lists.E = E;
        lists.G = G;
        Move(unstore, tsection, lists, allStock, allConsists);
    }
    QStringList InMsts() const { return PathsBelow(drive.Host("MSTS")); }
    QStringList InStore() const { return PathsBelow(drive.Host("STORE")); }
    QStringList Both() const { return ContentOfBoth(drive.Host("MSTS"), drive.Host("STORE")); }
    QString Setting(const char* name) const {
        return RegReadString(kProductKey, QString::fromLatin1(name));
    }

    // Beta's route file goes alone: the rest of its folder stays; stored Gamma comes back whole.
    const QStringList expectedMsts = Words(
        "routes/alpha/activities/a1.act routes/alpha/activities/a1.asv routes/alpha/alpha.tdb "
        "routes/alpha/alpha.trk routes/alpha/paths/p1.pat routes/alpha/services/s1.srv "
        "routes/beta/world/w1.w routes/gamma/activities/g1.act routes/gamma/activities/g1.asv "
        "routes/gamma/gamma.tdb routes/gamma/gamma.trk routes/gamma/paths/gp.pat "
        "routes/gamma/services/gs.srv trains/consists/c1.con trains/consists/c3.con "
        "trains/trainset/cars/car.wag trains/trainset/loco/loco.eng trains/trainset/loco/loco.s "
        "trains/trainset/loco2/loco2.eng");
    const QStringList expectedStore = Words(
        "routes/alpha/activities/a2.act routes/alpha/activities/a2.asv routes/alpha/paths/p2.pat "
        "routes/alpha/services/s2.srv routes/beta/activities/b1.act routes/beta/beta.trk "
        "routes/beta/paths/bp.pat trains/consists/c2.con trains/trainset/cars/car2.wag");

    TempFoldersInMemory memory; // first: the folders below are made there
    RegistrySandbox registry;
    TempMsts drive;
    FakeUi ui;
    HeadlessMainServices main;
    JobOps ops;
    StringList A, B, C, D, E, G;
};

TEST_F(MoveTest, Move_LeavesInTheMstsFolderExactlyWhatTheListsNameAndASecondRunMovesNothing) {
    MakeInstallation();
    const QStringList before = Both();
    RunMove();
    EXPECT_EQ(Text(InMsts()), Text(expectedMsts));
    EXPECT_EQ(Text(InStore()), Text(expectedStore));
    EXPECT_EQ(Text(Both()), Text(before));
    EXPECT_FALSE(App().RunHadErrors);
    EXPECT_FALSE(App().Busy);
    EXPECT_TRUE(App().TreeSynchronised);
    EXPECT_EQ(Setting("Everything Unstored"), "false");
    EXPECT_EQ(Setting("Selected Unstored"), "");
    EXPECT_TRUE(ui.FileMoves().empty());

    ops.Reset();
    RunMove();
    EXPECT_EQ(ops.renames, 0);
    EXPECT_EQ(Text(InMsts()), Text(expectedMsts));
}

TEST_F(MoveTest, Move_BringsAnAsvFileInOnlyWithAnActivityNotNewerThanIt) {
    drive.MakeFolder("MSTS/Routes/R/ACTIVITIES");
    Make("MSTS/Routes/R/r.trk");
    Make("STORE/Routes/R/ACTIVITIES/same.act");
    Make("STORE/Routes/R/ACTIVITIES/same.asv"); // the same second
    Make("STORE/Routes/R/ACTIVITIES/old.act");
    Make("STORE/Routes/R/ACTIVITIES/old.asv", kNoon.addSecs(-60));
    Make("STORE/Routes/S/ACTIVITIES/lost.act"); // S has no ACTIVITIES folder in MSTS
    Make("STORE/Routes/S/ACTIVITIES/lost.asv");
    Make("MSTS/Routes/S/s.trk");
    A.Add("Routes\\R\\r.trk");
    A.Add("Routes\\S\\s.trk");
    Fill(B, "Routes\\R\\ACTIVITIES\\same.act Routes\\R\\ACTIVITIES\\old.act "
            "Routes\\S\\ACTIVITIES\\lost.act");
    RunMove();
    EXPECT_EQ(Text(InMsts()), Text(Words("routes/r/activities/old.act routes/r/activities/same.act "
                                         "routes/r/activities/same.asv routes/r/r.trk "
                                         "routes/s/s.trk")));
    EXPECT_EQ(Text(InStore()), Text(Words("routes/r/activities/old.asv "
                                          "routes/s/activities/lost.act "
                                          "routes/s/activities/lost.asv")));
    EXPECT_FALSE(App().RunHadErrors);
}

TEST_F(MoveTest, Move_UnstoreWithAllStockMovesNoEngineOrWagonOutAndRecordsWhatWasUnstored) {
    Make("MSTS/Routes/R/r.trk");
    Make("MSTS/Trains/Trainset/Keep/keep.eng");
    Make("STORE/TRAINS/TRAINSET/Back/back.wag");
    Make("STORE/TRAINS/TRAINSET/Back/back.eng");
    A.Add("Routes\\R\\r.trk");
    Fill(G, "Back\\back.wag Back\\back.eng");
    RunMove(true, {}, true, true);
    EXPECT_EQ(Text(InMsts()), Text(Words("routes/r/r.trk trains/trainset/back/back.eng "
                                         "trains/trainset/back/back.wag "
                                         "trains/trainset/keep/keep.eng")));
    EXPECT_EQ(Setting("Selected Unstored"), "2");
    RunMove(true, {}, false, true);
    EXPECT_EQ(Setting("Selected Unstored"), "1");
    EXPECT_EQ(Text(InStore()), Text(QStringList({"trains/trainset/keep/keep.eng"})));
    RunMove(true, {}, false, false);
    EXPECT_EQ(Setting("Selected Unstored"), "0");
    EXPECT_EQ(Setting("Everything Unstored"), "false");
}

TEST_F(MoveTest, Move_CountsAFailedTsectionInstallAsAMoveErrorAndInstallsNothingWithoutAName) {
    Make("MSTS/GLOBAL/TSECTION.DAT");
    RunMove(false, QString());
    EXPECT_FALSE(App().RunHadErrors);
    EXPECT_TRUE(ui.Shown().empty());
    RunMove(false, "C:\\STORE\\MISSING.DAT");
    EXPECT_TRUE(App().RunHadErrors);
    EXPECT_EQ(drive.Content("MSTS/GLOBAL/TSECTION.DAT"), "MSTS/GLOBAL/TSECTION.DAT");
}

TEST_F(MoveTest, Move_ACancelledDuplicateIsAMoveErrorAndLeavesBothFiles) {
    drive.MakeFile("MSTS/Trains/Consists/c.con", "in msts");
    drive.MakeFile("STORE/TRAINS/CONSISTS/c.con", "in store");
    Fill(E, "c.con");
    ui.ExpectConfirmFileMove(ID_CANCEL);
    RunMove();
    EXPECT_EQ(ui.FileMoves().size(), 1u);
    EXPECT_TRUE(App().RunHadErrors);
    EXPECT_EQ(drive.Content("MSTS/Trains/Consists/c.con"), "in msts");
    EXPECT_EQ(drive.Content("STORE/TRAINS/CONSISTS/c.con"), "in store");
}

TEST_F(MoveTest, Move_EnginesAndWagonsOfAFixedFolderStayWhatever) {
    RegWriteString(kExclusionFoldersKey, "0", "TRAINS\\TRAINSET\\Shared");
    RegWriteString(kExclusionFilesKey, "1", "TRAINS\\TRAINSET\\Other\\kept.wag");
    // Edited by hand to lead out of the trainset: protects nothing.
    RegWriteString(kExclusionFoldersKey, "2", "TRAINS\\TRAINSET\\..\\Gone");
    Make("MSTS/Trains/Trainset/Shared/a.wag");
    Make("MSTS/Trains/Trainset/Shared/b.eng");
    Make("MSTS/Trains/Trainset/Other/kept.wag");
    Make("MSTS/Trains/Trainset/Other/c.wag");
    Make("MSTS/Trains/Trainset/Gone/d.wag");
    RunMove();
    EXPECT_FALSE(App().RunHadErrors);
    EXPECT_EQ(Text(InMsts()), Text(Words("trains/trainset/other/kept.wag "
                                         "trains/trainset/shared/a.wag "
                                         "trains/trainset/shared/b.eng")));
}

// Content shared with another installation through linked folders: nothing is taken out of such
// a folder or put into it, and each link is named once in the pane.
TEST_F(MoveTest, Move_FoldersLinkedFromOutsideBothRootsKeepTheirFilesAndAreReportedOnce) {
    for (const char* file : {"Shared/Loco/a.eng", "Shared/Loco/b.wag", "Shared/Far/f.eng"})
        Make(file);
    // Real folders beside the links, judged just before them: a link beside a real folder is
    // judged for itself.
    Make("MSTS/Trains/Trainset/Aloco/a.eng");
    Make("STORE/TRAINS/TRAINSET/Afar/a.eng");
    for (const auto& [target, at] : {std::pair{"Shared/Loco", "MSTS/Trains/Trainset/Loco"},
                                     {"Shared/Far", "STORE/TRAINS/TRAINSET/Far"}}) {
        drive.MakeFolder(QString(at).section('/', 0, -2));
        ASSERT_TRUE(QFile::link(drive.Host(target), drive.Host(at)));
    }
    Fill(G, "Afar\\a.eng Far\\f.eng");
    const QStringList shared = PathsBelow(drive.Host("Shared"));
    RunMove();
    EXPECT_EQ(PathsBelow(drive.Host("Shared")), shared);
    EXPECT_TRUE(QFile::exists(drive.Host("STORE/TRAINS/TRAINSET/Aloco/a.eng")));
    EXPECT_TRUE(QFile::exists(drive.Host("MSTS/Trains/Trainset/Afar/a.eng")));
    EXPECT_TRUE(App().RunHadErrors) << "the named engine could not come in";
    const QStringList pane = main.InformationMemo()->Lines();
    for (const char* at : {"MSTS/Trains/Trainset/Loco", "STORE/TRAINS/TRAINSET/Far"})
        EXPECT_EQ(pane.filter("The folder '" + drive.Host(at) + "' is a link to").size(), 1) << at;
}

// Two names alike but for letter case in one folder (content from two downloads), of every kind
// the phase moves: going out of the MSTS folder (named in no list) or coming back from the store
// (named), the first goes and the second, meeting it at the target, is no older copy of it: it
// stays where it was, unasked whatever answer stands, is named in the pane, and the run says that
// not everything moved.
TEST_F(MoveTest, Move_OfTwinsAlikeButForLetterCaseInOneFolderTheSecondStaysAndIsNamed) {
    const struct {
        const char* lower; // relative to the MSTS folder and the store
        const char* upper;
        char list; // the list that names it
        const char* named;
    } kinds[] = {
        {"Routes/R/x.trk", "Routes/R/X.TRK", 'A', "Routes\\R\\x.trk"},
        {"Routes/R/ACTIVITIES/a.act", "Routes/R/ACTIVITIES/A.ACT", 'B',
         "Routes\\R\\ACTIVITIES\\a.act"},
        {"Routes/R/SERVICES/s.srv", "Routes/R/SERVICES/S.SRV", 'C', "Routes\\R\\SERVICES\\s.srv"},
        {"Routes/R/PATHS/p.pat", "Routes/R/PATHS/P.PAT", 'D', "Routes\\R\\PATHS\\p.pat"},
        {"Trains/Consists/c.con", "Trains/Consists/C.CON", 'E', "c.con"},
        {"Trains/Trainset/L/l.eng", "Trains/Trainset/L/L.ENG", 'G', "L\\l.eng"},
    };
    for (const auto& kind : kinds) {
        for (const bool in : {false, true}) {
            for (const int standing : {0, 1, 2}) {
                const std::string at = std::string(kind.lower) + (in ? " in" : " out") +
                                       ", standing answer " + std::to_string(standing);
                Wipe();
                RestartProgram();
                main.InformationMemo()->Clear();
                App().PathSet.DuplicateAnswer = standing;
                A = B = C = D = E = G = StringList::SortedUnique();
                A.Add("Routes\\R\\r.trk");
                Make("MSTS/Routes/R/r.trk");
                for (const char* folder : {"ACTIVITIES", "SERVICES", "PATHS"})
                    drive.MakeFolder(QString("MSTS/Routes/R/") + folder);
                const QString from = in ? "STORE/" : "MSTS/";
                drive.MakeFile(from + kind.lower, "lower");
                drive.MakeFile(from + kind.upper, "upper");
                StringList* lists[] = {&A, &B, &C, &D, &E, &G};
                if (in)
                    lists[QByteArray("ABCDEG").indexOf(kind.list)]->Add(kind.named);
                RunMove();
                EXPECT_TRUE(App().RunHadErrors) << at;
                const QStringList both = Both();
                EXPECT_EQ(both.filter(QString(kind.lower).toLower() + ' ').size(), 2) << Text(both);
                // One of the two went, the other stayed where it was.
                EXPECT_TRUE(InStore().contains(QString(kind.lower).toLower())) << at;
                EXPECT_TRUE(InMsts().contains(QString(kind.lower).toLower())) << at;
                const QString pane = main.InformationMemo()->Lines().join('\n');
                EXPECT_EQ(pane.count("stays where it is"), 1) << at << qPrintable(pane);
            }
        }
    }
    // Three stored spellings, the list naming one or none of them, an older copy in the MSTS
    // folder or none: the first is met as the Part's duplicate is, every other one stays.
    for (const char* named : {"c.con", "C.con"}) {
        for (const bool older : {false, true}) {
            Wipe();
            RestartProgram();
            A = B = C = D = E = G = StringList::SortedUnique();
            for (const char* name : {"c.con", "C.CON", "c.CON"})
                drive.MakeFile(QString("STORE/Trains/Consists/") + name, name);
            if (older)
                drive.MakeFile("MSTS/TRAINS/CONSISTS/c.con", "older");
            E.Add(named);
            if (older)
                ui.ExpectConfirmFileMove(ID_YES); // replace the older copy
            RunMove();
            EXPECT_TRUE(App().RunHadErrors) << named;
            EXPECT_EQ(drive.NamesIn("MSTS/TRAINS/CONSISTS").size(), 1) << named;
            EXPECT_EQ(drive.NamesIn("STORE/Trains/Consists").size(), 2) << named;
            EXPECT_EQ(ui.PendingExpectations(), 0) << named;
        }
    }
    EXPECT_TRUE(ui.Mismatches().isEmpty());
}

// A fault at one operation, or a crash from one operation on, at every operation of the job in
// turn: every file is still whole in one of the two folders, and running the job again ends
// where an undisturbed run ends (an .ASV file cut off from its activity included). Once with the
// files moved step by step, once with most of them renamed in one step each.
TEST_F(MoveTest, Move_AFaultOrACrashAtAnyFileOperationLosesNothingAndTheNextRunConverges) {
    const auto fresh = [&] {
        Wipe();
        RestartProgram();
        MakeInstallation();
    };
    fresh();
    const QStringList before = Both();
    AtEveryOperation(
        ops, 50, fresh,
        [&] {
            RunMove();
            return true;
        },
        [] {},
        [&](const std::string& at) {
            ASSERT_EQ(Text(Both()), Text(before)) << at;
            RunMove();
            ASSERT_EQ(Text(InMsts()), Text(expectedMsts)) << at;
            ASSERT_EQ(Text(InStore()), Text(expectedStore)) << at;
            EXPECT_FALSE(App().RunHadErrors) << at;
        });
    EXPECT_TRUE(ui.FileMoves().empty()) << "a rerun never meets a duplicate";
}

// Sixteen times the files cost the move phase about sixteen times the work, out and back in.
TEST_F(MoveTest, Move_WorkGrowsInStepWithTheFilesMoved) {
    int made = 0;
    const double growth = test::SixteenfoldGrowth(
        [&](int n) {
            Wipe();
            ClearFolderCache();
            const QString set = QString("Set%1").arg(++made);
            QStringList consists, stock;
            for (int i = 0; i < n; ++i) {
                consists << QString("%1c%2.con").arg(set).arg(i);
                stock << QString("%1f%2\\w%3.wag").arg(set).arg(i / 4).arg(i);
                Make("MSTS/Trains/Consists/" + consists.back());
                Make("MSTS/Trains/Trainset/" + QString(stock.back()).replace('\\', '/'));
            }
            Make("MSTS/Routes/Alpha/alpha.trk");
            Fill(A, "Routes\\Alpha\\alpha.trk");
            return std::function<void()>([=, this] {
                E = StringList::SortedUnique();
                G = StringList::SortedUnique();
                RunMove();
                ASSERT_EQ(InStore().filter("trains/consists/").size(), n);
                // Hundreds of engines and wagons go out in several runs.
                ASSERT_EQ(InStore().filter("trains/trainset/").size(), n);
                for (const QString& name : consists)
                    E.Add(name);
                for (const QString& path : stock)
                    G.Add(path);
                RunMove();
                ASSERT_TRUE(InStore().isEmpty());
            });
        },
        24, 3);
    EXPECT_LT(growth, test::kMostSixteenfoldGrowth);
    EXPECT_FALSE(App().RunHadErrors);
}

} // namespace
} // namespace qv
