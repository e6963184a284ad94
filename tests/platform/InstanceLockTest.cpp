// The single-instance lock: whatever is at its place that no running copy
// left there is stale, and taken over with one word on stderr.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "platform/qtcore/QtInstanceLock.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

namespace fs = std::filesystem;

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// What TryAcquire answers for the lock at `path`, and what it said.
std::pair<LockResult, std::string> Acquire(qt::QtInstanceLock& lock) {
    testing::internal::CaptureStderr();
    const LockResult result = lock.TryAcquire();
    return {result, testing::internal::GetCapturedStderr()};
}

TEST(InstanceLock, WhatCannotBeReadAsALockIsTakenOverWithOneWord) {
    const char* const kSaid = "could not be read as a lock of this program";
    const struct {
        const char* what;
        std::function<void(const std::string& path)> make;
    } cases[] = {
        {"garbage", [](const std::string& p) { test::WriteFile(p, "garbage\n"); }},
        {"empty", [](const std::string& p) { test::WriteFile(p, ""); }},
        {"zeros", [](const std::string& p) { test::WriteFile(p, std::string(64, '\0')); }},
        {"process 0", [](const std::string& p) { test::WriteFile(p, "0\nparlo\n"); }},
        {"a number without its line end", [](const std::string& p) { test::WriteFile(p, "12"); }},
        {"a megabyte of digits",
         [](const std::string& p) { test::WriteFile(p, std::string(1 << 20, '7') + "\n"); }},
        // Neither may block or be read for ever.
        {"a FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"a link to /dev/zero", [](const std::string& p) { fs::create_symlink("/dev/zero", p); }},
        {"a dangling link", [](const std::string& p) { fs::create_symlink(p + ".gone", p); }},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        const std::string path = dir.file("x.lock");
        c.make(path);
        qt::QtInstanceLock lock(path);
        const auto [result, said] = Acquire(lock);
        EXPECT_EQ(result, LockResult::Acquired) << c.what << ": " << said;
        EXPECT_EQ(Count(said, kSaid), 1u) << c.what << ": " << said;
        EXPECT_EQ(test::ReadFile(path).rfind(std::to_string(::getpid()) + "\n", 0), 0u) << c.what;
        EXPECT_EQ(lock.TryAcquire(), LockResult::Acquired);
        lock.Release();
    }
}

TEST(InstanceLock, ALiveLockAndWhatCannotBeRemovedStay) {
    test::TempDir dir;
    const std::string path = dir.file("x.lock");
    {
        qt::QtInstanceLock first(path);
        ASSERT_EQ(first.TryAcquire(), LockResult::Acquired);
        qt::QtInstanceLock second(path);
        const auto [result, said] = Acquire(second);
        EXPECT_EQ(result, LockResult::HeldElsewhere);
        EXPECT_EQ(said, "");
    }

    // A copy that has created its lock but not yet written it holds it.
    test::WriteFile(path, "");
    const int held = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    {
        qt::QtInstanceLock starting(path);
        const auto [result, said] = Acquire(starting);
        EXPECT_EQ(result, LockResult::HeldElsewhere) << said;
        EXPECT_TRUE(fs::exists(path));
    }
    ::close(held);
    fs::remove(path);

    // A folder in its place: the program runs without the check, and says so.
    fs::create_directory(path);
    qt::QtInstanceLock blocked(path);
    const auto [result, said] = Acquire(blocked);
    EXPECT_EQ(result, LockResult::Unavailable);
    EXPECT_NE(said.find("is not a lock file of this program and cannot be removed"),
              std::string::npos)
        << said;
}

}  // namespace
}  // namespace parlo
