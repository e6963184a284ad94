// Starting and ending the desktop program: a factory file that cannot be
// read ends it with one box; the splitter comes back where it was; a file
// named on the command line opens, also when another copy already runs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QMessageBox>
#include <QSplitter>
#include <QSplitterHandle>
#include <cstdio>
#include <filesystem>

#include "gui/InstanceMailbox.h"
#include "gui/NavigationTree.h"
#include "gui/QtPrompts.h"
#include "model/ModelVariant.h"
#include "platform/ProgramInfo.h"
#include "platform/qtcore/QtInstanceLock.h"
#include "tests/gui/MainWindowFixture.h"
#include "tests/support/Process.h"

namespace parlo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using Startup = test::MainWindowFixture;

// The program's own boxes, each written to stderr and closed as a user
// would; the window start-up ends the process through the fatal box.
[[noreturn]] void StartWithoutTheLmrFactoryFile(const std::string& data) {
    SetDataDir(data);
    qt::InstallFatalBox();
    qt::QtPrompts boxes;
    SetPrompts(&boxes);
    int shown = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "box %d: %s|%s\n", ++shown, box->windowTitle().toUtf8().data(),
                         box->text().toUtf8().data());
            box->done(QMessageBox::Ok);
        }
    });
    closer.start(20);
    qt::QtScheduler scheduler;
    SetScheduler(&scheduler);
    EventManager events;
    SetEventManager(&events);
    test::MemorySettings store;
    FixedScreen screen;
    AppSettings env(store, screen, nullptr);
    env.Defaults();
    env.SetModelType(kVariantLmr);
    qt::MainWindow window(env, 0, nullptr);
    std::fprintf(stderr, "the window started\n");
    std::exit(0);
}

TEST(StartupDeathTest, AMissingFactoryFileShowsOneBoxAndEndsWithStatus3) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    test::TempDir dir;
    for (const auto& entry : fs::directory_iterator(test::DataFile(""))) {
        const std::string name = entry.path().filename().string();
        const bool data = name.find('.') != std::string::npos;
        if (data && name != "MV7105C_LMR.icf") fs::copy_file(entry.path(), dir.path() / name);
    }
    // The first box the user sees names the file (in the folder the child
    // process made for itself) and says why, with the program's name for its
    // caption; the process ends as it closes.
    EXPECT_EXIT(StartWithoutTheLmrFactoryFile(dir.path().string()), ::testing::ExitedWithCode(3),
                "box 1: " + ExecutableName() +
                    "\\|Cannot open '[^']*/MV7105C_LMR\\.icf'\\.\nThe file cannot be opened\\. "
                    "Check that it exists and that you are allowed to read it\\.\nIt does not "
                    "exist\\.\n$");
}

