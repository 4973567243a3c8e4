// The move phase while another program changes the folders under it: renames waiting on the
// rename thread when a folder is moved away or a link put in its place are never made elsewhere,
// each file left behind is named and the run counts as failed; a name alike but for letter case
// made at a target just before its file arrived is met as a duplicate also when the change
// reports were lost.
#include "engine/movephase.h"
#include "engine/worklists.h"

#include "core/appstate.h"
#include "core/mainservices.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "movetestkit.h"
#include "platform/fakeui.h"
#include "platform/folderwatches.h"
#include "platform/renamequeue.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace qv {
namespace {

// The default operations, counting the renames handed to the rename thread (read there too).
class HandingOps : public FileMoveOps {
public:
    ListedRename RenameListed(const QString& from, const QString& to, QString* renamedTo,
                              int* err) override {
        const ListedRename done = FileMoveOps::RenameListed(from, to, renamedTo, err);
        if (done == ListedRename::Renamed)
            ++handed;
        return done;
    }
    std::atomic<int> handed{0};
};

// Every file below a host folder (not through links, the store's data left out) as its small-letter
// relative path and its content, "path:content".
QStringList FilesWithContent(const QString& host) {
    QStringList files;
    QDirIterator it(host, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(host).relativeFilePath(path).toLower();
        if (relative.contains("qvdata/"))
            continue;
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files << relative + ':' + QString::fromUtf8(file.readAll());
    }
    files.sort();
    return files;
}

class MovePhaseRaceTest : public ::testing::Test {
protected:
    MovePhaseRaceTest() {
        memory.Restore();
        RestartProgram();
        SetUi(&ui);
        SetMainServices(&main);
        SetFileMoveOps(&ops);
    }
    ~MovePhaseRaceTest() override {
        SetBeforeQueuedRenameHookForTests({});
        LoseChangeReportsForTests(false);
        SetFileMoveOps(nullptr);
        SetMainServices(nullptr);
        SetUi(nullptr);
        ResetAppState();
    }

