#include <gtest/gtest.h>

#include "codecs/DigitSetCodec.h"
#include "tests/support/CodecRequests.h"

namespace parlo {
namespace {

using namespace test;

const DigitSetParams kScanLists{1, 11, 3};
const DigitSetParams kCodes8{1, 8, 2};
const DigitSetParams kCodes4{1, 4, 2};

TEST(DigitSetCodec, ShowsOneCharacterPerItem) {
    struct Case {
        uint32_t bits;
        DigitSetParams params;
        const char* text;
    } cases[] = {
        {0x7FF, kScanLists, "1234567890Z"},
        {0, kScanLists, "___________"},
        {0x400 | 0x002 | 0x001, kScanLists, "1________0Z"},  // item i is bit n - 1 - i
        {0x80 | 0x01, kCodes8, "1______8"},                  // item i is bit 7 - i
        {0xA0, kCodes4, "1_3_"},                             // left-aligned in the byte
        {0x0F, kCodes4, "____"},                             // bits of others are not items
    };
    for (const Case& c : cases) {
        uint32_t bits = c.bits;
        CellRequest r = Drawn();
        EXPECT_EQ(DigitSetCodec(r, bits, c.params), CodecResult::Unchanged);
        EXPECT_EQ(r.text, c.text);
    }
}

TEST(DigitSetCodec, Keys) {
    struct Case {
        uint32_t before;
        int key;
        uint32_t after;
    } cases[] = {
        {0, kKeySpace, 0x7FF},                                 // none set: set all
        {0x010, kKeySpace, 0},                                 // some set: clear all
        {0x7FF, kKeySpace, 0}, {0x70F, kKeyBackspace, 0x0F0},  // inverts
        {0, '1', 0x400},       {0x400, '1', 0},
        {0, '9', 0x004},       {0, '0', 0x002},  // the tenth item
        {0, 'Z', 0x001},                         // the eleventh
        {0, 'z', 0x001},       {0, 'x', 0},
    };
    for (const Case& c : cases) {
        uint32_t bits = c.before;
        CellRequest r = Pressed(c.key);
        EXPECT_EQ(DigitSetCodec(r, bits, kScanLists),
                  c.before == c.after ? CodecResult::Unchanged : CodecResult::Changed);
        EXPECT_EQ(bits, c.after) << std::hex << c.before << " key " << c.key;
    }
}

TEST(DigitSetCodec, KeysOnlyTouchTheSetsOwnBits) {
    uint32_t bits = 0x05;  // low nibble belongs to another field
    CellRequest space = Pressed(kKeySpace);
    DigitSetCodec(space, bits, kCodes4);
    EXPECT_EQ(bits, 0xF5u);
    CellRequest back = Pressed(kKeyBackspace);
    DigitSetCodec(back, bits, kCodes4);
    EXPECT_EQ(bits, 0x05u);
    for (int key : {'5', '0', 'Z'}) {  // not items of 1..4
        CellRequest r = Pressed(key);
        EXPECT_EQ(DigitSetCodec(r, bits, kCodes4), CodecResult::Unchanged);
    }
}

TEST(DigitSetCodec, CheckBoxPopupRoundTrip) {
    uint32_t bits = 0x402;  // items 1 and 10
    CellRequest enter = Pressed(kKeyEnter);
    DigitSetCodec(enter, bits, kScanLists);
    EXPECT_EQ(enter.requestEdit, kEditPopup);
    EXPECT_EQ(enter.popup.kind, PopupKind::CheckBoxes);
    EXPECT_EQ(enter.popup.first, 1);
    EXPECT_EQ(enter.popup.last, 11);
    EXPECT_EQ(enter.popup.headerStyle, 3);
    // The editor's item k is bit 26 - k.
    EXPECT_EQ(enter.popup.current, (1 << 25) | (1 << 16));

    CellRequest pick = Picked((1 << 24) | (1 << 15), PopupKind::CheckBoxes);  // items 2 and 11
    EXPECT_EQ(DigitSetCodec(pick, bits, kScanLists), CodecResult::Changed);
    EXPECT_EQ(bits, 0x201u);
    EXPECT_EQ(pick.text, "_2________Z");

    CellRequest wrongKind = Picked(0);
    EXPECT_EQ(DigitSetCodec(wrongKind, bits, kScanLists), CodecResult::Rejected);
}

TEST(DigitSetCodec, CommittedTextNamesTheSetItems) {
    struct Case {
        const char* typed;
        CodecResult result;
        uint32_t after;  // from 0x80
    } cases[] = {
        {"1_3_", CodecResult::Changed, 0xA0}, {"31", CodecResult::Changed, 0xA0},
        {"____", CodecResult::Changed, 0},    {"1", CodecResult::Unchanged, 0x80},
        {"5", CodecResult::Rejected, 0x80},   {"1a", CodecResult::Rejected, 0x80},
        {"", CodecResult::Rejected, 0x80},
    };
    for (const Case& c : cases) {
        uint32_t bits = 0x80;
        CellRequest r = Committed(c.typed);
        EXPECT_EQ(DigitSetCodec(r, bits, kCodes4), c.result) << c.typed;
        EXPECT_EQ(bits, c.after) << c.typed;
    }
}

}  // namespace
}  // namespace parlo
