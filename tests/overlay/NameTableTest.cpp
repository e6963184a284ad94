#include <gtest/gtest.h>

#include "overlay/ColourTable.h"
#include "overlay/NameTable.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

TEST(NameTableTest, BucketFunction) {
    NameTable h(101);
    // "a" (97): h = 0 * 2 + 50 + 97 = 147 -> 147 mod 101 = 46.
    EXPECT_EQ(h.BucketOf("a"), 46u);
    // "ca": 'c' (99) is followed by the odd 'a', so b halves after it:
    // h = 50 + 99 = 149; b = 25; h = 298 + 25 + 97 = 420 -> 420 mod 101 = 16.
    EXPECT_EQ(h.BucketOf("ca"), 16u);
    // "ab": 'a' is followed by the even 'b', b stays 50:
    // h = 147; h = 294 + 50 + 98 = 442 -> 442 mod 101 = 38.
    EXPECT_EQ(h.BucketOf("ab"), 38u);
    // b runs down to 1 and then starts again from buckets / 2: with 4
    // buckets, b = 2, 1, then 2 again after three odd followers.
    NameTable four(4);
    // "aaaa": h=2+97=99; b=1; h=198+1+97=296; b=2; h=592+2+97=691; b=1;
    // h=1382+1+97=1480 -> 1480 mod 4 = 0.
    EXPECT_EQ(four.BucketOf("aaaa"), 0u);
    EXPECT_EQ(NameTable(0).Buckets(), 1031);
}

TEST(NameTableTest, SignedCharactersWrap) {
    NameTable h(7);
    // 0xE9 counts as -23: h = 3 - 23 wraps to 2^32 - 20.
    EXPECT_EQ(h.BucketOf("\xE9"), static_cast<uint32_t>(0xFFFFFFECu % 7u));
}

TEST(NameTableTest, InsertFindAndDuplicates) {
    NameTable h(3);
    for (int i = 0; i < 20; ++i) h.Insert("key" + std::to_string(i), i * 10);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(h.Find("key" + std::to_string(i)), i * 10);
    EXPECT_FALSE(h.Find("Key1").has_value());  // case matters
    EXPECT_FALSE(h.Find("").has_value());
    EXPECT_FATAL(h.Insert("key7", 1), "Overlapped Hash table.");
    EXPECT_EQ(h.Size(), 20u);
}

TEST(ColourTable, NamesAndSystemColours) {
    EXPECT_EQ(ColourByName("clAqua"), 0xFFFF00u);
    EXPECT_EQ(ColourByName("clMaroon"), 0x000080u);
    EXPECT_EQ(ColourByName("clBackground"), 0x80000001u);
    EXPECT_EQ(ColourByName("clWindow"), kClWindow);
    EXPECT_EQ(ColourByName("clGrayText"), kClGrayText);
    EXPECT_EQ(ColourByName("clBtnHighlight"), 0x80000014u);
    EXPECT_FALSE(ColourByName("claqua").has_value());
    EXPECT_FALSE(ColourByName("clOrange").has_value());
}

}  // namespace
}  // namespace parlo
