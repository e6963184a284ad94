// The codecs of digit strings: DTMF digits, 5-tone codes and hex codes.
#include <gtest/gtest.h>

#include <array>

#include "codecs/DtmfCodec.h"
#include "codecs/FiveToneCodec.h"
#include "codecs/HexCodeCodec.h"
#include "model/EepromImage.h"
#include "tests/support/CodecRequests.h"

namespace parlo {
namespace {

using namespace test;

std::vector<int> Nibbles(const uint8_t* packed, int n) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(EepromImage::GetNibble(packed, i));
    return v;
}

TEST(DtmfCodec, TypedDigits) {
    struct Case {
        const char* typed;
        int maxCount;
        std::vector<int> nibbles;
        const char* shown;
    } cases[] = {
        {"12*#", 24, {1, 2, 14, 15}, "12*#"},
        {"abcd", 24, {10, 11, 12, 13}, "ABCD"},
        {"e f", 24, {14, 15}, "*#"},  // E and F are the "*" and "#" tones
        {"1-2-3", 24, {1, 2, 3}, "123"},
        {"123456", 4, {1, 2, 3, 4}, "1234"},
        {"0123456789012345678901234567",
         24,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3},
         "012345678901234567890123"},
    };
    for (const Case& c : cases) {
        DtmfDigits d;
        d.packed.fill(0x99);  // old digits must not survive
        d.count = 24;
        CellRequest r = Committed(c.typed);
        EXPECT_EQ(DtmfCodec(r, d, c.maxCount), CodecResult::Changed) << c.typed;
        EXPECT_EQ(d.count, static_cast<int>(c.nibbles.size())) << c.typed;
        EXPECT_EQ(Nibbles(d.packed.data(), d.count), c.nibbles) << c.typed;
        for (int i = d.count; i < kDtmfMaxDigits; ++i) {
            EXPECT_EQ(EepromImage::GetNibble(d.packed.data(), i), 0) << c.typed << " at " << i;
        }
        EXPECT_EQ(r.text, c.shown);
    }
}

// An empty text empties the memory: every nibble 0 and the count 0.
TEST(DtmfCodec, AnEmptyTextClearsTheMemory) {
    struct Case {
        const char* typed;
        std::array<uint8_t, 12> packed;
        int count;
        CodecResult result;
    } cases[] = {
        {"", {0x12, 0x3E, 0xF0}, 5, CodecResult::Changed},
        {"   ", {0x12}, 2, CodecResult::Changed},
        {"",
         {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x47},
         0,
         CodecResult::Changed},  // stray nibbles past the count go too
        {"", {}, 0, CodecResult::Unchanged},
    };
    for (const Case& c : cases) {
        DtmfDigits d;
        d.packed = c.packed;
        d.count = c.count;
        CellRequest r = Committed(c.typed);
        EXPECT_EQ(DtmfCodec(r, d, 24), c.result) << '"' << c.typed << '"';
        EXPECT_EQ(d.packed, (std::array<uint8_t, 12>{})) << '"' << c.typed << '"';
        EXPECT_EQ(d.count, 0);
        EXPECT_EQ(r.text, "");
    }
}

TEST(DtmfCodec, UnreadableTextAndKeys) {
    DtmfDigits d;
    d.packed[0] = 0x12;
    d.count = 2;
    for (const char* typed : {"xyz", "-", " + "}) {
        CellRequest r = Committed(typed);
        EXPECT_EQ(DtmfCodec(r, d, 24), CodecResult::Rejected) << typed;
        EXPECT_EQ(d.count, 2);
        EXPECT_EQ(d.packed[0], 0x12);
    }
    for (auto [key, text] : {std::pair{'*', "*"}, {'c', "c"}, {kKeyEnter, "12"}}) {
        CellRequest r = Pressed(key);
        DtmfCodec(r, d, 24);
        EXPECT_EQ(r.requestEdit, kEditInPlace) << key;
        EXPECT_EQ(r.text, text) << key;
    }
    CellRequest other = Pressed('x');
    DtmfCodec(other, d, 24);
    EXPECT_EQ(other.requestEdit, kEditNone);
    EXPECT_EQ(other.text, "12");
}

FiveToneParams Params(Direction direction, int maxCount = 8, uint8_t repeat = 0xE) {
    return FiveToneParams{direction, maxCount, repeat};
}

