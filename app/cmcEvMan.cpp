#include "app/cmcEvMan.h"

#include <cstring>

#include "app/cmcTask.h"
#include "platform/ProcessWide.h"

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

std::string cmcEvRecord::Text() const {
    const auto* chars = reinterpret_cast<const char*>(data.data());
    return std::string(chars, strnlen(chars, data.size()));
}

cmcEvMan::cmcEvMan(Scheduler& s) : task_(new cmcTask(s)) {
    task_->SetCallback(DispatchTask, this);
    task_->SetPeriod(kDispatchPeriodMs);
}

cmcEvMan::~cmcEvMan() {
    cmcTask::Dispose(task_);
}

void cmcEvMan::Subscribe(Handler handler, void* userData) {
    if (handler == nullptr) return;
    MarkRemoved(handler, userData);
    // In front of any walk in progress, so it misses the event being handled.
    subscribers_.push_front(Subscription{handler, userData});
}

void cmcEvMan::Unsubscribe(Handler handler, void* userData) {
    if (handler == nullptr) return;
    MarkRemoved(handler, userData);
}

void cmcEvMan::MarkRemoved(Handler handler, void* userData) {
    for (Subscription& s : subscribers_) {
        if (s.handler == handler && s.userData == userData) s.removed = true;
    }
}

void cmcEvMan::Send(uint8_t code, intptr_t arg1, intptr_t arg2) {
    Dispatch(cmcEvRecord{code, EvMode::Immediate, arg1, arg2, {}});
}

void cmcEvMan::SendText(uint8_t code, intptr_t arg1, intptr_t arg2, const std::string& text) {
    Dispatch(cmcEvRecord{code, EvMode::Immediate, arg1, arg2, CopyText(text)});
}

void cmcEvMan::Post(uint8_t code, intptr_t arg1, intptr_t arg2) {
    Enqueue(cmcEvRecord{code, EvMode::Queued, arg1, arg2, {}});
}

void cmcEvMan::PostText(uint8_t code, intptr_t arg1, intptr_t arg2, const std::string& text) {
    Enqueue(cmcEvRecord{code, EvMode::Queued, arg1, arg2, CopyText(text)});
}

void cmcEvMan::PostData(uint8_t code, const void* data, int32_t size) {
    Enqueue(cmcEvRecord{code, EvMode::Queued, 0, 0, CopyBlock(data, size)});
}

void cmcEvMan::Enqueue(cmcEvRecord record) {
    queue_.push_back(QueueNode{std::move(record)});
}

void cmcEvMan::Dispatch(const cmcEvRecord& record) {
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

void cmcEvMan::DispatchTask(void* self, cmcTask*) {
    static_cast<cmcEvMan*>(self)->DispatchPass();
}

void cmcEvMan::DispatchPass() {
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

const cmcEvAns* cmcEvMan::Request(uint8_t code, intptr_t arg1, intptr_t arg2, const void* data,
                                  int32_t size) {
    delete currentAnswer_->child_;
    auto* request = new cmcEvAns;
    request->parent_ = currentAnswer_;
    currentAnswer_->child_ = request;
    currentAnswer_ = request;

    Dispatch(cmcEvRecord{code, EvMode::Request, arg1, arg2, CopyBlock(data, size)});

    // Every answer left a fresh node after it; the last one was never filled.
    cmcEvAns* first = currentAnswer_;
    while (first->prev_ != nullptr) first = first->prev_;
    currentAnswer_ = first->parent_;
    cmcEvAns* last = first;
    while (last->next_ != nullptr) last = last->next_;
    delete last;
    return currentAnswer_->child_;
}

cmcEvAns* cmcEvMan::RecordAnswer() {
    if (currentAnswer_ == &answerRoot_) return nullptr;  // no request in progress
    cmcEvAns* filled = currentAnswer_;
    currentAnswer_ = filled->AppendFresh();
    return filled;
}

void cmcEvMan::Answer(intptr_t ptr1, intptr_t ptr2) {
    if (cmcEvAns* node = RecordAnswer()) {
        node->ptr1_ = ptr1;
        node->ptr2_ = ptr2;
    }
}

void cmcEvMan::AnswerData(const void* block, int32_t size) {
    if (cmcEvAns* node = RecordAnswer()) node->data_ = CopyBlock(block, size);
}

cmcEvMan& EventManager() {
    return ProcessWide<cmcEvMan>::Get("No event manager is installed.");
}
cmcEvMan* SetEventManager(cmcEvMan* p) {
    return ProcessWide<cmcEvMan>::Set(p);
}
bool HasEventManager() { return ProcessWide<cmcEvMan>::Installed(); }

}  // namespace parlo
