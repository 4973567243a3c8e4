#include "core/easyservices.h"
#include "core/itemtree.h"
#include "fixtures/registrysandbox.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

// Sets environment variables for one test and removes them afterwards.
class EnvironmentTest : public ::testing::Test {
protected:
    void Set(const char* name, const QByteArray& value) {
        qputenv(name, value);
        names_.push_back(name);
    }
    void TearDown() override {
        for (const char* name : names_)
            qunsetenv(name);
    }

private:
    RegistrySandbox registry_; // no Wine prefix unless a test makes one
    std::vector<const char*> names_;
};

// The start of a system.reg as Wine writes it in a new prefix, for a 32-bit or a 64-bit one.
QByteArray WineSystemReg(const char* arch, const QByteArray& keys) {
    return QByteArray("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n#arch=") +
           arch + "\n\n" + keys;
}

const QByteArray kWineDefaults =
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1733700000\n"
    "#time=1db49f2a1b2c3d4\n"
    "\"CommonFilesDir\"=\"C:\\\\Program Files\\\\Common Files\"\n"
    "\"MediaPath\"=str(2):\"%SystemRoot%\\\\Media\"\n"
    "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n\n"
    "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1733700000\n"
    "\"SystemRoot\"=\"C:\\\\windows\"\n\n"
    "[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment] 1733700000\n"
    "#time=1db49f2a1b2c3d4\n"
    "\"ComSpec\"=str(2):\"%SystemRoot%\\\\system32\\\\cmd.exe\"\n"
    "\"ProgramData\"=\"C:\\\\ProgramData\"\n"
    "\"windir\"=str(2):\"%SystemRoot%\"\n"
    "\"LoopA\"=str(2):\"%LoopB%\"\n"
    "\"LoopB\"=str(2):\"%LoopA%\"\n\n";

const QByteArray kWow64Defaults =
    "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1733700000\n"
    "\"CommonFilesDir\"=\"C:\\\\Program Files (x86)\\\\Common Files\"\n"
    "\"ProgramFilesDir\"=\"C:\\\\Program Files (x86)\"\n"
    "\"ProgramFilesDir (x86)\"=\"C:\\\\Program Files (x86)\"\n\n";

} // namespace

TEST_F(EnvironmentTest, ExpandEnvironmentVars_ReplacesNamesLookedUpInCapitals) {
    Set("QV_TEST_ROOT", "C:\\Program Files");
    Set("QV_TEST_TOOL", "Tool");
    EXPECT_EQ(ExpandEnvironmentVars(QStringLiteral("%QV_TEST_ROOT%\\%qv_test_tool%\\a.exe")),
              QStringLiteral("C:\\Program Files\\Tool\\a.exe"));
    EXPECT_EQ(ExpandEnvironmentVars(QStringLiteral("%Qv_Test_Tool%%QV_TEST_TOOL%")),
              QStringLiteral("ToolTool"));
}

TEST_F(EnvironmentTest, ExpandEnvironmentVars_KeepsUnknownNamesAndLonePercentSigns) {
    Set("QV_TEST_TOOL", "Tool");
    EXPECT_EQ(ExpandEnvironmentVars(QStringLiteral("%qv_no_such_var%\\x")),
              QStringLiteral("%qv_no_such_var%\\x"));
    EXPECT_EQ(ExpandEnvironmentVars(QStringLiteral("100% sure")), QStringLiteral("100% sure"));
    EXPECT_EQ(ExpandEnvironmentVars(QStringLiteral("%%")), QStringLiteral("%%"));
    // After an unknown name the scan goes on after its closing sign.
    EXPECT_EQ(ExpandEnvironmentVars(QStringLiteral("%QV_NONE%QV_TEST_TOOL%qv_test_tool%")),
              QStringLiteral("%QV_NONE%QV_TEST_TOOLTool"));
    EXPECT_EQ(ExpandEnvironmentVars(QString()), QString());
}

