#include "platform/folderlisting.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include "fixtures/allocations.h"
#include "fixtures/longpath.h"
#include "fixtures/tempmsts.h"

#include <QFile>
#include <QScopeGuard>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <malloc.h>
#include <map>
#include <random>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QStringList Names(const QList<FindEntry>& entries) {
    QStringList names;
    for (const FindEntry& entry : entries)
        names.append(entry.name);
    return names;
}

const qint32 kOldAge = PackDosDateTime(QDateTime(QDate(2001, 5, 17), QTime(9, 30, 12)));

// The names and times of one kind ("." and ".." left out) that FindEntries lists for a pattern,
// whether it listed anything, and its error.
struct ListedByFindEntries {
    ListedByFindEntries(const QString& pattern, bool folders) {
        QList<FindEntry> entries;
        listed = FindEntries(pattern, &entries, &error);
        for (const FindEntry& entry : std::as_const(entries)) {
            if (entry.IsFolder() == folders && entry.name != S(".") && entry.name != S("..")) {
                names.append(entry.name);
                times.append(entry.writeTime);
            }
        }
    }

    QStringList names;
    QList<qint32> times;
    bool listed = false;
    int error = 0;
};

// FindNames must give what FindEntries gives, filtered by kind, with or without times.
void ExpectFindNamesAsFindEntries(const QString& pattern, bool folders) {
    SCOPED_TRACE(qPrintable(pattern + (folders ? S(" folders") : S(" files"))));
    const ListedByFindEntries listed(pattern, folders);
    const QStringList& names = listed.names;
    const QList<qint32>& times = listed.times;
    QStringList found;
    QList<qint32> foundTimes;
    int error = 0;
    EXPECT_EQ(FindNames(pattern, folders, &found, &foundTimes, &error), !names.isEmpty());
    EXPECT_EQ(found, names);
    EXPECT_EQ(foundTimes, times);
    if (names.isEmpty()) {
        EXPECT_EQ(error, listed.listed ? ENOENT : listed.error);
    }
    QStringList foundOnly;
    FindNames(pattern, folders, &foundOnly);
    EXPECT_EQ(foundOnly, names);
}

// FindDatedFilesIn's files, times, errors and host folders, folder by folder and mask by mask,
// against what FindEntries lists.
void ExpectFilesAsFindEntries(const QStringList& folders, const QStringList& masks,
                              const std::vector<FolderFiles>& files, const char* when) {
    for (qsizetype f = 0; f < folders.size(); ++f) {
        const FolderFiles& found = files[std::size_t(f)];
        ASSERT_EQ(found.found.size(), std::size_t(masks.size()));
        ASSERT_EQ(found.errors.size(), masks.size());
        QString host;
        if (ResolvePath(folders[f], &host) && !found.host.isEmpty()) {
            EXPECT_EQ(found.host, host) << when << " " << qPrintable(folders[f]);
        }
        for (qsizetype m = 0; m < masks.size(); ++m) {
            const QString pattern = folders[f] + u'\\' + masks[m];
            SCOPED_TRACE(std::string(when) + " " + qPrintable(pattern));
            const ListedByFindEntries listed(pattern, false);
            EXPECT_EQ(found.found[std::size_t(m)].names, listed.names);
            EXPECT_EQ(found.found[std::size_t(m)].times, listed.times);
            EXPECT_EQ(found.errors[m], !listed.names.isEmpty() ? 0
                                       : listed.listed         ? ENOENT
                                                               : listed.error);
        }
    }
}

} // namespace

TEST(MatchesMask, FollowsWindowsWildcardRules) {
    EXPECT_TRUE(MatchesMask(S("README"), S("*.*")));
    EXPECT_TRUE(MatchesMask(S("x.CON"), S("*.con")));
    EXPECT_FALSE(MatchesMask(S("c.cons"), S("*.con")));
    EXPECT_TRUE(MatchesMask(S("qv_~temp12.ACT"), S("QV_~TEMP*.act")));
    EXPECT_FALSE(MatchesMask(S("QV_~TEMP12.act.bak"), S("QV_~TEMP*.act")));
    EXPECT_TRUE(MatchesMask(S("a1.pat"), S("a?.pat")));
    EXPECT_FALSE(MatchesMask(S("a.pat"), S("a?.pat")));
    EXPECT_TRUE(MatchesMask(S("Readme"), S("readme.*")));
    EXPECT_TRUE(MatchesMask(S("ÆRØ.txt"), S("ærø.TXT")));
    EXPECT_FALSE(MatchesMask(S("x"), QString()));
}

