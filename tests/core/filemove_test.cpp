// Moving files and trees between two roots: nothing may be lost or damaged whatever fails, the
// duplicate dialog's answers and the waits for files held open behave as the user expects.
#include "core/filemove.h"

#include "core/filemoveops.h"
#include "core/mainservices.h"
#include "core/moveleftovers.h"
#include "fixtures/longpath.h"
#include "fixtures/tempmsts.h"
#include "platform/clock.h"
#include "platform/fakeui.h"
#include "platform/renamequeue.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {
namespace {

// The default operations, with a fault at the N-th call (0: none) and renames refused with
// `refuseError` (EBUSY, as for a file in use) a given number of times, the one-step rename too
// with `refuseListed`; `beforeRename` lets a test change the disk just before.
class FaultyOps : public FileMoveOps {
public:
    int failAt = 0;
    int failError = EIO;
    int refuseRenames = 0;
    int refuseError = EBUSY;
    bool refuseListed = false;
    int count = 0;
    std::function<void()> beforeRename;

    bool Find(const QString& p, FindEntry* e, int* err) override {
        return Step(err) && FileMoveOps::Find(p, e, err);
    }
    bool List(const QString& p, QList<FindEntry>* e, int* err) override {
        return Step(err) && FileMoveOps::List(p, e, err);
    }
    bool SetAttributes(const QString& p, quint32 a, int* err) override {
        return Step(err) && FileMoveOps::SetAttributes(p, a, err);
    }
    bool Rename(const QString& from, const QString& to, int* err) override {
        if (refuseRenames > 0) {
            --refuseRenames;
            *err = refuseError;
            return false;
        }
        if (beforeRename)
            beforeRename();
        return Step(err) && FileMoveOps::Rename(from, to, err);
    }
    // Refused renames and changes just before a rename are those of the step-by-step move.
    ListedRename RenameListed(const QString& from, const QString& to, QString* renamedTo,
                              int* err) override {
        if (refuseRenames > 0 && refuseListed) {
            --refuseRenames;
            *err = refuseError;
            return ListedRename::Failed;
        }
        if (refuseRenames > 0 || beforeRename)
            return ListedRename::NotSettled;
        return Step(err) ? FileMoveOps::RenameListed(from, to, renamedTo, err)
                         : ListedRename::Failed;
    }
    bool Copy(const QString& s, const QString& t, int* err) override {
        return Step(err) && FileMoveOps::Copy(s, t, err);
    }
    bool Delete(const QString& p, int* err) override {
        return Step(err) && FileMoveOps::Delete(p, err);
    }
    bool RemoveFolder(const QString& p, int* err) override {
        return Step(err) && FileMoveOps::RemoveFolder(p, err);
    }
    bool MakeFolders(const QString& p, int* err) override {
        return Step(err) && FileMoveOps::MakeFolders(p, err);
    }

private:
    bool Step(int* err) {
        if (++count != failAt)
            return true;
        if (err)
            *err = failError;
        return false;
    }
};

class RecordingServices : public HeadlessMainServices {
public:
    QStringList details;
    void SetStatusText(int panel, const QString& text) override {
        if (panel == 1)
            details << text;
        HeadlessMainServices::SetStatusText(panel, text);
    }
};

using Snapshot = QMap<QString, QByteArray>; // relative path -> content hash

class FileMoveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        DriveMap map = TheDriveMap();
        map.SetDrive(QLatin1Char('D'), store_.path());
        SetDriveMap(map);
        SetMainServices(&services_);
        SetFileMoveOps(&ops_);
    }
    void TearDown() override {
        SetFileMoveOps(nullptr);
        SetMainServices(nullptr);
        SetCopyBlockHookForTests({});
    }

    QString StoreHost(const QString& relative) const { return store_.path() + '/' + relative; }
    void MakeStoreFile(const QString& relative, const QByteArray& content) {
        QDir().mkpath(QFileInfo(StoreHost(relative)).absolutePath());
        QFile file(StoreHost(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    static QByteArray Read(const QString& host) {
        QFile file(host);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void SetTime(const QString& host, qint64 secondsSinceEpoch) {
        QFile file(host);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch),
                         QFileDevice::FileModificationTime);
    }
    static Snapshot Files(const QString& root) {
        Snapshot files;
        QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files[QDir(root).relativeFilePath(path)] =
                QCryptographicHash::hash(Read(path), QCryptographicHash::Sha1);
        }
        return files;
    }
    QString PaneText() { return services_.InformationMemo()->Lines().join('\r'); }

    // A tree with mixed case, a read-only file and a deeper folder.
    void MakeTrains() {
        temp_.MakeFile("MSTS/Trains/Consists/X.CON", "consist x");
        temp_.MakeFile("MSTS/Trains/Consists/y.con", "consist y");
        temp_.MakeFile("MSTS/Trains/Trainset/Dash9/DASH9.eng", "engine");
        temp_.MakeFile("MSTS/Trains/Trainset/Dash9/dash9.sd", QByteArray(70000, 's'));
        chmod(QFile::encodeName(temp_.Host("MSTS/Trains/Consists/y.con")).constData(), 0444);
    }

    QTemporaryDir store_;
    TempMsts temp_;
    FakeUi ui_;
    FakeClock clock_;
    RecordingServices services_;
    FaultyOps ops_;
};

TEST_F(FileMoveTest, MoveEntry_RoundTripKeepsEveryFileAndEmptyFolder) {
    MakeTrains();
    temp_.MakeFolder("MSTS/Trains/Empty");
    const Snapshot original = Files(temp_.Host("MSTS/Trains"));
    for (int mode : {MOVE_RENAME, MOVE_COPY}) {
        ASSERT_TRUE(MoveEntry("C:\\MSTS\\Trains", "D:\\STORE\\Trains", mode));
        EXPECT_FALSE(QFileInfo::exists(temp_.Host("MSTS/Trains")));
        EXPECT_EQ(Files(StoreHost("STORE/Trains")), original);
        ASSERT_TRUE(MoveEntry("D:\\STORE\\Trains", "C:\\MSTS\\Trains", mode));
        EXPECT_EQ(Files(temp_.Host("MSTS/Trains")), original);
        EXPECT_TRUE(QFileInfo(temp_.Host("MSTS/Trains/Empty")).isDir());
    }
    EXPECT_FALSE(App().RunHadErrors);
    EXPECT_TRUE(ui_.FileMoves().empty());
}

