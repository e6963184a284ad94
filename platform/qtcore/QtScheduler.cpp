#include "platform/qtcore/QtScheduler.h"

#include <QCoreApplication>
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

}  // namespace

uint32_t QtScheduler::NowMs() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(ms);
}

std::unique_ptr<Timer> QtScheduler::NewTimer(std::function<void()> onTick) {
    return std::make_unique<QtTimer>(std::move(onTick));
}

}  // namespace parlo::qt