TEST(FindEntries, ListsMatchingEntriesWithDotEntriesInNameOrder) {
    TempMsts drive;
    drive.MakeFile(S("MSTS/Trains/Consists/b.con"));
    drive.MakeFile(S("MSTS/Trains/Consists/A.CON"));
    drive.MakeFile(S("MSTS/Trains/Consists/c.cons"));
    drive.MakeFolder(S("MSTS/Trains/Consists/Sub"));
    QList<FindEntry> entries;
    ASSERT_TRUE(FindEntries(S("C:\\msts\\TRAINS\\consists\\*.con"), &entries));
    EXPECT_EQ(Names(entries), QStringList({S("A.CON"), S("b.con")}));
    ASSERT_TRUE(FindEntries(S("C:\\msts\\TRAINS\\consists\\*.*"), &entries));
    EXPECT_EQ(Names(entries),
              QStringList({S("."), S(".."), S("A.CON"), S("b.con"), S("c.cons"), S("Sub")}));
    ASSERT_TRUE(FindEntries(S("C:\\*.*"), &entries));
    EXPECT_EQ(Names(entries), QStringList({S("MSTS")})) << "a drive root has no dot entries";
    int error = 0;
    EXPECT_FALSE(FindEntries(S("C:\\msts\\trains\\consists\\*.wag"), &entries, &error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(FindEntries(S("C:\\msts\\missing\\*.*"), &entries, &error));
    EXPECT_EQ(error, ENOENT);
}

TEST(FindEntries, ListsCaseTwinsAndNonAsciiNamesInNameOrder) {
    TempMsts drive;
    for (const char* name : {"b.wag", "B.WAG", "a.WAG", "Ärger.wag", "c.eng"})
        drive.MakeFile(S("Cars/") + S(name));
    QList<FindEntry> entries;
    ASSERT_TRUE(FindEntries(S("C:\\cars\\*.wag"), &entries));
    EXPECT_EQ(Names(entries), QStringList({S("a.WAG"), S("B.WAG"), S("b.wag"), S("Ärger.wag")}));
    ASSERT_TRUE(FindEntries(S("C:\\cars\\ä*"), &entries));
    EXPECT_EQ(Names(entries), QStringList({S("Ärger.wag")}));
}

TEST(FindEntries, NameWithoutWildcardsFindsTheOneEntryWithItsDiskName) {
    TempMsts drive;
    drive.MakeSampleTree();
    QList<FindEntry> entries;
    ASSERT_TRUE(FindEntries(S("C:\\MSTS\\TRAINS\\CONSISTS\\x.con"), &entries));
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].name, S("X.CON"));
    ASSERT_TRUE(FindEntries(S("C:\\msts\\routes\\EUROPE1"), &entries));
    EXPECT_EQ(Names(entries), QStringList({S("Europe1")}));
    EXPECT_TRUE(entries[0].IsFolder());
}

// The one entry FindEntryOf gives is the first FindEntries gives, whatever the path holds.
TEST(FindEntryOf, GivesTheFirstEntryFindEntriesGives) {
    TempMsts drive;
    drive.MakeSampleTree();
    drive.MakeFile(S("Cars/b*.wag"));
    drive.MakeFile(S("Cars/bz.wag"));
    for (const char* path : {"C:\\MSTS\\TRAINS\\CONSISTS\\x.con", "C:\\msts\\routes\\EUROPE1",
                             "C:\\cars\\B*.WAG", "C:\\cars\\b?.wag", "C:\\cars\\missing.wag",
                             "C:\\missing\\x.con", "C:\\cars\\", "C:x.con"}) {
        SCOPED_TRACE(path);
        QList<FindEntry> entries;
        int listError = 0, error = 0;
        const bool listed = FindEntries(S(path), &entries, &listError);
        FindEntry entry;
        ASSERT_EQ(FindEntryOf(S(path), &entry, &error), listed);
        if (!listed) {
            EXPECT_EQ(error, listError);
            continue;
        }
        EXPECT_EQ(entry.name, entries.first().name);
        EXPECT_EQ(entry.attributes, entries.first().attributes);
        EXPECT_EQ(entry.writeTime, entries.first().writeTime);
    }
}

TEST(FindEntries, GivesAttributesSizeAndPackedLastWriteTime) {
    TempMsts drive;
    drive.MakeFile(S("F/ro.txt"), "12345");
    drive.MakeFile(S("F/rw.txt"));
    drive.MakeFolder(S("F/Sub"));
    chmod(QFile::encodeName(drive.Host(S("F/ro.txt"))).constData(), 0444);
    ASSERT_TRUE(SetFileAge(S("C:\\f\\RO.TXT"), kOldAge));
    QList<FindEntry> entries;
    ASSERT_TRUE(FindEntries(S("C:\\F\\*"), &entries));
    ASSERT_EQ(Names(entries), QStringList({S("."), S(".."), S("ro.txt"), S("rw.txt"), S("Sub")}));
    EXPECT_EQ(entries[2].attributes, kFaReadOnly | kFaArchive);
    EXPECT_EQ(entries[2].size, 5);
    EXPECT_EQ(entries[2].writeTime, kOldAge);
    EXPECT_EQ(entries[3].attributes, kFaArchive);
    EXPECT_EQ(entries[4].attributes, kFaDirectory);
    EXPECT_EQ(entries[4].size, 0);
}

