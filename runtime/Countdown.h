#pragma once
// A one-shot countdown polled by tasks: time-outs and debounce delays. The
// millisecond counter may wrap while it runs.
#include <cstdint>

namespace parlo {

class Countdown {
public:
    void Start(uint32_t ms);
    // Milliseconds left; 0 once the countdown has run out, which also ends
    // it. 0 when it was never started.
    uint32_t Remaining();
    bool IsRunning() const { return running_; }

private:
    uint32_t duration_ = 0;
    uint32_t start_ = 0;
    bool running_ = false;
};

}  // namespace parlo
