#pragma once
// A virtual clock and an event manager on it, installed as the process's own
// for the life of the object.
#include "app/cmcEvMan.h"
#include "tests/support/VirtualScheduler.h"

namespace parlo::test {

struct ScopedEventBus {
    VirtualScheduler clock;
    cmcEvMan events{clock};
    cmcEvMan* previous = SetEventManager(&events);

    ScopedEventBus() = default;
    ScopedEventBus(const ScopedEventBus&) = delete;
    ScopedEventBus& operator=(const ScopedEventBus&) = delete;
    ~ScopedEventBus() { SetEventManager(previous); }
};

}  // namespace parlo::test
