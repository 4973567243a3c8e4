#include "platform/drivemap.h"
#include "platform/renamequeue.h"
#include "platform/winfind.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include "fixtures/tempmsts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// Whether a second look answers from what the first read, asking the disk nothing: only where
// the folders are watched for changes.
bool AnsweredFromListings(const std::function<void()>& look) {
    look();
    const quint64 asks = PathLayerDiskAsks();
    look();
    return PathLayerDiskAsks() == asks;
}

} // namespace

TEST(ResolvePath, FindsAMixedCaseFileFromAnyLetterCase) {
    TempMsts drive;
    drive.MakeSampleTree();
    QString host;
    ASSERT_TRUE(ResolvePath(S("C:\\MSTS\\trains\\CONSISTS\\x.con"), &host));
    EXPECT_EQ(host, drive.Host(S("MSTS/Trains/Consists/X.CON")));
    ASSERT_TRUE(ResolvePath(S("c:/msts/TRAINS/trainset/DASH9/Dash9.ENG"), &host));
    EXPECT_EQ(host, drive.Host(S("MSTS/Trains/Trainset/Dash9/DASH9.eng")));
}

TEST(ResolvePath, ReportsWhyAPathCannotBeFound) {
    TempMsts drive;
    drive.MakeSampleTree();
    QString host;
    int error = 0;
    EXPECT_FALSE(ResolvePath(S("C:\\MSTS\\Trains\\Consists\\Y.CON"), &host, &error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(ResolvePath(S("C:\\MSTS\\Trains\\Consists\\x.con\\y"), &host, &error));
    EXPECT_EQ(error, ENOTDIR);
    EXPECT_FALSE(ResolvePath(S("Q:\\MSTS"), &host, &error));
    EXPECT_EQ(error, kFsNoDrive);
    EXPECT_FALSE(ResolvePath(S("MSTS\\Trains"), &host, &error));
    EXPECT_EQ(error, kFsBadPath);
    EXPECT_FALSE(FsErrorText(kFsAmbiguous).isEmpty());
    EXPECT_NE(FsErrorText(kFsAmbiguous), FsErrorText(ENOENT));
}

TEST(ResolvePath, TakesTheExactNameAndReportsCaseTwinsAsAmbiguous) {
    TempMsts drive;
    drive.MakeFile(S("Twins/a.txt"), "lower");
    drive.MakeFile(S("Twins/A.TXT"), "upper");
    QString host;
    int error = 0;
    ASSERT_TRUE(ResolvePath(S("C:\\twins\\A.TXT"), &host, &error));
    EXPECT_EQ(host, drive.Host(S("Twins/A.TXT")));
    EXPECT_FALSE(ResolvePath(S("C:\\twins\\a.Txt"), &host, &error));
    EXPECT_EQ(error, kFsAmbiguous);
    ResolvedPath resolved;
    EXPECT_FALSE(ResolvePathForCreate(S("C:\\twins\\a.Txt"), &resolved, &error));
    EXPECT_EQ(error, kFsAmbiguous);
}

TEST(ResolvePathForCreate, ResolvesTheExistingPrefixAndAppendsTheRestAsGiven) {
    TempMsts drive;
    drive.MakeSampleTree();
    ResolvedPath resolved;
    ASSERT_TRUE(ResolvePathForCreate(S("C:\\msts\\TRAINS\\NewFolder\\New.con"), &resolved));
    EXPECT_FALSE(resolved.exists);
    EXPECT_EQ(resolved.host, drive.Host(S("MSTS/Trains/NewFolder/New.con")));
    EXPECT_EQ(resolved.existingHost, drive.Host(S("MSTS/Trains")));
    ASSERT_TRUE(ResolvePathForCreate(S("C:\\msts\\trains\\consists\\x.con"), &resolved));
    EXPECT_TRUE(resolved.exists) << "another letter case is the same entry";
    EXPECT_EQ(resolved.host, drive.Host(S("MSTS/Trains/Consists/X.CON")));
}

TEST(FolderCache, ResolvingManyFilesReadsEachFolderOnce) {
    TempMsts drive;
    for (int i = 0; i < 300; ++i)
        drive.MakeFile(QStringLiteral("MSTS/Trains/Consists/Con%1.CON").arg(i));
    drive.AgeTree();
    const qint64 before = FolderReadCount();
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 300; ++i) {
            QString host;
            ASSERT_TRUE(
                ResolvePath(QStringLiteral("C:\\msts\\trains\\consists\\con%1.con").arg(i), &host));
        }
    }
    EXPECT_LE(FolderReadCount() - before, 4) << "drive root, MSTS, Trains, Consists";
}

TEST(FolderCache, PicksUpAFileAnotherProgramCreatedAfterTheFolderChanged) {
    TempMsts drive;
    drive.MakeSampleTree();
    drive.AgeTree();
    QString host;
    int error = 0;
    EXPECT_FALSE(ResolvePath(S("C:\\msts\\trains\\consists\\y.con"), &host, &error));
    ASSERT_TRUE(ResolvePath(S("C:\\msts\\trains\\consists\\x.con"), &host));
    drive.MakeFile(S("MSTS/Trains/Consists/Y.CON"));
    ASSERT_TRUE(ResolvePath(S("C:\\msts\\trains\\consists\\y.con"), &host, &error));
    EXPECT_EQ(host, drive.Host(S("MSTS/Trains/Consists/Y.CON")));
    // A case twin that appears later makes the inexact name ambiguous instead of a silent pick.
    drive.MakeFile(S("MSTS/Trains/Consists/x.con"));
    EXPECT_FALSE(ResolvePath(S("C:\\msts\\trains\\consists\\X.Con"), &host, &error));
    EXPECT_EQ(error, kFsAmbiguous);
}

TEST(FolderCache, ARunThatTakesTheReportsOnceSeesLaterChangesWhenItEnds) {
    TempMsts drive;
    drive.MakeSampleTree();
    drive.AgeTree();
    QString host;
    const QString y = S("C:\\msts\\trains\\consists\\y.con");
    ASSERT_TRUE(ResolvePath(S("C:\\msts\\trains\\consists\\x.con"), &host));
    {
        const ReportsTakenOnce run;
        {
            const ReportsTakenOnce inner;
            ASSERT_TRUE(ResolvePath(S("C:\\msts\\trains\\consists\\x.con"), &host));
        }
        drive.MakeFile(S("MSTS/Trains/Consists/Y.CON"));
        // The report may wait while the run lasts; an inner run that ends does not end it.
        ResolvePath(y, &host);
    }
    // Once the run is over, the next lookup takes the report.
    ASSERT_TRUE(ResolvePath(y, &host));
    EXPECT_EQ(host, drive.Host(S("MSTS/Trains/Consists/Y.CON")));
}