// Only a name that has gone since its folder was read is left out of a find: a name whose entry
// cannot be asked for is listed (with its error, counting as a file), and a name whose whole
// path is too long for one call is asked for relative to its folder.
TEST(FindEntries, OnlyANameThatHasGoneIsLeftOut) {
    TempMsts drive;
    const auto [folder, name] = MakeFileBeyondPathLimit(drive, S("Deep"), "12345");
    const auto removeDeep = qScopeGuard([&] { RemoveTreeAtAnyDepth(drive.Host(S("Deep"))); });
    const QString pattern =
        S("C:\\") + QString(folder).replace(QLatin1Char('/'), QLatin1Char('\\')) + S("\\*.con");
    const struct {
        int fault; // what asking for the file gives (0: what the disk says)
        bool listed;
    } cases[] = {{0, true}, {EIO, true}, {EACCES, true}, {ENOENT, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        ClearFolderCache();
        SetListedStatFaultForTests(
            [&](const QString& host) { return host.endsWith(name) ? c.fault : 0; });
        QList<FindEntry> entries;
        int error = 0;
        EXPECT_EQ(FindEntries(pattern, &entries, &error), c.listed);
        QStringList names;
        QList<qint32> times;
        EXPECT_EQ(FindNames(pattern, false, &names, &times), c.listed);
        std::vector<FolderFiles> files;
        FindDatedFilesIn({pattern.chopped(6)}, {S("*.con")}, &files);
        ASSERT_EQ(files.size(), 1u);
        if (!c.listed) {
            EXPECT_EQ(error, ENOENT);
            EXPECT_TRUE(names.isEmpty());
            EXPECT_TRUE(files[0].found.front().names.isEmpty());
            continue;
        }
        ASSERT_EQ(Names(entries), QStringList{name});
        EXPECT_EQ(names, QStringList{name});
        EXPECT_EQ(files[0].found.front().names, QStringList{name});
        EXPECT_EQ(entries[0].statError, c.fault);
        EXPECT_FALSE(entries[0].IsFolder());
        EXPECT_EQ(entries[0].size, c.fault ? 0 : 5);
        EXPECT_EQ(times[0] != 0, c.fault == 0);
    }
    SetListedStatFaultForTests({});
}

TEST(FindEntries, SymlinkedFolderIsOneEntryThatAWalkDoesNotEnter) {
    TempMsts drive;
    drive.MakeFile(S("Tree/a.txt"));
    drive.MakeFile(S("Tree/Real/b.txt"));
    drive.MakeFile(S("Outside/c.txt"));
    drive.MakeFile(S("Outside/d.txt"));
    ASSERT_TRUE(QFile::link(drive.Host(S("Outside")), drive.Host(S("Tree/Linked"))));
    ASSERT_TRUE(QFile::link(drive.Host(S("Tree")), drive.Host(S("Tree/Real/Loop"))));
    QList<FindEntry> entries;
    ASSERT_TRUE(FindEntries(S("C:\\tree\\linked"), &entries));
    EXPECT_TRUE(entries[0].symlink);
    EXPECT_TRUE(entries[0].IsFolder());
    EXPECT_TRUE(entries[0].attributes & kFaReparsePoint);
    EXPECT_FALSE(CanDescend(entries[0]));

    int files = 0, links = 0;
    std::function<void(const QString&)> walk = [&](const QString& folder) {
        QList<FindEntry> found;
        FindEntries(folder + S("\\*.*"), &found);
        for (const FindEntry& entry : found) {
            if (CanDescend(entry))
                walk(folder + QLatin1Char('\\') + entry.name);
            else if (entry.symlink)
                ++links;
            else if (!entry.IsFolder())
                ++files;
        }
    };
    walk(S("C:\\TREE"));
    EXPECT_EQ(files, 2) << "a.txt and Real\\b.txt, nothing behind the links";
    EXPECT_EQ(links, 2);
}

namespace {

// Files of two kinds in any case, a folder named like a file, and links to a file, to a folder and
// to nothing: what every find must tell apart.
void MakeMixedFolder(TempMsts& drive) {
    for (const char* name : {"b.wag", "A.WAG", "B.WAG", "Ärger.wag", "c.eng", "Readme"})
        drive.MakeFile(S("Mixed/") + S(name));
    drive.MakeFolder(S("Mixed/folder.wag"));
    drive.MakeFile(S("Outside/t.wag"));
    ASSERT_TRUE(QFile::link(drive.Host(S("Outside/t.wag")), drive.Host(S("Mixed/toFile.wag"))));
    ASSERT_TRUE(QFile::link(drive.Host(S("Outside")), drive.Host(S("Mixed/toFolder.wag"))));
    ASSERT_TRUE(QFile::link(drive.Host(S("Missing")), drive.Host(S("Mixed/dangling.wag"))));
}

} // namespace

TEST(FindNames, GivesTheNamesAndTimesOfOneKindThatFindEntriesGives) {
    TempMsts drive;
    MakeMixedFolder(drive);
    drive.MakeFolder(S("Mixed/Sub"));
    ASSERT_TRUE(SetFileAge(S("C:\\mixed\\a.wag"), kOldAge));
    const QStringList patterns = {S("C:\\MIXED\\*.*"),      S("C:\\mixed\\*.WAG"),
                                  S("C:\\mixed\\?.wag"),    S("C:\\mixed\\*"),
                                  S("C:\\mixed\\none*.x"),  S("C:\\mixed\\SUB"),
                                  S("C:\\mixed\\readme"),   S("C:\\missing\\*.*"),
                                  S("C:\\mixed\\c.eng\\*"), S("C:\\*.*")};
    auto expectAll = [&] {
        for (const QString& pattern : patterns) {
            ExpectFindNamesAsFindEntries(pattern, true);
            ExpectFindNamesAsFindEntries(pattern, false);
        }
    };
    expectAll(); // freshly written: every listing is read again
    drive.AgeTree();
    expectAll(); // listings and file stats kept
    expectAll();
    // Names this program moves in are of no known kind until the folder is read again.
    ASSERT_TRUE(RenameNoReplace(S("C:\\outside"), S("C:\\mixed\\Moved")));
    ASSERT_TRUE(RenameNoReplace(S("C:\\mixed\\c.eng"), S("C:\\mixed\\D.ENG")));
    expectAll();
}

// Many folders found at once give, folder by folder and mask by mask, the files and times that
// FindEntries lists: read afresh, from listings known current, from the answers they kept, and
// after changes made behind the program's back.
TEST(FindDatedFilesIn, GivesWhatFindEntriesGivesInEveryFolderAndMask) {
    TempMsts drive;
    MakeMixedFolder(drive);
    drive.MakeFile(S("Other/x.wag"));
    drive.MakeFile(S("Deep/Er/Route/PATHS/a.pat"));
    // A folder of more files than one thread stats, each dated apart, so that a stat given to
    // the wrong name shows.
    for (int i = 0; i < 1100; ++i) {
        const QString name = QStringLiteral("Big/f%1.con").arg(i);
        drive.MakeFile(name);
        const timespec when{1000000000 + 2 * i, 0};
        const timespec times[2] = {when, when};
        ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(drive.Host(name)).constData(), times, 0),
                  0);
    }
    // Two spellings of one folder, a missing one, a file, a link to a folder, a folder whose
    // parents were never listed and a large one.
    const QStringList folders = {S("C:\\Big"),
                                 S("C:\\MIXED"),
                                 S("C:\\mixed"),
                                 S("C:\\Other"),
                                 S("C:\\missing"),
                                 S("C:\\mixed\\c.eng"),
                                 S("C:\\mixed\\toFolder.wag"),
                                 S("C:\\deep\\ER\\route\\Paths")};
    const QStringList masks = {S("*.WAG"), S("*.eng"), S("*"), S("*.con")};
    auto expectAll = [&](const char* when) {
        // Asked first, so that its own reading of the folders is tried too.
        std::vector<FolderFiles> names;
        FindFilesIn(folders, masks, &names);
        std::vector<FolderFiles> files;
        // What each folder held when it was handed on, while others may still be read: it must
        // be told once, complete.
        std::vector<std::vector<FindAnswer>> told(std::size_t(folders.size()));
        std::vector<int> tellings(std::size_t(folders.size()), 0);
        FindDatedFilesIn(folders, masks, &files, [&](std::size_t f) {
            ++tellings.at(f);
            told.at(f) = files.at(f).found;
        });
        ASSERT_EQ(files.size(), std::size_t(folders.size()));
        for (std::size_t f = 0; f < files.size(); ++f) {
            EXPECT_EQ(tellings[f], 1) << when << " " << qPrintable(folders[qsizetype(f)]);
            ASSERT_EQ(told[f].size(), files[f].found.size()) << when;
            for (std::size_t m = 0; m < told[f].size(); ++m) {
                EXPECT_EQ(told[f][m].names, files[f].found[m].names) << when;
                EXPECT_EQ(told[f][m].times, files[f].found[m].times) << when;
            }
        }
        ExpectFilesAsFindEntries(folders, masks, files, when);
        // The names alone are the same names: links to folders left out, links to files kept.
        ASSERT_EQ(names.size(), files.size());
        for (std::size_t f = 0; f < files.size(); ++f)
            for (std::size_t m = 0; m < files[f].found.size(); ++m) {
                EXPECT_EQ(names[f].found.at(m).names, files[f].found[m].names) << when;
                EXPECT_TRUE(names[f].found[m].times.isEmpty()) << when;
                EXPECT_EQ(names[f].errors.at(qsizetype(m)), files[f].errors[qsizetype(m)]) << when;
            }
    };
    // The large folder's dates against the dates written, name by name.
    ClearFolderCache();
    std::vector<FolderFiles> big;
    FindDatedFilesIn({S("C:\\Big")}, {S("*.con")}, &big);
    ASSERT_EQ(big.size(), 1u);
    const FindAnswer& bigFiles = big[0].found.at(0);
    ASSERT_EQ(bigFiles.names.size(), 1100);
    for (qsizetype k = 0; k < bigFiles.names.size(); ++k) {
        const int i = bigFiles.names[k].mid(1).chopped(4).toInt();
        ASSERT_EQ(bigFiles.times[k], DosDateTimeFromUnix(1000000000 + 2 * i))
            << qPrintable(bigFiles.names[k]);
    }
    ClearFolderCache();
    expectAll("freshly written"); // every listing is read again
    drive.AgeTree();
    ClearFolderCache();
    expectAll("read");
    expectAll("known current");
    expectAll("answers kept");
    // Others add, rename, date anew and remove, and a folder moves away.
    drive.MakeFile(S("Other/new.WAG"));
    ASSERT_EQ(::rename(QFile::encodeName(drive.Host(S("Mixed/b.wag"))).constData(),
                       QFile::encodeName(drive.Host(S("Mixed/e.eng"))).constData()),
              0);
    const timespec times[2] = {{0, UTIME_OMIT}, {1600000000, 0}};
    ASSERT_EQ(
        utimensat(AT_FDCWD, QFile::encodeName(drive.Host(S("Other/x.wag"))).constData(), times, 0),
        0);
    ASSERT_TRUE(QFile::remove(drive.Host(S("Mixed/A.WAG"))));
    ASSERT_EQ(::rename(QFile::encodeName(drive.Host(S("Deep/Er/Route"))).constData(),
                       QFile::encodeName(drive.Host(S("Deep/Er/Moved"))).constData()),
              0);
    expectAll("changed");
}