TEST_F(Startup, TheSplitterStaysWhereItWasUnlessMoved) {
    // 200 is the default: the tree panel then also fits its captions.
    for (const int stored : {150, 200, 260}) {
        env.Defaults();
        env.SetModelType(kVariantDPmr446);
        env.SetSplitterV(stored);
        for (int run = 0; run < 3; ++run) {
            Start();
            const int shown = window->Splitter()->sizes().front();
            if (stored == 200) {
                EXPECT_GE(shown, window->TreeView()->FittingWidth());
            } else {
                EXPECT_EQ(shown, stored);
            }
            window->resize(window->width() + 40, window->height());
            QApplication::processEvents();
            EXPECT_EQ(window->Splitter()->sizes().front(), shown) << "the tree keeps its width";
            EXPECT_TRUE(window->close());
            window.reset();
            EXPECT_EQ(env.SplitterV(), stored) << "run " << run;
        }
    }

    // Dragging the handle is what changes it.
    env.SetSplitterV(180);
    Start();
    QSplitterHandle* handle = window->Splitter()->handle(1);
    const QPoint grip(handle->width() / 2, handle->height() / 2);
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(handle, grip + QPoint(30, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, grip + QPoint(30, 0));
    const int moved = window->Splitter()->sizes().front();
    EXPECT_EQ(moved, 210);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(env.SplitterV(), moved);
}

TEST_F(Startup, AFileOnTheCommandLineOpens) {
    test::TempDir dir;
    const std::string file = dir.file("radio.icf");
    fs::copy_file(test::DataFile("MV7105C_PMRT.icf"), file);
    Open(kVariantLmr, {"/kestrel", file});  // the maker switch is no file
    ASSERT_TRUE(test::WaitUntil([&] { return !window->Controller().Doc().FileName().empty(); }));
    EXPECT_EQ(window->Controller().Doc().FileName(), file);
    EXPECT_EQ(window->Controller().Doc().Variant(), kVariantTarnPmr);
    EXPECT_TRUE(window->windowTitle().startsWith("radio.icf - "));
}

// A second start with a file: the running copy (this test, holding the lock
// and its mailbox) asks about its unsaved changes, then opens the file.
TEST_F(Startup, ASecondStartHandsItsFileToTheRunningCopy) {
    test::TempDir dir;
    fs::create_directories(dir.path() / "run");
    ::chmod(dir.file("run").c_str(), 0700);
    const std::string lock = dir.file("run/Keld Parlo APP Exclusive Mutex.lock");
    qt::QtInstanceLock guard(lock);
    ASSERT_EQ(guard.TryAcquire(), LockResult::Acquired);
    qt::InstanceMailbox mailbox(lock);
    ASSERT_TRUE(mailbox.Listen());

    Open(kVariantPmr);
    QObject::connect(&mailbox, &qt::InstanceMailbox::FileReceived, window.get(),
                     &qt::MainWindow::OpenWhenIdle);
    window->Controller().Doc().Working().SetByte(0x95DD, 'Q');  // an unsaved change
    prompts.answer = MsgAnswer::No;

    const std::string other = dir.file("other.icf");
    fs::copy_file(test::DataFile("MV7105C_LMR.icf"), other);
    // Named relative to the folder it is started in, as a shell would.
    const std::string relative = fs::relative(other, fs::current_path()).string();
    ASSERT_NE(relative.front(), '/');
    test::BackgroundProcess second(PARLO_GUI_PATH, {relative},
                                   {{"QT_QPA_PLATFORM", "offscreen"},
                                    {"XDG_RUNTIME_DIR", dir.file("run")},
                                    {"XDG_CONFIG_HOME", dir.file("config")}});
    std::optional<int> status;
    ASSERT_TRUE(test::WaitUntil([&] { return (status = second.WaitFor(0ms)).has_value(); }, 20000));
    EXPECT_EQ(*status, 0);
    ASSERT_TRUE(test::WaitUntil([&] { return window->Controller().Doc().FileName() == other; }));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].text.find("Untitled"), std::string::npos) << prompts.shown[0].text;
    EXPECT_EQ(window->Controller().Doc().Variant(), kVariantLmr);
    EXPECT_FALSE(fs::exists(dir.file("config/Keld/Parlo.ini"))) << "the second copy saved settings";
}

TEST(InstanceMailbox, HandsOverPathsAndCutsOffWhatBreaksTheLimits) {
    test::TempDir dir;
    const std::string lock = dir.file("x.lock");
    EXPECT_EQ(qt::InstanceMailbox::SocketPath(lock), QString::fromStdString(dir.file("x.socket")));
    // A socket left behind by a copy that died is replaced.
    test::WriteFile(dir.file("x.socket"), "stale");
    qt::InstanceMailbox running(lock);
    ASSERT_TRUE(running.Listen());
    QStringList got;
    QObject::connect(&running, &qt::InstanceMailbox::FileReceived,
                     [&](const QString& path) { got << path; });
    qt::InstanceMailbox second(lock);
    bool sent = false;
    std::thread sender([&] { sent = second.Send({"/a/b.icf", "/c d/é.icf"}, 5000); });
    test::WaitUntil([&] { return got.size() == 2; });
    sender.join();
    EXPECT_TRUE(sent);
    EXPECT_EQ(got, QStringList({"/a/b.icf", "/c d/é.icf"}));

    // Too many paths, or one too long: nothing is taken.
    got.clear();
    QStringList many;
    for (int i = 0; i <= qt::InstanceMailbox::kMaxPaths; ++i) many << QString("/f%1.icf").arg(i);
    for (const QStringList& paths :
         {many, QStringList{QString(qt::InstanceMailbox::kMaxPathBytes + 1, 'x')}}) {
        std::thread refused([&] { sent = second.Send(paths, 1000); });
        test::WaitUntil([&] { return false; }, 300);
        refused.join();
        EXPECT_FALSE(sent);
        EXPECT_TRUE(got.isEmpty());
    }
}

}  // namespace
}  // namespace parlo
