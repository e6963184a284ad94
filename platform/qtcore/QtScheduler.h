#pragma once
// The scheduler of both programs: timers and read notifiers on the Qt event
// loop of the thread that creates them, and the system's monotonic
// millisecond clock.
#include "platform/Scheduler.h"

namespace parlo::qt {

class QtScheduler : public Scheduler {
public:
    uint32_t NowMs() override;
    std::unique_ptr<Timer> NewTimer(std::function<void()> onTick) override;
    std::unique_ptr<ReadWatch> WatchReadable(int handle, std::function<void()> onReadable) override;
};

}  // namespace parlo::qt
