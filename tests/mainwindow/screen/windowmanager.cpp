#include "mainwindow/screen/windowmanager.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QString>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

// Xlib's macros clash with Qt's names: it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

extern char** environ;

namespace qv::testing {

namespace {

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

} // namespace

OwnWindowManager::~OwnWindowManager() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

WindowManager OwnWindowManager::Start() {
    const QByteArray program =
        QStandardPaths::findExecutable(QStringLiteral("openbox")).toLocal8Bit();
    if (program.isEmpty())
        return WindowManager::NotInstalled;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const char* argv[] = {program.constData(), "--sm-disable", nullptr};
    const int error = posix_spawn(&pid_, program.constData(), &actions, nullptr,
                                  const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        pid_ = 0;
        return WindowManager::Failed;
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        if (Announced())
            return WindowManager::Running;
        QThread::msleep(50);
    }
    return WindowManager::Failed;
}

} // namespace qv::testing
