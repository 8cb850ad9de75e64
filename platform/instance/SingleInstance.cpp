#include "platform/instance/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <unistd.h>

SingleInstance::SingleInstance(const QString &lockFolder, const QString &serverName,
                               QObject *parent)
    : QObject(parent), folder(lockFolder), name(serverName) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultLockFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString SingleInstance::DefaultServerName() {
    return QStringLiteral("Quillary-") + QString::number(::getuid());
}

QString SingleInstance::lockFilePath() const {
    return QDir(folder).filePath(QStringLiteral("Quillary.lock"));
}

bool SingleInstance::tryLock() {
    if (isLocked()) return true;
    QDir().mkpath(folder);
    auto l = std::make_unique<QLockFile>(lockFilePath());
    // Only a dead holder makes the lock stale, never its age: a copy that
    // has run for a long time keeps its lock.
    l->setStaleLockTime(0);
    if (!l->tryLock(0)) return false;
    lock = std::move(l);
    return true;
}

bool SingleInstance::isLocked() const {
    return lock && lock->isLocked();
}

bool SingleInstance::listen() {
    if (server) return server->isListening();
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(name);
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return server->listen(name);
}

void SingleInstance::acceptConnections() {
    struct Message {
        QByteArray bytes;
        bool done = false;
    };
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        auto message = std::make_shared<Message>();
        // A message ends when the sender closes its side.
        auto finish = [this, socket, message] {
            if (message->done) return;
            message->done = true;
            message->bytes.append(socket->readAll());
            socket->deleteLater();
            emit messageReceived(message->bytes);
        };
        connect(socket, &QLocalSocket::readyRead, socket,
                [socket, message] { message->bytes.append(socket->readAll()); });
        connect(socket, &QLocalSocket::disconnected, this, finish);
        if (socket->state() == QLocalSocket::UnconnectedState) finish();
    }
}

bool SingleInstance::SendToRunningCopy(const QByteArray &bytes, const QString &serverName,
                                       int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName, QIODevice::WriteOnly);
    if (!socket.waitForConnected(timeoutMs)) return false;
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = socket.write(bytes.constData() + written, bytes.size() - written);
        if (n < 0) return false;
        written += n;
    }
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(timeoutMs)) return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs);
    return true;
}
