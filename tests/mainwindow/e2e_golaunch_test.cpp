// From the main window to a running MSTS: the user marks a route and an activity with the
// Classic page's buttons and presses Go; the job moves their files between the MSTS folder and
// the store, MSTS (a script that records how it was started) is launched, and the window closes
// or, with "Spawn Wait", waits for MSTS to end and comes back.
#include "core/forms/fixeddefs.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "easy/fakeprogram.h"
#include "mainwindow/e2ekit.h"

#include <QCoreApplication>
#include <QTimer>

using namespace qv;

namespace {

class GoFromWindow : public DemoTest {
protected:
    GoFromWindow() {
        BuildCaches();
        RegWriteString(kProductKey, QStringLiteral("MSTS EXE Path"), msts.Path());
        RegWriteString(kProductKey, QStringLiteral("MSTS EXE Params"), QStringLiteral("-vc"));
    }

    // Starts the window with "Launch MSTS" ticked by the user.
    void StartToLaunch() {
        Start();
        Click("LaunchMSTSCbx");
        ASSERT_TRUE(form->Checked(QStringLiteral("LaunchMSTSCbx")));
    }
    // Selects the node and presses the button that marks it.
    void Mark(ItemNode* node, const char* button) {
        ASSERT_NE(node, nullptr);
        Select(node);
        Click(button);
    }
    static QString Setting(const char* name) {
        return RegReadString(kProductKey, QLatin1String(name));
    }

    FakeProgram msts{drive, QStringLiteral("msts")};
};

TEST_F(GoFromWindow, SpawnWaitClear_MovesTheMarkedItemsLaunchesMstsAndCloses) {
    StartToLaunch();
    ItemNode* route = Node("Route 0", PT_ROUTE);
    ItemNode* activity = Node("Activity 1", PT_ACTIVITY); // of Route 1, which stays in use
    Mark(route, "StoreRoute_ActivityBtn");
    Mark(activity, "StoreRoute_ActivityBtn");
    const ItemSet routeItem = *route->Data();
    const ItemSet activityItem = *activity->Data();
    const ItemSet keptItem = *Node("Activity 4", PT_ACTIVITY)->Data();

    Click("GoBtn");
    EXPECT_EQ(Located(routeItem), "STORE");
    EXPECT_EQ(Located(activityItem), "STORE");
    EXPECT_EQ(Located(keptItem), "MSTS");
    EXPECT_TRUE(msts.StillRunning()) << "not waited for";
    EXPECT_EQ(msts.Ran(), (QStringList{demo + "/MSTS", "-vc"})) << "started in the MSTS folder";
    EXPECT_TRUE(App().SilentClose);

    // The window closes once the click has been handled, writing its last-close state.
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(Setting("Last Close").isEmpty());
    EXPECT_EQ(Setting("Waiting Semaphore"), "0");
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
}

TEST_F(GoFromWindow, SpawnWait_WaitsForMstsToEndAndComesBackForTheNextJob) {
    // An MSTS that runs for a moment and then ends on its own.
    const QString record = drive.Host(QStringLiteral("short.txt"));
    drive.MakeFile(QStringLiteral("Prog/short.sh"),
                   "#!/bin/sh\nexec >/dev/null 2>&1\necho started >> '" + record.toUtf8() +
                       "'\nsleep 0.5\necho ended >> '" + record.toUtf8() + "'\n");
    QFile::setPermissions(drive.Host(QStringLiteral("Prog/short.sh")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    RegWriteString(kProductKey, QStringLiteral("MSTS EXE Path"),
                   ToWindowsForm(drive.Host(QStringLiteral("Prog/short.sh"))));
    WriteFlag(true, QStringLiteral("Spawn Wait"));
    StartToLaunch();
    ASSERT_TRUE(form->Checked(QStringLiteral("SpawnWaitMnu")));
    ItemNode* route = Node("Route 0", PT_ROUTE);
    Mark(route, "StoreRoute_ActivityBtn");
    const ItemSet routeItem = *route->Data();

    // While MSTS runs, the window is minimised and locked, and other copies are told it waits.
    bool sampled = false, minimised = false, busy = false;
    QString semaphore;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (sampled || drive.Content(QStringLiteral("short.txt")) != "started\n")
            return;
        sampled = true;
        minimised = form->isMinimized();
        busy = App().Busy;
        semaphore = Setting("Waiting Semaphore");
    });
    probe.start(20);
    Click("GoBtn");
    probe.stop();
    ASSERT_TRUE(sampled);
    EXPECT_TRUE(minimised && busy);
    EXPECT_EQ(semaphore, "1");
    EXPECT_EQ(drive.Content(QStringLiteral("short.txt")), "started\nended\n")
        << "ended before Go returned";
    EXPECT_EQ(Located(routeItem), "STORE");
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isMinimized());
    EXPECT_FALSE(App().SilentClose);
    EXPECT_FALSE(App().Busy);
    EXPECT_EQ(Setting("Waiting Semaphore"), "0");

    // The tree kept its marks: the stored route is brought back by the next job.
    ASSERT_EQ(form->QuarvelObjects()->Selected(), route);
    EXPECT_EQ(route->Data()->StoreInd, SI_IN_STORE);
    EXPECT_TRUE(C<QAbstractButton>("UnStoreRoute_ActivityBtn")->isEnabled());
    EXPECT_EQ(TMainForm::Glyph(C<QAbstractButton>("UnStoreRoute_ActivityBtn")), BTN_UNSTORE);
    Mark(route, "UnStoreRoute_ActivityBtn");
    Click("GoBtn");
    EXPECT_EQ(Located(routeItem), "MSTS");
    EXPECT_EQ(drive.Content(QStringLiteral("short.txt")), "started\nended\nstarted\nended\n");
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
}

} // namespace
