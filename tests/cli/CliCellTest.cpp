// parlo-cli get / set / key / pick on files made by parlo-cli new.
#include <gtest/gtest.h>

#include <algorithm>

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
        {{"get", pmr, "CL_Mch_FreqR[0]", "--bank", "0"}, 64},
        {{"export", pmr, "--bank", "6"}, 64},
    };
    for (const Case& c : cases) {
        const auto r = RunCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[2] << "\n" << r.err;
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_EQ(test::ReadFile(pmr), before);
}

TEST_F(CliCellTest, AnIndexPastTheCellsRecordsIsAnUnknownReference) {
    const std::string pmr = NewFile("pmr", "pmr.icf");
    const std::string before = test::ReadFile(pmr);
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"get", pmr, "CT_Mch.CL_Mch_FreqR[200]"}, "index 200 is out of range 0-63"},
        {{"get", pmr, "CT_Mch.CL_Mch_FreqR[-1]"}, "index -1 is out of range 0-63"},
        {{"get", pmr, "CL_Mch_FreqR[64]"}, "index 64 is out of range 0-63"},
        {{"get", pmr, "CL_Dtmf_Code[8]"}, "index 8 is out of range 0-7"},
        {{"get", pmr, "CL_Mch_Bank[5]"}, "index 5 is out of range 0-4"},
        {{"get", pmr, "CL_Mch_FreqR[99999999999]"}, "bad index in 'CL_Mch_FreqR[99999999999]'"},
        {{"set", pmr, "CT_Mch.CL_Mch_FreqR[150]=150.000"}, "index 150 is out of range 0-63"},
        {{"key", pmr, "CL_Mch_RfPo[64]", "space"}, "index 64 is out of range 0-63"},
        {{"pick", pmr, "CL_Mch_RfPo[-3]", "0"}, "index -3 is out of range 0-63"},
    };
    for (const Case& c : cases) {
        const auto r = RunCli(c.args);
        EXPECT_EQ(r.status, 64) << c.args[2] << "\n" << r.err;
        EXPECT_EQ(r.out, "") << c.args[2];
        EXPECT_EQ(r.err, std::string("parlo-cli: ") + c.message + "\n") << c.args[2];
    }
    EXPECT_EQ(test::ReadFile(pmr), before);
    // The last slot and the last DTMF memory are still there.
    EXPECT_EQ(test::CliGet(pmr, {"CL_Mch_No[63]", "CL_Dtmf_ChNo[7]"}).substr(0, 6), "1- 64\n");
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

// A bank layout that leaves channels outside every bank is a question: the
// answer is --yes, else nothing is saved.
TEST_F(CliCellTest, ALayoutThatDropsChannelsNeedsYes) {
    const std::string dpmr = NewFile("dpmr446", "d.icf");
    ASSERT_EQ(RunCli({"pick", dpmr, "CL_Bank_SelBankFree", "0"}).status, 0);  // one bank of 64
    const std::string before = test::ReadFile(dpmr);
    const auto refused = RunCli({"pick", dpmr, "CL_Bank_SelBankFree", "1"});
    EXPECT_EQ(refused.status, 65);
    EXPECT_NE(refused.err.find("leaves 16 channels outside every bank"), std::string::npos)
        << refused.err;
    EXPECT_EQ(test::ReadFile(dpmr), before);

    const auto agreed = RunCli({"pick", dpmr, "CL_Bank_SelBankFree", "1", "--yes"});
    ASSERT_EQ(agreed.status, 0) << agreed.err;
    const auto listed = RunCli({"channels", dpmr});
    ASSERT_EQ(listed.status, 0);
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 8) << listed.out;
    EXPECT_EQ(test::CliGet(dpmr, {"CL_Mch_Bank[0]", "CL_Mch_Bank[1]", "CL_Mch_Bank[2]"}),
              "4\n4\n0\n");
}

}  // namespace
}  // namespace parlo
