#include "gui/CloneProgressWindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

#include "clone/CloneMessages.h"
#include "overlay/OverlayText.h"

namespace parlo::qt {

namespace {

constexpr int kCells = 32;
constexpr int kBarWidth = 256;
constexpr int kBarHeight = 16;

QString Ovl(const char* key, int line) { return QString::fromStdString(OvlText(key, line)); }

// Lines of GI_Mess_Clone_Progress.
enum ProgressLine { kBytes = 0, kTimeLeft = 1, kStarting = 2, kNoCancel = 3, kCancelButton = 4 };

}  // namespace

// The bar itself: 32 cells in a lowered one-pixel frame. A progress bar to
// a screen reader, which hears its value change.
class CloneProgressWindow::CellBar : public QProgressBar {
public:
    explicit CellBar(QWidget* parent) : QProgressBar(parent) {
        setFixedSize(kBarWidth + 2, kBarHeight + 2);
        setRange(0, kCells);
        setValue(0);
    }
    void SetFilled(int filled) {
        if (filled == filled_) return;
        filled_ = filled;
        setValue(filled);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QPalette palette = QApplication::palette();
        p.fillRect(rect(), palette.color(QPalette::Dark));
        const QRect bar(1, 1, kBarWidth, kBarHeight);
        p.fillRect(bar, palette.color(QPalette::Base));
        const int cell = kBarWidth / kCells;
        for (int i = 0; i < filled_; ++i)
            p.fillRect(bar.left() + i * cell, bar.top(), cell - 1, kBarHeight,
                       palette.color(QPalette::Highlight));
    }

private:
    int filled_ = 0;
};

// A window of its own, kept above its owner, so that disabling the owner
// leaves its Cancel button working; the owner deletes it.
CloneProgressWindow::CloneProgressWindow(QWidget* owner)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), owner_(owner) {
    setWindowTitle("Cloning");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 8, 16, 12);
    bar_ = new CellBar(this);
    bar_->setAccessibleName(windowTitle());
    layout->addWidget(bar_);
    status_ = new QLabel(this);
    layout->addWidget(status_);
    note_ = new QLabel(Ovl("GI_Mess_Clone_Progress", kNoCancel), this);
    note_->setWordWrap(true);
    note_->hide();
    layout->addWidget(note_);
    cancel_ = new QPushButton(Ovl("GI_Mess_Clone_Progress", kCancelButton), this);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    connect(cancel_, &QPushButton::clicked, this, [this] { Cancel(); });
    // Room for the longest line without the window changing its width.
    CloneProgress widest;
    widest.stage = CloneStage::Backup;
    widest.done = widest.total = 99999;
    widest.secondsLeft = 999;
    setFixedWidth(std::max(kBarWidth, fontMetrics().horizontalAdvance(StatusLine(widest)) + 8) +
                  32);
}

int CloneProgressWindow::FilledCells(int32_t done, int32_t total) {
    if (total <= 0) return 0;
    return std::min(kCells, static_cast<int>(static_cast<int64_t>(done) * (kCells + 1) / total));
}

QString CloneProgressWindow::StatusLine(const CloneProgress& p) {
    const QString stage = QString::fromStdString(StageText(p.stage));
    if (p.done == 0 && p.secondsLeft < 0)
        return stage + ": " + Ovl("GI_Mess_Clone_Progress", kStarting);
    const QLocale locale;
    QString line = stage + ": " +
                   QString::fromStdString(FillIn(OvlText("GI_Mess_Clone_Progress", kBytes),
                                                 {locale.toString(p.done).toStdString(),
                                                  locale.toString(p.total).toStdString()}));
    if (p.secondsLeft >= 0) {
        line += ", " + QString::fromStdString(FillIn(OvlText("GI_Mess_Clone_Progress", kTimeLeft),
                                                     {std::to_string(p.secondsLeft)}));
    }
    return line;
}

void CloneProgressWindow::BeginOperation(bool showProgress) {
    owner_->setEnabled(false);
    bar_->SetFilled(0);
    if (!showProgress) return;
    adjustSize();
    if (windowHandle() == nullptr) create();
    if (owner_->windowHandle() != nullptr)
        windowHandle()->setTransientParent(owner_->windowHandle());
    if (owner_->isVisible()) {
        const QRect o = owner_->geometry();
        move(o.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    activateWindow();
}

void CloneProgressWindow::UpdateProgress(const CloneProgress& p) {
    bar_->SetFilled(FilledCells(p.done, p.total));
    const QString line = StatusLine(p);
    if (status_->text() != line) status_->setText(line);
    cancel_->setEnabled(p.cancellable);
    // A write says why it cannot be stopped once its data flow.
    const bool writing = p.stage == CloneStage::Write && !p.cancellable;
    if (note_->isVisible() != writing) {
        note_->setVisible(writing);
        adjustSize();
    }
}

void CloneProgressWindow::EndOperation() {
    hide();
    note_->hide();
    owner_->setEnabled(true);
    owner_->activateWindow();
}

void CloneProgressWindow::Cancel() {
    if (cancel_->isEnabled() && onCancel) onCancel();
}

void CloneProgressWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Cancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace parlo::qt
