// What a save does to whatever is at its path: links are followed, a
// regular file is replaced whole or not at all, a FIFO, a pipe behind a
// link and a socket are written in place, and a folder, a link loop or a
// missing folder are refused with a message that names the file and says why.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;

EepromImage SomeImage() {
    EepromImage image;
    image.SetSize(kImageSize);
    for (int32_t a = 0; a < kImageSize; ++a) image.SetByte(a, static_cast<uint8_t>(a * 5 + 1));
    return image;
}

// Everything readable from a descriptor until its end, or `limit` bytes.
std::string ReadAll(int fd, size_t limit = std::string::npos) {
    std::string got;
    char buffer[4096];
    while (got.size() < limit) {
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, limit - got.size()));
        if (n <= 0) break;
        got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

class CloneFileSaveTest : public ::testing::Test {
protected:
    // The bytes a save of the image writes to a plain new file.
    std::string Expected() {
        EXPECT_EQ(SaveCloneFile(dir.file("plain.icf"), image).code, kFileOk);
        return ReadFile(dir.file("plain.icf"));
    }
    // Saves the image to `path`; the outcome stays in `last`.
    uint8_t Save(const std::string& path) {
        last = SaveCloneFile(path, image);
        return last.code;
    }
    const std::string& Message() const { return last.message; }

    FileOutcome last;
    TempDir dir;
    EepromImage image = SomeImage();
};

TEST_F(CloneFileSaveTest, ADanglingLinkGetsItsTargetCreated) {
    const std::string expected = Expected();
    fs::create_symlink("made.icf", dir.file("link.icf"));
    ASSERT_EQ(Save(dir.file("link.icf")), kFileOk) << Message();
    EXPECT_TRUE(fs::is_symlink(dir.file("link.icf")));
    EXPECT_EQ(ReadFile(dir.file("made.icf")), expected);
}

TEST_F(CloneFileSaveTest, RefusedTargetsAreLeftAsTheyWereAndTheMessageSaysWhy) {
    struct Case {
        const char* name;
        const char* path;
        std::function<void()> make;
        std::function<bool()> intact;
        const char* why;
    };
    const std::string target = dir.file("target");
    const Case cases[] = {
        {"a folder", "target", [&] { fs::create_directory(target); },
         [&] { return fs::is_directory(target) && fs::is_empty(target); }, "It is a folder."},
        {"a link to a folder", "target",
         [&] {
             fs::create_directory(dir.file("sub"));
             fs::create_symlink("sub", target);
         },
         [&] { return fs::is_symlink(target) && fs::is_empty(dir.file("sub")); },
         "It is a folder."},
        {"a link loop", "target",
         [&] {
             fs::create_symlink("other", target);
             fs::create_symlink("target", dir.file("other"));
         },
         [&] {
             return fs::read_symlink(target) == "other" &&
                    fs::read_symlink(dir.file("other")) == "target";
         },
         "Its symbolic links form a loop."},
        {"a link into a missing folder", "target",
         [&] { fs::create_symlink("gone/x.icf", target); },
         [&] { return fs::read_symlink(target) == "gone/x.icf"; }, "Its folder does not exist."},
        {"a missing folder", "gone/x.icf", [] {}, [&] { return !fs::exists(dir.file("gone")); },
         "Its folder does not exist."},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir.path());
        fs::create_directory(dir.path());
        c.make();
        const std::string path = dir.file(c.path);
        EXPECT_EQ(Save(path), kFileErrOpen) << c.name;
        EXPECT_TRUE(c.intact()) << c.name;
        for (const auto& e : fs::directory_iterator(dir.path()))
            EXPECT_EQ(e.path().filename().string().find('.'), std::string::npos)
                << c.name << ": " << e.path() << " was left behind";
        const std::string text = Message();
        EXPECT_EQ(text.rfind("The clone file '" + path + "' could not be saved.\n\n", 0), 0u)
            << c.name << ":\n"
            << text;
        EXPECT_NE(text.find(c.why), std::string::npos) << c.name << ":\n" << text;
        EXPECT_EQ(text.find("kept unchanged"), std::string::npos) << c.name;  // nothing was begun
    }
}

TEST_F(CloneFileSaveTest, AFifoIsWrittenInPlace) {
    const std::string expected = Expected();
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] {
        const int fd = ::open(fifo.c_str(), O_RDONLY);
        got = ReadAll(fd);
        ::close(fd);
    });
    const uint8_t code = Save(fifo);
    reader.join();
    EXPECT_EQ(code, kFileOk) << Message();
    EXPECT_EQ(got, expected);
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// /dev/stdout is such a link: to /proc/self/fd/1.
TEST_F(CloneFileSaveTest, ALinkToAPipeWritesIntoThePipe) {
    const std::string expected = Expected();
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const std::string link = dir.file("out");
    fs::create_symlink("/proc/self/fd/" + std::to_string(pipeEnds[1]), link);
    std::string got;
    std::thread reader([&] { got = ReadAll(pipeEnds[0]); });
    const uint8_t code = Save(link);
    ::close(pipeEnds[1]);
    reader.join();
    ::close(pipeEnds[0]);
    EXPECT_EQ(code, kFileOk) << Message();
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(fs::is_symlink(link));
}

TEST_F(CloneFileSaveTest, ASocketIsWrittenInPlace) {
    const std::string expected = Expected();
    const std::string path = dir.file("sock");
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(server, 1), 0);
    std::string got;
    std::thread reader([&] {
        const int fd = ::accept(server, nullptr, nullptr);
        got = ReadAll(fd);
        ::close(fd);
    });
    const uint8_t code = Save(path);
    reader.join();
    ::close(server);
    EXPECT_EQ(code, kFileOk) << Message();
    EXPECT_EQ(got, expected);
}

TEST_F(CloneFileSaveTest, AReaderThatStopsReadingIsAWriteError) {
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] {
        const int fd = ::open(fifo.c_str(), O_RDONLY);
        got = ReadAll(fd, 10);
        ::close(fd);
    });
    // The file is larger than the pipe holds, so the writer outlives the
    // reader; the save must fail, not end the process.
    const uint8_t code = Save(fifo);
    reader.join();
    EXPECT_EQ(code, kFileErrAccess);
    EXPECT_EQ(got, "29270000\r\n");
    EXPECT_NE(Message().find("The program reading it has stopped reading."), std::string::npos)
        << Message();
    EXPECT_EQ(Message().find("kept unchanged"), std::string::npos) << Message();
}

}  // namespace
}  // namespace parlo
