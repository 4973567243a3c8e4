#include "easy/launchsettings.h"

#include "core/appstate.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "easy/forms/genericprogparamsboxdlg.h"
#include "easy/launchprogram.h"
#include "fakewindow/xserver.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/process.h"
#include "platform/terminate.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace qv;

namespace {

class LaunchSettingsTest : public ::testing::Test {
protected:
    LaunchSettingsTest() {
        ResetAppState();
        App().ProgramTitle = "Quarvel";
        SetUi(&ui);
        SetMainServices(&main);
    }
    ~LaunchSettingsTest() override {
        SetMainServices(nullptr);
        SetUi(nullptr);
        ResetAppState();
    }

    RegistrySandbox registry;
    TempMsts drive;
    FakeUi ui;
    HeadlessMainServices main;
};

TEST_F(LaunchSettingsTest, Ok_RefusesAPathThatNamesNoFileAndAcceptsAnEmptyOne) {
    drive.MakeFile("Tools/TRAIN.EXE");
    const QString key = LaunchSettingsFor(OutsideTool::Msts).Key;
    struct Case {
        const char* path;
        const char* params;
        bool accepted;
    };
    const Case cases[] = {
        {"C:\\Tools\\missing.exe", "-a", false},
        {"C:\\tools\\train.exe", "-vtune", true},
        {"", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        RegWriteString(key, "MSTS EXE Path", "before");
        if (!c.accepted)
            ui.Expect("The specified folder/file name is invalid", ID_OK);
        EXPECT_EQ(AcceptLaunchSettings(key, "MSTS EXE Path", "MSTS EXE Params", c.path, c.params),
                  c.accepted);
        EXPECT_EQ(RegReadString(key, "MSTS EXE Path"), c.accepted ? c.path : "before");
        if (c.accepted) {
            EXPECT_EQ(RegReadString(key, "MSTS EXE Params"), c.params);
        }
    }
    // A row without parameters writes only its path.
    EXPECT_TRUE(AcceptLaunchSettings(kProductKey + "\\SVIEW", "SVIEW EXE Path", QString(),
                                     QString(), "ignored"));
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

TEST_F(LaunchSettingsTest, Dialog_ShowsTheRowAndStaysOpenOnAMissingFile) {
    const LaunchSettingsRow& row = LaunchSettingsFor(OutsideTool::ConBuilder);
    RegWriteString(row.Key, row.PathValue, "C:\\old\\ConBuilder.exe");
    TGenericProgParamsBoxDlg dialog(nullptr, "ConBuilder (ConBuilder.EXE)", row.ParamsValue,
                                    row.PathValue, row.Key, row.ShowParams, "Enter it.");
    EXPECT_EQ(dialog.windowTitle(), "Set the ConBuilder (ConBuilder.EXE) Launch Parameters");
    EXPECT_EQ(dialog.Launch_EXE_Path->text(), "C:\\old\\ConBuilder.exe");
    EXPECT_TRUE(dialog.Launch_EXE_Params->isHidden());
    EXPECT_EQ(dialog.DescriptionTextLbl->text(), "Enter it.");

    ui.Expect("The specified folder/file name is invalid", ID_OK);
    dialog.OKButtonClick();
    EXPECT_EQ(dialog.result(), 0);
    dialog.Launch_EXE_Path->clear();
    dialog.OKButtonClick();
    EXPECT_EQ(dialog.result(), ID_OK);
    EXPECT_TRUE(RegReadString(row.Key, row.PathValue).isEmpty());
}

// A program path in quotes, as App Paths registrations and command lines hold one with blanks,
// names the program: OK takes it without the quotes, in either form.
TEST_F(LaunchSettingsTest, Dialog_TakesAQuotedProgramPathWithoutItsQuotes) {
    drive.MakeFile("Program Files/Windows NT/wordpad.exe");
    const LaunchSettingsRow& row = LaunchSettingsFor(OutsideTool::Editor);
    const QString stored = "C:\\Program Files\\Windows NT\\wordpad.exe";
    RegWriteString(row.Key, row.PathValue, '"' + stored + '"');
    for (const QString& typed :
         {QString(), '"' + drive.Host("Program Files/Windows NT/wordpad.exe") + "\" "}) {
        SCOPED_TRACE(typed.toStdString());
        TGenericProgParamsBoxDlg dialog(nullptr, "Editor", row.ParamsValue, row.PathValue, row.Key,
                                        row.ShowParams, "Enter it.");
        if (!typed.isEmpty())
            dialog.Launch_EXE_Path->setText(typed);
        dialog.OKButtonClick();
        EXPECT_EQ(dialog.result(), ID_OK);
        EXPECT_EQ(RegReadString(row.Key, row.PathValue), stored);
    }
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(LaunchSettingsTest, RailDriver_AnEmptyPathClearsStartRd) {
    WriteFlag(true, "Start RD");
    const LaunchSettingsRow& row = LaunchSettingsFor(OutsideTool::RailDriver);
    ui.ExpectEditLaunchSettings(ID_OK, [&] { RegWriteString(row.Key, row.PathValue, QString()); });
    EXPECT_EQ(EditToolLaunchSettings(OutsideTool::RailDriver), ID_OK);
    EXPECT_EQ(RegReadString(kProductKey, "Start RD"), "false");
    ASSERT_EQ(ui.LaunchSettingsDialogs().size(), 1);
    EXPECT_EQ(ui.LaunchSettingsDialogs().front(), kProductKey + "\\RailDriver");
}

TEST(ManualTest, TheLanguagesManualComesFirstWhenItExists) {
    const QString program = "C:\\Program Files\\Quarvel\\Quarvel.exe";
    struct Case {
        const char* abbreviation;
        bool translatedExists;
        const char* expected;
    };
    const Case cases[] = {
        {"DEU", true, "C:\\Program Files\\Quarvel\\Quarvel DEU.PDF"},
        {"DEU", false, "C:\\Program Files\\Quarvel\\Quarvel.PDF"},
        {"eng", true, "C:\\Program Files\\Quarvel\\Quarvel.PDF"},
        {"", true, "C:\\Program Files\\Quarvel\\Quarvel.PDF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.abbreviation);
        EXPECT_EQ(ManualFileName(program, c.abbreviation,
                                 [&](const QString& file) {
                                     return c.translatedExists && file.contains(" DEU.");
                                 }),
                  c.expected);
    }
    EXPECT_EQ(ManualFileName("Z:\\opt\\quarvel", "FRA", [](const QString&) { return false; }),
              "Z:\\opt\\quarvel.PDF");
}

TEST_F(LaunchSettingsTest, Manual_ReaderIsTheRegisteredOpenCommandAndAMissingManualIsReported) {
    EXPECT_TRUE(RegisteredPdfReader().isEmpty());
    RegWriteStringAt(HKEY_CLASSES_ROOT, ".pdf", QString(), "PdfFile");
    RegWriteStringAt(HKEY_CLASSES_ROOT, "PdfFile\\shell\\open\\command", QString(),
                     "\"C:\\Reader\\reader.exe\" \"%1\"");
    EXPECT_EQ(RegisteredPdfReader(), "C:\\Reader\\reader.exe");

    App().ProgramFilePath = "C:\\Program\\quarvel";
    ui.Expect("The specified file was not found.\rFile: 'C:\\Program\\quarvel.PDF'", ID_OK);
    QuarvelManualClick();
    EXPECT_EQ(ui.PendingExpectations(), 0);
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

TEST_F(LaunchSettingsTest, Manual_AReaderNamedThroughAVariableIsStarted) {
    qunsetenv("PROGRAMFILES");
    registry.MakeWinePrefix(
        "WINE REGISTRY Version 2\n\n"
        "[Software\\\\Classes\\\\.pdf] 1733700000\n@=\"PdfFile\"\n\n"
        "[Software\\\\Classes\\\\PdfFile\\\\shell\\\\open\\\\command] 1733700000\n"
        "@=str(2):\"\\\"%ProgramFiles%\\\\reader\\\" \\\"%1\\\"\"\n",
        "WINE REGISTRY Version 2\n");
    const QByteArray shown = drive.Host("shown").toUtf8();
    drive.MakeFile("Program Files/reader", "#!/bin/sh\nprintf %s \"$1\" >'" + shown +
                                               ".new' && mv '" + shown + ".new' '" + shown + "'\n");
    ASSERT_TRUE(QFile::setPermissions(drive.Host("Program Files/reader"),
                                      QFile::ReadOwner | QFile::ExeOwner));
    drive.MakeFile("Program/quarvel.PDF");
    App().ProgramFilePath = "C:\\Program\\quarvel";
    QuarvelManualClick();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return QFileInfo::exists(shown) || !ui.Shown().empty(); }, 20000));
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
    EXPECT_EQ(drive.Content("shown"), drive.Host("Program/quarvel.PDF").toUtf8());
}

TEST_F(LaunchSettingsTest, Uninstall_RefusedWhileStoredAndKeepsTheSettingsWhenDeclined) {
    App().StoreRootFolder = "C:\\STORE";
    drive.MakeFile("STORE/Routes/R/x.dat");
    RegWriteString(kProductKey, "Store Path", "C:\\STORE");

    ui.Expect("until Everything has been Unstored", ID_OK);
    EXPECT_FALSE(UninstallQuarvel());
    WriteFlag(true, "Everything Unstored");
    ui.Expect("Are you sure you want to uninstall", ID_NO);
    EXPECT_FALSE(UninstallQuarvel());
    ui.Expect("Are you sure you want to uninstall", ID_YES);
    ui.Expect("There are still files present", ID_OK);
    EXPECT_FALSE(UninstallQuarvel());
    EXPECT_EQ(RegReadString(kProductKey, "Store Path"), "C:\\STORE");
    App().Busy = true;
    EXPECT_FALSE(UninstallQuarvel());
    App().Busy = false;
    EXPECT_EQ(ui.PendingExpectations(), 0);
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

TEST_F(LaunchSettingsTest, DeleteProductKeys_RemovesTheParentOnlyWhenItIsLeftEmpty) {
    RegWriteString(kProductKey + "\\Filters\\Search Text", "0", "x");
    RegWriteString("SOFTWARE\\Pellicott\\Other", "v", "kept");
    DeleteProductRegistryKeys();
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kProductKey));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pellicott"));
    DeleteKeyTree("SOFTWARE\\Pellicott\\Other");
    RegWriteString(kProductKey, "v", "again");
    DeleteProductRegistryKeys();
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pellicott"));
}

TEST_F(LaunchSettingsTest, StartTool_AnOpenToolWindowOnlyWarns) {
    QV_REQUIRE_X_SERVER();
    QTemporaryDir dir;
    const QString release = dir.filePath("release");
    qint64 pid = 0;
    int error = 0;
    ASSERT_TRUE(
        StartProgram(ToWindowsForm(QUARVEL_FAKEWINDOW),
                     "--title Route_Riter --class ThunderRT6Main --until-file \"" + release + "\"",
                     &pid, &error));
    QElapsedTimer timer;
    timer.start();
    while (!FindTopWindow("ThunderRT6Main", "Route_Riter") && timer.elapsed() < 10000)
        QThread::msleep(50);
    App().TreeSynchronised = true;
    ui.Expect("Route_Riter is already running", ID_OK);
    StartOutsideTool(OutsideTool::RouteRiter);
    EXPECT_FALSE(App().TreeSynchronised);
    EXPECT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown().front().style, MB_ICONEXCLAMATION);
    QFile(release).open(QIODevice::WriteOnly);
    WaitForProcess(pid, 10000);
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

} // namespace
