#pragma once
// The free debug window: a log of the lines any part of the program posts
// (event 22), one line each, never wrapped. While it is open the cloning
// protocol posts what goes over the line.
#include <QPlainTextEdit>
#include <QWidget>

#include "app/MainController.h"
#include "runtime/EventManager.h"

namespace parlo::qt {

class DebugLogWindow : public QWidget {
    Q_OBJECT
public:
    // Opens beside `owner`, 0.8 times its height (at least 100), with the
    // controller's clone trace on until it closes. The controller outlives it.
    DebugLogWindow(QWidget* owner, MainController& controller);
    ~DebugLogWindow() override;

    QPlainTextEdit* Log() const { return log_; }

private:
    MainController& controller_;
    QPlainTextEdit* log_ = nullptr;
    EventSubscription events_;
};

}  // namespace parlo::qt
