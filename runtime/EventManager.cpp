#include "runtime/EventManager.h"

#include <cstring>

#include "platform/ProcessWide.h"
#include "runtime/TimerTask.h"

namespace parlo {

namespace {

// A zero-length (or absent) block is not copied: the record has no data.
std::vector<uint8_t> CopyBlock(const void* block, int32_t size) {
    if (block == nullptr || size <= 0) return {};
    const auto* bytes = static_cast<const uint8_t*>(block);
    return std::vector<uint8_t>(bytes, bytes + size);
}

// Text travels with its terminating zero.
std::vector<uint8_t> CopyText(const std::string& text) {
    return CopyBlock(text.c_str(), static_cast<int32_t>(text.size() + 1));
}

}  // namespace

std::string EventRecord::Text() const {
    const auto* chars = reinterpret_cast<const char*>(data.data());
    return std::string(chars, strnlen(chars, data.size()));
}

EventManager::EventManager(Scheduler& s) : task_(new TimerTask(s)) {
    task_->SetCallback(DispatchTask, this);
    task_->SetPeriod(kDispatchPeriodMs);
}

EventManager::~EventManager() { TimerTask::Dispose(task_); }

void EventManager::Subscribe(Handler handler, void* userData) {
    if (handler == nullptr) return;
    MarkRemoved(handler, userData);
    // In front of any walk in progress, so it misses the event being handled.
    subscribers_.push_front(Subscription{handler, userData});
}

void EventManager::Unsubscribe(Handler handler, void* userData) {
    if (handler == nullptr) return;
    MarkRemoved(handler, userData);
}

void EventManager::MarkRemoved(Handler handler, void* userData) {
    for (Subscription& s : subscribers_) {
        if (s.handler == handler && s.userData == userData) s.removed = true;
    }
}

void EventManager::Send(uint8_t code, intptr_t arg1, intptr_t arg2) {
    Dispatch(EventRecord{code, EvMode::Immediate, arg1, arg2, {}});
}

void EventManager::SendText(uint8_t code, intptr_t arg1, intptr_t arg2, const std::string& text) {
    Dispatch(EventRecord{code, EvMode::Immediate, arg1, arg2, CopyText(text)});
}

void EventManager::Post(uint8_t code, intptr_t arg1, intptr_t arg2) {
    Enqueue(EventRecord{code, EvMode::Queued, arg1, arg2, {}});
}

void EventManager::PostText(uint8_t code, intptr_t arg1, intptr_t arg2, const std::string& text) {
    Enqueue(EventRecord{code, EvMode::Queued, arg1, arg2, CopyText(text)});
}

void EventManager::PostData(uint8_t code, const void* data, int32_t size) {
    Enqueue(EventRecord{code, EvMode::Queued, 0, 0, CopyBlock(data, size)});
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
    for (Subscription& s : subscribers_) {
        if (!s.removed) s.handler(s.userData, record);
    }
}

void EventManager::DispatchTask(void* self, TimerTask*) {
    static_cast<EventManager*>(self)->DispatchPass();
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
    if (walkDepth_ == 0) subscribers_.remove_if([](const Subscription& s) { return s.removed; });
}

const EventAnswer* EventManager::Request(uint8_t code, intptr_t arg1, intptr_t arg2,
                                         const void* data, int32_t size) {
    delete currentAnswer_->child_;
    auto* request = new EventAnswer;
    request->parent_ = currentAnswer_;
    currentAnswer_->child_ = request;
    currentAnswer_ = request;

    {
        // Also when a program error unwinds through the handlers (tests and
        // the fuzz targets throw from it), the requester's place comes back.
        struct End {
            EventManager& events;
            ~End() { events.EndRequest(); }
        } end{*this};
        Dispatch(EventRecord{code, EvMode::Request, arg1, arg2, CopyBlock(data, size)});
    }
    return currentAnswer_->child_;
}

void EventManager::EndRequest() {
    // Every answer left a fresh node after it; the last one was never filled.
    EventAnswer* first = currentAnswer_;
    while (first->prev_ != nullptr) first = first->prev_;
    currentAnswer_ = first->parent_;
    EventAnswer* last = first;
    while (last->next_ != nullptr) last = last->next_;
    delete last;
}

EventAnswer* EventManager::RecordAnswer() {
    if (currentAnswer_ == &answerRoot_) return nullptr;  // no request in progress
    EventAnswer* filled = currentAnswer_;
    currentAnswer_ = filled->AppendFresh();
    return filled;
}

void EventManager::Answer(intptr_t ptr1, intptr_t ptr2) {
    if (EventAnswer* node = RecordAnswer()) {
        node->ptr1_ = ptr1;
        node->ptr2_ = ptr2;
    }
}

void EventManager::AnswerData(const void* block, int32_t size) {
    if (EventAnswer* node = RecordAnswer()) node->data_ = CopyBlock(block, size);
}

EventManager& Events() { return ProcessWide<EventManager>::Get("No event manager is installed."); }
EventManager* SetEventManager(EventManager* p) { return ProcessWide<EventManager>::Set(p); }
bool HasEventManager() { return ProcessWide<EventManager>::Installed(); }

}  // namespace parlo
