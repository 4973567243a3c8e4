// The start-up configuration against a sandboxed registry and a temporary C: drive: the refusals,
// the first start, a vanished store, a changed MSTS folder, left-over folders and the MSTS check.
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "core/startupconfig.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/terminate.h"
#include "platform/winfs.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <gtest/gtest.h>

namespace qv {
namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().ProgramFilePath = QStringLiteral("C:\\Program\\quarvel.exe");
        temp_.MakeFile("MSTS/Trains/Trainset/Default/default.wag");
        SetFixedObjectsCheck([this] { return ++fixedChecks_ > 0; });
    }
    void TearDown() override { SetFixedObjectsCheck({}); }

    void InstallMsts() {
        RegWriteString(kMstsKey, "Path", "C:\\MSTS\\");
        RegWriteString(kMstsKey, "EXE Path", "C:\\MSTS");
    }
    static QString Value(const char* name) { return RegReadString(kProductKey, name); }
    static bool HasValue(const char* name) {
        RegistryKey reg;
        return reg.OpenReadOnly(HKEY_LOCAL_MACHINE, kProductKey) && reg.ValueExists(name);
    }
    // A later start: a registered store holding two files.
    void RegisterStore() {
        temp_.MakeFile("Quarvel/QVDATA/ROUTE.QVC");
        temp_.MakeFile("Quarvel/TRAINS/CONSISTS/a.con");
        RegWriteString(kProductKey, "Store Path", "C:\\Quarvel");
    }

    RegistrySandbox sandbox_;
    TempMsts temp_;
    FakeUi ui_;
    int fixedChecks_ = 0;
};

// MSTS in a plain folder: the box says a folder is chosen next, the choice opens at home, Cancel
// there ends the program as failed, a folder without MSTS brings the choice back, MSTS's program is
// taken from the folder chosen, and a folder chosen at a later start is kept: the next start asks
// nothing.
TEST_F(Startup, WithoutMstsKeyTheChosenFolderIsKeptAndUsedByLaterStarts) {
    // The storage-folder dialog registers the store on OK, as the real one does.
    struct StoringUi : FakeUi {
        int SelectStoragePath() override {
            App().StoreRootFolder = "C:\\Quarvel";
            RegWriteString(kProductKey, "Store Path", App().StoreRootFolder);
            return FakeUi::SelectStoragePath();
        }
    } ui;
    temp_.MakeFolder("Empty");
    temp_.MakeFolder("Quarvel");
    temp_.MakeFolder("Home");
    const auto restore = qScopeGuard([was = qgetenv("HOME")] { qputenv("HOME", was); });
    qputenv("HOME", QFile::encodeName(temp_.Host("Home")));
    std::vector<int> ends;
    const TerminateHook previous =
        SetTerminateHook([&ends](int status) { ends.push_back(status); });
    ui.Expect("installed on this system\r\rIn the next window, choose the folder", ID_OK);
    ui.ExpectSelectFolder(ID_CANCEL);
    EXPECT_FALSE(StartupConfiguration());
    EXPECT_EQ(ends, std::vector<int>{1});
    EXPECT_EQ(ui.FolderDialogs().at(0).initialFolder, "C:\\Home");

    ui.Expect("MSTS has not been installed", ID_OK);
    ui.ExpectSelectFolder(ID_OK, "C:\\Empty");
    ui.Expect("The selected MSTS folder 'C:\\Empty' is not valid", ID_OK);
    ui.ExpectSelectFolder(ID_OK, "C:\\MSTS");
    ui.ExpectSelectStoragePath(ID_OK);
    EXPECT_TRUE(StartupConfiguration());
    EXPECT_EQ(Value("MSTS EXE Path"), "C:\\MSTS\\TRAIN.EXE");

    RegWriteString(kProductKey, "Fixed MSTS Path", QString()); // chosen again at a later start
    ui.Expect("MSTS has not been installed", ID_OK);
    ui.ExpectSelectFolder(ID_OK, "C:\\MSTS");
    EXPECT_TRUE(StartupConfiguration());
    EXPECT_TRUE(StartupConfiguration());
    EXPECT_EQ(App().MstsRootFolder, "C:\\MSTS");
    EXPECT_EQ(ui.Shown().size(), 4u);
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
    SetTerminateHook(previous);
}

TEST_F(Startup, FirstStartEndsUnlessTheDialogRegisteredAStore) {
    InstallMsts();
    ui_.SetDefaultAnswer(ID_YES);
    ui_.ExpectSelectStoragePath(ID_CANCEL);
    EXPECT_FALSE(StartupConfiguration());
    EXPECT_TRUE(ui_.Shown().size() == 1u); // the cancel itself says nothing

    ui_.ExpectSelectStoragePath(ID_OK); // OK, but no folder behind it
    EXPECT_FALSE(StartupConfiguration());
    EXPECT_TRUE(ui_.Shown().back().text.contains(Caption(Msg::UNEXPECTED_LEG)));
    EXPECT_EQ(Value("Everything Unstored"), "");
    EXPECT_EQ(fixedChecks_, 2);
}