TEST_F(FileMoveTest, MoveEntry_AFaultAtAnyOperationLosesNothingAndARerunFinishes) {
    for (int mode : {MOVE_RENAME, MOVE_COPY}) {
        int total = 0;
        for (int failAt = 1; failAt == 1 || failAt <= total; ++failAt) {
            QDir(temp_.Host("MSTS")).removeRecursively();
            QDir(StoreHost("STORE")).removeRecursively();
            ClearFolderCache();
            MakeTrains();
            const Snapshot original = Files(temp_.Host("MSTS/Trains"));
            if (failAt == 1) { // a clean run first, to count the operations
                ops_.count = 0;
                ASSERT_TRUE(MoveEntry("C:\\MSTS\\Trains", "D:\\STORE\\Trains", mode));
                total = ops_.count;
                continue;
            }
            ops_.count = 0;
            ops_.failAt = failAt;
            const bool done = MoveEntry("C:\\MSTS\\Trains", "D:\\STORE\\Trains", mode);
            ops_.failAt = 0;
            // Every file is still somewhere, whole; a file in both places is the same file.
            Snapshot seen = Files(StoreHost("STORE/Trains"));
            const Snapshot left = Files(temp_.Host("MSTS/Trains"));
            for (auto it = left.begin(); it != left.end(); ++it) {
                if (seen.contains(it.key())) {
                    EXPECT_EQ(seen[it.key()], it.value()) << "mode " << mode << " fault " << failAt;
                }
                seen[it.key()] = it.value();
            }
            ASSERT_EQ(seen, original) << "mode " << mode << " fault " << failAt;
            if (!left.isEmpty()) { // a file that did not move makes the move fail
                EXPECT_FALSE(done) << "mode " << mode << " fault " << failAt;
            }
            // A move that says it is done is done; any other is finished by running it again.
            if (!done || QFileInfo::exists(temp_.Host("MSTS/Trains"))) {
                ASSERT_TRUE(MoveEntry("C:\\MSTS\\Trains", "D:\\STORE\\Trains", mode))
                    << "mode " << mode << " fault " << failAt << "\n"
                    << PaneText().toStdString();
            }
            EXPECT_EQ(Files(StoreHost("STORE/Trains")), original);
            EXPECT_FALSE(QFileInfo::exists(temp_.Host("MSTS/Trains")));
        }
        EXPECT_GT(total, 20);
    }
    EXPECT_TRUE(ui_.FileMoves().empty()) << "a rerun never needs the duplicate dialog";
}

TEST_F(FileMoveTest, MoveEntry_MovesALinkedFolderAsALinkWithoutGoingIntoIt) {
    temp_.MakeFile("Outside/keep.con", "outside");
    temp_.MakeFile("MSTS/Trains/a.eng", "a");
    QFile::link(temp_.Host("Outside"), temp_.Host("MSTS/Trains/Linked"));
    for (int mode : {MOVE_RENAME, MOVE_COPY}) {
        const QString from = mode == MOVE_RENAME ? "C:\\MSTS\\Trains" : "D:\\STORE\\Trains";
        const QString to = mode == MOVE_RENAME ? "D:\\STORE\\Trains" : "C:\\MSTS\\Trains";
        ASSERT_TRUE(MoveEntry(from, to, mode)) << PaneText().toStdString();
        const QString moved = mode == MOVE_RENAME ? StoreHost("STORE/Trains/Linked")
                                                  : temp_.Host("MSTS/Trains/Linked");
        EXPECT_TRUE(QFileInfo(moved).isSymLink());
        EXPECT_EQ(Read(temp_.Host("Outside/keep.con")), "outside");
    }
}

TEST_F(FileMoveTest, MoveEntry_CreatesTheTargetFoldersAndKeepsTheSourceLetterCase) {
    temp_.MakeFile("MSTS/Trains/Consists/MyTrain.CON", "c");
    ASSERT_TRUE(MoveEntry("C:\\MSTS\\Trains\\Consists\\MyTrain.CON",
                          "D:\\STORE\\TRAINS\\CONSISTS\\mytrain.con", MOVE_RENAME));
    EXPECT_EQ(Read(StoreHost("STORE/TRAINS/CONSISTS/MyTrain.CON")), "c");
    EXPECT_TRUE(App().ConsistCacheStale);
    EXPECT_FALSE(App().StockCacheStale);
    EXPECT_EQ(services_.details.last(),
              "Moving file to 'D:\\STORE\\TRAINS\\CONSISTS\\MyTrain.CON'");
}

TEST_F(FileMoveTest, MoveEntry_TakesTheTargetNameInAnyCaseAndMarksTheCacheOfItsKind) {
    // The file, the name the target gives it, whether it moves (keeping its own spelling), and
    // the cache marked stale (c consists, s stock, p paths).
    const struct {
        const char* file;
        const char* targetName;
        bool moves;
        char stale;
    } cases[] = {
        {"a.CON", "A.con", true, 'c'},    {"b.Wag", "b.Wag", true, 's'},
        {"c.eng", "C.ENG", true, 's'},    {"d.PAT", "d.pat", true, 'p'},
        {"e.txt", "E.TXT", true, 0},      {"Züge.con", "ZÜGE.CON", true, 'c'},
        {"f.con", "g.con", false, 'c'},   {"h.pat", "h.pa", false, 0},
        {"i.wag", "i.wag.eng", false, 0}, {"Zug.con", "Züg.con", false, 0},
    };
    for (const auto& c : cases) {
        ResetAppState();
        const QString file = QString::fromUtf8(c.file);
        temp_.MakeFile("MSTS/" + file, "x");
        const bool moved = MoveEntry("C:\\MSTS\\" + file,
                                     "D:\\STORE\\" + QString::fromUtf8(c.targetName), MOVE_RENAME);
        EXPECT_EQ(moved, c.moves) << c.file;
        EXPECT_EQ(Read(StoreHost("STORE/" + file)), c.moves ? "x" : "<missing>") << c.file;
        EXPECT_EQ(Read(temp_.Host("MSTS/" + file)), c.moves ? "<missing>" : "x") << c.file;
        if (c.moves) {
            EXPECT_EQ(App().ConsistCacheStale, c.stale == 'c') << c.file;
            EXPECT_EQ(App().StockCacheStale, c.stale == 's') << c.file;
            EXPECT_EQ(App().PathCacheStale, c.stale == 'p') << c.file;
        }
    }
}