    // A store job that keeps nothing in use: every consist and engine goes to the store.
    void RunStoreJob() {
        const WorkLists lists;
        Move(false, QString(), lists, false, false);
    }
    QByteArray Host(const QString& relative) const {
        return QFile::encodeName(drive.Host(relative));
    }
    // Waits (on the rename thread) until the job has handed `count` renames over.
    void WaitUntilHanded(int count) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (ops.handed.load() < count && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    TempFoldersInMemory memory; // first: the folders below are made there
    RegistrySandbox registry;
    TempMsts drive;
    FakeUi ui;
    HeadlessMainServices main;
    HandingOps ops;
};

// After the first consist arrived in the store, another program moves a folder away, or puts a
// link to another installation's folder in place of one, while the renames of the other consists
// wait: nothing goes into or comes out of a folder outside the two, every consist is still whole
// on one side, each one left behind is named in the pane, and the run counts as failed.
TEST_F(MovePhaseRaceTest, RenamesWaitingWhileAFolderIsMovedOrLinkedAreMadeNowhereElse) {
    constexpr int kConsists = 20;
    const char* changes[] = {
        "the store's consists folder swapped for a link out",
        "the store's TRAINS moved out of the store",
        "the MSTS consists folder swapped for a link to another installation",
    };
    for (const char* change : changes) {
        SCOPED_TRACE(change);
        QDir(drive.Host("MSTS")).removeRecursively();
        QDir(drive.Host("STORE")).removeRecursively();
        QDir(drive.Host("Other")).removeRecursively();
        RestartProgram();
        main.InformationMemo()->Clear();
        ops.handed = 0;
        for (int i = 0; i < kConsists; ++i) {
            drive.MakeFile(QString("MSTS/Trains/Consists/c%1.con").arg(i),
                           QString("ours %1").arg(i).toUtf8());
            drive.MakeFile(QString("Other/TRAINS/CONSISTS/c%1.con").arg(i),
                           QString("other %1").arg(i).toUtf8());
        }
        drive.MakeFolder("STORE/TRAINS/CONSISTS");
        drive.MakeFolder("Other/Empty");
        const QString what = QString::fromUtf8(change);
        SetBeforeQueuedRenameHookForTests([&](const QByteArray& source, const QByteArray&) {
            if (!source.endsWith("/c1.con"))
                return;
            WaitUntilHanded(kConsists);
            if (what.contains("store's consists")) {
                ASSERT_EQ(rename(Host("STORE/TRAINS/CONSISTS"), Host("STORE/CONSISTS.aside")), 0);
                ASSERT_EQ(symlink(Host("Other/Empty"), Host("STORE/TRAINS/CONSISTS")), 0);
            } else if (what.contains("TRAINS moved out")) {
                ASSERT_EQ(rename(Host("STORE/TRAINS"), Host("Other/Moved")), 0);
            } else {
                ASSERT_EQ(rename(Host("MSTS/Trains/Consists"), Host("MSTS/Consists.aside")), 0);
                ASSERT_EQ(symlink(Host("Other/TRAINS/CONSISTS"), Host("MSTS/Trains/Consists")), 0);
            }
        });
        RunStoreJob();
        SetBeforeQueuedRenameHookForTests({});
        ASSERT_EQ(ops.handed.load(), kConsists) << "every consist was handed to the rename thread";
        EXPECT_TRUE(App().RunHadErrors);
        // Every consist is whole, once, and nothing of ours went into another installation's
        // folder nor anything of it into ours; the folder moved out of the store holds at most
        // the consist that had arrived before it went (c0 goes back too when it was renamed in
        // one run with those after it).
        const QStringList all = FilesWithContent(drive.Host(""));
        for (int i = 0; i < kConsists; ++i) {
            EXPECT_EQ(all.filter(QRegularExpression(QString(":ours %1$").arg(i))).size(), 1) << i;
            EXPECT_EQ(all.filter(QRegularExpression(QString(":other %1$").arg(i))),
                      QStringList(QString("other/trains/consists/c%1.con:other %1").arg(i)));
        }
        QStringList oursOutside = all.filter(QRegularExpression("^other/.*:ours"));
        if (what.contains("TRAINS moved out"))
            oursOutside.removeAll("other/moved/consists/c0.con:ours 0");
        EXPECT_EQ(oursOutside, QStringList()) << Text(all);
        // Each consist left behind is named.
        const QString pane = main.InformationMemo()->Lines().join('\n');
        for (int i = 1; i < kConsists; ++i)
            EXPECT_TRUE(pane.contains(QString("c%1.con").arg(i))) << i << "\n" << qPrintable(pane);
    }
}

// Another program makes a name alike but for letter case at a consist's target just before the
// consist's rename: the consist goes back and meets the other file as a duplicate (the user is
// asked; cancelled, both stay), also when the change reports were lost meanwhile.
TEST_F(MovePhaseRaceTest, ATwinMadeAtATargetJustBeforeItsRenameIsMetAlsoWhenReportsWereLost) {
    for (const bool lost : {false, true}) {
        SCOPED_TRACE(lost ? "reports lost" : "reports taken");
        QDir(drive.Host("MSTS")).removeRecursively();
        QDir(drive.Host("STORE")).removeRecursively();
        RestartProgram();
        drive.MakeFile("MSTS/Trains/Consists/first.con", "first");
        drive.MakeFile("MSTS/Trains/Consists/f3.con", "ours");
        drive.MakeFolder("STORE/TRAINS/CONSISTS");
        SetBeforeQueuedRenameHookForTests([&](const QByteArray& source, const QByteArray&) {
            if (!source.endsWith("/f3.con"))
                return;
            LoseChangeReportsForTests(lost);
            drive.MakeFile("STORE/TRAINS/CONSISTS/F3.CON", "other");
        });
        const std::size_t dialogs = ui.FileMoves().size();
        ui.ExpectConfirmFileMove(ID_CANCEL);
        RunStoreJob();
        SetBeforeQueuedRenameHookForTests({});
        LoseChangeReportsForTests(false);
        EXPECT_EQ(ui.FileMoves().size(), dialogs + 1);
        EXPECT_TRUE(App().RunHadErrors);
        EXPECT_EQ(
            FilesWithContent(drive.Host("")),
            (QStringList{"msts/trains/consists/f3.con:ours", "store/trains/consists/f3.con:other",
                         "store/trains/consists/first.con:first"}));
    }
    EXPECT_TRUE(ui.Mismatches().isEmpty());
}

} // namespace
} // namespace qv
