#include "runtime/EventManager.h"

#include <utility>

#include "runtime/TimerTask.h"

namespace parlo {

WindowOwner WindowOwner::Next() {
    static uint64_t last = 0;
    return WindowOwner{++last};
}

EventSubscription& EventSubscription::operator=(EventSubscription&& other) noexcept {
    if (this != &other) {
        Cancel();
        subscribers_ = std::move(other.subscribers_);
        id_ = std::exchange(other.id_, 0);
        other.subscribers_.reset();
    }
    return *this;
}

void EventSubscription::Cancel() {
    if (const std::shared_ptr<List> list = subscribers_.lock()) {
        for (Subscriber& s : *list) {
            if (s.id == id_) s.removed = true;
        }
    }
    subscribers_.reset();
    id_ = 0;
}

EventManager::EventManager(Scheduler& s)
    : subscribers_(std::make_shared<EventSubscription::List>()),
      task_(std::make_unique<TimerTask>(s)) {
    task_->SetCallback([this](TimerTask&) { DispatchPass(); });
    task_->SetPeriod(kDispatchPeriodMs);
}

EventManager::~EventManager() = default;

EventSubscription EventManager::Subscribe(Handler handler) {
    if (!handler) return {};
    // In front of any walk in progress, so it misses the event being handled.
    subscribers_->push_front({++lastId_, std::move(handler)});
    return EventSubscription(subscribers_, lastId_);
}

void EventManager::Enqueue(EventRecord record) { queue_.push_back(QueueNode{std::move(record)}); }

void EventManager::Dispatch(const EventRecord& record) {
    // While any walk is in progress no subscription is unlinked, so the
    // iterators of every walk stay valid whatever the handlers do.
    struct Depth {
        int& n;
        explicit Depth(int& depth) : n(depth) { ++n; }
        ~Depth() { --n; }
    } depth(walkDepth_);
    // The list stays alive while a handler destroys the subscriptions.
    const std::shared_ptr<EventSubscription::List> list = subscribers_;
    for (EventSubscription::Subscriber& s : *list) {
        if (!s.removed) s.handler(record);
    }
}

void EventManager::DispatchPass() {
    for (QueueNode& n : queue_) n.isNew = false;
    // Events posted by the handlers are appended as new and wait for the
    // next pass, so one pass always ends.
    for (QueueNode& n : queue_) {
        if (n.done || n.isNew) continue;
        Dispatch(n.record);
        n.done = true;
    }
    queue_.remove_if([](const QueueNode& n) { return n.done; });
    if (walkDepth_ == 0)
        subscribers_->remove_if([](const EventSubscription::Subscriber& s) { return s.removed; });
}

std::vector<std::any> EventManager::Collect(const EventRecord& record) {
    requests_.push_back(OpenRequest{record.code, {}});
    // Also when a program error unwinds through the handlers (tests and the
    // fuzz targets throw from it), the requester's place comes back.
    struct Close {
        std::vector<OpenRequest>& open;
        ~Close() { open.pop_back(); }
    } close{requests_};
    Dispatch(record);
    return std::move(requests_.back().answers);
}

void EventManager::Record(uint8_t code, std::any answer) {
    if (requests_.empty() || requests_.back().code != code) return;
    requests_.back().answers.push_back(std::move(answer));
}

}  // namespace parlo