TEST_F(FileMoveTest, MoveEntry_TakesAnIdenticalTargetAsTheSameFileAndAsksOtherwise) {
    temp_.MakeFile("MSTS/a.pat", "same");
    MakeStoreFile("STORE/a.pat", "same");
    SetTime(temp_.Host("MSTS/a.pat"), 1700000000);
    SetTime(StoreHost("STORE/a.pat"), 1700000000);
    EXPECT_TRUE(MoveEntry("C:\\MSTS\\a.pat", "D:\\STORE\\a.pat", MOVE_RENAME));
    EXPECT_FALSE(QFileInfo::exists(temp_.Host("MSTS/a.pat")));
    EXPECT_TRUE(ui_.FileMoves().empty());
    EXPECT_TRUE(App().PathCacheStale);

    // Same content, another date: the dialog is asked and told that the contents are the same.
    temp_.MakeFile("MSTS/a.pat", "same");
    SetTime(temp_.Host("MSTS/a.pat"), 1700009000);
    ui_.ExpectConfirmFileMove(ID_NO);
    EXPECT_TRUE(MoveEntry("C:\\MSTS\\a.pat", "D:\\STORE\\a.pat", MOVE_RENAME));
    ASSERT_EQ(ui_.FileMoves().size(), 1u);
    EXPECT_FALSE(ui_.FileMoves()[0].contentsDiffer);
    EXPECT_EQ(ui_.FileMoves()[0].targetFile, "D:\\STORE\\a.pat");
    EXPECT_FALSE(QFileInfo::exists(temp_.Host("MSTS/a.pat")));
}

TEST_F(FileMoveTest, MoveEntry_AllAnswersStandForTheRestOfTheRun) {
    for (const char* name : {"a.con", "b.con", "c.con"}) {
        temp_.MakeFile(QString("MSTS/C/") + name, "new");
        MakeStoreFile(QString("STORE/C/") + name, "old");
    }
    ui_.ExpectConfirmFileMove(ID_YESTOALL);
    EXPECT_TRUE(MoveEntry("C:\\MSTS\\C", "D:\\STORE\\C", MOVE_RENAME));
    EXPECT_EQ(ui_.FileMoves().size(), 1u);
    EXPECT_EQ(PathSet().DuplicateAnswer, 1);
    for (const char* name : {"a.con", "b.con", "c.con"})
        EXPECT_EQ(Read(StoreHost(QString("STORE/C/") + name)), "new");

    PathSet().DuplicateAnswer = 0;
    for (const char* name : {"a.con", "b.con"})
        temp_.MakeFile(QString("MSTS/C/") + name, "newer");
    ui_.ExpectConfirmFileMove(ID_NOTOALL);
    EXPECT_TRUE(MoveEntry("C:\\MSTS\\C", "D:\\STORE\\C", MOVE_COPY));
    EXPECT_EQ(ui_.FileMoves().size(), 2u);
    EXPECT_EQ(PathSet().DuplicateAnswer, 2);
    EXPECT_EQ(Read(StoreHost("STORE/C/a.con")), "new");
    EXPECT_FALSE(QFileInfo::exists(temp_.Host("MSTS/C")));
    EXPECT_FALSE(App().RunHadErrors);
}

TEST_F(FileMoveTest, MoveEntry_CancelLeavesBothFilesAndIsNoError) {
    temp_.MakeFile("MSTS/a.con", "incoming");
    MakeStoreFile("STORE/a.con", "existing");
    ui_.ExpectConfirmFileMove(ID_CANCEL);
    EXPECT_FALSE(MoveEntry("C:\\MSTS\\a.con", "D:\\STORE\\a.con", MOVE_RENAME));
    EXPECT_EQ(Read(temp_.Host("MSTS/a.con")), "incoming");
    EXPECT_EQ(Read(StoreHost("STORE/a.con")), "existing");
    EXPECT_FALSE(App().RunHadErrors);
    EXPECT_TRUE(ui_.Mismatches().isEmpty());
}

TEST_F(FileMoveTest, MoveEntry_KeepsSourceWhenTargetCannotBeDeleted) {
    for (int mode : {MOVE_RENAME, MOVE_COPY}) {
        App().RunHadErrors = false;
        temp_.MakeFile("MSTS/a.con", "incoming");
        MakeStoreFile("STORE/a.con", "existing");
        chmod(QFile::encodeName(StoreHost("STORE/a.con")).constData(), 0444);
        ui_.ExpectConfirmFileMove(ID_YES);
        EXPECT_FALSE(MoveEntry("C:\\MSTS\\a.con", "D:\\STORE\\a.con", mode));
        EXPECT_EQ(Read(temp_.Host("MSTS/a.con")), "incoming");
        EXPECT_EQ(Read(StoreHost("STORE/a.con")), "existing");
        EXPECT_EQ(QDir(StoreHost("STORE")).entryList(QDir::Files | QDir::Hidden).size(), 1);
        EXPECT_TRUE(App().RunHadErrors);
        EXPECT_TRUE(PaneText().contains("There was an error in moving\rUnable to remove output "
                                        "file : [13]\rFrom Path: 'C:\\MSTS\\a.con'"));
        QFile::remove(StoreHost("STORE/a.con"));
    }
}

// Replace keeps the old target until the source has taken its place: a source gone while the
// dialog was open (another program, a removable disk), or gone just before its rename, leaves the
// target as it was, nothing beside it, and a report naming the source.
TEST_F(FileMoveTest, MoveEntry_ReplaceNeverDestroysTheLastCopy) {
    const struct {
        bool goneBeforeRename; // else while the dialog is open
        const char* report;
    } cases[] = {
        {false, "Unable to find the file : [2]\rFrom Path: 'C:\\MSTS\\a.con'"},
        {true, "Unable to rename file : [2]\rFrom Path: 'C:\\MSTS\\a.con'"},
    };
    for (const auto& c : cases) {
        App().RunHadErrors = false;
        services_.InformationMemo()->Clear();
        temp_.MakeFile("MSTS/a.con", "incoming");
        MakeStoreFile("STORE/a.con", "existing");
        const auto removeSource = [this] { QFile::remove(temp_.Host("MSTS/a.con")); };
        int renames = 0;
        if (c.goneBeforeRename)
            ops_.beforeRename = [&] {
                if (++renames == 2) // the old target went aside first
                    removeSource();
            };
        ui_.ExpectConfirmFileMove(ID_YES,
                                  c.goneBeforeRename ? std::function<void()>() : removeSource);
        EXPECT_FALSE(MoveEntry("C:\\MSTS\\a.con", "D:\\STORE\\a.con", MOVE_RENAME));
        ops_.beforeRename = nullptr;
        EXPECT_EQ(Read(StoreHost("STORE/a.con")), "existing") << c.report;
        EXPECT_EQ(QDir(StoreHost("STORE")).entryList(QDir::Files | QDir::Hidden).size(), 1);
        EXPECT_TRUE(PaneText().contains(c.report)) << qPrintable(PaneText());
        EXPECT_TRUE(App().RunHadErrors);
    }
}

