#pragma once
// dPMR colour code: stored as one of 16 fixed 24-bit patterns, shown and
// typed as its code number 1 to 16.
#include <array>
#include <cstdint>
#include <string_view>

#include "codecs/CellRequest.h"

namespace parlo {

// Code k (1..16) is pattern k - 1 of this table.
inline constexpr std::array<uint32_t, 16> kColourCodePatterns = {
    0x577577, 0x57DD75, 0x57F775, 0x55577D, 0x557D7D, 0x55D57F, 0x55FF7F, 0x5F555F,
    0x5F7F5F, 0x5FD75D, 0x5FFD5D, 0x5D5D55, 0x5D7755, 0x5DDF57, 0x5DF557, 0x775DD7,
};

// The code number of a stored pattern (its low 24 bits), or 0 when it is not
// in the table.
int ColourCodeNumber(uint32_t pattern);
// The pattern of code 1..16 (codes outside are clamped).
uint32_t ColourCodePattern(int code);
// The code of a pattern written as six hexadecimal digits, or 0.
int ColourCodeOfText(std::string_view hex);

struct ColourCodeFields {
    uint32_t rx = 0;
    uint32_t tx = 0;
    uint8_t signalMode = 0;  // the cells are greyed on analog channels
};

// Only the receive code is edited, and only where `editable` (bank 5 of the
// dPMR446 variant); the transmit code follows it when both were equal. A
// committed text is a code number (clamped to 1..16) or a six-digit pattern
// from the table.
CodecResult ColourCodeCodec(CellRequest& request, ColourCodeFields& fields, Direction direction,
                            bool editable);

}  // namespace parlo
