#include "model/ModelVariant.h"

namespace parlo {

int ChannelKindOf(int variant) {
    return (variant >= 0 && variant < kVariantCount) ? variant + 1 : 1;
}

int VariantFromImage(const EepromImage& image) {
    if (!image.IsValidAddress(kAddrVariantBits)) return kVariantLmr;
    const uint8_t bits = image.GetByte(kAddrVariantBits);
    if (bits & 0x20) return kVariantTarnPmr;
    if (bits & 0x80) return kVariantLmr;
    if (bits & 0x40) return kVariantPmr;
    if (bits & 0x04) return kVariantDPmr446;
    return kVariantLmr;
}

}  // namespace parlo
