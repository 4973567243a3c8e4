#include "platform/singleinstance.h"

#include "platform/registry.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

namespace qv {

namespace {

constexpr int kConnectTimeoutMs = 1000;
const QByteArray kRaiseRequest = QByteArrayLiteral("raise\n");

std::unique_ptr<QLocalServer>& Server() {
    static std::unique_ptr<QLocalServer> server;
    return server;
}

// The open lock file whose lock this copy holds, -1 when it holds none.
int& ClaimHandle() {
    static int handle = -1;
    return handle;
}

enum class Claim { Held, Taken, Unavailable };

// Takes the lock that makes a copy the running one. The lock file stays for good: a file removed
// while another copy opens it would let two copies each hold a lock of their own.
Claim TakeClaim() {
    if (ClaimHandle() >= 0)
        return Claim::Taken; // by another window of this process
    QDir().mkpath(RegistryDir());
    const QByteArray name = QFile::encodeName(RunningCopyLockFile());
    const int handle = open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (handle < 0)
        return Claim::Unavailable;
    if (flock(handle, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        close(handle);
        return code == EWOULDBLOCK ? Claim::Taken : Claim::Unavailable;
    }
    ClaimHandle() = handle;
    return Claim::Held;
}

void ReleaseClaim() {
    if (ClaimHandle() >= 0)
        close(ClaimHandle());
    ClaimHandle() = -1;
}

// Reads the requests of one connected copy; the socket frees itself once the copy has gone.
void ServeConnection(QLocalSocket* socket, const std::function<void()>& raiseRequested) {
    auto serve = [socket, raiseRequested] {
        while (socket->canReadLine()) {
            if (socket->readLine() == kRaiseRequest && raiseRequested)
                raiseRequested();
        }
    };
    QObject::connect(socket, &QLocalSocket::readyRead, socket, serve);
    QObject::connect(socket, &QLocalSocket::disconnected, socket, [socket, serve] {
        serve();
        socket->deleteLater();
    });
    serve();
}

} // namespace

QString RunningCopyServerName() {
    const QString registry = QDir::cleanPath(QDir(RegistryDir()).absolutePath());
    const QByteArray digest =
        QCryptographicHash::hash(registry.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("quarvel-%1-%2").arg(getuid()).arg(QString::fromLatin1(digest));
}

QString RunningCopyLockFile() {
    return QDir(RegistryDir()).filePath(QStringLiteral("running.lock"));
}

bool ListenAsRunningCopy(std::function<void()> raiseRequested) {
    const Claim claim = TakeClaim();
    // A copy that answers holds no claim of this kind, but runs all the same.
    if (claim == Claim::Taken || OtherCopyRunning()) {
        if (claim == Claim::Held)
            ReleaseClaim();
        return false;
    }
    const QString name = RunningCopyServerName();
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    bool listening = server->listen(name);
    if (!listening && server->serverError() == QAbstractSocket::AddressInUseError) {
        // A copy may have started in the meantime; only a socket that nobody answers on is left
        // over and may go.
        if (OtherCopyRunning()) {
            ReleaseClaim();
            return false;
        }
        QLocalServer::removeServer(name);
        listening = server->listen(name);
    }
    // Without a socket this copy still runs; a later copy only cannot bring it to the front.
    if (!listening)
        return true;
    QLocalServer* raw = server.get();
    QObject::connect(raw, &QLocalServer::newConnection, raw, [raw, raiseRequested] {
        while (QLocalSocket* socket = raw->nextPendingConnection())
            ServeConnection(socket, raiseRequested);
    });
    Server() = std::move(server);
    return true;
}

bool OtherCopyRunning() {
    QLocalSocket socket;
    socket.connectToServer(RunningCopyServerName());
    const bool connected = socket.waitForConnected(kConnectTimeoutMs);
    socket.abort();
    return connected;
}

bool RaiseOtherCopy() {
    QLocalSocket socket;
    socket.connectToServer(RunningCopyServerName());
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(kRaiseRequest);
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(kConnectTimeoutMs)) {
    }
    const bool sent = socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    return sent;
}

void StopListening() {
    if (Server()) {
        Server()->close();
        Server().reset();
    }
    ReleaseClaim();
}

} // namespace qv
