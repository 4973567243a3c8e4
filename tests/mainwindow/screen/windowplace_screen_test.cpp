// The main window on a screen with a window manager: it opens where it was closed, start after
// start, and its status bar is read at every size.
#include "core/regsettings.h"
#include "mainwindow/e2ekit.h"
#include "mainwindow/screen/windowmanager.h"

#include <QLabel>
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
    // Lets the window system's answers to the window's placing arrive.
    static void Settle() { QTest::qWait(300); }
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

// The status bar's panels keep the height of their text, and lie inside the window, at every
// size the user gives it.
TEST_F(WindowOnScreen, StatusBar_ItsTextIsReadAtEverySize) {
    StartFramed();
    auto* panel = form->findChild<QLabel*>(QStringLiteral("StatusPanel1"));
    ASSERT_TRUE(panel);
    for (const int height : {form->height(), form->height() + 200}) {
        form->resize(form->width(), height);
        Settle();
        form->SetStatusText(1, QStringLiteral("SURVEY"));
        Settle();
        EXPECT_GE(panel->height(), panel->fontMetrics().height()) << "window height " << height;
        EXPECT_LE(panel->mapTo(form.get(), QPoint(0, panel->height())).y(), form->height());
        EXPECT_TRUE(panel->isVisible());
    }
    Close();
}

} // namespace
