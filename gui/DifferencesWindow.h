#pragma once
// File > Compare with...: a window listing what differs between the
// document and a file, a line per cell and then per byte no cell shows. A
// double click (or Enter) on a cell's line opens its sheet at that cell.
#include <QDialog>
#include <QListWidget>
#include <functional>

#include "app/ImageComparison.h"

namespace parlo::qt {

class DifferencesWindow : public QDialog {
    Q_OBJECT
public:
    using GoTo = std::function<void(const CellDifference&)>;
    DifferencesWindow(QWidget* parent, const std::string& file, ImageDifferences differences,
                      GoTo goTo);
    QListWidget* List() const { return list_; }
    // Shows the difference of a line (as a double click on it does).
    void Activate(int line);

private:
    ImageDifferences differences_;
    GoTo goTo_;
    QListWidget* list_ = nullptr;
};

}  // namespace parlo::qt
