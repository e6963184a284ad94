#include <gtest/gtest.h>

#include "codecs/ColourCodeCodec.h"
#include "codecs/FrequencyCodec.h"
#include "tests/support/CodecRequests.h"

namespace parlo {
namespace {

using namespace test;

TEST(ColourCodeCodec, PatternTable) {
    EXPECT_EQ(ColourCodeOfText("5D5D55"), 12);
    EXPECT_EQ(ColourCodeOfText("5d5d55"), 12);
    EXPECT_EQ(ColourCodeOfText("577577"), 1);
    EXPECT_EQ(ColourCodeOfText("775DD7"), 16);
    EXPECT_EQ(ColourCodeOfText("123456"), 0);
    EXPECT_EQ(ColourCodeOfText("5D5D5"), 0);
    EXPECT_EQ(ColourCodeNumber(0x5D5D55), 12);
    EXPECT_EQ(ColourCodeNumber(0xFF5D5D55), 12);  // only the low 24 bits are the pattern
    for (int code = 1; code <= 16; ++code)
        EXPECT_EQ(ColourCodeNumber(ColourCodePattern(code)), code);
}

TEST(ColourCodeCodec, ShowsTheCodeNumber) {
    struct Case {
        uint32_t pattern;
        const char* text;
    } cases[] = {{0x5D5D55, "12"}, {0x577577, "1"}, {0x123456, "1"}, {0, "1"}};
    for (const Case& c : cases) {
        ColourCodeFields f{c.pattern, c.pattern, kSignalDigital};
        CellRequest r = Drawn();
        EXPECT_EQ(ColourCodeCodec(r, f, Direction::Receive, true), CodecResult::Unchanged);
        EXPECT_EQ(r.text, c.text);
        EXPECT_EQ(f.rx, c.pattern);  // drawing never writes
        EXPECT_FALSE(r.fontColour);
    }
}

TEST(ColourCodeCodec, GreyOnAnalogChannels) {
    ColourCodeFields f{0x577577, 0x577577, kSignalAnalog};
    CellRequest r = Drawn();
    ColourCodeCodec(r, f, Direction::Transmit, false);
    EXPECT_EQ(r.fontColour, kFontSilver);
}

TEST(ColourCodeCodec, EditingTheReceiveCode) {
    const uint32_t p1 = ColourCodePattern(1), p3 = ColourCodePattern(3), p5 = ColourCodePattern(5);
    struct Case {
        const char* name;
        CellRequest request;
        ColourCodeFields before;
        CodecResult result;
        uint32_t rx, tx;
    } cases[] = {
        {"transmit follows", Committed("5"), {p1, p1, 3}, CodecResult::Changed, p5, p5},
        {"split kept", Committed("5"), {p1, p3, 3}, CodecResult::Changed, p5, p3},
        {"typed pattern",
         Committed("5D5D55"),
         {p1, p3, 3},
         CodecResult::Changed,
         ColourCodePattern(12),
         p3},
        {"pattern not in the table",
         Committed("123456"),
         {p1, p1, 3},
         CodecResult::Rejected,
         p1,
         p1},
        {"clamped", Committed("20"), {p1, p3, 3}, CodecResult::Changed, ColourCodePattern(16), p3},
        {"unreadable", Committed("x"), {p1, p1, 3}, CodecResult::Rejected, p1, p1},
        {"unset codes start at 1", Committed("3"), {0, 0, 3}, CodecResult::Changed, p3, p3},
        {"space wraps",
         Pressed(kKeySpace),
         {ColourCodePattern(16), p1, 3},
         CodecResult::Changed,
         p1,
         p1},
        {"unknown pattern edits as 1",
         Pressed(kKeySpace),
         {0x123456, p3, 3},
         CodecResult::Changed,
         ColourCodePattern(2),
         p3},
        {"no list to choose from", Picked(2), {p1, p1, 3}, CodecResult::Rejected, p1, p1},
    };
    for (Case& c : cases) {
        ColourCodeFields f = c.before;
        EXPECT_EQ(ColourCodeCodec(c.request, f, Direction::Receive, true), c.result) << c.name;
        EXPECT_EQ(f.rx, c.rx) << c.name;
        EXPECT_EQ(f.tx, c.tx) << c.name;
    }
}

TEST(ColourCodeCodec, KeysOpenTheEditorWithoutWriting) {
    ColourCodeFields f{0, 0, kSignalDigital};
    CellRequest r = Pressed(kKeyEnter);
    EXPECT_EQ(ColourCodeCodec(r, f, Direction::Receive, true), CodecResult::Unchanged);
    EXPECT_EQ(r.requestEdit, kEditInPlace);
    EXPECT_EQ(r.text, "1");
    EXPECT_EQ(f.rx, 0u);
}

TEST(ColourCodeCodec, OnlyTheReceiveCodeOfAnEditableBankIsEdited) {
    const uint32_t p1 = ColourCodePattern(1);
    for (auto [direction, editable] :
         {std::pair{Direction::Receive, false}, {Direction::Transmit, true}}) {
        ColourCodeFields f{p1, p1, kSignalDigital};
        CellRequest commit = Committed("5");
        EXPECT_EQ(ColourCodeCodec(commit, f, direction, editable), CodecResult::Rejected);
        CellRequest space = Pressed(kKeySpace);
        EXPECT_EQ(ColourCodeCodec(space, f, direction, editable), CodecResult::Unchanged);
        EXPECT_EQ(space.requestEdit, kEditNone);
        EXPECT_EQ(space.text, "1");
        EXPECT_EQ(f.rx, p1);
        EXPECT_EQ(f.tx, p1);
    }
}

}  // namespace
}  // namespace parlo
