#pragma once
// A document of one variant's factory image for the benchmarks, on time
// that stands still: the events its views post are never delivered. Its
// cells have no host, so commands that would reach a window do nothing.
#include <functional>
#include <memory>

#include "app/Document.h"
#include "cells/CellDispatcher.h"
#include "platform/Scheduler.h"
#include "runtime/EventManager.h"

namespace parlo::bench {

class StillScheduler : public Scheduler {
public:
    uint32_t NowMs() override { return 0; }
    std::unique_ptr<Timer> NewTimer(std::function<void()>) override {
        struct Idle : Timer {
            void Start(int32_t) override {}
            void Stop() override {}
        };
        return std::make_unique<Idle>();
    }
};

struct BenchDocument {
    explicit BenchDocument(int variant) {
        doc.SelectModel(variant);
        doc.NewFromDefaults();
    }

    StillScheduler clock;
    EventManager events{clock};
    Document doc{events};
    CellDispatcher cells{doc.Scope()};
};

}  // namespace parlo::bench
