#pragma once
// A scheduler on virtual time: the clock stands still until a test advances
// it, and then every timer that falls due fires in order of its due time,
// so minutes of timed behaviour run in milliseconds. Test devices get
// virtual handles whose readiness they answer themselves; while a handle is
// watched the clock moves a millisecond at a time and the watch is called
// in every millisecond its device has bytes to read. Installed as the
// process-wide scheduler for its life.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "platform/Scheduler.h"

namespace parlo::test {

class VirtualScheduler : public Scheduler {
public:
    explicit VirtualScheduler(uint32_t startMs = 0);
    ~VirtualScheduler() override;
    VirtualScheduler(const VirtualScheduler&) = delete;
    VirtualScheduler& operator=(const VirtualScheduler&) = delete;

    uint32_t NowMs() override { return static_cast<uint32_t>(now_); }
    std::unique_ptr<Timer> NewTimer(std::function<void()> onTick) override;
    std::unique_ptr<ReadWatch> WatchReadable(int handle, std::function<void()> onReadable) override;

    // Moves the clock ms ahead, firing the timers that fall due on the way.
    // May be called from inside a tick (a modal loop).
    void Advance(uint32_t ms);
    // Timers in existence, running or not.
    size_t TimerCount() const { return timers_.size(); }

    // A handle for a test device; `readable` says whether it has bytes.
    // `nextChangeMs`, when given, says the earliest time at which that can
    // change by itself (UINT64_MAX: only when something is done to the
    // device), so that the clock passes a quiet stretch in one step.
    int NewHandle(std::function<bool()> readable, std::function<uint64_t()> nextChangeMs = {});
    void CloseHandle(int handle);

    // The installed scheduler when it is a virtual one, else nullptr.
    static VirtualScheduler* Installed();

private:
    class VirtualTimer;
    class VirtualWatch;
    struct Entry {
        std::shared_ptr<std::function<void()>> onTick;
        bool running = false;
        uint64_t interval = 1;
        uint64_t due = 0;
        uint64_t armed = 0;  // breaks ties between equal due times
    };
    struct Watch {
        int handle;
        std::shared_ptr<std::function<void()>> onReadable;
    };

    Entry* NextDue(uint64_t until, uint64_t* id);
    bool CallReadableWatches();
    uint64_t QuietUntil();

    uint64_t now_;
    uint64_t nextId_ = 1;
    uint64_t armCount_ = 0;
    std::map<uint64_t, Entry> timers_;
    std::map<uint64_t, Watch> watches_;
    struct Handle {
        std::function<bool()> readable;
        std::function<uint64_t()> nextChangeMs;
    };
    std::map<int, Handle> handles_;
    int nextHandle_ = 1000;
    Scheduler* previous_;
};

}  // namespace parlo::test
