#include "mainwindow/scenariotestkit.h"

#include "core/generaldefs.h"

#include <QFile>
#include <QScopeGuard>

using namespace qv;

namespace {

using ScenarioFiles = ScenarioTest;

QStringList Recent() {
    return ReadKeyList(kRecentScenariosKey);
}

const QByteArray kRefusedScenario = "[QUARVEL_INFORMATION]\r\nVersion=9.9\r\n\r\n";

TEST_F(ScenarioFiles, SaveAsSaveAndReopenFromRecentList_KeepTheMarks) {
    const QString file = SaveTreeAs("one.QVS");
    EXPECT_EQ(window.CurrentScenarioFile(), file);
    EXPECT_EQ(window.refreshedWith, QStringList{file}) << "the caption names the new file";
    EXPECT_EQ(Setting("Last Scenario Save Folder"), "C:\\Scen\\");

    Mark("Beta Line", SI_IN_USE);
    EXPECT_TRUE(Save1Click(&sender));
    EXPECT_FALSE(App().ScenarioChanged);
    New1Click(&sender); // nothing unsaved: no question
    EXPECT_EQ(window.tree.RootCount(), 0);
    EXPECT_EQ(window.CurrentScenarioFile(), "");

    sender.setObjectName("MRU0");
    ASSERT_TRUE(MRU0Click(&sender, 0));
    EXPECT_EQ(window.Find("Beta Line")->Data()->StoreInd, SI_IN_USE);
    EXPECT_EQ(window.CurrentScenarioFile(), file);
    EXPECT_EQ(window.infos, 1);
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(ScenarioFiles, RecentList_HoldsNineMostRecentFirstWithoutRepeats) {
    QStringList saved;
    for (int i = 0; i < 10; ++i)
        saved.prepend(SaveTreeAs(QString("s%1.QVS").arg(i)));
    EXPECT_EQ(Recent(), saved.mid(0, 9)); // the oldest has gone

    ASSERT_TRUE(OpenScenario(saved[5]));
    ASSERT_TRUE(OpenScenario(saved[5]));
    EXPECT_EQ(Recent().size(), 9);
    EXPECT_EQ(Recent().front(), saved[5]);
    EXPECT_EQ(Recent().count(saved[5]), 1);
}

TEST_F(ScenarioFiles, InvalidScenario_IsReportedAndNeverBecomesTheFileSaveWrites) {
    const QString good = SaveTreeAs("good.QVS");
    drive.MakeFile("Scen/bad.QVS", kRefusedScenario);
    const int loads = window.loads;

    ui.ExpectOpenScenarioDialog(ID_OK, "C:\\Scen\\bad.QVS");
    ui.Expect(Caption(Msg::INVALID_QVS_FILE), ID_OK);
    EXPECT_FALSE(Open1Click(&sender));
    EXPECT_EQ(window.loads, loads);
    EXPECT_EQ(window.CurrentScenarioFile(), good);
    EXPECT_EQ(Recent(), QStringList{good});

    Mark("Beta Line", SI_IN_USE);
    EXPECT_TRUE(Save1Click(&sender));
    EXPECT_EQ(drive.Content("Scen/bad.QVS"), kRefusedScenario);
    EXPECT_EQ(ui.PendingExpectations(), 0);
}

TEST_F(ScenarioFiles, SavePath_InsideTheStoreInAnyLetterCaseIsRefused) {
    EXPECT_TRUE(CheckScenarioSavePath("C:\\Scen\\x.QVS"));
    EXPECT_FALSE(CheckScenarioSavePath("c:\\store\\Sub\\x.QVS"));
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown()[0].text, Caption(Msg::INVALID_QVS_FOLDER) + "\rFolder: 'c:\\store\\Sub'");

    // A root that is not set rules nothing out.
    App().StoreRootFolder.clear();
    EXPECT_TRUE(CheckScenarioSavePath("C:\\STORE\\x.QVS"));
}

// Save As proposes the home folder until a scenario was saved, then its folder; a folder refused
// brings the dialog back at the folder proposed, the name kept.
TEST_F(ScenarioFiles, SaveAs_ProposesTheLastFolderOrHomeAndAsksAgainAfterARefusal) {
    drive.MakeFolder("Home");
    const auto restore = qScopeGuard([was = qgetenv("HOME")] { qputenv("HOME", was); });
    qputenv("HOME", QFile::encodeName(drive.Host("Home")));
    ui.ExpectSaveScenarioDialog(ID_OK, "C:\\MSTS\\mine.QVS");
    ui.Expect(Caption(Msg::INVALID_QVS_FOLDER), ID_OK);
    ui.ExpectSaveScenarioDialog(ID_OK, "C:\\Scen\\mine.QVS");
    EXPECT_TRUE(SaveAs1Click(&sender));
    ui.ExpectSaveScenarioDialog(ID_CANCEL);
    SaveAs1Click(&sender);
    const auto& shown = ui.SaveScenarioDialogs();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].initialFolder, "C:\\Home\\");
    EXPECT_EQ(shown[1].file, "C:\\Home\\mine.QVS");
    EXPECT_EQ(shown[2].initialFolder, "C:\\Scen\\");
}