// A target another program makes just before the rename is never renamed over: it is settled as
// a duplicate, in whatever letter case it was made: the same file takes the source's place, any
// other asks.
TEST_F(FileMoveTest, MoveEntry_SettlesATargetThatAppearedMeanwhileAsADuplicate) {
    const struct {
        const char* made;
        const char* content;
        bool asks;
    } cases[] = {
        {"a.con", "appeared", true},
        {"A.CON", "appeared", true},
        {"A.CON", "incoming", false},
    };
    for (const auto& c : cases) {
        App().RunHadErrors = false;
        QDir(StoreHost("STORE")).removeRecursively();
        temp_.MakeFile("MSTS/a.con", "incoming");
        SetTime(temp_.Host("MSTS/a.con"), 1700000000);
        // The target's folder listed and known current, with its reports taken just before.
        MakeStoreFile("STORE/first.con", "first");
        FileExists("D:\\STORE\\first.con");
        QFile::remove(StoreHost("STORE/first.con"));
        FileExists("D:\\STORE\\first.con");
        bool made = false;
        ops_.beforeRename = [&] {
            if (std::exchange(made, true))
                return;
            MakeStoreFile(QString("STORE/") + c.made, c.content);
            SetTime(StoreHost(QString("STORE/") + c.made), 1700000000);
        };
        const std::size_t dialogs = ui_.FileMoves().size();
        if (c.asks)
            ui_.ExpectConfirmFileMove(ID_CANCEL);
        EXPECT_EQ(MoveEntry("C:\\MSTS\\a.con", "D:\\STORE\\a.con", MOVE_RENAME), !c.asks);
        ops_.beforeRename = nullptr;
        EXPECT_EQ(ui_.FileMoves().size(), dialogs + (c.asks ? 1 : 0)) << c.made;
        EXPECT_EQ(QDir(StoreHost("STORE")).entryList(QDir::Files), QStringList{c.made});
        EXPECT_EQ(Read(StoreHost(QString("STORE/") + c.made)), c.content);
        EXPECT_EQ(Read(temp_.Host("MSTS/a.con")), c.asks ? "incoming" : "<missing>");
        EXPECT_FALSE(PaneText().contains("[17]")) << qPrintable(PaneText());
        EXPECT_FALSE(App().RunHadErrors) << c.made;
    }
    EXPECT_TRUE(ui_.Mismatches().isEmpty());
}

// With renames deferred a move returns once the listings settle it; what the rename thread refused
// or failed in is dealt with when the moves are finished: a read-only file moves step by step,
// its attribute cleared, and a source gone meanwhile is reported as the rename that failed.
TEST_F(FileMoveTest, MoveEntry_DeferredRenamesEndAsTheStepByStepMoveWould) {
    MakeTrains();
    const QString from = "C:\\MSTS\\Trains\\Consists\\", to = "D:\\STORE\\Trains\\Consists\\";
    QString name;
    {
        const DeferredRenames deferred;
        ASSERT_TRUE(MoveEntry(from + "X.CON", to + "X.CON", MOVE_RENAME));
        ASSERT_TRUE(MoveEntry(from + "y.con", to + "y.con", MOVE_RENAME));
        EXPECT_FALSE(App().RunHadErrors);
        // Gone behind the listings' back (its report not taken yet), the file is still handed
        // over; should the report be taken meanwhile, the move goes step by step: another try.
        bool handedOver = false;
        for (int attempt = 0; attempt < 5 && !handedOver; ++attempt) {
            name = QString("gone%1.con").arg(attempt);
            temp_.MakeFile("MSTS/Trains/Consists/" + name, "gone");
            const ReportsTakenOnce run;
            FileExists(from + name);
            FileExists(to + name);
            QFile::remove(temp_.Host("MSTS/Trains/Consists/" + name));
            handedOver = MoveEntry(from + name, to + name, MOVE_RENAME);
        }
        ASSERT_TRUE(handedOver);
        FinishDeferredMoves();
    }
    EXPECT_EQ(Read(StoreHost("STORE/Trains/Consists/X.CON")), "consist x");
    EXPECT_EQ(Read(StoreHost("STORE/Trains/Consists/y.con")), "consist y");
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(StoreHost("STORE/Trains/Consists/y.con")), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
    EXPECT_TRUE(temp_.NamesIn("MSTS/Trains/Consists").isEmpty());
    EXPECT_TRUE(PaneText().contains("Unable to rename file : [2]")) << qPrintable(PaneText());
    EXPECT_TRUE(PaneText().contains("From Path: '" + from + name + "'")) << qPrintable(PaneText());
    EXPECT_TRUE(App().RunHadErrors);
}

// Another program acting on the rename thread just before a rename handed over: a target made
// meanwhile, in any letter case, is settled as a duplicate (the same file takes the source's
// place, any other asks), never two names left; a source made read-only arrives writable.
TEST_F(FileMoveTest, MoveEntry_DeferredRenamesSettleWhatAnotherProgramDidJustBefore) {
    const struct {
        const char* act; // "make <name> <content>" at the target, or "read-only"
        bool asks;
        const char* storeHolds;
        const char* mstsHolds;
    } cases[] = {
        {"make f3.eng other", true, "f3.eng:other", "f3.eng:engine"},
        {"make F3.ENG other", true, "F3.ENG:other", "f3.eng:engine"},
        {"make F3.ENG engine", false, "F3.ENG:engine", ""},
        {"read-only", false, "f3.eng:engine", ""},
        {"gone F3.ENG other", false, "F3.ENG:other", ""}, // made, and the source gone
    };
    const QString from = "C:\\MSTS\\T\\", to = "D:\\STORE\\T\\";
    for (const auto& c : cases) {
        App().RunHadErrors = false;
        QDir(temp_.Host("MSTS")).removeRecursively();
        QDir(StoreHost("STORE")).removeRecursively();
        ClearFolderCache();
        temp_.MakeFile("MSTS/T/first.eng", "first");
        temp_.MakeFile("MSTS/T/f3.eng", "engine");
        SetTime(temp_.Host("MSTS/T/f3.eng"), 1700000000);
        const QStringList act = QString(c.act).split(' ');
        bool acted = false;
        SetBeforeQueuedRenameHookForTests([&](const QByteArray& source, const QByteArray&) {
            if (!source.endsWith("/f3.eng"))
                return;
            acted = true;
            if (act[0] == "read-only") {
                chmod(source.constData(), 0444);
                return;
            }
            if (act[0] == "gone")
                unlink(source.constData());
            const QString made = StoreHost("STORE/T/" + act[1]);
            QFile file(made);
            file.open(QIODevice::WriteOnly);
            file.write(act[2].toUtf8());
            file.close();
            SetTime(made, 1700000000);
        });
        if (c.asks)
            ui_.ExpectConfirmFileMove(ID_CANCEL);
        {
            const DeferredRenames deferred;
            ASSERT_TRUE(MoveEntry(from + "first.eng", to + "first.eng", MOVE_RENAME));
            FileAge(from + "f3.eng"); // its stat kept: writable
            EXPECT_TRUE(MoveEntry(from + "F3.eng", to + "f3.eng", MOVE_RENAME)); // case differs
            FinishDeferredMoves();
        }
        SetBeforeQueuedRenameHookForTests({});
        EXPECT_TRUE(acted) << c.act << ": the rename was handed over";
        QStringList store, msts;
        for (const QString& name : temp_.NamesIn("MSTS/T"))
            msts << name + ":" + Read(temp_.Host("MSTS/T/" + name));
        for (const QString& name : QDir(StoreHost("STORE/T")).entryList(QDir::Files))
            if (name != "first.eng")
                store << name + ":" + Read(StoreHost("STORE/T/" + name));
        EXPECT_EQ(store.join(" ").toStdString(), c.storeHolds) << c.act;
        EXPECT_EQ(msts.join(" ").toStdString(), c.mstsHolds) << c.act;
        struct stat st {};
        ASSERT_EQ(stat(QFile::encodeName(StoreHost("STORE/T/" + store[0].section(':', 0, 0))), &st),
                  0);
        EXPECT_TRUE(st.st_mode & S_IWUSR) << c.act;
        EXPECT_FALSE(PaneText().contains("[17]")) << qPrintable(PaneText());
        EXPECT_EQ(App().RunHadErrors, c.asks || act[0] == "gone") << c.act;
    }
    EXPECT_EQ(ui_.FileMoves().size(), 2u);
    EXPECT_TRUE(ui_.Mismatches().isEmpty());
}

