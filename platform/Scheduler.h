#pragma once
// Time for the core: a millisecond counter, periodic timers and watches on
// devices with bytes to read, whose calls arrive on the one thread that runs
// everything. The programs run them on the Qt event loop; tests run them on
// virtual time.
#include <cstdint>
#include <functional>
#include <memory>

namespace parlo {

class Timer {
public:
    virtual ~Timer() = default;
    // (Re)starts the timer: it fires every intervalMs (1 ms at least) from
    // now on until stopped.
    virtual void Start(int32_t intervalMs) = 0;
    virtual void Stop() = 0;
};

// Watches one device handle for as long as it lives.
class ReadWatch {
public:
    virtual ~ReadWatch() = default;
};

class Scheduler {
public:
    virtual ~Scheduler() = default;
    // Milliseconds since an arbitrary start; wraps after about 49.7 days.
    virtual uint32_t NowMs() = 0;
    // A stopped timer that calls onTick on every tick. The timer may be
    // destroyed from inside onTick.
    virtual std::unique_ptr<Timer> NewTimer(std::function<void()> onTick) = 0;
    // Calls onReadable whenever the device behind `handle` (a file
    // descriptor) has bytes to read, for as long as the watch lives. The call
    // must read them, or it comes again at once. The watch may be destroyed
    // from inside onReadable, and must be before the handle is closed.
    // nullptr when this scheduler cannot watch handles: polling alone serves.
    virtual std::unique_ptr<ReadWatch> WatchReadable(int handle, std::function<void()> onReadable) {
        (void)handle;
        (void)onReadable;
        return nullptr;
    }
};

// The process-wide scheduler. Using it before one is installed is a program
// error.
Scheduler& scheduler();
// Installs s (not owned) and returns the previous one.
Scheduler* SetScheduler(Scheduler* s);

}  // namespace parlo
