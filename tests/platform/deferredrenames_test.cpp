// The rename thread against another program changing the folders while renames wait: a queued
// rename is made only in the very folders judged when it was decided, whatever was moved or
// linked in their place meanwhile, and a twin made at a target is found also when the change
// reports were lost.
#include "platform/folderwatches.h"
#include "platform/keptfolders.h"
#include "platform/renamequeue.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include "fixtures/tempmsts.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// The MSTS folder and the store as the kept folders while it lives.
class KeptFoldersForTest {
public:
    KeptFoldersForTest() {
        SetKeptFoldersSource([] { return QStringList{S("C:\\MSTS"), S("C:\\STORE")}; });
    }
    ~KeptFoldersForTest() { SetKeptFoldersSource(nullptr); }
};

// The hook on the rename thread while it lives.
class BeforeQueuedRename {
public:
    explicit BeforeQueuedRename(std::function<void(const QByteArray&, const QByteArray&)> hook) {
        SetBeforeQueuedRenameHookForTests(std::move(hook));
    }
    ~BeforeQueuedRename() { SetBeforeQueuedRenameHookForTests({}); }
};

// Waits (on the rename thread) until the caller has handed `count` renames over, so that every
// one of them was decided before another program acts.
void WaitUntil(const std::atomic<int>& handed, int count) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (handed.load() < count && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// The files below a folder (relative to it) with their contents, "name:content".
QStringList FilesIn(const QString& host) {
    QStringList files;
    QDirIterator it(host, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files << QDir(host).relativeFilePath(path) + S(":") + QString::fromUtf8(file.readAll());
    }
    files.sort();
    return files;
}

std::string Text(const QStringList& list) {
    return list.join(QLatin1Char(' ')).toStdString();
}

// "c<i>.con:<content> <i>" for each i, each path after `folder`.
QStringList Consists(int first, int last, const char* content, const char* folder = "") {
    QStringList files;
    for (int i = first; i <= last; ++i)
        files << S("%3c%1.con:%2 %1").arg(i).arg(S(content), S(folder));
    files.sort(); // as FilesIn gives them
    return files;
}

} // namespace

// Another program moves a folder aside, moves it out of the store, or puts a link to another
// installation's folder in its place, after the first file arrived and while the renames of the
// others wait in the queue (more than the thread makes before it checks the folders): none of
// them stays made, each comes back as a failure, nothing goes into or comes out of a folder
// outside the two, and the files are where they were.
TEST(DeferredRenames, AreMadeOnlyInTheVeryFoldersJudged) {
    constexpr int kFiles = 40;
    const struct {
        const char* change;
        const char* oursAt;  // where c1 and after are afterwards
        const char* firstAt; // where c0 is afterwards, unless it went back with them
        int outside;         // files below Outside afterwards
    } cases[] = {
        {"nothing", "STORE/TRAINS/CONSISTS", "STORE/TRAINS/CONSISTS", 0},
        {"target swapped for a link out", "MSTS/TRAINS/CONSISTS", "STORE/TRAINS/CONSISTS.aside", 0},
        {"target's parent moved out", "MSTS/TRAINS/CONSISTS", "Outside/TRAINS/CONSISTS", 1},
        {"target's parent moved out, a link to it in place", "MSTS/TRAINS/CONSISTS",
         "Outside/TRAINS/CONSISTS", 1},
        {"target swapped for another folder", "MSTS/TRAINS/CONSISTS", "STORE/TRAINS/CONSISTS.aside",
         0},
        {"source swapped for a link to another installation", "MSTS/TRAINS/CONSISTS.aside",
         "STORE/TRAINS/CONSISTS", 0},
        {"source's parent moved out", "Outside/TRAINS/CONSISTS", "STORE/TRAINS/CONSISTS",
         kFiles - 1},
    };
    const KeptFoldersForTest kept;
    for (const bool stepByStep : {false, true})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.change) + (stepByStep ? ", walked step by step" : ""));
            SetFolderWalkStepByStepForTests(stepByStep);
            TempMsts drive;
            for (int i = 0; i < kFiles; ++i) {
                drive.MakeFile(S("MSTS/TRAINS/CONSISTS/c%1.con").arg(i),
                               S("ours %1").arg(i).toUtf8());
                drive.MakeFile(S("Other/TRAINS/CONSISTS/c%1.con").arg(i),
                               S("other %1").arg(i).toUtf8());
            }
            drive.MakeFolder(S("STORE/TRAINS/CONSISTS"));
            drive.MakeFolder(S("Outside/CONSISTS"));
            const QString from = S("C:\\MSTS\\TRAINS\\CONSISTS\\c%1.con");
            const QString to = S("C:\\STORE\\TRAINS\\CONSISTS\\c%1.con");
            FileExists(from.arg(0));
            FileExists(to.arg(0));
            const auto host = [&](const char* relative) {
                return QFile::encodeName(drive.Host(S(relative)));
            };
            const auto move = [&](const char* a, const char* b) {
                ASSERT_EQ(rename(host(a), host(b)), 0) << a;
            };
            const auto link = [&](const char* target, const char* at) {
                ASSERT_EQ(symlink(host(target), host(at)), 0) << at;
            };
            const QString change = S(c.change);
            std::atomic<int> handed{0};
            const BeforeQueuedRename hook([&](const QByteArray& source, const QByteArray&) {
                if (!source.endsWith("/c1.con"))
                    return;
                WaitUntil(handed, kFiles);
                if (change.startsWith(S("target swapped"))) {
                    move("STORE/TRAINS/CONSISTS", "STORE/TRAINS/CONSISTS.aside");
                    if (change.endsWith(S("link out")))
                        link("Outside/CONSISTS", "STORE/TRAINS/CONSISTS");
                    else
                        ASSERT_EQ(mkdir(host("STORE/TRAINS/CONSISTS"), 0777), 0);
                } else if (change.startsWith(S("target's parent"))) {
                    move("STORE/TRAINS", "Outside/TRAINS");
                    if (change.endsWith(S("in place")))
                        link("Outside/TRAINS", "STORE/TRAINS");
                } else if (change.startsWith(S("source swapped"))) {
                    move("MSTS/TRAINS/CONSISTS", "MSTS/TRAINS/CONSISTS.aside");
                    link("Other/TRAINS/CONSISTS", "MSTS/TRAINS/CONSISTS");
                } else if (change.startsWith(S("source's parent"))) {
                    move("MSTS/TRAINS", "Outside/TRAINS");
                }
            });
            std::vector<DeferredRenameFailure> failures;
            {
                const DeferredRenames deferred;
                for (int i = 0; i < kFiles; ++i) {
                    ASSERT_EQ(RenameListedFile(from.arg(i), to.arg(i), nullptr),
                              ListedRename::Renamed)
                        << i;
                    ++handed;
                }
                failures = TakeDeferredRenameFailures(true);
            }
            // Every rename made since its folders were last found at their places goes back:
            // c0's too, when it was made in the same run as the others.
            const bool fails = change != S("nothing");
            const bool firstBack = !failures.empty() && failures[0].source == from.arg(0);
            EXPECT_EQ(int(failures.size()), !fails ? 0 : firstBack ? kFiles : kFiles - 1);
            for (std::size_t k = 0; k < failures.size(); ++k) {
                const DeferredRenameFailure& failure = failures[k];
                EXPECT_EQ(failure.source, from.arg(int(k) + (firstBack ? 0 : 1)));
                // A link on the way, or the folder judged not at its place.
                EXPECT_TRUE(failure.error == ELOOP || failure.error == ENOENT) << failure.error;
                EXPECT_FALSE(failure.notSettled) << k;
                EXPECT_EQ(failure.after, AfterRename::Nothing) << k;
            }
            const QString oursAt = S(c.oursAt), firstAt = S(c.firstAt);
            EXPECT_EQ(Text(FilesIn(drive.Host(oursAt))),
                      Text(Consists(fails && !firstBack ? 1 : 0, kFiles - 1, "ours")));
            if (fails && !firstBack) {
                EXPECT_EQ(Text(FilesIn(drive.Host(firstAt))), Text(Consists(0, 0, "ours")));
            }
            EXPECT_EQ(Text(FilesIn(drive.Host(S("Other")))),
                      Text(Consists(0, kFiles - 1, "other", "TRAINS/CONSISTS/")));
            // Nothing of ours went out but what the other program moved out itself.
            const int outside = c.outside + (!firstBack                         ? 0
                                             : firstAt.startsWith(S("Outside")) ? -1
                                             : oursAt.startsWith(S("Outside"))  ? 1
                                                                                : 0);
            EXPECT_EQ(FilesIn(drive.Host(S("Outside"))).size(), outside);
        }
    SetFolderWalkStepByStepForTests(false);
}

