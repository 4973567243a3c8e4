#include "platform/process.h"

#include "platform/drivemap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

void Touch(const QString& hostPath) {
    QDir().mkpath(QFileInfo(hostPath).absolutePath());
    QFile file(hostPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.isValid()); }
    QString Host(const QString& name) const { return temp_.path() + u'/' + name; }
    QString Windows(const QString& name) const { return ToWindowsForm(Host(name)); }

    QTemporaryDir temp_;
};

} // namespace

TEST(SplitWindowsArguments, FollowsTheWindowsCommandLineRules) {
    EXPECT_EQ(SplitWindowsArguments(S("  -a\t b  ")), (QStringList{S("-a"), S("b")}));
    EXPECT_EQ(SplitWindowsArguments(S("\"b c\" d\"e f\"g")), (QStringList{S("b c"), S("de fg")}));
    // Backslashes count only before a quote: 2n give n and a quote mark, 2n+1 a literal quote.
    EXPECT_EQ(SplitWindowsArguments(S("C:\\a\\b a\\\\\\\"b \"C:\\dir\\\\\" x")),
              (QStringList{S("C:\\a\\b"), S("a\\\"b"), S("C:\\dir\\"), S("x")}));
    EXPECT_EQ(SplitWindowsArguments(S("\"\" \"a\"\"b\"")), (QStringList{QString(), S("a\"b")}));
    EXPECT_TRUE(SplitWindowsArguments(S(" \t ")).isEmpty());
}

TEST_F(ProcessTest, StartProgram_GivesAHostProgramHostPathsAndReportsAMissingOne) {
    Touch(Host(S("Lists/My List.QVC")));
    HostCommand command;
    int error = 0;
    const QString list = Windows(S("lists")) + S("\\my list.qvc");
    ASSERT_TRUE(BuildHostCommand(
        S("/bin/sh"), S("-x \"") + list + S("\" C: ") + Windows(S("new.txt")), &command, &error));
    EXPECT_EQ(command.executable, S("/bin/sh"));
    EXPECT_EQ(command.arguments,
              (QStringList{S("-x"), Host(S("Lists/My List.QVC")), S("C:"), Host(S("new.txt"))}));

    qint64 pid = 0;
    EXPECT_FALSE(StartProgram(S("quarvel-no-such-program"), QString(), &pid, &error));
    EXPECT_EQ(error, kShellFileNotFound);
}

TEST_F(ProcessTest, WaitForProcess_TimesOutWhileItRunsAndReapsItOnceEnded) {
    qint64 pid = 0;
    int error = 0;
    ASSERT_TRUE(StartProgram(S("/bin/sh"), S("-c \"sleep 0.3\""), &pid, &error));
    // Its own session: the end of this program or of its terminal does not reach it.
    EXPECT_EQ(getsid(pid_t(pid)), pid_t(pid));
    EXPECT_EQ(WaitForProcess(pid, 0), ProcessWait::TimedOut);
    EXPECT_EQ(WaitForProcess(pid, 10000), ProcessWait::Ended);
    EXPECT_FALSE(QFile::exists(QStringLiteral("/proc/%1").arg(pid)));
    EXPECT_EQ(WaitForProcess(pid, 0, &error), ProcessWait::Failed);
    EXPECT_EQ(error, ECHILD);
}
