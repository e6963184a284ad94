#include "gui/HandOver.h"

#include <QWidget>
#include <cstdio>

#include "gui/InstanceMailbox.h"
#include "gui/MainWindow.h"
#include "platform/ProgramInfo.h"
#include "platform/TerminalText.h"

namespace parlo::qt {

void BringToFront(QWidget* window) {
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

void DeliverHandOvers(InstanceMailbox& mailbox, MainWindow& window) {
    QObject::connect(&mailbox, &InstanceMailbox::FileReceived, &window, &MainWindow::OpenWhenIdle);
    QObject::connect(&mailbox, &InstanceMailbox::RaiseRequested, &window,
                     [&window] { BringToFront(&window); });
}

int HandOverToRunningCopy(const std::string& lockPath, const std::vector<std::string>& files) {
    const std::string program = ExecutableName();
    const InstanceMailbox::Delivery delivery = InstanceMailbox(lockPath).Send(files);
    if (!delivery.answered) {
        std::fprintf(stderr,
                     "%s: another copy of the program is running, but it could not be "
                     "reached: %s\n",
                     program.c_str(), TerminalText(delivery.problem.toStdString()).c_str());
        for (const std::string& file : files)
            std::fprintf(stderr, "%s: '%s' was not opened.\n", program.c_str(),
                         TerminalText(file).c_str());
        // Without files there was nothing to lose.
        return files.empty() ? 0 : 1;
    }
    int status = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const QString& refusal = delivery.refusals[static_cast<qsizetype>(i)];
        if (refusal.isEmpty()) continue;
        std::fprintf(stderr, "%s: '%s' was not opened: %s\n", program.c_str(),
                     TerminalText(files[i]).c_str(), TerminalText(refusal.toStdString()).c_str());
        status = 1;
    }
    return status;
}

}  // namespace parlo::qt
