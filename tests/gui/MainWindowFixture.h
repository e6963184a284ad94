#pragma once
// The main window on the offscreen platform with the shipped data files,
// prompts recorded instead of shown, settings in memory.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "gui/MainWindow.h"
#include "gui/SheetWidget.h"
#include "platform/qtcore/QtScheduler.h"
#include "runtime/EventManager.h"
#include "tests/support/MemorySettings.h"
#include "tests/support/TestSupport.h"

namespace parlo::test {

// Waits up to `ms` for `done`, running the event loop.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 3000) {
    for (int waited = 0; !done() && waited < ms; waited += 10) QTest::qWait(10);
    return done();
}

class MainWindowFixture : public ::testing::Test {
protected:
    qt::QtScheduler scheduler;
    Scheduler* previousScheduler = SetScheduler(&scheduler);
    RecordingPrompts prompts;
    MemorySettings store;
    FixedScreen screen;
    AppSettings env{store, screen, nullptr};
    std::unique_ptr<qt::MainWindow> window;

    // A window on the variant's new document; `args` as on a command line.
    void Open(int variant, std::vector<std::string> args = {}) {
        env.Defaults();
        env.SetModelType(static_cast<int8_t>(variant));
        Start(std::move(args));
    }
    // A window on the settings as they stand.
    void Start(std::vector<std::string> args = {}) {
        args.insert(args.begin(), "parlo");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        window = std::make_unique<qt::MainWindow>(env, static_cast<int>(argv.size()), argv.data());
        window->show();
        // The main task opens the first node's sheet.
        WaitUntil([&] { return window->Sheets()->CurrentSheet() != nullptr; });
    }
    ~MainWindowFixture() override {
        window.reset();
        SetScheduler(previousScheduler);
    }
    // The bus of the window's document.
    EventManager& Events() { return window->Controller().Events(); }
    void Select(const std::string& action) {
        TreeNode* node = window->Controller().Tree()->FindNode(action);
        ASSERT_NE(node, nullptr) << action;
        window->Controller().SelectNode(node);
        QApplication::processEvents();
    }
    // Runs `command` and hands the modal window it opens to `use`, which
    // must close it.
    void WithModal(const std::function<void()>& command, const std::function<void(QWidget*)>& use) {
        bool used = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && !used) {
                used = true;
                use(modal);
            }
        });
        poll.start(10);
        command();
        poll.stop();
        EXPECT_TRUE(used) << "no modal window opened";
    }
};

}  // namespace parlo::test
