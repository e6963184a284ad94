#include "runtime/TimerTask.h"

namespace parlo {

TimerTask::TimerTask(Scheduler& s) : timer_(s.NewTimer([this] { Tick(); })) {}

void TimerTask::SetCallback(Callback callback, void* userData) {
    callback_ = callback;
    userData_ = userData;
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
    SetCallback(nullptr, nullptr);
    SetPeriod(-1);
}

void TimerTask::Release() {
    deletePending_ = true;
    SetPeriod(1);
}

void TimerTask::Dispose(TimerTask*& task) {
    if (task == nullptr) return;
    if (task->inCallback_) {
        task->Stop();
        task->Release();
    } else {
        delete task;
    }
    task = nullptr;
}

void TimerTask::Tick() {
    if (deletePending_) {
        delete this;
        return;
    }
    if (inCallback_ || callback_ == nullptr) return;
    inCallback_ = true;
    callback_(userData_, this);
    inCallback_ = false;
}

}  // namespace parlo