TEST_F(FileMoveTest, MoveEntry_NamesDifferingOnlyInCaseAreNeverMerged) {
    temp_.MakeFile("MSTS/C/a.con", "lower");
    temp_.MakeFile("MSTS/C/A.CON", "upper");
    EXPECT_FALSE(MoveEntry("C:\\MSTS\\C", "D:\\STORE\\C", MOVE_RENAME));
    // The second name meets the first at the target: a second file, never asked about.
    EXPECT_TRUE(ui_.FileMoves().empty());
    EXPECT_EQ(PaneText().count("stays where it is"), 1) << qPrintable(PaneText());
    Snapshot all = Files(StoreHost("STORE/C"));
    const Snapshot left = Files(temp_.Host("MSTS/C"));
    all.insert(left);
    EXPECT_EQ(all.size(), 2);
    EXPECT_NE(all.first(), all.last());
}

TEST_F(FileMoveTest, MoveEntry_AStandingAnswerNeverSettlesATwin) {
    temp_.MakeFile("MSTS/C/T.CON", "upper");
    MakeStoreFile("STORE/C/t.con", "lower");
    for (const int standing : {1, 2}) {
        PathSet().DuplicateAnswer = standing;
        ui_.ExpectConfirmFileMove(ID_CANCEL);
        EXPECT_FALSE(MoveEntry("C:\\MSTS\\C\\T.CON", "D:\\STORE\\C\\T.CON", MOVE_RENAME));
    }
    EXPECT_EQ(ui_.FileMoves().size(), 2u);
}

TEST_F(FileMoveTest, MoveEntry_ATwinMadeJustBeforeTheRenameIsMetAsATwin) {
    SetBeforeRenameHookForTests(
        [&](const QString&, const QString&) { MakeStoreFile("STORE/C/A.CON", "other"); });
    for (const auto& [oneStep, mode] :
         {std::pair{true, MOVE_RENAME}, {false, MOVE_RENAME}, {false, MOVE_COPY}}) {
        temp_.MakeFile("MSTS/C/a.con", "incoming");
        QFile::remove(StoreHost("STORE/C/A.CON"));
        FileExists("C:\\MSTS\\C\\a.con");
        FileExists("D:\\STORE\\C\\a.con");
        ops_.beforeRename = oneStep ? std::function<void()>() : [] {};
        if (mode == MOVE_RENAME)
            ui_.ExpectConfirmFileMove(ID_CANCEL);
        EXPECT_FALSE(MoveEntry("C:\\MSTS\\C\\a.con", "D:\\STORE\\C\\a.con", mode));
        EXPECT_EQ(QDir(StoreHost("STORE/C")).entryList(QDir::Files | QDir::Hidden),
                  QStringList("A.CON"));
    }
    SetBeforeRenameHookForTests({});
}

// Two folders alike but for letter case hold different files of one name: whichever way they
// meet at the target (file by file, as a job moves them, or as trees), with any standing answer,
// neither file is deleted or overwritten, and no question is asked of a file MSTS cannot tell
// apart.
TEST_F(FileMoveTest, MoveEntry_TwinFoldersNeverMergeAndLoseNothing) {
    const struct {
        bool byFile;
        int standing;
        int mode;
    } cases[] = {
        {true, 0, MOVE_RENAME}, {true, 1, MOVE_RENAME},  {true, 2, MOVE_RENAME},
        {true, 1, MOVE_COPY},   {false, 1, MOVE_RENAME}, {false, 2, MOVE_COPY},
    };
    for (const auto& c : cases) {
        QDir(temp_.Host("MSTS")).removeRecursively();
        QDir(StoreHost("STORE")).removeRecursively();
        ClearFolderCache();
        ResetAppState();
        services_.InformationMemo()->Clear();
        temp_.MakeFile("MSTS/Trainset/Dash9/dash9.eng", "first");
        temp_.MakeFile("MSTS/Trainset/DASH9/dash9.eng", "second");
        PathSet().DuplicateAnswer = c.standing;
        {
            const MoveLinkScope scope;
            if (c.byFile) {
                for (const char* folder : {"Dash9", "DASH9"})
                    MoveEntry(QString("C:\\MSTS\\Trainset\\") + folder + "\\dash9.eng",
                              QString("D:\\STORE\\Trainset\\") + folder + "\\dash9.eng", c.mode);
            } else {
                EXPECT_FALSE(MoveEntry("C:\\MSTS\\Trainset", "D:\\STORE\\Trainset", c.mode));
            }
        }
        QStringList contents;
        for (const QString& root : {StoreHost("STORE"), temp_.Host("MSTS")})
            for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
                 it.hasNext();)
                contents << Read(it.next());
        contents.sort();
        EXPECT_EQ(contents, QStringList({"first", "second"})) << c.byFile << c.standing << c.mode;
        EXPECT_TRUE(ui_.FileMoves().empty());
        EXPECT_TRUE(App().RunHadErrors);
        EXPECT_EQ(PaneText().count("stays where it is"), 1) << qPrintable(PaneText());
    }
    EXPECT_TRUE(ui_.Mismatches().isEmpty());
}