TEST_F(ScenarioFiles, RecentItem_MissingFileIsDroppedAndReportedWithoutTouchingTheTree) {
    const QString missing = "C:\\Scen\\nothere.QVS";
    AddToKeyList(kRecentScenariosKey, missing, false, kMaxRecentScenarios);
    const int loads = window.loads;

    sender.setObjectName("MRU0");
    EXPECT_FALSE(MRU0Click(&sender, 0));
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown()[0].text,
              "The following File was not found\rFile: '" + missing + "'\rDesc: 'Scenario File'");
    EXPECT_TRUE(Recent().isEmpty());
    EXPECT_EQ(window.loads, loads);
}

TEST_F(ScenarioFiles, FileMenu_ShowsShortenedRecentItemsOnlyOnTheClassicPage) {
    const auto width = [](const QString& text) { return int(text.size()) * 7; };
    EXPECT_FALSE(File1Click(&sender, width).ShowSeparators); // empty list

    const QString longPath = "C:\\Scenarios\\Freight Work\\Winter Timetable\\Long Haul.QVS";
    for (const QString& path :
         {longPath, QString("C:\\b.QVS"), QString("C:\\c.QVS"), QString("C:\\d.QVS")})
        AddToKeyList(kRecentScenariosKey, path, false, kMaxRecentScenarios);
    window.SetMainPageIndex(0);
    EXPECT_FALSE(File1Click(&sender, width).ShowSeparators);
    EXPECT_TRUE(File1Click(&sender, width).Items.isEmpty());

    window.SetMainPageIndex(1);
    const FileMenuRecentState classic = File1Click(&sender, width);
    EXPECT_TRUE(classic.ShowSeparators);
    ASSERT_EQ(classic.Items.size(), 4);
    EXPECT_EQ(classic.Items[0].Caption, "&1 C:\\d.QVS");
    EXPECT_EQ(classic.Items[3].Caption, "&4 C:\\...\\Long Haul.QVS");
    EXPECT_EQ(classic.Items[3].Hint, "|" + longPath);
    EXPECT_EQ(classic.Items[3].Tag, 3);
    // Past the folders the drive goes; the file name itself is never cut.
    EXPECT_EQ(ShortenScenarioPath(longPath, 17 * 7, width), "...\\Long Haul.QVS");
    EXPECT_EQ(ShortenScenarioPath(longPath, 7, width), "Long Haul.QVS");
}

TEST_F(ScenarioFiles, DefaultScenario_AcceptsOnlyAReadableFileAndClearsWithoutADialog) {
    const QString good = SaveTreeAs("default.QVS");
    drive.MakeFile("Scen/bad.QVS", kRefusedScenario);

    // The menu item toggles its own mark when clicked: a cancelled or refused choice takes it off.
    ui.ExpectOpenScenarioDialog(ID_OK, "C:\\Scen\\bad.QVS");
    ui.Expect(Caption(Msg::INVALID_QVS_FILE), ID_OK);
    ui.ExpectOpenScenarioDialog(ID_CANCEL, QString());
    for (const char* refused : {"invalid file", "cancelled"}) {
        window.SetChecked("DefaultScenarioMnu", true);
        DefaultScenarioMnuClick(&sender);
        EXPECT_EQ(Setting("Default Scenario"), "") << refused;
        EXPECT_FALSE(window.Checked("DefaultScenarioMnu")) << refused;
    }
    EXPECT_EQ(ui.OpenScenarioDialogs().at(0).title, "Choose Default Quarvel Scenario");

    ui.ExpectOpenScenarioDialog(ID_OK, good);
    DefaultScenarioMnuClick(&sender);
    EXPECT_EQ(Setting("Default Scenario"), good);
    EXPECT_TRUE(window.Checked("DefaultScenarioMnu"));

    DefaultScenarioMnuClick(&sender);
    EXPECT_EQ(Setting("Default Scenario"), "");
    EXPECT_FALSE(window.Checked("DefaultScenarioMnu"));
    EXPECT_EQ(ui.OpenScenarioDialogs().size(), 3u);
    EXPECT_TRUE(ui.Mismatches().isEmpty());
}

} // namespace
