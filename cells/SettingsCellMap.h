#pragma once
// The settings cell map: for every setting cell of the common, key and
// display, set-mode, scan, MSK, digital and maker pages, the bits of the
// image it edits and the codec it shows them with. One generic handler reads
// the table; a write changes only the row's own bits.
#include <cstdint>
#include <span>

#include "codecs/CodecSetup.h"
#include "model/EepromImage.h"

namespace parlo {

enum class Storage : uint8_t {
    None,       // the radio keeps the setting nowhere known: the cell shows "----"
    Bits,       // bits hi..lo of the byte at the address
    Word,       // a 16-bit big-endian word at the address
    Long,       // a signed 32-bit big-endian value at the address
    Nibbles,    // `width` nibbles from the address, high nibble first
    EnableBit,  // user set-mode enable bit `lo`: bit 7 - lo % 8 of the byte address + lo / 8
    Text,       // `width` display characters (segment text)
    Ascii,      // `width` plain characters, shown only
};

struct SettingCell {
    int cell;
    Storage storage;
    int32_t address;
    uint8_t hi, lo;
    uint8_t width;
    CodecSetup codec;
    int dPmrMaximum = -1;      // the codec's maximum in the dPMR446 variant, if it differs
    int32_t gateAddress = -1;  // editable only while bit `gateBit` of this byte is set
    uint8_t gateBit = 0;
};

std::span<const SettingCell> SettingCells();
// The row of a cell, or nullptr.
const SettingCell* SettingCellOf(int cell);

// Numeric storage: the value, and the smallest and largest value the bits
// hold.
int ReadSetting(const EepromImage& image, const SettingCell& row);
void WriteSetting(EepromImage& image, const SettingCell& row, int value);
int SettingMinimum(const SettingCell& row);
int SettingMaximum(const SettingCell& row);

// Whether every byte of the row reaches files and the radio in `variant`
// (a setting of a table that only one variant packs is lost in the others).
bool SettingStoredIn(const SettingCell& row, int variant);

// The address of a byte of the user set-mode enable table and the bit of
// item i within it.
inline constexpr int32_t kAddrUserSetEnable = 0x958D;
inline constexpr int32_t UserSetEnableAddress(int item) { return kAddrUserSetEnable + item / 8; }
inline constexpr uint8_t UserSetEnableBit(int item) {
    return static_cast<uint8_t>(0x80 >> (item % 8));
}

}  // namespace parlo
