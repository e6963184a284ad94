// A later start meets the running copy through the mailbox beside the lock:
// its files open in the running window (each refused one named with the
// reason), and without files the window comes to the front.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QLocalSocket>
#include <filesystem>
#include <thread>

#include "gui/HandOver.h"
#include "gui/InstanceMailbox.h"
#include "model/ModelVariant.h"
#include "platform/qtcore/QtInstanceLock.h"
#include "tests/gui/MainWindowFixture.h"
#include "tests/support/Process.h"

namespace parlo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::WaitUntil;

// Sends `paths` from another thread, as a later start would, while this
// one runs the running copy's event loop.
qt::InstanceMailbox::Delivery SendFromAnotherThread(const qt::InstanceMailbox& sender,
                                                    const std::vector<std::string>& paths,
                                                    int timeoutMs = 5000) {
    qt::InstanceMailbox::Delivery delivery;
    bool done = false;
    std::thread thread([&] {
        delivery = sender.Send(paths, timeoutMs);
        done = true;
    });
    WaitUntil([&] { return done; }, timeoutMs + 2000);
    thread.join();
    return delivery;
}

TEST(InstanceMailbox, AnswersForEveryPathAndHandsOnWhatCanBeOpened) {
    test::TempDir dir;
    const std::string lock = dir.file("x.lock");
    EXPECT_EQ(qt::InstanceMailbox::SocketPath(lock), QString::fromStdString(dir.file("x.socket")));
    // A socket left behind by a copy that died is replaced.
    test::WriteFile(dir.file("x.socket"), "stale");
    qt::InstanceMailbox running(lock);
    ASSERT_TRUE(running.Listen()) << running.Problem().toStdString();
    QStringList got;
    int raised = 0;
    QObject::connect(&running, &qt::InstanceMailbox::FileReceived,
                     [&](const QString& path) { got << path; });
    QObject::connect(&running, &qt::InstanceMailbox::RaiseRequested, [&] { ++raised; });
    const qt::InstanceMailbox second(lock);

    test::WriteFile(dir.file("a.icf"), "");
    fs::create_directory(dir.path() / "c d");
    test::WriteFile(dir.file("c d/é.icf"), "");
    using namespace std::string_literals;
    const struct {
        std::string path;
        std::string answer;  // the reason, or empty when taken
        bool handedOn;       // to the window, which says itself what is wrong
    } cases[] = {
        {dir.file("a.icf"), "", true},
        {dir.file("c d/é.icf"), "", true},
        {dir.file("absent.icf"), "It does not exist.", true},
        {"relative.icf", "the path is not absolute", false},
        {dir.file("a.icf\0.txt"s), "the path contains a NUL character", false},
        {dir.file("caf\xe9.icf"), "the path is not UTF-8 text, which this program cannot open",
         false},
        {"/" + std::string(qt::InstanceMailbox::kMaxPathBytes, 'x'),
         "the path is longer than 4096 bytes", false},
    };
    std::vector<std::string> paths;
    for (const auto& c : cases) paths.push_back(c.path);
    const auto delivery = SendFromAnotherThread(second, paths);
    ASSERT_TRUE(delivery.answered) << delivery.problem.toStdString();
    ASSERT_EQ(delivery.refusals.size(), qsizetype(std::size(cases)));
    QStringList handedOn;
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(delivery.refusals[qsizetype(i)].toStdString(), cases[i].answer) << i;
        if (cases[i].handedOn) handedOn << QString::fromStdString(cases[i].path);
    }
    EXPECT_TRUE(WaitUntil([&] { return got.size() == handedOn.size(); }));
    EXPECT_EQ(got, handedOn);
    EXPECT_EQ(raised, 0);

    // Without files: the window is asked to come to the front.
    EXPECT_TRUE(SendFromAnotherThread(second, {}).answered);
    EXPECT_EQ(raised, 1);

    // Too many at once: each one is refused, by name, and none opened.
    got.clear();
    std::vector<std::string> many;
    for (int i = 0; i <= qt::InstanceMailbox::kMaxPaths; ++i)
        many.push_back(dir.file("f" + std::to_string(i) + ".icf"));
    const auto refused = SendFromAnotherThread(second, many);
    ASSERT_TRUE(refused.answered);
    ASSERT_EQ(refused.refusals.size(), qsizetype(many.size()));
    for (const QString& why : refused.refusals) EXPECT_EQ(why, "more than 16 files at once");
    EXPECT_TRUE(got.isEmpty());
}

// A sender that connects and says nothing is let go after a while, and no
// more senders than the limit are served at once.
TEST(InstanceMailbox, DropsIdleConnectionsAndSaysWhyItCannotListen) {
    test::TempDir dir;
    qt::InstanceMailbox running(dir.file("x.lock"));
    running.SetIdleTimeout(300);
    ASSERT_TRUE(running.Listen());
    std::vector<std::unique_ptr<QLocalSocket>> idle;
    for (int i = 0; i <= qt::InstanceMailbox::kMaxConnections; ++i) {
        idle.push_back(std::make_unique<QLocalSocket>());
        idle.back()->connectToServer(QString::fromStdString(dir.file("x.socket")));
        ASSERT_TRUE(idle.back()->waitForConnected(2000));
    }
    EXPECT_TRUE(WaitUntil(
        [&] {
            return std::all_of(idle.begin(), idle.end(), [](const auto& s) {
                return s->state() == QLocalSocket::UnconnectedState;
            });
        },
        5000));

    // A runtime folder so deep that the socket's name would be cut.
    const std::string deep = dir.file(std::string(100, 'd') + "/x.lock");
    qt::InstanceMailbox unreachable(deep);
    EXPECT_FALSE(unreachable.Listen());
    EXPECT_EQ(unreachable.Problem().toStdString(),
              "cannot receive files from later starts: the socket path '" +
                  dir.file(std::string(100, 'd') + "/x.socket") +
                  "' is longer than the 107 bytes a local socket may have (set XDG_RUNTIME_DIR "
                  "to a shorter folder)");
}

