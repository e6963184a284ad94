#include "runtime/Countdown.h"

#include "platform/Scheduler.h"

namespace parlo {

void Countdown::Start(uint32_t ms) {
    duration_ = ms;
    start_ = scheduler().NowMs();
    running_ = true;
}

uint32_t Countdown::Remaining() {
    if (!running_) return 0;
    const uint32_t elapsed = scheduler().NowMs() - start_;  // modulo 2^32: wrap-safe
    if (elapsed < duration_) return duration_ - elapsed;
    running_ = false;
    return 0;
}

}  // namespace parlo