TEST_F(Startup, FirstStartWithAChosenMstsFolderOrACancelledChoice) {
    InstallMsts();
    ui_.Expect("automatically select", ID_NO);
    ui_.ExpectSelectFolder(ID_CANCEL);
    ui_.Expect("You have cancelled", ID_NO);
    EXPECT_FALSE(StartupConfiguration());
    EXPECT_EQ(ui_.FolderDialogs()[0].initialFolder, "C:\\MSTS");
    EXPECT_FALSE(HasValue("Fixed MSTS Path"));

    temp_.MakeFile("Other/TRAINS/TRAINSET/DEFAULT/DEFAULT.WAG");
    ui_.Expect("automatically select", ID_NO);
    ui_.ExpectSelectFolder(ID_OK, "C:\\Other");
    ui_.ExpectSelectStoragePath(ID_CANCEL);
    EXPECT_FALSE(StartupConfiguration());
    EXPECT_EQ(Value("Fixed MSTS Path"), "C:\\Other");
    EXPECT_EQ(App().MstsRootFolder, "C:\\Other");
    EXPECT_TRUE(ui_.Mismatches().isEmpty());
}

TEST_F(Startup, VanishedStoreClosesOrResetsTheRegistration) {
    InstallMsts();
    RegWriteString(kProductKey, "Store Path", "C:\\Gone");
    RegWriteString(kProductKey + "\\Exclusions\\Folders", "0", "TRAINS\\TRAINSET\\X");
    ui_.Expect("The registered Quarvel folder 'C:\\Gone' cannot be found. (It may", ID_YES);
    EXPECT_FALSE(StartupConfiguration());

    ui_.Expect("cannot be found", ID_NO);
    ui_.Expect("reset the folder registration?", ID_NO);
    EXPECT_FALSE(StartupConfiguration());
    EXPECT_EQ(ui_.Shown().back().style, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    EXPECT_EQ(Value("Store Path"), "C:\\Gone");

    ui_.Expect("cannot be found", ID_NO);
    ui_.Expect("reset the folder registration?", ID_YES);
    ui_.Expect("automatically select", ID_YES);
    ui_.ExpectSelectStoragePath(ID_CANCEL);
    EXPECT_FALSE(StartupConfiguration());
    EXPECT_TRUE(ui_.Mismatches().isEmpty()) << ui_.Mismatches().join('\n').toStdString();
    EXPECT_EQ(Value("Store Path"), "");
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kProductKey + "\\Exclusions"));
    EXPECT_TRUE(HasValue("Fixed MSTS Path"));
}

TEST_F(Startup, ChangedMstsFolderWarnsOnceAndANewProgramPathIsRecorded) {
    InstallMsts();
    RegisterStore();
    temp_.MakeFile("MSTS2/TRAINS/TRAINSET/DEFAULT/DEFAULT.WAG");
    RegWriteString(kProductKey, "Last Used MSTS Folder", "C:\\MSTS");
    RegWriteString(kProductKey, "Fixed MSTS Path", "C:\\MSTS2");

    EXPECT_TRUE(StartupConfiguration());
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(ui_.Shown()[0].text, Caption(Msg::CHANGED_MSTS));
    EXPECT_EQ(ui_.Shown()[0].caption, "Quarvel - Warning");
    EXPECT_EQ(Value("Last Used MSTS Folder"), "C:\\MSTS2");
    EXPECT_EQ(App().MstsRootFolder, "C:\\MSTS2");

    App().ProgramFilePath = "C:\\Moved\\quarvel.exe";
    EXPECT_TRUE(StartupConfiguration());
    EXPECT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(Value("QV EXE Path"), "C:\\Moved\\quarvel.exe");
}

TEST_F(Startup, LeftoverFoldersStopTheStart) {
    InstallMsts();
    RegisterStore();
    RegWriteString(kProductKey, "Last Used MSTS Folder", "C:\\MSTS");
    for (const char* folder : {"MSTS/Backup", "MSTS/TRAINS (2)", "MSTS/Routes(1)",
                               "MSTS/TRAINSET(1)", "MSTS/Routes (1).old", "Quarvel/Backup"})
        temp_.MakeFolder(folder);

    EXPECT_FALSE(StartupConfiguration());
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(ui_.Shown()[0].text,
              Caption(Msg::RESTORE_FOLDERS_LEG1) +
                  "C:\\Quarvel\\Backup\nC:\\MSTS\\Routes (1).old\nC:\\MSTS\\Routes(1)\n"
                  "C:\\MSTS\\TRAINS (2)\n" +
                  Caption(Msg::RESTORE_FOLDERS_LEG2));
    EXPECT_EQ(Value("QV EXE Path"), "C:\\Program\\quarvel.exe"); // the later steps still ran

    // Given the store as root, only the store is looked at; without the show flag nothing is shown.
    EXPECT_TRUE(CheckLeftoverFolders("c:\\quarvel", false));
    EXPECT_EQ(ui_.Shown().size(), 1u);
}