// Two folders alike but for letter case meet a third spelling at the target: neither's file is
// settled against the one there by a standing answer or a question, whether they go file by file
// (as a job moves them) or as a tree; each stays and is named, and what meets nothing goes.
TEST_F(FileMoveTest, MoveEntry_FilesOfTwinFoldersAreNeverSettledAgainstAThirdSpelling) {
    for (const bool byFile : {true, false}) {
        for (const int standing : {0, 1, 2}) {
            SCOPED_TRACE(std::string(byFile ? "by file" : "as a tree") + ", standing answer " +
                         std::to_string(standing));
            QDir(temp_.Host("MSTS")).removeRecursively();
            QDir(StoreHost("STORE")).removeRecursively();
            ClearFolderCache();
            ResetAppState();
            App().MstsRootFolder = "C:\\MSTS";
            App().StoreRootFolder = "D:\\STORE";
            services_.InformationMemo()->Clear();
            temp_.MakeFile("MSTS/Trainset/Dash9/a.eng", "first");
            temp_.MakeFile("MSTS/Trainset/Dash9/b.eng", "alone");
            temp_.MakeFile("MSTS/Trainset/DASH9/a.eng", "second");
            MakeStoreFile("STORE/Trainset/dash9/a.eng", "older");
            PathSet().DuplicateAnswer = standing;
            {
                const MoveLinkScope scope;
                if (byFile) {
                    for (const char* file : {"Dash9\\a.eng", "Dash9\\b.eng", "DASH9\\a.eng"})
                        MoveEntry(QString("C:\\MSTS\\Trainset\\") + file,
                                  QString("D:\\STORE\\Trainset\\") + file, MOVE_RENAME);
                } else {
                    EXPECT_FALSE(
                        MoveEntry("C:\\MSTS\\Trainset", "D:\\STORE\\Trainset", MOVE_RENAME));
                }
                FinishDeferredMoves();
            }
            EXPECT_EQ(Read(StoreHost("STORE/Trainset/dash9/a.eng")), "older");
            EXPECT_EQ(Read(StoreHost("STORE/Trainset/dash9/b.eng")), "alone");
            EXPECT_EQ(Read(temp_.Host("MSTS/Trainset/Dash9/a.eng")), "first");
            EXPECT_EQ(Read(temp_.Host("MSTS/Trainset/DASH9/a.eng")), "second");
            EXPECT_TRUE(ui_.FileMoves().empty());
            EXPECT_TRUE(App().RunHadErrors);
            const QString pane = PaneText();
            for (const char* file : {"Dash9\\a.eng", "DASH9\\a.eng"})
                EXPECT_EQ(
                    pane.count(QString("'C:\\MSTS\\Trainset\\") + file + "' stays where it is"), 1)
                    << file << qPrintable(pane);
        }
    }
    EXPECT_TRUE(ui_.Mismatches().isEmpty());
}

// The pane names a file that stays for a twin folder, and the twin, by their Windows paths, as
// every other message of a move does.
TEST_F(FileMoveTest, MoveEntry_ATwinFolderIsNamedByItsWindowsPath) {
    temp_.MakeFile("MSTS/Trainset/Dash9/dash9.eng", "first");
    temp_.MakeFile("MSTS/Trainset/DASH9/dash9.eng", "second");
    EXPECT_FALSE(MoveEntry("C:\\MSTS\\Trainset", "D:\\STORE\\Trainset", MOVE_RENAME));
    const QString pane = PaneText();
    EXPECT_FALSE(pane.contains(temp_.DriveC())) << qPrintable(pane);
    EXPECT_FALSE(pane.contains(store_.path())) << qPrintable(pane);
    // Whichever of the two went first, the other's file stays.
    const bool lowerStays =
        pane.contains("'C:\\MSTS\\Trainset\\Dash9\\dash9.eng' stays where it is") &&
        pane.contains("Folder: 'C:\\MSTS\\Trainset\\DASH9'");
    const bool upperStays =
        pane.contains("'C:\\MSTS\\Trainset\\DASH9\\dash9.eng' stays where it is") &&
        pane.contains("Folder: 'C:\\MSTS\\Trainset\\Dash9'");
    EXPECT_NE(lowerStays, upperStays) << qPrintable(pane);
}

// Names that are not UTF-8 text (Windows-1252 bytes from an unpacked download), two of which the
// listing gives alike: whether they go as a tree or file by file, as a job lists them, each stays
// and is named once by a readable form of its own bytes, never as a file not found.
TEST_F(FileMoveTest, MoveEntry_NamesThatAreNotUtf8StayAndAreEachNamedOnceReadably) {
    const QByteArray folder = QFile::encodeName(temp_.Host("MSTS/C"));
    const auto removeRaw = qScopeGuard([&] {
        RemoveTreeAtAnyDepth(temp_.Host("MSTS/C"));
        RemoveTreeAtAnyDepth(StoreHost("STORE/C"));
    });
    for (const bool byFile : {true, false}) {
        SCOPED_TRACE(byFile ? "file by file" : "as a tree");
        ResetAppState();
        services_.InformationMemo()->Clear();
        temp_.MakeFile("MSTS/C/plain.con", "plain");
        for (const char* raw : {"caf\xE9.con", "caf\xE8.con", "Stock\xC4"}) {
            const QByteArray path = folder + '/' + raw;
            if (QByteArray(raw).startsWith("Stock")) {
                ASSERT_EQ(mkdir(path.constData(), 0755), 0);
                continue;
            }
            const int fd = open(path.constData(), O_CREAT | O_WRONLY, 0644);
            ASSERT_EQ(write(fd, raw, 3), 3);
            close(fd);
        }
        {
            const MoveLinkScope scope;
            if (byFile) {
                QStringList names;
                FindNames("C:\\MSTS\\C\\*.con", false, &names);
                for (const QString& name : std::as_const(names))
                    MoveEntry("C:\\MSTS\\C\\" + name, "D:\\STORE\\C\\" + name, MOVE_RENAME);
            } else {
                EXPECT_FALSE(MoveEntry("C:\\MSTS\\C", "D:\\STORE\\C", MOVE_RENAME));
            }
            FinishDeferredMoves();
        }
        EXPECT_EQ(Read(StoreHost("STORE/C/plain.con")), "plain");
        EXPECT_TRUE(App().RunHadErrors);
        const QString pane = PaneText();
        const QString readable[] = {QString::fromUtf8("C:\\MSTS\\C\\caf\u00e9.con"),
                                    QString::fromUtf8("C:\\MSTS\\C\\caf\u00e8.con"),
                                    QString::fromUtf8("C:\\MSTS\\C\\Stock\u00c4")};
        for (const QString& name : readable) {
            EXPECT_EQ(pane.count("'" + name + "' stays where it is: its name is not UTF-8"),
                      byFile && name.endsWith(QString::fromUtf8("\u00c4")) ? 0 : 1)
                << qPrintable(name) << qPrintable(pane);
        }
        EXPECT_FALSE(pane.contains("Unable to")) << qPrintable(pane);
        EXPECT_FALSE(pane.contains(QChar(QChar::ReplacementCharacter))) << qPrintable(pane);
        int left = 0;
        DIR* listing = opendir(folder.constData());
        while (const dirent* entry = listing ? readdir(listing) : nullptr)
            left += entry->d_name[0] != '.';
        if (listing)
            closedir(listing);
        EXPECT_EQ(left, 3);
        RemoveTreeAtAnyDepth(temp_.Host("MSTS/C"));
        RemoveTreeAtAnyDepth(StoreHost("STORE/C"));
        ClearFolderCache();
    }
}

