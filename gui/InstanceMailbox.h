#pragma once
// The running copy's mailbox: a local socket beside the single-instance lock.
// A second start that was given files hands them over here instead of
// ending silently, and the running copy opens them. Only the user who runs
// the program can connect.
#include <QLocalServer>
#include <QObject>
#include <QStringList>
#include <string>

class QLocalSocket;

namespace parlo::qt {

class InstanceMailbox : public QObject {
    Q_OBJECT
public:
    // The mailbox that belongs to the lock at `lockPath`.
    explicit InstanceMailbox(const std::string& lockPath, QObject* parent = nullptr);

    // The running copy (the lock's owner): opens the mailbox. A socket left
    // by a copy that died is replaced. False when it cannot be made; the
    // program then runs on without it.
    bool Listen();
    // A second copy: hands `paths` to the running one. True once the running
    // copy has confirmed them.
    bool Send(const QStringList& paths, int timeoutMs = 5000) const;

    // The socket's path: the lock's, with ".socket" for its ending.
    static QString SocketPath(const std::string& lockPath);

    // Limits on what a sender may hand over.
    static constexpr qsizetype kMaxPathBytes = 4096;
    static constexpr int kMaxPaths = 16;

signals:
    // A path handed over, in the order sent.
    void FileReceived(const QString& path);

private:
    void Receive(QLocalSocket* socket);

    QString path_;
    QLocalServer server_;
};

}  // namespace parlo::qt
