#pragma once
// An event bus: the views of one document talk over theirs. Components
// subscribe a handler and keep the subscription it returns; any component
// sends an event (handled at once), posts one (handled by the next dispatch
// pass of the bus's 10 ms task) or issues a request whose handlers may
// answer. Everything runs on the event-loop thread, and handlers may
// re-enter the bus freely.
#include <any>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/Scheduler.h"
#include "runtime/EventCodes.h"

namespace parlo {

class TimerTask;

enum class EvMode : uint8_t { Queued = 0, Immediate = 1, Request = 2 };

// One event as handlers see it. Handlers read it during the call only.
class EventRecord {
public:
    EventRecord(uint8_t code, EvMode mode, std::any payload)
        : code(code), mode(mode), payload_(std::move(payload)) {}

    uint8_t code;
    EvMode mode;

    bool Is(uint8_t number) const { return code == number; }
    // The payload when the event is of this code, else nullptr.
    template <class P, class A>
    const P* Get(EventCode<P, A> c) const {
        return code == c.number ? std::any_cast<P>(&payload_) : nullptr;
    }

private:
    std::any payload_;
};

class EventManager;

// A subscription to a bus, for as long as its holder keeps it. Assigning a
// new subscription to a holder replaces the old one, so a subscriber that
// subscribes again is called once, as the newest. It may outlive its bus.
class EventSubscription {
public:
    EventSubscription() = default;
    ~EventSubscription() { Cancel(); }
    EventSubscription(EventSubscription&& other) noexcept { *this = std::move(other); }
    EventSubscription& operator=(EventSubscription&& other) noexcept;
    EventSubscription(const EventSubscription&) = delete;
    EventSubscription& operator=(const EventSubscription&) = delete;

    // The handler is not called again; the bus lets go of it after its
    // next dispatch pass.
    void Cancel();
    bool Active() const { return !subscribers_.expired() && id_ != 0; }

private:
    friend class EventManager;
    struct Subscriber {
        uint64_t id;
        std::function<void(const EventRecord&)> handler;
        bool removed = false;
    };
    using List = std::list<Subscriber>;
    EventSubscription(std::weak_ptr<List> subscribers, uint64_t id)
        : subscribers_(std::move(subscribers)), id_(id) {}

    std::weak_ptr<List> subscribers_;
    uint64_t id_ = 0;
};

class EventManager {
public:
    using Handler = std::function<void(const EventRecord& event)>;

    static constexpr int32_t kDispatchPeriodMs = 10;

    // Starts the dispatch task at once.
    explicit EventManager(Scheduler& s = scheduler());
    // Queued events are dropped without being dispatched.
    ~EventManager();
    EventManager(const EventManager&) = delete;
    EventManager& operator=(const EventManager&) = delete;

    // The newest subscriber is called first; an empty handler is refused
    // (the subscription returned is inactive).
    [[nodiscard]] EventSubscription Subscribe(Handler handler);

    template <class P, class A>
    void Send(EventCode<P, A> code, std::type_identity_t<P> payload = {}) {
        Dispatch(EventRecord(code.number, EvMode::Immediate, std::move(payload)));
    }
    template <class P, class A>
    void Post(EventCode<P, A> code, std::type_identity_t<P> payload = {}) {
        Enqueue(EventRecord(code.number, EvMode::Queued, std::move(payload)));
    }
    // Dispatches at once and returns the answers in the order the handlers
    // gave them: none when no handler answered.
    template <class P, class A>
    std::vector<A> Request(EventCode<P, A> code, std::type_identity_t<P> payload = {}) {
        std::vector<A> answers;
        // Nobody to answer: a cell that asks on every draw pays nothing.
        if (subscribers_->empty()) return answers;
        for (std::any& a : Collect(EventRecord(code.number, EvMode::Request, std::move(payload)))) {
            if (A* answer = std::any_cast<A>(&a)) answers.push_back(std::move(*answer));
        }
        return answers;
    }
    // Called by a handler of a request of this code; ignored outside one.
    template <class P, class A>
    void Answer(EventCode<P, A> code, std::type_identity_t<A> answer) {
        Record(code.number, std::move(answer));
    }

    size_t QueuedCount() const { return queue_.size(); }
    // Subscriptions still linked, removed ones awaiting a pass included.
    size_t SubscriptionCount() const { return subscribers_->size(); }

private:
    struct QueueNode {
        EventRecord record;
        bool done = false;
        bool isNew = true;
    };
    // A request being dispatched and the answers given to it so far.
    struct OpenRequest {
        uint8_t code;
        std::vector<std::any> answers;
    };

    void DispatchPass();
    void Dispatch(const EventRecord& record);
    void Enqueue(EventRecord record);
    std::vector<std::any> Collect(const EventRecord& record);
    void Record(uint8_t code, std::any answer);

    std::list<QueueNode> queue_;                            // oldest first
    std::shared_ptr<EventSubscription::List> subscribers_;  // newest first
    uint64_t lastId_ = 0;
    int walkDepth_ = 0;                  // subscriber walks in progress
    std::vector<OpenRequest> requests_;  // the innermost last
    std::unique_ptr<TimerTask> task_;
};

}  // namespace parlo
