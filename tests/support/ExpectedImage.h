#pragma once
// Expected images for the tests that compare a whole image before and after
// a command, written from the memory map: channel slot n is a 34-byte main
// record at 0x7F80 + 34 n, a 12-byte extension record at 0x927D + 12 n and
// bit 7 - n % 8 of byte n / 8 in each of the 11 scan-list maps of 8 bytes at
// 0x8820; the five bank sizes are big-endian words at 0x95CD. The radio area
// mirrors the work area after every edit, so an expectation is packed the
// same way before it is compared.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>

#include "model/EepromImage.h"
#include "model/PackedLayout.h"

namespace parlo::test {

inline int32_t MainRecord(int slot) { return 0x7F80 + 34 * slot; }
inline int32_t ExtRecord(int slot) { return 0x927D + 12 * slot; }

inline bool ScanBit(const EepromImage& image, int list, int slot) {
    return (image.GetByte(0x8820 + 8 * list + slot / 8) >> (7 - slot % 8)) & 1;
}

inline void SetScanBit(EepromImage& image, int list, int slot, bool on) {
    const int32_t a = 0x8820 + 8 * list + slot / 8;
    const uint8_t bit = static_cast<uint8_t>(0x80 >> (slot % 8));
    image.SetByte(a, static_cast<uint8_t>(on ? image.GetByte(a) | bit : image.GetByte(a) & ~bit));
}

// Slot `fromSlot` of `from` (records and scan-list bits) into slot `toSlot`.
inline void CopySlot(EepromImage& to, int toSlot, const EepromImage& from, int fromSlot) {
    for (int32_t i = 0; i < 34; ++i)
        to.SetByte(MainRecord(toSlot) + i, from.GetByte(MainRecord(fromSlot) + i));
    for (int32_t i = 0; i < 12; ++i)
        to.SetByte(ExtRecord(toSlot) + i, from.GetByte(ExtRecord(fromSlot) + i));
    for (int list = 0; list < 11; ++list)
        SetScanBit(to, list, toSlot, ScanBit(from, list, fromSlot));
}

// A blank channel: the factory's settings for the slot, but both
// frequencies 0 (the inhibit bits 7 of bytes 0 and 4 stay), the name eight
// blanks and its "name empty" bit (byte 28 bit 5) set.
inline void BlankSlot(EepromImage& image, int slot, const EepromImage& defaults) {
    CopySlot(image, slot, defaults, slot);
    const int32_t m = MainRecord(slot);
    for (int32_t i : {0, 4}) {
        image.SetByte(m + i, static_cast<uint8_t>(image.GetByte(m + i) & 0x80));
        for (int32_t k = 1; k < 4; ++k) image.SetByte(m + i + k, 0);
    }
    for (int32_t i = 20; i < 28; ++i) image.SetByte(m + i, ' ');
    image.SetByte(m + 28, static_cast<uint8_t>(image.GetByte(m + 28) | 0x20));
}

// Slots s..62 move down one; slot s becomes blank.
inline void InsertSlot(EepromImage& image, int s, const EepromImage& defaults) {
    const EepromImage before = image;
    for (int k = 63; k > s; --k) CopySlot(image, k, before, k - 1);
    BlankSlot(image, s, defaults);
}

// Slots s+1..63 move up one; slot 63 becomes blank.
inline void DeleteSlot(EepromImage& image, int s, const EepromImage& defaults) {
    const EepromImage before = image;
    for (int k = s; k < 63; ++k) CopySlot(image, k, before, k + 1);
    BlankSlot(image, 63, defaults);
}

inline void SetBankSizes(EepromImage& image, std::initializer_list<int> sizes) {
    int32_t a = 0x95CD;
    for (int size : sizes) {
        image.SetByte(a++, static_cast<uint8_t>(size >> 8));
        image.SetByte(a++, static_cast<uint8_t>(size));
    }
}

// Every byte equal; the first differences are listed.
inline ::testing::AssertionResult SameImage(const EepromImage& actual,
                                            const EepromImage& expected) {
    if (actual.GetSize() != expected.GetSize())
        return ::testing::AssertionFailure()
               << "sizes " << actual.GetSize() << " and " << expected.GetSize();
    std::string differences;
    int count = 0;
    for (int32_t a = 0; a < actual.GetSize(); ++a) {
        if (actual.GetByte(a) == expected.GetByte(a)) continue;
        if (++count <= 12) {
            char line[48];
            std::snprintf(line, sizeof line, " %04X: %02X, expected %02X;",
                          static_cast<unsigned>(a), actual.GetByte(a), expected.GetByte(a));
            differences += line;
        }
    }
    if (count == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << count << " bytes differ:" << differences;
}

// The expected work area, packed as every edit packs the working image.
inline ::testing::AssertionResult SamePackedImage(const EepromImage& actual, EepromImage expected,
                                                  int variant) {
    Pack(expected, PackMode::Rebuild, variant);
    return SameImage(actual, expected);
}

}  // namespace parlo::test