TEST(FolderCache, OwnChangesKeepTheListingWithoutReadingTheFolderAgain) {
    TempMsts drive;
    for (int i = 0; i < 200; ++i)
        drive.MakeFile(QStringLiteral("Store/Consists/C%1.CON").arg(i));
    drive.MakeFolder(S("MSTS/Trains/Consists"));
    drive.AgeTree();
    QString host;
    ASSERT_TRUE(ResolvePath(S("C:\\store\\consists\\c0.con"), &host));
    ASSERT_FALSE(ResolvePath(S("C:\\msts\\trains\\consists\\c0.con"), &host));
    const qint64 before = FolderReadCount();
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(RenameNoReplace(QStringLiteral("C:\\store\\consists\\c%1.con").arg(i),
                                    QStringLiteral("C:\\msts\\trains\\consists\\C%1.CON").arg(i)));
    EXPECT_LE(FolderReadCount() - before, 2);
    EXPECT_EQ(drive.NamesIn(S("MSTS/Trains/Consists")).size(), 200);
    EXPECT_TRUE(drive.NamesIn(S("Store/Consists")).isEmpty());
    // The listing kept up: moved names are found in any case, and a case twin is refused.
    ASSERT_TRUE(ResolvePath(S("C:\\MSTS\\TRAINS\\CONSISTS\\c199.con"), &host));
    EXPECT_EQ(host, drive.Host(S("MSTS/Trains/Consists/C199.CON")));
    EXPECT_FALSE(ResolvePath(S("C:\\store\\consists\\c5.con"), &host));
    drive.MakeFile(S("Store/Consists/c5.con"));
    int error = 0;
    EXPECT_FALSE(RenameNoReplace(S("C:\\store\\consists\\c5.con"),
                                 S("C:\\msts\\trains\\consists\\c5.con"), &error));
    EXPECT_EQ(error, EEXIST);
}

TEST(FolderCache, OwnChangeDoesNotHideAnotherProgramsEarlierChange) {
    TempMsts drive;
    drive.MakeFile(S("Data/a.txt"));
    drive.AgeTree();
    QString host;
    ASSERT_FALSE(ResolvePath(S("C:\\data\\FOREIGN.TXT"), &host)); // lists Data
    drive.MakeFile(S("Data/Foreign.txt"));                        // another program
    ASSERT_TRUE(DeleteFile(S("C:\\Data\\a.txt")));                // our change, exact name
    EXPECT_TRUE(ResolvePath(S("C:\\data\\FOREIGN.TXT"), &host));
    EXPECT_FALSE(ResolvePath(S("C:\\data\\A.TXT"), &host));
}

TEST(FolderCache, SeesAFileAnotherProgramRedatedWroteOrDeletedAfterItWasAsked) {
    TempMsts drive;
    drive.MakeFile(S("MSTS/Trains/Consists/X.CON"));
    drive.AgeTree();
    const QString path = S("C:\\msts\\trains\\consists\\x.con");
    const QByteArray host = QFile::encodeName(drive.Host(S("MSTS/Trains/Consists/X.CON")));
    ASSERT_NE(FileAge(path), -1);

    // Another program sets the file's date, then writes to it, then deletes it.
    timespec times[2] = {{0, UTIME_OMIT}, {1577934246, 0}}; // 2020-01-02
    ASSERT_EQ(utimensat(AT_FDCWD, host.constData(), times, 0), 0);
    EXPECT_EQ(FileAge(path), DosDateTimeFromUnix(1577934246));
    QFile file(QFile::decodeName(host));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("more");
    file.close();
    EXPECT_NE(FileAge(path), DosDateTimeFromUnix(1577934246));
    ASSERT_EQ(unlink(host.constData()), 0);
    EXPECT_EQ(FileAge(path), -1);
}

TEST(FolderCache, FolderRenamedByAnotherProgramTakesItsFilesAlong) {
    TempMsts drive;
    drive.MakeFile(S("MSTS/Trains/Consists/X.CON"));
    drive.AgeTree();
    QString host;
    ASSERT_TRUE(ResolvePath(S("C:\\MSTS\\TRAINS\\CONSISTS\\X.CON"), &host));
    ASSERT_TRUE(ResolvePath(S("C:\\MSTS\\TRAINS\\CONSISTS\\X.CON"), &host)); // from memory

    ASSERT_TRUE(QDir().rename(drive.Host(S("MSTS/Trains")), drive.Host(S("MSTS/Old"))));
    int error = 0;
    EXPECT_FALSE(ResolvePath(S("C:\\MSTS\\TRAINS\\CONSISTS\\X.CON"), &host, &error));
    EXPECT_EQ(error, ENOENT);
    drive.MakeFile(S("MSTS/TRAINS/CONSISTS/x.con"));
    ASSERT_TRUE(ResolvePath(S("C:\\MSTS\\TRAINS\\CONSISTS\\X.CON"), &host));
    EXPECT_EQ(host, drive.Host(S("MSTS/TRAINS/CONSISTS/x.con")));
}

TEST(FolderCache, AFolderFoundMissingIsSeenWhenItAppears) {
    TempMsts drive;
    drive.MakeFile(S("Store/Trains/Trainset/Other/o.wag"));
    drive.MakeFile(S("MSTS/Trains/Trainset/Loco/a.eng"));
    drive.AgeTree();
    int error = 0;
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(FileAge(S("C:\\store\\trains\\trainset\\loco\\a.eng"), &error), -1);
        EXPECT_EQ(error, ENOENT);
    }
    // Another program makes the folder, then this program makes a file in a second one.
    drive.MakeFile(S("Store/Trains/Trainset/LOCO/A.ENG"));
    EXPECT_NE(FileAge(S("C:\\store\\trains\\trainset\\loco\\a.eng")), -1);
    EXPECT_EQ(FileAge(S("C:\\store\\trains\\trainset\\cars\\c.wag")), -1);
    ASSERT_TRUE(ForceFolders(S("C:\\store\\trains\\trainset\\cars")));
    ASSERT_TRUE(WriteFileAtomic(S("C:\\store\\trains\\trainset\\cars\\c.wag"), "x"));
    EXPECT_NE(FileAge(S("C:\\store\\trains\\trainset\\cars\\c.wag")), -1);
}

