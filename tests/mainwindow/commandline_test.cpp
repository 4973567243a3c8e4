// The command-line argument on a synthetic installation (route ALPHA in use, BETA in the store):
// page switches, the refusals of a scenario argument, a scenario job that moves what the file
// says and starts MSTS (a script that records that it ran), "-uc" and "-rc".
#include "mainwindow/commandline.h"

#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "easy/fakeprogram.h"
#include "easy/launchprogram.h"
#include "easy/routecontrol.h"
#include "engine/fixedobjects.h"
#include "mainwindow/scenariotestkit.h"

#include <QDir>

using namespace qv;

namespace {

class RecordingStatus : public StatusLabel {
public:
    void ShowText(const QString& text) override { texts << text; }
    int TextWidth(const QString& text) const override { return int(text.size()) * 7; }
    int Width() const override { return 300; }
    QStringList texts;
};

class CommandLineTest : public ScenarioTest {
protected:
    CommandLineTest() {
        // What the routes' activities need, and the fixed objects a store job requires.
        builder.AddDefaultWagon();
        EXPECT_TRUE(EnsureDefaultExclusions());
        builder.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel);
        builder.AddConsist("FREIGHT.CON", "Freight", {{"DASH9", "DASH9", true}});
        builder.AddPath("ALPHA", "up.pat", "up", "Here", "There");
        builder.AddService("ALPHA", "s1.srv", "s1", "FREIGHT", "up");
        builder.AddActivity("ALPHA", "a1.act", "Morning Run", "s1.srv", QString()); // its path now
        builder.AddPath("BETA", "b.pat", "b", "X", "Y");
        builder.AddService("BETA", "b1.srv", "b1", "FREIGHT", "b");
        builder.AddActivity("BETA", "b1.act", "Beta Run", "b1.srv", QString());
        window.LoadTree(QString(), nullptr, -1);
    }
    ~CommandLineTest() override { QDir::setCurrent(startFolder); }

    void Run(const QString& argument) { ProcessCommandLine(argument, status, &sender); }

    RecordingStatus status;
    FakeProgram msts{drive, "msts"};
    const QString startFolder = QDir::currentPath();
};

} // namespace

