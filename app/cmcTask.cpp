#include "app/cmcTask.h"

namespace parlo {

cmcTask::cmcTask(Scheduler& s) : timer_(s.NewTimer([this] { Tick(); })) {}

void cmcTask::SetCallback(Callback callback, void* userData) {
    callback_ = callback;
    userData_ = userData;
}

bool cmcTask::SetPeriod(int32_t ms) {
    period_ = ms;
    if (ms < 0) {
        timer_->Stop();
    } else {
        timer_->Start(ms == 0 ? 1 : ms);
    }
    stopped_ = ms < 0;
    return stopped_;
}

void cmcTask::Stop() {
    SetCallback(nullptr, nullptr);
    SetPeriod(-1);
}

void cmcTask::Release() {
    deletePending_ = true;
    SetPeriod(1);
}

void cmcTask::Dispose(cmcTask*& task) {
    if (task == nullptr) return;
    if (task->inCallback_) {
        task->Stop();
        task->Release();
    } else {
        delete task;
    }
    task = nullptr;
}

void cmcTask::Tick() {
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
