// An X server for the tests that need one: the display in $DISPLAY, else an Xvfb of the test
// program's own, started on first use (it picks a free display number and tells it through
// -displayfd) and ended when the test program ends.
#pragma once

#include <QByteArray>
#include <QStandardPaths>
#include <QString>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qv::testing {

enum class XServer { Available, NoXvfb, Failed };

class OwnXvfb {
public:
    ~OwnXvfb() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

    XServer Start() {
        const QByteArray xvfb =
            QStandardPaths::findExecutable(QStringLiteral("Xvfb")).toLocal8Bit();
        if (xvfb.isEmpty())
            return XServer::NoXvfb;
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return XServer::Failed;
        // dup2 onto another number clears close-on-exec for the child's copy.
        const int childFd = fds[1] == 9 ? 8 : 9;
        const QByteArray fdText = QByteArray::number(childFd);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], childFd);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const char* argv[] = {
            xvfb.constData(), "-displayfd", fdText.constData(), "-nolisten", "tcp", "-noreset",
            "-screen",        "0",          "800x600x24",       nullptr};
        const int error = posix_spawn(&pid_, xvfb.constData(), &actions, nullptr,
                                      const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (error != 0) {
            pid_ = 0;
            close(fds[0]);
            return XServer::Failed;
        }
        QByteArray number;
        pollfd readable{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&readable, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number.append(c);
        close(fds[0]);
        if (number.isEmpty())
            return XServer::Failed;
        qputenv("DISPLAY", ":" + number);
        return XServer::Available;
    }

private:
    pid_t pid_ = 0;
};

// The test's X server; NoXvfb when there is no display and no Xvfb to start one.
inline XServer EnsureXServer() {
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        return XServer::Available;
    static OwnXvfb server;
    static const XServer state = server.Start();
    return state;
}

} // namespace qv::testing

// Skips a test that needs an X server when no Xvfb is installed; fails it when one cannot start.
#define QV_REQUIRE_X_SERVER()                                                                      \
    do {                                                                                           \
        const ::qv::testing::XServer xState = ::qv::testing::EnsureXServer();                      \
        if (xState == ::qv::testing::XServer::NoXvfb)                                              \
            GTEST_SKIP() << "no DISPLAY and no Xvfb installed to provide one";                     \
        ASSERT_EQ(xState, ::qv::testing::XServer::Available) << "Xvfb did not start";              \
    } while (false)
