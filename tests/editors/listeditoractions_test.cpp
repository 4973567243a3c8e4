// The list editors' shared item actions: immediate unstore and its follow-up, adding with the
// duplicates question, pruning missing entries, lot numbers and where-used.
#include "editors/listeditoractions.h"

#include "core/easyservices.h"
#include "core/regsettings.h"
#include "editors/listboxview.h"
#include "editortestkit.h"

namespace qv {

namespace {

class RecordingEasyServices : public EasyServices {
public:
    void MarkSelectedNode(int, bool) override {}
    bool MarkDefaultRoutes(ItemTree&) override { return false; }
    bool CheckDefaultRoutes(ItemTree&) override { return false; }
    bool GoAndLaunch(QObject*, bool) override { return false; }
    std::int32_t LaunchProgram(const QString& program, const QString& parameters, const QString&,
                               bool, bool, bool) override {
        launches << program + " " + parameters;
        return 0;
    }
    void CleanExploreTemp(const QString&, QStringList*) override {}
    int MainPageIndex() const override { return 1; }
    int ExploreTabIndex() const override { return -1; }
    const ItemSet* ChosenExploreActivity() const override { return nullptr; }
    const ExploreActivitySaveInfo* CurrentExploreRecord() const override { return nullptr; }
    QStringList launches;
};

class ListEditorActionsTest : public EditorTest {
protected:
    ListEditorActionsTest() { SetEasyServices(&easy); }
    ~ListEditorActionsTest() override { SetEasyServices(nullptr); }

    // The Available list shows every record of `available`, in order.
    void ShowAvailable() {
        model.AvailableItems = &available;
        model.RowMap.clear();
        availableBox.Clear();
        for (std::size_t i = 0; i < available.size(); ++i) {
            model.RowMap.push_back(int(i));
            availableBox.Add(ListItemText(*available[i]));
        }
    }
    void SelectAvailable(const QStringList& texts) {
        for (int row = 0; row < availableBox.Count(); ++row)
            availableBox.SetSelected(row, texts.contains(availableBox.Text(row)));
    }
    QStringList CurrentFiles() const {
        QStringList files;
        for (const auto& item : model.CurrentItems)
            files << item->FileName;
        return files;
    }
    bool InMsts(const QString& relative) { return QFileInfo::exists(builder.HostPath(relative)); }