TEST(FolderCache, ASettledFileStampChangesWithTheNextWrite) {
    TempMsts drive;
    drive.MakeFile(S("Data/x.eng"), "first");
    const QString path = S("C:\\data\\X.ENG");
    FileStamp stamp;
    ASSERT_NE(FileAge(path, &stamp), -1);
    EXPECT_FALSE(stamp.settled) << "just written: a second write may yet keep its times";
    // Once settled, a write of the same size shows in the stamp.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_NE(FileAge(path, &stamp), -1);
    EXPECT_TRUE(stamp.settled);
    FileStamp again;
    ASSERT_NE(FileAge(path, &again), -1);
    EXPECT_TRUE(stamp.SameFile(again));
    drive.MakeFile(S("Data/x.eng"), "other");
    ASSERT_NE(FileAge(path, &again), -1);
    EXPECT_FALSE(stamp.SameFile(again));
}

TEST(PrefetchFolders, LaterFindsReadNoFolderAgainAndStillSeeLaterChanges) {
    TempMsts drive;
    QStringList folders;
    for (int i = 0; i < 40; ++i) {
        const QString folder = QStringLiteral("Trainset/Car%1").arg(i);
        drive.MakeFile(folder + QStringLiteral("/car%1.WAG").arg(i), QByteArray(i + 1, 'x'));
        drive.MakeFile(folder + QStringLiteral("/Car%1.eng").arg(i));
        drive.MakeFolder(folder + QStringLiteral("/Sound"));
        folders.append(QStringLiteral("C:\\TRAINSET\\car%1").arg(i));
    }
    ASSERT_TRUE(QFile::link(drive.Host(S("Trainset/Car1/car1.WAG")),
                            drive.Host(S("Trainset/Car2/linked.wag"))));
    drive.AgeTree();
    // Every file and folder name of each folder, with the files' times.
    auto findAll = [&] {
        QStringList found;
        for (const QString& folder : folders) {
            for (const QString& mask : {S("\\*.wag"), S("\\*.*")}) {
                QStringList names;
                QList<qint32> times;
                FindNames(folder + mask, false, &names, &times);
                for (qsizetype i = 0; i < names.size(); ++i)
                    found.append(names.at(i) + QLatin1Char(' ') + QString::number(times.at(i)));
                FindNames(folder + mask, true, &names);
                found.append(names);
            }
        }
        return found;
    };
    const QStringList expected = findAll();
    ClearFolderCache();

    PrefetchFolders(folders + QStringList{S("C:\\TRAINSET\\missing")}, true);
    const qint64 reads = FolderReadCount();
    EXPECT_EQ(findAll(), expected);
    EXPECT_EQ(FolderReadCount(), reads);
    PrefetchFolders(folders, true);
    EXPECT_EQ(FolderReadCount(), reads) << "known current: not read again";

    // Another program redates a file, then adds one.
    timespec times[2] = {{0, UTIME_OMIT}, {1577934246, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD,
                        QFile::encodeName(drive.Host(S("Trainset/Car5/car5.WAG"))).constData(),
                        times, 0),
              0);
    QStringList names;
    QList<qint32> ages;
    ASSERT_TRUE(FindNames(folders[5] + S("\\*.wag"), false, &names, &ages));
    EXPECT_EQ(ages, QList<qint32>{DosDateTimeFromUnix(1577934246)});
    drive.MakeFile(S("Trainset/Car3/new.wag"));
    ASSERT_TRUE(FindNames(folders[3] + S("\\*.wag"), false, &names));
    EXPECT_EQ(names, QStringList({S("car3.WAG"), S("new.wag")}));
    int error = 0;
    EXPECT_FALSE(FindNames(S("C:\\trainset\\missing\\*.*"), false, &names, nullptr, &error));
    EXPECT_EQ(error, ENOENT);
}

// Folders read together are watched through several notifiers, whose reports are read one after
// the other. Files moved between them, one at a time or by the rename thread, are still known as
// our own moves (no folder is read again), and another program's change is still seen.
TEST(FolderCache, OurMovesBetweenFoldersReadTogetherReadNoFolderAgain) {
    for (const bool deferred : {false, true}) {
        SCOPED_TRACE(deferred ? "on the rename thread" : "one at a time");
        TempMsts drive;
        constexpr int kFolders = 40;
        QStringList folders;
        for (int i = 0; i < kFolders; ++i) {
            drive.MakeFile(S("MSTS/Car%1/car%1.wag").arg(i));
            drive.MakeFolder(S("STORE/Car%1").arg(i));
            folders << S("C:\\MSTS\\Car%1").arg(i) << S("C:\\STORE\\Car%1").arg(i);
        }
        PrefetchFolders(folders, true);
        const qint64 reads = FolderReadCount();
        {
            std::optional<DeferredRenames> renames;
            if (deferred)
                renames.emplace();
            for (int i = 0; i < kFolders; ++i)
                ASSERT_EQ(RenameListedFile(folders[2 * i] + S("\\car%1.wag").arg(i),
                                           folders[2 * i + 1] + S("\\car%1.wag").arg(i), nullptr),
                          ListedRename::Renamed)
                    << i;
        }
        for (int i = 0; i < kFolders; ++i) {
            EXPECT_FALSE(FileExists(folders[2 * i] + S("\\car%1.wag").arg(i))) << i;
            EXPECT_TRUE(FileExists(folders[2 * i + 1] + S("\\car%1.wag").arg(i))) << i;
        }
        EXPECT_EQ(FolderReadCount(), reads);
        drive.MakeFile(S("MSTS/Car7/late.wag"));
        EXPECT_TRUE(FileExists(S("C:\\MSTS\\Car7\\late.wag")));
        ClearFolderCache();
    }
}

