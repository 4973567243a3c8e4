// The main of the main window's screen tests: an Xvfb of the program's own with openbox on it,
// so that the window is framed and placed by a window manager. Without Xvfb or openbox the
// tests skip.
#include "easy/fakewindow/xserver.h"
#include "mainwindow/screen/windowmanager.h"

#include <QApplication>
#include <QThread>
#include <cstring>
#include <gtest/gtest.h>

// Xlib's macros clash with Qt's names: it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace qv::testing {
WindowManager screenWindowManager = WindowManager::NotInstalled;
}

namespace {

// Whether a window manager has announced itself on the display's root window.
bool Announced() {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found =
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        count == 1;
    if (data)
        XFree(data);
    XCloseDisplay(display);
    return found;
}

// Starts openbox, quiet, on $DISPLAY and waits until it has announced itself.
qv::testing::WindowManager StartOpenbox(pid_t& pid) {
    const QByteArray program = QStandardPaths::findExecutable("openbox").toLocal8Bit();
    if (program.isEmpty())
        return qv::testing::WindowManager::NotInstalled;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const char* argv[] = {program.constData(), "--sm-disable", nullptr};
    const int error = posix_spawn(&pid, program.constData(), &actions, nullptr,
                                  const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    for (int wait = 0; error == 0 && wait < 200 && !Announced(); ++wait)
        QThread::msleep(50);
    return error == 0 && Announced() ? qv::testing::WindowManager::Running
                                     : qv::testing::WindowManager::Failed;
}

} // namespace

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    // A display of the test's own: a desktop's own window manager would place windows its way.
    qunsetenv("DISPLAY");
    const bool screen = !listing && qv::testing::EnsureXServer() == qv::testing::XServer::Available;
    pid_t openbox = 0;
    if (screen)
        qv::testing::screenWindowManager = StartOpenbox(openbox);
    qputenv("QT_QPA_PLATFORM", screen ? "xcb" : "offscreen");
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    if (openbox > 0) {
        kill(openbox, SIGTERM);
        waitpid(openbox, nullptr, 0);
    }
    return result;
}
