#pragma once
// The user-defined display characters: 16 entries of two bytes at 0x95FD,
// each the segment mask of one character (segment i of S lit when bit
// S - 1 - i is set), the first byte the high one. The character editor edits
// them; the segment painter draws character codes 0x10 to 0x1F with them.
#include <cstdint>

#include "model/EepromImage.h"

namespace parlo {

inline constexpr int32_t kAddrUserCharacters = 0x95FD;
inline constexpr int kUserCharacterCount = 16;
inline constexpr uint8_t kFirstUserCharacterCode = 0x10;

inline uint16_t UserCharacterMask(uint8_t high, uint8_t low) {
    return static_cast<uint16_t>(high << 8 | low);
}

// The mask of entry n (0..15) of an image.
inline uint16_t UserCharacterMask(const EepromImage& image, int n) {
    return image.GetWord(kAddrUserCharacters + 2 * n);
}

}  // namespace parlo