TEST(FolderCache, ChangesMoveWithWhatItLearnsAndKnownListingsAskTheDiskNothing) {
    TempMsts drive;
    drive.MakeFile(S("Trainset/Car1/a.wag"));
    drive.MakeFile(S("Trainset/Car2/b.wag"));
    drive.AgeTree();
    const QStringList folders = {S("C:\\Trainset\\Car1"), S("C:\\Trainset\\Car2")};
    QStringList names;
    QList<qint32> times;
    const auto findAll = [&] {
        for (const QString& folder : folders)
            FindNames(folder + S("\\*.wag"), false, &names, &times);
    };
    if (!AnsweredFromListings(findAll))
        GTEST_SKIP() << "folders here are not watched for changes";
    quint64 asks = PathLayerDiskAsks();
    quint64 changes = FolderCacheChanges();
    findAll();
    EXPECT_EQ(FolderCacheChanges(), changes) << "lookups change nothing";
    EXPECT_EQ(PathLayerDiskAsks(), asks);

    // Another program redates a file, adds one, removes one: each is learnt of at once.
    timespec redate[2] = {{0, UTIME_OMIT}, {1577934246, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD,
                        QFile::encodeName(drive.Host(S("Trainset/Car1/a.wag"))).constData(), redate,
                        0),
              0);
    EXPECT_NE(FolderCacheChanges(), changes);
    changes = FolderCacheChanges();
    drive.MakeFile(S("Trainset/Car2/c.wag"));
    EXPECT_NE(FolderCacheChanges(), changes);
    changes = FolderCacheChanges();
    ASSERT_TRUE(QFile::remove(drive.Host(S("Trainset/Car2/b.wag"))));
    EXPECT_NE(FolderCacheChanges(), changes);

    // Listings read again ask the disk; forgetting them all is a change too.
    asks = PathLayerDiskAsks();
    findAll();
    EXPECT_GT(PathLayerDiskAsks(), asks);
    changes = FolderCacheChanges();
    ClearFolderCache();
    EXPECT_NE(FolderCacheChanges(), changes);
}

// Our own file renames between listed folders: the listings take them over without asking the
// disk, and every change another program makes afterwards is still seen.
TEST(FolderCache, OwnFileRenamesAskTheDiskNothingAndLaterForeignChangesAreSeen) {
    TempMsts drive;
    for (int i = 0; i < 50; ++i)
        drive.MakeFile(QStringLiteral("Store/Consists/C%1.CON").arg(i));
    drive.MakeFile(S("MSTS/Trains/Consists/keep.con"));
    drive.AgeTree();
    QString host;
    ASSERT_TRUE(ResolvePath(S("C:\\store\\consists\\c0.con"), &host));
    if (!AnsweredFromListings(
            [&] { EXPECT_TRUE(ResolvePath(S("C:\\msts\\trains\\consists\\keep.con"), &host)); }))
        GTEST_SKIP() << "folders here are not watched for changes";
    const quint64 asks = PathLayerDiskAsks();
    const QString store = S("C:\\store\\consists\\"), msts = S("C:\\msts\\trains\\consists\\");
    for (int i = 0; i < 50; ++i) {
        const QString name = QStringLiteral("C%1.CON").arg(i);
        ASSERT_TRUE(FileExists(store + name));
        ASSERT_FALSE(FileExists(msts + name));
        ASSERT_TRUE(RenameNoReplace(store + name, msts + name));
        ASSERT_TRUE(FolderExists(S("C:\\msts\\trains\\consists")));
    }
    EXPECT_EQ(PathLayerDiskAsks(), asks);
    EXPECT_EQ(drive.NamesIn(S("MSTS/Trains/Consists")).size(), 51);

    // The folders' own stats moved with the renames.
    struct stat st {
    }, real{};
    ASSERT_TRUE(ResolvePathStat(S("C:\\msts\\trains\\consists"), false, &host, &st));
    ASSERT_EQ(stat(QFile::encodeName(host).constData(), &real), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, real.st_mtim.tv_sec);
    EXPECT_EQ(st.st_mtim.tv_nsec, real.st_mtim.tv_nsec);

    // Another program moves one back the same way, adds a case twin and removes a file.
    ASSERT_TRUE(QFile::rename(drive.Host(S("MSTS/Trains/Consists/C7.CON")),
                              drive.Host(S("Store/Consists/C7.CON"))));
    EXPECT_TRUE(FileExists(store + S("c7.con")));
    EXPECT_FALSE(FileExists(msts + S("c7.con")));
    drive.MakeFile(S("MSTS/Trains/Consists/c8.con"));
    int error = 0;
    EXPECT_FALSE(ResolvePath(msts + S("C8.Con"), &host, &error));
    EXPECT_EQ(error, kFsAmbiguous);
    ASSERT_TRUE(QFile::remove(drive.Host(S("MSTS/Trains/Consists/C9.CON"))));
    EXPECT_FALSE(FileExists(msts + S("c9.con")));
}

// A run that takes the reports once still learns of changes another program made during it
// after a few milliseconds, without waiting for the run to end.
TEST(FolderCache, ALongRunTakesTheReportsAgainNowAndThen) {
    TempMsts drive;
    drive.MakeFile(S("Data/a.txt"));
    drive.AgeTree();
    QString host;
    const ReportsTakenOnce run;
    ASSERT_TRUE(ResolvePath(S("C:\\data\\a.txt"), &host));
    drive.MakeFile(S("Data/b.txt"));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_TRUE(ResolvePath(S("C:\\data\\B.TXT"), &host));
    drive.MakeFile(S("Data/c.txt"));
    ReportsTakenOnce::Again(); // after waiting for the user, say
    EXPECT_TRUE(ResolvePath(S("C:\\data\\C.TXT"), &host));
}

// What the listings tell of an entry agrees with what the disk says, and a link or a name of
// no certain kind is left to the disk.
TEST(FolderCache, ListedKindsAgreeWithTheDisk) {
    TempMsts drive;
    drive.MakeFile(S("Data/file.txt"));
    drive.MakeFolder(S("Data/Sub"));
    ASSERT_EQ(symlink("file.txt", QFile::encodeName(drive.Host(S("Data/link.txt"))).constData()),
              0);
    drive.AgeTree();
    QString host;
    ASSERT_TRUE(ResolvePath(S("C:\\data\\file.txt"), &host));
    struct Case {
        const char* path;
        ListedKind listed;
        bool file;
        bool folder;
    };
    const Case cases[] = {
        {"C:\\DATA\\FILE.TXT", ListedKind::File, true, false},
        {"C:\\data\\sub", ListedKind::Folder, false, true},
        {"C:\\data\\none.txt", ListedKind::Missing, false, false},
        {"C:\\data\\none\\x.txt", ListedKind::Missing, false, false},
        {"C:\\data\\link.txt", ListedKind::Unknown, true, false},
    };
    for (const Case& c : cases) {
        const ListedKind listed = ListedKindOf(S(c.path));
        // Unwatched folders tell nothing; where they tell, they tell right.
        if (listed != ListedKind::Unknown) {
            EXPECT_EQ(listed, c.listed) << c.path;
        }
        EXPECT_EQ(FileExists(S(c.path)), c.file) << c.path;
        EXPECT_EQ(FolderExists(S(c.path)), c.folder) << c.path;
    }
}

