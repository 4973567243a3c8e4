#include "engine/storecommand.h"

#include "core/filemoveops.h"
#include "core/regsettings.h"
#include "engine/tsection.h"
#include "movetestkit.h"
#include "surveytestkit.h"

#include <QDir>

// Failures show texts as text.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

using namespace qv;

namespace {

// Main-window services that record what the command asks of the window.
class RecordingMain : public HeadlessMainServices {
public:
    int QuerySaveScenario() override { return saveAnswer; }
    void UpdateControls() override { calls << QStringLiteral("UpdateControls"); }
    QSize ScreenSize() const override { return screen; }
    void CloseMainForm() override { calls << QStringLiteral("CloseMainForm"); }

    int saveAnswer = 1;
    QSize screen{1024, 768};
    QStringList calls;
};

// Easy services that mark the tree as the user does and record the programs started.
class LaunchingEasy : public TreeEasyServices {
public:
    std::int32_t LaunchProgram(const QString& program, const QString& parameters, const QString&,
                               bool, bool, bool noWait) override {
        launched << program + u'|' + parameters + (noWait ? "|nowait" : "|wait");
        if (onLaunch)
            onLaunch();
        return 1;
    }
    const ExploreActivitySaveInfo* CurrentExploreRecord() const override { return explore; }

    QStringList launched;
    std::function<void()> onLaunch;
    const ExploreActivitySaveInfo* explore = nullptr;
};

// The text of the two questions about what is left in use.
QString Question(Msg first) {
    return Caption(first) + Caption(Msg::DO_NOT_ALLOWED_TAG1A) + u'\n' +
           Caption(Msg::ARE_YOU_SURE_TAG);
}

QStringList ShownTexts(const FakeUi& ui) {
    QStringList texts;
    for (const ShownMessage& shown : ui.Shown())
        texts << shown.text;
    return texts;
}

// The command's checks and boxes, with the engine replaced by a recorder, on a tree built here.
class StoreCommandTest : public SurveyTestKit {
protected:
    StoreCommandTest() {
        // The store's drive letter in small letters: it is the MSTS folder's drive all the same.
        App().StoreRootFolder = QStringLiteral("c:\\STORE");
        drive.MakeFolder(QStringLiteral("STORE"));
        recMain.SetQuarvelObjects(&tree);
        SetMainServices(&recMain);
        SetEasyServices(&launching);
        SetStoreUnstoreDriverForTests(
            [this](bool u, bool p, bool d, bool c, bool s, bool q, const QString& file) {
                jobs << QStringLiteral("%1%2%3%4%5%6 %7")
                            .arg(u)
                            .arg(p)
                            .arg(d)
                            .arg(c)
                            .arg(s)
                            .arg(q)
                            .arg(file);
                App().RunHadErrors = jobFails;
                return true;
            });
        heading = tree.AddRoot(std::make_unique<ItemSet>(
            ItemSet{0, PT_ROUTES_ROOT, SI_HEADING, QStringLiteral("Routes"), {}, {}, {}, {}}));
    }
    ~StoreCommandTest() override {
        SetStoreUnstoreDriverForTests({});
        QDir::setCurrent(startFolder);
    }

    // A route node with an Activities group holding one activity per given state.
    ItemNode* AddRoute(const QString& folder, int state, std::initializer_list<int> activities) {
        ItemNode* route = heading->AddChild(std::make_unique<ItemSet>(ItemSet{
            1, PT_ROUTE, state, folder + " Line", "Routes\\" + folder, folder + ".trk", {}, {}}));
        ItemNode* group = route->AddChild(std::make_unique<ItemSet>(ItemSet{
            2, PT_ACTIVITIES_GROUP, SI_HEADING, QStringLiteral("Activities"), {}, {}, {}, {}}));
        for (int activity : activities)
            group->AddChild(std::make_unique<ItemSet>(
                ItemSet{3, PT_ACTIVITY, activity, QStringLiteral("Run"), {}, {}, {}, {}}));
        return route;
    }
    // A specification of a TSECTION.DAT written with the given build: the system default when
    // the route folder is empty. Returns the file's full path.
    QString Specify(const QString& folder, int build, int action) {
        RouteInfo required;
        required.PType = folder.isEmpty() ? PT_GLOBAL : PT_ROUTE;
        required.Folder = "Routes\\" + folder;
        required.TSectionFileName =
            "C:\\MSTS\\" + builder.WriteTsection(build, "KEEP\\" + folder + "TSECTION.DAT");
        required.TSectionSimulation = required.TSectionMaintenance = action;
        WriteTsectionSettings(required);
        return required.TSectionFileName;
    }
    static bool Go(bool unstore = false, bool defaultRoutes = false) {
        return GoStoreUnstore(unstore, false, defaultRoutes, false, false, false);
    }