// Enough folders found at once to be taken in while others are still read: the answers each
// reading thread kept are given again without the disk being asked, and each change another
// program makes afterwards in one of the folders is seen by the next find.
TEST(FindDatedFilesIn, ManyFoldersKeepTheirAnswersAndSeeLaterChanges) {
    constexpr int kFolders = 48;
    struct Change {
        const char* what;
        std::function<void(TempMsts&, const QString& folder)> make;
    };
    const Change changes[] = {
        {"added", [](TempMsts& d, const QString& f) { d.MakeFile(f + S("/new.wag")); }},
        {"removed", [](TempMsts& d,
                       const QString& f) { ASSERT_TRUE(QFile::remove(d.Host(f + S("/a.wag")))); }},
        {"renamed",
         [](TempMsts& d, const QString& f) {
             ASSERT_EQ(::rename(QFile::encodeName(d.Host(f + S("/a.wag"))).constData(),
                                QFile::encodeName(d.Host(f + S("/z.eng"))).constData()),
                       0);
         }},
        {"dated anew",
         [](TempMsts& d, const QString& f) {
             const timespec times[2] = {{0, UTIME_OMIT}, {1600000000, 0}};
             ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(d.Host(f + S("/b.eng"))).constData(),
                                 times, 0),
                       0);
         }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        TempMsts drive;
        QStringList folders;
        for (int i = 0; i < kFolders; ++i) {
            const QString name = QStringLiteral("Stock/S%1").arg(i);
            drive.MakeFile(name + S("/a.wag"));
            drive.MakeFile(name + S("/b.eng"));
            folders.append(S("C:\\Stock\\S%1").arg(i));
        }
        drive.AgeTree();
        ClearFolderCache();
        const QStringList masks = {S("*.WAG"), S("*.ENG")};
        auto expectAll = [&](const char* when) {
            std::vector<FolderFiles> files;
            FindDatedFilesIn(folders, masks, &files);
            ASSERT_EQ(files.size(), std::size_t(kFolders));
            ExpectFilesAsFindEntries(folders, masks, files, when);
        };
        expectAll("read");
        const quint64 asks = PathLayerDiskAsks();
        expectAll("kept");
        // Where folders are watched, the kept answers asked the disk nothing.
        const bool watched = PathLayerDiskAsks() == asks;
        change.make(drive, QStringLiteral("Stock/S%1").arg(kFolders / 2));
        expectAll("changed");
        if (watched) {
            EXPECT_GT(PathLayerDiskAsks(), asks);
        }
    }
}

