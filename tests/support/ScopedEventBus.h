#pragma once
// A virtual clock and an event manager on it, installed as the process's own
// for the life of the object.
#include "runtime/EventManager.h"
#include "tests/support/VirtualScheduler.h"

namespace parlo::test {

struct ScopedEventBus {
    VirtualScheduler clock;
    EventManager events{clock};
    EventManager* previous = SetEventManager(&events);

    ScopedEventBus() = default;
    ScopedEventBus(const ScopedEventBus&) = delete;
    ScopedEventBus& operator=(const ScopedEventBus&) = delete;
    ~ScopedEventBus() { SetEventManager(previous); }
};

}  // namespace parlo::test
