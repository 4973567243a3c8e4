#include "core/easyservices.h"
#include "core/itemtree.h"
#include "core/regsettings.h"
#include "fixtures/procself.h"
#include "fixtures/registrysandbox.h"

#include <QFile>
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

    RegistrySandbox registry_; // the Wine prefix's variables come first: none here

private:
    std::vector<const char*> names_;
};

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

TEST_F(EnvironmentTest, ExpandEnvironmentVars_TakesLongNamesAndTextsWithinTheLimit) {
    Set("QV_TEST_TOOL", "Tool");
    const QString longName = QString(300, QLatin1Char('N'));
    const QString longTail = QString(1000, QLatin1Char('t'));
    EXPECT_EQ(ExpandEnvironmentVars(QLatin1Char('%') + longName + QLatin1Char('%')),
              QLatin1Char('%') + longName + QLatin1Char('%'));
    EXPECT_EQ(ExpandEnvironmentVars(QStringLiteral("%QV_TEST_TOOL%") + longTail +
                                    QStringLiteral("%QV_TEST_TOOL%")),
              QStringLiteral("Tool") + longTail + QStringLiteral("Tool"));
}

// As on Windows, an expansion stops at 32,767 characters: a text that would grow longer, or is
// longer already, stays as written.
TEST_F(EnvironmentTest, ExpandEnvironmentVars_StopsAtWindowsLengthAndKeepsTheTextAsWritten) {
    Set("QV_TEST_LONG", QByteArray(20000, 'x'));
    Set("QV_TEST_TOO_LONG", QByteArray(40000, 'y'));
    const struct {
        QString text;
        bool expanded;
    } cases[] = {
        {"%QV_TEST_LONG%\\a.exe", true},
        {"%QV_TEST_LONG%%QV_TEST_LONG%", false},
        {"%QV_TEST_TOO_LONG%", false},
        {"C:\\" + QString(40000, u'p') + "%QV_TEST_LONG%", false},
        {"%QV_TEST_LONG%" + QString(32767 - 20000, u'a'), true},
        {"%QV_TEST_LONG%" + QString(32767 - 20000 + 1, u'a'), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.left(40).toStdString());
        bool complete = false;
        const QString result = ExpandEnvironmentVars(c.text, &complete);
        EXPECT_EQ(complete, c.expanded);
        if (c.expanded) {
            EXPECT_TRUE(result == QString(c.text).replace("%QV_TEST_LONG%", QString(20000, u'x')));
        } else {
            EXPECT_TRUE(result == c.text) << result.size();
        }
        EXPECT_LE(result.size(), std::max<qsizetype>(c.text.size(), 32767));
    }
}

// The NUL would cut the name short: %HOME<NUL>junk% is no HOME.
TEST_F(EnvironmentTest, ExpandEnvironmentVars_KeepsANameHoldingANulAsWritten) {
    Set("QV_TEST_TOOL", "Tool");
    const QString text = QStringLiteral("%QV_TEST_TOOL") + QChar(0) + QStringLiteral("junk%\\x");
    EXPECT_EQ(ExpandEnvironmentVars(text), text);
    EXPECT_EQ(ExpandEnvironmentVars(QStringLiteral("%QV_TEST_TOOL%")), "Tool");
}

// The names of one text are looked up in one reading of our hive, not in one for each name.
TEST_F(EnvironmentTest, ExpandEnvironmentVars_ReadsTheRegistryOnceForAllTheNamesOfAText) {
    RegWriteString(kProductKey, "Padding", QString(200000, u'p'));
    const qint64 hive = registry_.ReadHive(HKEY_LOCAL_MACHINE).size();
    ASSERT_GT(hive, 200000);
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QStringLiteral("%QV_NO_SUCH_NAME_%1%\\").arg(i);
    const qint64 before = test::BytesReadSoFar();
    EXPECT_EQ(ExpandEnvironmentVars(text), text);
    const qint64 read = test::BytesReadSoFar() - before;
    EXPECT_LT(read, 4 * hive) << read;
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
