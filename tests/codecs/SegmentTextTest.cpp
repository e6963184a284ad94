#include <gtest/gtest.h>

#include "codecs/SegmentText.h"
#include "tests/support/CodecRequests.h"

namespace parlo {
namespace {

using namespace test;

using Bytes = std::vector<uint8_t>;

TEST(SegmentText, FieldToTextForm) {
    struct Case {
        Bytes field;
        bool zeroTerminated;
        const char* text;
    } cases[] = {
        {{0x41, 0xC2, 0x20, 0x20}, false, "AB."},  // dotted B, trailing blanks dropped
        {{0xA0, 0x41, 0x20, 0x20}, false, " .A"},  // a blank with a dot
        {{0x80, 0x41, 0x20, 0x20}, false, " .A"},
        {{0x25, 0x41, 0x20, 0x20}, false, "%%A"},
        {{0x1F, 0x7F, 0x9F, 0x20}, false, "%1F%7F%1F."},
        {{0x2E, 0x41, 0x20, 0x20}, false, "%2EA"},  // a "." character is not a dot
        {{0x41, 0x42, 0x00, 0x43}, false, "AB"},    // 0 ends the text
        {{0x41, 0x05, 0x43, 0x20}, false, "A"},     // so does any code below 0x10
        {{0x41, 0x20, 0x00, 0x00}, true, "A "},     // zero-terminated fields keep blanks
        {{0x20, 0x20, 0x20, 0x20}, false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SegmentTextForm(c.field, c.zeroTerminated), c.text) << c.text;
    }
}

TEST(SegmentText, TextFormToField) {
    struct Case {
        const char* text;
        size_t length;
        bool zeroTerminated;
        Bytes field;
    } cases[] = {
        {"AB.", 4, false, {0x41, 0xC2, 0x20, 0x20}},
        {".", 4, false, {0xA0, 0x20, 0x20, 0x20}},    // a dot on its own
        {"A..", 4, false, {0xC1, 0xA0, 0x20, 0x20}},  // the second dot stands alone
        {"%1F", 4, false, {0x1F, 0x20, 0x20, 0x20}},
        {"%41", 4, false, {0x41, 0x20, 0x20, 0x20}},
        {"%0A", 4, false, {0x25, 0x30, 0x41, 0x20}},  // 0x0A cannot be stored: literal
        {"%%.", 4, false, {0xA5, 0x20, 0x20, 0x20}},
        {"%C1.", 4, false, {0xC1, 0xA0, 0x20, 0x20}},  // already dotted
        {"%2E.", 4, false, {0xAE, 0x20, 0x20, 0x20}},
        {"%", 4, false, {0x25, 0x20, 0x20, 0x20}},
        {"%4", 4, false, {0x25, 0x34, 0x20, 0x20}},
        {"A\tB", 4, false, {0x41, 0x20, 0x42, 0x20}},  // control characters become blanks
        {"\xE9", 4, false, {0xE9, 0x20, 0x20, 0x20}},  // codes above 0x7E are kept
        {"ABCDEFGHIJ", 8, false, {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}},
        {"AB", 4, true, {0x41, 0x42, 0x00, 0x00}},
        {"", 4, false, {0x20, 0x20, 0x20, 0x20}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SegmentTextField(c.text, c.length, c.zeroTerminated), c.field) << c.text;
    }
}

TEST(SegmentText, EveryStorableByteSurvivesTheTextForm) {
    for (int b = 0x10; b <= 0xFF; ++b) {
        if (b >= 0x80 && b < 0x90 && b != 0x80) continue;  // a dot on a code below 0x10
        Bytes field{static_cast<uint8_t>(b), 'X', ' ', ' '};
        Bytes back = SegmentTextField(SegmentTextForm(field, false), 4, false);
        Bytes expected = field;
        if (b == 0x80) expected[0] = 0xA0;  // a dotted nothing reads as a dotted blank
        EXPECT_EQ(back, expected) << std::hex << b;
    }
}

TEST(SegmentText, Cell) {
    Bytes field{0x41, 0xC2, 0x20, 0x20};
    CellRequest draw = Drawn();
    EXPECT_EQ(SegmentTextCodec(draw, field, false), CodecResult::Unchanged);
    EXPECT_EQ(draw.text, "AB.");

    for (int key : {kKeyEnter, kKeyBackspace}) {
        CellRequest r = Pressed(key);
        SegmentTextCodec(r, field, false);
        EXPECT_EQ(r.requestEdit, kEditPopup);
        EXPECT_EQ(r.popup.kind, PopupKind::TextEntry);
        EXPECT_EQ(r.text, "AB.");
        EXPECT_EQ(r.caretStart, 3);
    }
    CellRequest dot = Pressed('.');
    SegmentTextCodec(dot, field, false);
    EXPECT_EQ(dot.popup.kind, PopupKind::TextEntry);
    EXPECT_EQ(dot.text, ".");

    CellRequest same = Committed("AB.");
    EXPECT_EQ(SegmentTextCodec(same, field, false), CodecResult::Unchanged);
    CellRequest renamed = Committed("C%%");
    EXPECT_EQ(SegmentTextCodec(renamed, field, false), CodecResult::Changed);
    EXPECT_EQ(field, (Bytes{0x43, 0x25, 0x20, 0x20}));
    EXPECT_EQ(renamed.text, "C%%");
    CellRequest cleared = Committed("");
    EXPECT_EQ(SegmentTextCodec(cleared, field, false), CodecResult::Changed);
    EXPECT_EQ(field, (Bytes{0x20, 0x20, 0x20, 0x20}));
}

TEST(SegmentText, CharactersTheDisplayCannotShowAreRefused) {
    struct Case {
        const char* text;
        const char* unshown;  // nullptr: every character can be shown
    } cases[] = {
        {"Ab_\xC3\xA9"
         "1",
         "\xC3\xA9"},  // e with an acute accent
        {"\xE2\x82\xAC"
         "5",
         "\xE2\x82\xAC"},      // the euro sign
        {"Ab_%E91", nullptr},  // written as its code, a dotted i
        {"%1F a.b~", nullptr},
    };
    for (const Case& c : cases) {
        const auto unshown = FirstUnshownCharacter(c.text);
        if (c.unshown == nullptr) {
            EXPECT_FALSE(unshown) << c.text;
        } else {
            ASSERT_TRUE(unshown) << c.text;
            EXPECT_EQ(*unshown, c.unshown);
        }
    }
    // Committed, such a text stores nothing and says why.
    Bytes field{0x41, 0x42, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
    const Bytes before = field;
    CellRequest r = Committed(
        "Ab_\xC3\xA9"
        "1");
    EXPECT_EQ(SegmentTextCodec(r, field, false), CodecResult::Rejected);
    EXPECT_EQ(field, before);
    EXPECT_NE(r.refusal.find("\"\xC3\xA9\""), std::string::npos) << r.refusal;
    // A key of the desktop's character set is refused the same way.
    CellRequest key = Pressed(0xE9);
    EXPECT_EQ(SegmentTextCodec(key, field, false), CodecResult::Rejected);
    EXPECT_EQ(key.requestEdit, kEditNone);
    EXPECT_NE(key.refusal.find("\xC3\xA9"), std::string::npos);
    EXPECT_EQ(field, before);
}

TEST(SegmentText, TheBytesATextShows) {
    EXPECT_EQ(SegmentTextBytes("AB."), (Bytes{0x41, 0xC2}));
    EXPECT_EQ(SegmentTextBytes("%1F."), (Bytes{0x9F}));
    EXPECT_TRUE(SegmentTextBytes("").empty());
}

}  // namespace
}  // namespace parlo
