// The event bus: sends, posts and dispatch passes, subscriptions changing
// during a dispatch, requests and their answer chains.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/EventManager.h"
#include "runtime/TimerTask.h"
#include "tests/support/VirtualScheduler.h"

namespace parlo {
namespace {

using test::VirtualScheduler;

class EventManagerTest : public ::testing::Test {
protected:
    // A subscriber that logs "name:code" and runs an optional action.
    struct Listener {
        EventManagerTest* test;
        std::string name;
        std::function<void(const EventRecord&)> action;

        static void Handle(void* self, const EventRecord& e) {
            auto* l = static_cast<Listener*>(self);
            l->test->log.push_back(l->name + ":" + std::to_string(e.code));
            if (l->action) l->action(e);
        }
    };

    Listener& Add(const std::string& name, std::function<void(const EventRecord&)> action = {}) {
        listeners.push_back(std::make_unique<Listener>(Listener{this, name, std::move(action)}));
        bus.Subscribe(Listener::Handle, listeners.back().get());
        return *listeners.back();
    }
    void Remove(Listener& l) { bus.Unsubscribe(Listener::Handle, &l); }

    VirtualScheduler clock;
    EventManager bus;
    std::vector<std::unique_ptr<Listener>> listeners;
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(EventManagerTest, SendReachesTheNewestSubscriberFirst) {
    Add("a");
    Add("b");
    bus.Send(4);
    EXPECT_EQ(log, (Log{"b:4", "a:4"}));
}

TEST_F(EventManagerTest, PostWaitsForTheNextPassAndKeepsOrder) {
    Add("a");
    bus.Post(3);
    bus.Post(9);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(bus.QueuedCount(), 2u);
    clock.Advance(EventManager::kDispatchPeriodMs);
    EXPECT_EQ(log, (Log{"a:3", "a:9"}));
    EXPECT_EQ(bus.QueuedCount(), 0u);
}

TEST_F(EventManagerTest, ArgumentsAndDataReachTheHandler) {
    std::vector<EventRecord> seen;
    Add("a", [&](const EventRecord& e) { seen.push_back(e); });
    int object = 0;
    const auto pointer = reinterpret_cast<intptr_t>(&object);
    bus.SendText(4, pointer, -2, "Bank 1 is full");
    std::string caller = "Channels";
    bus.PostText(33, 0, 4, caller);
    caller = "changed after posting";
    const uint8_t block[] = {1, 0, 2};
    bus.PostData(11, block, 3);
    bus.PostData(11, block, 0);
    clock.Advance(EventManager::kDispatchPeriodMs);

    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].mode, EvMode::Immediate);
    EXPECT_EQ(seen[0].arg1, pointer);
    EXPECT_EQ(seen[0].arg2, -2);
    EXPECT_EQ(seen[0].Text(), "Bank 1 is full");
    EXPECT_EQ(seen[0].data.back(), 0);  // the text travels with its zero
    EXPECT_EQ(seen[1].mode, EvMode::Queued);
    EXPECT_EQ(seen[1].arg2, 4);
    EXPECT_EQ(seen[1].Text(), "Channels");
    EXPECT_EQ(seen[2].data, (std::vector<uint8_t>{1, 0, 2}));
    EXPECT_EQ(seen[2].arg1, 0);
    EXPECT_TRUE(seen[3].data.empty());  // a zero-length block is not copied
}

// Reposting its own code gives one dispatch per pass, never a loop.
TEST_F(EventManagerTest, AHandlerRepostingItsCodeRunsOncePerPass) {
    Add("a", [&](const EventRecord& e) { bus.Post(e.code); });
    bus.Post(23);
    clock.Advance(EventManager::kDispatchPeriodMs);
    EXPECT_EQ(log, (Log{"a:23"}));
    EXPECT_EQ(bus.QueuedCount(), 1u);
    clock.Advance(5 * EventManager::kDispatchPeriodMs);
    EXPECT_EQ(log.size(), 6u);
}

TEST_F(EventManagerTest, SelfUnsubscriptionDuringASend) {
    Listener& b = Add("b");
    Add("a");
    Listener* self = nullptr;
    self = &Add("quitter", [&](const EventRecord&) { Remove(*self); });
    bus.Send(1);
    EXPECT_EQ(log, (Log{"quitter:1", "a:1", "b:1"}));
    log.clear();
    bus.Send(2);
    EXPECT_EQ(log, (Log{"a:2", "b:2"}));
    EXPECT_EQ(bus.SubscriptionCount(), 3u);  // unlinked by the next pass only
    clock.Advance(EventManager::kDispatchPeriodMs);
    EXPECT_EQ(bus.SubscriptionCount(), 2u);
    (void)b;
}

TEST_F(EventManagerTest, SubscriptionsChangedDuringADispatch) {
    Listener& later =
        *listeners.emplace_back(std::make_unique<Listener>(Listener{this, "late", {}}));
    Listener& b = Add("b");
    Add("a", [&](const EventRecord& e) {
        if (e.code != 1) return;
        bus.Subscribe(Listener::Handle, &later);  // misses this event
        Remove(b);                                // skipped from now on
    });
    bus.Send(1);
    EXPECT_EQ(log, (Log{"a:1"}));
    log.clear();
    bus.Send(2);
    EXPECT_EQ(log, (Log{"late:2", "a:2"}));
}

TEST_F(EventManagerTest, TheSamePairSubscribedTwiceIsCalledOnce) {
    Listener& a = Add("a");
    Add("b");
    bus.Subscribe(Listener::Handle, &a);  // again: now the newest
    bus.Send(7);
    EXPECT_EQ(log, (Log{"a:7", "b:7"}));
    Remove(a);
    log.clear();
    bus.Send(8);
    EXPECT_EQ(log, (Log{"b:8"}));
}

TEST_F(EventManagerTest, ANullHandlerIsRefused) {
    bus.Subscribe(nullptr, this);
    bus.Unsubscribe(nullptr, this);
    EXPECT_EQ(bus.SubscriptionCount(), 0u);
    bus.Send(1);
}

TEST_F(EventManagerTest, RequestsCollectAnswersInSubscriberOrder) {
    EXPECT_EQ(bus.Request(12), nullptr);  // nobody subscribed

    Add("silent");
    EXPECT_EQ(bus.Request(12), nullptr);  // nobody answered

    Add("first", [&](const EventRecord& e) {
        if (e.mode == EvMode::Request) bus.Answer(e.arg1 + 1, 11);
    });
    const EventAnswer* one = bus.Request(12, 100);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->Ptr1(), 101);
    EXPECT_EQ(one->Ptr2(), 11);
    EXPECT_EQ(one->Next(), nullptr);

