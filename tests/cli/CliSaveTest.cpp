// Where parlo-cli saves to and what it says when it cannot: standard output
// as "-" and through a link to a pipe, a file-size limit, a folder given
// where a file belongs, the tables of export and import, and the initial
// files of an installation.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

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

TEST_F(CliSaveTest, ExportAndImportSayWhyAFileCannotBeUsed) {
    const std::string file = dir.file("pmr.icf");
    test::WriteFile(file, pmrDefault);
    const std::string ro = dir.file("ro.csv");
    test::WriteFile(ro, "earlier");
    fs::permissions(ro, fs::perms::owner_read);
    fs::create_directory(dir.file("folder"));
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::string missing = dir.file("no/folder/x.csv");
    const Case cases[] = {
        {{"export", file, "-o", missing},
         73,
         "parlo-cli export: cannot write '" + missing + "': Its folder does not exist.\n"},
        {{"export", file, "-o", "/dev/full"},
         73,
         "parlo-cli export: cannot write '/dev/full': The disk is full.\n"},
        {{"export", file, "-o", ro},
         73,
         "parlo-cli export: cannot write '" + ro + "': It is write-protected.\n"},
        {{"import", file, dir.file("absent.csv")},
         65,
         "parlo-cli import: cannot read '" + dir.file("absent.csv") + "': It does not exist.\n"},
        {{"import", file, dir.file("folder")},
         65,
         "parlo-cli import: cannot read '" + dir.file("folder") + "': It is a folder.\n"},
    };
    for (const Case& c : cases) {
        const auto r = RunCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0];
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(test::ReadFile(ro), "earlier");
    EXPECT_EQ(test::ReadFile(file), pmrDefault);
}

// An installation whose initial file of a variant cannot be read is broken:
// every command that opens a document of that variant ends with the program
// error (status 3), naming the file and saying why, and changes nothing.
TEST_F(CliSaveTest, AnInitialFileThatCannotBeReadIsAProgramErrorThatSaysWhy) {
    // A copy of the program beside its own data, which the cases break.
    const fs::path bin = dir.path() / "bin";
    fs::create_directory(bin);
    for (const auto& e : fs::directory_iterator(test::DataFile(""))) {
        const std::string name = e.path().filename();
        if (name.find('.') != std::string::npos) fs::copy_file(e.path(), bin / name);
    }
    std::error_code linked;
    fs::create_hard_link(PARLO_CLI_PATH, bin / "parlo-cli", linked);
    if (linked) fs::copy_file(PARLO_CLI_PATH, bin / "parlo-cli");
    const std::string file = dir.file("pmr.icf");
    test::WriteFile(file, pmrDefault);
    const std::string opened =
        "The file cannot be opened. Check that it exists and that you are allowed to read it.\n";
    struct Case {
        const char* initial;
        std::function<void(const fs::path&)> breakIt;
        std::string why;
    };
    const Case cases[] = {
        {"MV7105C_PMR.icf", [](const fs::path& p) { fs::remove(p); },
         opened + "It does not exist.\n"},
        {"MV7105C_PMR.icf", [](const fs::path& p) { test::WriteFile(p, ""); },
         "The file is damaged or is not a clone file: its header or one of its data lines is "
         "malformed.\n"},
        {"MV7105C_PMR.icf",
         [](const fs::path& p) {
             fs::remove(p);
             fs::create_directory(p);
         },
         opened + "It is a folder.\n"},
        // The variant the program starts with, before the file is read.
        {"MV7105C_LMR.icf", [](const fs::path& p) { fs::remove(p); },
         opened + "It does not exist.\n"},
    };
    for (const Case& c : cases) {
        const fs::path initial = bin / c.initial;
        fs::copy_file(test::DataFile(c.initial), dir.path() / "kept.icf");
        c.breakIt(initial);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"set", file, "CL_Mch_Text[0]=DEPOT"},
              std::vector<std::string>{"get", file, "CL_Mch_Text[0]"}}) {
            const auto r = test::RunProcess((bin / "parlo-cli").string(), args);
            EXPECT_EQ(r.status, 3) << args[0] << " " << c.initial << "\n" << r.err;
            EXPECT_EQ(r.err, "parlo-cli: Cannot open '" + initial.string() + "'.\n" + c.why)
                << args[0];
        }
        EXPECT_EQ(test::ReadFile(file), pmrDefault);
        fs::remove_all(initial);
        fs::rename(dir.path() / "kept.icf", initial);
    }
}

}  // namespace
}  // namespace parlo
