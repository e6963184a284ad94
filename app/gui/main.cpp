// parlo: the desktop program.
#include <QApplication>

#include "platform/qt/MainWindow.h"
#include "platform/qt/QtPrompts.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    parlo::qt::InstallFatalBox();
    parlo::qt::QtPrompts prompts;
    parlo::SetPrompts(&prompts);
    parlo::qt::MainWindow window;
    prompts.SetParent(&window);
    window.show();
    const int status = QApplication::exec();
    parlo::SetPrompts(nullptr);
    return status;
}
