#include "gui/StepProgressWindow.h"

#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "overlay/OverlayText.h"

namespace parlo::qt {

namespace {

constexpr int kCancelLine = 7;  // of GI_Compare_Window
constexpr int kBarSteps = 1000;

}  // namespace

StepProgressWindow::StepProgressWindow(QWidget* parent, const QString& title, const QString& text)
    : QDialog(parent) {
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, kBarSteps);
    bar_->setValue(0);
    bar_->setAccessibleName(text);
    layout->addWidget(bar_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cancel_ = new QPushButton(QString::fromStdString(OvlText("GI_Compare_Window", kCancelLine)), this);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

bool StepProgressWindow::Run(const std::function<bool()>& step,
                             const std::function<double()>& done) {
    QEventLoop loop;
    bool finished = false;
    bool cancelled = false;
    QTimer timer;
    timer.setInterval(0);
    connect(&timer, &QTimer::timeout, &loop, [&] {
        if (cancelled) return;
        if (!step()) {
            finished = true;
            loop.quit();
            return;
        }
        bar_->setValue(static_cast<int>(done() * kBarSteps));
    });
    // Cancel, Escape and the window's close button all reject.
    connect(this, &QDialog::rejected, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    show();
    timer.start();
    loop.exec();
    timer.stop();
    hide();
    return finished && !cancelled;
}

}  // namespace parlo::qt