// A store folder moved away and a link to it put in its place while a job runs: the files that
// follow are judged again, and stay rather than land outside the two folders.
TEST_F(FileMoveTest, MoveEntry_ALinkPutInPlaceOfAFolderMidJobIsJudgedAgain) {
    App().MstsRootFolder = "C:\\MSTS";
    App().StoreRootFolder = "D:\\STORE";
    for (const char* name : {"a.con", "b.con"})
        temp_.MakeFile(QString("MSTS/C/") + name, name);
    const QString outside = temp_.Host("Outside");
    {
        const MoveLinkScope scope;
        ASSERT_TRUE(MoveEntry("C:\\MSTS\\C\\a.con", "D:\\STORE\\C\\a.con", MOVE_RENAME));
        FinishDeferredMoves();
        ASSERT_TRUE(QDir().rename(StoreHost("STORE/C"), outside));
        ASSERT_TRUE(QFile::link(outside, StoreHost("STORE/C")));
        EXPECT_FALSE(MoveEntry("C:\\MSTS\\C\\b.con", "D:\\STORE\\C\\b.con", MOVE_RENAME));
        FinishDeferredMoves();
    }
    EXPECT_EQ(QDir(outside).entryList(QDir::Files), QStringList("a.con"));
    EXPECT_EQ(Read(temp_.Host("MSTS/C/b.con")), "b.con");
    EXPECT_EQ(PaneText().count("is a link to"), 1) << qPrintable(PaneText());
}

// A name near the 255-byte limit leaves no room for the kept-aside name's additions: a replace
// still succeeds, and a kept-aside file of such a name left by a move cut short is settled.
TEST_F(FileMoveTest, MoveEntry_ReplacesAFileWhoseNameIsNearTheLimit) {
    App().MstsRootFolder = "C:\\MSTS";
    App().StoreRootFolder = "D:\\STORE";
    const QString name = QString(247, 'n') + ".con";
    for (int mode : {MOVE_RENAME, MOVE_COPY}) {
        App().RunHadErrors = false;
        temp_.MakeFile("MSTS/C/" + name, "incoming");
        MakeStoreFile("STORE/C/" + name, "existing");
        ui_.ExpectConfirmFileMove(ID_YES);
        EXPECT_TRUE(MoveEntry("C:\\MSTS\\C\\" + name, "D:\\STORE\\C\\" + name, mode)) << mode;
        EXPECT_EQ(Files(StoreHost("STORE/C")).keys(), QStringList{name});
        EXPECT_EQ(Read(StoreHost("STORE/C/" + name)), "incoming");
        EXPECT_FALSE(App().RunHadErrors) << qPrintable(PaneText());
    }
    // Left by a move cut short: beside its filled place it goes; with its place empty it stays
    // and is reported, as its name cannot be told.
    const QString filled = KeptAsidePath("D:\\STORE\\C\\" + name.toUpper());
    const QString empty = KeptAsidePath("D:\\STORE\\C\\" + QString(250, 'e') + ".pat");
    for (const QString& kept : {filled, empty}) {
        EXPECT_LE(QFile::encodeName(kept.mid(kept.lastIndexOf('\\') + 1)).size(), 255);
        MakeStoreFile(kept.mid(3).replace('\\', '/'), "kept");
    }
    SettleMoveLeftovers(services_.InformationMemo());
    const QString emptyName = empty.mid(empty.lastIndexOf('\\') + 1);
    EXPECT_EQ(Files(StoreHost("STORE/C")).keys(), QStringList({emptyName, name}));
    EXPECT_EQ(PaneText().count("could not be settled"), 1) << qPrintable(PaneText());
}

TEST_F(FileMoveTest, SettleMoveLeftovers_PutsBackWhatWasKeptAsideAndRemovesTheRest) {
    App().MstsRootFolder = "C:\\MSTS";
    App().StoreRootFolder = "D:\\STORE";
    MakeStoreFile(KeptAsidePath("D:\\STORE\\Trains\\x.con").mid(3).replace('\\', '/'), "kept x");
    temp_.MakeFile(KeptAsidePath("C:\\MSTS\\Routes\\R\\p.pat").mid(3).replace('\\', '/'), "old p");
    temp_.MakeFile("MSTS/Routes/R/P.PAT", "new p");
    temp_.MakeFile("MSTS/Routes/R/ACTIVITIES/.qv-write-7-1.tmp", "part");
    SettleMoveLeftovers(services_.InformationMemo());
    EXPECT_EQ(Files(StoreHost("STORE")).keys(), QStringList("Trains/x.con"));
    EXPECT_EQ(Files(temp_.Host("MSTS")).keys(), QStringList("Routes/R/P.PAT"));
    EXPECT_EQ(PaneText().count("cut short"), 3) << qPrintable(PaneText());
}

