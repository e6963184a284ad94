// parlo: the desktop program.
#include <QApplication>
#include <cstdio>

#include "app/AppSettings.h"
#include "gui/CommandLine.h"
#include "gui/HandOver.h"
#include "gui/InstanceMailbox.h"
#include "gui/MainWindow.h"
#include "gui/QtPrompts.h"
#include "gui/QtScreen.h"
#include "platform/ProgramInfo.h"
#include "platform/SafeFile.h"
#include "platform/TerminalText.h"
#include "platform/qtcore/QtInstanceLock.h"
#include "platform/qtcore/QtScheduler.h"
#include "platform/qtcore/QtSettingsStore.h"

namespace {

constexpr int kExitUsage = 64;

// Help, the version and a refused command line need no display: they are
// answered before Qt starts.
std::optional<int> AnswerWithoutWindow(const parlo::qt::CommandLine& line) {
    using Action = parlo::qt::CommandLine::Action;
    switch (line.action) {
        case Action::Help: std::fputs(parlo::qt::CommandLineUsage().c_str(), stdout); return 0;
        case Action::Version: std::printf("parlo %s\n", PARLO_VERSION); return 0;
        case Action::Refuse:
            std::fprintf(stderr, "%s: %s\n\n%s", parlo::ExecutableName().c_str(),
                         line.error.c_str(), parlo::qt::CommandLineUsage().c_str());
            return kExitUsage;
        case Action::Run: break;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    const parlo::qt::CommandLine line = parlo::qt::ReadCommandLine(argc, argv);
    if (const std::optional<int> status = AnswerWithoutWindow(line)) return *status;
    parlo::IgnoreFileSizeSignal();
    // A later copy ends here, before it opens the display or reads the
    // settings: it hands its files to the running one, or brings that one's
    // window to the front. The name goes into the lock for telling a lock
    // left by a dead copy from a live one.
    QCoreApplication::setApplicationName("parlo");
    parlo::qt::QtInstanceLock guard;
    if (guard.TryAcquire() == parlo::LockResult::HeldElsewhere) {
        QCoreApplication app(argc, argv);
        return parlo::qt::HandOverToRunningCopy(parlo::qt::InstanceLockPath(), line.files);
    }

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

    parlo::qt::QtPrompts prompts;
    parlo::SetPrompts(&prompts);
    int status = 0;
    {
        parlo::qt::MainWindow window(env, argc, argv);
        prompts.SetParent(&window);
        // Files handed over by a later start open here.
        parlo::qt::InstanceMailbox mailbox(parlo::qt::InstanceLockPath());
        if (guard.TryAcquire() == parlo::LockResult::Acquired && !mailbox.Listen()) {
            std::fprintf(stderr, "%s: %s\n", parlo::ExecutableName().c_str(),
                         parlo::TerminalText(mailbox.Problem().toStdString()).c_str());
        }
        parlo::qt::DeliverHandOvers(mailbox, window);
        window.show();
        status = QApplication::exec();
        prompts.SetParent(nullptr);
    }
    parlo::SetPrompts(nullptr);
    parlo::SetSettings(nullptr);
    // The environment saves the settings as it goes, after everything else.
    return status;
}
