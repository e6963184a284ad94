#include "platform/qt/MainWindow.h"

#include <QApplication>

#include "sheet/cmcGTex.h"

namespace parlo::qt {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    const QString title = QString::fromStdString(OvlText("GI_Sys_AppTitle"));
    setWindowTitle(title);
    QApplication::setApplicationDisplayName(title);
    setMinimumSize(400, 200);
    resize(800, 600);
}

}  // namespace parlo::qt
