#pragma once
// A periodic cooperative task: a timer that calls one callback every n
// milliseconds on the event loop. A tick that arrives while the callback
// still runs (inside a modal loop it opened) is dropped. Its owner holds it
// (std::unique_ptr) and may destroy it at any time, also from inside its
// own callback: that callback then finishes and nothing more is called.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Scheduler.h"

namespace parlo {

class TimerTask {
public:
    using Callback = std::function<void(TimerTask& task)>;

    // Stopped, no callback.
    explicit TimerTask(Scheduler& s = scheduler());
    ~TimerTask();
    TimerTask(const TimerTask&) = delete;
    TimerTask& operator=(const TimerTask&) = delete;

    void SetCallback(Callback callback) { callback_ = std::move(callback); }
    // ms < 0 stops the task; 0 runs it as often as the timer allows (1 ms).
    // Returns whether the task is stopped afterwards.
    bool SetPeriod(int32_t ms);
    // Clears the callback and stops.
    void Stop();

    int32_t Period() const { return period_; }
    bool IsStopped() const { return stopped_; }
    bool InCallback() const { return inCallback_; }

private:
    void Tick();

    std::unique_ptr<Timer> timer_;
    Callback callback_;
    int32_t period_ = -1;
    bool inCallback_ = false;
    bool stopped_ = true;
    // While the callback runs: set when the task is destroyed under it.
    bool* destroyed_ = nullptr;
};

}  // namespace parlo
