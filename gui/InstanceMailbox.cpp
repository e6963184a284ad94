#include "gui/InstanceMailbox.h"

#include <QLocalSocket>
#include <QVariant>

namespace parlo::qt {

namespace {

// One path per line; an empty line ends the list. The answer is "ok".
constexpr char kAnswer[] = "ok\n";

}  // namespace

InstanceMailbox::InstanceMailbox(const std::string& lockPath, QObject* parent)
    : QObject(parent), path_(SocketPath(lockPath)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Receive(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString InstanceMailbox::SocketPath(const std::string& lockPath) {
    QString path = QString::fromStdString(lockPath);
    if (path.endsWith(QLatin1String(".lock"))) path.chop(5);
    return path + QLatin1String(".socket");
}

bool InstanceMailbox::Listen() {
    // Only the lock's owner listens, so a socket that is there is stale.
    QLocalServer::removeServer(path_);
    return server_.listen(path_);
}

// Reads whole lines; a sender that breaks the limits is cut off unheard.
void InstanceMailbox::Receive(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(kMaxPathBytes + 2);
        QStringList paths = socket->property("parloPaths").toStringList();
        if (!line.endsWith('\n') || paths.size() > kMaxPaths) {
            socket->abort();
            return;
        }
        if (line == "\n") {
            socket->write(kAnswer);
            socket->flush();
            socket->disconnectFromServer();
            for (const QString& path : paths) emit FileReceived(path);
            return;
        }
        paths << QString::fromUtf8(line.chopped(1));
        socket->setProperty("parloPaths", paths);
    }
    if (socket->bytesAvailable() > kMaxPathBytes) socket->abort();
}

bool InstanceMailbox::Send(const QStringList& paths, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    QByteArray message;
    for (const QString& path : paths) message += path.toUtf8() + '\n';
    message += '\n';
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs)) return false;
    }
    return socket.readLine() == kAnswer;
}

}  // namespace parlo::qt
