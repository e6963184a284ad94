// Starting parlo twice: the second copy ends at once with status 0 while
// the first keeps running; a copy that died leaves no lasting lock.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <thread>

#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

#ifdef PARLO_GUI_PATH

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class SingleInstance : public ::testing::Test {
protected:
    SingleInstance() {
        fs::create_directories(dir.path() / "config" / "Keld");
        fs::create_directories(dir.path() / "run");
        ::chmod(dir.file("run").c_str(), 0700);
        env = {{"QT_QPA_PLATFORM", "offscreen"},
               {"XDG_CONFIG_HOME", dir.file("config")},
               {"XDG_RUNTIME_DIR", dir.file("run")}};
    }

    // Waits until a running parlo holds the guard.
    bool GuardTaken() {
        const fs::path lock = dir.path() / "run" / "Keld Parlo APP Exclusive Mutex.lock";
        for (int i = 0; i < 1000 && !fs::exists(lock); ++i) std::this_thread::sleep_for(10ms);
        return fs::exists(lock);
    }

    test::TempDir dir;
    std::map<std::string, std::string> env;
};

TEST_F(SingleInstance, ASecondCopyEndsAtOnceAndTouchesNothing) {
    const std::string ini = "[Global]\nBBT=753951\nComPort=2\n";
    test::WriteFile(dir.file("config/Keld/Parlo.ini"), ini);
    const auto modified = fs::last_write_time(dir.file("config/Keld/Parlo.ini"));

    test::BackgroundProcess first(PARLO_GUI_PATH, {}, env);
    ASSERT_TRUE(GuardTaken());
    test::BackgroundProcess second(PARLO_GUI_PATH, {}, env);
    EXPECT_EQ(second.WaitFor(20s), std::optional<int>(0));
    EXPECT_EQ(first.WaitFor(200ms), std::nullopt);  // still running
    EXPECT_EQ(test::ReadFile(dir.file("config/Keld/Parlo.ini")), ini);
    EXPECT_EQ(fs::last_write_time(dir.file("config/Keld/Parlo.ini")), modified);

    // A copy that was killed leaves its lock file behind; the next one
    // takes it over instead of believing another copy runs.
    EXPECT_EQ(first.Kill(SIGKILL), 128 + SIGKILL);
    test::BackgroundProcess third(PARLO_GUI_PATH, {}, env);
    EXPECT_EQ(third.WaitFor(1500ms), std::nullopt);
}

#endif

}  // namespace
}  // namespace parlo
