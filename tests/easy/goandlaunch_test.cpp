// The launch after a store job, headless: the engine replaced by a recorder, MSTS and the
// RailDriver manager by scripts that record that they ran.
#include "easy/goandlaunch.h"

#include "core/appstate.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "easy/explorestate.h"
#include "easy/fakeprogram.h"
#include "engine/fixedobjects.h"
#include "engine/storecommand.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "platform/fakeui.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>

using namespace qv;

namespace {

// Window services that answer the save question as scripted and count the closes.
class LaunchWindow : public HeadlessMainServices {
public:
    int QuerySaveScenario() override { return saveAnswer; }
    void CloseMainForm() override { ++closes; }
    int saveAnswer = 1;
    int closes = 0;
};

class GoAndLaunchTest : public ::testing::Test {
protected:
    GoAndLaunchTest() {
        ResetAppState();
        ResetExploreState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        builder.AddDefaultWagon();
        EXPECT_TRUE(EnsureDefaultExclusions());
        // A route and an activity in use: the store job's checks ask nothing.
        ItemNode* route = tree.AddRoot(std::make_unique<ItemSet>(
            ItemSet{1, PT_ROUTE, SI_IN_USE, QStringLiteral("Hill"), {}, {}, {}, {}}));
        route
            ->AddChild(std::make_unique<ItemSet>(
                ItemSet{2, PT_ACTIVITIES_GROUP, SI_HEADING, {}, {}, {}, {}, {}}))
            ->AddChild(
                std::make_unique<ItemSet>(ItemSet{3, PT_ACTIVITY, SI_IN_USE, {}, {}, {}, {}, {}}));
        window.SetQuarvelObjects(&tree);
        SetMainServices(&window);
        SetStoreUnstoreDriverForTests(
            [this](bool u, bool p, bool d, bool c, bool s, bool q, const QString&) {
                jobs << QStringLiteral("%1%2%3%4%5%6").arg(u).arg(p).arg(d).arg(c).arg(s).arg(q);
                return jobRuns;
            });
        RegWriteString(kProductKey, QStringLiteral("MSTS EXE Path"), msts.Path());
        RegWriteString(kProductKey, QStringLiteral("MSTS EXE Params"), QStringLiteral("-x 1"));
        RegWriteString(kProductKey + QStringLiteral("\\RailDriver"), QStringLiteral("RD EXE Path"),
                       railDriver.Path());
        for (const char* box : {"LaunchMSTSCbx", "AllConsistsCbx", "AllStockCbx"})
            window.SetChecked(QLatin1String(box), true);
    }
    ~GoAndLaunchTest() override {
        SetStoreUnstoreDriverForTests({});
        SetExploreReloadHandler({});
        SetMainServices(nullptr);
        QDir::setCurrent(startFolder);
        ResetExploreState();
        ResetAppState();
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    FakeProgram msts{drive, QStringLiteral("msts")};
    FakeProgram railDriver{drive, QStringLiteral("rd")};
    FakeUi ui;
    ItemTree tree;
    LaunchWindow window;
    QStringList jobs;
    bool jobRuns = true;
    const QString startFolder = QDir::currentPath();
};

} // namespace

TEST_F(GoAndLaunchTest, LaunchMstsUnchecked_RunsTheJobClearsTheAllBoxesAndLaunchesNothing) {
    jobRuns = false;
    EXPECT_FALSE(GoAndLaunch(nullptr, true));
    EXPECT_TRUE(window.Checked(QStringLiteral("AllStockCbx"))) << "a failed job changes nothing";

    jobRuns = true;
    window.SetChecked(QStringLiteral("LaunchMSTSCbx"), false);
    window.saveAnswer = ID_CANCEL; // would stop a launch; must not be asked
    EXPECT_TRUE(GoAndLaunch(nullptr, false));
    EXPECT_EQ(jobs, (QStringList{"000001", "000000"})) << "store jobs, silent for Explore";
    EXPECT_FALSE(window.Checked(QStringLiteral("AllConsistsCbx")));
    EXPECT_FALSE(window.Checked(QStringLiteral("AllStockCbx")));
    EXPECT_EQ(window.closes, 0);
    EXPECT_TRUE(msts.Ran(300).isEmpty());
}

TEST_F(GoAndLaunchTest, SpawnWaitClear_StartsMstsFromItsFolderAndClosesSilently) {
    window.SetCurrentScenarioFile(QStringLiteral("C:\\Scen\\a.QVS"));
    window.saveAnswer = ID_CANCEL;
    EXPECT_TRUE(GoAndLaunch(nullptr, false));
    EXPECT_TRUE(msts.Ran(300).isEmpty());

    window.saveAnswer = ID_NO;
    EXPECT_TRUE(GoAndLaunch(nullptr, false));
    EXPECT_TRUE(msts.StillRunning()) << "not waited for";
    EXPECT_EQ(msts.Ran(), (QStringList{drive.Host(QStringLiteral("MSTS")), "-x", "1"}));
    EXPECT_EQ(window.CurrentScenarioFile(), QString()) << "No forgets the scenario";
    EXPECT_TRUE(window.Minimised());
    EXPECT_TRUE(App().SilentClose);
    EXPECT_EQ(window.closes, 1);
}

TEST_F(GoAndLaunchTest, StartRdWithoutExplore_StartsTheRailDriverManagerInsteadAndCloses) {
    WriteFlag(true, QStringLiteral("Spawn Wait"));
    WriteFlag(true, QStringLiteral("Start RD"));
    EXPECT_TRUE(GoAndLaunch(nullptr, false));
    EXPECT_TRUE(railDriver.StillRunning()) << "never waited for, even with Spawn Wait";
    EXPECT_TRUE(msts.Ran(300).isEmpty());
    EXPECT_EQ(window.closes, 1);
}

TEST_F(GoAndLaunchTest, ExploreWithSpawnWait_WaitsForMstsThenTidiesTheSessionAndRestores) {
    WriteFlag(true, QStringLiteral("Spawn Wait"));
    WriteFlag(true, QStringLiteral("Start RD")); // an Explore session starts MSTS all the same
    // The source is a tree item; the tree is reloaded (its records freed) before the launch.
    auto treeItem = std::make_unique<ItemSet>(ItemSet{3,
                                                      PT_ACTIVITY,
                                                      SI_IN_USE,
                                                      {},
                                                      QStringLiteral("Routes\\Hill\\ACTIVITIES"),
                                                      QStringLiteral("run.act"),
                                                      {},
                                                      {}});
    Explore().ExploreSourceActivity = *treeItem;
    treeItem.reset();
    Explore().CurrentExploreRecord.SaveNumber = 4;
    Explore().ExploreTemplateActivity.Folder = QStringLiteral("Routes\\Hill\\ACTIVITIES");
    Explore().ExploreTemplateActivity.FileName = QStringLiteral("run.act");
    drive.MakeFile(QStringLiteral("MSTS/ROUTES/HILL/Activities/run.act"), "Tr_Activity ( )");
    drive.MakeFile(QStringLiteral("MSTS/ROUTES/HILL/Activities/QV_~TEMP4.act"));
    drive.MakeFile(QStringLiteral("MSTS/ROUTES/HILL/Activities/EXPLORER.ACT"));
    drive.MakeFile(QStringLiteral("MSTS/ROUTES/HILL/Services/QV_~TEMP4.srv"));
    QString reloadedRoute;
    SetExploreReloadHandler([&](QObject*, const QString& route) {
        reloadedRoute = route;
        return false;
    });
    // An "MSTS" that ends at once, so that the wait for it ends.
    RegWriteString(kProductKey, QStringLiteral("MSTS EXE Path"), QStringLiteral("/bin/true"));

    EXPECT_TRUE(GoAndLaunch(nullptr, true));
    EXPECT_TRUE(railDriver.Ran(300).isEmpty());
    EXPECT_EQ(window.closes, 0);
    EXPECT_FALSE(window.Minimised()) << "restored after the wait";
    EXPECT_EQ(drive.NamesIn(QStringLiteral("MSTS/ROUTES/HILL/Activities")), QStringList());
    EXPECT_EQ(drive.NamesIn(QStringLiteral("MSTS/ROUTES/HILL/Services")), QStringList());
    EXPECT_EQ(drive.NamesIn(QStringLiteral("STORE/Routes/Hill/ACTIVITIES")),
              QStringList{QStringLiteral("run.act")})
        << "the source activity is kept in the store while MSTS runs the generated one";
    EXPECT_EQ(reloadedRoute, QStringLiteral("Hill"));
    EXPECT_EQ(Explore().CurrentExploreRecord.SaveNumber, -1) << "no saved sessions reloaded";
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
}
