// parlo-cli get / set / key / pick on the setting and list-like record cells.
#include <gtest/gtest.h>

#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using test::RunCli;

class CliFamilyCellsTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string NewFile(const std::string& variant) {
        test::CliNew(variant, dir.file(variant + ".icf"));
        return dir.file(variant + ".icf");
    }
};

TEST_F(CliFamilyCellsTest, SettingsAndRecordsSurviveASaveAndALoad) {
    const std::string file = NewFile("pmrt");
    const auto set =
        RunCli({"set", file, "CL_Comm_Tot_Timer=120", "CL_SetM_Backlight=Auto",
                "CL_KDisp_Key_Conv_P0=Scrambler OPT2 /H", "CL_Dtmf_Text[0]=HOME",
                "CL_Dtmf_Code[0]=0123#", "CL_ScanList_Text[4]=YARD", "CL_Msk_IdGroup_Text[2]=CREW",
                "CL_5TRx_RxCode[1]=12+45", "CL_UTone_Encode[0]=1750", "CL_Comm_UserPassword=1A2B"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(test::CliGet(file, {"CL_Comm_Tot_Timer", "CL_SetM_Backlight", "CL_KDisp_Key_Conv_P0",
                                  "CL_Dtmf_Text[0]", "CL_Dtmf_Code[0]", "CL_ScanList_Text[4]",
                                  "CL_Msk_IdGroup_Text[2]", "CL_5TRx_RxCode[1]",
                                  "CL_UTone_Encode[0]", "CL_Comm_UserPassword"}),
              "120.000\nAuto\nScrambler OPT2 /H\nHOME\n0123#\nYARD\nCREW\n12+45\n1750.0\n1A2B\n");
    EXPECT_EQ(RunCli({"check", file}).status, 0);
}

TEST_F(CliFamilyCellsTest, KeysPicksAndRefusals) {
    const std::string file = NewFile("lmr");
    const std::string out = dir.file("out.icf");
    // The scrambler: function, then port, then level.
    ASSERT_EQ(RunCli({"pick", file, "CL_KDisp_Key_Conv_P1", "25", "2", "0", "-o", out}).status, 0);
    EXPECT_EQ(test::CliGet(out, {"CL_KDisp_Key_Conv_P1"}), "Scrambler OPT3 /L\n");
    ASSERT_EQ(RunCli({"pick", out, "CL_CEdit[2]", "4095"}).status, 0);
    EXPECT_EQ(test::CliGet(out, {"CL_CEdit[2]"}), "0FFF\n");

    const std::string before = test::ReadFile(out);
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {{"set", out, "CL_Msk_Presl_Own_Id=12"}, 65},        // shown only
        {{"set", out, "CL_Maker_mREF=1"}, 65},               // kept nowhere known
        {{"key", out, "CL_Msk_TimingErr_NA", "space"}, 65},  // kept by the Tarn variant only
        {{"set", out, "CL_Dtmf_Text[9]=X"}, 64},             // past the last memory
        {{"set", out, "CL_KDisp_Key_Conv_P0=Teleport"}, 65},
        {{"pick", out, "CL_SetM_Psave", "9"}, 65},
        {{"get", out, "CL_Comm_Bogus"}, 64},
    };
    for (const Case& c : cases) {
        const auto r = RunCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[2] << "\n" << r.err;
    }
    EXPECT_EQ(test::ReadFile(out), before);
}

}  // namespace
}  // namespace parlo
