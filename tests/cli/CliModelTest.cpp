// parlo-cli new and parlo-cli channels.
#include <gtest/gtest.h>

#include "clone/CloneFileOps.h"
#include "model/ChannelMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "model/PackedLayout.h"
#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using test::RunCli;
using test::TempDir;

TEST(CliNew, WritesEachVariantsDefaultDocument) {
    TempDir dir;
    const char* variants[] = {"lmr", "pmr", "pmrt", "dpmr446"};
    const char* files[] = {"MV7105C_LMR.icf", "MV7105C_PMR.icf", "MV7105C_PMRT.icf",
                           "MV7105C_DPMR446.icf"};
    for (int v = 0; v < kVariantCount; ++v) {
        const std::string out = dir.file(std::string(variants[v]) + ".icf");
        const auto made = RunCli({"new", "--variant", variants[v], "-o", out});
        ASSERT_EQ(made.status, 0) << variants[v] << "\n" << made.err;
        EXPECT_EQ(RunCli({"check", out}).status, 0) << variants[v];
        // Rebuilt and packed for saving, the default comes out as shipped.
        EXPECT_EQ(test::ReadFile(out), test::ReadFile(test::DataFile(files[v]))) << variants[v];
    }
    EXPECT_EQ(RunCli({"new", "--variant=DPMR446", "--output", dir.file("d.icf")}).status, 0);
}

TEST(CliNew, UsageAndFileErrors) {
    TempDir dir;
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {{"new", "-o", dir.file("a.icf")}, 64},
        {{"new", "--variant", "pmr"}, 64},
        {{"new", "--variant", "pmr446", "-o", dir.file("a.icf")}, 64},
        {{"new", "--variant", "pmr", "-o", dir.file("a.icf"), "extra"}, 64},
        {{"new", "--variant", "pmr", "-o", dir.file("missing/a.icf")}, 1},
    };
    for (const Case& c : cases) {
        const auto r = RunCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back() << "\n" << r.err;
        if (c.status == 64) {
            EXPECT_NE(r.err.find("Usage: parlo-cli new"), std::string::npos);
        }
    }
}

// The PMR446 default with slot 1 given tones and an awkward name, slot 2 the
// third channel reference, slot 3 blanked, slots 4 and 5 names with the
// display's dot and a percent sign, and a channel in bank 2.
std::string EditedPmrFile(const TempDir& dir) {
    EepromImage image;
    image.SetSize(kImageSize);
    test::RecordingPrompts quiet;
    EXPECT_EQ(ReadInitialFile(test::DataFile("MV7105C_PMR.icf"), image).code, kFileOk);
    UnpackFull(image);
    ChannelRecord r(image);
    r.Decode(2, 1);
    r.tones[0] = Tone{true, true, true, 0, 023};
    r.tones[1] = Tone{true, false, false, 12, 0};
    r.texts[0] = "A,\"B\"";
    r.Store();
    r.Decode(2, 2);
    r.attributes = static_cast<uint8_t>((r.attributes & ~kAttrSwitchOff) | kAttrRefE);
    r.Store();
    r.Decode(2, 3);
    r.present = false;
    r.Store();
    r.Decode(2, 4);
    r.texts[0] = "A\xC2" "CD\xA0";  // a dot lit after B, and a blank with a dot
    r.Store();
    r.Decode(2, 5);
    r.texts[0] = "50%";
    r.Store();
    image.SetWord(kAddrBankSizes, 60);
    image.SetWord(kAddrBankSizes + 2, 4);
    r.Decode(2, 61);
    r.present = true;
    r.SetValue(Field::RxFreq, 145'500'000);
    r.SetValue(Field::TxFreq, 145'000'000);
    r.Store();
    EXPECT_TRUE(Pack(image, PackMode::Save, kVariantPmr));
    EXPECT_EQ(SaveCloneFile(dir.file("edited.icf"), image).code, kFileOk);
    return dir.file("edited.icf");
}

TEST(CliChannels, ListsThePresentChannelsInSlotOrder) {
    TempDir dir;
    const std::string file = EditedPmrFile(dir);
    const auto plain = RunCli({"channels", file});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out,
              "1-  1  446.006250  446.006250  off        off        PMR 1      AB\n"
              "1-  2  446.018750  446.018750  DTCS 023I  CTCSS 12   A,\"B\"\n"
              "1-  3  446.031250  446.031250  off        off        PMR 3      E\n"
              "1-  5  446.056250  446.056250  off        off        AB.CD .\n"
              "1-  6  446.068750  446.068750  off        off        50%%\n"
              "1-  7  446.081250  446.081250  off        off        PMR 7\n"
              "1-  8  446.093750  446.093750  off        off        PMR 8\n"
              "2-  2  145.500000  145.000000  off        off\n");

    const auto csv = RunCli({"channels", "--csv", file});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out,
              "Channel,RX frequency,TX frequency,RX tone,TX tone,Name,Attributes\r\n"
              "1-  1,446.006250,446.006250,off,off,PMR 1,AB\r\n"
              "1-  2,446.018750,446.018750,DTCS 023I,CTCSS 12,\"A,\"\"B\"\"\",\r\n"
              "1-  3,446.031250,446.031250,off,off,PMR 3,E\r\n"
              "1-  5,446.056250,446.056250,off,off,AB.CD .,\r\n"
              "1-  6,446.068750,446.068750,off,off,50%%,\r\n"
              "1-  7,446.081250,446.081250,off,off,PMR 7,\r\n"
              "1-  8,446.093750,446.093750,off,off,PMR 8,\r\n"
              "2-  2,145.500000,145.000000,off,off,,\r\n");

    // Each name reads as `get` and `export` give it.
    const auto get = RunCli({"get", file, "CT_Mch.CL_Mch_Text[4]", "CT_Mch.CL_Mch_Text[5]"});
    ASSERT_EQ(get.status, 0) << get.err;
    EXPECT_EQ(get.out, "AB.CD .\n50%%\n");
}

TEST(CliChannels, EmptyBanksAndBadFiles) {
    TempDir dir;
    const auto lmr = RunCli({"channels", test::DataFile("MV7105C_LMR.icf")});
    EXPECT_EQ(lmr.status, 0);
    EXPECT_EQ(lmr.out, "");
    EXPECT_EQ(RunCli({"channels", "--csv", test::DataFile("MV7105C_LMR.icf")}).out,
              "Channel,RX frequency,TX frequency,RX tone,TX tone,Name,Attributes\r\n");
    EXPECT_EQ(RunCli({"channels", dir.file("absent.icf")}).status, 1);
    test::WriteFile(dir.file("bad.icf"), "29270000\r\n#MapRev=6\r\nXYZ\r\n");
    const auto bad = RunCli({"channels", dir.file("bad.icf")});
    EXPECT_EQ(bad.status, 6);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(RunCli({"channels"}).status, 64);
}

}  // namespace
}  // namespace parlo
