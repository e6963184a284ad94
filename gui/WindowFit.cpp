#include "gui/WindowFit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "app/WindowPlacement.h"

namespace parlo::qt {

namespace {

QScreen* ScreenFor(const QRect& stored) {
    if (QScreen* screen = QGuiApplication::screenAt(stored.center())) return screen;
    return QGuiApplication::primaryScreen();
}

FrameMargins FrameOf(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    if (handle == nullptr || !window->isVisible()) return {};
    const QMargins m = handle->frameMargins();
    return {m.left(), m.top(), m.right(), m.bottom()};
}

// Fits the window again once its frame is known. The window manager frames
// the window after it is shown, and no event tells when: the frame is
// looked at for a while after each showing.
class RefitWhenFramed : public QObject {
public:
    explicit RefitWhenFramed(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
        timer_.setInterval(kLookEveryMs);
        connect(&timer_, &QTimer::timeout, this, &RefitWhenFramed::Look);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            looks_ = 0;
            timer_.start();
        }
        return false;
    }

private:
    static constexpr int kLookEveryMs = 50;
    static constexpr int kLooks = 60;

    void Look() {
        const FrameMargins frame = FrameOf(window_);
        const bool framed =
            frame.left != 0 || frame.top != 0 || frame.right != 0 || frame.bottom != 0;
        if (!framed && ++looks_ < kLooks) return;
        timer_.stop();
        if (!framed) return;
        window_->removeEventFilter(this);
        FitToScreen(window_, window_->geometry());
        deleteLater();
    }

    QWidget* window_;
    QTimer timer_;
    int looks_ = 0;
};

}  // namespace

void FitToScreen(QWidget* window, const QRect& stored) {
    const QScreen* screen = ScreenFor(stored);
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    const WindowBounds fitted =
        FitWindow({stored.left(), stored.top(), stored.width(), stored.height()},
                  {area.left(), area.top(), area.width(), area.height()}, FrameOf(window),
                  window->minimumWidth(), window->minimumHeight());
    const QRect target(fitted.left, fitted.top, fitted.width, fitted.height);
    if (window->geometry() != target) window->setGeometry(target);
}

void FitAgainWhenFramed(QWidget* window) { new RefitWhenFramed(window); }

}  // namespace parlo::qt
