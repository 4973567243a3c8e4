// What the program cleans up, settles or makes on its own, without a job the user chose, never
// reaches through a link into another installation's folder outside the MSTS folder and the
// store.
#include "catalogue/itemfiles.h"
#include "core/appstate.h"
#include "core/moveleftovers.h"
#include "core/reportpane.h"
#include "core/storeini.h"
#include "easy/savedactivity.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace qv {
namespace {

class LinkedOut : public ::testing::Test {
protected:
    LinkedOut() {
        ResetAppState();
        App().MstsRootFolder = "C:\\MSTS";
        App().StoreRootFolder = "C:\\STORE";
    }
    ~LinkedOut() override { ResetAppState(); }

    // Every entry below the other installation's folder, with the content of its files.
    QStringList Other() const {
        QStringList entries;
        QDirIterator it(drive_.Host("Other"),
                        QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            entries << path + ' ' + (file.open(QIODevice::ReadOnly) ? file.readAll() : "");
        }
        entries.sort();
        return entries;
    }

    TempMsts drive_;
    FakeUi ui_;
    ReportPane pane_;
};

TEST_F(LinkedOut, NothingIsDeletedRenamedOrMadeBehindALinkOutOfBothFolders) {
    const auto clean = [] { CleanExploreTemp("Routes\\Hill", nullptr); };
    const auto settle = [this] { SettleMoveLeftovers(&pane_); };
    const auto readList = [] {
        RecordList<ItemSet> list;
        ReadItemListFile(list, "C:\\STORE\\QVDATA\\Hill\\MAINTCON.QVC", 3, false, "Hill");
    };
    const auto closeIni = [] {
        auto holder = OpenStoreIni("EUROPE1\\ROUTE.QVC");
        holder->Ini.WriteString("A", "k", "v");
        holder->Modified = true;
        CloseStoreIni(std::move(holder));
    };
    const struct {
        const char* link;  // below C:\, a link to Other
        QStringList files; // the other installation's, below Other
        std::function<void()> action;
    } cases[] = {
        {"MSTS/Routes/Hill/ACTIVITIES", {"QV_~TEMP1.act", "EXPLORER.ACT"}, clean},
        {"MSTS/Routes/Hill/SERVICES", {"QV_~TEMP1.srv"}, clean},
        {"STORE/Routes/Hill", {"Activities/QV_~TEMP1.act", "Services/QV_~TEMP1.srv"}, clean},
        {"MSTS/Routes/Hill", {".qv-write-7-1.tmp", "PATHS/.qv-move-7-2-a.pat.tmp"}, settle},
        {"MSTS/Routes/Vale/ACTIVITIES", {".qv-write-7-1.tmp"}, settle},
        {"MSTS/TRAINS/TRAINSET/Dash9", {".qv-copy-7-1.tmp", ".qv-move-7-2-a.eng.tmp"}, settle},
        {"MSTS/GLOBAL", {".qv-write-7-1.tmp"}, settle},
        {"MSTS/TRAINS/CONSISTS", {".qv-move-7-2-a.con.tmp"}, settle},
        // The store holds a route folder that a link in the MSTS folder leads out from.
        {"MSTS/Routes/Wold", {"SHAPES/.qv-write-7-1.tmp"}, settle},
        {"STORE/QVDATA/Hill", {".qv-list-MAINTCON.QVC.old"}, readList},
        {"STORE/QVDATA/Hill", {".qv-list-MAINTCON.QVC.old", "MAINTCON.QVC"}, readList},
        {"STORE/QVDATA", {}, closeIni},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        const QString link = QString::fromLatin1(c.link);
        drive_.MakeFolder("Other");
        for (const QString& file : c.files)
            drive_.MakeFile("Other/" + file, file.toUtf8());
        drive_.MakeFolder("STORE/Routes/Wold/SHAPES");
        drive_.MakeFolder(link.section('/', 0, -2));
        ASSERT_TRUE(QFile::link(drive_.Host("Other"), drive_.Host(link)));
        const QStringList before = Other();

        c.action();
        EXPECT_EQ(Other(), before);
        for (const char* root : {"MSTS", "STORE", "Other"})
            QDir(drive_.Host(root)).removeRecursively();
    }
}

} // namespace
} // namespace qv
