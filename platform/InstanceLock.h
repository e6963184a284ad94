#pragma once
// The single-instance guard: a marker held for the life of the process that
// a second copy of the program finds taken. It is never waited on.
namespace parlo {

enum class LockResult {
    Acquired,       // this process is the only instance
    HeldElsewhere,  // another instance is running
    Unavailable,    // the guard could not be made at all
};

class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // Tries once; asking again gives the first answer until Release.
    virtual LockResult TryAcquire() = 0;
    virtual void Release() = 0;
};

}  // namespace parlo
