#include "platform/SystemColours.h"

#include <algorithm>
#include <cmath>

namespace parlo {

namespace {

double Channel(uint32_t value) {
    const double v = static_cast<double>(value & 0xFF) / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(uint32_t rgb) {
    return 0.2126 * Channel(rgb) + 0.7152 * Channel(rgb >> 8) + 0.0722 * Channel(rgb >> 16);
}

double ContrastRatio(uint32_t a, uint32_t b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace parlo
