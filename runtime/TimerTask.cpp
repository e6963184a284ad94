#include "runtime/TimerTask.h"

namespace parlo {

TimerTask::TimerTask(Scheduler& s) : timer_(s.NewTimer([this] { Tick(); })) {}

TimerTask::~TimerTask() {
    if (destroyed_ != nullptr) *destroyed_ = true;
}

bool TimerTask::SetPeriod(int32_t ms) {
    period_ = ms;
    if (ms < 0) {
        timer_->Stop();
    } else {
        timer_->Start(ms == 0 ? 1 : ms);
    }
    stopped_ = ms < 0;
    return stopped_;
}

void TimerTask::Stop() {
    callback_ = nullptr;
    SetPeriod(-1);
}

void TimerTask::Tick() {
    if (inCallback_ || !callback_) return;
    inCallback_ = true;
    bool destroyed = false;
    destroyed_ = &destroyed;
    // The callback may destroy the task, and with it callback_: it runs
    // from a copy, and the task is not touched again once it is gone.
    const Callback running = callback_;
    running(*this);
    if (destroyed) return;
    destroyed_ = nullptr;
    inCallback_ = false;
}

}  // namespace parlo
