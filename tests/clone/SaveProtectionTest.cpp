// What a save keeps of what the system protects: a write-protected file is
// refused; the owner, group, mode and extended attributes of a replaced
// file stay; a file with other hard links, or one whose folder may not be
// written, is written in place; another user's link in a sticky shared
// folder is not followed; and a process killed during a save leaves no
// file behind. Where another user is needed (root only) the save runs in a
// child process as nobody.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>

#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "platform/SafeFile.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

constexpr uid_t kNobody = 65534;

bool IsRoot() { return ::geteuid() == 0; }

// Runs `body` in a child process, as nobody when `asNobody`; what it
// returns ("" when all went well) comes back through a pipe.
std::string InChild(const std::function<std::string()>& body, bool asNobody = false) {
    int ends[2];
    if (::pipe(ends) != 0) return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ends[0]);
        std::string result = "could not become nobody";
        if (!asNobody ||
            (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0))
            result = body();
        (void)!::write(ends[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(ends[1]);
    std::string got;
    char buffer[512];
    for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        got.append(buffer, static_cast<size_t>(n));
    ::close(ends[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? got : "the child ended by a signal";
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename());
    return names;
}

struct stat Stat(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

class SaveProtectionTest : public ::testing::Test {
protected:
    SaveProtectionTest() {
        image.SetSize(kImageSize);
        for (int32_t a = 0; a < kImageSize; ++a) image.SetByte(a, static_cast<uint8_t>(a * 7 + 3));
        EXPECT_EQ(SaveCloneFile(scratch.file("expected.icf"), image).code, kFileOk);
        expected = ReadFile(scratch.file("expected.icf"));
        // Folders another user works in.
        fs::permissions(dir.path(), fs::perms::all);
        ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
        fs::permissions(data.path(), fs::perms::all);
    }
    ~SaveProtectionTest() override { ::unsetenv("XDG_DATA_HOME"); }

    // Saves the image to `path`; the outcome stays in `last`.
    uint8_t Save(const std::string& path) {
        last = SaveCloneFile(path, image);
        return last.code;
    }
    const std::string& Message() const { return last.message; }
    // The save as the child sees it: "" when it succeeded.
    std::string SaveIn(const std::string& path) {
        const uint8_t code = Save(path);
        return code == kFileOk ? "" : "code " + std::to_string(code) + ": " + Message();
    }
    // Nothing left in the data folder, where copies set aside would be.
    bool NothingSetAside() const {
        for (const auto& e : fs::recursive_directory_iterator(data.path()))
            if (!e.is_directory()) return false;
        return true;
    }

    FileOutcome last;
    test::TempDir scratch, dir, data;
    EepromImage image;
    std::string expected;
};

TEST_F(SaveProtectionTest, AWriteProtectedFileIsRefusedAndLeftAsItWas) {
    const std::string path = dir.file("ro.icf");
    for (const fs::perms mode : {fs::perms(0444), fs::perms(0400), fs::perms(0555)}) {
        WriteFile(path, "old\n");
        fs::permissions(path, mode);
        EXPECT_EQ(Save(path), kFileErrOpen);
        EXPECT_NE(Message().find("It is write-protected."), std::string::npos) << Message();
        EXPECT_EQ(Message().find("kept unchanged"), std::string::npos) << "nothing was begun";
        EXPECT_EQ(ReadFile(path), "old\n");
        EXPECT_EQ(fs::status(path).permissions(), mode);
        EXPECT_EQ(Names(dir.path()), std::set<std::string>{"ro.icf"});
        fs::remove(path);
    }
    if (!IsRoot()) return;
    // Another user's file that this user may not write, in a folder it may.
    WriteFile(path, "root's\n");
    fs::permissions(path, fs::perms(0644));
    const std::string refused = InChild([&] { return SaveIn(path); }, true);
    EXPECT_NE(refused.find("code 1: "), std::string::npos) << refused;
    EXPECT_NE(refused.find("It is write-protected."), std::string::npos) << refused;
    EXPECT_EQ(ReadFile(path), "root's\n");
    EXPECT_EQ(Stat(path).st_uid, 0u);
    EXPECT_EQ(Names(dir.path()), std::set<std::string>{"ro.icf"});
}

TEST_F(SaveProtectionTest, TheModeAndExtendedAttributesOfAReplacedFileAreKept) {
    const std::string path = dir.file("kept.icf");
    for (const unsigned mode : {0600u, 0640u, 0604u, 0662u}) {
        WriteFile(path, "old\n");
        ::chmod(path.c_str(), mode);
        const bool attributes = ::setxattr(path.c_str(), "user.parlo", "x", 1, 0) == 0;
        const ino_t before = Stat(path).st_ino;
        ASSERT_EQ(Save(path), kFileOk) << Message();
        EXPECT_EQ(ReadFile(path), expected);
        EXPECT_NE(Stat(path).st_ino, before) << "a file without other links is replaced";
        EXPECT_EQ(Stat(path).st_mode & 07777, mode);
        char value[4] = {};
        if (attributes) {
            EXPECT_EQ(::getxattr(path.c_str(), "user.parlo", value, sizeof value), 1);
        }
        EXPECT_EQ(Names(dir.path()), std::set<std::string>{"kept.icf"});
        fs::remove(path);
    }
}

TEST_F(SaveProtectionTest, RootSavingAnotherUsersFileKeepsItsOwnerAndGroup) {
    if (!IsRoot()) GTEST_SKIP() << "needs root";
    const std::string path = dir.file("nobodys.icf");
    WriteFile(path, "old\n");
    ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    ::chmod(path.c_str(), 0640);
    ASSERT_EQ(Save(path), kFileOk) << Message();
    const struct stat st = Stat(path);
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_gid, kNobody);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(
        InChild([&] { return ReadFile(path) == expected ? "" : "nobody cannot read it"; }, true),
        "");

    // A user who may write a file of a group it is not in cannot give a new
    // file that group: the file is written in place and keeps it.
    ASSERT_EQ(::chown(path.c_str(), kNobody, 0), 0);
    ::chmod(path.c_str(), 0664);
    const ino_t before = st.st_ino;
    image.SetByte(0x100, 0x42);
    EXPECT_EQ(InChild([&] { return SaveIn(path); }, true), "");
    EXPECT_EQ(Stat(path).st_ino, before);
    EXPECT_EQ(Stat(path).st_gid, 0u);
    EXPECT_EQ(Stat(path).st_mode & 07777, 0664u);
    EXPECT_NE(ReadFile(path), expected);
    EXPECT_EQ(Names(dir.path()), std::set<std::string>{"nobodys.icf"});
    EXPECT_TRUE(NothingSetAside());
}

TEST_F(SaveProtectionTest, AFileWithOtherHardLinksIsWrittenInPlace) {
    const std::string a = dir.file("a.icf"), b = dir.file("b.icf");
    WriteFile(a, std::string(300000, 'x'));  // longer than the new contents
    fs::create_hard_link(a, b);
    ASSERT_EQ(Save(a), kFileOk) << Message();
    EXPECT_EQ(ReadFile(a), expected);
    EXPECT_EQ(ReadFile(b), expected);
    EXPECT_EQ(Stat(a).st_ino, Stat(b).st_ino);
    EXPECT_EQ(Stat(a).st_nlink, 2u);
    EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"a.icf", "b.icf"}));
    EXPECT_TRUE(NothingSetAside());
}

