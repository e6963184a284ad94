// Starting and ending the desktop program: a factory file that cannot be
// read ends it with one box; the splitter comes back where it was; a file
// named on the command line opens, or says why it cannot; the stored window
// fits the screen; help and the version need no display; a lock file that
// is no lock does not keep the program from starting.
#include <gtest/gtest.h>
#include <signal.h>
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
#include "platform/qtcore/QtSettingsStore.h"
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

// The first page, and the page again after a file opened, are there as soon
// as the events in hand are done: the window never paints without them
// while the housekeeping's next turn (50 ms) is awaited.
TEST_F(Startup, ThePageIsThereOnceTheEventsInHandAreDone) {
    env.Defaults();
    env.SetModelType(kVariantPmr);
    window = std::make_unique<qt::MainWindow>(env, 0, nullptr);
    window->show();
    QCoreApplication::processEvents();
    EXPECT_NE(window->Sheets()->CurrentSheet(), nullptr) << "at the start";
    ASSERT_TRUE(window->Controller().Open(test::DataFile("MV7105C_LMR.icf")));
    QCoreApplication::processEvents();
    EXPECT_NE(window->Sheets()->CurrentSheet(), nullptr) << "after a file opened";
}

// "--" ends the options: a file may then begin with a dash.
TEST_F(Startup, AFileAfterTheEndOfTheOptionsOpens) {
    test::TempDir dir;
    const std::string file = dir.file("-radio.icf");
    fs::copy_file(test::DataFile("MV7105C_PMRT.icf"), file);
    Open(kVariantLmr, {"--", file});
    ASSERT_TRUE(test::WaitUntil([&] { return window->Controller().Doc().FileName() == file; }));
    EXPECT_TRUE(prompts.shown.empty());
}

// A FIFO named on the command line would hold the window until some writer
// came; a file that is not there is said so. Neither is opened.
TEST_F(Startup, AFileThatCannotBeReadIsSaidSoAtOnce) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo.icf").c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* why;
    } cases[] = {
        {dir.file("fifo.icf"), "It is a pipe, a device or a socket, not a regular file."},
        {"/dev/zero", "It is a pipe, a device or a socket, not a regular file."},
        {dir.file("absent.icf"), "It does not exist."},
    };
    for (const auto& c : cases) {
        prompts.shown.clear();
        Open(kVariantPmr, {c.path});
        ASSERT_TRUE(test::WaitUntil([&] { return !prompts.shown.empty(); })) << c.path;
        EXPECT_EQ(prompts.shown[0].text, "The clone file '" + c.path +
                                             "' could not be used.\n\nThe file cannot be opened. "
                                             "Check that it exists and that you are allowed to "
                                             "read it.\n" +
                                             c.why);
        EXPECT_TRUE(window->Controller().Doc().FileName().empty());
        window.reset();
    }
}

// The settings file as a user might have it: a window larger than any
// screen, or far off it, opens whole on the screen there is.
TEST_F(Startup, AStoredWindowOpensWholeOnTheScreen) {
    const struct {
        const char* left;
        const char* top;
        const char* width;
        const char* height;
    } cases[] = {
        {"100", "50", "2147483647", "2147483647"},
        {"0", "0", "10000", "10000"},
        {"5000", "100", "640", "480"},
        {"-5000", "-300", "640", "480"},
        {"-2147483648", "2147483647", "-2147483648", "0"},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        const std::string ini = dir.file("Parlo.ini");
        test::WriteFile(ini, std::string("[Global]\nBBT=753951\nComPort=1\nComSpeedHigh=0\n"
                                         "Current%20Directory=\n[Recent%20File%20List]\n") +
                                 "Recent0=\nRecent1=\nRecent2=\nRecent3=\nRecent4=\nRecent5=\n"
                                 "Recent6=\nRecent7=\nRecent8=\nRecent9=\n[View%20Option]\n"
                                 "FontSize%20Percentage=100\nToolbar%20Visible=1\n"
                                 "[Window%20Position]\nLeft=" +
                                 c.left + "\nTop=" + c.top + "\nWidth=" + c.width +
                                 "\nHeight=" + c.height +
                                 "\nSplitterV=2147483647\n"
                                 "[Setup]\nModelType=1\n");
        qt::QtSettingsStore store(ini);
        AppSettings stored(store, screen, nullptr);
        ASSERT_TRUE(stored.SettingsValid());
        qt::MainWindow shown(stored, 0, nullptr);
        shown.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));
        // Fitted again once the frame is known, which comes after the showing.
        const QRect area = shown.screen()->availableGeometry();
        EXPECT_TRUE(test::WaitUntil([&] { return area.contains(shown.frameGeometry()); }))
            << c.width << "x" << c.height << " at " << c.left << "," << c.top << ": "
            << shown.frameGeometry().x() << "," << shown.frameGeometry().y() << " "
            << shown.frameGeometry().width() << "x" << shown.frameGeometry().height();
        // The sheet keeps a part of the window, whatever width the tree had.
        EXPECT_GE(shown.Splitter()->sizes().back(), 50) << c.width;
    }
    // What fits stays exactly where it was.
    env.Defaults();
    env.SetWindowBounds(30, 40, 600, 400);
    Start();
    EXPECT_EQ(window->geometry(), QRect(30, 40, 600, 400));
}

