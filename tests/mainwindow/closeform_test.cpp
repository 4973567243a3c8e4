#include "mainwindow/scenariotestkit.h"

#include "core/storeini.h"
#include "platform/clock.h"

using namespace qv;

namespace {

using CloseForm = ScenarioTest;

const QString kSaveQuestion = "Do you want to save the scenario changes you made";

TEST_F(CloseForm, SaveQuestion_AskedOnlyForChangesTheRulesCover) {
    EXPECT_EQ(QuerySaveScenario(&sender), 1); // nothing changed
    App().ScenarioChanged = true;
    EXPECT_EQ(QuerySaveScenario(&sender), 1); // no file, "Show Save Warning" off
    WriteFlag(true, "Show Save Warning");
    ui.Expect(kSaveQuestion + "?", ID_NO);
    EXPECT_EQ(QuerySaveScenario(&sender), ID_NO);
    EXPECT_EQ(ui.Shown().back().style, 35);

    // The default scenario is asked about only with the warning on; any other file always.
    const QString file = "C:\\Scen\\mine.QVS";
    window.SetCurrentScenarioFile(file);
    RegWriteString(kProductKey, "Default Scenario", file);
    ui.Expect(kSaveQuestion, ID_NO);
    EXPECT_EQ(QuerySaveScenario(&sender), ID_NO);
    WriteFlag(false, "Show Save Warning");
    EXPECT_EQ(QuerySaveScenario(&sender), 1);
    RegWriteString(kProductKey, "Default Scenario", "C:\\Scen\\other.QVS");
    ui.Expect(kSaveQuestion + " to '" + file + "'?", ID_NO);
    EXPECT_EQ(QuerySaveScenario(&sender), ID_NO);
    EXPECT_EQ(ui.PendingExpectations(), 0);
    EXPECT_TRUE(ui.Mismatches().isEmpty());
}

TEST_F(CloseForm, SaveQuestion_YesSavesAndAnUnfinishedSaveKeepsTheProgramOpen) {
    SaveTreeAs("mine.QVS");
    Mark("Beta Line", SI_IN_USE);
    ui.Expect(kSaveQuestion, ID_YES);
    EXPECT_EQ(QuerySaveScenario(&sender), ID_YES);
    EXPECT_FALSE(App().ScenarioChanged);

    // Yes on an unnamed tree opens Save As; cancelling that must not close as if saved.
    window.SetCurrentScenarioFile(QString());
    WriteFlag(true, "Show Save Warning");
    Mark("Beta Line", SI_IN_STORE);
    ui.Expect(kSaveQuestion, ID_YES);
    ui.ExpectSaveScenarioDialog(ID_CANCEL);
    EXPECT_FALSE(FormCloseMayProceed(&sender));
    EXPECT_TRUE(App().ScenarioChanged);
    EXPECT_EQ(ui.PendingExpectations(), 0);
}

TEST_F(CloseForm, MayProceed_NotWhileBusyWithoutQuestionWhenSilent) {
    window.SetCurrentScenarioFile("C:\\Scen\\mine.QVS");
    App().ScenarioChanged = true;
    App().Busy = true;
    EXPECT_FALSE(FormCloseMayProceed(&sender));
    App().Busy = false;
    App().SilentClose = true;
    EXPECT_TRUE(FormCloseMayProceed(&sender));
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(CloseForm, Finish_AfterNoWritesTheLastCloseStateAndPurgesStaleActivityCacheEntries) {
    FakeClock clock(QDateTime(QDate(2024, 1, 1), QTime(12, 0)));
    App().ProgramVersion = "3.1";
    builder.AddActivity("BETA", "stored.act", "Stored Run", "s1.srv", QString(), {}, Into::Store);
    const QString stored = "Routes\\BETA\\ACTIVITIES\\stored.act";
    const QString gone = "Routes\\ALPHA\\Activities\\gone.act";
    auto cache = OpenStoreIni(CacheFileName("CACHESCN"));
    cache->Ini.WriteString(stored, "Name", "Stored Run");
    cache->Ini.WriteString(gone, "Name", "Gone");
    cache->Modified = true;
    ASSERT_TRUE(CloseStoreIni(std::move(cache)));

    SaveTreeAs("mine.QVS");
    window.tree.SetSelected(window.Find("Beta Line"));
    Mark("Beta Line", SI_IN_USE);
    ui.Expect(kSaveQuestion, ID_NO);
    ASSERT_TRUE(FormCloseMayProceed(&sender));
    FormCloseFinish(30, 40, true);

    EXPECT_EQ(Setting("Last Close Scenario"), "");
    EXPECT_EQ(Setting("Last Close"), "45292.5");
    EXPECT_EQ(Setting("Last Main Page"), "1");
    EXPECT_EQ(Setting("Last Easy Page"), "0");
    EXPECT_EQ(Setting("Last MainForm Top") + Setting("Last MainForm Left"), "3040");
    EXPECT_EQ(Setting("Last MainForm Maximized"), "true");
    EXPECT_EQ(Setting("Last Version"), "3.1");
    EXPECT_EQ(Setting("Last Node Folder").toUpper(), "ROUTES\\BETA");
    EXPECT_EQ(window.tree.RootCount(), 0);

    cache = OpenStoreIni(CacheFileName("CACHESCN"));
    EXPECT_TRUE(cache->Ini.SectionExists(stored));
    EXPECT_TRUE(cache->Ini.SectionExists("Routes\\ALPHA\\ACTIVITIES\\a1.act"));
    EXPECT_FALSE(cache->Ini.SectionExists(gone));
}

} // namespace