// Folders read many at a time are each handed to the taking thread once, in their order, only
// when read (or failed), with or without a taker, few of them or many; a missing folder among
// them fails alone.
TEST(ReadFolders, TakesEachFolderOnceInOrderWhenItIsRead) {
    TempMsts drive;
    constexpr int kMissing = 3; // never made
    QStringList all;
    for (int i = 0; i < 60; ++i) {
        const QString name = QStringLiteral("F%1").arg(i);
        if (i != kMissing)
            drive.MakeFile(name + QStringLiteral("/file%1.wag").arg(i));
        all.append(drive.Host(name));
    }
    // A few are read first and then taken; many are taken while others are read.
    for (const int count : {6, 60}) {
        const QStringList hosts = all.mid(0, count);
        for (const bool taking : {false, true}) {
            SCOPED_TRACE(std::to_string(count) + (taking ? " taken" : " not taken"));
            // Watched through two notifiers, in turn.
            const std::vector<int> notifiers = {inotify_init1(IN_NONBLOCK | IN_CLOEXEC),
                                                inotify_init1(IN_NONBLOCK | IN_CLOEXEC)};
            ASSERT_GE(notifiers[0], 0);
            ASSERT_GE(notifiers[1], 0);
            std::vector<int> taken;
            auto take = [&](std::size_t first, std::span<FolderRead> run) {
                ASSERT_FALSE(run.empty());
                for (std::size_t k = 0; k < run.size(); ++k) {
                    const int i = int(first + k);
                    const FolderRead& read = run[k];
                    taken.push_back(i);
                    // Done before it is taken: listed, or failed with its error.
                    EXPECT_EQ(read.error, i == kMissing ? ENOENT : 0) << i;
                    if (i != kMissing) {
                        EXPECT_TRUE(read.listing.Has(QStringLiteral("file%1.wag").arg(i))) << i;
                    }
                }
            };
            std::vector<FolderRead> reads =
                ReadFolders(hosts, true, notifiers, IN_CREATE | IN_DELETE | IN_ONLYDIR, nullptr,
                            taking ? FolderRunTaker(take) : FolderRunTaker());
            ASSERT_EQ(reads.size(), std::size_t(hosts.size()));
            for (int i = 0; i < count; ++i) {
                FolderRead& read = reads[std::size_t(i)];
                EXPECT_EQ(read.error, i == kMissing ? ENOENT : 0) << i;
                if (i != kMissing) {
                    EXPECT_GE(read.watch, 0) << i;
                    EXPECT_EQ(read.listing.Ordered(),
                              QStringList{QStringLiteral("file%1.wag").arg(i)});
                }
            }
            std::vector<int> inOrder;
            for (int i = 0; taking && i < count; ++i)
                inOrder.push_back(i);
            EXPECT_EQ(taken, inOrder);
            for (const int notifier : notifiers)
                close(notifier);
        }
    }
}

