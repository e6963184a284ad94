#pragma once
// File > Compare with...: a window listing what differs between the
// document and a file, a line per cell and then, under a heading that says
// how to read them, a line per byte no cell shows. A double click (or Enter)
// on a cell's line opens its sheet at that cell, and the window moves off
// the cell if it stood over it.
#include <QDialog>
#include <QListWidget>
#include <functional>

#include "app/ImageComparison.h"

namespace parlo::qt {

class DifferencesWindow : public QDialog {
    Q_OBJECT
public:
    // Opens the cell of a difference; answers where the cell is on the
    // screen (empty when it is not shown).
    using GoTo = std::function<QRect(const CellDifference&)>;
    DifferencesWindow(QWidget* parent, const std::string& file, ImageDifferences differences,
                      GoTo goTo);
    QListWidget* List() const { return list_; }
    // Shows the difference of a line (as a double click on it does).
    void Activate(int line);

    // Where a window at `window` (its frame) goes so that it does not cover
    // `cell`: below, above, right or left of it inside `area`, the nearest
    // that fits; where it is when it covers nothing.
    static QPoint ClearOf(const QRect& window, const QRect& cell, const QRect& area);

private:
    void StayClearOf(const QRect& cell);

    ImageDifferences differences_;
    GoTo goTo_;
    QListWidget* list_ = nullptr;
};

}  // namespace parlo::qt
