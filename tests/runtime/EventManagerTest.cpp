// The event bus: sends, posts and dispatch passes, subscriptions changing
// during a dispatch, requests and their answers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/EventManager.h"
#include "tests/support/VirtualScheduler.h"

namespace parlo {
namespace {

using test::VirtualScheduler;

// Codes of this test and what their events carry.
struct Note {
    std::string text;
    int number = 0;
};
constexpr EventCode<> kPlain{7};
constexpr EventCode<> kOther{8};
constexpr EventCode<Note> kNote{33};
constexpr EventCode<int, int> kAsk{12};          // a number; answered with a number
constexpr EventCode<NoPayload, Note> kName{28};  // answered with a text

class EventManagerTest : public ::testing::Test {
protected:
    // A subscriber that logs "name:code" and runs an optional action.
    struct Listener {
        std::string name;
        EventSubscription subscription;
    };

    Listener& Add(const std::string& name, std::function<void(const EventRecord&)> action = {}) {
        listeners.push_back(std::make_unique<Listener>(Listener{name, {}}));
        Subscribe(*listeners.back(), std::move(action));
        return *listeners.back();
    }
    void Subscribe(Listener& l, std::function<void(const EventRecord&)> action = {}) {
        l.subscription = bus.Subscribe([this, &l, action](const EventRecord& e) {
            log.push_back(l.name + ":" + std::to_string(e.code));
            if (action) action(e);
        });
    }

    VirtualScheduler clock;
    EventManager bus;
    std::vector<std::unique_ptr<Listener>> listeners;
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(EventManagerTest, SendReachesTheNewestSubscriberFirst) {
    Add("a");
    Add("b");
    bus.Send(kPlain);
    EXPECT_EQ(log, (Log{"b:7", "a:7"}));
}

TEST_F(EventManagerTest, PostWaitsForTheNextPassAndKeepsOrder) {
    Add("a");
    bus.Post(kPlain);
    bus.Post(kOther);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(bus.QueuedCount(), 2u);
    clock.Advance(EventManager::kDispatchPeriodMs);
    EXPECT_EQ(log, (Log{"a:7", "a:8"}));
    EXPECT_EQ(bus.QueuedCount(), 0u);
}

// The payload is a copy, read by the code it belongs to only.
TEST_F(EventManagerTest, ThePayloadReachesTheHandlerAsItsCodeSays) {
    std::vector<Note> notes;
    std::vector<std::string> modes;
    Add("a", [&](const EventRecord& e) {
        EXPECT_EQ(e.Get(kAsk), nullptr);  // not an event of that code
        if (const Note* n = e.Get(kNote)) notes.push_back(*n);
        modes.push_back(e.mode == EvMode::Immediate ? "send" : "post");
    });
    bus.Send(kNote, {"Bank 1 is full", -2});
    Note caller{"Channels", 4};
    bus.Post(kNote, caller);
    caller.text = "changed after posting";
    bus.Post(kPlain);
    clock.Advance(EventManager::kDispatchPeriodMs);

    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].text, "Bank 1 is full");
    EXPECT_EQ(notes[0].number, -2);
    EXPECT_EQ(notes[1].text, "Channels");
    EXPECT_EQ(notes[1].number, 4);
    EXPECT_EQ(modes, (std::vector<std::string>{"send", "post", "post"}));
}

// Reposting its own code gives one dispatch per pass, never a loop.
TEST_F(EventManagerTest, AHandlerRepostingItsCodeRunsOncePerPass) {
    Add("a", [&](const EventRecord& e) {
        if (e.Is(kNote)) bus.Post(kNote, *e.Get(kNote));
    });
    bus.Post(kNote, {"again", 1});
    clock.Advance(EventManager::kDispatchPeriodMs);
    EXPECT_EQ(log, (Log{"a:33"}));
    EXPECT_EQ(bus.QueuedCount(), 1u);
    clock.Advance(5 * EventManager::kDispatchPeriodMs);
    EXPECT_EQ(log.size(), 6u);
}

TEST_F(EventManagerTest, SelfUnsubscriptionDuringASend) {
    Add("b");
    Add("a");
    Listener* self = nullptr;
    self = &Add("quitter", [&](const EventRecord&) { self->subscription.Cancel(); });
    bus.Send(kPlain);
    EXPECT_EQ(log, (Log{"quitter:7", "a:7", "b:7"}));
    log.clear();
    bus.Send(kOther);
    EXPECT_EQ(log, (Log{"a:8", "b:8"}));
    EXPECT_EQ(bus.SubscriptionCount(), 3u);  // unlinked by the next pass only
    clock.Advance(EventManager::kDispatchPeriodMs);
    EXPECT_EQ(bus.SubscriptionCount(), 2u);
}

// A subscriber destroyed by a handler during the walk is not called again.
TEST_F(EventManagerTest, SubscriptionsChangedDuringADispatch) {
    Listener later{"late", {}};
    Listener& b = Add("b");
    Add("a", [&](const EventRecord& e) {
        if (!e.Is(kPlain)) return;
        Subscribe(later);           // misses this event
        listeners.front().reset();  // b, destroyed: skipped from now on
    });
    (void)b;
    bus.Send(kPlain);
    EXPECT_EQ(log, (Log{"a:7"}));
    log.clear();
    bus.Send(kOther);
    EXPECT_EQ(log, (Log{"late:8", "a:8"}));
}

TEST_F(EventManagerTest, TheSameSubscriberSubscribedTwiceIsCalledOnce) {
    Listener& a = Add("a");
    Add("b");
    Subscribe(a);  // again: now the newest, and the old subscription ends
    bus.Send(kPlain);
    EXPECT_EQ(log, (Log{"a:7", "b:7"}));
    a.subscription.Cancel();
    log.clear();
    bus.Send(kOther);
    EXPECT_EQ(log, (Log{"b:8"}));
}

TEST_F(EventManagerTest, AnEmptyHandlerIsRefused) {
    EventSubscription none = bus.Subscribe({});
    EXPECT_FALSE(none.Active());
    EXPECT_EQ(bus.SubscriptionCount(), 0u);
    bus.Send(kPlain);
}

TEST_F(EventManagerTest, RequestsCollectAnswersInSubscriberOrder) {
    EXPECT_TRUE(bus.Request(kAsk, 1).empty());  // nobody subscribed

    Add("silent");
    EXPECT_TRUE(bus.Request(kAsk, 1).empty());  // nobody answered

    Add("first", [&](const EventRecord& e) {
        if (const int* n = e.Get(kAsk); n && e.mode == EvMode::Request) bus.Answer(kAsk, *n + 1);
        if (e.Is(kName)) bus.Answer(kName, {"Bank 2", 2});
    });
    EXPECT_EQ(bus.Request(kAsk, 100), (std::vector<int>{101}));

    Add("second", [&](const EventRecord& e) {
        if (e.Is(kName)) bus.Answer(kName, {"Bank 3", 3});
    });
    const std::vector<Note> two = bus.Request(kName);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].text, "Bank 3");
    EXPECT_EQ(two[1].text, "Bank 2");
    EXPECT_EQ(two[1].number, 2);
}

