#pragma once
// A scheduler on virtual time: the clock stands still until a test advances
// it, and then every timer that falls due fires in order of its due time,
// so minutes of timed behaviour run in milliseconds. Installed as the
// process-wide scheduler for its life.
#include <cstdint>
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

    // Moves the clock ms ahead, firing the timers that fall due on the way.
    // May be called from inside a tick (a modal loop).
    void Advance(uint32_t ms);
    // Timers in existence, running or not.
    size_t TimerCount() const { return timers_.size(); }

private:
    class VirtualTimer;
    struct Entry {
        std::shared_ptr<std::function<void()>> onTick;
        bool running = false;
        uint64_t interval = 1;
        uint64_t due = 0;
        uint64_t armed = 0;  // breaks ties between equal due times
    };

    Entry* NextDue(uint64_t until, uint64_t* id);

    uint64_t now_;
    uint64_t nextId_ = 1;
    uint64_t armCount_ = 0;
    std::map<uint64_t, Entry> timers_;
    Scheduler* previous_;
};

}  // namespace parlo::test
