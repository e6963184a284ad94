// parlo-cli check / info against clone files the tests make.
#include <gtest/gtest.h>

#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "model/PackedLayout.h"
#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using test::RunCli;
using test::TempDir;
using test::WriteFile;

// A valid image: identity bytes in place, saved with this model's header.
std::string SaveValidFile(const TempDir& dir, const std::string& name, uint8_t thirdByte = 0x01) {
    EepromImage image;
    image.SetSize(kImageSize);
    image.SetByte(0, 0x29);
    image.SetByte(1, 0x26);
    image.SetByte(2, thirdByte);
    image.SetByte(0x0108, 6);
    const char* text = "Unit 12";
    for (int i = 0; i < 16; ++i) image.SetByte(0x95DD + i, i < 7 ? text[i] : ' ');
    test::RecordingPrompts quiet;
    EXPECT_EQ(SaveCloneFile(dir.file(name), image).code, kFileOk);
    return dir.file(name);
}

std::string Body(const std::string& path) {
    std::string text = test::ReadFile(path);
    return text.substr(text.find("#MapRev=6\r\n") + 11);
}

TEST(CliCheck, ExitsWithTheFileErrorCode) {
    TempDir dir;
    const std::string good = SaveValidFile(dir, "good.icf");
    const std::string body = Body(good);
    const std::string head = "29270000\r\n#Comment=\r\n#MapRev=6\r\n";
    struct Case {
        const char* name;
        std::string text;
        int status;
    };
    const Case cases[] = {
        {"model", "29280000\r\n#MapRev=6\r\n" + body, 3},
        {"extra", "29270200\r\n#MapRev=6\r\n" + body, 4},
        {"map revision", "29270000\r\n#MapRev=5\r\n" + body, 5},
        {"format", head + "XYZ\r\n", 6},
        {"coverage", head + body.substr(0, body.size() / 2), 7},
        {"data outside the radio area", head + body + "7D800100\r\n", 8},
        {"header only", head, 8},
    };
    for (const Case& c : cases) {
        WriteFile(dir.file("bad.icf"), c.text);
        const auto r = RunCli({"check", dir.file("bad.icf")});
        EXPECT_EQ(r.status, c.status) << c.name << "\n" << r.err;
        EXPECT_NE(r.err.find("The clone file '" + dir.file("bad.icf") + "' could not be used."),
                  std::string::npos)
            << c.name;
    }
    EXPECT_EQ(RunCli({"check", good}).status, 0);
    EXPECT_EQ(RunCli({"check", dir.file("absent.icf")}).status, 1);
    EXPECT_EQ(RunCli({"check", SaveValidFile(dir, "alien.icf", 0x02)}).status, 8);
}

TEST(CliCheck, NewerDataExitsWith9) {
    TempDir dir;
    EepromImage image;
    image.SetSize(kImageSize);
    image.SetByte(0, 0x29);
    image.SetByte(1, 0x26);
    image.SetByte(2, 0x01);
    image.SetByte(0x9A05, 2);  // the data version, carried in packed block 18
    ASSERT_TRUE(Pack(image, PackMode::Save, 0));
    test::RecordingPrompts quiet;
    ASSERT_EQ(SaveCloneFile(dir.file("newer.icf"), image).code, kFileOk);
    const auto r = RunCli({"check", dir.file("newer.icf")});
    EXPECT_EQ(r.status, 9) << r.err;
    EXPECT_NE(r.err.find("newer radio firmware"), std::string::npos) << r.err;
}

TEST(CliCheck, InfoPrintsTheHeader) {
    TempDir dir;
    const std::string good = SaveValidFile(dir, "good.icf");
    const auto r = RunCli({"info", good});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "model code: 2927\nextra code: 0000\ncomment: Unit 12\nmap revision: 6\n");
}

// What a file holds reaches the terminal with its control characters written
// out: a comment or a refused value could otherwise retitle the window,
// recolour it or clear it.
TEST(CliCheck, FileTextReachesTheTerminalWithControlCharactersEscaped) {
    TempDir dir;
    std::string text = test::ReadFile(SaveValidFile(dir, "good.icf"));
    const std::string comment = "#Comment=Unit 12";
    text.replace(text.find(comment), comment.size(), "#Comment=\x1b]0;owned\x07Unit\r\x1b[2J");
    WriteFile(dir.file("odd.icf"), text);
    const auto info = RunCli({"info", dir.file("odd.icf")});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("\ncomment: \\x1b]0;owned\\x07Unit\\x0d\\x1b[2J\n"), std::string::npos)
        << info.out;

    test::CliNew("pmr", dir.file("pmr.icf"));
    WriteFile(dir.file("odd.csv"), "Bank,Position,Receive\r\n1,1,\x1b]0;owned\x07\r\n");
    const auto import = RunCli({"import", dir.file("pmr.icf"), dir.file("odd.csv")});
    EXPECT_EQ(import.status, 65);
    EXPECT_NE(import.err.find("line 2, column \"Receive\": '\\x1b]0;owned\\x07' was not accepted"),
              std::string::npos)
        << import.err;

    for (const auto* r : {&info, &import}) {
        for (const std::string* stream : {&r->out, &r->err}) {
            EXPECT_EQ(stream->find_first_of("\x1b\x07\r"), std::string::npos) << *stream;
        }
    }
}

TEST(CliCheck, UsageErrors) {
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {{}, 64},
        {{"frobnicate"}, 64},
        {{"check"}, 64},
        {{"check", "a", "b"}, 64},
        {{"check", "--bogus", "a"}, 64},
        {{"--help"}, 0},
        {{"--version"}, 0},
        {{"check", "--help"}, 0},
    };
    for (const Case& c : cases) {
        const auto r = RunCli(c.args);
        EXPECT_EQ(r.status, c.status) << (c.args.empty() ? "" : c.args[0]);
        if (c.status == 64) {
            EXPECT_NE(r.err.find("Usage:"), std::string::npos);
        }
    }
    EXPECT_NE(RunCli({"--help"}).out.find("parlo-cli check FILE"), std::string::npos);
}

}  // namespace
}  // namespace parlo
