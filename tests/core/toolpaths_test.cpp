// Finding the outside tools: a user's own setting is kept, empty ones are filled from the App
// Paths registrations (ours or Wine's) and the shape file type; the screenshot folder and the
// viewer switch.
#include "core/appstate.h"
#include "core/regsettings.h"
#include "core/toolpaths.h"
#include "fixtures/procself.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QFile>
#include <gtest/gtest.h>

namespace qv {
namespace {

const QString kAppPaths =
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");

QString Tool(const char* subKey, const char* value) {
    return RegReadString(kProductKey + "\\" + subKey, value);
}

// A system.reg as Wine writes it, holding these keys (each "[path] time", then its values).
QByteArray WineSystemReg(const QByteArray& keys) {
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n" + keys;
}

QByteArray WineKey(const QByteArray& path, const QByteArray& values) {
    return "[" + path + "] 1733700000\n#time=1db49f2a1b2c3d4\n" + values + "\n";
}

const char* const kWineAppPaths =
    "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\";
const char* const kWineSession =
    "System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment";

QByteArray Repeated(const char* text, int times) {
    return QByteArray(text).repeated(times);
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

// A prefix of at most 1 MB, however made, cannot make the start-up write more than a Windows
// variable may hold into our hive, nor make it work in proportion to more than it reads: an
// expansion stops at 32,767 characters, a name is expanded once, and a tool whose registration
// grows past that is not stored but named to the user.
TEST(ToolPaths, TheLookUpOfToolsIsBoundedWhateverTheWinePrefixHolds) {
    const QByteArray wordpad = QByteArray(kWineAppPaths) + "wordpad.exe";
    const struct {
        const char* what;
        QByteArray keys;
        const char* notFound; // the programs named to the user
    } cases[] = {
        {"a variable made of itself",
         WineKey(wordpad, "@=str(2):\"%A%\\\\wordpad.exe\"") +
             WineKey(kWineSession, "\"A\"=str(2):\"" + Repeated("%A%", 4000) + "\""),
         "WordPad.exe"},
        {"twice a variable of 20,000 characters",
         WineKey(wordpad, "@=str(2):\"%B%%B%\"") +
             WineKey(kWineSession, "\"B\"=\"" + Repeated("x", 20000) + "\""),
         "WordPad.exe"},
        {"a fan of names in one variable",
         WineKey(wordpad, "@=str(2):\"%B%\"") +
             WineKey(kWineSession, "\"A\"=\"" + Repeated("x", 1000) + "\"\n\"B\"=str(2):\"" +
                                       Repeated("%A%", 100) + "\""),
         "WordPad.exe"},
        {"a megabyte of names, the last one too long",
         WineKey(wordpad, "@=str(2):\"" + Repeated("%E%", 330000) + "%B%%B%\"") +
             WineKey(kWineSession, "\"E\"=\"\"\n\"B\"=\"" + Repeated("x", 20000) + "\""),
         "WordPad.exe"},
        {"a program-files folder of 142 KB",
         WineKey(QByteArray(kWineAppPaths) + "RDMgr.exe",
                 "@=str(2):\"%ProgramFiles%\\\\RDMgr.exe\"") +
             WineKey("Software\\\\Microsoft\\\\Windows\\\\CurrentVersion",
                     "\"ProgramFilesDir\"=\"C:\\\\" + Repeated("p", 142 * 1024) + "\""),
         "RDMgr.exe"},
        {"a registration of 40,000 characters",
         WineKey(QByteArray(kWineAppPaths) + "ConBuilder.exe",
                 "@=\"C:\\\\" + Repeated("d\\\\", 20000) + "cb.exe\""),
         "ConBuilder.exe"},
        {"a shape viewer's command made of a variable made of itself",
         WineKey("Software\\\\Classes\\\\.s", "@=\"shapefile\"") +
             WineKey("Software\\\\Classes\\\\shapefile\\\\shell\\\\View\\\\command",
                     "@=str(2):\"%A%%A% \\\"%1\\\"\"") +
             WineKey(kWineSession, "\"A\"=str(2):\"" + Repeated("%A%", 2000) + "\""),
         "SVIEW"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RegistrySandbox sandbox;
        ResetAppState();
        App().ProgramTitle = "Quarvel";
        FakeUi ui;
        const QByteArray systemReg = WineSystemReg(c.keys);
        sandbox.MakeWinePrefix(systemReg, "WINE REGISTRY Version 2\n");
        const qint64 before = test::BytesReadSoFar();
        DiscoverOutsideTools();
        const qint64 read = test::BytesReadSoFar() - before;

        // Nothing of the registration is stored, and the user is told which tool was not found.
        for (const auto& [subKey, value] : {std::pair{"ConBuilder", "CB EXE Path"},
                                            {"Route_Riter", "RR EXE Path"},
                                            {"Editor", "Editor EXE Path"},
                                            {"RailDriver", "RD EXE Path"},
                                            {"SVIEW", "SVIEW EXE Path"}})
            EXPECT_EQ(Tool(subKey, value), "") << subKey;
        EXPECT_EQ(App().ShapeViewerPath, "");
        EXPECT_EQ(ui.Shown().size(), 1u);
        if (!ui.Shown().empty()) {
            EXPECT_TRUE(ui.Shown()[0].text.contains(c.notFound))
                << ui.Shown()[0].text.toStdString();
            EXPECT_EQ(ui.Shown()[0].style, MB_ICONEXCLAMATION);
        }
        EXPECT_LT(sandbox.ReadHive(HKEY_LOCAL_MACHINE).size(), 4096);
        // Wine's file is read once, our small hive a few dozen times.
        EXPECT_LT(read, systemReg.size() + 1024 * 1024) << read;
    }
}

// Windows keeps a path with blanks in App Paths inside quotes, as on a command line: the path
// stored is the program's, without them.
TEST(ToolPaths, AQuotedPathFromAppPathsIsStoredWithoutItsQuotes) {
    RegistrySandbox sandbox;
    ResetAppState();
    sandbox.MakeWinePrefix(
        WineSystemReg(
            WineKey("Software\\\\Microsoft\\\\Windows\\\\CurrentVersion",
                    "\"ProgramFilesDir\"=\"C:\\\\Program Files\"") +
            WineKey(
                QByteArray(kWineAppPaths) + "wordpad.exe",
                "@=str(2):\"\\\"%ProgramFiles%\\\\Windows NT\\\\Accessories\\\\wordpad.exe\\\"\"") +
            WineKey(QByteArray(kWineAppPaths) + "RDMgr.exe",
                    "@=\"\\\"C:\\\\Rail Driver\\\\RDMgr.exe\\\" /quiet\"")),
        "WINE REGISTRY Version 2\n");
    DiscoverOutsideTools();
    EXPECT_EQ(Tool("Editor", "Editor EXE Path"),
              "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe");
    // Only a path quoted whole is a quoted path; a command line stays as registered.
    EXPECT_EQ(Tool("RailDriver", "RD EXE Path"), "\"C:\\Rail Driver\\RDMgr.exe\" /quiet");
}

} // namespace
} // namespace qv
