#pragma once
// The main window: menu bar, tool bar, navigation tree, sheet area and
// status bar around the application's controller.
#include <QMainWindow>

namespace parlo::qt {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};

}  // namespace parlo::qt