    RecordingEasyServices easy;
    RecordList<ItemSet> available;
    ListEditorModel model;
    MemoryListBox availableBox;
    MemoryListBox currentBox;
};

TEST_F(ListEditorActionsTest, ImmediateUnstoreItem_MovesOrReportsByKindAndPlace) {
    builder.AddEngine("E", "LOCO.ENG", "Loco", EngineType::Diesel, false, false, Into::Store);
    builder.AddWagon("W", "BOX.WAG", "Box", WagonType::Freight, Into::Store);
    builder.AddConsist(
        "TWICE.CON", "Twice",
        {{"E", "LOCO", true, false}, {"W", "BOX", false, false}, {"W", "BOX", false, false}},
        Into::Store);
    builder.AddConsist("HOME.CON", "Home", {{"W", "BOX", false, false}});
    // A consist that names no vehicle cannot be moved with its vehicles.
    const QString bad =
        builder.WriteMstsFile("TRAINS\\CONSISTS\\BAD.CON", "D0", {"Train ( Name ( Bad ) )"},
                              MstsFileKind::Other, Into::Store);

    const struct {
        std::uint32_t ptype;
        QString file;
        int style;
        QString message; // a part of the outcome's text; empty: no text
        QString arrives; // a file then in the MSTS folder
        int state;       // the item's store state afterwards
    } cases[] = {
        // A wagon named twice moves once, before its consist, and nothing is asked.
        {PT_MAINT_CONSIST, "TWICE.CON", 0, "", "TRAINS\\CONSISTS\\TWICE.CON", SI_IN_USE},
        // Already in the MSTS folder: nothing happens, nothing is said.
        {PT_MAINT_CONSIST, "HOME.CON", 0, "", "TRAINS\\CONSISTS\\HOME.CON", SI_IN_STORE},
        {PT_MAINT_STOCK, "GONE\\X.WAG", MB_ICONEXCLAMATION,
         "File: 'C:\\MSTS\\TRAINS\\TRAINSET\\GONE\\X.WAG'", "", SI_IN_STORE},
        {PT_MAINT_CONSIST, "BAD.CON", MB_ICONEXCLAMATION,
         "File: 'C:\\STORE\\TRAINS\\CONSISTS\\BAD.CON'", "", SI_IN_STORE},
        {PT_ACTIVITY, "A.ACT", MB_ICONSTOP, "Invalid calling parameter '4'", "", SI_IN_STORE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        ItemSet item{3, c.ptype, SI_IN_STORE, c.file, "ROUTES\\ALPHA", c.file, {}, {}};
        ErrorSet outcome;
        ImmediateUnstoreItem(item, outcome);
        EXPECT_EQ(outcome.style, c.style);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(outcome.text.isEmpty()) << outcome.text.toStdString();
        } else {
            EXPECT_TRUE(outcome.text.contains(c.message)) << outcome.text.toStdString();
        }
        if (!c.arrives.isEmpty()) {
            EXPECT_TRUE(InMsts(c.arrives));
        }
        EXPECT_EQ(item.StoreInd, c.state);
    }
    EXPECT_TRUE(InMsts("TRAINS\\TRAINSET\\W\\BOX.WAG"));
    EXPECT_TRUE(InMsts("TRAINS\\TRAINSET\\E\\LOCO.ENG"));
    EXPECT_TRUE(ui.FileMoves().empty());
    EXPECT_TRUE(QFileInfo::exists(builder.HostPath(bad, Into::Store)));
}

// A stored consist and vehicle each with a twin (a second file of a name alike), whose consist
// names another vehicle: the first spelling of each arrives, and each twin, meeting it, stays in
// the store unasked.
TEST_F(ListEditorActionsTest, ImmediateUnstoreItem_MeetsEveryStoredSpelling) {
    builder.AddWagon("W", "ONE.WAG", "One", WagonType::Freight, Into::Store);
    const QString two = builder.HostPath(
        builder.AddWagon("W", "TWO.WAG", "Two", WagonType::Freight, Into::Store), Into::Store);
    builder.AddConsist("c.con", "c", {{"W", "ONE"}}, Into::Store);
    const QString twin = builder.HostPath(
        builder.AddConsist("twin.con", "C", {{"W", "TWO"}}, Into::Store), Into::Store);
    ASSERT_TRUE(QFile::rename(twin, QFileInfo(twin).path() + "/C.CON"));
    QFile other(QFileInfo(two).path() + "/two.wag");
    ASSERT_TRUE(other.open(QIODevice::WriteOnly) && other.write("other") == 5 && other.flush());
    ItemSet item{3, PT_MAINT_CONSIST, SI_IN_STORE, "c.con", QString(), "c.con", {}, {}};
    ErrorSet outcome;
    ImmediateUnstoreItem(item, outcome);
    EXPECT_EQ(item.StoreInd, SI_IN_USE) << outcome.text.toStdString();
    EXPECT_TRUE(ui.FileMoves().empty());
    EXPECT_TRUE(InMsts("TRAINS\\CONSISTS\\c.con"));
    EXPECT_TRUE(InMsts("TRAINS\\TRAINSET\\W\\ONE.WAG"));
    EXPECT_TRUE(InMsts("TRAINS\\TRAINSET\\W\\TWO.WAG"));
    // Each twin stays, one file beside the other's folder, whichever spelling went first.
    for (const QString& file : {twin, two})
        EXPECT_EQ(QFileInfo(file).dir().entryList(QDir::Files).size(), 1) << file.toStdString();
    EXPECT_TRUE(App().RunHadErrors);
}

TEST_F(ListEditorActionsTest, TheEditorOpensTheLastSelectedItemOnlyWhenItReachedTheMstsFolder) {
    RegWriteString(kProductKey + "\\Editor", "Editor EXE Path", "C:\\ED\\ED.EXE");
    builder.AddPath("ALPHA", "up.pat", "Up", "Here", "There", true, Into::Store);
    builder.AddPath("ALPHA", "down.pat", "Down", "There", "Here", true, Into::Store);
    const QString paths = "ROUTES\\ALPHA\\PATHS";
    available.push_back(Record(3, PT_MAINT_PATH, 2, "Down", paths, "down.pat"));
    available.push_back(Record(3, PT_MAINT_PATH, 2, "Up", paths, "up.pat"));
    ShowAvailable();
    SelectAvailable({"Down", "Up"});

    ListEditorPopupAction(LEA_EDIT, &availableBox, availableBox, model);
    EXPECT_EQ(easy.launches,
              QStringList{"C:\\ED\\ED.EXE \"C:\\MSTS\\ROUTES\\ALPHA\\PATHS\\up.pat\""});
    EXPECT_EQ(available[0]->StoreInd, SI_IN_USE);
    EXPECT_TRUE(App().EasyListsStale);

    // A move that failed leaves nothing to open: no editor, though no message stopped it.
    easy.launches.clear();
    builder.AddPath("BETA", "side.pat", "Side", "A", "B", true, Into::Store);
    drive.MakeFile("MSTS/ROUTES/BETA", "a file where the route folder belongs");
    available.push_back(Record(3, PT_MAINT_PATH, 2, "Side", "ROUTES\\BETA\\PATHS", "side.pat"));
    ShowAvailable();
    SelectAvailable({"Side"});
    ListEditorPopupAction(LEA_EDIT, &availableBox, availableBox, model);
    EXPECT_TRUE(easy.launches.isEmpty());

    // Nothing runs while the program is busy.
    App().Busy = true;
    ListEditorPopupAction(LEA_EDIT, &availableBox, availableBox, model);
    EXPECT_TRUE(easy.launches.isEmpty());
}

TEST_F(ListEditorActionsTest, AddToCurrentList_AsksAboutFilesTheListHoldsAlready) {
    ItemNode* heading = AddRouteWithLists({"MAINTCON=12,Shunting"}, {{}});
    model.ListType = PT_MAINT_CONSIST;
    for (const auto& [name, file] : std::vector<std::pair<QString, QString>>{{"Alpha", "A.CON"},
                                                                             {"Beta", "B.CON"},
                                                                             {"Gamma", "C.CON"},
                                                                             {"Same", "X1.CON"},
                                                                             {"Same", "X2.CON"}})
        available.push_back(Record(2, PT_CONSIST, 2, name, "", file));
    ShowAvailable();

    const struct {
        const char* name;
        QStringList selected;
        QList<int> answers; // to the duplicates question, in turn
        QStringList expected;
    } cases[] = {
        {"cancel after two adds nothing",
         {"Alpha", "Beta", "Gamma"},
         {ID_YES, ID_CANCEL},
         {"A.CON", "B.CON"}},
        {"no skips every duplicate silently",
         {"Alpha", "Beta", "Gamma"},
         {ID_NO},
         {"A.CON", "B.CON", "C.CON"}},
        {"two files of one name are both added",
         {"Same"},
         {},
         {"A.CON", "B.CON", "X1.CON", "X2.CON"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        model.CurrentItems.clear();
        model.CurrentItems.push_back(Record(3, PT_MAINT_CONSIST, 2, "Alpha", "", "a.con"));
        model.CurrentItems.push_back(Record(3, PT_MAINT_CONSIST, 2, "Beta", "", "B.CON"));
        currentBox.Clear();
        currentBox.Add("Alpha");
        currentBox.Add("Beta");
        SelectAvailable(c.selected);
        for (int answer : c.answers)
            ui.Expect("already exists in 'Alpha Line'", answer);

        AddToCurrentList(heading, currentBox, availableBox, model);

        EXPECT_EQ(ui.PendingExpectations(), 0);
        QStringList files = CurrentFiles();
        files.replaceInStrings("a.con", "A.CON");
        EXPECT_EQ(files, c.expected);
        EXPECT_EQ(currentBox.Count(), int(model.CurrentItems.size()));
    }
    EXPECT_TRUE(ui.Mismatches().isEmpty());
    EXPECT_EQ(model.CurrentItems.back()->Folder, "ROUTES\\ALPHA");
}

TEST_F(ListEditorActionsTest, AnAddedPathKeepsItsOwnFolder) {
    ItemNode* heading =
        tree.AddRoot(Record(0, PT_ROUTE, 1, "Alpha", "ROUTES\\ALPHA", "A.trk"))
            ->AddChild(Record(1, PT_EXPLORE_PATH | PT_HEADING, -1, "Paths", "ROUTES\\ALPHA", ""));
    model.ListType = PT_EXPLORE_PATH;
    available.push_back(Record(2, PT_PATH, 2, "Up", "ROUTES\\ALPHA\\PATHS", "up.pat"));
    ShowAvailable();
    SelectAvailable({"Up"});
    AddToCurrentList(heading, currentBox, availableBox, model);
    ASSERT_EQ(model.CurrentItems.size(), 1u);
    EXPECT_EQ(model.CurrentItems[0]->Folder, "ROUTES\\ALPHA\\PATHS");
    EXPECT_EQ(ItemRelativePath(*model.CurrentItems[0]), "ROUTES\\ALPHA\\PATHS\\up.pat");
}

TEST_F(ListEditorActionsTest, PruneMissingListItems_AnswersDecideWhatGoes) {
    const struct {
        const char* name;
        QList<int> answers;
        bool dropped;
        QStringList kept;
    } cases[] = {
        {"yes, yes, no to all keeps all",
         {ID_YES, ID_YES, ID_NOTOALL},
         false,
         {"Here", "Gone1", "Gone2", "Gone3"}},
        {"yes then yes to all drops every missing entry", {ID_YES, ID_YESTOALL}, true, {"Here"}},
        {"no, yes, no drops the one answered yes",
         {ID_NO, ID_YES, ID_NO},
         true,
         {"Here", "Gone1", "Gone3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordList<ItemSet> list;
        list.push_back(Record(3, PT_MAINT_CONSIST, 1, "Here", "", "H.CON"));
        for (const char* gone : {"Gone1", "Gone2", "Gone3"})
            list.push_back(Record(3, PT_MAINT_CONSIST, -1, gone, "", QString(gone) + ".CON"));
        for (int answer : c.answers)
            ui.Expect("cannot be found!", answer);
        EXPECT_EQ(PruneMissingListItems("Shunting", list, PT_MAINT_CONSIST), c.dropped);
        QStringList kept;
        for (const auto& item : list)
            kept << item->Description;
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(ui.PendingExpectations(), 0);
    }
    EXPECT_TRUE(ui.Shown().front().text.startsWith("The file for the "));
    EXPECT_TRUE(ui.Shown().front().text.contains("' in 'Shunting' cannot be found!"));
    EXPECT_TRUE(ui.Mismatches().isEmpty());
}

TEST_F(ListEditorActionsTest, EditLotNumber_TakesTheCacheFromTheListKindAndChangesAvailableOnly) {
    model.ListType = PT_MAINT_STOCK;
    // Nothing of the stock list is shown; the record of the Current entry's file is not either.
    model.AvailableItems = &available;
    available.push_back(Record(2, PT_STOCK, 2, "Box", "", "W\\BOX.WAG"));
    model.CurrentItems.push_back(Record(3, PT_MAINT_STOCK, 2, "Box", "", "W\\BOX.WAG"));
    currentBox.Add("Box");
    currentBox.SetSelected(0, true);
    ui.ExpectChangeLotNumber(ID_OK, "77");

    EXPECT_TRUE(EditLotNumber(&currentBox, availableBox, currentBox, model));

    auto stock = OpenStoreIni(CacheFileName("CACHESTK"));
    EXPECT_EQ(stock->Ini.ReadString("W\\BOX.WAG", "LotNumber", QString()), "77");
    EXPECT_EQ(available[0]->LotNumber, "77");
    EXPECT_TRUE(model.CurrentItems[0]->LotNumber.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(drive.Host("STORE/QVDATA/CACHECON.QVC")));
}

TEST_F(ListEditorActionsTest, WhereUsedForSelection_PutsTheBusyStateBack) {
    available.push_back(Record(2, PT_CONSIST, 2, "Alpha", "", "A.CON"));
    ShowAvailable();
    SelectAvailable({"Alpha"});
    ReportPane report;
    QList<bool> enabled;
    WhereUsedForSelection(
        &availableBox, availableBox, model, [&](bool on) { enabled << on; }, &report);
    EXPECT_EQ(enabled, (QList<bool>{false, true}));
    EXPECT_FALSE(App().Busy);
    EXPECT_GT(report.LineCount(), 0);

    App().Busy = true;
    enabled.clear();
    WhereUsedForSelection(
        &availableBox, availableBox, model, [&](bool on) { enabled << on; }, &report);
    EXPECT_TRUE(enabled.isEmpty());
    EXPECT_TRUE(App().Busy);
}

} // namespace

} // namespace qv