TEST_F(CommandLineTest, PageSwitches_InAnyLetterCaseChooseThePageAndRunNoJob) {
    const struct {
        const char* argument;
        int mainPage, classicTab, easyTab;
    } cases[] = {{"-ss", 1, 0, 9}, {"-SM", 1, 1, 9}, {"-Se", 0, 9, 1}, {"-SA", 0, 9, 0}};
    for (const auto& c : cases) {
        window.SetMainPageIndex(9);
        window.SetSimulationMaintPageIndex(9);
        window.SetActivityExplorePageIndex(9);
        Run(QString::fromLatin1(c.argument));
        EXPECT_EQ(window.MainPageIndex(), c.mainPage) << c.argument;
        EXPECT_EQ(window.SimulationMaintPageIndex(), c.classicTab) << c.argument;
        EXPECT_EQ(window.ActivityExplorePageIndex(), c.easyTab) << c.argument;
    }
    EXPECT_FALSE(App().CommandLineJob);
    EXPECT_FALSE(window.Minimised());
    EXPECT_TRUE(status.texts.isEmpty());
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(CommandLineTest, Scenario_RefusalsShowOneStopBoxLoadNothingAndStillEndTheProgram) {
    drive.MakeFile("Scen/bad.QVS", "[QUARVEL_INFORMATION]\r\nVersion=9.9\r\n\r\n");
    const QString bad = drive.Host("Scen/bad.QVS");
    const QString good = SaveTreeAs("good.QVS");
    const struct {
        QString mstsPath, argument, text;
    } cases[] = {
        {"", good, Caption(Msg::MSTS_EXE_PATH_NOT_SET_LEG)},
        {msts.Path(), "nothere.QVS", Caption(Msg::ERROR_FILE_NOT_FOUND_LEG) + "\n\n'nothere.QVS'"},
        {msts.Path(), bad,
         Caption(Msg::INVALID_QVS_FILE) + Caption(Msg::GENERAL_NOT_FOUND3) + bad + "'"},
    };
    const int loads = window.loads;
    for (const auto& c : cases) {
        ui.Clear();
        App().CommandLineJob = false;
        window.RestoreApplication();
        RegWriteString(kProductKey, "MSTS EXE Path", c.mstsPath);
        Run(c.argument);
        ASSERT_EQ(ui.Shown().size(), 1u) << c.argument.toStdString();
        EXPECT_EQ(ui.Shown()[0].text, c.text);
        EXPECT_EQ(ui.Shown()[0].caption, "Quarvel");
        EXPECT_EQ(ui.Shown()[0].style, MB_ICONSTOP);
        EXPECT_TRUE(App().CommandLineJob);
        EXPECT_TRUE(App().CommandLineJobFailed);
        EXPECT_TRUE(window.Minimised());
    }
    EXPECT_EQ(window.loads, loads);
    EXPECT_TRUE(msts.Ran(300).isEmpty());
}

TEST_F(CommandLineTest, Scenario_MovesWhatTheFileSaysAndLaunchesMstsWithoutWaiting) {
    Mark("Beta Line", SI_IN_USE);
    const QString scenario = SaveTreeAs("job.QVS");
    window.LoadTree(QString(), nullptr, -1); // the tree as the folders stand: BETA stored
    ui.Clear();
    RegWriteString(kProductKey, "MSTS EXE Path", msts.Path());
    WriteFlag(true, "Spawn Wait"); // a command-line job never waits all the same

    Run(drive.Host("Scen/job.QVS"));
    EXPECT_TRUE(msts.StillRunning());
    EXPECT_EQ(msts.Ran().value(0), drive.Host("MSTS"));
    EXPECT_TRUE(App().CommandLineJob);
    EXPECT_FALSE(App().CommandLineJobFailed);
    EXPECT_TRUE(window.Checked("LaunchMSTSCbx"));
    EXPECT_EQ(window.CurrentScenarioFile(), scenario);
    EXPECT_TRUE(drive.NamesIn("MSTS/ROUTES/BETA").contains("B.trk"));
    EXPECT_FALSE(drive.NamesIn("STORE/ROUTES/BETA").contains("B.trk"));
    EXPECT_TRUE(window.Minimised());
    EXPECT_FALSE(App().SilentClose) << "the first main timer tick closes the program";
    const QString shown = "\n\n'" + scenario + "'";
    EXPECT_EQ(status.texts, (QStringList{Caption(Msg::OPEN_SCENARIO_TITLE_OPEN) + shown,
                                         Caption(Msg::UNSTORE_ACTIVITY_TAG) + shown}));
    EXPECT_TRUE(ui.Shown().empty()) << window.InformationMemo()->Lines().join('\n').toStdString();
}

TEST_F(CommandLineTest, UnstoreEverything_RunsAsAJobAndBringsTheStoreBack) {
    ui.Expect(Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG), ID_YES);
    ui.Expect(Caption(Msg::PROCESS_COMPLETED), ID_OK);
    Run("-Uc");
    EXPECT_TRUE(App().CommandLineJob);
    EXPECT_TRUE(window.Minimised());
    EXPECT_EQ(status.texts, QStringList("Unstore Everything!"));
    EXPECT_TRUE(drive.NamesIn("MSTS/ROUTES/BETA").contains("B.trk"));
    EXPECT_FALSE(App().CommandLineJobFailed);
    EXPECT_EQ(ui.PendingExpectations(), 0);
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

TEST_F(CommandLineTest, Jobs_RefusedOrWithAFailedMoveEndAsFailed) {
    const auto failed = [&](const QString& argument) {
        App().CommandLineJobFailed = false;
        Run(argument);
        return App().CommandLineJobFailed;
    };
    ui.Expect(Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG), ID_NO);
    EXPECT_TRUE(failed("-uc")) << "the question answered No";
    // BETA's route file stored, and another one of that name in the MSTS folder.
    Mark("Beta Line", SI_IN_USE);
    SaveTreeAs("job.QVS");
    RegWriteString(kProductKey, "MSTS EXE Path", msts.Path());
    drive.MakeFile("MSTS/ROUTES/BETA/B.trk", "another route file");
    for (const QString& job : {drive.Host("Scen/job.QVS"), QStringLiteral("-uc")}) {
        ui.ExpectConfirmFileMove(ID_CANCEL); // the move fails; every box answered OK or Yes
        EXPECT_TRUE(failed(job)) << job.toStdString() << " with a move that failed";
    }
    QFile::remove(drive.Host("MSTS/ROUTES/BETA/B.trk")); // nothing in the way, but no MSTS
    RegWriteString(kProductKey, "MSTS EXE Path", drive.Host("MSTS/missing.exe"));
    ui.Expect(ShellErrorText(2), ID_OK);
    EXPECT_TRUE(failed(drive.Host("Scen/job.QVS"))) << "a scenario job whose MSTS did not start";
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

TEST_F(CommandLineTest, RouteControl_StartsOnlyWithItsPathSetAndNoNamedRouteInTheStore) {
    FakeProgram routeControl(drive, "rc");
    ui.Expect(Caption(Msg::RC_EXE_PATH_NOT_SET_LEG2), ID_YES);
    ui.ExpectEditLaunchSettings(ID_CANCEL);
    ui.Expect(Caption(Msg::RC_EXE_PATH_NOT_SET_LEG1), ID_OK);
    Run("-RC");
    EXPECT_EQ(ui.LaunchSettingsDialogs(), QStringList(kRouteControlKey));
    EXPECT_EQ(ui.Shown().back().style, MB_ICONSTOP);
    EXPECT_TRUE(App().CommandLineJob);
    EXPECT_TRUE(App().CommandLineJobFailed);
    EXPECT_TRUE(window.Minimised());

    // The path set in the dialog; Route Control's folder holds a route with files in the store.
    ui.Expect(Caption(Msg::RC_EXE_PATH_NOT_SET_LEG2), ID_YES);
    ui.ExpectEditLaunchSettings(ID_OK, [&] {
        RegWriteString(kRouteControlKey, "RC EXE Path", routeControl.Path());
        RegWriteString(kRouteControlKey, "RC EXE Params", "-r now");
    });
    builder.AddRoute("RtCntrl-route", "Swapped Hill", "RC");
    drive.MakeFile("STORE/Routes/RtCntrl-route/Activities/x.act");
    ui.Expect(Caption(Msg::ROUTE_CONTROL_ERROR2) + "Swapped Hill" +
                  Caption(Msg::ROUTE_CONTROL_ERROR3),
              ID_OK);
    Run("-rc");
    EXPECT_TRUE(routeControl.Ran(300).isEmpty());

    // Without a route file to name the route, the user is warned and Route Control starts.
    ASSERT_TRUE(QFile::remove(drive.Host("MSTS/ROUTES/RtCntrl-route/RC.trk")));
    ui.Expect(Caption(Msg::ROUTE_CONTROL_WARNING1), ID_OK);
    Run("-rc");
    EXPECT_EQ(routeControl.Ran().mid(1), (QStringList{"-r", "now"}));
    EXPECT_FALSE(App().CommandLineJobFailed);
    EXPECT_EQ(ui.PendingExpectations(), 0);
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}