    RecordingMain recMain;
    LaunchingEasy launching;
    ItemNode* heading = nullptr;
    QStringList jobs; // what the engine was given
    bool jobFails = false;
    const QString startFolder = QDir::currentPath();
};

} // namespace

TEST_F(StoreCommandTest, Checks_EveryRefusalIsShownInOrderAndNoJobRuns) {
    // No route in use, no DEFAULT.WAG and the store on another drive: one press shows all three.
    App().StoreRootFolder = QStringLiteral("D:\\STORE");
    AddRoute(QStringLiteral("Hill"), SI_IN_STORE, {SI_IN_STORE});
    ui.Expect(Caption(Msg::DO_NOT_ALLOWED_TAG1), ID_NO);
    EXPECT_FALSE(Go());
    const QStringList shown = ShownTexts(ui);
    ASSERT_EQ(shown.size(), 4) << shown.join(" / ").toStdString();
    EXPECT_EQ(shown[0], Question(Msg::DO_NOT_ALLOWED_TAG1));
    EXPECT_EQ(ui.Shown()[0].style, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    EXPECT_TRUE(shown[1].startsWith(Caption(Msg::NO_DEFAULT_WAG_LEG)));
    EXPECT_EQ(shown[2], Caption(Msg::NO_EXCLUSIONS_ENTERED));
    EXPECT_EQ(shown[3], Caption(Msg::DO_NOT_ALLOWED_TAG4));
    EXPECT_TRUE(jobs.isEmpty());
}

TEST_F(StoreCommandTest, Checks_ActivitiesQuestionAndUnstoreWithoutRouteInUse) {
    AddFixedObjects();
    ItemNode* hill = AddRoute(QStringLiteral("Hill"), SI_IN_USE, {SI_IN_STORE, SI_IN_STORE});
    AddRoute(QStringLiteral("Vale"), SI_IN_STORE, {SI_IN_USE}); // not below a route in use
    ui.Expect(Question(Msg::DO_NOT_ALLOWED_TAG2), ID_NO);
    EXPECT_FALSE(Go());
    EXPECT_TRUE(jobs.isEmpty());
    // An Explore session being set up needs no activity.
    int session = 0;
    launching.explore = reinterpret_cast<const ExploreActivitySaveInfo*>(&session);
    EXPECT_TRUE(GoStoreUnstore(false, false, false, false, false, true));
    EXPECT_EQ(ui.Shown().size(), 1u);

    // Preparing for maintenance needs a route in use, unless the default routes are included.
    SetRouteNodeState(hill, SI_IN_STORE);
    EXPECT_FALSE(Go(true));
    EXPECT_EQ(ShownTexts(ui).last(), Caption(Msg::DO_NOT_ALLOWED_TAG6));
    EXPECT_TRUE(GoStoreUnstore(true, true, true, true, false, false));
    EXPECT_EQ(ui.Shown().size(), 2u);
    EXPECT_EQ(jobs, (QStringList{"000001 ", "111100 "})) << "no system default: no TSECTION.DAT";
}

TEST_F(StoreCommandTest, Tsection_ChoiceCancelledRunsNoJobAndOkStoresUntickedRoutes) {
    Specify(QString(), 60, TSA_ANY_FILE);
    const QString hillFile = Specify(QStringLiteral("Hill"), 50, TSA_THIS_FILE);
    Specify(QStringLiteral("Vale"), 70, TSA_THIS_FILE);
    ItemNode* hill = AddRoute(QStringLiteral("Hill"), SI_IN_USE, {SI_IN_USE});
    ItemNode* vale = AddRoute(QStringLiteral("Vale"), SI_IN_USE, {SI_IN_USE});
    // Cancelled: no job, but the fixed-objects refusal (no DEFAULT.WAG yet) still shows.
    ui.ExpectResolveTsectionConflicts(ID_CANCEL);
    EXPECT_FALSE(Go());
    EXPECT_EQ(ShownTexts(ui).value(1), Caption(Msg::NO_EXCLUSIONS_ENTERED));

    AddFixedObjects();
    ui.Clear();
    ui.ExpectResolveTsectionConflicts(ID_OK, [](ConflictList& list) {
        for (auto& entry : list)
            entry->Selected = entry->RouteName != QStringLiteral("Vale Line");
        FindTsectionConflicts(list, false);
    });
    EXPECT_TRUE(Go());
    EXPECT_EQ(vale->Data()->StoreInd, SI_IN_STORE);
    EXPECT_EQ(hill->Data()->StoreInd, SI_IN_USE);
    EXPECT_EQ(jobs, QStringList{"000000 " + hillFile});
}

TEST_F(StoreCommandTest, Outcome_CommandLineJobShowsMoveErrorsButNoPlainCompletion) {
    AddFixedObjects();
    AddRoute(QStringLiteral("Hill"), SI_IN_USE, {SI_IN_USE});
    WriteFlag(true, QStringLiteral("Confirm Completion"));
    App().CommandLineJob = true;
    EXPECT_TRUE(Go());
    EXPECT_TRUE(ui.Shown().empty());
    jobFails = true;
    EXPECT_TRUE(Go());
    EXPECT_EQ(ShownTexts(ui),
              QStringList{Caption(Msg::PROCESS_COMPLETED) + Caption(Msg::MOVE_ERRORS)});
    EXPECT_EQ(ui.Shown()[0].style, MB_ICONEXCLAMATION);
}

TEST_F(StoreCommandTest, Prepare_StartsTheEditorAndClosesOnlyAfterAPreparationThatRan) {
    AddFixedObjects();
    RegWriteString(kProductKey, QStringLiteral("MSTS EXE Path"),
                   QStringLiteral("C:\\MSTS\\TRAIN.EXE"));
    ItemNode* hill = AddRoute(QStringLiteral("Hill"), SI_IN_STORE, {SI_IN_STORE});
    MaintenanceChoice choice;
    choice.launchEditor = true;
    // A refused preparation (no route in use) starts nothing and closes nothing.
    ui.Expect(Caption(Msg::UNSTORE_SELECTED_QUERY_TAG), ID_YES);
    ui.Expect(Caption(Msg::DO_NOT_ALLOWED_TAG6), ID_OK);
    PrepareForMaintenance(choice);
    EXPECT_TRUE(launching.launched.isEmpty());
    EXPECT_TRUE(recMain.calls.isEmpty());

    // On an 800 x 600 screen, No to the resolution question leaves the program open.
    SetRouteNodeState(hill, SI_IN_USE);
    recMain.screen = QSize(800, 600);
    ui.Expect(Caption(Msg::UNSTORE_SELECTED_QUERY_TAG), ID_YES);
    ui.Expect(Caption(Msg::QUERY_SCREEN_RESOLUTION), ID_NO);
    PrepareForMaintenance(choice);
    EXPECT_EQ(jobs.size(), 1);
    EXPECT_TRUE(launching.launched.isEmpty());
    EXPECT_EQ(recMain.calls, QStringList{"UpdateControls"});

    // Yes opens the display settings and waits; once the screen is large enough the editor
    // starts in the MSTS folder and the window closes. Saving declined drops the scenario.
    recMain.saveAnswer = ID_NO;
    recMain.SetCurrentScenarioFile(QStringLiteral("C:\\STORE\\QVDATA\\Mine.QVS"));
    launching.onLaunch = [&] { recMain.screen = QSize(1280, 1024); };
    ui.Expect(Caption(Msg::UNSTORE_SELECTED_QUERY_TAG), ID_YES);
    ui.Expect(Caption(Msg::QUERY_SCREEN_RESOLUTION), ID_YES);
    PrepareForMaintenance(choice);
    EXPECT_EQ(ui.PendingExpectations(), 0);
    EXPECT_EQ(launching.launched,
              (QStringList{"RunDll32.exe|shell32.dll,Control_RunDLL desk.cpl,@0,3|wait",
                           "C:\\MSTS\\TRAIN.EXE|-toolset|nowait"}));
    EXPECT_EQ(QDir::currentPath(), QDir(drive.Host(QStringLiteral("MSTS"))).canonicalPath());
    EXPECT_TRUE(recMain.CurrentScenarioFile().isEmpty());
    EXPECT_EQ(recMain.calls.last(), QStringLiteral("CloseMainForm"));
}

namespace {

// Fails every rename of one activity, as a file held open by another program would.
class StuckFileOps : public FileMoveOps {
public:
    bool Rename(const QString& from, const QString& to, int* err) override {
        if (stuck && from.endsWith(QStringLiteral("\\b1.act"), Qt::CaseInsensitive)) {
            *err = EIO;
            return false;
        }
        return FileMoveOps::Rename(from, to, err);
    }
    ListedRename RenameListed(const QString& from, const QString& to, QString* renamedTo,
                              int* err) override {
        if (stuck && from.endsWith(QStringLiteral("\\b1.act"), Qt::CaseInsensitive)) {
            *err = EIO;
            return ListedRename::Failed;
        }
        return FileMoveOps::RenameListed(from, to, renamedTo, err);
    }
    bool stuck = true;
};

// Whole jobs through the real engine on two routes with their activities, services, paths,
// consists and stock, all in the MSTS folder at first.
class StoreCommandJobTest : public SurveyTestKit {
protected:
    StoreCommandJobTest() {
        recMain.SetQuarvelObjects(&tree);
        SetMainServices(&recMain);
        SetEasyServices(&launching);
        SetFileMoveOps(&ops);
        drive.MakeFolder(QStringLiteral("STORE/QVDATA"));
        AddFixedObjects();
        builder.AddEngine("DASH9", "DASH9.ENG", "DASH9", EngineType::Diesel);
        builder.AddWagon("BOX", "BOX.WAG", "BOX", WagonType::Freight);
        builder.AddWagon("COACH", "COACH.WAG", "COACH", WagonType::Passenger);
        builder.AddConsist("FREIGHT.CON", "FREIGHT", {{"DASH9", "DASH9", true}, {"BOX", "BOX"}});
        builder.AddConsist("PAX.CON", "PAX", {{"DASH9", "DASH9", true}, {"COACH", "COACH"}});
        builder.AddRoute("ALPHA", "Alpha Line", "A");
        builder.AddPath("ALPHA", "up.pat", "up", "Here", "There");
        builder.AddService("ALPHA", "s1.srv", "s1", "FREIGHT", "up");
        builder.AddActivity("ALPHA", "a1.act", "Morning", "s1.srv", QString());
        builder.AddRoute("BETA", "Beta Line", "B");
        builder.AddPath("BETA", "b.pat", "b", "X", "Y");
        builder.AddService("BETA", "b1.srv", "b1", "PAX", "b");
        builder.AddActivity("BETA", "b1.act", "Beta Run", "b1.srv", QString());
        LoadTree();
    }
    ~StoreCommandJobTest() override { SetFileMoveOps(nullptr); }

    QStringList Both() const {
        return ContentOfBoth(drive.Host(QStringLiteral("MSTS")),
                             drive.Host(QStringLiteral("STORE")));
    }
    QStringList Stored() const { return PathsBelow(drive.Host(QStringLiteral("STORE"))); }

    RecordingMain recMain;
    LaunchingEasy launching;
    StuckFileOps ops;
};

} // namespace

TEST_F(StoreCommandJobTest, WholeJob_MoveErrorBoxAfterAFailedMoveThenCompletionBox) {
    const QStringList before = Both();
    Mark(RouteNode(QStringLiteral("BETA")), SI_IN_STORE);
    EXPECT_TRUE(GoStoreUnstore(false, false, false, false, false, false));
    EXPECT_EQ(ShownTexts(ui),
              QStringList{Caption(Msg::PROCESS_COMPLETED) + Caption(Msg::MOVE_ERRORS)});
    EXPECT_EQ(Both(), before);

    ui.Clear();
    ops.stuck = false;
    WriteFlag(true, QStringLiteral("Confirm Completion"));
    EXPECT_TRUE(GoStoreUnstore(false, false, false, false, false, false));
    EXPECT_EQ(ShownTexts(ui), QStringList{Caption(Msg::PROCESS_COMPLETED)});
    EXPECT_EQ(ui.Shown()[0].style, MB_ICONINFORMATION);
    EXPECT_EQ(Stored(),
              (QStringList{"routes/beta/activities/b1.act", "routes/beta/b.trk",
                           "routes/beta/paths/b.pat", "routes/beta/services/b1.srv",
                           "trains/consists/pax.con", "trains/trainset/coach/coach.wag"}));
    EXPECT_EQ(Both(), before);
}

TEST_F(StoreCommandJobTest, WholeJob_AsksEachQuestionInOrderAndConfirmsOnlyAfterAMove) {
    // ALPHA in use without its activity: the command's question, then the engine's about the
    // survey's errors (ALPHA keeps no driveable path), then the completion box.
    ops.stuck = false;
    WriteFlag(true, QStringLiteral("Confirm Completion"));
    Mark(RouteNode(QStringLiteral("BETA")), SI_IN_STORE);
    Mark(ActivityNode(QStringLiteral("a1.act")), SI_IN_STORE);
    ui.Expect(Question(Msg::DO_NOT_ALLOWED_TAG2), ID_YES);
    ui.Expect(Caption(Msg::SURVEY_ERRORS), ID_NO);
    EXPECT_FALSE(GoStoreUnstore(false, false, false, false, false, false));
    EXPECT_EQ(ui.Shown().size(), 2u);
    EXPECT_TRUE(Stored().isEmpty());

    ui.Expect(Question(Msg::DO_NOT_ALLOWED_TAG2), ID_YES);
    ui.Expect(Caption(Msg::SURVEY_ERRORS), ID_YES);
    ui.Expect(Caption(Msg::PROCESS_COMPLETED), ID_OK);
    EXPECT_TRUE(GoStoreUnstore(false, false, false, false, false, false));
    EXPECT_EQ(ui.Shown().size(), 5u);
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join(" / ").toStdString();
    EXPECT_TRUE(Stored().contains(QStringLiteral("routes/alpha/activities/a1.act")));
}
