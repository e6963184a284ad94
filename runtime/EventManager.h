#pragma once
// The application-wide event bus. Components subscribe a handler (a
// function and its user data); any component sends an event (handled at
// once), posts one (handled by the next dispatch pass of the bus's 10 ms
// task) or issues a request whose handlers may answer. Everything runs on
// the event-loop thread, and handlers may re-enter the bus freely.
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "platform/Scheduler.h"
#include "runtime/EventAnswer.h"

namespace parlo {

class TimerTask;

enum class EvMode : uint8_t { Queued = 0, Immediate = 1, Request = 2 };

// One event as handlers see it. Handlers read it during the call only.
struct EventRecord {
    uint8_t code = 0;
    EvMode mode = EvMode::Immediate;
    intptr_t arg1 = 0;  // a number or a pointer, by code
    intptr_t arg2 = 0;
    std::vector<uint8_t> data;  // a copy of the caller's block; empty = none

    // The data as text (SendText, PostText): up to its terminating zero.
    std::string Text() const;
};

class EventManager {
public:
    using Handler = void (*)(void* userData, const EventRecord& event);

    static constexpr int32_t kDispatchPeriodMs = 10;

    // Starts the dispatch task at once.
    explicit EventManager(Scheduler& s = scheduler());
    // Queued events are dropped without being dispatched.
    ~EventManager();
    EventManager(const EventManager&) = delete;
    EventManager& operator=(const EventManager&) = delete;

    // The newest subscriber is called first. Subscribing a pair again moves
    // it to the front; a null handler is refused.
    void Subscribe(Handler handler, void* userData);
    void Unsubscribe(Handler handler, void* userData);

    void Send(uint8_t code, intptr_t arg1 = 0, intptr_t arg2 = 0);
    void SendText(uint8_t code, intptr_t arg1, intptr_t arg2, const std::string& text);
    void Post(uint8_t code, intptr_t arg1 = 0, intptr_t arg2 = 0);
    void PostText(uint8_t code, intptr_t arg1, intptr_t arg2, const std::string& text);
    void PostData(uint8_t code, const void* data, int32_t size);

    // Dispatches at once and returns the first answer, or nullptr when no
    // handler answered. The answers stay valid until the next request issued
    // from the same level.
    const EventAnswer* Request(uint8_t code, intptr_t arg1 = 0, intptr_t arg2 = 0,
                               const void* data = nullptr, int32_t size = 0);
    // Called by a handler of a request; ignored outside one.
    void Answer(intptr_t ptr1, intptr_t ptr2);
    void AnswerData(const void* block, int32_t size);

    size_t QueuedCount() const { return queue_.size(); }
    // Subscriptions still linked, removed ones awaiting a pass included.
    size_t SubscriptionCount() const { return subscribers_.size(); }

private:
    struct QueueNode {
        EventRecord record;
        bool done = false;
        bool isNew = true;
    };
    struct Subscription {
        Handler handler;
        void* userData;
        bool removed = false;
    };

    static void DispatchTask(void* self, TimerTask* task);
    void DispatchPass();
    void Dispatch(const EventRecord& record);
    void Enqueue(EventRecord record);
    void MarkRemoved(Handler handler, void* userData);
    EventAnswer* RecordAnswer();
    void EndRequest();

    std::list<QueueNode> queue_;           // oldest first
    std::list<Subscription> subscribers_;  // newest first
    int walkDepth_ = 0;                    // subscriber walks in progress
    EventAnswer answerRoot_;
    EventAnswer* currentAnswer_ = &answerRoot_;
    TimerTask* task_ = nullptr;
};

// The process-wide event manager. Using it before one is installed is a
// program error.
EventManager& Events();
// Installs m (not owned) and returns the previous one.
EventManager* SetEventManager(EventManager* m);
bool HasEventManager();

}  // namespace parlo