TEST_F(SaveProtectionTest, AWritableFileInAFolderThatIsNotIsWrittenInPlace) {
    // Root may write any folder: the folder is then nobody's to be denied.
    const std::string folder = dir.file("locked");
    fs::create_directory(folder);
    const std::string path = folder + "/radio.icf";
    WriteFile(path, "old\n");
    ::chmod(path.c_str(), 0666);
    ::chmod(folder.c_str(), 0555);
    const ino_t before = Stat(path).st_ino;
    EXPECT_EQ(InChild([&] { return SaveIn(path); }, IsRoot()), "");
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(Stat(path).st_ino, before);
    EXPECT_EQ(Names(folder), std::set<std::string>{"radio.icf"});
    EXPECT_TRUE(NothingSetAside());
    ::chmod(folder.c_str(), 0755);
}

// The file-size limit, which fails a save part-way, fails an in-place one
// before it begins; either way the file stays as it was and nothing is left.
TEST_F(SaveProtectionTest, ASaveBeyondTheFileSizeLimitKeepsTheFile) {
    const std::string path = dir.file("limited.icf");
    for (const bool linked : {false, true}) {
        WriteFile(path, "old\n");
        if (linked) fs::create_hard_link(path, dir.file("other.icf"));
        const std::string failed = InChild([&] {
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            IgnoreFileSizeSignal();
            return SaveIn(path);
        });
        EXPECT_NE(failed.find("code 2: "), std::string::npos) << failed;
        EXPECT_NE(failed.find("The file is larger than this process may write."), std::string::npos)
            << failed;
        EXPECT_NE(failed.find("Any earlier file of that name has been kept unchanged."),
                  std::string::npos)
            << failed;
        EXPECT_EQ(ReadFile(path), "old\n");
        EXPECT_EQ(Names(dir.path()).size(), linked ? 2u : 1u);
        EXPECT_TRUE(NothingSetAside());
        fs::remove(dir.file("other.icf"));
    }
}

