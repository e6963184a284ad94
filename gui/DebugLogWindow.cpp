#include "gui/DebugLogWindow.h"

#include <QFontDatabase>
#include <QVBoxLayout>

#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"

namespace parlo::qt {

namespace {

constexpr int kMinHeight = 100;

}  // namespace

DebugLogWindow::DebugLogWindow(QWidget* owner, MainController& controller)
    : QWidget(owner, Qt::Window), controller_(controller) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Free Debug Window");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    log_ = new QPlainTextEdit(this);
    log_->setReadOnly(true);
    log_->setLineWrapMode(QPlainTextEdit::NoWrap);
    log_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(log_);
    const int ownerHeight = owner != nullptr ? owner->height() : 0;
    const int ownerWidth = owner != nullptr ? owner->width() : 800;
    resize(std::max(400, ownerWidth / 2), std::max(ownerHeight * 8 / 10, kMinHeight));
    events_ = controller_.Events().Subscribe([this](const EventRecord& event) {
        if (const LogLine* line = event.Get(ev::kDebugText))
            log_->appendPlainText(QString::fromStdString(line->text));
    });
    controller_.TraceCloning(true);
}

DebugLogWindow::~DebugLogWindow() {
    controller_.TraceCloning(false);
    events_.Cancel();
}

}  // namespace parlo::qt
