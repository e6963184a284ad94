#pragma once
// A long piece of work run a step at a time on the event loop (File >
// Compare with...): a small window says what is being done and how far it
// is, the other windows keep painting, and Cancel (or Escape, or closing
// the window) stops the work between two steps.
#include <QDialog>
#include <QProgressBar>
#include <QPushButton>
#include <functional>

namespace parlo::qt {

class StepProgressWindow : public QDialog {
    Q_OBJECT
public:
    StepProgressWindow(QWidget* parent, const QString& title, const QString& text);

    // Runs `step` until it answers false or the user cancels; the bar shows
    // `done` (0 to 1) after every step. True when the work ran to its end.
    bool Run(const std::function<bool()>& step, const std::function<double()>& done);

    QProgressBar* Bar() const { return bar_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace parlo::qt
