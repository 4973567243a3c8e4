// Settling at start what a move, copy or write cut short left behind: only the program's own
// files are removed, and a file kept aside is never lost.
#include "core/moveleftovers.h"

#include "core/appstate.h"
#include "core/reportpane.h"
#include "fixtures/tempmsts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(MoveLeftovers, RemovesOnlyTheProgramsOwnFilesAndNeverLosesAKeptAsideFile) {
    ResetAppState();
    App().MstsRootFolder = "C:\\MSTS";
    App().StoreRootFolder = "C:\\STORE";
    TempMsts drive;
    drive.MakeFolder("MSTS");
    drive.MakeFolder("STORE");
    ReportPane pane;
    enum Outcome { Removed, Kept, PutBack };
    const struct {
        const char* name;
        const char* place; // a file already in the place it stands for, or null
        Outcome outcome;
        const char* putAs; // the name it is back under
    } cases[] = {
        {".qv-copy-7-2.tmp", nullptr, Removed, nullptr},
        {".qv-move-4242-4-q.pat.tmp", nullptr, PutBack, "q.pat"},
        // A user's file, and the program's forms in letters changed since.
        {".qv-notes.tmp", nullptr, Kept, nullptr},
        {".QV-WRITE-7-3.TMP", nullptr, Kept, nullptr},
        {".qv-copy-7-x.tmp", nullptr, Kept, nullptr},
        {".QV-MOVE-4242-1-R.TRK.TMP", nullptr, PutBack, "R.TRK"},
        {".QV-MOVE-4242-2-S.TRK.TMP", "S.TRK", Kept, nullptr},
        // A name that would lead into other folders is no place.
        {".qv-move-1-1-..\\..\\..\\x.tmp", nullptr, Kept, nullptr},
        {".qv-move-1-2-...tmp", nullptr, Kept, nullptr},
    };
    const QString folder = "MSTS/Routes/Hill/";
    for (const auto& c : cases) {
        drive.MakeFile(folder + QString::fromUtf8(c.name), c.name);
        if (c.place)
            drive.MakeFile(folder + QString::fromLatin1(c.place), "new");
    }
    SettleMoveLeftovers(&pane);

    for (const auto& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        EXPECT_EQ(drive.Content(folder + name) == c.name, c.outcome == Kept) << c.name;
        if (c.outcome == PutBack) {
            EXPECT_EQ(drive.Content(folder + QString::fromLatin1(c.putAs)), c.name) << c.name;
        }
        if (c.place) {
            EXPECT_EQ(drive.Content(folder + QString::fromLatin1(c.place)), "new") << c.name;
        }
        if (c.outcome == Kept) {
            EXPECT_TRUE(pane.Lines().join('\r').contains(name)) << c.name;
        }
    }
    EXPECT_EQ(QDir(drive.DriveC()).entryList(QDir::Files | QDir::Hidden), QStringList());
    ResetAppState();
}

// A folder, not a file, stands where a kept-aside file belongs: no move put it there, so the file
// may be the only copy of what it stands for. It stays, and the pane names it as not settled; a
// file or a link in its place is what the move put there, and the kept-aside file goes.
TEST(MoveLeftovers, AKeptAsideFileWhosePlaceHoldsAFolderStaysAndIsNamed) {
    ResetAppState();
    App().MstsRootFolder = "C:\\MSTS";
    App().StoreRootFolder = "C:\\STORE";
    TempMsts drive;
    drive.MakeFolder("STORE");
    const QString folder = "MSTS/TRAINS/CONSISTS/";
    drive.MakeFile(folder + ".qv-move-4242-1-a.con.tmp", "kept a");
    drive.MakeFolder(folder + "A.CON");
    drive.MakeFile(folder + ".qv-move-4242-2-b.con.tmp", "kept b");
    drive.MakeFile(folder + "b.con", "new b");
    drive.MakeFile(folder + ".qv-move-4242-3-c.con.tmp", "kept c");
    ASSERT_TRUE(QFile::link(drive.Host(folder + "b.con"), drive.Host(folder + "C.con")));
    ReportPane pane;
    SettleMoveLeftovers(&pane);
    EXPECT_EQ(drive.Content(folder + ".qv-move-4242-1-a.con.tmp"), "kept a");
    EXPECT_TRUE(QFileInfo(drive.Host(folder + "A.CON")).isDir());
    EXPECT_EQ(drive.NamesIn(folder),
              QStringList({".qv-move-4242-1-a.con.tmp", "A.CON", "C.con", "b.con"}));
    const QString text = pane.Lines().join('\r');
    EXPECT_TRUE(text.contains("could not be settled : [21]")) << qPrintable(text);
    EXPECT_TRUE(text.contains("C:\\MSTS\\TRAINS\\CONSISTS\\.qv-move-4242-1-a.con.tmp"))
        << qPrintable(text);
    ResetAppState();
}

} // namespace
} // namespace qv
