#include <gtest/gtest.h>

#include "model/EepromImage.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

EepromImage Sized(int32_t n) {
    EepromImage e;
    e.SetSize(n);
    return e;
}

TEST(EepromImageTest, SetSizeAlwaysLeavesAZeroImage) {
    EepromImage e = Sized(16);
    e.Fill(0xAB);
    e.SetSize(16);  // same size still clears
    for (int32_t a = 0; a < 16; ++a) EXPECT_EQ(e.GetByte(a), 0x00);
    e.SetSize(-5);
    EXPECT_EQ(e.GetSize(), 0);
    e.Fill(0x11);  // nothing to fill
    EXPECT_EQ(e.GetSize(), 0);
}

TEST(EepromImageTest, ByteAccessOutsideTheImageIsFatal) {
    EepromImage e = Sized(8);
    e.SetByte(7, 0x5A);
    EXPECT_EQ(e.GetByte(7), 0x5A);
    EXPECT_FATAL(e.GetByte(8), "Out of EEPROM image address (GetByte).");
    EXPECT_FATAL(e.GetByte(-1), "Out of EEPROM image address (GetByte).");
    EXPECT_FATAL(e.SetByte(8, 1), "Out of EEPROM image address (SetByte).");
    EXPECT_FATAL(Sized(0).GetByte(0), "Out of EEPROM image address (GetByte).");
}

TEST(EepromImageTest, BlockCopiesAreAllOrNothing) {
    EepromImage e = Sized(8);
    const uint8_t src[3] = {1, 2, 3};
    e.WriteBlock(5, src, 3);  // ends exactly at the size
    EXPECT_EQ(e.GetByte(7), 3);
    e.WriteBlock(6, src, 3);  // one past the end: nothing at all
    EXPECT_EQ(e.GetByte(6), 2);
    e.WriteBlock(-1, src, 2);
    e.WriteBlock(0, src, 0);
    EXPECT_EQ(e.GetByte(0), 0);

    uint8_t dst[3] = {9, 9, 9};
    e.ReadBlock(6, dst, 3);
    EXPECT_EQ(dst[0], 9);
    e.ReadBlock(5, dst, 3);
    EXPECT_EQ(dst[0], 1);
    EXPECT_EQ(dst[2], 3);
}

TEST(EepromImageTest, BlockCopyWithinTheImageMayOverlap) {
    EepromImage e = Sized(8);
    for (int32_t a = 0; a < 8; ++a) e.SetByte(a, static_cast<uint8_t>(a));
    e.WriteBlock(2, e.Data(), 6);
    const uint8_t want[8] = {0, 1, 0, 1, 2, 3, 4, 5};
    for (int32_t a = 0; a < 8; ++a) EXPECT_EQ(e.GetByte(a), want[a]) << a;
}

TEST(EepromImageTest, AssignAndCompare) {
    EepromImage a = Sized(4), b = Sized(5), empty1, empty2;
    EXPECT_TRUE(empty1.Equals(empty2));
    EXPECT_TRUE(a.Differs(b));  // a prefix of the other is still different
    a.SetByte(3, 7);
    b.Assign(a);
    EXPECT_EQ(b.GetSize(), 4);
    EXPECT_TRUE(b.Equals(a));
    b.SetByte(0, 1);
    EXPECT_TRUE(b.Differs(a));
    b.Assign(empty1);
    EXPECT_EQ(b.GetSize(), 0);
}

TEST(EepromImageTest, NibblesAddressHighNibbleFirst) {
    uint8_t buf[2] = {0x12, 0x34};
    EXPECT_EQ(EepromImage::GetNibble(buf, 0), 0x1);
    EXPECT_EQ(EepromImage::GetNibble(buf, 1), 0x2);
    EXPECT_EQ(EepromImage::GetNibble(buf, 2), 0x3);
    EepromImage::SetNibble(buf, 3, 0x1A);
    EXPECT_EQ(buf[1], 0x3A);
    EepromImage::SetNibble(buf, 0, 0xF);
    EXPECT_EQ(buf[0], 0xF2);
}

TEST(EepromImageTest, WordsAreBigEndian) {
    EepromImage e = Sized(4);
    e.SetWord(1, 0x7D80);
    EXPECT_EQ(e.GetByte(1), 0x7D);
    EXPECT_EQ(e.GetByte(2), 0x80);
    EXPECT_EQ(e.GetWord(1), 0x7D80);
    EXPECT_FATAL(e.GetWord(3), "Out of EEPROM image address (GetByte).");
}

}  // namespace
}  // namespace parlo