TEST_F(SaveProtectionTest, AnotherUsersLinkInAStickySharedFolderIsNotFollowed) {
    if (!IsRoot()) GTEST_SKIP() << "needs root, to own the link by another user";
    const std::string shared = dir.file("shared");
    const std::string victim = dir.file("victim.icf");
    const std::string link = shared + "/radio.icf";
    struct Case {
        const char* name;
        unsigned folderMode;
        uid_t folderOwner, linkOwner;
        bool victimThere, followed;
    };
    const Case cases[] = {
        {"nobody's link in root's sticky folder", 01777, 0, kNobody, true, false},
        {"the same, to a file not there yet", 01777, 0, kNobody, false, false},
        {"root's own link", 01777, 0, 0, true, true},
        {"the folder owner's link", 01777, kNobody, kNobody, true, true},
        {"nobody's link in a folder that is not sticky", 0777, 0, kNobody, true, true},
    };
    for (const Case& c : cases) {
        fs::remove_all(shared);
        fs::remove(victim);
        fs::create_directory(shared);
        ASSERT_EQ(::chown(shared.c_str(), c.folderOwner, c.folderOwner), 0);
        ::chmod(shared.c_str(), c.folderMode);
        if (c.victimThere) WriteFile(victim, "root's own\n");
        fs::create_symlink(victim, link);
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, c.linkOwner), 0);
        const uint8_t code = Save(link);
        EXPECT_TRUE(fs::is_symlink(link)) << c.name;
        if (c.followed) {
            EXPECT_EQ(code, kFileOk) << c.name << ": " << Message();
            EXPECT_EQ(ReadFile(victim), expected) << c.name;
            continue;
        }
        EXPECT_EQ(code, kFileErrOpen) << c.name;
        EXPECT_NE(Message().find("It is another user's symbolic link in a folder that everyone "
                                 "may write to, and is not followed."),
                  std::string::npos)
            << c.name << ": " << Message();
        EXPECT_EQ(fs::exists(victim), c.victimThere) << c.name;
        if (c.victimThere) {
            EXPECT_EQ(ReadFile(victim), "root's own\n") << c.name;
        }
    }
}

// Stopped at a known point (the file opened and half written), then killed.
TEST_F(SaveProtectionTest, AProcessKilledDuringASaveLeavesNoFileBehind) {
    struct Case {
        const char* name;
        bool existing, linked;
    };
    const Case cases[] = {
        {"a new file", false, false},
        {"a file replaced", true, false},
        {"a file written in place", true, true},
    };
    const std::string path = dir.file("radio.icf");
    for (const Case& c : cases) {
        for (const auto& e : fs::directory_iterator(dir.path())) fs::remove(e.path());
        if (c.existing) WriteFile(path, "old\n");
        if (c.linked) fs::create_hard_link(path, dir.file("link.icf"));
        const std::set<std::string> before = Names(dir.path());
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            SafeFileWriter out;
            const bool open = out.Open(path) && out.Write(expected.data(), expected.size() / 2);
            (void)!::write(ready[1], open ? "y" : "n", 1);
            for (;;) ::pause();
        }
        char opened = 0;
        EXPECT_EQ(::read(ready[0], &opened, 1), 1);
        EXPECT_EQ(opened, 'y') << c.name;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        ::close(ready[0]);
        ::close(ready[1]);
        EXPECT_EQ(Names(dir.path()), before) << c.name;
        if (c.existing) {
            EXPECT_EQ(ReadFile(path), "old\n") << c.name;
        }
        EXPECT_TRUE(NothingSetAside()) << c.name;
    }
}

// A process killed in the moment between naming a replacement and moving
// it over the file leaves it, whole; the next save of that file removes
// it, and nothing a save under way or someone else could own.
TEST_F(SaveProtectionTest, TheNextSaveRemovesWhatAKilledSaveLeft) {
    const std::string path = dir.file("radio.icf");
    WriteFile(path, "old\n");
    struct Entry {
        const char* name;
        bool old, removed;
    };
    const Entry entries[] = {
        {"radio.icf.parlo.Ab3xYz", true, true},
        {"radio.icf.parlo.Cd4wVu", false, false},  // a save under way
        {"radio.icf.parlo.notes", true, false},
        {"radio.icf.earlier.Ef5tSr", true, false},  // a copy set aside
        {"other.icf.parlo.Gh6qPo", true, false},
    };
    for (const Entry& e : entries) {
        WriteFile(dir.file(e.name), "left\n");
        const timespec old[2] = {{1000, 0}, {1000, 0}};
        if (e.old) ::utimensat(AT_FDCWD, dir.file(e.name).c_str(), old, 0);
    }
    ASSERT_EQ(Save(path), kFileOk) << Message();
    EXPECT_EQ(ReadFile(path), expected);
    for (const Entry& e : entries) EXPECT_EQ(fs::exists(dir.file(e.name)), !e.removed) << e.name;
}

}  // namespace
}  // namespace parlo
