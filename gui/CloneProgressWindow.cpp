#include "gui/CloneProgressWindow.h"

#include <QApplication>
#include <QPainter>

namespace parlo::qt {

namespace {

constexpr int kCells = 32;
constexpr int kBarWidth = 256;
constexpr int kBarHeight = 16;

}  // namespace

CloneProgressWindow::CloneProgressWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), owner_(owner) {
    setWindowTitle("Cloning");
    setFixedSize(kBarWidth + 32, kBarHeight + 32);
}

int CloneProgressWindow::FilledCells(int32_t done, int32_t total) {
    if (total <= 0) return 0;
    return std::min(kCells, static_cast<int>(static_cast<int64_t>(done) * (kCells + 1) / total));
}

void CloneProgressWindow::BeginOperation(bool showProgress) {
    owner_->setEnabled(false);
    filled_ = 0;
    if (!showProgress) return;
    if (owner_->isVisible()) {
        const QRect o = owner_->geometry();
        move(o.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
}

void CloneProgressWindow::UpdateProgress(int32_t done, int32_t total) {
    const int filled = FilledCells(done, total);
    if (filled != filled_) {
        filled_ = filled;
        update();
    }
}

void CloneProgressWindow::EndOperation() {
    hide();
    owner_->setEnabled(true);
    owner_->activateWindow();
}

void CloneProgressWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette palette = QApplication::palette();
    const QRect bar(16, 8, kBarWidth, kBarHeight);
    p.fillRect(bar.adjusted(-1, -1, 1, 1), palette.color(QPalette::Dark));
    p.fillRect(bar, palette.color(QPalette::Base));
    const int cell = kBarWidth / kCells;
    for (int i = 0; i < filled_; ++i)
        p.fillRect(bar.left() + i * cell, bar.top(), cell - 1, kBarHeight,
                   palette.color(QPalette::Highlight));
}

}  // namespace parlo::qt
