#include "gui/InstanceMailbox.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstring>

#include "clone/CloneFile.h"
#include "platform/DocumentFile.h"

namespace parlo::qt {

namespace {

constexpr char kTaken[] = "ok";
constexpr char kRefused[] = "no ";
// A sender that writes more lines than this is cut off unheard.
constexpr int kMaxLines = 4 * InstanceMailbox::kMaxPaths;
// How long the answer may wait for room in the sender's socket.
constexpr int kAnswerTimeoutMs = 1000;

QString SystemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

sockaddr_un AddressOf(const QByteArray& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(),
                std::min<size_t>(static_cast<size_t>(path.size()), sizeof address.sun_path - 1));
    return address;
}

// Waits until `fd` can be read (or written) or `ms` have passed.
bool WaitFor(int fd, short events, int ms) {
    pollfd p{fd, events, 0};
    int n;
    while ((n = ::poll(&p, 1, ms)) < 0 && errno == EINTR) {
    }
    return n > 0;
}

// Writes all of `data` to a non-blocking socket, waiting at most `ms` for
// room; false when it could not.
bool WriteAll(int fd, const QByteArray& data, int ms) {
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(fd, data.constData() + done, static_cast<size_t>(data.size() - done),
                                 MSG_NOSIGNAL);
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(fd, POLLOUT, ms)) return false;
        } else {
            return false;
        }
    }
    return true;
}

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

// One sender: its socket, read as data come, closed when it is deleted.
class InstanceMailbox::Sender : public QObject {
public:
    Sender(int fd, QObject* parent) : QObject(parent), fd_(fd), reader_(fd, QSocketNotifier::Read) {}
    ~Sender() override { Close(); }
    int Fd() const { return fd_; }
    QSocketNotifier& Reader() { return reader_; }
    Letter& Mail() { return letter_; }
    // Ends the exchange at once; the sender is deleted once back in the loop.
    void Close() {
        reader_.setEnabled(false);
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        deleteLater();
    }

private:
    int fd_;
    QSocketNotifier reader_;
    Letter letter_;
};

InstanceMailbox::InstanceMailbox(const std::string& lockPath, QObject* parent)
    : QObject(parent), path_(SocketPath(lockPath)) {}

InstanceMailbox::~InstanceMailbox() {
    delete acceptor_;
    if (listener_ >= 0) ::close(listener_);
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
    ::unlink(path_.toUtf8().constData());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || !Bind(fd) || ::listen(fd, SOMAXCONN) != 0) {
        const int error = errno;
        if (fd >= 0) ::close(fd);
        problem_ = QString("cannot receive files from later starts at '%1': %2")
                       .arg(path_, SystemError(error));
        return false;
    }
    listener_ = fd;
    auto* acceptor = new QSocketNotifier(fd, QSocketNotifier::Read);
    connect(acceptor, &QSocketNotifier::activated, this, &InstanceMailbox::AcceptWaiting);
    acceptor_ = acceptor;
    return true;
}

// Only the user may connect: the socket is made in a folder of the user's
// own, given the user's access alone, and only then moved to its name. Where
// the folder's name would not fit a socket's name, it is made in place.
bool InstanceMailbox::Bind(int fd) {
    const QByteArray path = path_.toUtf8();
    QByteArray folder = path + ".XXXXXX";
    const QByteArray inside = folder + "/s";
    if (inside.size() < static_cast<qsizetype>(sizeof(sockaddr_un::sun_path)) &&
        ::mkdtemp(folder.data()) != nullptr) {
        const QByteArray made = folder + "/s";
        const sockaddr_un address = AddressOf(made);
        const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                           ::chmod(made.constData(), S_IRWXU) == 0 &&
                           ::rename(made.constData(), path.constData()) == 0;
        const int error = errno;
        ::unlink(made.constData());
        ::rmdir(folder.constData());
        errno = error;
        return bound;
    }
    const sockaddr_un address = AddressOf(path);
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
           ::chmod(path.constData(), S_IRWXU) == 0;
}

