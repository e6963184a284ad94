#include "gui/InstanceMailbox.h"

#include <sys/un.h>

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QTimer>
#include <memory>

#include "clone/CloneFile.h"
#include "platform/DocumentFile.h"

namespace parlo::qt {

namespace {

constexpr char kTaken[] = "ok";
constexpr char kRefused[] = "no ";
// A sender that writes more lines than this is cut off unheard.
constexpr int kMaxLines = 4 * InstanceMailbox::kMaxPaths;

// Why a line cannot be taken as a path at all; empty when it can.
QString PathProblem(const QByteArray& line, bool tooLong) {
    if (tooLong)
        return QString("the path is longer than %1 bytes").arg(InstanceMailbox::kMaxPathBytes);
    if (line.contains('\0')) return "the path contains a NUL character";
    if (!line.startsWith('/')) return "the path is not absolute";
    if (!line.isValidUtf8()) return "the path is not UTF-8 text, which this program cannot open";
    return {};
}

}  // namespace

// What one sender has written so far: the line being read, and for each
// whole line the path and why it is not taken.
struct InstanceMailbox::Letter {
    QByteArray partial;
    bool partialTooLong = false;
    QList<QByteArray> paths;
    QStringList refusals;
    QList<bool> forwarded;  // given to the window, which says itself what is wrong
    bool answered = false;
};

InstanceMailbox::InstanceMailbox(const std::string& lockPath, QObject* parent)
    : QObject(parent), path_(SocketPath(lockPath)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) Accept(socket);
    });
}

QString InstanceMailbox::SocketPath(const std::string& lockPath) {
    QString path = QString::fromStdString(lockPath);
    if (path.endsWith(QLatin1String(".lock"))) path.chop(5);
    return path + QLatin1String(".socket");
}

bool InstanceMailbox::Listen() {
    problem_.clear();
    // A local socket's name has a fixed room; a longer one would be cut.
    const qsizetype room = static_cast<qsizetype>(sizeof(sockaddr_un::sun_path)) - 1;
    if (path_.toUtf8().size() > room) {
        problem_ = QString(
                       "cannot receive files from later starts: the socket path '%1' is longer "
                       "than the %2 bytes a local socket may have (set XDG_RUNTIME_DIR to a "
                       "shorter folder)")
                       .arg(path_)
                       .arg(room);
        return false;
    }
    // Only the lock's owner listens, so a socket that is there is stale.
    QLocalServer::removeServer(path_);
    if (server_.listen(path_)) return true;
    problem_ = QString("cannot receive files from later starts at '%1': %2")
                   .arg(path_, server_.errorString());
    return false;
}

// Each sender gets a limited time for the whole exchange; a sender beyond
// the limit of open connections is not served at all.
void InstanceMailbox::Accept(QLocalSocket* socket) {
    socket->setParent(this);
    if (connections_ >= kMaxConnections) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    ++connections_;
    connect(socket, &QObject::destroyed, this, [this] { --connections_; });
    connect(socket, &QLocalSocket::readyRead, this,
            [this, socket, letter = std::make_shared<Letter>()] { Receive(socket, *letter); });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(idleTimeoutMs_, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
}

// Reads whole lines, keeping at most kMaxPathBytes of each.
void InstanceMailbox::Receive(QLocalSocket* socket, Letter& letter) {
    if (letter.answered) return;
    char buffer[4096];
    qint64 n = 0;
    while ((n = socket->read(buffer, sizeof buffer)) > 0) {
        for (qint64 i = 0; i < n; ++i) {
            const char c = buffer[i];
            if (c != '\n') {
                if (letter.partial.size() < kMaxPathBytes) {
                    letter.partial.append(c);
                } else {
                    letter.partialTooLong = true;
                }
                continue;
            }
            if (letter.partial.isEmpty() && !letter.partialTooLong) {
                letter.answered = true;
                Answer(socket, letter);
                return;
            }
            const QString problem = PathProblem(letter.partial, letter.partialTooLong);
            QString refusal = problem;
            if (problem.isEmpty()) {
                const FileFailure why = DocumentFileProblem(letter.partial.toStdString());
                if (why.problem != FileProblem::None)
                    refusal = QString::fromStdString(FileFailureText(why));
            }
            letter.paths << letter.partial;
            letter.refusals << refusal;
            letter.forwarded << problem.isEmpty();
            letter.partial.clear();
            letter.partialTooLong = false;
            if (letter.paths.size() > kMaxLines) {
                socket->abort();
                return;
            }
        }
    }
}

// Answers for every path, then hands the paths on.
void InstanceMailbox::Answer(QLocalSocket* socket, const Letter& letter) {
    const bool tooMany = letter.paths.size() > kMaxPaths;
    QByteArray answer;
    if (letter.paths.isEmpty()) answer = QByteArray(kTaken) + '\n';
    for (qsizetype i = 0; i < letter.paths.size(); ++i) {
        const QString refusal =
            tooMany ? QString("more than %1 files at once").arg(kMaxPaths) : letter.refusals[i];
        answer += refusal.isEmpty() ? QByteArray(kTaken) : kRefused + refusal.toUtf8();
        answer += '\n';
    }
    socket->write(answer);
    socket->flush();
    socket->disconnectFromServer();
    if (letter.paths.isEmpty()) emit RaiseRequested();
    for (qsizetype i = 0; i < letter.paths.size() && !tooMany; ++i) {
        if (letter.forwarded[i]) emit FileReceived(QString::fromUtf8(letter.paths[i]));
    }
}

InstanceMailbox::Delivery InstanceMailbox::Send(const std::vector<std::string>& paths,
                                                int timeoutMs) const {
    Delivery delivery;
    QLocalSocket socket;
    QElapsedTimer clock;
    clock.start();
    const auto left = [&] {
        return std::max<int>(1, timeoutMs - static_cast<int>(clock.elapsed()));
    };
    socket.connectToServer(path_);
    if (!socket.waitForConnected(left())) {
        delivery.problem = socket.errorString();
        return delivery;
    }
    QByteArray message;
    for (const std::string& path : paths) message += QByteArray::fromStdString(path) + '\n';
    message += '\n';
    socket.write(message);
    const qsizetype expected = std::max<qsizetype>(1, static_cast<qsizetype>(paths.size()));
    QList<QByteArray> lines;
    while (lines.size() < expected) {
        if (!socket.canReadLine() && !socket.waitForReadyRead(left())) break;
        while (socket.canReadLine() && lines.size() < expected)
            lines << socket.readLine().chopped(1);
    }
    if (lines.size() < expected) {
        delivery.problem = socket.state() == QLocalSocket::ConnectedState
                               ? QString("it did not answer in time")
                               : QString("it ended the exchange without answering");
        return delivery;
    }
    delivery.answered = true;
    for (qsizetype i = 0; i < static_cast<qsizetype>(paths.size()); ++i) {
        const QByteArray& line = lines[i];
        delivery.refusals << (line == kTaken ? QString()
                              : line.startsWith(kRefused)
                                  ? QString::fromUtf8(line.mid(qsizetype(sizeof kRefused) - 1))
                                  : QString("it gave an answer this program does not know"));
    }
    return delivery;
}

}  // namespace parlo::qt