// Host folders given as they are are encoded by the threads that read them: each is read as its
// encoded path would be, whatever its characters.
TEST(ReadFolders, HostFoldersAreReadAsTheirEncodedPaths) {
    TempMsts drive;
    const QStringList names = {S("Plain"), QString::fromUtf8("Gr\xc3\xbcn \xc3\xa9t\xc3\xa9"),
                               S("Missing"), QString::fromUtf8("\xe6\x9d\xb1\xe4\xba\xac")};
    QStringList hosts;
    for (const QString& name : names) {
        if (name != S("Missing"))
            drive.MakeFile(name + S("/") + name + S(".wag"));
        hosts << drive.Host(name);
    }
    std::vector<FolderRead> fromHosts = ReadFolders(hosts, true, {}, 0);
    ASSERT_EQ(fromHosts.size(), std::size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        FolderRead& read = fromHosts[std::size_t(i)];
        // As the one folder read by its encoded path.
        FolderListing alone;
        int error = 0;
        ReadFolder(QFile::encodeName(hosts[i]), true, &alone, &error);
        EXPECT_EQ(read.error, error) << i;
        EXPECT_EQ(read.error, names[i] == S("Missing") ? ENOENT : 0) << i;
        EXPECT_EQ(read.listing.Ordered(), alone.Ordered()) << i;
        if (read.error == 0) {
            EXPECT_TRUE(read.listing.Has(names[i] + S(".wag"))) << i;
        }
    }
}

// One folder listed by two paths, its own and a link's, has one change watch for both: a change
// made behind the program's back is seen by the listings of both paths, whichever came first,
// and after one path's listing went, by the other's still.
TEST(FindNames, AFolderReachedThroughALinkSeesChangesByBothPaths) {
    struct Case {
        const char* first;
        const char* second;
    };
    for (const Case c : {Case{"C:\\real", "C:\\alias"}, Case{"C:\\alias", "C:\\real"}}) {
        SCOPED_TRACE(c.first);
        TempMsts drive;
        drive.MakeFile(S("Real/a.txt"));
        ASSERT_TRUE(QFile::link(drive.Host(S("Real")), drive.Host(S("Alias"))));
        drive.AgeTree();
        const auto names = [&](const char* folder) {
            QStringList found;
            FindNames(S(folder) + S("\\*.txt"), false, &found);
            found.sort();
            return found;
        };
        EXPECT_EQ(names(c.first), QStringList{S("a.txt")});
        EXPECT_EQ(names(c.second), QStringList{S("a.txt")});

        drive.MakeFile(S("Real/b.txt"));
        EXPECT_EQ(names(c.first), (QStringList{S("a.txt"), S("b.txt")}));
        EXPECT_EQ(names(c.second), (QStringList{S("a.txt"), S("b.txt")}));

        // One path's listing goes; the watch stays with the other.
        InvalidateFolder(drive.Host(S(c.first[3] == 'r' ? "Real" : "Alias")));
        ASSERT_TRUE(QFile::remove(drive.Host(S("Real/a.txt"))));
        EXPECT_EQ(names(c.second), QStringList{S("b.txt")});
        EXPECT_EQ(names(c.first), QStringList{S("b.txt")});
    }
}

TEST(FindEntries, ALinkStaysALinkAndFollowsItsTargetWhenAskedAgain) {
    TempMsts drive;
    drive.MakeFile(S("Tree/a.txt"));
    drive.MakeFile(S("Outside/t.txt"), "1");
    ASSERT_TRUE(QFile::link(drive.Host(S("Outside/t.txt")), drive.Host(S("Tree/l.txt"))));
    drive.AgeTree();
    for (int round = 0; round < 2; ++round) {
        QList<FindEntry> entries;
        ASSERT_TRUE(FindEntries(S("C:\\tree\\l.txt"), &entries));
        EXPECT_TRUE(entries[0].symlink) << round;
        ASSERT_TRUE(FindEntries(S("C:\\tree\\*.txt"), &entries));
        ASSERT_EQ(entries.size(), 2);
        EXPECT_TRUE(entries[1].symlink) << round;
        EXPECT_EQ(FileAge(S("C:\\tree\\l.txt")), FileAge(S("C:\\outside\\t.txt")));
        QStringList names;
        QList<qint32> times;
        ASSERT_TRUE(FindNames(S("C:\\tree\\*.txt"), false, &names, &times));
        EXPECT_EQ(times.last(), FileAge(S("C:\\outside\\t.txt")));
    }
    // The target changes in a folder the link's folder does not see.
    drive.MakeFile(S("Outside/t.txt"), "12345");
    ASSERT_TRUE(SetFileAge(S("C:\\outside\\t.txt"), kOldAge));
    EXPECT_EQ(FileAge(S("C:\\tree\\l.txt")), kOldAge);
    QList<FindEntry> entries;
    ASSERT_TRUE(FindEntries(S("C:\\tree\\l.txt"), &entries));
    EXPECT_EQ(entries[0].size, 5);
    QStringList names;
    QList<qint32> times;
    ASSERT_TRUE(FindNames(S("C:\\tree\\*.txt"), false, &names, &times));
    EXPECT_EQ(times.last(), kOldAge);
}