// The running copy (this test, holding the lock and its mailbox) and a
// later start of the real program.
class HandOverTest : public test::MainWindowFixture {
protected:
    test::TempDir dir;
    std::string lock = RunFolder() + "/Keld Parlo APP Exclusive Mutex.lock";
    qt::QtInstanceLock guard{lock};
    qt::InstanceMailbox mailbox{lock};

    std::string RunFolder() {
        fs::create_directories(dir.path() / "run");
        ::chmod(dir.file("run").c_str(), 0700);
        return dir.file("run");
    }
    void OpenRunning(int variant) {
        ASSERT_EQ(guard.TryAcquire(), LockResult::Acquired);
        ASSERT_TRUE(mailbox.Listen());
        Open(variant);
        qt::DeliverHandOvers(mailbox, *window);
    }
    // Starts the program with `args`; its exit status and what it said.
    std::pair<int, std::string> StartAgain(const std::vector<std::string>& args) {
        test::BackgroundProcess later(PARLO_GUI_PATH, args,
                                      {{"QT_QPA_PLATFORM", "offscreen"},
                                       {"XDG_RUNTIME_DIR", dir.file("run")},
                                       {"XDG_CONFIG_HOME", dir.file("config")}},
                                      dir.file("output"));
        std::optional<int> status;
        EXPECT_TRUE(WaitUntil([&] { return (status = later.WaitFor(0ms)).has_value(); }, 20000));
        const std::string said =
            fs::exists(dir.file("output")) ? test::ReadFile(dir.file("output")) : "";
        fs::remove(dir.file("output"));
        return {status.value_or(-1), said};
    }
};

// A second start with a file: the running copy asks about its unsaved
// changes, then opens the file.
TEST_F(HandOverTest, ASecondStartHandsItsFileToTheRunningCopy) {
    OpenRunning(kVariantPmr);
    window->Controller().Doc().Working().SetByte(0x95DD, 'Q');  // an unsaved change
    prompts.answer = MsgAnswer::No;

    const std::string other = dir.file("other.icf");
    fs::copy_file(test::DataFile("MV7105C_LMR.icf"), other);
    // Named relative to the folder it is started in, as a shell would.
    const std::string relative = fs::relative(other, fs::current_path()).string();
    ASSERT_NE(relative.front(), '/');
    const auto [status, said] = StartAgain({relative});
    EXPECT_EQ(status, 0) << said;
    EXPECT_EQ(said, "");
    ASSERT_TRUE(WaitUntil([&] { return window->Controller().Doc().FileName() == other; }));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].text.find("Untitled"), std::string::npos) << prompts.shown[0].text;
    EXPECT_EQ(window->Controller().Doc().Variant(), kVariantLmr);
    EXPECT_FALSE(fs::exists(dir.file("config/Keld/Parlo.ini"))) << "the second copy saved settings";
}

// A file that cannot be opened is said so at once by both copies, before
// any question about unsaved changes; a FIFO is never opened.
TEST_F(HandOverTest, AFileThatCannotBeOpenedIsRefusedAtOnceWithTheReason) {
    OpenRunning(kVariantPmr);
    window->Controller().Doc().Working().SetByte(0x95DD, 'Q');
    window->Controller().Doc().MarkModified();
    prompts.answer = MsgAnswer::Cancel;
    ASSERT_EQ(::mkfifo(dir.file("fifo.icf").c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* why;
    } cases[] = {
        {dir.file("fifo.icf"), "It is a pipe, a device or a socket, not a regular file."},
        {"/no/such/file.icf", "It does not exist."},
    };
    for (const auto& c : cases) {
        prompts.shown.clear();
        const auto [status, said] = StartAgain({c.path});
        EXPECT_EQ(status, 1);
        EXPECT_EQ(said, "parlo: '" + c.path + "' was not opened: " + c.why + "\n");
        // The box comes from the one Open, which has ended by then.
        ASSERT_TRUE(WaitUntil([&] { return !prompts.shown.empty(); })) << c.path;
        ASSERT_EQ(prompts.shown.size(), 1u) << prompts.shown.back().text;
        EXPECT_EQ(
            prompts.shown[0].text.rfind("The clone file '" + c.path + "' could not be used.", 0),
            0u)
            << prompts.shown[0].text;
        EXPECT_NE(prompts.shown[0].text.find(c.why), std::string::npos);
        EXPECT_TRUE(window->Controller().Doc().IsModified());
    }
}

// A later start without files brings the minimised window back, as it was
// before (maximised here), and to the front.
TEST_F(HandOverTest, ASecondStartRestoresAMinimisedWindow) {
    OpenRunning(kVariantPmr);
    window->showMaximized();
    window->setWindowState(window->windowState() | Qt::WindowMinimized);
    ASSERT_TRUE(WaitUntil([&] { return window->isMinimized(); }));
    const auto [status, said] = StartAgain({});
    EXPECT_EQ(status, 0) << said;
    EXPECT_EQ(said, "");
    EXPECT_TRUE(WaitUntil([&] { return !window->isMinimized(); }));
    EXPECT_TRUE(window->isMaximized());
    EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace parlo
