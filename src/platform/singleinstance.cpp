#include "platform/singleinstance.h"

#include "platform/registry.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <memory>
#include <unistd.h>

namespace qv {

namespace {

constexpr int kConnectTimeoutMs = 1000;
const QByteArray kRaiseRequest = QByteArrayLiteral("raise\n");

std::unique_ptr<QLocalServer>& Server() {
    static std::unique_ptr<QLocalServer> server;
    return server;
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

bool ListenAsRunningCopy(std::function<void()> raiseRequested) {
    StopListening();
    if (OtherCopyRunning())
        return false;
    const QString name = RunningCopyServerName();
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        // A copy may have started in the meantime; only a socket that nobody answers on is
        // left over and may go.
        if (server->serverError() != QAbstractSocket::AddressInUseError || OtherCopyRunning())
            return false;
        QLocalServer::removeServer(name);
        if (!server->listen(name))
            return false;
    }
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
}

} // namespace qv
