// The identity block: the read range it gives and the clone information
// texts.
#include <gtest/gtest.h>

#include "model/CloneInfo.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using Block = std::vector<uint8_t>;

// Text fields blank, flag bytes clear.
Block BlankBlock() {
    Block b(80, 0x20);
    b[0] = 80;
    for (int i : {34, 35, 36, 49, 50, 51, 52, 53, 54, 74, 75}) b[i] = 0;
    return b;
}
void Put(Block& b, int at, const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) b[at + i] = static_cast<uint8_t>(text[i]);
}

class CloneInfoTest : public ::testing::Test {
protected:
    test::ScopedOverlay overlay{{
        "#GI_AppInd_Model",
        "LMR",
        "PMR",
        "TARN",
        "DPMR",
        "#",
        "#GI_Mess_CloneInfo_TenKey",
        "plain",
        "tenkey",
        "#",
        "#GI_Mess_CloneInfo_Opt_OptBoardA",
        "A",
        "#GI_Mess_CloneInfo_Opt_OptBoardB",
        "B",
        "#GI_Mess_CloneInfo_Opt_OptBoardC",
        "C",
        "#GI_Mess_CloneInfo_Opt_OptBoardD",
        "D",
        "#GI_Mess_CloneInfo_Opt_OptBoardE",
        "E",
        "#GI_Mess_CloneInfo_Opt_OptBoardF",
        "F",
        "#GI_Mess_CloneInfo_Opt_OptBoardG",
        "G",
        "#GI_Mess_CloneInfo_Opt_OptBoardH",
        "H",
        "#GI_Mess_CloneInfo_Opt_OptBoardI",
        "I",
        "#GI_Mess_CloneInfo_OverVolt",
        "OV",
        "#GI_AppInd_CloneInfo_Label",
        "Model",
        "Version",
        "T1",
        "T2",
        "Options",
        "OV",
        "Serial",
        "Code",
        "#",
        "#End_Of_Ovl",
    }};
};

TEST(IdentityBlock, ReadEndFromTheMemoryEndCharacters) {
    struct Case {
        const char* chars;
        int32_t end;
    } cases[] = {{"7d7a", 0x7D7F}, {"7D7F", 0x7D7F}, {"0005", 0x000F}, {"7G7F", 0x707F}};
    for (const Case& c : cases) {
        Block b = BlankBlock();
        Put(b, 58, c.chars);
        EXPECT_EQ(IdentityReadEnd(b), c.end) << c.chars;
    }
}

TEST_F(CloneInfoTest, ModelLineByVariantBitsAndKeypad) {
    struct Case {
        uint8_t bits;
        const char* line;
    } cases[] = {{0xE0, "LMR"}, {0x60, "TARN"}, {0x40, "PMR"}, {0x04, "DPMR"}, {0x20, "LMR"}};
    for (const Case& c : cases) {
        Block b = BlankBlock();
        b[54] = c.bits;
        b[50] = 0x40;
        EXPECT_EQ(InfoTexts(b).model, std::string(c.line) + "\ntenkey") << int{c.bits};
    }
    Block b = BlankBlock();
    b[50] = 0x00;
    EXPECT_EQ(InfoTexts(b).model, "LMR\nplain");
}

TEST_F(CloneInfoTest, OptionUnitsInTheirOrder) {
    struct Case {
        uint8_t a, b, c;
        const char* lines;
    } cases[] = {
        {0x02, 0x35, 0x00, "A\nC\nF\n"}, {0x02, 0x22, 0x00, "B\nD\n"}, {0x02, 0x00, 0x00, "E\n"},
        {0x01, 0x08, 0x40, "G\nH\nI\n"}, {0x00, 0x00, 0x00, ""},
    };
    for (const Case& c : cases) {
        Block b = BlankBlock();
        b[49] = c.a;
        b[50] = c.b;
        b[51] = c.c;
        EXPECT_EQ(InfoTexts(b).options, c.lines) << int{c.a} << " " << int{c.b} << " " << int{c.c};
    }
}

TEST_F(CloneInfoTest, RevisionLineOnlyWhenBits4And5Differ) {
    struct Case {
        uint8_t c;
        bool shown;
    } cases[] = {{0x10, true}, {0x20, true}, {0x30, false}, {0x00, false}, {0x11, false}};
    for (const Case& c : cases) {
        Block b = BlankBlock();
        b[51] = c.c;
        b[74] = 0x12;
        Put(b, 76, "0A3F");
        EXPECT_EQ(InfoTexts(b).options, c.shown ? "Rev:1.2:$0A3F\n" : "") << int{c.c};
    }
}

TEST_F(CloneInfoTest, SerialVersionTextsAndValue) {
    Block b = BlankBlock();
    Put(b, 37, "00120A00ABCD");
    Put(b, 2, "MV7105C");
    b[5] = 0x07;  // unprintable: a blank
    Put(b, 18, "EU");
    b[34] = 0x3A;
    b[53] = 0x20;
    Put(b, 62, "1a2B");
    const CloneInfoTexts t = InfoTexts(b);
    EXPECT_EQ(t.serial, "00181043981");
    EXPECT_EQ(t.text1, "MV7 05C");
    EXPECT_EQ(t.text2, "EU");
    EXPECT_EQ(t.version, "3.10");
    EXPECT_EQ(t.overVoltage, "OV");
    EXPECT_EQ(t.value, "$1A2B");

    Put(b, 37, "0012 A00ABCD");
    EXPECT_EQ(InfoTexts(b).serial, " ");
    b[53] = 0x00;
    EXPECT_EQ(InfoTexts(b).overVoltage, "");
}

TEST_F(CloneInfoTest, LinesCarryTheOverlayLabelsInOrder) {
    const auto lines = InfoLines(BlankBlock());
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].first, "Model");
    EXPECT_EQ(lines[6].first, "Serial");
    EXPECT_EQ(lines[7], (std::pair<std::string, std::string>{"Code", "$0000"}));
}

}  // namespace
}  // namespace parlo
