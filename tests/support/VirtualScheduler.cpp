#include "tests/support/VirtualScheduler.h"

#include <algorithm>

namespace parlo::test {

class VirtualScheduler::VirtualTimer : public Timer {
public:
    VirtualTimer(VirtualScheduler* owner, uint64_t id) : owner_(owner), id_(id) {}
    ~VirtualTimer() override { owner_->timers_.erase(id_); }

    void Start(int32_t intervalMs) override {
        Entry& e = owner_->timers_.at(id_);
        e.interval = static_cast<uint64_t>(std::max(intervalMs, 1));
        e.due = owner_->now_ + e.interval;
        e.armed = ++owner_->armCount_;
        e.running = true;
    }
    void Stop() override { owner_->timers_.at(id_).running = false; }

private:
    VirtualScheduler* owner_;
    uint64_t id_;
};

VirtualScheduler::VirtualScheduler(uint32_t startMs)
    : now_(startMs), previous_(SetScheduler(this)) {}

VirtualScheduler::~VirtualScheduler() { SetScheduler(previous_); }

std::unique_ptr<Timer> VirtualScheduler::NewTimer(std::function<void()> onTick) {
    const uint64_t id = nextId_++;
    timers_[id].onTick = std::make_shared<std::function<void()>>(std::move(onTick));
    return std::make_unique<VirtualTimer>(this, id);
}

VirtualScheduler::Entry* VirtualScheduler::NextDue(uint64_t until, uint64_t* id) {
    Entry* next = nullptr;
    for (auto& [i, e] : timers_) {
        if (!e.running || e.due > until) continue;
        if (next == nullptr || e.due < next->due || (e.due == next->due && e.armed < next->armed)) {
            next = &e;
            *id = i;
        }
    }
    return next;
}

void VirtualScheduler::Advance(uint32_t ms) {
    const uint64_t until = now_ + ms;
    uint64_t id = 0;
    while (Entry* e = NextDue(until, &id)) {
        now_ = std::max(now_, e->due);
        e->due = now_ + e->interval;
        e->armed = ++armCount_;
        // The tick may destroy its own timer; the copy keeps the function alive.
        const std::shared_ptr<std::function<void()>> onTick = e->onTick;
        (*onTick)();
    }
    now_ = std::max(now_, until);
}

}  // namespace parlo::test