TEST_F(EnvironmentTest, ExpandEnvironmentVars_HasNoLengthLimit) {
    Set("QV_TEST_TOOL", "Tool");
    const QString longName = QString(300, QLatin1Char('N'));
    const QString longTail = QString(1000, QLatin1Char('t'));
    EXPECT_EQ(ExpandEnvironmentVars(QLatin1Char('%') + longName + QLatin1Char('%')),
              QLatin1Char('%') + longName + QLatin1Char('%'));
    EXPECT_EQ(ExpandEnvironmentVars(QStringLiteral("%QV_TEST_TOOL%") + longTail +
                                    QStringLiteral("%QV_TEST_TOOL%")),
              QStringLiteral("Tool") + longTail + QStringLiteral("Tool"));
}

// A Windows program's variables are those Wine gives the programs of its prefix, whatever the
// host's environment holds (a Linux user has no ProgramFiles at all).
TEST_F(EnvironmentTest, ExpandEnvironmentVars_TakesTheWineprefixVariablesBeforeTheHosts) {
    qunsetenv("PROGRAMFILES");
    Set("WINDIR", "/host/windir");
    Set("QV_TEST_TOOL", "Tool");
    const struct {
        const char* name;
        QByteArray systemReg; // empty: no Wine prefix at all
        const char* text;
        const char* expected;
    } cases[] = {
        {"32-bit prefix", WineSystemReg("win32", kWineDefaults),
         "\"%ProgramFiles%\\Windows NT\\Accessories\\WORDPAD.EXE\"",
         "\"C:\\Program Files\\Windows NT\\Accessories\\WORDPAD.EXE\""},
        {"64-bit prefix as a 32-bit program sees it",
         WineSystemReg("win64", kWineDefaults + kWow64Defaults),
         "%PROGRAMFILES%|%ProgramFiles(x86)%|%CommonProgramFiles%",
         "C:\\Program Files (x86)|C:\\Program Files (x86)|C:\\Program Files (x86)\\Common Files"},
        {"Session Manager values, expanded in turn", WineSystemReg("win32", kWineDefaults),
         "%windir%|%COMSPEC%|%SystemRoot%|%programdata%|%qv_test_tool%",
         "C:\\windows|C:\\windows\\system32\\cmd.exe|C:\\windows|C:\\ProgramData|Tool"},
        {"a loop of names ends", WineSystemReg("win32", kWineDefaults), "%LoopA%|%NoSuchName%",
         "%LoopA%|%NoSuchName%"},
        {"Wine's defaults where the prefix has none", WineSystemReg("win32", ""),
         "%ProgramFiles%|%ProgramFiles(x86)%|%CommonProgramFiles%|%windir%",
         "C:\\Program Files|%ProgramFiles(x86)%|C:\\Program Files\\Common Files|C:\\windows"},
        {"no prefix", QByteArray(), "%ProgramFiles%|%SystemDrive%", "C:\\Program Files|C:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegistrySandbox sandbox;
        if (!c.systemReg.isEmpty())
            sandbox.MakeWinePrefix(c.systemReg, "WINE REGISTRY Version 2\n");
        EXPECT_EQ(ExpandEnvironmentVars(QString::fromLatin1(c.text)),
                  QString::fromLatin1(c.expected));
    }
}

TEST(ExploreSessionName, AddsTheSaveNumberOnlyWhenAboveZero) {
    EXPECT_EQ(ExploreSessionName(12), QStringLiteral("QUARVEL EXPLORE 12"));
    EXPECT_EQ(ExploreSessionName(1), QStringLiteral("QUARVEL EXPLORE 1"));
    EXPECT_EQ(ExploreSessionName(0), QStringLiteral("QUARVEL EXPLORE"));
    EXPECT_EQ(ExploreSessionName(-1), QStringLiteral("QUARVEL EXPLORE"));
}

TEST(EasyServices, DefaultAnswersNoUntilServicesAreInstalled) {
    ItemTree tree;
    QStringList names = {QStringLiteral("QV_~TEMP1.act")};
    EasyServices& none = TheEasyServices();
    EXPECT_FALSE(none.GoAndLaunch(nullptr, false));
    EXPECT_FALSE(none.MarkDefaultRoutes(tree));
    EXPECT_EQ(none.LaunchProgram(QStringLiteral("a.exe"), {}, {}, false, false, true), -1);
    none.CleanExploreTemp(QStringLiteral("ROUTES\\X"), &names);
    EXPECT_EQ(names.size(), 1);
    EXPECT_EQ(none.MainPageIndex(), -1);
    EXPECT_EQ(none.ChosenExploreActivity(), nullptr);
}
