#pragma once
// The running copy's mailbox: a local socket beside the single-instance lock.
// A later start hands over the files it was given (or, with none, asks for
// the window to come to the front) instead of ending silently, and the
// running copy opens them. Only the user who runs the program can connect.
//
// The sender writes one absolute path per line and an empty line; the
// running copy answers each path with "ok" or "no " and the reason, one
// line each, in the order sent (a single "ok" for an empty list).
#include <QLocalServer>
#include <QObject>
#include <QStringList>
#include <string>
#include <vector>

class QLocalSocket;

namespace parlo::qt {

class InstanceMailbox : public QObject {
    Q_OBJECT
public:
    // What a hand-over came to.
    struct Delivery {
        bool answered = false;  // the running copy answered for every path
        QString problem;        // why not, when it did not
        QStringList refusals;   // per path: empty when taken, else why not
    };

    // The mailbox that belongs to the lock at `lockPath`.
    explicit InstanceMailbox(const std::string& lockPath, QObject* parent = nullptr);

    // The running copy (the lock's owner): opens the mailbox. A socket left
    // by a copy that died is replaced. False, with Problem() saying why,
    // when it cannot be made; the program then runs on without it.
    bool Listen();
    const QString& Problem() const { return problem_; }
    // A later start: hands `paths` to the running copy and waits for its
    // answers.
    Delivery Send(const std::vector<std::string>& paths, int timeoutMs = 5000) const;

    // The socket's path: the lock's, with ".socket" for its ending.
    static QString SocketPath(const std::string& lockPath);

    // Limits on what a sender may hand over, and on how long it may take.
    static constexpr qsizetype kMaxPathBytes = 4096;
    static constexpr int kMaxPaths = 16;
    static constexpr int kMaxConnections = 8;
    void SetIdleTimeout(int ms) { idleTimeoutMs_ = ms; }

signals:
    // A path handed over, in the order sent. It may name no usable file:
    // opening it says why.
    void FileReceived(const QString& path);
    // A start without files: the window should come to the front.
    void RaiseRequested();

private:
    struct Letter;
    void Accept(QLocalSocket* socket);
    void Receive(QLocalSocket* socket, Letter& letter);
    void Answer(QLocalSocket* socket, const Letter& letter);

    QString path_;
    QString problem_;
    QLocalServer server_;
    int idleTimeoutMs_ = 10000;
    int connections_ = 0;
};

}  // namespace parlo::qt