// ---- The program as a process ----------------------------------------------------------

// The environment of a start of the program in `dir`: its own runtime and
// settings folders, the offscreen platform.
std::map<std::string, std::string> ProgramEnvironment(const test::TempDir& dir) {
    fs::create_directories(dir.path() / "run");
    ::chmod(dir.file("run").c_str(), 0700);
    return {{"QT_QPA_PLATFORM", "offscreen"},
            {"XDG_RUNTIME_DIR", dir.file("run")},
            {"XDG_CONFIG_HOME", dir.file("config")}};
}

// Help, the version and a refused option are answered with no display and
// no platform plugin at all.
TEST(StartupProcess, HelpAndVersionNeedNoDisplayAndUnknownOptionsAreRefused) {
    test::TempDir dir;
    const auto env = ProgramEnvironment(dir);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;
    } cases[] = {
        {{"--help"}, 0, "Usage: parlo [FILE]\n", ""},
        {{"-h"}, 0, "Usage: parlo [FILE]\n", ""},
        {{"radio.icf", "--help"}, 0, "Usage: parlo [FILE]\n", ""},
        {{"--version"}, 0, "parlo ", ""},
        {{"--bogus"}, 64, "", "parlo: unknown option '--bogus'\n\nUsage: parlo [FILE]\n"},
        {{"-x", "radio.icf"}, 64, "", "parlo: unknown option '-x'\n\nUsage: parlo [FILE]\n"},
        {{"-platform"}, 64, "", "parlo: option '-platform' needs a value\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"-u", "DISPLAY",         "-u",          "WAYLAND_DISPLAY",
                                         "-u", "QT_QPA_PLATFORM", PARLO_GUI_PATH};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const test::ProcessResult r = test::RunProcess("/usr/bin/env", args, env);
        EXPECT_EQ(r.status, c.status) << c.args.front() << "\n" << r.err;
        EXPECT_EQ(r.out.rfind(c.out, 0), 0u) << c.args.front() << ": " << r.out;
        EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << c.args.front() << ": " << r.err;
        if (c.out.empty()) {
            EXPECT_EQ(r.out, "");
        }
        if (c.err.empty()) {
            EXPECT_EQ(r.err, "");
        }
    }
    EXPECT_TRUE(fs::is_empty(dir.path() / "run")) << "no lock taken";
}

// A lock file that no copy could have written (garbage, or empty) is stale:
// the program says so once and starts, where it used to end silently.
TEST(StartupProcess, AGarbageLockFileStartsTheProgram) {
    for (const std::string garbage : {"garbage\n", ""}) {
        test::TempDir dir;
        const auto env = ProgramEnvironment(dir);
        const std::string lock = dir.file("run/Keld Parlo APP Exclusive Mutex.lock");
        test::WriteFile(lock, garbage);
        test::BackgroundProcess program(PARLO_GUI_PATH, {}, env, dir.file("output"));
        // Started: its lock names a process and its mailbox is open.
        const auto started = [&] {
            const std::string text = fs::exists(lock) ? test::ReadFile(lock) : "";
            return !text.empty() && text[0] >= '1' && text[0] <= '9' &&
                   fs::exists(dir.file("run/Keld Parlo APP Exclusive Mutex.socket"));
        };
        ASSERT_TRUE(test::WaitUntil(started, 20000)) << test::ReadFile(dir.file("output"));
        EXPECT_FALSE(program.WaitFor(0ms).has_value()) << "it ended";
        const std::string said = test::ReadFile(dir.file("output"));
        EXPECT_EQ(said.find("could not be read as a lock of this program"),
                  said.rfind("could not be read as a lock of this program"))
            << said;
        EXPECT_NE(said.find("could not be read as a lock of this program"), std::string::npos)
            << said;
        program.Kill(SIGKILL);
    }
}

// A runtime folder whose path leaves no room for the socket's name: the
// program runs, and says why a later start cannot reach it.
TEST(StartupProcess, SaysWhyItCannotReceiveFilesFromLaterStarts) {
    test::TempDir dir;
    auto env = ProgramEnvironment(dir);
    const std::string deep = dir.file(std::string(120, 'd'));
    fs::create_directories(deep);
    ::chmod(deep.c_str(), 0700);
    env["XDG_RUNTIME_DIR"] = deep;
    test::BackgroundProcess program(PARLO_GUI_PATH, {}, env, dir.file("output"));
    const auto said = [&] {
        return fs::exists(dir.file("output")) ? test::ReadFile(dir.file("output")) : "";
    };
    ASSERT_TRUE(test::WaitUntil([&] { return !said().empty(); }, 20000));
    EXPECT_NE(said().find("cannot receive files from later starts: the socket path '" + deep +
                          "/Keld Parlo APP Exclusive Mutex.socket' is longer than the 107 bytes"),
              std::string::npos)
        << said();
    EXPECT_FALSE(program.WaitFor(0ms).has_value()) << "it ended";
    program.Kill(SIGKILL);
}

}  // namespace
}  // namespace parlo