TEST_F(EventManagerTest, ARequestHandlerMayIssueARequestOfItsOwn) {
    std::vector<Note> inner;
    Add("outer", [&](const EventRecord& e) {
        if (!e.Is(kAsk)) return;
        inner = bus.Request(kName);
        bus.Answer(kAsk, inner.empty() ? -1 : inner.front().number);
    });
    Add("bank", [&](const EventRecord& e) {
        if (e.Is(kName)) bus.Answer(kName, {"Bank 4", 3});
    });
    EXPECT_EQ(bus.Request(kAsk, 0), (std::vector<int>{3}));
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_EQ(log, (Log{"bank:12", "outer:12", "bank:28", "outer:28"}));
}

// An answer counts only for a request of its code in progress.
TEST_F(EventManagerTest, AnswersOutsideARequestAreIgnored) {
    Add("a", [&](const EventRecord&) { bus.Answer(kAsk, 1); });
    bus.Send(kPlain);
    bus.Post(kPlain);
    clock.Advance(EventManager::kDispatchPeriodMs);
    EXPECT_TRUE(bus.Request(kName).empty());  // another code's request
    Add("b");
    EXPECT_EQ(bus.Request(kAsk, 0), (std::vector<int>{1}));  // only the request's own answer
}

TEST(EventManagerLifeTest, DestructionDropsQueuedEventsUndispatched) {
    VirtualScheduler clock;
    int calls = 0;
    EventSubscription kept;
    {
        EventManager bus;
        kept = bus.Subscribe([&](const EventRecord&) { ++calls; });
        bus.Post(kNote, {"Channels", 1});
        bus.Post(kPlain);
        EXPECT_EQ(clock.TimerCount(), 1u);
    }
    EXPECT_EQ(clock.TimerCount(), 0u);
    clock.Advance(100);
    EXPECT_EQ(calls, 0);
    kept.Cancel();  // a subscription may outlive its bus
    EXPECT_FALSE(kept.Active());
}

}  // namespace
}  // namespace parlo
