#include "platform/keptfolders.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include "fixtures/tempmsts.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// A host path as Wine's Z: drive names it.
QString ThroughZ(const QString& hostPath) {
    return S("Z:") + QString(hostPath).replace(u'/', u'\\');
}

const qint32 kOldAge = PackDosDateTime(QDateTime(QDate(2001, 5, 17), QTime(9, 30, 12)));

} // namespace

TEST(FileAge, ReadsAndSetsThePackedLastWriteTime) {
    TempMsts drive;
    drive.MakeSampleTree();
    const QString path = S("C:\\msts\\trains\\consists\\x.con");
    ASSERT_TRUE(SetFileAge(path, kOldAge));
    EXPECT_EQ(FileAge(path), kOldAge);
    EXPECT_EQ(QFileInfo(drive.Host(S("MSTS/Trains/Consists/X.CON"))).lastModified(),
              UnpackDosDateTime(kOldAge));
    int error = 0;
    EXPECT_EQ(FileAge(S("C:\\msts\\trains\\consists\\none.con"), &error), -1);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(FileAge(S("C:\\msts\\trains"), &error), -1);
    EXPECT_FALSE(SetFileAge(path, -1, &error)) << "not a date";
}

TEST(ReadHostFile, GivesTheBytesWithTheStampAndDateFileAgeGives) {
    TempMsts drive;
    drive.MakeFile(S("MSTS/Trains/Consists/X.CON"), QByteArray("consist bytes"));
    const QString path = S("C:\\msts\\trains\\consists\\x.con");
    ASSERT_TRUE(SetFileAge(path, kOldAge));
    FileStamp asked;
    ASSERT_EQ(FileAge(path, &asked), kOldAge);

    QByteArray bytes;
    FileStamp stamp;
    qint32 age = -1;
    ASSERT_TRUE(ReadHostFile(drive.Host(S("MSTS/Trains/Consists/X.CON")), &bytes, &stamp, &age));
    EXPECT_EQ(bytes, "consist bytes");
    EXPECT_EQ(age, kOldAge);
    EXPECT_TRUE(stamp.SameFile(asked));
    EXPECT_EQ(stamp.settled, asked.settled);

    int error = 0;
    EXPECT_FALSE(ReadHostFile(drive.Host(S("MSTS/Trains/Consists/none.con")), &bytes, nullptr,
                              nullptr, &error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(ReadHostFile(drive.Host(S("MSTS/Trains/Consists")), &bytes, &stamp, &age, &error))
        << "a folder is not a file";
    EXPECT_EQ(error, EISDIR);
}

TEST(FileAttributes, ReadOnlyIsTheMissingOwnerWriteBit) {
    TempMsts drive;
    drive.MakeSampleTree();
    const QString path = S("C:\\MSTS\\TRAINS\\CONSISTS\\X.con");
    const QByteArray host = QFile::encodeName(drive.Host(S("MSTS/Trains/Consists/X.CON")));
    EXPECT_EQ(FileAttributes(path), kFaArchive);
    ASSERT_TRUE(SetFileAttributes(path, kFaReadOnly | kFaArchive));
    EXPECT_EQ(FileAttributes(path), kFaReadOnly | kFaArchive);
    struct stat st {};
    stat(host.constData(), &st);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    ASSERT_TRUE(SetFileAttributes(path, kFaArchive));
    stat(host.constData(), &st);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
    EXPECT_EQ(FileAttributes(S("C:\\msts\\TRAINS")), kFaDirectory);
    EXPECT_EQ(FileAttributes(S("C:\\msts\\none")), kInvalidFileAttributes);
}

TEST(RenameNoReplace, NeverReplacesATargetThatDiffersOnlyInCase) {
    TempMsts drive;
    drive.MakeFile(S("MSTS/Trains/Consists/X.CON"), "kept");
    drive.MakeFile(S("MSTS/Trains/Consists/y.con"), "moving");
    int error = 0;
    EXPECT_FALSE(RenameNoReplace(S("C:\\MSTS\\trains\\consists\\y.con"),
                                 S("C:\\MSTS\\trains\\consists\\x.con"), &error));
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(drive.NamesIn(S("MSTS/Trains/Consists")), QStringList({S("X.CON"), S("y.con")}));
    EXPECT_EQ(drive.Content(S("MSTS/Trains/Consists/X.CON")), QByteArray("kept"));
    EXPECT_FALSE(RenameNoReplace(S("C:\\MSTS\\trains\\consists\\x.con"),
                                 S("C:\\MSTS\\trains\\consists\\X.con"), &error))
        << "the entry itself in another case exists too";
    EXPECT_EQ(error, EEXIST);
}

TEST(RenameNoReplace, MovesFilesAndFoldersIntoMixedCaseFolders) {
    TempMsts drive;
    drive.MakeSampleTree();
    drive.MakeFile(S("Store/Trains/Consists/Z.con"), "z");
    drive.MakeFile(S("Store/Routes/Alps/alps.trk"), "alps");
    ASSERT_TRUE(RenameNoReplace(S("C:\\STORE\\TRAINS\\CONSISTS\\z.CON"),
                                S("C:\\msts\\trains\\consists\\Z.con")));
    EXPECT_EQ(drive.Content(S("MSTS/Trains/Consists/Z.con")), QByteArray("z"));
    EXPECT_FALSE(FileExists(S("C:\\STORE\\TRAINS\\CONSISTS\\z.CON")));
    ASSERT_TRUE(RenameNoReplace(S("C:\\store\\routes\\ALPS"), S("C:\\MSTS\\ROUTES\\Alps")));
    EXPECT_EQ(drive.Content(S("MSTS/Routes/Alps/alps.trk")), QByteArray("alps"));
    int error = 0;
    EXPECT_FALSE(RenameNoReplace(S("C:\\store\\none"), S("C:\\MSTS\\none"), &error));
    EXPECT_EQ(error, ENOENT);
}

TEST(RenameNoReplace, MovesALinkAsOneEntry) {
    TempMsts drive;
    drive.MakeFile(S("Outside/c.txt"), "c");
    drive.MakeFolder(S("Store"));
    drive.MakeFolder(S("MSTS"));
    ASSERT_TRUE(QFile::link(drive.Host(S("Outside")), drive.Host(S("MSTS/Linked"))));
    ASSERT_TRUE(RenameNoReplace(S("C:\\msts\\linked"), S("C:\\store\\Linked")));
    EXPECT_TRUE(QFileInfo(drive.Host(S("Store/Linked"))).isSymLink());
    EXPECT_EQ(drive.Content(S("Outside/c.txt")), QByteArray("c"));
}

TEST(CopyFileWithTimes, CopyKeepsContentTimesAndReadOnlyState) {
    TempMsts drive;
    drive.MakeFile(S("Src/Data.BIN"), QByteArray(200000, 'q'));
    ASSERT_TRUE(SetFileAge(S("C:\\src\\data.bin"), kOldAge));
    ASSERT_TRUE(SetFileAttributes(S("C:\\src\\data.bin"), kFaReadOnly));
    drive.MakeFolder(S("Dst"));
    ASSERT_TRUE(CopyFileWithTimes(S("C:\\SRC\\DATA.bin"), S("C:\\dst\\Data.BIN")));
    EXPECT_EQ(drive.Content(S("Dst/Data.BIN")), QByteArray(200000, 'q'));
    EXPECT_EQ(FileAge(S("C:\\dst\\data.bin")), kOldAge);
    EXPECT_EQ(FileAttributes(S("C:\\dst\\data.bin")), kFaReadOnly | kFaArchive);
    EXPECT_EQ(drive.NamesIn(S("Dst")), QStringList({S("Data.BIN")}));
}

TEST(CopyFileWithTimes, FailureHalfWayLeavesNoTargetAndNoTemporaryFile) {
    TempMsts drive;
    drive.MakeFile(S("Src/big.dat"), QByteArray(300000, 'b'));
    ASSERT_TRUE(SetFileAge(S("C:\\src\\big.dat"), kOldAge));
    drive.MakeFolder(S("Dst"));
    qint64 failedAt = -1;
    SetCopyBlockHookForTests([&](qint64 copied) {
        if (copied < 100000)
            return true;
        failedAt = copied;
        return false;
    });
    int error = 0;
    const bool copied = CopyFileWithTimes(S("C:\\src\\big.dat"), S("C:\\dst\\big.dat"), &error);
    SetCopyBlockHookForTests({});
    EXPECT_FALSE(copied);
    EXPECT_EQ(error, EIO);
    EXPECT_GT(failedAt, 0) << "the failure came after some bytes were written";
    EXPECT_TRUE(drive.NamesIn(S("Dst")).isEmpty());
    EXPECT_FALSE(FileExists(S("C:\\dst\\big.dat")));
    EXPECT_EQ(FileAge(S("C:\\src\\big.dat")), kOldAge) << "the source is untouched";
}

TEST(CopyFileWithTimes, RefusesAnExistingTargetAndSetsNoTimesOnIt) {
    TempMsts drive;
    drive.MakeFile(S("Src/x.con"), "new");
    drive.MakeFile(S("Dst/X.CON"), "existing");
    ASSERT_TRUE(SetFileAge(S("C:\\src\\x.con"), kOldAge));
    const qint32 targetAge = FileAge(S("C:\\dst\\x.con"));
    int error = 0;
    EXPECT_FALSE(CopyFileWithTimes(S("C:\\src\\x.con"), S("C:\\dst\\x.con"), &error));
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(drive.Content(S("Dst/X.CON")), QByteArray("existing"));
    EXPECT_EQ(FileAge(S("C:\\dst\\x.con")), targetAge);
    EXPECT_EQ(drive.NamesIn(S("Dst")), QStringList({S("X.CON")}));
    EXPECT_FALSE(CopyFileWithTimes(S("C:\\src\\x.con"), S("C:\\SRC\\X.CON"), &error))
        << "onto itself in another case";
    EXPECT_EQ(drive.Content(S("Src/x.con")), QByteArray("new"));
    EXPECT_FALSE(CopyFileWithTimes(S("C:\\src\\x.con"), S("C:\\none\\x.con"), &error));
    EXPECT_EQ(error, ENOENT);
}

TEST(WriteFileAtomic, ReplacesTheFileInAnyCaseAndKeepsItsMode) {
    TempMsts drive;
    drive.MakeFile(S("QVDATA/ROUTE.QVC"), "old");
    chmod(QFile::encodeName(drive.Host(S("QVDATA/ROUTE.QVC"))).constData(), 0640);
    ASSERT_TRUE(WriteFileAtomic(S("C:\\qvdata\\route.qvc"), "new content"));
    EXPECT_EQ(drive.NamesIn(S("QVDATA")), QStringList({S("ROUTE.QVC")}));
    EXPECT_EQ(drive.Content(S("QVDATA/ROUTE.QVC")), QByteArray("new content"));
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(drive.Host(S("QVDATA/ROUTE.QVC"))).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    ASSERT_TRUE(WriteFileAtomic(S("C:\\qvdata\\New.qvc"), ""));
    QByteArray data("x");
    ASSERT_TRUE(ReadWholeFile(S("C:\\QVDATA\\NEW.QVC"), &data));
    EXPECT_TRUE(data.isEmpty());
    int error = 0;
    EXPECT_FALSE(WriteFileAtomic(S("C:\\nofolder\\a.qvc"), "x", &error));
    EXPECT_EQ(error, ENOENT);
}

TEST(WriteFileAtomic, RefusesAReadOnlyFile) {
    TempMsts drive;
    drive.MakeFile(S("QVDATA/ROUTE.QVC"), "old");
    ASSERT_TRUE(SetFileAttributes(S("C:\\QVDATA\\ROUTE.QVC"), kFaReadOnly));
    int error = 0;
    EXPECT_FALSE(WriteFileAtomic(S("C:\\QVDATA\\route.qvc"), "new", &error));
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(drive.Content(S("QVDATA/ROUTE.QVC")), QByteArray("old"));
    EXPECT_EQ(drive.NamesIn(S("QVDATA")), QStringList({S("ROUTE.QVC")}));
}

TEST(WriteFileAtomic, RefusesAWriteThroughALinkLeadingOutOfBothKeptFolders) {
    TempMsts drive;
    SetKeptFoldersSource([] { return QStringList{S("C:\\MSTS"), S("C:\\Store")}; });
    drive.MakeFile(S("Outside/notes.txt"), "notes");
    drive.MakeFile(S("Store/real.qvc"), "old");
    drive.MakeFolder(S("MSTS/A"));
    ASSERT_TRUE(QFile::link(S("../../Outside/notes.txt"), drive.Host(S("MSTS/A/x.act"))));
    ASSERT_TRUE(QFile::link(S("../Outside"), drive.Host(S("MSTS/B"))));
    ASSERT_TRUE(QFile::link(S("../../Store/real.qvc"), drive.Host(S("MSTS/A/in.act"))));
    EXPECT_FALSE(WriteFileAtomic(S("C:\\msts\\a\\x.act"), "new"));
    EXPECT_FALSE(WriteFileAtomic(S("C:\\MSTS\\B\\new.srv"), "new"));
    EXPECT_TRUE(WriteFileAtomic(S("C:\\MSTS\\A\\in.act"), "new"));
    SetKeptFoldersSource(nullptr);
}

TEST(DeleteFile, DeletesFilesButRefusesReadOnlyFilesAndFolders) {
    TempMsts drive;
    drive.MakeFile(S("A/del.txt"));
    drive.MakeFile(S("A/ro.txt"));
    ASSERT_TRUE(SetFileAttributes(S("C:\\a\\ro.txt"), kFaReadOnly));
    ASSERT_TRUE(DeleteFile(S("C:\\A\\DEL.TXT")));
    EXPECT_FALSE(FileExists(S("C:\\A\\DEL.TXT")));
    int error = 0;
    EXPECT_FALSE(DeleteFile(S("C:\\A\\RO.TXT"), &error));
    EXPECT_EQ(error, EACCES);
    EXPECT_FALSE(DeleteFile(S("C:\\A"), &error));
    EXPECT_EQ(error, EISDIR);
    EXPECT_EQ(drive.NamesIn(S("A")), QStringList({S("ro.txt")}));
}

TEST(Folders, CreateUnderMixedCasePrefixesAndRemoveOnlyWhenEmpty) {
    TempMsts drive;
    drive.MakeSampleTree();
    ASSERT_TRUE(ForceFolders(S("C:\\msts\\TRAINS\\Trainset\\New\\Deeper")));
    EXPECT_TRUE(QFileInfo(drive.Host(S("MSTS/Trains/Trainset/New/Deeper"))).isDir());
    EXPECT_TRUE(ForceFolders(S("C:\\MSTS\\trains\\trainset\\new\\deeper"))) << "already there";
    int error = 0;
    EXPECT_FALSE(CreateFolder(S("C:\\msts\\trains\\TRAINSET"), &error));
    EXPECT_EQ(error, EEXIST);
    EXPECT_FALSE(CreateFolder(S("C:\\msts\\none\\child"), &error));
    EXPECT_EQ(error, ENOENT);
    ASSERT_TRUE(CreateFolder(S("C:\\msts\\trains\\Store")));
    EXPECT_TRUE(FolderExists(S("C:\\MSTS\\TRAINS\\STORE")));
    EXPECT_FALSE(FileExists(S("c:\\msts\\trains")));
    EXPECT_FALSE(FolderExists(S("c:\\msts\\trains\\consists\\x.con")));
    EXPECT_FALSE(ForceFolders(S("C:\\msts\\trains\\consists\\x.con\\sub"), &error));
    EXPECT_FALSE(RemoveFolder(S("C:\\msts\\trains\\trainset\\new"), &error));
    EXPECT_EQ(error, ENOTEMPTY);
    ASSERT_TRUE(RemoveFolder(S("C:\\msts\\trains\\trainset\\new\\DEEPER")));
    EXPECT_FALSE(FolderExists(S("C:\\msts\\trains\\trainset\\new\\deeper")));
}

// Folders made in a row in a folder known current ask the disk for nothing of that folder: its
// listing takes each over, and another program's change in it afterwards is still seen.
TEST(Folders, MadeTogetherInAFolderKnownCurrentAskNothingOfIt) {
    TempMsts drive;
    drive.MakeFolder(S("STORE/Trainset"));
    drive.AgeTree();
    EXPECT_FALSE(FileExists(S("C:\\STORE\\Trainset\\none")));
    QStringList folders;
    for (int i = 0; i < 20; ++i)
        folders.append(S("C:\\STORE\\Trainset\\F%1").arg(i));
    const quint64 asks = PathLayerDiskAsks();
    ASSERT_TRUE(ForceFoldersTogether(folders));
    // Each new folder is read once, so that the files going into it find it listed.
    EXPECT_LE(PathLayerDiskAsks() - asks, quint64(folders.size()));
    for (const QString& folder : folders)
        EXPECT_TRUE(FolderExists(folder)) << qPrintable(folder);
    drive.MakeFile(S("STORE/Trainset/late.wag"));
    EXPECT_TRUE(FileExists(S("C:\\STORE\\Trainset\\LATE.WAG")));
    EXPECT_EQ(drive.NamesIn(S("STORE/Trainset")).size(), 21);
}

TEST(Folders, RemovingALinkedFolderRemovesTheLinkOnly) {
    TempMsts drive;
    drive.MakeFile(S("Outside/keep.txt"));
    drive.MakeFolder(S("MSTS"));
    ASSERT_TRUE(QFile::link(drive.Host(S("Outside")), drive.Host(S("MSTS/Linked"))));
    ASSERT_TRUE(RemoveFolder(S("C:\\MSTS\\LINKED")));
    EXPECT_FALSE(QFileInfo::exists(drive.Host(S("MSTS/Linked"))));
    EXPECT_TRUE(QFileInfo::exists(drive.Host(S("Outside/keep.txt"))));
}

// What a rename needs is one host file system, whatever letters lead there: MSTS reached through
// C: and a store through Z: (outside the prefix, or the same prefix by its host path) are one.
TEST(SameDrive, NeedsTheSameHostFileSystemWhateverTheLetters) {
    TempMsts drive;
    drive.MakeSampleTree();
    EXPECT_TRUE(SameDrive(S("C:\\MSTS"), S("c:\\store\\not\\there\\yet")));
    EXPECT_FALSE(SameDrive(S("C:\\MSTS"), drive.Host(S("MSTS"))));
    EXPECT_FALSE(SameDrive(S("C:\\MSTS"), S("Q:\\MSTS"))) << "a letter that leads nowhere";
    DriveMap map = TheDriveMap();
    map.SetDrive(QLatin1Char('D'), drive.DriveC());
    SetDriveMap(map);
    EXPECT_TRUE(SameDrive(S("C:\\MSTS"), S("D:\\MSTS"))) << "another letter for one folder";
    EXPECT_TRUE(SameDrive(S("C:\\MSTS"), ThroughZ(drive.Host(S("Store")))));
    EXPECT_TRUE(SameDrive(ThroughZ(drive.Host(S("MSTS"))), S("C:\\Store")));

    QTemporaryDir shm(S("/dev/shm/quarvel-XXXXXX"));
    struct stat a {
    }, b{};
    if (!shm.isValid() || stat(QFile::encodeName(drive.DriveC()).constData(), &a) != 0 ||
        stat(QFile::encodeName(shm.path()).constData(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system to test with";
    ASSERT_TRUE(QFile::link(shm.path(), drive.Host(S("Elsewhere"))));
    EXPECT_FALSE(SameDrive(S("C:\\MSTS"), S("C:\\elsewhere\\store")));
}

// Two roads to one host folder are one folder; a folder beside it, a file, or a road that leads
// nowhere is not.
TEST(SameFolder, ComparesTheHostFoldersWhateverLeadsThere) {
    TempMsts drive;
    drive.MakeSampleTree();
    drive.MakeFolder(S("Other"));
    ASSERT_TRUE(QFile::link(drive.Host(S("MSTS")), drive.Host(S("Linked"))));
    DriveMap map = TheDriveMap();
    map.SetDrive(QLatin1Char('D'), drive.Host(S("MSTS")));
    SetDriveMap(map);
    const struct {
        const char* a;
        QString b;
        bool same;
    } cases[] = {
        {"C:\\MSTS", S("c:\\msts\\"), true},
        {"C:\\MSTS", ThroughZ(drive.Host(S("MSTS"))), true},
        {"C:\\MSTS", S("D:\\"), true},
        {"C:\\MSTS", S("C:\\Linked"), true},
        {"C:\\MSTS", S("C:\\Other"), false},
        {"C:\\MSTS", S("C:\\MSTS\\Trains"), false},
        {"C:\\MSTS", S("C:\\Missing"), false},
        {"C:\\MSTS", S("Q:\\MSTS"), false},
        {"C:\\MSTS\\Trains\\Consists\\X.CON", S("C:\\msts\\trains\\consists\\x.con"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.b.toStdString());
        EXPECT_EQ(SameFolder(S(c.a), c.b), c.same);
        EXPECT_EQ(SameFolder(c.b, S(c.a)), c.same);
    }
}

// One step for a plain file into a folder that is there, under the file's own letter case; every
// other move is left untouched to the step-by-step move (which clears a read-only attribute,
// meets duplicates, makes folders and reports what is wrong).
TEST(RenameListedFile, TakesWhatTheListingsSettleAndLeavesTheRestUntouched) {
    struct Case {
        const char* source;
        const char* target;
        ListedRename expected;
        const char* renamedTo; // Windows form, when renamed
    };
    const Case cases[] = {
        {"C:\\MSTS\\TRAINS\\CONSISTS\\a.CON", "C:\\STORE\\trains\\consists\\a.con",
         ListedRename::Renamed, "C:\\STORE\\trains\\consists\\A.con"},
        {"C:\\MSTS\\Trains\\Consists\\ro.con", "C:\\STORE\\Trains\\Consists\\ro.con",
         ListedRename::NotSettled, nullptr},
        {"C:\\MSTS\\Trains\\Consists\\b.con", "C:\\STORE\\Trains\\Consists\\b.con",
         ListedRename::NotSettled, nullptr}, // B.CON is there
        {"C:\\MSTS\\Trains\\Consists\\A.con", "C:\\STORE\\Trains\\Nowhere\\A.con",
         ListedRename::FolderMissing, nullptr},
        {"C:\\MSTS\\Trains\\Consists\\ro.con", "C:\\STORE\\Trains\\Nowhere\\ro.con",
         ListedRename::NotSettled, nullptr}, // no folder is made for a move that goes step by step
        {"C:\\MSTS\\Trains\\Consists\\sub", "C:\\STORE\\Trains\\Consists\\sub",
         ListedRename::NotSettled, nullptr},
        {"C:\\MSTS\\Trains\\Consists\\link.con", "C:\\STORE\\Trains\\Consists\\link.con",
         ListedRename::NotSettled, nullptr},
        {"C:\\MSTS\\Trains\\Consists\\A.con", "C:\\STORE\\Trains\\Consists\\other.con",
         ListedRename::NotSettled, nullptr},
        {"C:\\MSTS\\Trains\\Consists\\A.con", "C:\\MSTS\\Trains\\Consists\\a.con",
         ListedRename::NotSettled, nullptr},
        {"C:\\MSTS\\Trains\\Consists\\none.con", "C:\\STORE\\Trains\\Consists\\none.con",
         ListedRename::NotSettled, nullptr},
    };
    for (const Case& c : cases) {
        TempMsts drive;
        drive.MakeFile(S("MSTS/Trains/Consists/A.con"), "a");
        drive.MakeFile(S("MSTS/Trains/Consists/ro.con"), "ro");
        drive.MakeFile(S("MSTS/Trains/Consists/b.con"), "b");
        drive.MakeFolder(S("MSTS/Trains/Consists/sub"));
        drive.MakeFile(S("STORE/Trains/Consists/B.CON"), "kept");
        ASSERT_EQ(chmod(QFile::encodeName(drive.Host(S("MSTS/Trains/Consists/ro.con"))), 0444), 0);
        ASSERT_TRUE(QFile::link(S("A.con"), drive.Host(S("MSTS/Trains/Consists/link.con"))));
        const QStringList msts = drive.NamesIn(S("MSTS/Trains/Consists"));
        const QStringList store = drive.NamesIn(S("STORE/Trains/Consists"));
        const QString source = S(c.source), target = S(c.target);
        // The lookups a move makes first leave both folders remembered with their listings.
        FileExists(source);
        FileExists(target);
        QString renamedTo;
        int error = 0;
        EXPECT_EQ(RenameListedFile(source, target, &renamedTo, &error), c.expected) << c.source;
        if (c.expected != ListedRename::Renamed) {
            EXPECT_EQ(drive.NamesIn(S("MSTS/Trains/Consists")), msts) << c.source;
            EXPECT_EQ(drive.NamesIn(S("STORE/Trains/Consists")), store) << c.source;
            if (c.expected != ListedRename::FolderMissing)
                continue;
            // The folder made, the same file goes in one step, its new folder read once.
            ASSERT_TRUE(ForceFolders(S("C:\\STORE\\Trains\\Nowhere")));
            EXPECT_EQ(RenameListedFile(source, target, &renamedTo, &error), ListedRename::Renamed);
            EXPECT_EQ(drive.Content(S("STORE/Trains/Nowhere/A.con")), QByteArray("a"));
            continue;
        }
        EXPECT_EQ(renamedTo, S(c.renamedTo));
        EXPECT_EQ(drive.Content(S("STORE/Trains/Consists/A.con")), QByteArray("a"));
        // The listings took the rename over: both answers are right without asking the disk.
        const quint64 asks = PathLayerDiskAsks();
        EXPECT_FALSE(FileExists(source));
        EXPECT_TRUE(FileExists(S(c.renamedTo)));
        EXPECT_EQ(PathLayerDiskAsks(), asks);
    }
}
