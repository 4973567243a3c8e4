#include "easy/launchprogram.h"

#include "core/appstate.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "easy/explorestate.h"
#include "fakewindow/xserver.h"
#include "fixtures/registrysandbox.h"
#include "platform/clock.h"
#include "platform/drivemap.h"
#include "platform/fakeui.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

bool WaitUntil(const std::function<bool()>& condition, int ms = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

// The process's state letter in /proc ('Z' for a zombie); 0 when it is gone.
char ProcessState(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() ? line.at(close + 2) : 0;
}

bool Reaped(qint64 pid) {
    return WaitUntil([pid] { return ProcessState(pid) == 0; });
}

class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.isValid());
        ResetAppState();
        ResetExploreState();
        App().ProgramTitle = S("Quarvel");
        App().ProgramFilePath = Windows(S("Program/quarvel"));
        QDir().mkpath(Host(S("Program")));
        SetMainServices(&main_);
    }
    void TearDown() override {
        SetMainServices(nullptr);
        ResetExploreState();
        ResetAppState();
    }

    QString Host(const QString& name) const { return temp_.path() + u'/' + name; }
    QString Windows(const QString& name) const { return ToWindowsForm(Host(name)); }
    static QString FakeProgram() { return ToWindowsForm(S(QUARVEL_FAKEWINDOW)); }
    // Options that make the fake program record its arguments and wait for the release file (or
    // for the end of the test, which removes the folder).
    QString Recorded() const {
        return S("--argv-file \"") + Host(S("argv.txt")) + S("\" --until-file \"") +
               Host(S("release")) + S("\"");
    }

    static void Touch(const QString& hostPath, const QByteArray& content = QByteArray()) {
        QDir().mkpath(QFileInfo(hostPath).absolutePath());
        QFile file(hostPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    // The lines a fake program recorded: its process id first, then its arguments.
    QStringList RecordedLines(const QString& name = S("argv.txt")) const {
        QFile file(Host(name));
        if (!WaitUntil([&] { return file.exists(); }) || !file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromLocal8Bit(file.readAll()).split(u'\n');
        lines.removeLast();
        return lines;
    }
    static QString Semaphore() { return RegReadString(kProductKey, S("Waiting Semaphore")); }

    QTemporaryDir temp_;
    // A Ui that runs an action once a message box has been answered.
    class ActingUi : public FakeUi {
    public:
        std::function<void()> afterBox;
        int MessageBox(const QString& text, const QString& caption, int style) override {
            const int answer = FakeUi::MessageBox(text, caption, style);
            if (afterBox)
                afterBox();
            return answer;
        }
    };

    RegistrySandbox registry_;
    ActingUi ui_;
    HeadlessMainServices main_;
};

} // namespace

TEST_F(LaunchTest, LaunchProgram_WaitsWithTheWindowAliveThenRestoresAndTidiesUp) {
    bool busy = false, minimised = false;
    QString semaphore;
    QTimer::singleShot(200, [&] {
        busy = App().Busy && !main_.BusyControlsEnabled();
        minimised = main_.Minimised();
        semaphore = Semaphore();
        Touch(Host(S("release")));
    });
    EXPECT_EQ(
        LaunchProgram(FakeProgram(), S("--no-window ") + Recorded(), QString(), true, false, false),
        0);
    EXPECT_TRUE(busy);
    EXPECT_TRUE(minimised);
    EXPECT_EQ(semaphore, S("1"));
    EXPECT_EQ(Semaphore(), S("0"));
    EXPECT_FALSE(App().Busy);
    EXPECT_TRUE(main_.BusyControlsEnabled());
    EXPECT_FALSE(main_.Minimised());
    const QStringList lines = RecordedLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(ProcessState(lines.first().toLongLong()), 0) << "left a zombie";
    EXPECT_TRUE(ui_.Shown().empty());
}

TEST_F(LaunchTest, LaunchProgram_LeavesANotWaitedProgramRunningAfterTheLauncherEnds) {
    const QString parameters = S("--no-window ") + Recorded();
    const pid_t launcher = fork();
    ASSERT_GE(launcher, 0);
    if (launcher == 0)
        _exit(LaunchProgram(FakeProgram(), parameters, QString(), false, false, true) > 0 ? 0 : 1);
    int status = 0;
    ASSERT_EQ(waitpid(launcher, &status, 0), launcher);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const qint64 pid = RecordedLines().value(0).toLongLong();
    ASSERT_GT(pid, 0);
    QThread::msleep(100);
    const char state = ProcessState(pid);
    EXPECT_TRUE(state != 0 && state != 'Z') << "state " << state;
    EXPECT_EQ(getsid(pid_t(pid)), pid_t(pid)) << "still in the launcher's session";
}

TEST_F(LaunchTest, LaunchProgram_FindsTheMstsWindowAndRestoresItOnceTheExploreSessionStarted) {
    QV_REQUIRE_X_SERVER();
    const QString title = S("Fake MSTS %1").arg(getpid());
    Touch(Host(S("Program/QV_TEMP_PARAM.DAT")),
          (S("[MSTS Title Class]\r\nWindowTitle=") + title + S("\r\nWindowClass=FakeSim\r\n"))
              .toUtf8());
    App().MstsRootFolder = Windows(S("MSTS"));
    Touch(Host(S("MSTS/Routes/R/ACTIVITIES/EXPLORER.ACT")));
    ItemSet source;
    source.Folder = S("Routes\\R\\ACTIVITIES");
    source.FileName = S("a.act");
    Explore().ExploreSourceActivity = source;

    // MSTS removes the marker once it has taken the session up; the watch must see it go.
    WindowHandle seen = 0;
    QTimer::singleShot(1500, [&] {
        seen = FindTopWindow(S("fakesim"), title.toUpper());
        QFile::remove(Host(S("MSTS/Routes/R/ACTIVITIES/EXPLORER.ACT")));
    });
    QElapsedTimer timer;
    timer.start();
    const QString parameters = S("--title \"") + title + S("\" --class FAKESIM ") + Recorded();
    EXPECT_EQ(LaunchProgram(FakeProgram(), parameters, QString(), true, true, true), 0);
    EXPECT_GE(timer.elapsed(), 1500);
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_NE(seen, 0u);
    EXPECT_TRUE(ui_.Shown().empty());
    EXPECT_EQ(Semaphore(), S("0"));
    EXPECT_FALSE(App().Busy);
    // The wait ended with the watch, not with MSTS, which runs on until it is done.
    const qint64 pid = RecordedLines().value(0).toLongLong();
    EXPECT_NE(ProcessState(pid), 0);
    Touch(Host(S("release")));
    EXPECT_TRUE(Reaped(pid)) << "left a zombie";
}

// MSTS's window not found within about 15 seconds: the user decides whether the wait goes on
// until MSTS ends (a slow start still needs its Explore files) or ends now.
TEST_F(LaunchTest, WaitForProgram_AsksAfter150PassesWithoutTheMstsWindowAndWaitsOnWhenTold) {
    for (const int answer : {ID_NO, ID_YES}) {
        SCOPED_TRACE(answer);
        FakeClock clock;
        ui_.Clear();
        QFile::remove(Host(S("release")));
        QFile::remove(Host(S("argv.txt")));
        ui_.Expect(S("Quarvel cannot find the MSTS application window."), answer);
        // Told to wait on, MSTS ends some time after the question has been answered.
        if (answer == ID_YES)
            ui_.afterBox = [this] {
                QTimer::singleShot(300, [this] { Touch(Host(S("release"))); });
            };
        EXPECT_EQ(LaunchProgram(FakeProgram(), S("--no-window ") + Recorded(), QString(), true,
                                true, false),
                  0);
        ui_.afterBox = nullptr;
        ASSERT_EQ(ui_.Shown().size(), 1u);
        EXPECT_TRUE(ui_.Shown().front().text.startsWith(
            S("Error: Unexpected result at Module: 'launchprogram'  Line No.: ")));
        EXPECT_EQ(ui_.Shown().front().style, MB_ICONSTOP | MB_YESNO);
        EXPECT_GE(clock.MonotonicMs(), 15100);
        EXPECT_EQ(Semaphore(), S("0"));
        EXPECT_FALSE(App().Busy);
        const qint64 pid = RecordedLines().value(0).toLongLong();
        if (answer == ID_NO) {
            EXPECT_LT(clock.MonotonicMs(), 15200);
            EXPECT_NE(ProcessState(pid), 0) << "the wait ended with MSTS still running";
            EXPECT_TRUE(main_.Minimised()); // not restored on this path
            Touch(Host(S("release")));
        } else {
            EXPECT_EQ(ProcessState(pid), 0) << "the wait ended before MSTS did";
            EXPECT_FALSE(main_.Minimised());
        }
        EXPECT_TRUE(Reaped(pid)) << "left a zombie";
    }
}

TEST_F(LaunchTest, LaunchProgram_HandsAWindowsProgramToWineWithItsWindowsPathAndArguments) {
    Touch(Host(S("Tools/Prog.EXE")));
    Touch(Host(S("wine")),
          (S("#!/bin/sh\nprintf '%s\\n' \"$$\" \"$@\" > '") + Host(S("wine.txt")) + S("'\n"))
              .toUtf8());
    QFile(Host(S("wine"))).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    qputenv("QUARVEL_WINE", QFile::encodeName(Host(S("wine"))));
    qputenv("QV_LAUNCH_TOOLS", Windows(S("tools")).toUtf8());
    const std::int32_t result = LaunchProgram(
        S("%qv_launch_tools%\\prog.exe"), S("-a \"b c\" d\\\"e"), QString(), false, false, false);
    qunsetenv("QUARVEL_WINE");
    qunsetenv("QV_LAUNCH_TOOLS");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(RecordedLines(S("wine.txt")).mid(1),
              (QStringList{Windows(S("tools")) + S("\\prog.exe"), S("-a"), S("b c"), S("d\"e")}));
}

TEST_F(LaunchTest, LaunchProgram_PassesAParameterTextOf1000CharactersWhole) {
    QString parameters =
        S("--no-window --seconds 0 --argv-file \"") + Host(S("argv.txt")) + S("\" \"");
    const QString tail = QString(1000 - parameters.size() - 1, u'x');
    parameters += tail + u'"';
    ASSERT_EQ(parameters.size(), 1000);
    EXPECT_EQ(LaunchProgram(FakeProgram(), parameters, QString(), false, false, false), 0);
    EXPECT_EQ(RecordedLines().value(6), tail);
}

TEST_F(LaunchTest, LaunchProgram_ReportsAProgramThatCannotBeStartedAndDoesNothingElse) {
    ui_.Expect(S("The specified file was not found."), ID_OK);
    EXPECT_EQ(LaunchProgram(Windows(S("Program")) + S("\\none.exe"), QString(), QString(), true,
                            false, false),
              -1);
    ui_.Expect(S("The specified path was not found."), ID_OK);
    EXPECT_EQ(LaunchProgram(Windows(S("Gone")) + S("\\none.exe"), QString(), QString(), true, true,
                            false),
              -1);
    EXPECT_TRUE(ui_.Mismatches().isEmpty());
    ASSERT_EQ(ui_.Shown().size(), 2u);
    EXPECT_EQ(ui_.Shown().front().caption, S("Quarvel"));
    EXPECT_EQ(ui_.Shown().front().style, MB_ICONSTOP);
    EXPECT_FALSE(main_.Minimised());
    EXPECT_TRUE(Semaphore().isEmpty());
}

TEST_F(LaunchTest, MstsWindowIdentity_ReadsQvTempParamDatAfreshOverTheDefaults) {
    auto identity = MstsWindowIdentity();
    EXPECT_EQ(identity->WindowTitle, S("Train Simulator"));
    EXPECT_EQ(identity->WindowClass, S("TrainSim"));
    Touch(Host(S("Program/QV_TEMP_PARAM.DAT")), "[msts title class]\r\nwindowclass=Wine MSTS\r\n");
    identity = MstsWindowIdentity();
    EXPECT_EQ(identity->WindowTitle, S("Train Simulator"));
    EXPECT_EQ(identity->WindowClass, S("Wine MSTS"));
    Touch(Host(S("Program/QV_TEMP_PARAM.DAT")),
          "[MSTS Title Class]\r\nWindowTitle=MSTS 1.4\r\nWindowClass=TS\r\n");
    identity = MstsWindowIdentity();
    EXPECT_EQ(identity->WindowTitle, S("MSTS 1.4"));
    EXPECT_EQ(identity->WindowClass, S("TS"));
}

TEST(ShellErrorText, GivesTheShellsMessagesAndAnUnexpectedResultForOtherCodes) {
    EXPECT_EQ(ShellErrorText(0), ShellErrorText(8));
    EXPECT_EQ(ShellErrorText(8), S("There was not enough memory to complete the operation."));
    EXPECT_EQ(ShellErrorText(2), S("The specified file was not found."));
    EXPECT_TRUE(ShellErrorText(4).startsWith(S("Error: Unexpected result at Module: ")));
    EXPECT_TRUE(ShellErrorText(4).endsWith(S("\n - 4")));
}
