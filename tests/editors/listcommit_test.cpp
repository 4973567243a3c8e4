// Committing an edited list into its list file, its register and the tree.
#include "editors/listcommit.h"

#include "editors/listeditorsupport.h"
#include "editortestkit.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include <QDir>
#include <QFile>
#include <sys/wait.h>
#include <unistd.h>

namespace qv {

namespace {

class ListCommitTest : public EditorTest {
protected:
    RouteListsInfo InfoFor(ItemNode* list, bool newList) {
        RouteListsInfo info;
        FillRouteListsInfo(*list->Data(), info, PT_MAINT_CONSIST);
        RouteListFileOp(info, RLF_OPEN | RLF_READ);
        if (newList)
            NextRouteListName(info);
        return info;
    }
    RecordList<ItemSet> Members(const QStringList& files, std::uint32_t kind = PT_MAINT_CONSIST) {
        RecordList<ItemSet> items;
        for (const QString& file : files)
            items.push_back(Record(3, kind, 1, file, "ROUTES\\ALPHA", file));
        return items;
    }
    // Every file of the route's data folder with its content.
    QStringList DataFiles() {
        QStringList files;
        QDir folder(drive.Host("STORE/QVDATA/ALPHA"));
        for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            files << name + ": " + QString::fromLatin1(file.readAll().toHex());
        }
        return files;
    }
    void SetRegisterWritable(bool writable) {
        ASSERT_TRUE(QFile::setPermissions(
            drive.Host("STORE/QVDATA/ALPHA/ROUTE.QVC"),
            QFile::Permissions(QFile::ReadOwner).setFlag(QFile::WriteOwner, writable)));
    }
};

// A commit whose register cannot be written changes nothing on disk or in the tree, and the
// same commit made again once the register can be written is carried out once.
TEST_F(ListCommitTest, ACommitWhoseRegisterCannotBeWrittenChangesNothingAndCanBeMadeAgain) {
    const struct {
        const char* name;
        int mode;
        bool renamed;
        QStringList members;
        QStringList after;
    } cases[] = {
        {"a new list beside a single list",
         EM_NEW_LIST,
         false,
         {"C.CON"},
         {"Shunting [MAINTCON.QVC] 12", "  A.CON [A.CON] 1", "New List (1) [MAINTCON1.QVC] 12",
          "  C.CON [C.CON] 1"}},
        {"a renamed list",
         EM_EDIT,
         true,
         {"C.CON"},
         {"Renamed [MAINTCON1.QVC] 12", "  C.CON [C.CON] 1"}},
        {"an emptied list folding the other back", EM_EDIT, false, {}, {"A.CON [A.CON] 1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tree.Clear();
        ui.Clear();
        const bool single = c.mode == EM_NEW_LIST;
        ItemNode* heading = single
                                ? AddRouteWithLists({"MAINTCON=12,Shunting"}, {{"A.CON"}})
                                : AddRouteWithLists({"MAINTCON=12,Shunting", "MAINTCON1=12,Yard"},
                                                    {{"A.CON"}, {"B.CON"}});
        ItemNode* list = single ? heading : heading->Child(1);
        RouteListsInfo info = InfoFor(list, single);
        if (c.renamed) {
            info.ListName = "Renamed";
            info.NameChanged = true;
        }
        RecordList<ItemSet> items = Members(c.members);
        const QStringList shape = Shape(heading);
        const QStringList files = DataFiles();
        SetRegisterWritable(false);

        EXPECT_FALSE(CommitListEdit(items, tree, list, c.mode, info, PT_MAINT_CONSIST));
        EXPECT_EQ(Shape(heading), shape);
        EXPECT_EQ(DataFiles(), files);
        ASSERT_FALSE(ui.Shown().empty());
        EXPECT_TRUE(ui.Shown().back().text.contains("ROUTE.QVC"));

        SetRegisterWritable(true);
        ASSERT_TRUE(CommitListEdit(items, tree, list, c.mode, info, PT_MAINT_CONSIST));
        QStringList shown = Shape(heading);
        if (c.renamed)
            shown = shown.mid(2); // the other list stands first
        EXPECT_EQ(shown, c.after);
        EXPECT_NE(DataFiles(), files);
        EXPECT_FALSE(DataFiles().join(' ').contains(".old"));
    }
}

// A forked copy of the program ends at each step in turn: the next run finds no copy left.
TEST_F(ListCommitTest, ACommitKilledAtAnyStepLeavesTheOldListOrTheNew) {
    const QString file = ItemDataFolder("ROUTES\\ALPHA") + "MAINTCON.QVC";
    const QStringList old{"A.CON"}, now{"B.CON", "C.CON"};
    int code = 1; // killed; 0 once the commit ran to its end
    for (int step = 1; code == 1; ++step) {
        SCOPED_TRACE(step);
        tree.Clear();
        ItemNode* heading = AddRouteWithLists({"MAINTCON=12,Shunting"}, {old});
        RouteListsInfo info = InfoFor(heading, false);
        RecordList<ItemSet> items = Members(now);
        const pid_t child = fork();
        if (child == 0) {
            alarm(60); // a copy that hangs ends all the same, and fails the test
            SetListCommitStepHookForTests([&, reached = 0]() mutable {
                if (++reached == step)
                    _exit(1);
            });
            _exit(CommitListEdit(items, tree, heading, EM_EDIT, info, PT_MAINT_CONSIST) ? 0 : 2);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << status;
        code = WEXITSTATUS(status);
        ClearFolderCache(); // another process changed the folder
        EXPECT_TRUE(FileExists(file)) << "the list stands under its name at every step";
        RecordList<ItemSet> read;
        ASSERT_TRUE(ReadItemListFile(read, file, 3, false, "ROUTES\\ALPHA"));
        QStringList members;
        for (const auto& item : read)
            members << item->FileName;
        EXPECT_EQ(members, code == 1 && members == old ? old : now);
        EXPECT_FALSE(DataFiles().join(' ').contains(".old"));
    }
}

// An open list shows every committed entry at once, whatever its kind.
TEST_F(ListCommitTest, AnOpenListShowsAllItsEntriesRightAfterTheCommit) {
    for (const std::uint32_t kind : {PT_MAINT_CONSIST, PT_MAINT_STOCK, PT_MAINT_PATH}) {
        SCOPED_TRACE(kind);
        tree.Clear();
        const QString folder = "ROUTES\\ALPHA";
        const QString id = RouteListSection(kind);
        RegisterLists(folder, kind, {id + "=12,Yard"}, {{"A.X"}});
        ItemNode* route = tree.AddRoot(Record(0, PT_ROUTE, 1, "Alpha Line", folder, "ALPHA.trk"));
        ItemNode* heading = route->AddChild(
            Record(1, kind | PT_HEADING, SI_LIST_ACTIVE, "Yard", folder, id + ".QVC"));
        heading->AddChild(Record(2, kind, 1, "A.X", folder, "A.X"));
        heading->SetExpanded(true);
        RouteListsInfo info;
        FillRouteListsInfo(*heading->Data(), info, kind);
        RouteListFileOp(info, RLF_OPEN | RLF_READ);
        RecordList<ItemSet> items = Members({"B.X", "C.X", "D.X"}, kind);

        ASSERT_TRUE(CommitListEdit(items, tree, heading, EM_EDIT, info, kind));
        ASSERT_EQ(heading->ChildCount(), 3);
        EXPECT_EQ(heading->Child(2)->Data()->FileName, "D.X");
        EXPECT_FALSE(heading->Child(0)->Data()->PType & PT_FIRST_ONLY);
    }
}

TEST_F(ListCommitTest, EmptyNewListUnderAOneListHeadingFoldsBackIntoTheHeading) {
    ItemNode* heading = AddRouteWithLists({"MAINTCON=11,Shunting"}, {{"A.CON", "B.CON"}});
    const QStringList before = Shape(heading);
    RouteListsInfo info = InfoFor(heading, true);
    RecordList<ItemSet> none;

    ASSERT_TRUE(CommitListEdit(none, tree, heading, EM_NEW_LIST, info, PT_MAINT_CONSIST));

    EXPECT_EQ(Shape(heading), before);
    EXPECT_EQ(heading->Data()->FileName, "MAINTCON.QVC");
    // The one list left is the active one.
    EXPECT_EQ(heading->Data()->StoreInd, SI_LIST_ACTIVE);
    EXPECT_EQ(RegisteredLists("ROUTES\\ALPHA", PT_MAINT_CONSIST),
              QStringList{"MAINTCON=12,Shunting"});
    EXPECT_TRUE(heading->Expanded());
}

TEST_F(ListCommitTest, TheOnlyListEmptiedLeavesAnEmptyHeadingAndNoFile) {
    ItemNode* heading = AddRouteWithLists({"MAINTCON=12,Shunting"}, {{"A.CON"}});
    ASSERT_TRUE(ListFileExists("ALPHA", "MAINTCON.QVC"));
    RouteListsInfo info = InfoFor(heading, false);
    RecordList<ItemSet> none;

    ASSERT_TRUE(CommitListEdit(none, tree, heading, EM_EDIT, info, PT_MAINT_CONSIST));

    EXPECT_EQ(heading->ChildCount(), 0);
    EXPECT_TRUE(heading->Data()->FileName.isEmpty());
    EXPECT_EQ(heading->StateIndex, -1);
    EXPECT_FALSE(ListFileExists("ALPHA", "MAINTCON.QVC"));
    EXPECT_TRUE(RegisteredLists("ROUTES\\ALPHA", PT_MAINT_CONSIST).isEmpty());
}

TEST_F(ListCommitTest, ANewListUnderASingleListHeadingGivesBothListsANodeOfTheirOwn) {
    ItemNode* heading = AddRouteWithLists({"MAINTCON=12,Shunting"}, {{"A.CON"}});
    RouteListsInfo info = InfoFor(heading, true);
    RecordList<ItemSet> items = Members({"C.CON", "D.CON"});

    ASSERT_TRUE(CommitListEdit(items, tree, heading, EM_NEW_LIST, info, PT_MAINT_CONSIST));

    EXPECT_EQ(Shape(heading),
              (QStringList{"Shunting [MAINTCON.QVC] 12", "  A.CON [A.CON] 1",
                           "New List (1) [MAINTCON1.QVC] 12", "  C.CON [C.CON] 1"}));
    EXPECT_EQ(heading->Data()->StoreInd, SI_HEADING);
    // The moved entry's level follows its new place.
    EXPECT_EQ(heading->Child(0)->Child(0)->Data()->PLevel, 3);
    EXPECT_EQ(RegisteredLists("ROUTES\\ALPHA", PT_MAINT_CONSIST),
              (QStringList{"MAINTCON=12,Shunting", "MAINTCON1=12,New List (1)"}));
    EXPECT_TRUE(ListFileExists("ALPHA", "MAINTCON1.QVC"));
}

TEST_F(ListCommitTest, AListThatCannotBeWrittenChangesNeitherTreeNorRegister) {
    ItemNode* heading = AddRouteWithLists({"MAINTCON=12,Shunting"}, {{"A.CON"}});
    const QStringList before = Shape(heading);
    // A folder in the way of the list file: it can neither be read nor replaced (a read-only
    // folder would not stop the tests' user, who may be the superuser).
    ASSERT_TRUE(QFile::remove(drive.Host("STORE/QVDATA/ALPHA/MAINTCON.QVC")));
    drive.MakeFolder("STORE/QVDATA/ALPHA/MAINTCON.QVC");
    RouteListsInfo info = InfoFor(heading, false);
    info.ListName = "Renamed";
    info.NameChanged = true;
    RecordList<ItemSet> items = Members({"B.CON"});

    const bool committed = CommitListEdit(items, tree, heading, EM_EDIT, info, PT_MAINT_CONSIST);

    EXPECT_FALSE(committed);
    EXPECT_EQ(Shape(heading), before);
    EXPECT_EQ(RegisteredLists("ROUTES\\ALPHA", PT_MAINT_CONSIST),
              QStringList{"MAINTCON=12,Shunting"});
    EXPECT_FALSE(ui.Shown().empty()); // the failed write was reported
}

TEST_F(ListCommitTest, ANodeThatIsNoListIsReportedAndNothingIsWritten) {
    ItemNode* route = tree.AddRoot(Record(0, PT_ROUTE, 1, "Alpha", "ROUTES\\ALPHA", "A.trk"));
    RouteListsInfo info;
    RecordList<ItemSet> items = Members({"B.CON"});
    ui.Expect("Line No.: 430", ID_OK);

    EXPECT_FALSE(CommitListEdit(items, tree, route, EM_EDIT, info, PT_MAINT_CONSIST));
    EXPECT_TRUE(ui.Mismatches().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(drive.Host("STORE/QVDATA/ALPHA")));
}

TEST_F(ListCommitTest, AnEditLeavesOnePlaceholderAndMoveChildNodesKeepsTheRecords) {
    ItemNode* heading =
        AddRouteWithLists({"MAINTCON=12,Shunting", "MAINTCON1=11,Yard"}, {{"A.CON"}, {"B.CON"}});
    ItemNode* yard = heading->Child(1);
    RouteListsInfo info = InfoFor(yard, false);
    RecordList<ItemSet> items = Members({"E.CON", "F.CON"});
    ASSERT_TRUE(CommitListEdit(items, tree, yard, EM_EDIT, info, PT_MAINT_CONSIST));
    ASSERT_EQ(yard->ChildCount(), 1);
    EXPECT_EQ(yard->Child(0)->Data()->PType, PT_MAINT_CONSIST + PT_FIRST_ONLY);

    const ItemSet* record = heading->Child(0)->Child(0)->Data();
    MoveChildNodes(heading->Child(0)->Child(0), yard, PT_MAINT_CONSIST);
    EXPECT_EQ(yard->Child(1)->Data(), record);
    EXPECT_EQ(yard->Child(1)->StateIndex, 6);
    EXPECT_EQ(heading->Child(0)->ChildCount(), 0);
}

} // namespace

} // namespace qv
