#pragma once
// The radio area carries the work-area tables packed one after another from
// 0x0178, described by a block directory. Packing copies the tables into the
// radio area; unpacking copies them back. A loaded image is untrusted: every
// copy stays inside the radio area and the work-area tables, whatever the
// directory says.
#include <cstdint>
#include <span>

#include "model/EepromImage.h"

namespace parlo {

inline constexpr int32_t kPackBase = 0x0178;
inline constexpr int32_t kAddrPackBase = 0x0114;
inline constexpr int32_t kAddrDirectoryEntry = 0x0120;
inline constexpr int32_t kAddrWorkDirectory = 0xA4C1;
inline constexpr int kMaxDirectoryEntries = 40;
inline constexpr int32_t kGroup1Limit = 0x1D80;
inline constexpr int32_t kRadioAreaLimit = 0x7D80;  // first address past the radio area
inline constexpr int32_t kAddrModelBlock = 0x7D80;

enum class PackMode {
    Rebuild = 0,  // after a load and after every edit
    Save = 1,     // before a clone file is saved
    Write = 2,    // before an image is written to the radio
};

// Which variants carry a block.
enum class BlockCondition { Always, TarnPmr, DPmr446 };

struct PackedBlock {
    uint16_t id;
    uint16_t recordSize;
    int16_t count;  // records; -1: one per channel in the banks (up to 64)
    int32_t source;
    BlockCondition condition;
};

// The blocks of the two groups, in packing order (the first group starts
// with the fixed model block, id 39).
std::span<const PackedBlock> PackedGroup1();
std::span<const PackedBlock> PackedGroup2();

// Packs the work area of `image` for `variant`. False when a block did not fit
// its group; the radio area is then partly rewritten.
bool Pack(EepromImage& image, PackMode mode, int variant);

// Copies the tables the packed directory names back into the work area, each
// cut to its table's size (after every load).
void Unpack(EepromImage& image);
// As Unpack, with the base taken as 0x0178 and every table found copied at its
// full size (the default image, after its initial file is read).
void UnpackFull(EepromImage& image);

// Whether the byte at `address` reaches files and the radio in `variant`:
// every byte of the radio area does; a work-area byte only when a block the
// variant packs holds it.
bool CarriedInVariant(int32_t address, int variant);

// The byte work-area address `a` would hold once `image` is unpacked; the
// image itself is not changed.
uint8_t UnpackedByte(const EepromImage& image, int32_t a);

}  // namespace parlo