TEST(FindEntries, AFoldersTimeAndAttributesFollowChangesMadeInIt) {
    TempMsts drive;
    drive.MakeFile(S("F/Sub/a.txt"));
    drive.AgeTree();
    auto timeByFindNames = [] {
        QStringList names;
        QList<qint32> times;
        EXPECT_TRUE(FindNames(S("C:\\f\\*"), true, &names, &times));
        return times;
    };
    QList<FindEntry> entries;
    ASSERT_TRUE(FindEntries(S("C:\\f\\sub\\*.*"), &entries)); // its own listing is kept too
    ASSERT_TRUE(FindEntries(S("C:\\f\\*.*"), &entries));
    const qint32 before = entries.last().writeTime;
    EXPECT_EQ(timeByFindNames(), QList<qint32>{before});
    EXPECT_EQ(timeByFindNames(), QList<qint32>{before});
    // Another program adds a file in it; a find without times comes first.
    drive.MakeFile(S("F/Sub/b.txt"));
    QStringList names;
    ASSERT_TRUE(FindNames(S("C:\\f\\*"), true, &names));
    ASSERT_TRUE(FindEntries(S("C:\\f\\*.*"), &entries));
    EXPECT_NE(entries.last().writeTime, before);
    EXPECT_EQ(timeByFindNames(), QList<qint32>{entries.last().writeTime});
    // Then it takes the owner's write right.
    ASSERT_TRUE(FindEntries(S("C:\\f\\sub\\*.*"), &entries));
    ASSERT_EQ(chmod(QFile::encodeName(drive.Host(S("F/Sub"))).constData(), 0555), 0);
    ASSERT_TRUE(FindEntries(S("C:\\f\\*.*"), &entries));
    EXPECT_EQ(entries.last().attributes, kFaDirectory | kFaReadOnly);
    chmod(QFile::encodeName(drive.Host(S("F/Sub"))).constData(), 0755);
}

TEST(PackDosDateTime, PacksDateHighAndTimeLowInLocalTime) {
    const qint32 packed = PackDosDateTime(QDateTime(QDate(2024, 3, 5), QTime(13, 47, 31)));
    EXPECT_EQ(quint32(packed) >> 16, (44u << 9) | (3u << 5) | 5u);
    EXPECT_EQ(quint32(packed) & 0xFFFF, (13u << 11) | (47u << 5) | 15u);
    EXPECT_EQ(UnpackDosDateTime(packed), QDateTime(QDate(2024, 3, 5), QTime(13, 47, 30)));
    EXPECT_EQ(UnpackDosDateTime(PackDosDateTime(QDateTime(QDate(1970, 1, 2), QTime(0, 0)))),
              QDateTime(QDate(1980, 1, 1), QTime(0, 0)));
    EXPECT_FALSE(UnpackDosDateTime(-1).isValid());
}

// A folder of many files has their stats asked on several threads: the times agree with each
// file's own, in the listing's order, and a link among them is still told by what it points to.
TEST(FindNames, TimesOfAFolderOfManyFilesAgreeWithEachFilesOwn) {
    TempMsts drive;
    for (int i = 0; i < 700; ++i)
        drive.MakeFile(QStringLiteral("Many/F%1.con").arg(i, 3, 10, QLatin1Char('0')));
    drive.MakeFolder(QStringLiteral("Many/Sub.con"));
    ASSERT_EQ(symlink("F001.con",
                      QFile::encodeName(drive.Host(QStringLiteral("Many/Link.con"))).constData()),
              0);
    for (int i = 0; i < 700; i += 7) {
        const QString path = QStringLiteral("C:\\Many\\F%1.con").arg(i, 3, 10, QLatin1Char('0'));
        ASSERT_TRUE(SetFileAge(
            path, PackDosDateTime(QDateTime(QDate(2001, 1, 1 + i % 28), QTime(1, 2, 4)))));
    }
    ClearFolderCache();
    QStringList names;
    QList<qint32> times;
    ASSERT_TRUE(FindNames(QStringLiteral("C:\\Many\\*.con"), false, &names, &times));
    ASSERT_EQ(names.size(), 701); // the files and the link, not the folder
    ASSERT_EQ(times.size(), names.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        EXPECT_EQ(times[i], FileAge(QStringLiteral("C:\\Many\\") + names[i]))
            << names[i].toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("Link.con")));
}

// Names are ordered without regard to case, then exactly; plain ASCII names take a quicker way
// that must give the same order as the full case folding, also with other characters after the
// first difference or in a longer twin.
TEST(NameOrder, AgreesWithFullCaseFolding) {
    auto byFolding = [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    };
    const QStringList names = {
        "a",
        "A",
        "ab",
        "AB",
        "aB",
        "a_b",
        "a-b",
        "A[",
        "a{",
        "",
        "Z",
        "z0",
        "x.con",
        "X.CON",
        QString::fromUtf8("x\u00e9"),
        "xk",
        QString::fromUtf8("x\u212a"),
        QString::fromUtf8("\u00c9a"),
        "ea",
        QString::fromUtf8("ab\u00e9"),
    };
    for (const QString& a : names)
        for (const QString& b : names)
            EXPECT_EQ(NameOrder(a, b), byFolding(a, b))
                << a.toStdString() << " / " << b.toStdString();
}

