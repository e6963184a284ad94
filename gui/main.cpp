// parlo: the desktop program.
#include <QApplication>

#include "app/AppSettings.h"
#include "gui/MainWindow.h"
#include "gui/QtPrompts.h"
#include "gui/QtScreen.h"
#include "platform/SafeFile.h"
#include "platform/qtcore/QtInstanceLock.h"
#include "platform/qtcore/QtScheduler.h"
#include "platform/qtcore/QtSettingsStore.h"
#include "runtime/EventManager.h"

int main(int argc, char** argv) {
    parlo::IgnoreFileSizeSignal();
    // A second copy ends here, silently: before it opens the display or
    // reads the settings. The name goes into the lock for telling a
    // lock left by a dead copy from a live one.
    QCoreApplication::setApplicationName("parlo");
    parlo::qt::QtInstanceLock guard;
    if (guard.TryAcquire() == parlo::LockResult::HeldElsewhere) return 0;

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