// Two data folders in the store: the program reads one, and the other is named rather than
// passed over.
TEST_F(Startup, ASecondDataFolderInAnotherLetterCaseIsALeftover) {
    InstallMsts();
    RegisterStore();
    EXPECT_TRUE(StartupConfiguration());
    const struct {
        QStringList folders;
        QString finds;
    } cases[] = {
        {{"QVDATA"}, ""},
        {{"qvdata"}, ""},
        {{"QVDATA", "qvdata"}, "C:\\Quarvel\\qvdata\n"},
        {{"QvData", "qvdata"}, "C:\\Quarvel\\QvData\nC:\\Quarvel\\qvdata\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folders.join(' ').toStdString());
        QDir(temp_.Host("Quarvel")).removeRecursively();
        for (const QString& folder : c.folders)
            temp_.MakeFolder("Quarvel/" + folder);
        ui_.Clear();
        EXPECT_EQ(CheckLeftoverFolders(QString(), true), !c.finds.isEmpty());
        if (c.finds.isEmpty()) {
            EXPECT_TRUE(ui_.Shown().empty());
        } else {
            ASSERT_EQ(ui_.Shown().size(), 1u);
            EXPECT_EQ(ui_.Shown()[0].text, Caption(Msg::RESTORE_FOLDERS_LEG1) + c.finds +
                                               Caption(Msg::RESTORE_FOLDERS_LEG2));
        }
    }
}

TEST_F(Startup, LeftoverFoldersWithARootLookOnlyThereAndOnlyAStoreHasForeignFolders) {
    InstallMsts();
    RegisterStore();
    EXPECT_TRUE(StartupConfiguration());
    temp_.MakeFolder("MSTS/Backup");
    temp_.MakeFolder("MSTS/TRAINS (2)");
    // Given the MSTS folder as root: not the store, so none of its folders is foreign, and its
    // numbered copies are looked for only without a root.
    EXPECT_FALSE(CheckLeftoverFolders("C:\\MSTS", true));
    // Given the store as root, the MSTS folder's copies are not looked at.
    EXPECT_FALSE(CheckLeftoverFolders("C:\\Quarvel", true));
    EXPECT_TRUE(CheckLeftoverFolders(QString(), false));
    temp_.MakeFolder("Quarvel/Backup");
    EXPECT_TRUE(CheckLeftoverFolders("C:\\Quarvel", true));
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(ui_.Shown()[0].text, Caption(Msg::RESTORE_FOLDERS_LEG1) + "C:\\Quarvel\\Backup\n" +
                                       Caption(Msg::RESTORE_FOLDERS_LEG2));
}

TEST_F(Startup, CheckMstsFolderTellsMissingFromIncomplete) {
    temp_.MakeFolder("Empty");
    EXPECT_TRUE(CheckMstsFolder("C:\\msts"));
    EXPECT_FALSE(CheckMstsFolder("C:\\Empty"));
    EXPECT_FALSE(CheckMstsFolder("C:\\Nowhere"));
    ASSERT_EQ(ui_.Shown().size(), 2u);
    EXPECT_TRUE(ui_.Shown()[0].text.startsWith("The selected MSTS folder 'C:\\Empty' is not"));
    EXPECT_TRUE(ui_.Shown()[1].text.startsWith(Caption(Msg::MSTS_FOLDER_MOVED1) +
                                               "C:\\Nowhere' cannot be found. \r\r"));

    // A folder the user fixed is named as the user's own.
    RegWriteString(kProductKey, "Fixed MSTS Path", "C:\\Nowhere");
    EXPECT_FALSE(CheckMstsFolder("C:\\Nowhere"));
    EXPECT_TRUE(ui_.Shown().back().text.startsWith(Caption(Msg::MSTS_FOLDER_MOVED0) +
                                                   "C:\\Nowhere' cannot be found. \r\r"));
    EXPECT_NE(Caption(Msg::MSTS_FOLDER_MOVED0), Caption(Msg::MSTS_FOLDER_MOVED1));
}

TEST_F(Startup, ChangedMstsFolderWarnsOnlyWhenTheStoreHoldsMoreThanOneFile) {
    InstallMsts();
    temp_.MakeFile("MSTS2/TRAINS/TRAINSET/DEFAULT/DEFAULT.WAG");
    RegWriteString(kProductKey, "Store Path", "C:\\Quarvel");
    RegWriteString(kProductKey, "Fixed MSTS Path", "C:\\MSTS2");
    const std::pair<const char*, std::size_t> cases[] = {
        {"Quarvel/QVDATA/ROUTE.QVC", 0}, // one file: nothing worth a warning
        {"Quarvel/TRAINS/CONSISTS/a.con", 1}};
    for (const auto& [file, warnings] : cases) {
        SCOPED_TRACE(file);
        temp_.MakeFile(file);
        RegWriteString(kProductKey, "Last Used MSTS Folder", "C:\\MSTS");
        const std::size_t before = ui_.Shown().size();
        EXPECT_TRUE(StartupConfiguration());
        EXPECT_EQ(ui_.Shown().size() - before, warnings);
        EXPECT_EQ(Value("Last Used MSTS Folder"), "C:\\MSTS2");
    }
}

// A host path as Wine's Z: drive names it, as a folder dialog gives it when no prefix is read.
QString ThroughZ(const QString& hostPath) {
    return "Z:" + QString(hostPath).replace(u'/', u'\\');
}

// MSTS in a Wine prefix, started once without it (MSTS's key not found, C: not mapped): the user
// is asked for the MSTS folder and picks it through Z:, and the store on C: cannot be looked for.
// That start ends, without an offer to delete every setting, and leaves nothing behind: the next
// start, with the prefix, goes on as the ones before it did. A folder an earlier start kept so
// is the folder MSTS's key names: no warning that MSTS moved, and the key is followed again.
TEST_F(Startup, AStartWithoutTheWinePrefixDoesNotChangeTheStartsWithIt) {
    sandbox_.MakeWinePrefix("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                            "#arch=win32\n\n"
                            "[Software\\\\Microsoft\\\\Microsoft Games\\\\Train Simulator\\\\1.0] "
                            "1733700000\n\"EXE Path\"=\"C:\\\\MSTS\"\n\"Path\"=\"C:\\\\MSTS\"\n",
                            "WINE REGISTRY Version 2\n");
    const QString prefix = RegistryWinePrefix();
    const DriveMap withPrefix = TheDriveMap();
    RegisterStore();
    RegWriteString(kProductKey, "Last Used MSTS Folder", "C:\\MSTS");
    RegWriteString(kProductKey, "Everything Unstored", "false");
    const QString mstsThroughZ = ThroughZ(temp_.Host("MSTS"));
    const auto startWithPrefix = [&] {
        SetRegistryWinePrefix(prefix);
        SetDriveMap(withPrefix);
        ui_.Clear();
        EXPECT_TRUE(StartupConfiguration());
        EXPECT_TRUE(ui_.Shown().empty()) << ui_.Shown().front().text.toStdString();
        EXPECT_EQ(App().MstsRootFolder, "C:\\MSTS");
        EXPECT_EQ(Value("Fixed MSTS Path"), "");
        EXPECT_EQ(Value("Last Used MSTS Folder"), "C:\\MSTS");
        EXPECT_TRUE(SameDrive(App().StoreRootFolder, App().MstsRootFolder));
    };
    startWithPrefix();

    SetRegistryWinePrefix(QString());
    SetDriveMap(DriveMap());
    ui_.Clear();
    ui_.Expect("MSTS has not been installed", ID_OK);
    ui_.ExpectSelectFolder(ID_OK, mstsThroughZ);
    ui_.Expect("The registered Quarvel folder 'C:\\Quarvel' cannot be found.", ID_YES);
    EXPECT_FALSE(StartupConfiguration());
    for (const ShownMessage& shown : ui_.Shown()) {
        EXPECT_FALSE(shown.text.contains(Caption(Msg::QUARVEL_FOLDER_MOVED3)));
        EXPECT_FALSE(shown.text.contains(Caption(Msg::RESET_QUARVEL_FOLDER)));
    }
    EXPECT_EQ(Value("Store Path"), "C:\\Quarvel");
    EXPECT_EQ(Value("Fixed MSTS Path"), ""); // nothing of a start that ended is kept
    EXPECT_TRUE(ui_.Mismatches().isEmpty()) << ui_.Mismatches().join('\n').toStdString();
    startWithPrefix();

    // What such a start kept before: the folder chosen, as fixed and as last used.
    RegWriteString(kProductKey, "Fixed MSTS Path", mstsThroughZ);
    RegWriteString(kProductKey, "Last Used MSTS Folder", mstsThroughZ);
    startWithPrefix();
}

} // namespace
} // namespace qv
