#pragma once
// The single-instance guard: a lock file in $XDG_RUNTIME_DIR (the temporary
// folder when that is unset). A lock left by a process that has died is
// taken over, and so is anything at its place that is no lock of ours.
#include <memory>
#include <optional>
#include <string>

#include "platform/InstanceLock.h"

class QLockFile;

namespace parlo::qt {

std::string InstanceLockPath();

class QtInstanceLock : public InstanceLock {
public:
    explicit QtInstanceLock(const std::string& path = InstanceLockPath());
    ~QtInstanceLock() override;

    LockResult TryAcquire() override;
    void Release() override;

private:
    LockResult Try();
    bool ClearForeign();

    std::string path_;
    std::unique_ptr<QLockFile> lock_;
    std::optional<LockResult> result_;
};

}  // namespace parlo::qt
