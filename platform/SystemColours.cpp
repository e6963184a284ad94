#include "platform/SystemColours.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace parlo {

namespace {

// A light desktop's system colours, by index (0 unused).
constexpr std::array<uint32_t, 21> kLightDesktop = {
    0xFFFFFF,  // -
    0xEFEFEF,  // 1 background
    0xC68C30,  // 2 active caption
    0xB8B8B8,  // 3 inactive caption
    0xEFEFEF,  // 4 menu
    0xFFFFFF,  // 5 window
    0x767676,  // 6 window frame
    0x000000,  // 7 menu text
    0x000000,  // 8 window text
    0xFFFFFF,  // 9 caption text
    0xCACACA,  // 10 active border
    0xCACACA,  // 11 inactive border
    0x9F9F9F,  // 12 application work space
    0xC68C30,  // 13 highlight
    0xFFFFFF,  // 14 highlight text
    0xEFEFEF,  // 15 button face
    0x9F9F9F,  // 16 button shadow
    0xBEBEBE,  // 17 grey text
    0x000000,  // 18 button text
    0x000000,  // 19 inactive caption text
    0xFFFFFF,  // 20 button highlight
};

double Channel(uint32_t value) {
    const double v = static_cast<double>(value & 0xFF) / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

}  // namespace

uint32_t LightDesktopColour(uint32_t colour) {
    if (!IsSystemColour(colour)) return colour & 0xFFFFFF;
    const uint32_t index = colour & 0xFF;
    return index < kLightDesktop.size() ? kLightDesktop[index] : 0x000000;
}

double RelativeLuminance(uint32_t rgb) {
    return 0.2126 * Channel(rgb) + 0.7152 * Channel(rgb >> 8) + 0.0722 * Channel(rgb >> 16);
}

double ContrastRatio(uint32_t a, uint32_t b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace parlo
