#include "tests/support/VirtualScheduler.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace parlo::test {

namespace {
VirtualScheduler* gInstalled = nullptr;
}  // namespace

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

class VirtualScheduler::VirtualWatch : public ReadWatch {
public:
    VirtualWatch(VirtualScheduler* owner, uint64_t id) : owner_(owner), id_(id) {}
    ~VirtualWatch() override { owner_->watches_.erase(id_); }

private:
    VirtualScheduler* owner_;
    uint64_t id_;
};

VirtualScheduler::VirtualScheduler(uint32_t startMs)
    : now_(startMs), previous_(SetScheduler(this)) {
    gInstalled = this;
}

VirtualScheduler::~VirtualScheduler() {
    SetScheduler(previous_);
    gInstalled = nullptr;
}

VirtualScheduler* VirtualScheduler::Installed() { return gInstalled; }

std::unique_ptr<Timer> VirtualScheduler::NewTimer(std::function<void()> onTick) {
    const uint64_t id = nextId_++;
    timers_[id].onTick = std::make_shared<std::function<void()>>(std::move(onTick));
    return std::make_unique<VirtualTimer>(this, id);
}

std::unique_ptr<ReadWatch> VirtualScheduler::WatchReadable(int handle,
                                                           std::function<void()> onReadable) {
    if (handles_.count(handle) == 0) return nullptr;
    const uint64_t id = nextId_++;
    watches_[id] = {handle, std::make_shared<std::function<void()>>(std::move(onReadable))};
    return std::make_unique<VirtualWatch>(this, id);
}

int VirtualScheduler::NewHandle(std::function<bool()> readable,
                                std::function<uint64_t()> nextChangeMs) {
    handles_[nextHandle_] = {std::move(readable), std::move(nextChangeMs)};
    return nextHandle_++;
}

void VirtualScheduler::CloseHandle(int handle) { handles_.erase(handle); }

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

// Each watch whose device has bytes is called once; a call may add or
// remove watches and handles. True when any was called.
bool VirtualScheduler::CallReadableWatches() {
    const auto readable = [this](int handle) {
        const auto h = handles_.find(handle);
        return h != handles_.end() && h->second.readable();
    };
    std::vector<uint64_t> ids;
    for (const auto& [id, w] : watches_) {
        if (readable(w.handle)) ids.push_back(id);
    }
    bool called = false;
    for (uint64_t id : ids) {
        const auto w = watches_.find(id);
        if (w == watches_.end() || !readable(w->second.handle)) continue;
        const std::shared_ptr<std::function<void()>> onReadable = w->second.onReadable;
        (*onReadable)();
        called = true;
    }
    return called;
}

// The next millisecond, or later when no watched device can become
// readable before then by itself.
uint64_t VirtualScheduler::QuietUntil() {
    uint64_t quiet = UINT64_MAX;
    for (const auto& [id, w] : watches_) {
        const auto h = handles_.find(w.handle);
        if (h == handles_.end()) continue;
        if (!h->second.nextChangeMs) return now_ + 1;
        quiet = std::min(quiet, std::max(now_ + 1, h->second.nextChangeMs()));
    }
    return quiet;
}

void VirtualScheduler::Advance(uint32_t ms) {
    const uint64_t until = now_ + ms;
    for (;;) {
        // Without watches, or while no watched device can change, the clock
        // jumps from timer to timer; else it moves a millisecond at a time.
        const bool called = CallReadableWatches();
        const uint64_t horizon =
            watches_.empty() ? until : std::min(until, called ? now_ + 1 : QuietUntil());
        uint64_t id = 0;
        if (Entry* e = NextDue(horizon, &id)) {
            now_ = std::max(now_, e->due);
            e->due = now_ + e->interval;
            e->armed = ++armCount_;
            // The tick may destroy its own timer; the copy keeps the function alive.
            const std::shared_ptr<std::function<void()>> onTick = e->onTick;
            (*onTick)();
            continue;
        }
        if (horizon <= now_ || now_ >= until) break;
        now_ = horizon;
    }
    now_ = std::max(now_, until);
}

}  // namespace parlo::test
