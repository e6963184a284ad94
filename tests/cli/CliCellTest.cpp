// parlo-cli get / set / key / pick on files made by parlo-cli new.
#include <gtest/gtest.h>

#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using test::RunCli;

class CliCellTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string NewFile(const char* variant, const char* name) {
        test::CliNew(variant, dir.file(name));
        return dir.file(name);
    }
};

TEST_F(CliCellTest, GetShowsWhatTheCellsShow) {
    const std::string pmr = NewFile("pmr", "pmr.icf");
    EXPECT_EQ(test::CliGet(pmr, {"CT_Mch.CL_Mch_FreqR[0]", "CL_Mch_FreqT[0]", "CL_Mch_Text[7]",
                                 "CL_Mch_No[63]", "CL_Mch_Bank_Total"}),
              "446.006250\n<-\nPMR 8\n1- 64\n64\n");
}

TEST_F(CliCellTest, SetTypesIntoCellsAndSaves) {
    const std::string pmr = NewFile("pmr", "pmr.icf");
    const std::string out = dir.file("out.icf");
    const auto r = RunCli({"set", pmr, "CL_Mch_FreqR[8]=446.1", "CL_Mch_Text[8]=DEPOT",
                           "CL_Mch_CTone_R[8]=023I", "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::CliGet(out, {"CL_Mch_FreqR[8]", "CL_Mch_FreqT[8]", "CL_Mch_Text[8]",
                                 "CL_Mch_CTone_R[8]", "CL_Mch_CTone_T[8]"}),
              "446.100000\n<-\nDEPOT\n023I\n023I\n");
    EXPECT_EQ(RunCli({"check", out}).status, 0);
    EXPECT_EQ(test::CliGet(pmr, {"CL_Mch_FreqR[8]"}), "\n");  // the input file is untouched
}

TEST_F(CliCellTest, RejectedInputSavesNothing) {
    const std::string pmr = NewFile("pmr", "pmr.icf");
    const std::string before = test::ReadFile(pmr);
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {{"set", pmr, "CL_Mch_FreqR[0]=446.0063"}, 65},
        {{"set", pmr, "CL_Mch_CTone_R[0]=nonsense"}, 65},
        {{"set", pmr, "CL_Mch_Text[9]=ABC"}, 65},  // a blank channel takes no name
        {{"set", pmr, "CL_Mch_Bogus[0]=1"}, 64},
        {{"set", pmr, "CT_Nope.CL_Mch_FreqR[0]=1"}, 64},
        {{"set", pmr, "CL_Mch_FreqR[x]=1"}, 64},
        {{"set", pmr, "CL_Mch_FreqR[0]"}, 64},
        {{"key", pmr, "CL_Mch_RfPo[0]", "tab"}, 64},
        {{"pick", pmr, "CL_Mch_RfPo[0]", "99"}, 65},
        {{"pick", pmr, "CL_Mch_No[0]", "0"}, 65},
        {{"get", pmr, "CL_Mch_FreqR[0]", "--bank", "9"}, 64},
    };
    for (const Case& c : cases) {
        const auto r = RunCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[2] << "\n" << r.err;
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_EQ(test::ReadFile(pmr), before);
}

TEST_F(CliCellTest, TextTheDisplayCannotShowIsRefused) {
    const std::string pmr = NewFile("pmr", "pmr.icf");
    const std::string before = test::ReadFile(pmr);
    const auto r = RunCli({"set", pmr,
                           "CL_KDisp_OpeningText=Ab_\xC3\xA9"
                           "1"});
    EXPECT_EQ(r.status, 65);
    EXPECT_NE(r.err.find("cannot show \"\xC3\xA9\""), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadFile(pmr), before);  // nothing saved
    // The same text without the accent is stored.
    const std::string out = dir.file("out.icf");
    ASSERT_EQ(RunCli({"set", pmr, "CL_KDisp_OpeningText=Ab_e1", "-o", out}).status, 0);
    EXPECT_EQ(test::CliGet(out, {"CL_KDisp_OpeningText"}), "Ab_e1\n");
}

TEST_F(CliCellTest, KeysAndPicks) {
    const std::string pmr = NewFile("pmr", "pmr.icf");
    const std::string out = dir.file("out.icf");
    const std::string power = test::CliGet(pmr, {"CL_Mch_RfPo[0]"});
    ASSERT_EQ(
        RunCli({"key", pmr, "CL_Mch_RfPo[0]", "space", "backspace", "space", "-o", out}).status, 0);
    const std::string stepped = test::CliGet(out, {"CL_Mch_RfPo[0]"});
    EXPECT_NE(stepped, power);
    ASSERT_EQ(RunCli({"pick", out, "CL_Mch_CTone_R[2]", "53", "0", "1"}).status, 0);
    EXPECT_EQ(test::CliGet(out, {"CL_Mch_CTone_R[2]"}), "023I\n");
    ASSERT_EQ(RunCli({"pick", out, "CL_Mch_CTone_R[2]", "52"}).status, 0);
    EXPECT_EQ(test::CliGet(out, {"CL_Mch_CTone_R[2]"}), "Off\n");
}

TEST_F(CliCellTest, TheDPmr446ChannelList) {
    const std::string dpmr = NewFile("dpmr446", "d.icf");
    const std::string out = dir.file("out.icf");
    // Bank 1 of the dPMR446 image: pick digital channel 8 + 4.
    ASSERT_EQ(RunCli({"pick", dpmr, "CL_Mch_FreqR[0]", "12", "-o", out}).status, 0);
    EXPECT_EQ(test::CliGet(out, {"CL_Mch_FreqR[0]", "CL_Mch_Dig_Sig[0]", "CL_Mch_Dig_CC_R[0]"}),
              "446.128125\nDigital\n5\n");
}

}  // namespace
}  // namespace parlo