TEST(FiveToneCodec, TypedCodes) {
    struct Case {
        const char* typed;
        FiveToneParams params;
        std::array<uint8_t, 4> packed;
        uint8_t marker;
        const char* shown;
    } cases[] = {
        {"12345", Params(Direction::Receive), {0x12, 0x34, 0x5F, 0xFF}, 0, "12345"},
        {"1*3", Params(Direction::Receive), {0x1E, 0x3F, 0xFF, 0xFF}, 0, "1*3"},
        {"1g3", Params(Direction::Receive, 8, 0xA), {0x1A, 0x3F, 0xFF, 0xFF}, 0, "1*3"},
        {"11", Params(Direction::Receive, 8, 1), {0x11, 0xFF, 0xFF, 0xFF}, 0, "**"},
        {"1+3", Params(Direction::Receive), {0x10, 0x3F, 0xFF, 0xFF}, 0x40, "1+3"},
        {"1+3", Params(Direction::Transmit), {0x13, 0xFF, 0xFF, 0xFF}, 0x55, "13"},
        {"a1f2", Params(Direction::Receive), {0xA1, 0x2F, 0xFF, 0xFF}, 0, "A12"},  // F dropped
        {"123456789", Params(Direction::Transmit, 5), {0x12, 0x34, 0x5F, 0xFF}, 0x55, "12345"},
        {"12345678", Params(Direction::Receive), {0x12, 0x34, 0x56, 0x78}, 0, "12345678"},
    };
    for (const Case& c : cases) {
        FiveToneCode code;
        code.packed = {0x98, 0x76, 0x54, 0x32};
        code.marker = 0x55;  // a transmit code has none and keeps the byte
        CellRequest r = Committed(c.typed);
        EXPECT_EQ(FiveToneCodec(r, code, c.params), CodecResult::Changed) << c.typed;
        EXPECT_EQ(code.packed, c.packed) << c.typed;
        EXPECT_EQ(code.marker, c.marker) << c.typed;
        EXPECT_EQ(r.text, c.shown) << c.typed;
    }
}

TEST(FiveToneCodec, ShownCodes) {
    FiveToneCode code;
    code.packed = {0x12, 0xF3, 0x45, 0x67};  // ends at the high nibble of the second byte
    code.marker = 0x40;
    CellRequest rx = Drawn();
    FiveToneCodec(rx, code, Params(Direction::Receive));
    EXPECT_EQ(rx.text, "1+");
    CellRequest tx = Drawn();
    FiveToneCodec(tx, code, Params(Direction::Transmit, 8, 2));
    EXPECT_EQ(tx.text, "1*");
}

TEST(FiveToneCodec, UnreadableTextAndKeys) {
    FiveToneCode code;
    code.packed = {0x12, 0xFF, 0xFF, 0xFF};
    for (const char* typed : {"", "xyz", "fff"}) {
        CellRequest r = Committed(typed);
        EXPECT_EQ(FiveToneCodec(r, code, Params(Direction::Receive)), CodecResult::Rejected);
        EXPECT_EQ(code.packed[0], 0x12);
    }
    for (int key :
         {int{'G'}, int{'g'}, int{'#'}, int{'+'}, int{'*'}, int{'b'}, int{'7'}, kKeyEnter}) {
        CellRequest r = Pressed(key);
        FiveToneCodec(r, code, Params(Direction::Receive));
        EXPECT_EQ(r.requestEdit, kEditInPlace) << key;
    }
}

TEST(HexCodeCodec, TypedCodesArePaddedOnTheLeft) {
    struct Case {
        const char* typed;
        HexCodeParams params;
        CodecResult result;
        uint32_t value;  // from 0x1234
        const char* shown;
    } cases[] = {
        {"12", {4, true}, CodecResult::Changed, 0x0012, "0012"},
        {"abc", {4, true}, CodecResult::Changed, 0x0ABC, "0ABC"},
        {"98765", {4, true}, CodecResult::Changed, 0x9876, "9876"},  // cut at four
        {"1A2", {4, false}, CodecResult::Changed, 0x0012, "0012"},
        {"7", {6, true}, CodecResult::Changed, 0x000007, "000007"},
        {"1234", {4, true}, CodecResult::Unchanged, 0x1234, "1234"},
        {"", {4, true}, CodecResult::Rejected, 0x1234, ""},
        {"xyz", {4, true}, CodecResult::Rejected, 0x1234, ""},
    };
    for (const Case& c : cases) {
        uint32_t value = 0x1234;
        CellRequest r = Committed(c.typed);
        EXPECT_EQ(HexCodeCodec(r, value, c.params), c.result) << c.typed;
        EXPECT_EQ(value, c.value) << c.typed;
        if (c.result != CodecResult::Rejected) {
            EXPECT_EQ(r.text, c.shown) << c.typed;
        }
    }
}

TEST(HexCodeCodec, KeysThatBeginACode) {
    uint32_t value = 0xBEEF;
    CellRequest letter = Pressed('b');
    HexCodeCodec(letter, value, {4, true});
    EXPECT_EQ(letter.requestEdit, kEditInPlace);
    EXPECT_EQ(letter.text, "b");
    CellRequest decimalOnly = Pressed('b');
    HexCodeCodec(decimalOnly, value, {4, false});
    EXPECT_EQ(decimalOnly.requestEdit, kEditNone);
    EXPECT_EQ(decimalOnly.text, "BEEF");
    CellRequest space = Pressed(kKeySpace);
    HexCodeCodec(space, value, {4, false});
    EXPECT_EQ(space.requestEdit, kEditInPlace);
    EXPECT_EQ(space.text, "BEEF");
}

}  // namespace
}  // namespace parlo
