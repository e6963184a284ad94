#pragma once
// A periodic cooperative task: a timer that calls one callback every n
// milliseconds on the event loop. A tick that arrives while the callback
// still runs (inside a modal loop it opened) is dropped. A task lives on
// the heap and can be deleted safely from inside its own callback: it is
// asked to delete itself on its next tick.
#include <cstdint>
#include <memory>

#include "platform/Scheduler.h"

namespace parlo {

class TimerTask {
public:
    using Callback = void (*)(void* userData, TimerTask* task);

    // Stopped, no callback. Always create with new; end with Dispose or
    // Release, never with delete.
    explicit TimerTask(Scheduler& s = scheduler());
    TimerTask(const TimerTask&) = delete;
    TimerTask& operator=(const TimerTask&) = delete;

    void SetCallback(Callback callback, void* userData);
    // ms < 0 stops the task; 0 runs it as often as the timer allows (1 ms).
    // Returns whether the task is stopped afterwards.
    bool SetPeriod(int32_t ms);
    // Clears the callback and stops.
    void Stop();
    // The task deletes itself on its next tick.
    void Release();

    int32_t Period() const { return period_; }
    bool IsStopped() const { return stopped_; }
    bool InCallback() const { return inCallback_; }
    bool DeletePending() const { return deletePending_; }

    // How an owner lets go of its task: deleted at once, unless the owner is
    // being destroyed from inside the task's callback; then the task is
    // stopped and released and deletes itself on its next tick. Sets *task
    // to nullptr; does nothing when it already is.
    static void Dispose(TimerTask*& task);

private:
    ~TimerTask() = default;
    void Tick();

    std::unique_ptr<Timer> timer_;
    Callback callback_ = nullptr;
    void* userData_ = nullptr;
    int32_t period_ = -1;
    bool inCallback_ = false;
    bool deletePending_ = false;
    bool stopped_ = true;
};

}  // namespace parlo
