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
    RegistrySandbox registry_; // the Wine prefix's variables come first: none here
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