// Folders we make and remove, and files we delete, keep their parent's listing known current:
// finding other names there afterwards asks the disk nothing, and the folder made is found.
TEST(FolderCache, OwnFoldersMadeOrRemovedAndFilesDeletedKeepTheParentKnown) {
    TempMsts drive;
    drive.MakeFile(S("Store/keep.txt"));
    drive.MakeFile(S("Store/gone.txt"));
    drive.AgeTree();
    QString host;
    if (!AnsweredFromListings([&] { EXPECT_TRUE(ResolvePath(S("C:\\store\\keep.txt"), &host)); }))
        GTEST_SKIP() << "folders here are not watched for changes";
    ASSERT_FALSE(FolderExists(S("C:\\store\\new\\deeper")));
    ASSERT_TRUE(ForceFolders(S("C:\\store\\new\\deeper")));
    ASSERT_TRUE(DeleteFile(S("C:\\store\\gone.txt")));
    ASSERT_TRUE(RemoveFolder(S("C:\\store\\new\\deeper")));
    const quint64 asks = PathLayerDiskAsks();
    EXPECT_TRUE(FileExists(S("C:\\store\\KEEP.TXT")));
    EXPECT_FALSE(FileExists(S("C:\\store\\gone.txt")));
    EXPECT_EQ(PathLayerDiskAsks(), asks);
    EXPECT_TRUE(FolderExists(S("C:\\store\\NEW")));
    EXPECT_FALSE(FolderExists(S("C:\\store\\new\\deeper")));
    // Another program's change of the same kind is still seen.
    drive.MakeFolder(S("Store/new/Deeper"));
    EXPECT_TRUE(FolderExists(S("C:\\store\\new\\deeper")));
    ASSERT_TRUE(QDir(drive.Host(S("Store/new/Deeper"))).removeRecursively());
    EXPECT_FALSE(FolderExists(S("C:\\store\\new\\deeper")));
}

// A store job renames a file into a folder and then makes a folder in it: the listing our rename
// kept is not read again for that, and a file another program added meanwhile is still seen.
TEST(FolderCache, AFolderMadeAfterAnOwnRenameKeepsItsParentKnownAndSeesOthersChanges) {
    TempMsts drive;
    drive.MakeFile(S("MSTS/a.trk"));
    drive.MakeFile(S("MSTS/b.trk"));
    drive.MakeFolder(S("Store/Route"));
    drive.AgeTree();
    QString host;
    ASSERT_TRUE(ResolvePath(S("C:\\msts\\a.trk"), &host));
    ASSERT_FALSE(ResolvePath(S("C:\\store\\route\\a.trk"), &host));
    if (!AnsweredFromListings([&] { EXPECT_TRUE(ResolvePath(S("C:\\msts\\a.trk"), &host)); }))
        GTEST_SKIP() << "folders here are not watched for changes";
    ASSERT_TRUE(RenameNoReplace(S("C:\\msts\\a.trk"), S("C:\\store\\route\\a.trk")));
    const qint64 reads = FolderReadCount();
    ASSERT_TRUE(ForceFolders(S("C:\\store\\route\\activities")));
    EXPECT_EQ(FolderReadCount(), reads) << "the parent's listing took the new folder";
    EXPECT_TRUE(FileExists(S("C:\\store\\route\\A.TRK")));

    ASSERT_TRUE(RenameNoReplace(S("C:\\msts\\b.trk"), S("C:\\store\\route\\b.trk")));
    drive.MakeFile(S("Store/Route/Foreign.trk")); // another program
    ASSERT_TRUE(ForceFolders(S("C:\\store\\route\\paths")));
    EXPECT_TRUE(FileExists(S("C:\\store\\route\\FOREIGN.TRK")));
    EXPECT_TRUE(FolderExists(S("C:\\store\\route\\PATHS")));
    EXPECT_EQ(drive.NamesIn(S("Store/Route")).size(), 5);
}

// A job's folders made together: each made once under the letter case asked (one there in
// another case is that one), one with a missing parent too, one that cannot be made reported
// while the others are made; files then go into them with no folder read again, and another
// program's file in one of them is still seen.
TEST(FolderCache, FoldersMadeTogetherAreListedOnceAndStillSeeOthersChanges) {
    TempMsts drive;
    drive.MakeFolder(S("Store/Trainset/Old"));
    drive.MakeFile(S("Store/file.txt"));
    drive.MakeFile(S("MSTS/a.eng"));
    drive.MakeFile(S("MSTS/b.wag"));
    drive.AgeTree();
    ASSERT_TRUE(FolderExists(S("C:\\store\\trainset")));
    QString host;
    if (!AnsweredFromListings([&] { EXPECT_TRUE(ResolvePath(S("C:\\msts\\a.eng"), &host)); }))
        GTEST_SKIP() << "folders here are not watched for changes";
    int error = 0;
    EXPECT_FALSE(ForceFoldersTogether({S("C:\\store\\trainset\\A"), S("C:\\store\\trainset\\OLD"),
                                       S("C:\\store\\file.txt\\sub"), S("C:\\store\\new\\deeper"),
                                       S("C:\\store\\trainset\\B")},
                                      &error));
    EXPECT_EQ(error, ENOTDIR);
    EXPECT_EQ(drive.NamesIn(S("Store/Trainset")), QStringList({S("A"), S("B"), S("Old")}));
    EXPECT_EQ(drive.NamesIn(S("Store/new")), QStringList({S("deeper")}));

    const qint64 reads = FolderReadCount();
    ASSERT_TRUE(RenameNoReplace(S("C:\\msts\\a.eng"), S("C:\\store\\trainset\\a\\a.eng")));
    ASSERT_TRUE(RenameNoReplace(S("C:\\msts\\b.wag"), S("C:\\store\\trainset\\b\\b.wag")));
    EXPECT_TRUE(FolderExists(S("C:\\store\\NEW\\DEEPER")));
    EXPECT_EQ(FolderReadCount(), reads) << "the folders made were read when they were made";
    drive.MakeFile(S("Store/Trainset/A/foreign.eng")); // another program
    EXPECT_TRUE(FileExists(S("C:\\store\\trainset\\a\\FOREIGN.ENG")));
    EXPECT_TRUE(FileExists(S("C:\\store\\trainset\\a\\A.ENG")));
}