// The stats a listing gives in its order are those it keeps of each name, through stats kept and
// forgotten after it was ordered and names added and removed.
TEST(FolderListing, GivesInItsOrderTheStatsItKeeps) {
    FolderListing listing;
    for (const char* name : {"b.eng", "a.wag", "c.con"})
        listing.Add(S(name), EntryKind::File);
    auto expectInStep = [&](const char* when) {
        const QStringList& names = listing.Ordered();
        const std::vector<const struct stat*>& stats = listing.OrderedStats();
        ASSERT_EQ(stats.size(), std::size_t(names.size())) << when;
        for (qsizetype i = 0; i < names.size(); ++i)
            EXPECT_EQ(stats[std::size_t(i)], listing.FileStat(names[i]))
                << when << " " << qPrintable(names[i]);
    };
    struct stat st {};
    st.st_size = 7;
    expectInStep("none kept");
    listing.KeepFileStat(S("b.eng"), st);
    expectInStep("one kept");
    ASSERT_NE(listing.FileStat(S("b.eng")), nullptr);
    EXPECT_EQ(listing.FileStat(S("b.eng"))->st_size, 7);
    listing.KeepFileStat(S("a.wag"), st);
    listing.ForgetFileStat(S("b.eng"));
    expectInStep("one forgotten");
    listing.Remove(S("a.wag"));
    listing.Add(S("B.ENG"), EntryKind::File);
    listing.KeepFileStat(S("B.ENG"), st);
    expectInStep("names changed");
    listing.ForgetFileStats();
    expectInStep("all forgotten");
}

// Tens of thousands of folders of two or three files are listed at once: each listing holds a few
// hundred bytes, not the kilobytes of a table made for dozens of names.
TEST(FolderListing, AFolderOfAFewNamesTakesLittleMemory) {
    if (!test::CanCountAllocations())
        GTEST_SKIP() << "the heap is the sanitizer's";
    constexpr int kListings = 2000;
    std::vector<FolderListing> listings(kListings);
    std::vector<FolderListing::ReadName> names(2);
    const std::size_t before = mallinfo2().uordblks;
    for (int i = 0; i < kListings; ++i) {
        names[0].name = QStringLiteral("L%1.eng").arg(i);
        names[1].name = QStringLiteral("L%1.wag").arg(i);
        listings[std::size_t(i)].Fill(names);
        listings[std::size_t(i)].Ordered();
    }
    const double bytesEach = double(mallinfo2().uordblks - before) / kListings;
    EXPECT_LT(bytesEach, 1500) << "bytes a listing of two names takes";
}

// A listing keeps its names in order through names added, changed in kind and removed after it
// was ordered, small or large, with case twins and names beyond ASCII: always the order, and the
// matches of names with their kinds, of a listing made afresh with the same names and kinds.
TEST(FolderListing, KeepsItsOrderThroughChangesAsAFreshListingWouldHaveIt) {
    // Case twins, names that fold alike only beyond ASCII, and plain ones.
    QStringList pool = S("a.wag A.WAG b.eng B.eng a_b ab AB z0 x.con ea xk").split(u' ');
    pool << QString::fromUtf8("x\u00e9") << QString::fromUtf8("X\u00c9")
         << QString::fromUtf8("\u00c9a") << QString::fromUtf8("x\u212a");
    for (int i = 0; i < 100; ++i)
        pool.append(QStringLiteral("f%1.pat").arg(i));
    std::mt19937 random(7);
    for (const int most : {8, 40, 100}) {
        FolderListing kept;
        std::map<QString, EntryKind> names;
        for (int step = 0; step < 600; ++step) {
            const QString& name = pool.at(qsizetype(random() % std::uint32_t(most + 15)));
            const bool add = names.size() < 4 || random() % 3 != 0;
            if (add) {
                const EntryKind kind = random() % 2 ? EntryKind::File : EntryKind::Folder;
                kept.Add(name, kind);
                names[name] = kind;
            } else {
                kept.Remove(name);
                names.erase(name);
            }
            if (step % 3 != 0)
                continue; // a few changes at a time between the askings
            FolderListing fresh;
            for (const auto& [n, kind] : names)
                fresh.Add(n, kind);
            ASSERT_EQ(kept.Ordered(), fresh.Ordered()) << most << ", step " << step;
            ASSERT_EQ(kept.OrderedKinds(), fresh.OrderedKinds()) << most << ", step " << step;
            // A name is matched, with its kind and twins, as in the fresh listing.
            for (const QString& name : pool) {
                QString found[2];
                EntryKind kind[2] = {};
                bool twinned[2] = {};
                const FolderLookup keptMatch =
                    MatchName(kept, name, &found[0], &kind[0], &twinned[0]);
                ASSERT_EQ(keptMatch, MatchName(fresh, name, &found[1], &kind[1], &twinned[1]))
                    << step;
                ASSERT_EQ(found[0], found[1]) << step;
                ASSERT_EQ(kind[0], kind[1]) << qPrintable(name) << ", step " << step;
                ASSERT_EQ(twinned[0], twinned[1]) << step;
            }
        }
    }
}
