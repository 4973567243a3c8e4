#include "mainwindow/optioncommands.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/startupconfig.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

// Services that record what a refresh asks of the window.
class RefreshServices : public HeadlessMainServices {
public:
    int QuerySaveScenario() override { return saveAnswer; }
    void LoadTree(const QString& file, RecordList<ItemSet>*, int state) override {
        ++loads;
        loadedFile = file;
        loadedState = state;
    }
    void UpdateControls() override { ++updates; }
    void ShowSelectedNodeInfo() override { ++infos; }
    int saveAnswer = 1;
    int loads = 0;
    QString loadedFile = "unset";
    int loadedState = 0;
    int updates = 0;
    int infos = 0;
};

class OptionCommandsTest : public ::testing::Test {
protected:
    OptionCommandsTest() {
        ResetAppState();
        App().ProgramTitle = "Quarvel";
        SetUi(&ui);
        SetMainServices(&services);
    }
    ~OptionCommandsTest() override {
        SetMainServices(nullptr);
        SetUi(nullptr);
        ResetAppState();
    }

    // An MSTS folder below C:\ that passes the MSTS check.
    QString MakeMsts(const QString& name) {
        msts.MakeFile(name + "/TRAINS/TRAINSET/DEFAULT/DEFAULT.WAG");
        return "C:\\" + QString(name).replace('/', '\\');
    }

    RegistrySandbox registry;
    TempMsts msts;
    FakeUi ui;
    RefreshServices services;
};

TEST_F(OptionCommandsTest, OptionFlagClick_WritesEachFlagAndItsSideEffects) {
    struct Case {
        const char* component;
        const char* value;
        bool checked;
        OptionFollowUp followUp;
    };
    const Case cases[] = {
        {"ExpandListByDefault", "Expand List", true, OptionFollowUp::None},
        {"StartBlank", "Start Blank", false, OptionFollowUp::None},
        {"ShowSaveWarning", "Show Save Warning", true, OptionFollowUp::None},
        {"SpawnWaitMnu", "Spawn Wait", true, OptionFollowUp::None},
        {"SuppressMaintenanceWarning", "Suppress Maintenance Edit Warning", true,
         OptionFollowUp::None},
        {"SuppMSTSLaunchMnu", "Easy Suppress MSTS Launch", true,
         OptionFollowUp::ClearTrafficAndUpdate},
        {"SuppMSTSLaunchMnu", "Easy Suppress MSTS Launch", false, OptionFollowUp::UpdateControls},
        {"SuppBackgrdImageMnu", "Easy Suppress Image", true, OptionFollowUp::ReloadBackground},
        {"ShowAllEasyConsistsMnu", "Easy Show All Consists", true, OptionFollowUp::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.component);
        WriteFlag(!c.checked, c.value);
        EXPECT_EQ(OptionFlagClick(c.component, c.checked), c.followUp);
        EXPECT_EQ(RegReadString(kProductKey, c.value), c.checked ? "true" : "false");
    }
    EXPECT_TRUE(App().EasySuppressImage);

    App().ErrorsFileWritten = false;
    OptionFlagClick("SuppressErrorsMnu", true);
    EXPECT_TRUE(App().ErrorsFileWritten);

    EXPECT_EQ(OptionFlagClick("NoSuchItem", true), OptionFollowUp::None);
}

TEST_F(OptionCommandsTest, ViewByFileName_ReadsTheFlagBackAndEmptiesTheThreeCaches) {
    App().ViewByFileName = true;
    for (RecordList<ItemSet>* list :
         {&App().StockCacheList, &App().ConsistCacheList, &App().PathCacheList})
        list->push_back(std::make_unique<ItemSet>());
    OptionFlagClick("ViewObjectsbyFileNameMnu", false);
    EXPECT_EQ(RegReadString(kProductKey, "View by File Name"), "false");
    EXPECT_FALSE(App().ViewByFileName);
    EXPECT_TRUE(App().StockCacheList.empty());
    EXPECT_TRUE(App().ConsistCacheList.empty());
    EXPECT_TRUE(App().PathCacheList.empty());
    EXPECT_EQ(services.loads, 0); // the tree keeps its texts until the next load
}

