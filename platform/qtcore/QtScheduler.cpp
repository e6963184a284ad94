#include "platform/qtcore/QtScheduler.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>

namespace parlo::qt {

namespace {

class QtTimer : public Timer {
public:
    explicit QtTimer(std::function<void()> onTick)
        : state_(std::make_shared<State>()), timer_(new QTimer) {
        state_->onTick = std::move(onTick);
        timer_->setTimerType(Qt::PreciseTimer);
        // The connection keeps the state alive, so a tick that destroys this
        // object still returns through valid memory.
        QObject::connect(timer_, &QTimer::timeout, [state = state_] {
            ++state->firing;
            state->onTick();
            --state->firing;
        });
    }

    ~QtTimer() override {
        if (state_->firing == 0) {
            delete timer_;
            return;
        }
        // Destroyed from inside its own tick: the QTimer is still emitting.
        timer_->stop();
        timer_->setParent(QCoreApplication::instance());
        timer_->deleteLater();
    }

    void Start(int32_t intervalMs) override { timer_->start(intervalMs < 1 ? 1 : intervalMs); }
    void Stop() override { timer_->stop(); }

private:
    struct State {
        std::function<void()> onTick;
        int firing = 0;
    };
    std::shared_ptr<State> state_;
    QTimer* timer_;
};

// A read notifier on the handle. Like the timer, it may be destroyed from
// inside its own call.
class QtReadWatch : public ReadWatch {
public:
    QtReadWatch(int handle, std::function<void()> onReadable)
        : state_(std::make_shared<State>()),
          notifier_(new QSocketNotifier(handle, QSocketNotifier::Read)) {
        state_->onReadable = std::move(onReadable);
        QObject::connect(notifier_, &QSocketNotifier::activated, [state = state_] {
            ++state->firing;
            state->onReadable();
            --state->firing;
        });
    }

    ~QtReadWatch() override {
        notifier_->setEnabled(false);
        if (state_->firing == 0) {
            delete notifier_;
            return;
        }
        notifier_->setParent(QCoreApplication::instance());
        notifier_->deleteLater();
    }

private:
    struct State {
        std::function<void()> onReadable;
        int firing = 0;
    };
    std::shared_ptr<State> state_;
    QSocketNotifier* notifier_;
};

}  // namespace

uint32_t QtScheduler::NowMs() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(ms);
}

std::unique_ptr<Timer> QtScheduler::NewTimer(std::function<void()> onTick) {
    return std::make_unique<QtTimer>(std::move(onTick));
}

std::unique_ptr<ReadWatch> QtScheduler::WatchReadable(int handle,
                                                      std::function<void()> onReadable) {
    if (handle < 0) return nullptr;
    return std::make_unique<QtReadWatch>(handle, std::move(onReadable));
}

}  // namespace parlo::qt