// A move asks whether its target exists and creates it a moment later: a file another program
// made in between under another letter case is the target found.
TEST(FolderCache, ATargetFoundMissingSeesAFileAnotherProgramMadeBeforeItIsCreated) {
    TempMsts drive;
    drive.MakeSampleTree();
    drive.AgeTree();
    const QString path = S("C:\\msts\\trains\\consists\\new.con");
    QString host;
    struct stat st {};
    for (int i = 0; i < 2; ++i)
        ASSERT_FALSE(ResolvePathStat(path, false, &host, &st));
    drive.MakeFile(S("MSTS/Trains/Consists/NEW.CON"));
    ResolvedPath resolved;
    ASSERT_TRUE(ResolvePathForCreate(path, &resolved));
    EXPECT_TRUE(resolved.exists);
    EXPECT_EQ(resolved.host, drive.Host(S("MSTS/Trains/Consists/NEW.CON")));
}

// A folder read in the same clock tick as a change of it is trusted while its watch reports
// nothing, and another change in that tick is still seen.
TEST(FolderCache, AFolderReadJustAfterAChangeSeesTheNextChangeInTheSameTick) {
    TempMsts drive;
    for (int round = 0; round < 20; ++round) {
        const QString folder = QStringLiteral("Fresh%1").arg(round);
        drive.MakeFile(folder + S("/a.txt"));
        QString host;
        ASSERT_TRUE(ResolvePath(S("C:\\") + folder + S("\\A.TXT"), &host));
        drive.MakeFile(folder + S("/b.txt"));
        EXPECT_TRUE(FileExists(S("C:\\") + folder + S("\\B.TXT"))) << round;
        ASSERT_TRUE(QFile::remove(drive.Host(folder + S("/a.txt"))));
        EXPECT_FALSE(FileExists(S("C:\\") + folder + S("\\A.TXT"))) << round;
    }
}

// Another program's change of a folder in the same clock tick as our own write leaves the
// folder's stamp as our write left it: its report is still what counts.
TEST(FolderCache, AnotherProgramsChangeInTheTickOfOurOwnWriteIsSeen) {
    TempMsts drive;
    for (int round = 0; round < 20; ++round) {
        const QString folder = QStringLiteral("Own%1").arg(round);
        const QString windows = S("C:\\") + folder + S("\\");
        drive.MakeFile(folder + S("/keep.txt"));
        drive.AgeTree();
        ASSERT_TRUE(FileExists(windows + S("KEEP.TXT")));
        ASSERT_TRUE(WriteFileAtomic(windows + S("a.txt"), "ours"));
        ASSERT_TRUE(QFile::remove(drive.Host(folder + S("/a.txt"))));
        EXPECT_FALSE(FileExists(windows + S("A.TXT"))) << round;
        int error = 0;
        EXPECT_TRUE(WriteFileAtomic(windows + S("a.txt"), "again", &error))
            << round << " " << error;
        EXPECT_EQ(drive.Content(folder + S("/a.txt")), "again") << round;
        ASSERT_TRUE(WriteFileAtomic(windows + S("b.txt"), "ours"));
        drive.MakeFile(folder + S("/c.txt"));
        EXPECT_TRUE(FileExists(windows + S("C.TXT"))) << round;
    }
}

// A path resolved twice in a row is answered the second time from the first answer; whatever
// changes between that and the next lookup of the same path is still seen.
TEST(FolderCache, APathResolvedAgainSeesEveryChangeSinceItsLastAnswer) {
    const QString path = S("C:\\msts\\trains\\consists\\x.con");
    struct Case {
        const char* change;
        std::function<void(TempMsts&, QTemporaryDir&)> make;
        QString expected; // below C:\, empty: not found
    };
    const std::vector<Case> cases = {
        {"renamed by another program",
         [](TempMsts& d, QTemporaryDir&) {
             ASSERT_TRUE(QFile::rename(d.Host(S("MSTS/Trains/Consists/X.CON")),
                                       d.Host(S("MSTS/Trains/Consists/Y.CON"))));
         },
         QString()},
        {"replaced by a case twin",
         [](TempMsts& d, QTemporaryDir&) {
             ASSERT_TRUE(QFile::remove(d.Host(S("MSTS/Trains/Consists/X.CON"))));
             d.MakeFile(S("MSTS/Trains/Consists/x.con"));
         },
         S("MSTS/Trains/Consists/x.con")},
        {"renamed by us",
         [&](TempMsts&, QTemporaryDir&) {
             ASSERT_TRUE(RenameNoReplace(path, S("C:\\msts\\trains\\consists\\z.con")));
         },
         QString()},
        {"drive mapped elsewhere",
         [](TempMsts&, QTemporaryDir& other) {
             ASSERT_TRUE(QDir().mkpath(other.path() + S("/MSTS/TRAINS/CONSISTS")));
             QFile file(other.path() + S("/MSTS/TRAINS/CONSISTS/X.con"));
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             DriveMap drives;
             drives.SetDrive(u'C', other.path());
             SetDriveMap(drives);
         },
         S("<other>/MSTS/TRAINS/CONSISTS/X.con")},
    };
    for (const Case& c : cases) {
        TempMsts drive;
        drive.MakeSampleTree();
        drive.AgeTree();
        QTemporaryDir other;
        QString host;
        ASSERT_TRUE(ResolvePath(path, &host)) << c.change;
        ASSERT_TRUE(ResolvePath(path, &host)) << c.change;
        EXPECT_EQ(host, drive.Host(S("MSTS/Trains/Consists/X.CON"))) << c.change;
        c.make(drive, other);
        int error = 0;
        const bool found = ResolvePath(path, &host, &error);
        if (c.expected.isEmpty()) {
            EXPECT_FALSE(found) << c.change;
            EXPECT_EQ(error, ENOENT) << c.change;
        } else if (c.expected.startsWith(S("<other>"))) {
            ASSERT_TRUE(found) << c.change;
            EXPECT_EQ(host, other.path() + c.expected.mid(7)) << c.change;
        } else {
            ASSERT_TRUE(found) << c.change;
            EXPECT_EQ(host, drive.Host(c.expected)) << c.change;
        }
    }
}

