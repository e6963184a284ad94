#include "platform/qtcore/QtInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QLockFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/ProgramInfo.h"

namespace parlo::qt {

namespace {

// A lock of ours is a few short lines; a bigger file is none of ours.
constexpr ssize_t kMaxLockBytes = 4096;

// True when what is at `path` reads as a lock of ours: a regular file whose
// first line is a process number. Opens nothing else, so a FIFO or device
// at the path cannot block or be woken.
bool ReadsAsLock(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    char text[kMaxLockBytes + 1];
    ssize_t n = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) n = ::read(fd, text, sizeof text);
    ::close(fd);
    if (n <= 0 || n > kMaxLockBytes) return false;
    ssize_t digits = 0;
    while (digits < n && text[digits] >= '0' && text[digits] <= '9') ++digits;
    return digits > 0 && digits < n && text[digits] == '\n' && text[0] != '0';
}

enum class Removal { Removed, Held, Failed };

// Removes the regular file at `path` unless a running copy holds it locked
// (a copy that has only just created its lock and not yet written it).
// Removed while holding its lock, so that no copy starting at the same
// moment loses a lock it has just made. errno says why it failed.
Removal RemoveUnheld(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? Removal::Removed : Removal::Failed;
    Removal result = Removal::Removed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        result = errno == EWOULDBLOCK ? Removal::Held : Removal::Failed;
    } else if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        result = Removal::Failed;
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    return result;
}

}  // namespace

std::string InstanceLockPath() {
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty()) dir = QDir::tempPath();
    return (dir + "/Keld Parlo APP Exclusive Mutex.lock").toStdString();
}

QtInstanceLock::QtInstanceLock(const std::string& path)
    : path_(path), lock_(std::make_unique<QLockFile>(QString::fromStdString(path))) {
    // The guard is held for the life of the program: only a lock whose
    // process has died is stale, never one that is merely old.
    lock_->setStaleLockTime(0);
}

QtInstanceLock::~QtInstanceLock() = default;

LockResult QtInstanceLock::TryAcquire() {
    if (!result_) result_ = Try();
    return *result_;
}

LockResult QtInstanceLock::Try() {
    if (!ClearForeign()) return LockResult::Unavailable;
    if (lock_->tryLock(0)) return LockResult::Acquired;
    if (lock_->error() == QLockFile::LockFailedError) return LockResult::HeldElsewhere;
    std::fprintf(stderr,
                 "%s: cannot create the lock file '%s'; running without the check for another "
                 "running copy.\n",
                 ExecutableName().c_str(), path_.c_str());
    return LockResult::Unavailable;
}

// Something at the lock's path that cannot be read as a lock (garbage, an
// empty file, a FIFO) was not left there by a running copy, so it is stale:
// it is removed, once, with a word on stderr. False when it cannot be.
bool QtInstanceLock::ClearForeign() {
    struct stat st {};
    if (::lstat(path_.c_str(), &st) != 0 || ReadsAsLock(path_)) return true;
    Removal removal = Removal::Failed;
    errno = EISDIR;
    if (S_ISREG(st.st_mode)) {
        removal = RemoveUnheld(path_);
    } else if (!S_ISDIR(st.st_mode)) {
        removal =
            ::unlink(path_.c_str()) == 0 || errno == ENOENT ? Removal::Removed : Removal::Failed;
    }
    if (removal == Removal::Failed) {
        std::fprintf(stderr,
                     "%s: '%s' is not a lock file of this program and cannot be removed: %s; "
                     "running without the check for another running copy.\n",
                     ExecutableName().c_str(), path_.c_str(), std::strerror(errno));
        return false;
    }
    if (removal == Removal::Removed) {
        std::fprintf(stderr,
                     "%s: the lock file '%s' could not be read as a lock of this program "
                     "(damaged or empty); it was taken as left behind and replaced.\n",
                     ExecutableName().c_str(), path_.c_str());
    }
    return true;
}

void QtInstanceLock::Release() {
    lock_->unlock();
    result_.reset();
}

}  // namespace parlo::qt
