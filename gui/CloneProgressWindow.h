#pragma once
// The "Cloning" window: a bar of 32 cells that fills as the data move. While
// an operation runs the main window takes no input.
#include <QWidget>

#include "clone/CloneManager.h"

namespace parlo::qt {

class CloneProgressWindow : public QWidget, public CloneProgressView {
public:
    explicit CloneProgressWindow(QWidget* owner);

    void BeginOperation(bool showProgress) override;
    void UpdateProgress(int32_t done, int32_t total) override;
    void EndOperation() override;

    // Filled cells of the 32 for the bytes moved so far.
    static int FilledCells(int32_t done, int32_t total);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* owner_;
    int filled_ = 0;
};

}  // namespace parlo::qt
