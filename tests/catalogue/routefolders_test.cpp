#include "catalogue/routefolders.h"
#include "core/appstate.h"
#include "core/itemset.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

class RouteFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\Store");
    }
    void TearDown() override { ResetAppState(); }
    TempMsts disk;
    FakeUi ui;
};

} // namespace

TEST_F(RouteFoldersTest, ListRouteFolders_NeedsARouteFileAndListsAFolderOfBothRootsOnce) {
    disk.MakeFile(QStringLiteral("MSTS/Routes/Alpha/alpha.trk"));
    disk.MakeFile(QStringLiteral("MSTS/Routes/NoTrack/readme.txt"));
    disk.MakeFile(QStringLiteral("MSTS/Routes/Stored/PATHS/p.pat"));
    disk.MakeFile(QStringLiteral("Store/Routes/alpha/ALPHA.TRK"));
    disk.MakeFile(QStringLiteral("Store/Routes/Stored/stored.TRK"));
    disk.MakeFile(QStringLiteral("Store/Routes/Beta/beta.trk"));

    StringList out = StringList::SortedUnique();
    EXPECT_TRUE(ListRouteFolders(out, App().MstsRootFolder, QString()));
    // A stored route keeps its folder in the MSTS folder; its route file is in the store.
    EXPECT_EQ(out.Strings(), QStringList({"Alpha", "Stored"}));
    EXPECT_TRUE(ListRouteFolders(out, App().StoreRootFolder, QString()));
    EXPECT_EQ(out.Strings(), QStringList({"Alpha", "Beta", "Stored"}));

    StringList prefixed;
    ListRouteFolders(prefixed, App().StoreRootFolder, QStringLiteral("Routes"));
    EXPECT_EQ(prefixed.Strings(), QStringList({"Routes\\alpha", "Routes\\Beta", "Routes\\Stored"}));
}

TEST_F(RouteFoldersTest, ListRouteFilesOfKind_ListsRouteByRouteRelativeToTheRoot) {
    disk.MakeFile(QStringLiteral("MSTS/Routes/Y/y.trk"));
    disk.MakeFile(QStringLiteral("MSTS/Routes/Y/ACTIVITIES/c.act"));
    disk.MakeFile(QStringLiteral("MSTS/Routes/X/x.trk"));
    disk.MakeFile(QStringLiteral("MSTS/Routes/X/Activities/b.ACT"));
    disk.MakeFile(QStringLiteral("MSTS/Routes/X/Activities/a.act"));
    disk.MakeFile(QStringLiteral("MSTS/Routes/X/Activities/notes.txt"));
    disk.MakeFile(QStringLiteral("MSTS/Routes/X/SERVICES/s.srv"));

    StringList out;
    ListRouteFilesOfKind(PT_ACTIVITY, out, App().MstsRootFolder);
    EXPECT_EQ(out.Strings(),
              QStringList({"Routes\\X\\ACTIVITIES\\a.act", "Routes\\X\\ACTIVITIES\\b.ACT",
                           "Routes\\Y\\ACTIVITIES\\c.act"}));
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(RouteFoldersTest, ListRouteFilesOfKind_UnknownKindIsReportedAndListsNothing) {
    disk.MakeFile(QStringLiteral("MSTS/Routes/X/x.trk"));
    StringList out;
    out.Add(QStringLiteral("kept"));
    ListRouteFilesOfKind(PT_CONSIST, out, App().MstsRootFolder);
    EXPECT_EQ(out.Strings(), QStringList({"kept"}));
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown()[0].text, QStringLiteral("Error: Unexpected result at Module: "
                                                 "'ListProcess'  Line No.: 3633\n - 4194304"));
    EXPECT_EQ(ui.Shown()[0].style, 16);
}
