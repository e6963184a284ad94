#pragma once
// The four variants of the radio and what follows from them: the record kind
// of a memory channel, and the variant an image says it belongs to.
#include "model/EepromImage.h"

namespace parlo {

enum ModelVariant : int {
    kVariantLmr = 0,
    kVariantPmr = 1,
    kVariantTarnPmr = 2,
    kVariantDPmr446 = 3,
};
inline constexpr int kVariantCount = 4;

// The byte whose bits tell an image's variant.
inline constexpr int32_t kAddrVariantBits = 0x95D7;

// Memory-channel record kind of a variant: 1..4 (LMR for values outside 0..3).
int ChannelKindOf(int variant);
// Kinds 2 and 3 form the PMR family, 1 and 4 the LMR family.
inline bool IsPmrFamily(int kind) { return kind == 2 || kind == 3; }
inline bool IsChannelKind(int kind) { return kind >= 1 && kind <= 4; }

// The variant byte 0x95D7 gives: 0x20 Tarn PMR, else 0x80 LMR, else 0x40 PMR,
// else 0x04 dPMR446, else LMR.
int VariantFromImage(const EepromImage& image);

}  // namespace parlo
