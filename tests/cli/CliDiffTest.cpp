// parlo-cli diff on clone files: a line per cell whose text differs, then a
// line per differing byte no cell shows; the exit status as diff's.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using test::RunCli;

// Sets the byte at `address` in the text of a clone file, whose data lines
// are "AAAA10" and sixteen bytes in hexadecimal.
std::string PatchByte(std::string file, int address, int value) {
    char head[8];
    std::snprintf(head, sizeof head, "\n%04X10", address & ~0xF);
    const size_t line = file.find(head);
    EXPECT_NE(line, std::string::npos) << head;
    if (line == std::string::npos) return file;
    char byte[3];
    std::snprintf(byte, sizeof byte, "%02X", value);
    file.replace(line + 7 + 2 * static_cast<size_t>(address & 0xF), 2, byte);
    return file;
}

class CliDiff : public ::testing::Test {
protected:
    // A: the shipped PMR446 file. B: A with the first channel's receive
    // frequency and the user password changed through their cells, and two
    // bytes no cell shows changed in the file itself.
    CliDiff() {
        test::WriteFile(a, test::ReadFile(test::DataFile("MV7105C_PMR.icf")));
        const auto set = RunCli(
            {"set", a, "CT_Mch.CL_Mch_FreqR[0]=446.03125", "CL_Comm_UserPassword=1234", "-o", b});
        EXPECT_EQ(set.status, 0) << set.err;
        test::WriteFile(b, PatchByte(PatchByte(test::ReadFile(b), 0x0010, 0x5A), 0x7D70, 0xA5));
    }

    test::TempDir dir;
    const std::string a = dir.file("a.icf");
    const std::string b = dir.file("b.icf");
};

TEST_F(CliDiff, ListsTheCellsThenTheBytesNoCellShows) {
    const auto r = RunCli({"diff", a, b});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out,
              "Bank 1 PMR446 / 1- 1 / Frequency Receive MHz: '446.006250' -> '446.031250'\n"
              "Common settings / User password (4 digits) / Value: '0000' -> '1234'\n"
              "0010: 00 -> 5A\n"
              "7D70: 00 -> A5\n");
    EXPECT_EQ(r.err, "");

    // The other way round, each side's text on its own side.
    const auto back = RunCli({"diff", b, a});
    EXPECT_EQ(back.status, 1) << back.err;
    EXPECT_EQ(back.out,
              "Bank 1 PMR446 / 1- 1 / Frequency Receive MHz: '446.031250' -> '446.006250'\n"
              "Common settings / User password (4 digits) / Value: '1234' -> '0000'\n"
              "0010: 5A -> 00\n"
              "7D70: A5 -> 00\n");
}

TEST_F(CliDiff, OnlyBytesNoCellShows) {
    const std::string c = dir.file("c.icf");
    test::WriteFile(c, PatchByte(test::ReadFile(a), 0x7D7F, 0x01));
    const auto r = RunCli({"diff", a, c});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "7D7F: 00 -> 01\n");
}

// The hint above a bank's channels follows the room left ("56 in bank 1"),
// which the counters list already: it is no difference of its own.
TEST_F(CliDiff, TheHintOnAddingChannelsIsNoDifference) {
    const std::string c = dir.file("c.icf");
    const auto set = RunCli({"set", a, "CT_Mch.CL_Mch_FreqR[8]=446.1", "-o", c});
    ASSERT_EQ(set.status, 0) << set.err;
    const auto r = RunCli({"diff", a, c});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("Bank 1 PMR446 / 1- 9 / Frequency Receive MHz: '' -> '446.100000'"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("All 64 slots"), std::string::npos) << r.out;
}

// Between variants the sheets differ; a heading or caption that one side
// shows and the other does not is no difference, only texts read from the
// images are.
TEST_F(CliDiff, BetweenVariantsOnlyTextsFromTheImagesDiffer) {
    const std::string lmr = test::DataFile("MV7105C_LMR.icf");
    const std::string pmr = test::DataFile("MV7105C_PMR.icf");
    const std::string dpmr = test::DataFile("MV7105C_DPMR446.icf");
    struct Case {
        std::string a, b, line;
    } cases[] = {
        {lmr, pmr, "Memory channels / 1 / Name: 'BANK 1' -> 'PMR446'"},
        {pmr, lmr, "Bank 1 PMR446 / 1- 1 / Frequency Receive MHz: '446.006250' -> ''"},
        {pmr, dpmr, "Bank 1 PMR446 / 1- 1 / Channel Name: 'PMR 1' -> ''"},
    };
    for (const Case& c : cases) {
        const auto r = RunCli({"diff", c.a, c.b});
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.out.find(c.line + "\n"), std::string::npos) << c.line << "\n" << r.out;
        for (const char* heading : {"'Channel'", "'No.'", "'Frequency'", "'Receive'", "'Name'",
                                    "'Transmit tone'", "'CTCSS Hz / DTCS'"}) {
            EXPECT_EQ(r.out.find(std::string(heading) + " -> ''"), std::string::npos) << heading;
            EXPECT_EQ(r.out.find("'' -> " + std::string(heading)), std::string::npos) << heading;
        }
    }
}

// Records live packed in the file and are read from the tables they are
// unpacked into: a byte changed in the packed record is the cell's
// difference, not a byte of its own.
TEST_F(CliDiff, AChangeOfAPackedRecordIsItsCellsDifference) {
    const std::string c = dir.file("c.icf");
    // The first DTMF memory's name, packed at 0x1010 in this file.
    test::WriteFile(c, PatchByte(test::ReadFile(a), 0x1010, 'P'));
    const auto r = RunCli({"diff", a, c});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "DTMF memories / 1 / Name: '' -> 'P'\n");
}

TEST_F(CliDiff, EqualFilesSayNothing) {
    const std::string copy = dir.file("copy.icf");
    test::WriteFile(copy, test::ReadFile(b));
    for (const auto& [first, second] : {std::pair{a, a}, std::pair{b, copy}}) {
        const auto r = RunCli({"diff", first, second});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(CliDiff, TroubleAndUsage) {
    const std::string bad = dir.file("bad.icf");
    test::WriteFile(bad, "not a clone file\n");
    struct Case {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"diff", a, dir.file("missing.icf")}, 2},
        {{"diff", bad, a}, 2},
        {{"diff", a, bad}, 2},
        {{"diff", a}, 64},
        {{"diff", a, b, "--radio"}, 64},
        {{"diff", a, b, "--port", "1"}, 64},
        {{"diff"}, 64},
    };
    for (const Case& c : cases) {
        const auto r = RunCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.size() << " " << c.args.back();
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
    }
}

}  // namespace
}  // namespace parlo
