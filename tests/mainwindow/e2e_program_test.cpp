// The built program on the demo's installation, run as a user's shortcut runs it (offscreen, with
// the demo's private registry): a scenario argument is executed and MSTS launched, "-uc" unstores
// everything, and a second copy brings the running one to the front; each ends on its own.
#include "core/generaldefs.h"
#include "core/languages.h"
#include "core/regsettings.h"
#include "easy/fakeprogram.h"
#include "mainwindow/commandline.h"
#include "mainwindow/e2ekit.h"
#include "platform/registry.h"
#include "platform/singleinstance.h"

#include <QAction>
#include <QLocalServer>
#include <QProcess>
#include <QtCore/qtestsupport_core.h>

using namespace qv;

namespace {

class ProgramRun : public DemoTest {
protected:
    ProgramRun() {
        BuildCaches();
        RegWriteString(kProductKey, QStringLiteral("MSTS EXE Path"), msts.Path());
    }
    ~ProgramRun() override {
        for (const auto& program : programs) {
            if (program->state() != QProcess::NotRunning) {
                program->kill();
                program->waitForFinished();
            }
        }
        // A copy that was killed leaves its socket behind.
        StopListening();
        QLocalServer::removeServer(RunningCopyServerName());
    }

    // Starts the program. A message box would wait for an answer nobody gives, so a run that asks
    // anything never ends on its own.
    QProcess& Launch(const QStringList& arguments) {
        auto program = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QUARVEL_REGISTRY_DIR"), RegistryDir());
        // Drive C of the fake MSTS and the scenario files.
        environment.insert(QStringLiteral("WINEPREFIX"), drive.PrefixDir());
        program->setProcessEnvironment(environment);
        program->start(QStringLiteral(QUARVEL_PROGRAM_FILE), arguments);
        EXPECT_TRUE(program->waitForStarted());
        programs.push_back(std::move(program));
        return *programs.back();
    }
    // Handles events until the program has ended on its own; its exit code, -1 when it crashed
    // or was still running after `ms`.
    static int Ended(QProcess& program, int ms = 15000) {
        if (!QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, ms))
            return -1;
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

    // In the main window: the route marked In Store and the job run, without a launch.
    void StoreInWindow(const char* route) {
        Start();
        Select(Node(QString::fromLatin1(route), PT_ROUTE));
        Click("StoreRoute_ActivityBtn");
        Click("GoBtn");
        ASSERT_EQ(Located(*Node(QString::fromLatin1(route), PT_ROUTE)->Data()), "STORE");
    }
    ItemSet Item(const char* route) const {
        return *Node(QString::fromLatin1(route), PT_ROUTE)->Data();
    }

    FakeProgram msts{drive, QStringLiteral("msts")};
    std::vector<std::unique_ptr<QProcess>> programs;
};

TEST_F(ProgramRun, Scenario_RunsWhatItSaysLaunchesMstsAndEnds) {
    // A scenario saved in the window: Route 0 (now stored) back in use, Route 1 stored.
    StoreInWindow("Route 0");
    const ItemSet route0 = Item("Route 0"), route1 = Item("Route 1");
    Select(Node("Route 0", PT_ROUTE));
    Click("UnStoreRoute_ActivityBtn");
    Select(Node("Route 1", PT_ROUTE));
    Click("StoreRoute_ActivityBtn");
    drive.MakeFolder(QStringLiteral("Scen"));
    ui.ExpectSaveScenarioDialog(ID_OK, QStringLiteral("C:\\Scen\\job.QVS"));
    C<QAction>("SaveAs1")->trigger();
    ASSERT_EQ(form->CurrentScenarioFile(), "C:\\Scen\\job.QVS");
    form.reset();
    WriteFlag(true, QStringLiteral("Spawn Wait")); // a command-line job never waits all the same
    // As on a first start: the program finds no locale override of its own.
    RegDeleteValueAt(HKEY_CURRENT_USER, kLocaleOverrideKey, ProgramFile());

    // The job is done when the command returns: a script that then looks at the folders sees
    // what the job did.
    QProcess& program = Launch({drive.Host(QStringLiteral("Scen/job.QVS"))});
    EXPECT_EQ(Ended(program), 0) << "ended on its own, with nothing to confirm";
    EXPECT_EQ(RegReadStringAt(HKEY_CURRENT_USER, kLocaleOverrideKey, ProgramFile()), "eng");
    EXPECT_EQ(Located(route0), "MSTS");
    EXPECT_EQ(Located(route1), "STORE");
    EXPECT_TRUE(msts.StillRunning()) << "launched and not waited for";
    EXPECT_EQ(msts.Ran().value(0), demo + "/MSTS");
    EXPECT_EQ(RegReadString(kProductKey, QStringLiteral("Waiting Semaphore")), "0");
}

TEST_F(ProgramRun, SecondCopy_RaisesTheRunningCopyAndEnds) {
    // The window of this process is the running copy, minimised by its user.
    Start();
    form->MinimiseApplication();
    ASSERT_TRUE(form->isMinimized());
    QProcess& second = Launch({});
    EXPECT_EQ(Ended(second), 0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !form->isMinimized(); }, 2000));
    form.reset();

    // Between two copies of the program: the second ends, the first runs on and still answers.
    QProcess& first = Launch({});
    ASSERT_TRUE(QTest::qWaitFor([] { return OtherCopyRunning(); }, 10000));
    QProcess& another = Launch({});
    EXPECT_EQ(Ended(another), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_TRUE(RaiseOtherCopy());

    // A job given to a second copy does not run, and its caller is told.
    for (const QString& job : {QStringLiteral("-uc"), drive.Host(QStringLiteral("job.QVS"))}) {
        QProcess& withJob = Launch({job});
        EXPECT_EQ(Ended(withJob), kJobNotRunStatus);
        const QString error = QString::fromLocal8Bit(withJob.readAllStandardError());
        EXPECT_TRUE(error.contains(QStringLiteral("did not run")) && error.contains(job))
            << error.toStdString();
    }
    EXPECT_EQ(first.state(), QProcess::Running);
}

} // namespace