// A folder first looked in below a folder found before is found in that folder's listing: what
// another program did to it meanwhile is seen as the walk from the root would see it.
TEST(FolderCache, AFolderFirstLookedInBelowAKnownOneSeesOthersChanges) {
    struct Case {
        const char* change;
        std::function<void(TempMsts&)> make;
        const char* path;
        bool exists;
        int error;
    };
    const std::vector<Case> cases = {
        {"nothing", [](TempMsts&) {}, "C:\\data\\sub\\f.txt", true, 0},
        {"file made beside it", [](TempMsts& d) { d.MakeFile(S("Data/beside.txt")); },
         "C:\\data\\sub\\f.txt", true, 0},
        {"file made in it", [](TempMsts& d) { d.MakeFile(S("Data/Sub/g.txt")); },
         "C:\\data\\sub\\g.txt", true, 0},
        {"folder made", [](TempMsts& d) { d.MakeFile(S("Data/New/n.txt")); },
         "C:\\data\\new\\n.txt", true, 0},
        {"folder removed", [](TempMsts& d) { QDir(d.Host(S("Data/Sub"))).removeRecursively(); },
         "C:\\data\\sub\\f.txt", false, ENOENT},
        {"case twin made", [](TempMsts& d) { d.MakeFile(S("Data/SUB/f.txt")); },
         "C:\\data\\sub\\f.txt", false, kFsAmbiguous},
        {"file in its place", [](TempMsts& d) { d.MakeFile(S("Data/plain")); },
         "C:\\data\\plain\\f.txt", false, ENOTDIR},
        {"folders made below a missing one",
         [](TempMsts& d) { d.MakeFile(S("Data/None/Deeper/x.txt")); },
         "C:\\data\\none\\deeper\\x.txt", true, 0},
    };
    for (const Case& c : cases) {
        TempMsts drive;
        drive.MakeFile(S("Data/other.txt"));
        drive.MakeFile(S("Data/Sub/f.txt"));
        drive.AgeTree();
        // The parent is found, its sub-folder listed, and a folder below a missing one found.
        ASSERT_TRUE(FileExists(S("C:\\data\\other.txt"))) << c.change;
        EXPECT_FALSE(FileExists(S("C:\\data\\sub\\g.txt"))) << c.change;
        EXPECT_FALSE(FileExists(S("C:\\data\\none\\deeper\\x.txt"))) << c.change;
        c.make(drive);
        // The parent is found again after the change, before the folder below it.
        ASSERT_TRUE(FileExists(S("C:\\data\\other.txt"))) << c.change;
        for (int round = 0; round < 2; ++round) {
            int error = 0;
            EXPECT_EQ(FileExists(S(c.path), &error), c.exists) << c.change << " " << round;
            EXPECT_EQ(error, c.error) << c.change << " " << round;
        }
    }
}

