// Where parlo-cli saves to and what it says when it cannot: standard output
// as "-" and through a link to a pipe, a file-size limit, a folder given
// where a file belongs.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

namespace fs = std::filesystem;
using test::RunCli;
using test::TempDir;

class CliSaveTest : public ::testing::Test {
protected:
    TempDir dir;
    const std::string pmrDefault = test::ReadFile(test::DataFile("MV7105C_PMR.icf"));
};

// Standard output is a pipe here, as in `parlo-cli ... | wc -c`.
TEST_F(CliSaveTest, StandardOutputTakesTheFile) {
    const auto dash = RunCli({"new", "--variant", "pmr", "-o", "-"});
    EXPECT_EQ(dash.status, 0) << dash.err;
    EXPECT_EQ(dash.out, pmrDefault);

    // The same link that /dev/stdout is, made where a test may make it.
    const std::string link = dir.file("stdout");
    fs::create_symlink("/proc/self/fd/1", link);
    const auto linked = RunCli({"new", "--variant", "pmr", "-o", link});
    EXPECT_EQ(linked.status, 0) << linked.err;
    EXPECT_EQ(linked.out, pmrDefault);
    EXPECT_TRUE(fs::is_symlink(link));

    test::WriteFile(dir.file("pmr.icf"), pmrDefault);
    const auto set = RunCli({"set", dir.file("pmr.icf"), "CL_Mch_Text[0]=DEPOT", "-o", "-"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_NE(set.out, pmrDefault);
    EXPECT_EQ(set.out.substr(0, 10), "29270000\r\n");
    EXPECT_EQ(test::ReadFile(dir.file("pmr.icf")), pmrDefault);
}

TEST_F(CliSaveTest, AFileSizeLimitFailsTheSaveAndKeepsTheOldFile) {
    const std::string out = dir.file("lim.icf");
    test::WriteFile(out, "old\n");
    const auto r = test::RunProcess(
        "/bin/sh",
        {"-c", "ulimit -f 40; exec \"$0\" new --variant lmr -o \"$1\"", PARLO_CLI_PATH, out});
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("The clone file '" + out + "' could not be saved."), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("The file is larger than this process may write."), std::string::npos)
        << r.err;
    EXPECT_EQ(test::ReadFile(out), "old\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << "a temporary file was left behind";
}

TEST_F(CliSaveTest, AFolderIsNeitherOpenedNorSavedOver) {
    const std::string folder = dir.file("folder");
    fs::create_directory(folder);
    test::WriteFile(dir.file("pmr.icf"), pmrDefault);
    struct Case {
        std::vector<std::string> args;
        const char* headline;
    };
    const Case cases[] = {
        {{"check", folder + "/"}, "' could not be used."},
        {{"info", folder}, "' could not be used."},
        {{"new", "--variant", "pmr", "-o", folder}, "' could not be saved."},
        {{"set", dir.file("pmr.icf"), "CL_Mch_Text[0]=A", "-o", folder}, "' could not be saved."},
    };
    for (const Case& c : cases) {
        const auto r = RunCli(c.args);
        EXPECT_EQ(r.status, 1) << c.args[0] << "\n" << r.err;
        EXPECT_NE(r.err.find("The clone file '" + folder), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.headline), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("It is a folder."), std::string::npos) << r.err;
        EXPECT_TRUE(fs::is_directory(folder) && fs::is_empty(folder));
    }
    EXPECT_EQ(test::ReadFile(dir.file("pmr.icf")), pmrDefault);
}

}  // namespace
}  // namespace parlo
