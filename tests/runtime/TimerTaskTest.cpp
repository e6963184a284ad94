// Timer tasks and countdowns on virtual time, and the Qt event loop's timers.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <memory>
#include <vector>

#include "platform/qtcore/QtScheduler.h"
#include "runtime/Countdown.h"
#include "runtime/TimerTask.h"
#include "tests/support/VirtualScheduler.h"

namespace parlo {
namespace {

using test::VirtualScheduler;

// Records the time of every callback; `during` runs inside the callback.
struct Recorder {
    VirtualScheduler* clock;
    std::vector<uint32_t> times;
    std::function<void(TimerTask&)> during;

    void Callback(TimerTask& task) {
        times.push_back(clock->NowMs());
        if (during) during(task);
    }
};

class TimerTaskTest : public ::testing::Test {
protected:
    void Start(int32_t ms) {
        task->SetCallback([this](TimerTask& t) { rec.Callback(t); });
        task->SetPeriod(ms);
    }

    VirtualScheduler clock;
    Recorder rec{&clock, {}, {}};
    std::unique_ptr<TimerTask> task = std::make_unique<TimerTask>();
};

TEST_F(TimerTaskTest, RunsEveryPeriodUntilStopped) {
    EXPECT_TRUE(task->IsStopped());
    EXPECT_EQ(task->Period(), -1);
    clock.Advance(100);
    EXPECT_TRUE(rec.times.empty());

    Start(50);
    EXPECT_FALSE(task->IsStopped());
    clock.Advance(120);
    EXPECT_EQ(rec.times, (std::vector<uint32_t>{150, 200}));

    EXPECT_TRUE(task->SetPeriod(-1));
    clock.Advance(500);
    EXPECT_EQ(rec.times.size(), 2u);
}

TEST_F(TimerTaskTest, PeriodZeroRunsAtTheShortestInterval) {
    Start(0);
    EXPECT_FALSE(task->IsStopped());
    EXPECT_EQ(task->Period(), 0);
    clock.Advance(5);
    EXPECT_EQ(rec.times, (std::vector<uint32_t>{1, 2, 3, 4, 5}));
}

TEST_F(TimerTaskTest, StopForgetsTheCallback) {
    Start(10);
    task->Stop();
    EXPECT_TRUE(task->IsStopped());
    task->SetPeriod(10);  // running again, but with nothing to call
    clock.Advance(100);
    EXPECT_TRUE(rec.times.empty());
}

// A callback that runs a modal loop keeps the other timers going, but its
// own ticks are dropped until it returns.
TEST_F(TimerTaskTest, TicksArrivingDuringTheCallbackAreDropped) {
    TimerTask other;
    int otherTicks = 0;
    other.SetCallback([&](TimerTask&) { ++otherTicks; });
    other.SetPeriod(10);
    rec.during = [&](TimerTask& t) {
        EXPECT_TRUE(t.InCallback());
        if (rec.times.size() == 1) clock.Advance(100);
    };
    Start(10);
    clock.Advance(10);
    EXPECT_EQ(rec.times, (std::vector<uint32_t>{10}));
    EXPECT_EQ(otherTicks, 11);  // at 10 (before the loop) and ten times inside it
    EXPECT_FALSE(task->InCallback());
    clock.Advance(10);
    EXPECT_EQ(rec.times, (std::vector<uint32_t>{10, 120}));
}

// A task destroyed by its own callback: the callback, and what it holds,
// finish safely, and nothing of the task is left to tick.
TEST_F(TimerTaskTest, DestroyedFromInsideItsOwnCallback) {
    auto held = std::make_shared<int>(7);
    int after = 0;
    task->SetCallback([&, held](TimerTask&) {
        task.reset();
        after = *held;  // the callback's own state outlives the task
    });
    task->SetPeriod(50);
    clock.Advance(50);
    EXPECT_EQ(task, nullptr);
    EXPECT_EQ(after, 7);
    EXPECT_EQ(clock.TimerCount(), 0u);
    clock.Advance(100);
}

// An owner destroyed from inside its own task's callback: the callback
// finishes safely and the task goes with its owner.
struct Owner {
    std::unique_ptr<TimerTask> task = std::make_unique<TimerTask>();
    int ticks = 0;
    explicit Owner(std::unique_ptr<Owner>* where) {
        task->SetCallback([this, where](TimerTask&) {
            ++ticks;
            where->reset();  // destroys this owner and its task
        });
        task->SetPeriod(50);
    }
};

TEST(TimerTaskOwnerTest, DestroyedFromInsideItsTasksCallback) {
    VirtualScheduler clock;
    std::unique_ptr<Owner> owner;
    owner = std::make_unique<Owner>(&owner);
    EXPECT_EQ(clock.TimerCount(), 1u);
    clock.Advance(50);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(clock.TimerCount(), 0u);
    clock.Advance(100);
}

TEST(TimerTaskOwnerTest, DestroyedOutsideTheCallbackGoesAtOnce) {
    VirtualScheduler clock;
    for (int32_t period : {-1, 10}) {
        auto task = std::make_unique<TimerTask>();
        task->SetPeriod(period);
        task.reset();
        EXPECT_EQ(clock.TimerCount(), 0u) << period;
    }
}

TEST(CountdownTest, CountsDownAndEnds) {
    VirtualScheduler clock;
    Countdown tick;
    EXPECT_EQ(tick.Remaining(), 0u);
    EXPECT_FALSE(tick.IsRunning());
    tick.Start(250);
    clock.Advance(100);
    EXPECT_EQ(tick.Remaining(), 150u);
    EXPECT_TRUE(tick.IsRunning());
    clock.Advance(150);
    EXPECT_EQ(tick.Remaining(), 0u);
    EXPECT_FALSE(tick.IsRunning());
    clock.Advance(1000);
    EXPECT_EQ(tick.Remaining(), 0u);
}

TEST(CountdownTest, SurvivesTheCounterWrap) {
    VirtualScheduler clock(0xFFFFFF00u);
    Countdown tick;
    tick.Start(1000);
    clock.Advance(0x100 + 200);  // the counter has wrapped to 200
    EXPECT_EQ(clock.NowMs(), 200u);
    EXPECT_EQ(tick.Remaining(), 1000u - 0x100 - 200);
    clock.Advance(1000);
    EXPECT_EQ(tick.Remaining(), 0u);
    EXPECT_FALSE(tick.IsRunning());
}

// The programs' scheduler, counting its live timers so the test sees a task
// that its own callback destroyed go away.
class CountingQtScheduler : public Scheduler {
public:
    uint32_t NowMs() override { return inner_.NowMs(); }
    std::unique_ptr<Timer> NewTimer(std::function<void()> onTick) override {
        struct Counted : Timer {
            std::unique_ptr<Timer> inner;
            int* live;
            ~Counted() override { --*live; }
            void Start(int32_t ms) override { inner->Start(ms); }
            void Stop() override { inner->Stop(); }
        };
        auto t = std::make_unique<Counted>();
        t->inner = inner_.NewTimer(std::move(onTick));
        t->live = &live;
        ++live;
        return t;
    }
    int live = 0;

private:
    qt::QtScheduler inner_;
};

TEST(QtSchedulerTest, RunsTasksOnTheEventLoop) {
    int argc = 1;
    char name[] = "parlo_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    CountingQtScheduler qtScheduler;
    Scheduler* previous = SetScheduler(&qtScheduler);

    int ticks = 0;
    const uint32_t start = qtScheduler.NowMs();
    auto task = std::make_unique<TimerTask>();
    task->SetCallback([&](TimerTask&) {
        if (++ticks == 3) task.reset();
    });
    task->SetPeriod(5);
    EXPECT_EQ(qtScheduler.live, 1);

    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (qtScheduler.live == 0) loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);  // in case it never ends
    loop.exec();
    EXPECT_EQ(qtScheduler.live, 0);
    EXPECT_EQ(ticks, 3);
    EXPECT_GE(qtScheduler.NowMs() - start, 15u);
    SetScheduler(previous);
}

}  // namespace
}  // namespace parlo
