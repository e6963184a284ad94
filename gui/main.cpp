// parlo: the desktop program.
#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "app/AppSettings.h"
#include "gui/InstanceMailbox.h"
#include "gui/MainWindow.h"
#include "gui/QtPrompts.h"
#include "gui/QtScreen.h"
#include "platform/SafeFile.h"
#include "platform/ProgramInfo.h"
#include "platform/qtcore/QtInstanceLock.h"
#include "platform/qtcore/QtScheduler.h"
#include "platform/qtcore/QtSettingsStore.h"
#include "runtime/EventManager.h"

namespace {

// A second copy hands the files it was given to the running one, which opens
// them; without files it ends silently.
int HandOver(int argc, char** argv) {
    const std::vector<std::string> files = parlo::MainController::FileArguments(argc, argv);
    if (files.empty()) return 0;
    QCoreApplication app(argc, argv);
    QStringList paths;
    for (const std::string& file : files) paths << QString::fromStdString(file);
    if (parlo::qt::InstanceMailbox(parlo::qt::InstanceLockPath()).Send(paths)) return 0;
    std::fprintf(stderr, "%s: another copy of the program is running and did not take '%s'.\n",
                 parlo::ExecutableName().c_str(), files.front().c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    parlo::IgnoreFileSizeSignal();
    // A second copy ends here: before it opens the display or reads the
    // settings. The name goes into the lock for telling a lock left by a
    // dead copy from a live one.
    QCoreApplication::setApplicationName("parlo");
    parlo::qt::QtInstanceLock guard;
    if (guard.TryAcquire() == parlo::LockResult::HeldElsewhere) return HandOver(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationVersion(PARLO_VERSION);
    parlo::qt::InstallFatalBox();
    parlo::qt::QtScheduler scheduler;
    parlo::SetScheduler(&scheduler);

    parlo::qt::QtSettingsStore store;
    const parlo::qt::QtScreen screen;
    parlo::AppSettings env(store, screen, &guard);
    if (!env.InstanceOk()) return 0;
    parlo::SetSettings(&env);
    parlo::EventManager events;
    parlo::SetEventManager(&events);

    parlo::qt::QtPrompts prompts;
    parlo::SetPrompts(&prompts);
    int status = 0;
    {
        parlo::qt::MainWindow window(env, argc, argv);
        prompts.SetParent(&window);
        // Files handed over by a later start open here.
        parlo::qt::InstanceMailbox mailbox(parlo::qt::InstanceLockPath());
        if (guard.TryAcquire() == parlo::LockResult::Acquired) mailbox.Listen();
        QObject::connect(&mailbox, &parlo::qt::InstanceMailbox::FileReceived, &window,
                         &parlo::qt::MainWindow::OpenWhenIdle);
        window.show();
        status = QApplication::exec();
        prompts.SetParent(nullptr);
    }
    parlo::SetPrompts(nullptr);
    parlo::SetEventManager(nullptr);
    parlo::SetSettings(nullptr);
    // The environment saves the settings as it goes, after everything else.
    return status;
}
