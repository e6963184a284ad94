// parlo-cli sheets / sheet on the shipped overlay.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using test::RunCli;

class CliSheetTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string pmr = dir.file("pmr.icf");
    void SetUp() override { ASSERT_EQ(RunCli({"new", "--variant", "pmr", "-o", pmr}).status, 0); }
};

TEST_F(CliSheetTest, SheetsListsThePagesOfTheVariantAndTheMakerPagesOnRequest) {
    const auto plain = RunCli({"sheets", pmr});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out.rfind("MV7105C PMR446\t[St_Common]GI_Sheet_Top\n", 0), 0u) << plain.out;
    for (const char* line : {"  Memory channels\t[St_Common]GI_Sheet_Memory_CH_Top\n",
                             "    Bank layout\t[St_Common]GI_Sheet_Mch_BankOp\n",
                             "    Bank 1 PMR446\t[St_ChBank]GI_Sheet_Mch_PMR,Bank 0\n",
                             "  Common settings\t[St_Common]GI_Sheet_Comm\n",
                             "  5-tone transmit codes\t[St_Common]GI_Sheet_5TTx\n"})
        EXPECT_NE(plain.out.find(line), std::string::npos) << line;
    EXPECT_EQ(plain.out.find("GI_Sheet_Maker"), std::string::npos);
    EXPECT_EQ(plain.out.find("GI_Sheet_2Tone"), std::string::npos);  // an LMR page

    const auto maker = RunCli({"sheets", pmr, "--maker"});
    ASSERT_EQ(maker.status, 0);
    EXPECT_NE(maker.out.find("  Maker settings\t[St_Common]GI_Sheet_Maker\n"), std::string::npos);
}

TEST_F(CliSheetTest, SheetPrintsTheChannelsOfABankWithTheRowForANewChannel) {
    const auto r = RunCli({"sheet", pmr, "[St_ChBank]GI_Sheet_Mch_PMR,Bank 0"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines;
    for (size_t start = 0, nl; (nl = r.out.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(r.out.substr(start, nl - start));
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "Bank 1: PMR446  (Left CH - 56)");
    EXPECT_EQ(lines[2].rfind("No. | Mark | Name | Use | Receive | Transmit |", 0), 0u) << lines[2];
    EXPECT_EQ(lines[6].rfind("1-  1 | AB | PMR 1 | Normal | 446.006250 | <- | ", 0), 0u)
        << lines[6];
    // 64 slots in the bank, then the row for adding a channel.
    ASSERT_EQ(lines.size(), 1u + 5u + 64u + 1u);
    EXPECT_EQ(lines.back().rfind("New |", 0), 0u) << lines.back();
}

TEST_F(CliSheetTest, SheetPrintsASettingsPageAndRefusesAnUnknownOne) {
    const auto r = RunCli({"sheet", pmr, "[St_Common]GI_Sheet_ScanComm"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Stop time on a busy channel (s) |   5.0\n"), std::string::npos) << r.out;

    const auto unknown = RunCli({"sheet", pmr, "[St_Common]GI_Sheet_NoSuchPage"});
    EXPECT_EQ(unknown.status, 64);
    EXPECT_NE(unknown.err.find("GI_Sheet_NoSuchPage"), std::string::npos);
}

// A bank sheet's action counts banks from 0, as the tree's actions do; a
// number beyond the radio's five banks is refused, not shown as a bank.
TEST_F(CliSheetTest, ABankBeyondTheRadiosIsRefused) {
    const auto last = RunCli({"sheet", pmr, "[St_ChBank]GI_Sheet_Mch_PMR,Bank 4"});
    ASSERT_EQ(last.status, 0) << last.err;
    EXPECT_EQ(last.out.rfind("Bank 5: BANK 5", 0), 0u) << last.out;
    for (const std::string bank : {"5", "-1", "2147483647", "99999999999", "x", "", "1x"}) {
        for (const std::string kind : {"[St_ChBank]", ""}) {
            const std::string action = kind + "GI_Sheet_Mch_PMR,Bank " + bank;
            for (const char* command : {"sheet", "print"}) {
                std::vector<std::string> args = {command, pmr, action};
                if (std::string(command) == "print")
                    args.insert(args.end(), {"-o", dir.file("p.pdf")});
                const auto r = RunCli(args);
                EXPECT_EQ(r.status, 64) << command << " " << action << "\n" << r.out;
                EXPECT_EQ(r.out, "") << action;
                EXPECT_NE(r.err.find("'Bank " + bank +
                                     "' names no bank: the banks are 'Bank 0' to "
                                     "'Bank 4' (the tree's Bank 1 to Bank 5)"),
                          std::string::npos)
                    << r.err;
            }
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("p.pdf")));
}

TEST_F(CliSheetTest, TheSetModeAdvancedAndMakerPagesShowTheirValues) {
    ASSERT_EQ(RunCli({"set", pmr, "CL_SetM_BeepLev=High", "CL_SetM_AFMinLev=On",
                      "CL_Exp_BeepFreq_Low=1200", "CL_Maker_Dtcs_Decode=17",
                      "CL_Maker_IfFreq=-21.7", "CL_Maker_Pll_Reference=12.8"})
                  .status,
              0);
    struct Case {
        const char* sheet;
        const char* line;
    };
    const Case cases[] = {
        {"[St_Common]GI_Sheet_SetM", "Beep level | High | Hidden\n"},
        {"[St_Common]GI_Sheet_SetM", "Minimum audio level | On | \n"},
        {"[St_Common]GI_Sheet_Exp", "Beep frequency, low (Hz) | 1200\n"},
        {"[St_Common]GI_Sheet_Maker", "DTCS decoder | 17 |  |  | \n"},
        {"[St_Common]GI_Sheet_Maker", "IF frequency (MHz) | -21.7000 |  |  | \n"},
        {"[St_Common]GI_Sheet_Maker", "PLL reference (MHz) |  12.8000 |  |  | \n"},
    };
    for (const Case& c : cases) {
        const auto r = RunCli({"sheet", pmr, c.sheet, "--maker"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(c.line), std::string::npos) << c.line << r.out;
    }
}

}  // namespace
}  // namespace parlo
