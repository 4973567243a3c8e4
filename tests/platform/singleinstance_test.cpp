// Two copies of the program in one test process: the listening copy and a later one that finds
// it and asks it to come to the front; a socket file left without a listener blocks nobody.
#include "fixtures/registrysandbox.h"
#include "platform/registry.h"
#include "platform/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QtCore/qtestsupport_core.h>

#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace qv {
namespace {

class SingleInstance : public ::testing::Test {
protected:
    void TearDown() override { StopListening(); }

    // Leaves a socket file bound to the copy's name with nobody listening, as a copy that was
    // killed does.
    static void LeaveStaleSocket() {
        const QByteArray path =
            QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + RunningCopyServerName());
        QFile::remove(QString::fromLocal8Bit(path));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(size_t(path.size()), sizeof(address.sun_path));
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(fd);
        ASSERT_TRUE(QFile::exists(QString::fromLocal8Bit(path)));
    }

    RegistrySandbox sandbox_;
};

TEST_F(SingleInstance, SecondCopySeesTheFirstAndItsRaiseRequestArrives) {
    EXPECT_FALSE(OtherCopyRunning());
    EXPECT_FALSE(RaiseOtherCopy());

    int raises = 0;
    ASSERT_TRUE(ListenAsRunningCopy([&raises] { ++raises; }));
    EXPECT_TRUE(OtherCopyRunning());

    ASSERT_TRUE(RaiseOtherCopy());
    EXPECT_TRUE(QTest::qWaitFor([&raises] { return raises == 1; }, 5000));
    ASSERT_TRUE(RaiseOtherCopy());
    EXPECT_TRUE(QTest::qWaitFor([&raises] { return raises == 2; }, 5000));
    // A copy that only looked does not raise the first.
    EXPECT_TRUE(OtherCopyRunning());
    QTest::qWait(50);
    EXPECT_EQ(raises, 2);

    StopListening();
    EXPECT_FALSE(OtherCopyRunning());
}

TEST_F(SingleInstance, LiveCopyOfAnotherProcessKeepsItsSocket) {
    QLocalServer other; // stands for the copy of another process
    ASSERT_TRUE(other.listen(RunningCopyServerName()));
    EXPECT_FALSE(ListenAsRunningCopy({}));
    EXPECT_TRUE(OtherCopyRunning());
    ASSERT_TRUE(RaiseOtherCopy());
    EXPECT_TRUE(QTest::qWaitFor([&other] { return other.hasPendingConnections(); }, 5000));
}

TEST_F(SingleInstance, ACopyThatHasClaimedButNotYetListenedStopsTheNext) {
    // Another process's copy between its claim and its listening: nobody answers yet.
    QDir().mkpath(RegistryDir());
    const int other = ::open(QFile::encodeName(RunningCopyLockFile()).constData(),
                             O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0); // an unlocked descriptor left open is harmless
    EXPECT_FALSE(ListenAsRunningCopy({}));
    EXPECT_FALSE(OtherCopyRunning()) << "the losing copy does not listen";
    // A second window of this process is a copy of its own too.
    ::close(other);
    ASSERT_TRUE(ListenAsRunningCopy({}));
    EXPECT_FALSE(ListenAsRunningCopy({}));
}

TEST_F(SingleInstance, StaleSocketFileDoesNotBlockTheNextCopy) {
    LeaveStaleSocket();
    EXPECT_FALSE(OtherCopyRunning());
    bool raised = false;
    ASSERT_TRUE(ListenAsRunningCopy([&raised] { raised = true; }));
    ASSERT_TRUE(RaiseOtherCopy());
    EXPECT_TRUE(QTest::qWaitFor([&raised] { return raised; }, 5000));
}

TEST_F(SingleInstance, CopiesWithDifferentRegistryFoldersDoNotSeeEachOther) {
    ASSERT_TRUE(ListenAsRunningCopy({}));
    const QString first = RunningCopyServerName();
    {
        RegistrySandbox other;
        EXPECT_NE(RunningCopyServerName(), first);
        EXPECT_FALSE(OtherCopyRunning());
    }
    EXPECT_TRUE(OtherCopyRunning());
}

} // namespace
} // namespace qv