TEST_F(OptionCommandsTest, MstsFolder_RefusedUntilEverythingIsUnstoredAndOnNo) {
    services.saveAnswer = ID_CANCEL; // refused before the unsaved tree is asked about
    ui.Expect("until Everything has been Unstored", ID_OK);
    EXPECT_FALSE(MSTSFolderCommand());
    services.saveAnswer = ID_OK;
    WriteFlag(true, "Everything Unstored");
    ui.Expect("Are you sure", ID_NO);
    EXPECT_FALSE(MSTSFolderCommand());
    EXPECT_TRUE(ui.FolderDialogs().empty());
    EXPECT_EQ(ui.PendingExpectations(), 0);
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

TEST_F(OptionCommandsTest, MstsFolder_RefusesTheStoreFolderFoldersAroundItAndFoldersWithoutMsts) {
    WriteFlag(true, "Everything Unstored");
    App().MstsRootFolder = MakeMsts("MSTS");
    App().StoreRootFolder = MakeMsts("Games/STORE");
    msts.MakeFolder("Empty");
    const QString contained = "cannot be\rcontained within the MSTS folder";
    const std::pair<QString, QString> cases[] = {
        {App().StoreRootFolder, contained},
        {MakeMsts("Games/STORE/Inner"), contained},
        {MakeMsts("Games"), contained},
        {"C:\\Empty", "is not valid"},
    };
    for (const auto& [chosen, message] : cases) {
        SCOPED_TRACE(chosen.toStdString());
        ui.Expect("Are you sure", ID_YES);
        ui.ExpectSelectFolder(ID_OK, chosen);
        ui.Expect(message, ID_OK);
        EXPECT_FALSE(MSTSFolderCommand());
        EXPECT_EQ(App().MstsRootFolder, "C:\\MSTS");
        EXPECT_TRUE(RegReadString(kProductKey, "Fixed MSTS Path").isEmpty());
    }
    EXPECT_EQ(services.loads, 0);
    EXPECT_EQ(ui.PendingExpectations(), 0);
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

TEST_F(OptionCommandsTest, MstsFolder_ChangeFixesTheFolderDropsTheCachesAndReloadsTheTree) {
    WriteFlag(true, "Everything Unstored");
    App().MstsRootFolder = MakeMsts("MSTS");
    App().StoreRootFolder = "C:\\STORE";
    const QString other = MakeMsts("OtherMSTS");
    App().ConsistCacheList.push_back(std::make_unique<ItemSet>());
    services.SetCurrentScenarioFile("C:\\old.QVS");
    ui.Expect("Are you sure", ID_YES);
    ui.ExpectSelectFolder(ID_OK, other);
    ui.Expect("changed to (FIXED) '" + other + "'", ID_OK);
    EXPECT_TRUE(MSTSFolderCommand());
    EXPECT_EQ(App().MstsRootFolder, other);
    EXPECT_EQ(RegReadString(kProductKey, "Fixed MSTS Path"), other);
    EXPECT_TRUE(App().ConsistCacheList.empty());
    EXPECT_EQ(services.loads, 1);
    EXPECT_EQ(services.loadedState, -1);
    EXPECT_TRUE(services.CurrentScenarioFile().isEmpty());
    // The same drive: no drive warning.
    EXPECT_EQ(ui.Shown().size(), 2u);

    // Cancel at the save question keeps the tree, its marks and the scenario.
    services.SetCurrentScenarioFile("C:\\kept.QVS");
    services.saveAnswer = ID_CANCEL;
    EXPECT_FALSE(MSTSFolderCommand());
    EXPECT_EQ(App().MstsRootFolder, other);
    EXPECT_EQ(services.loads, 1);
    EXPECT_EQ(services.CurrentScenarioFile(), "C:\\kept.QVS");
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

TEST_F(OptionCommandsTest, MstsFolder_CancelWithoutFixedPathAsksNothingMore) {
    WriteFlag(true, "Everything Unstored");
    App().MstsRootFolder = MakeMsts("MSTS");
    ui.Expect("Are you sure", ID_YES);
    ui.ExpectSelectFolder(ID_CANCEL);
    EXPECT_FALSE(MSTSFolderCommand());
    EXPECT_EQ(ui.Shown().size(), 1u);

    // With a fixed folder the user may go back to the automatic one.
    RegWriteString(kProductKey, "Fixed MSTS Path", "C:\\MSTS");
    RegWriteString(kMstsKey, "Path", "C:\\AutoMSTS");
    ui.Expect("Are you sure", ID_YES);
    ui.ExpectSelectFolder(ID_CANCEL);
    ui.Expect("cancelled the selection", ID_YES);
    ui.Expect("changed to AUTOMATIC", ID_OK);
    EXPECT_TRUE(MSTSFolderCommand());
    EXPECT_EQ(App().MstsRootFolder, "C:\\AutoMSTS");
    EXPECT_TRUE(RegReadString(kProductKey, "Fixed MSTS Path").isEmpty());
    EXPECT_EQ(services.loads, 1);
    // MSTS without a key of its own: no automatic folder to go back to, and the fixed one stays.
    RegWriteString(kProductKey, "Fixed MSTS Path", "C:\\MSTS");
    RegWriteString(kMstsKey, "Path", QString());
    ui.Expect("Are you sure", ID_YES);
    ui.ExpectSelectFolder(ID_CANCEL);
    EXPECT_FALSE(MSTSFolderCommand());
    EXPECT_EQ(RegReadString(kProductKey, "Fixed MSTS Path"), "C:\\MSTS");
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

TEST_F(OptionCommandsTest, Refresh_CancelAtTheSaveQuestionKeepsTreeAndScenario) {
    services.SetCurrentScenarioFile("C:\\kept.QVS");
    services.saveAnswer = ID_CANCEL;
    EXPECT_FALSE(ViewRefreshClick());
    EXPECT_EQ(services.loads, 0);
    EXPECT_EQ(services.CurrentScenarioFile(), "C:\\kept.QVS");

    services.saveAnswer = ID_NO;
    EXPECT_TRUE(ViewRefreshClick());
    EXPECT_EQ(services.loads, 1);
    EXPECT_TRUE(services.loadedFile.isEmpty());
    EXPECT_TRUE(services.CurrentScenarioFile().isEmpty());
    EXPECT_EQ(services.updates, 1);
    EXPECT_EQ(services.infos, 1);
}

TEST(EditMenuTest, ItemsFollowTheFocusedControl) {
    struct Case {
        const char* control;
        bool searchContinues;
        bool copy, find, findNext;
    };
    const Case cases[] = {
        {"TRichEdit", false, true, true, false}, {"TTreeView", true, true, true, true},
        {"TListBox", true, true, false, false},  {"TComboBox", false, true, false, false},
        {"", true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        const EditMenuState state = EditMenuStateFor(c.control, c.searchContinues);
        EXPECT_EQ(state.Copy, c.copy);
        EXPECT_EQ(state.SaveText, c.copy);
        EXPECT_EQ(state.Find, c.find);
        EXPECT_EQ(state.FindNext, c.findNext);
    }
}

TEST(FormKeysTest, KeysRunTheirCommandsForTheFocusedControlAndNothingWhileBusy) {
    using K = FormKeyCommand;
    const auto ctrl = Qt::ControlModifier;
    const auto ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* control;
        bool busy;
        QList<K> commands;
    };
    const Case cases[] = {
        {Qt::Key_F5, Qt::ShiftModifier, "", false, {K::Refresh}},
        {Qt::Key_O, ctrlAlt, "", false, {K::FixedObjects}},
        {Qt::Key_M, ctrlAlt | Qt::ShiftModifier, "", false, {K::MemoryUsage}},
        {Qt::Key_T, ctrlAlt, "TTreeView", false, {K::Logging}},
        {Qt::Key_O, ctrl, "", false, {}},
        {Qt::Key_F3, Qt::NoModifier, "TTreeView", false, {K::FindNext}},
        {Qt::Key_F3, Qt::NoModifier, "TListBox", false, {}},
        {Qt::Key_F, ctrl, "TRichEdit", false, {K::Find}},
        {Qt::Key_C, ctrl, "TTreeView", false, {K::Copy}},
        {Qt::Key_C, ctrl, "", false, {}},
        {Qt::Key_S, ctrl, "TComboBox", false, {K::SaveText}},
        {Qt::Key_P, ctrl, "TRichEdit", false, {K::Print}},
        {Qt::Key_P, ctrl, "TTreeView", false, {}},
        {Qt::Key_F5, Qt::NoModifier, "", true, {}},
        {Qt::Key_C, ctrl, "TRichEdit", true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " " + c.control);
        EXPECT_EQ(FormKeyCommands(c.key, c.modifiers, c.control, c.busy), c.commands);
    }
}

} // namespace
