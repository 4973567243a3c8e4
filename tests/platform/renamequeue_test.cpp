// The rename thread makes the renames in the order given and tells each that failed or that its
// check refused, touching nothing else.
#include "platform/renamequeue.h"

#include "fixtures/tempmsts.h"
#include "platform/winfind.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

TEST(RenameQueue, MakesTheRenamesInOrderAndTellsWhatFailedOrWasRefused) {
    TempMsts drive;
    drive.MakeFile(S("A/one"), "1");
    drive.MakeFile(S("A/taken"), "mine");
    drive.MakeFile(S("B/taken"), "theirs");
    drive.MakeFile(S("A/ro"), "ro");
    ASSERT_EQ(chmod(QFile::encodeName(drive.Host(S("A/ro"))), 0444), 0);
    ASSERT_EQ(symlink("one", QFile::encodeName(drive.Host(S("A/link"))).constData()), 0);
    drive.MakeFolder(S("C"));
    const auto at = [&](const char* relative) {
        return QFile::encodeName(drive.Host(S(relative)));
    };
    struct Case {
        const char* from;
        const char* to;
        bool checkFile;
        int error;       // 0: renamed
        bool notSettled; // refused by the check, nothing tried
    };
    // "one" goes A -> B -> C: the second only works after the first.
    const Case cases[] = {
        {"A/one", "B/one", true, 0, false},
        {"B/one", "C/one", false, 0, false},
        {"A/taken", "B/taken", false, EEXIST, false},
        {"A/ro", "B/ro", true, 0, true},
        {"A/link", "B/link", true, 0, true},
        {"A/none", "B/none", false, ENOENT, false},
        {"A/ro", "C/ro", false, 0, false}, // unchecked, a read-only file is renamed
    };
    std::vector<FailedRename> failures;
    {
        RenameQueue queue;
        for (const Case& c : cases)
            queue.Push(QueuedRename{at(c.from), at(c.to), c.checkFile});
        queue.WaitFor(queue.Pushed());
        EXPECT_EQ(queue.Done(), quint64(std::size(cases)));
        failures = queue.TakeFailures();
        EXPECT_FALSE(queue.HasFailures());
    }
    std::size_t next = 0;
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        const Case& c = cases[k];
        if (!c.error && !c.notSettled)
            continue;
        ASSERT_LT(next, failures.size()) << c.from;
        EXPECT_EQ(failures[next].seq, k + 1) << c.from;
        EXPECT_EQ(failures[next].error, c.error) << c.from;
        EXPECT_EQ(failures[next].notSettled, c.notSettled) << c.from;
        ++next;
    }
    EXPECT_EQ(next, failures.size());
    EXPECT_EQ(drive.Content(S("C/one")), QByteArray("1"));
    EXPECT_EQ(drive.Content(S("A/taken")), QByteArray("mine"));
    EXPECT_EQ(drive.Content(S("B/taken")), QByteArray("theirs"));
    EXPECT_EQ(drive.Content(S("C/ro")), QByteArray("ro"));
    EXPECT_EQ(drive.NamesIn(S("B")), QStringList{S("taken")});
}

// Renames handed to the rename thread: lookups answer as if they were made at once, and a folder
// read from the disk meanwhile waits for those in flight in it. Their reports come after those
// of a change of ours made meanwhile elsewhere (a folder made): every one is still known as ours,
// so no listing is read again afterwards. A change another program makes meanwhile is still
// seen, whichever thread read its report.
TEST(DeferredRenames, ReportsOfOurOwnChangesOutOfOrderReadNoFolderAgain) {
    TempMsts drive;
    constexpr int kFiles = 200;
    for (int i = 0; i < kFiles; ++i)
        drive.MakeFile(S("MSTS/Trains/Consists/c%1.con").arg(i), "c");
    drive.MakeFolder(S("STORE/Trains/Consists"));
    drive.MakeFolder(S("STORE/Other"));
    const QString from = S("C:\\MSTS\\Trains\\Consists\\c%1.con");
    const QString to = S("C:\\STORE\\Trains\\Consists\\c%1.con");
    FileExists(from.arg(0));
    FileExists(to.arg(0));
    FileExists(S("C:\\STORE\\Trains\\Made"));
    const QString other = S("C:\\STORE\\Other\\late.con");
    EXPECT_FALSE(FileExists(other));
    {
        const DeferredRenames deferred;
        for (int i = 0; i < kFiles; ++i) {
            ASSERT_EQ(RenameListedFile(from.arg(i), to.arg(i), nullptr), ListedRename::Renamed);
            if (i == kFiles / 2) {
                ASSERT_TRUE(ForceFolders(S("C:\\STORE\\Trains\\Made")));
            }
        }
        EXPECT_FALSE(FileExists(from.arg(kFiles - 1)));
        EXPECT_TRUE(FileExists(to.arg(kFiles - 1)));
        // Dropped, the folder is read from the disk when next asked.
        InvalidateFolder(drive.Host(S("STORE/Trains/Consists")));
        QList<FindEntry> entries;
        ASSERT_TRUE(FindEntries(S("C:\\STORE\\Trains\\Consists\\*.con"), &entries));
        EXPECT_EQ(entries.size(), kFiles);
        drive.MakeFile(S("STORE/Other/late.con"));
        WaitForDeferredRenames();
        const qint64 reads = FolderReadCount();
        EXPECT_TRUE(FolderExists(S("C:\\STORE\\Trains\\Made")));
        for (int i = 0; i < kFiles; ++i) {
            EXPECT_FALSE(FileExists(from.arg(i)));
            EXPECT_TRUE(FileExists(to.arg(i)));
        }
        EXPECT_EQ(FolderReadCount(), reads);
        EXPECT_TRUE(FileExists(other));
        EXPECT_TRUE(TakeDeferredRenameFailures(true).empty());
    }
    EXPECT_EQ(drive.NamesIn(S("STORE/Trains/Consists")).size(), kFiles);
}

// A move phase that stops (an exception) leaves its failures untaken: the listings are read again
// and the next phase is not handed them.
TEST(DeferredRenames, FailuresNotTakenEndWithTheirPhase) {
    TempMsts drive;
    drive.MakeFile(S("MSTS/Trains/Consists/ro.con"), "ro");
    ASSERT_EQ(chmod(QFile::encodeName(drive.Host(S("MSTS/Trains/Consists/ro.con"))), 0444), 0);
    drive.MakeFolder(S("STORE/Trains/Consists"));
    const QString from = S("C:\\MSTS\\Trains\\Consists\\ro.con");
    const QString to = S("C:\\STORE\\Trains\\Consists\\ro.con");
    FileExists(from);
    FileExists(to);
    {
        const DeferredRenames deferred;
        ASSERT_EQ(RenameListedFile(from, to, nullptr), ListedRename::Renamed);
    }
    EXPECT_TRUE(FileExists(from));
    EXPECT_FALSE(FileExists(to));
    const DeferredRenames next;
    EXPECT_TRUE(TakeDeferredRenameFailures(true).empty());
}
