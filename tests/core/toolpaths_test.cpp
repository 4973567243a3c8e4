// Finding the outside tools: a user's own setting is kept, empty ones are filled from the App
// Paths registrations (ours or Wine's) and the shape file type; the screenshot folder and the
// viewer switch.
#include "core/appstate.h"
#include "core/regsettings.h"
#include "core/toolpaths.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

const QString kAppPaths =
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");

QString Tool(const char* subKey, const char* value) {
    return RegReadString(kProductKey + "\\" + subKey, value);
}

TEST(ToolPaths, FillsOnlyEmptyToolPathsFromAppPathsWithVariablesExpanded) {
    RegistrySandbox sandbox;
    ResetAppState();
    sandbox.MakeWinePrefix("WINE REGISTRY Version 2\n\n"
                           "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\"
                           "RDMgr.exe] 1600000000\n@=\"C:\\\\RailDriver\\\\RDMgr.exe\"\n",
                           "WINE REGISTRY Version 2\n");
    qputenv("PROGRAMFILES", "C:\\Program Files");
    RegWriteString(kProductKey + "\\ConBuilder", "CB EXE Path", "D:\\Mine\\cb.exe");
    RegWriteString(kAppPaths + "ConBuilder.exe", QString(), "C:\\Other\\ConBuilder.exe");
    RegWriteString(kAppPaths + "Route_Riter.exe", QString(), "%ProgramFiles%\\RR\\rr.exe %NOPE%");
    DiscoverOutsideTools();
    qunsetenv("PROGRAMFILES");

    EXPECT_EQ(Tool("ConBuilder", "CB EXE Path"), "D:\\Mine\\cb.exe");
    EXPECT_EQ(Tool("Route_Riter", "RR EXE Path"), "C:\\Program Files\\RR\\rr.exe %NOPE%");
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kProductKey + "\\Editor"));
    EXPECT_EQ(Tool("RailDriver", "RD EXE Path"), "C:\\RailDriver\\RDMgr.exe");
}

// A new Wine prefix registers its word processor with variables that only the prefix's programs
// have (a Linux user has no ProgramFiles): the editor's path is stored as they would see it, a
// 32-bit program in a 64-bit prefix included; where the prefix says nothing, Wine's defaults.
TEST(ToolPaths, TheEditorRegisteredByANewWinePrefixIsStoredWithItsVariablesExpanded) {
    const QByteArray programs = "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n";
    const QByteArray wow = "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion] "
                           "1733700000\n\"ProgramFilesDir\"=\"C:\\\\Program Files (x86)\"\n";
    const struct {
        const char* arch;
        QByteArray keys;
        const char* editor;
    } cases[] = {
        {"win32", programs, "\"C:\\Program Files\\Windows NT\\WORDPAD.EXE\" C:\\windows\\x"},
        {"win64", programs + wow,
         "\"C:\\Program Files (x86)\\Windows NT\\WORDPAD.EXE\" C:\\windows\\x"},
        {"win32", "", "\"C:\\Program Files\\Windows NT\\WORDPAD.EXE\" C:\\windows\\x"},
    };
    qunsetenv("PROGRAMFILES");
    qputenv("WINDIR", "/host/windir");
    for (const auto& c : cases) {
        RegistrySandbox sandbox;
        ResetAppState();
        sandbox.MakeWinePrefix(
            QByteArray("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n#arch=") +
                c.arch + "\n\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1733700000\n" +
                c.keys +
                "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\"
                "wordpad.exe] 1733700000\n#time=1db49f2a1b2c3d4\n"
                "@=str(2):\"\\\"%ProgramFiles%\\\\Windows NT\\\\WORDPAD.EXE\\\" %windir%\\\\x\"\n\n"
                "[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment] "
                "1733700000\n\"windir\"=str(2):\"%SystemRoot%\"\n",
            "WINE REGISTRY Version 2\n");
        DiscoverOutsideTools();
        EXPECT_EQ(Tool("Editor", "Editor EXE Path"), c.editor) << c.arch << c.keys.size();
    }
    qunsetenv("WINDIR");
}

TEST(ToolPaths, ShapeViewerComesFromTheViewCommandWithoutItsPlaceholder) {
    RegistrySandbox sandbox;
    ResetAppState();
    DiscoverOutsideTools();
    EXPECT_EQ(Tool("SVIEW", "SVIEW EXE Path"), "");
    EXPECT_EQ(App().ShapeViewerPath, "");

    RegWriteStringAt(HKEY_CLASSES_ROOT, ".s", QString(), "shapefile");
    const QString command = "shapefile\\shell\\View\\command";
    RegWriteStringAt(HKEY_CLASSES_ROOT, command, QString(), "\"C:\\SView\\sview.exe\" \"%1\"");
    DiscoverOutsideTools();
    EXPECT_EQ(Tool("SVIEW", "SVIEW EXE Path"), "C:\\SView\\sview.exe");
    EXPECT_EQ(App().ShapeViewerPath, "C:\\SView\\sview.exe");

    RegWriteString(kProductKey + "\\SVIEW", "SVIEW EXE Path", QString());
    RegWriteStringAt(HKEY_CLASSES_ROOT, command, QString(), "\"C:\\SView\\sview.exe\" /open");
    DiscoverOutsideTools();
    EXPECT_EQ(Tool("SVIEW", "SVIEW EXE Path"), "\"C:\\SView\\sview.exe\" /open");
}

TEST(ToolPaths, ScreenshotFolderAndTheViewerSwitch) {
    RegistrySandbox sandbox;
    TempMsts temp;
    ResetAppState();
    App().ProgramFilePath = "C:\\Program\\quarvel.exe";
    RegWriteStringAt(HKEY_CURRENT_USER,
                     "Software\\VB and VBA Program Settings\\Wendrick\\MSTS Shape Viewer",
                     "screenshotLocation", "C:\\Shots");
    DiscoverOutsideTools();
    EXPECT_EQ(App().ScreenshotFolder, "C:\\Shots");
    EXPECT_TRUE(App().ViewerControlRegistered);

    RegWriteString(kProductKey, "screenshotLocation", "C:\\Mine");
    temp.MakeFile("program/noviewer.txt");
    DiscoverOutsideTools();
    EXPECT_EQ(App().ScreenshotFolder, "C:\\Mine");
    EXPECT_TRUE(App().NoViewerFile);
    EXPECT_FALSE(App().ViewerControlRegistered);
}

} // namespace
} // namespace qv