    Add("second", [&](const EventRecord&) {
        const char bank[] = "Bank 3";
        bus.AnswerData(bank, sizeof bank);
    });
    const EventAnswer* two = bus.Request(28, 5);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(two->Data().data())), "Bank 3");
    ASSERT_NE(two->Next(), nullptr);
    EXPECT_EQ(two->Next()->Ptr1(), 6);
    EXPECT_EQ(two->Next()->Next(), nullptr);
}

TEST_F(EventManagerTest, ARequestHandlerMayIssueARequestOfItsOwn) {
    const EventAnswer* inner = nullptr;
    Add("outer", [&](const EventRecord& e) {
        if (e.code != 12) return;
        inner = bus.Request(28);
        bus.Answer(inner != nullptr ? inner->Ptr1() : -1, 0);
    });
    Add("bank", [&](const EventRecord& e) {
        if (e.code == 28) bus.Answer(3, 0);
    });
    const EventAnswer* outer = bus.Request(12);
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->Ptr1(), 3);
    EXPECT_EQ(outer->Next(), nullptr);
    EXPECT_EQ(log, (Log{"bank:12", "outer:12", "bank:28", "outer:28"}));
}

TEST_F(EventManagerTest, AnswersOutsideARequestAreIgnored) {
    Add("a", [&](const EventRecord&) { bus.Answer(1, 2); });
    bus.Send(9);
    bus.Post(9);
    clock.Advance(EventManager::kDispatchPeriodMs);
    Add("b");
    EXPECT_EQ(bus.Request(12)->Ptr1(), 1);  // only the request's own answer
    EXPECT_EQ(bus.Request(12)->Next(), nullptr);
}

TEST(EventManagerLifeTest, DestructionDropsQueuedEventsUndispatched) {
    VirtualScheduler clock;
    int calls = 0;
    {
        EventManager bus;
        bus.Subscribe([](void* n, const EventRecord&) { ++*static_cast<int*>(n); }, &calls);
        bus.PostText(33, 0, 1, "Channels");
        bus.Post(29);
        EXPECT_EQ(clock.TimerCount(), 1u);
    }
    EXPECT_EQ(clock.TimerCount(), 0u);
    clock.Advance(100);
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace parlo
