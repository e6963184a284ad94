#pragma once
// The "Cloning" window: a bar of 32 cells that fills as the data move, a
// line saying what is happening, how many bytes have moved and the time
// left, and a Cancel button (Escape) for what may be stopped: a read or a
// verification, not a write whose data flow, which the window says. While
// an operation runs the main window takes no input. The window is a top-level
// window kept above its owner; the owner deletes it.
#include <QWidget>
#include <functional>

#include "clone/CloneManager.h"

class QLabel;
class QPushButton;

namespace parlo::qt {

class CloneProgressWindow : public QWidget, public CloneProgressView {
public:
    explicit CloneProgressWindow(QWidget* owner);

    void BeginOperation(bool showProgress) override;
    void UpdateProgress(const CloneProgress& progress) override;
    void EndOperation() override;

    // Filled cells of the 32 for the bytes moved so far.
    static int FilledCells(int32_t done, int32_t total);
    // The line under the bar: "Writing: 1,024 of 32,128 bytes, about 9 s left".
    static QString StatusLine(const CloneProgress& progress);

    // Asked to stop the operation (the Cancel button or Escape).
    std::function<void()> onCancel;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    class CellBar;
    void Cancel();

    QWidget* owner_;
    CellBar* bar_;
    QLabel* status_;
    QLabel* note_;
    QPushButton* cancel_;
};

}  // namespace parlo::qt