// Each sender gets a limited time for the whole exchange; a sender beyond
// the limit of open connections is not served at all.
void InstanceMailbox::AcceptWaiting() {
    for (;;) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) continue;
            return;  // none waiting (or the sender gave up already)
        }
        if (connections_ >= kMaxConnections) {
            ::close(fd);
            continue;
        }
        ++connections_;
        auto* sender = new Sender(fd, this);
        connect(sender, &QObject::destroyed, this, [this] { --connections_; });
        connect(&sender->Reader(), &QSocketNotifier::activated, sender,
                [this, sender] { Receive(*sender); });
        QTimer::singleShot(idleTimeoutMs_, sender, [sender] { sender->Close(); });
    }
}

// Reads whole lines, keeping at most kMaxPathBytes of each.
void InstanceMailbox::Receive(Sender& sender) {
    Letter& letter = sender.Mail();
    if (letter.answered || sender.Fd() < 0) return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(sender.Fd(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (n <= 0) {
            sender.Close();  // gone before the letter ended
            return;
        }
        for (ssize_t i = 0; i < n; ++i) {
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
                Answer(sender);
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
                sender.Close();
                return;
            }
        }
    }
}

// Answers for every path, then hands the paths on.
void InstanceMailbox::Answer(Sender& sender) {
    const Letter letter = sender.Mail();
    const bool tooMany = letter.paths.size() > kMaxPaths;
    QByteArray answer;
    if (letter.paths.isEmpty()) answer = QByteArray(kTaken) + '\n';
    for (qsizetype i = 0; i < letter.paths.size(); ++i) {
        const QString refusal =
            tooMany ? QString("more than %1 files at once").arg(kMaxPaths) : letter.refusals[i];
        answer += refusal.isEmpty() ? QByteArray(kTaken) : kRefused + refusal.toUtf8();
        answer += '\n';
    }
    WriteAll(sender.Fd(), answer, kAnswerTimeoutMs);
    sender.Close();
    if (letter.paths.isEmpty()) emit RaiseRequested();
    for (qsizetype i = 0; i < letter.paths.size() && !tooMany; ++i) {
        if (letter.forwarded[i]) emit FileReceived(QString::fromUtf8(letter.paths[i]));
    }
}

InstanceMailbox::Delivery InstanceMailbox::Send(const std::vector<std::string>& paths,
                                                int timeoutMs) const {
    Delivery delivery;
    QElapsedTimer clock;
    clock.start();
    const auto left = [&] {
        return std::max<int>(1, timeoutMs - static_cast<int>(clock.elapsed()));
    };
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        delivery.problem = SystemError(errno);
        return delivery;
    }
    const struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    const sockaddr_un address = AddressOf(path_.toUtf8());
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        // A running copy too busy to take the call at once may still.
        int error = errno;
        if (error == EAGAIN || error == EINPROGRESS) {
            socklen_t length = sizeof error;
            error = !WaitFor(fd, POLLOUT, left()) ? ETIMEDOUT
                    : ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 ? errno
                                                                                    : error;
        }
        if (error != 0 && error != EAGAIN && error != EINPROGRESS) {
            delivery.problem = SystemError(error);
            return delivery;
        }
    }
    QByteArray message;
    for (const std::string& path : paths) message += QByteArray::fromStdString(path) + '\n';
    message += '\n';
    const qsizetype expected = std::max<qsizetype>(1, static_cast<qsizetype>(paths.size()));
    QList<QByteArray> lines;
    QByteArray received;
    bool ended = !WriteAll(fd, message, left());
    while (!ended && lines.size() < expected && WaitFor(fd, POLLIN, left())) {
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) break;
        received.append(buffer, n);
        qsizetype end;
        while ((end = received.indexOf('\n')) >= 0 && lines.size() < expected) {
            lines << received.left(end);
            received.remove(0, end + 1);
        }
        ended = clock.elapsed() >= timeoutMs;
    }
    if (lines.size() < expected) {
        char probe;
        const bool open = ::recv(fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT) < 0 && errno == EAGAIN;
        delivery.problem = open ? QString("it did not answer in time")
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
