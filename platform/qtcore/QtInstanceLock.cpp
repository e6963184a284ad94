#include "platform/qtcore/QtInstanceLock.h"

#include <QDir>
#include <QLockFile>
#include <cstdio>

#include "platform/ProgramInfo.h"

namespace parlo::qt {

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
    if (lock_->tryLock(0)) return LockResult::Acquired;
    if (lock_->error() == QLockFile::LockFailedError) return LockResult::HeldElsewhere;
    std::fprintf(stderr,
                 "%s: cannot create the lock file '%s'; running without the check for another "
                 "running copy.\n",
                 ExecutableName().c_str(), path_.c_str());
    return LockResult::Unavailable;
}

void QtInstanceLock::Release() {
    lock_->unlock();
    result_.reset();
}

}  // namespace parlo::qt