TEST_F(FileMoveTest, MoveEntry_RefusesAMoveOntoTheSameFile) {
    // Through a link to the source's folder, and by the source's own path with a folder spelled
    // otherwise, in ASCII and beyond it.
    const struct {
        const char* file;
        const char* source;
        const char* target;
        bool linked;
    } cases[] = {
        {"MSTS/C/a.con", "C:\\MSTS\\C\\a.con", "D:\\STORE\\C\\a.con", true},
        {"MSTS/Cons/a.con", "C:\\MSTS\\Cons\\a.con", "C:\\msts\\CONS\\a.con", false},
        {"MSTS/Züge/b.con", "C:\\MSTS\\Züge\\b.con", "C:\\MSTS\\ZÜGE\\b.con", false},
    };
    for (const auto& c : cases) {
        temp_.MakeFile(c.file, "only copy");
        if (c.linked) {
            QDir().mkpath(StoreHost("STORE"));
            QFile::link(temp_.Host("MSTS/C"), StoreHost("STORE/C"));
        }
        EXPECT_FALSE(
            MoveEntry(QString::fromUtf8(c.source), QString::fromUtf8(c.target), MOVE_RENAME))
            << c.source;
        EXPECT_EQ(Read(temp_.Host(c.file)), "only copy") << c.source;
    }
    EXPECT_EQ(PaneText().count("Attempting move to the same file"), 3);
}

TEST_F(FileMoveTest, MoveEntry_FailedCopyLeavesTheTargetAsItWas) {
    temp_.MakeFile("MSTS/a.con", QByteArray(200000, 'n'));
    MakeStoreFile("STORE/a.con", "existing");
    SetCopyBlockHookForTests([](qint64 copied) { return copied < 65536; });
    ui_.ExpectConfirmFileMove(ID_YES);
    EXPECT_FALSE(MoveEntry("C:\\MSTS\\a.con", "D:\\STORE\\a.con", MOVE_COPY));
    EXPECT_EQ(Read(StoreHost("STORE/a.con")), "existing");
    EXPECT_EQ(QDir(StoreHost("STORE")).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_FALSE(MoveEntry("C:\\MSTS\\a.con", "D:\\STORE\\New\\a.con", MOVE_COPY));
    EXPECT_FALSE(QFileInfo::exists(StoreHost("STORE/New/a.con")));
    EXPECT_EQ(Read(temp_.Host("MSTS/a.con")).size(), 200000);
    EXPECT_TRUE(App().RunHadErrors);
}

TEST_F(FileMoveTest, RenameWithWait_AsksAfterEachTenWaitsWithoutSleepingForReal) {
    temp_.MakeFile("MSTS/a.eng", "e");
    ops_.refuseRenames = 1000;
    ui_.Expect("waiting for access to a file for 10 seconds", ID_YES);
    ui_.Expect("Do you want Quarvel to try again?", ID_NO);
    EXPECT_FALSE(MoveEntry("C:\\MSTS\\a.eng", "D:\\STORE\\a.eng", MOVE_RENAME));
    EXPECT_EQ(clock_.Sleeps(), 20);
    EXPECT_EQ(ui_.Shown().size(), 2u);
    EXPECT_EQ(ui_.Shown()[0].style, 36);
    EXPECT_TRUE(ui_.Mismatches().isEmpty());
    QStringList waits = services_.details.filter("Waiting (");
    ASSERT_EQ(waits.size(), 20);
    EXPECT_EQ(waits[0], "Waiting (1) for file access: D:\\STORE\\a.eng");
    EXPECT_EQ(waits[9], "Waiting (10) for file access: D:\\STORE\\a.eng");
    EXPECT_EQ(waits[10], "Waiting (1) for file access: D:\\STORE\\a.eng");
    EXPECT_TRUE(App().RunHadErrors);
    EXPECT_TRUE(App().StockCacheStale) << "the cache is marked even when the rename failed";

    // A file released during the waits moves without a question.
    App().RunHadErrors = false;
    ops_.refuseRenames = 3;
    EXPECT_TRUE(RenameWithWait("C:\\MSTS\\a.eng", "D:\\STORE\\a.eng"));
    EXPECT_EQ(clock_.Sleeps(), 23);
    EXPECT_EQ(ui_.Shown().size(), 2u);
    EXPECT_FALSE(App().RunHadErrors);
}

// A folder the user may not write to refuses every rename into it: no wait can help, so the
// refusal is reported at once, for each file, and the run fails; nothing is asked.
TEST_F(FileMoveTest, MoveEntry_APermissionRefusalIsReportedAtOnceWithoutWaiting) {
    for (const int refusal : {EACCES, EPERM}) {
        for (const bool listed : {true, false}) {
            SCOPED_TRACE(std::to_string(refusal) + (listed ? " in one step" : " step by step"));
            ResetAppState();
            services_.InformationMemo()->Clear();
            temp_.MakeFile("MSTS/a.eng", "e");
            ops_.refuseRenames = 1000;
            ops_.refuseError = refusal;
            ops_.refuseListed = listed;
            const int sleeps = clock_.Sleeps();
            EXPECT_FALSE(MoveEntry("C:\\MSTS\\a.eng", "D:\\STORE\\a.eng", MOVE_RENAME));
            EXPECT_EQ(clock_.Sleeps(), sleeps);
            EXPECT_TRUE(ui_.Shown().empty());
            EXPECT_TRUE(services_.details.filter("Waiting (").isEmpty());
            EXPECT_TRUE(App().RunHadErrors);
            EXPECT_EQ(PaneText().count(QString("Unable to rename file : [%1]").arg(refusal)), 1)
                << qPrintable(PaneText());
            EXPECT_EQ(Read(temp_.Host("MSTS/a.eng")), "e");
        }
    }
    ops_.refuseRenames = 0;
}

TEST_F(FileMoveTest, MoveEntry_RefusesModesOtherThanRenameAndCopy) {
    temp_.MakeFile("MSTS/a.con", "c");
    for (int mode : {2, 3}) {
        EXPECT_FALSE(MoveEntry("C:\\MSTS\\a.con", "D:\\STORE\\a.con", mode));
        EXPECT_TRUE(PaneText().contains(
            QString("Program Error: Invalid calling parameter : [%1]").arg(mode)));
    }
    EXPECT_EQ(Read(temp_.Host("MSTS/a.con")), "c");
    EXPECT_TRUE(App().RunHadErrors);
}

TEST_F(FileMoveTest, CheckAttributes_ReportsReadOnlyEntriesAtAnyDepth) {
    temp_.MakeFile("MSTS/Trains/Consists/a.con", "a");
    EXPECT_TRUE(CheckAttributes("C:\\MSTS\\Trains"));
    MakeTrains();
    EXPECT_FALSE(CheckAttributes("C:\\MSTS\\Trains"));
    EXPECT_TRUE(PaneText().contains("The following file/folder has a R/O System or Hidden "
                                    "attribute set\rFile/Path: 'C:\\MSTS\\Trains\\Consists\\"
                                    "y.con' Attr. Code '33'"));
}

} // namespace
} // namespace qv