// A folder just found is taken as there by ForceFolders until anyone changes anything on the
// way: then it is made again, or refused where a file took its place.
TEST(FolderCache, AFolderJustFoundIsMadeAgainWhenAnotherProgramRemovedIt) {
    struct Case {
        const char* change;
        std::function<void(TempMsts&)> make;
        bool made;
        int error;
    };
    const std::vector<Case> cases = {
        {"nothing", [](TempMsts&) {}, true, 0},
        {"folder removed", [](TempMsts& d) { QDir(d.Host(S("Data/Sub"))).removeRecursively(); },
         true, 0},
        {"file in its place",
         [](TempMsts& d) {
             QDir(d.Host(S("Data/Sub"))).removeRecursively();
             d.MakeFile(S("Data/Sub"));
         },
         false, ENOTDIR},
    };
    for (const Case& c : cases) {
        TempMsts drive;
        drive.MakeFile(S("Data/Sub/f.txt"));
        drive.AgeTree();
        ASSERT_TRUE(FileExists(S("C:\\data\\sub\\f.txt"))) << c.change;
        ASSERT_FALSE(FileExists(S("C:\\data\\sub\\g.txt"))) << c.change;
        c.make(drive);
        int error = 0;
        EXPECT_EQ(ForceFolders(S("C:\\data\\sub"), &error), c.made) << c.change;
        EXPECT_EQ(error, c.error) << c.change;
        // Made again as spelled here, "sub".
        EXPECT_EQ(QDir(drive.Host(S("Data"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
                  c.made ? 1 : 0)
            << c.change;
        EXPECT_EQ(FolderExists(S("C:\\data\\sub")), c.made) << c.change;
    }
}

// The reports of our own renames are passed over however many come at once and whatever their
// names, so the listings are not read again; another program's change queued behind them is
// still seen.
TEST(FolderCache, OwnRenameReportsInAnyNumberLeaveAnotherProgramsLaterChangeSeen) {
    struct Case {
        const char* what;
        const char* name; // %1: the file's number
        int files;
    };
    const Case cases[] = {
        {"one plain name", "C%1.CON", 1},
        {"more reports than one read of them takes", "Consist number %1 of many.con", 400},
        {"names beyond ASCII", "Zo\xc3\xab %1.con", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempMsts drive;
        for (int i = 0; i < c.files; ++i)
            drive.MakeFile(S("Store/Consists/") + S(c.name).arg(i));
        drive.MakeFile(S("MSTS/Trains/Consists/keep.con"));
        drive.AgeTree();
        const QString store = S("C:\\store\\consists\\"), msts = S("C:\\msts\\trains\\consists\\");
        ASSERT_TRUE(FileExists(store + S(c.name).arg(0)));
        if (!AnsweredFromListings([&] { EXPECT_TRUE(FileExists(msts + S("keep.con"))); }))
            GTEST_SKIP() << "folders here are not watched for changes";
        const ReportsTakenOnce run;
        for (int i = 0; i < c.files; ++i)
            ASSERT_TRUE(RenameNoReplace(store + S(c.name).arg(i), msts + S(c.name).arg(i)));
        const qint64 reads = FolderReadCount();
        ReportsTakenOnce::Again();
        EXPECT_TRUE(FileExists(msts + S(c.name).arg(c.files - 1)));
        EXPECT_FALSE(FileExists(store + S(c.name).arg(0)));
        EXPECT_EQ(FolderReadCount(), reads) << "only our own renames were reported";

        drive.MakeFile(S("MSTS/Trains/Consists/other.con"));
        ReportsTakenOnce::Again();
        EXPECT_TRUE(FileExists(msts + S("OTHER.CON")));
        EXPECT_EQ(drive.NamesIn(S("MSTS/Trains/Consists")).size(), c.files + 2);
    }
}

// Folders read together on the worker threads are watched as they are read: our own renames
// between them are passed over, and another program's change in any of them is seen, also right
// after our own rename into that folder.
TEST(FolderCache, FoldersReadTogetherPassOverOurOwnRenamesAndSeeEveryOtherChange) {
    TempMsts drive;
    constexpr int kFolders = 8;
    QStringList folders;
    const auto own = [](int i) { return QStringLiteral("\\own%1.wag").arg(i); };
    for (int i = 0; i < kFolders; ++i) {
        drive.MakeFile(QStringLiteral("Trainset/F%1/own%1.wag").arg(i));
        folders.append(QStringLiteral("C:\\TRAINSET\\F%1").arg(i));
    }
    drive.AgeTree();
    PrefetchFolders(folders, true);
    const quint64 asks = PathLayerDiskAsks();
    ASSERT_TRUE(FileExists(folders[0] + own(0)));
    if (PathLayerDiskAsks() != asks)
        GTEST_SKIP() << "folders here are not watched for changes";

    // Each folder's file into the next folder.
    const qint64 reads = FolderReadCount();
    for (int i = 0; i < kFolders; ++i)
        ASSERT_TRUE(RenameNoReplace(folders[i] + own(i), folders[(i + 1) % kFolders] + own(i)));
    for (int i = 0; i < kFolders; ++i) {
        EXPECT_FALSE(FileExists(folders[i] + own(i))) << i;
        EXPECT_TRUE(FileExists(folders[(i + 1) % kFolders] + own(i))) << i;
    }
    EXPECT_EQ(FolderReadCount(), reads) << "only our own renames were reported";

    // Each file back, and another program's file into the same folder right after.
    for (int i = 0; i < kFolders; ++i) {
        ASSERT_TRUE(RenameNoReplace(folders[(i + 1) % kFolders] + own(i), folders[i] + own(i)));
        drive.MakeFile(QStringLiteral("Trainset/F%1/other%1.wag").arg(i));
    }
    for (int i = 0; i < kFolders; ++i) {
        EXPECT_TRUE(FileExists(folders[i] + QStringLiteral("\\OTHER%1.WAG").arg(i))) << i;
        EXPECT_TRUE(FileExists(folders[i] + own(i))) << i;
        EXPECT_FALSE(FileExists(folders[(i + 1) % kFolders] + own(i))) << i;
    }
}

// The rename thread makes the renames in the order given and tells each that failed or that its
// check refused, touching nothing else.
TEST(RenameQueue, MakesTheRenamesInOrderAndTellsWhatFailedOrWasRefused) {
    TempMsts drive;
    drive.MakeFile(S("A/one"), "1");
    drive.MakeFile(S("A/taken"), "mine");
    drive.MakeFile(S("B/taken"), "theirs");
    drive.MakeFile(S("A/ro"), "ro");
    ASSERT_EQ(chmod(QFile::encodeName(drive.Host(S("A/ro"))), 0444), 0);
    ASSERT_EQ(symlink("one", QFile::encodeName(drive.Host(S("A/link"))).constData()), 0);
    drive.MakeFolder(S("C"));
    // Names of other lengths and letters one after another from and to the same folders.
    drive.MakeFile(S("A/Wägen lang.wag"), "w");
    drive.MakeFile(S("A/x"), "x");
    drive.MakeFile(S("Ä/y"), "y");
    const auto at = [&](const char* relative) { return drive.Host(S(relative)); };
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
        {"A/Wägen lang.wag", "C/Wägen lang.wag", true, 0, false},
        {"A/x", "C/x", true, 0, false},
        {"Ä/y", "C/y", true, 0, false},
    };
    std::vector<FailedRename> failures;
    {
        RenameQueue queue;
        for (const Case& c : cases)
            queue.Push(QueuedRename{HostParentOf(at(c.from)), S(c.from).section(u'/', -1),
                                    HostParentOf(at(c.to)), S(c.to).section(u'/', -1),
                                    c.checkFile});
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
    EXPECT_EQ(drive.Content(S("C/Wägen lang.wag")), QByteArray("w"));
    EXPECT_EQ(drive.Content(S("C/x")), QByteArray("x"));
    EXPECT_EQ(drive.Content(S("C/y")), QByteArray("y"));
    EXPECT_EQ(drive.NamesIn(S("B")), QStringList{S("taken")});
}

// More renames than the queue holds at once, handed over as fast as the caller can: a few files
// go back and forth, each rename possible only after the one before it of the same file, so a
// place used again before the rename in it is done shows as a failure or a file astray.
TEST(RenameQueue, MoreRenamesThanItHoldsAreMadeInTurn) {
    TempMsts drive;
    // Seven files, not a divisor of the queue's places: a place used again holds another file.
    // Each goes out and back 358 times, ending where it started.
    constexpr int kFiles = 7;
    constexpr int kRenames = 5012;
    QStringList names;
    for (int f = 0; f < kFiles; ++f) {
        names << QStringLiteral("f%1").arg(f);
        drive.MakeFile(S("A/") + names.back());
    }
    drive.MakeFolder(S("B"));
    const QString a = drive.Host(S("A"));
    const QString b = drive.Host(S("B"));
    {
        RenameQueue queue;
        for (int k = 0; k < kRenames; ++k) {
            const bool out = (k / kFiles) % 2 == 0;
            queue.Push(QueuedRename{out ? a : b, names[k % kFiles], out ? b : a, names[k % kFiles],
                                    false});
        }
        queue.WaitFor(queue.Pushed());
        EXPECT_FALSE(queue.HasFailures());
    }
    EXPECT_EQ(drive.NamesIn(S("A")).size(), kFiles);
    EXPECT_TRUE(drive.NamesIn(S("B")).isEmpty());
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
    drive.MakeFolder(S("STORE/Trains/Consists"));
    const QString from = S("C:\\MSTS\\Trains\\Consists\\ro.con");
    const QString to = S("C:\\STORE\\Trains\\Consists\\ro.con");
    FileExists(from);
    FileExists(to);
    // Made read-only after its folder was read: the stat the listing kept is forgotten, and the
    // rename thread finds out.
    ASSERT_EQ(chmod(QFile::encodeName(drive.Host(S("MSTS/Trains/Consists/ro.con"))), 0444), 0);
    {
        const DeferredRenames deferred;
        ASSERT_EQ(RenameListedFile(from, to, nullptr), ListedRename::Renamed);
    }
    EXPECT_TRUE(FileExists(from));
    EXPECT_FALSE(FileExists(to));
    const DeferredRenames next;
    EXPECT_TRUE(TakeDeferredRenameFailures(true).empty());
}
