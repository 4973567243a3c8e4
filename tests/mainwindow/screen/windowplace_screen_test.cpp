// The main window on a screen with a window manager: it opens where it was closed, start after
// start.
#include "core/regsettings.h"
#include "mainwindow/e2ekit.h"
#include "mainwindow/screen/windowmanager.h"

#include <QtCore/qtestsupport_core.h>

using namespace qv;

namespace {

class WindowOnScreen : public DemoTest {
protected:
    void SetUp() override {
        if (qv::testing::screenWindowManager == qv::testing::WindowManager::NotInstalled)
            GTEST_SKIP() << "no Xvfb or no openbox to frame the window";
        ASSERT_EQ(qv::testing::screenWindowManager, qv::testing::WindowManager::Running);
        BuildCaches();
    }

    // Starts the window and waits until the window manager has framed and placed it.
    QRect StartFramed() {
        Start();
        (void)QTest::qWaitFor(
            [this] { return form->isActiveWindow() && form->frameGeometry() != form->geometry(); },
            10000);
        EXPECT_NE(form->frameGeometry(), form->geometry()) << "never framed";
        Settle();
        return form->frameGeometry();
    }
    // Lets the window system's answers to the window's placing arrive: the place has stood still
    // for a while (on a busy machine they come late).
    void Settle() {
        QRect last = form->frameGeometry();
        for (int still = 0, waited = 0; still < 3 && waited < 5000; waited += 100) {
            QTest::qWait(100);
            still = form->frameGeometry() == last ? still + 1 : 0;
            last = form->frameGeometry();
        }
    }
    void Close() {
        ASSERT_TRUE(form->close());
        form.reset();
    }
};

TEST_F(WindowOnScreen, Place_TheWindowOpensWhereItWasClosedStartAfterStart) {
    RegWriteString(kProductKey, QStringLiteral("Last MainForm Left"), QStringLiteral("60"));
    RegWriteString(kProductKey, QStringLiteral("Last MainForm Top"), QStringLiteral("80"));
    const QRect first = StartFramed();
    Close();
    for (int start = 2; start <= 3; ++start) {
        EXPECT_EQ(StartFramed(), first) << "start " << start;
        Close();
    }
}

// A status text wider than the window is cut: the window keeps its size, and opens with it again
// at the next start.
TEST_F(WindowOnScreen, StatusText_ALongOneIsCutAndTheWindowKeepsItsSize) {
    const QRect first = StartFramed();
    form->SetStatusText(1,
                        QStringLiteral("Saving ") + QString(60, u'x').replace(u'x', "Loco 1009 "));
    Settle();
    EXPECT_EQ(form->frameGeometry(), first);
    Close();
    EXPECT_EQ(StartFramed(), first);
    Close();
}

} // namespace