// Another program makes a name alike but for letter case at a rename's target just before the
// rename: it is noted for the rename through its change report, and also when the reports were
// lost (the kernel's queue of them full), the target folder being read again.
TEST(DeferredRenames, ATwinMadeJustBeforeARenameIsFoundAlsoWhenTheReportsWereLost) {
    const KeptFoldersForTest kept;
    for (const bool lost : {false, true}) {
        SCOPED_TRACE(lost ? "reports lost" : "reports taken");
        TempMsts drive;
        drive.MakeFile(S("MSTS/T/first.eng"), "first");
        drive.MakeFile(S("MSTS/T/f3.eng"), "engine");
        drive.MakeFile(S("MSTS/U/u.eng"), "other folder");
        drive.MakeFolder(S("STORE/T"));
        drive.MakeFolder(S("STORE/U"));
        for (const char* path : {"C:\\MSTS\\T\\first.eng", "C:\\STORE\\T\\first.eng",
                                 "C:\\MSTS\\U\\u.eng", "C:\\STORE\\U\\u.eng"})
            FileExists(S(path));
        const BeforeQueuedRename hook([&](const QByteArray& source, const QByteArray&) {
            if (!source.endsWith("/f3.eng"))
                return;
            LoseChangeReportsForTests(lost);
            drive.MakeFile(S("STORE/T/F3.ENG"), "other");
        });
        std::vector<DeferredRenameFailure> failures;
        {
            const DeferredRenames deferred;
            for (const char* name : {"T\\first.eng", "T\\f3.eng", "U\\u.eng"})
                ASSERT_EQ(RenameListedFile(S("C:\\MSTS\\") + S(name), S("C:\\STORE\\") + S(name),
                                           nullptr),
                          ListedRename::Renamed)
                    << name;
            failures = TakeDeferredRenameFailures(true);
        }
        LoseChangeReportsForTests(false);
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].source, S("C:\\MSTS\\T\\f3.eng"));
        EXPECT_EQ(failures[0].target, S("C:\\STORE\\T\\f3.eng"));
        EXPECT_EQ(failures[0].after, AfterRename::TwinAtTarget);
        EXPECT_EQ(drive.NamesIn(S("STORE/T")),
                  (QStringList{S("F3.ENG"), S("f3.eng"), S("first.eng")}));
    }
}
