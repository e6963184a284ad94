#pragma once
// Colours in the toolkit's encoding: 0x00BBGGRR for fixed colours, or
// 0x80000000 + a system colour index (1 background ... 20 button
// highlight), which the desktop's palette decides. Where no desktop is
// asked (a recording canvas, the command line's measuring canvas) a light
// desktop's values stand for them.
#include <array>
#include <cstdint>
#include <optional>

namespace parlo {

inline constexpr uint32_t kSystemColourBit = 0x80000000u;

inline constexpr bool IsSystemColour(uint32_t colour) { return (colour & kSystemColourBit) != 0; }

// A light desktop's system colours, by index (0 unused): background,
// active and inactive caption, menu, window, window frame, menu text,
// window text, caption text, active and inactive border, application work
// space, highlight and its text, button face and shadow, grey text, button
// text, inactive caption text, button highlight.
inline constexpr std::array<uint32_t, 21> kLightDesktop = {
    0xFFFFFF, 0xEFEFEF, 0xC68C30, 0xB8B8B8, 0xEFEFEF, 0xFFFFFF, 0x767676,
    0x000000, 0x000000, 0xFFFFFF, 0xCACACA, 0xCACACA, 0x9F9F9F, 0xC68C30,
    0xFFFFFF, 0xEFEFEF, 0x9F9F9F, 0xBEBEBE, 0x000000, 0x000000, 0xFFFFFF,
};

// The 0x00BBGGRR value a light desktop gives a system colour; a fixed
// colour is returned as it is. (Inline: canvases in the PDF module use it.)
inline constexpr uint32_t LightDesktopColour(uint32_t colour) {
    if (!IsSystemColour(colour)) return colour & 0xFFFFFF;
    const uint32_t index = colour & 0xFF;
    return index < kLightDesktop.size() ? kLightDesktop[index] : 0x000000;
}

// WCAG 2 relative luminance (0 black ... 1 white) of a 0x00BBGGRR colour,
// and the contrast ratio of two of them (1 ... 21).
double RelativeLuminance(uint32_t rgb);
double ContrastRatio(uint32_t a, uint32_t b);

// The nearest shade of `colour` on the way to `towards` that stands at
// `minimum` contrast from `against` (`colour` itself if it does), or
// nothing where even `towards` does not.
std::optional<uint32_t> ShadeToContrast(uint32_t colour, uint32_t towards, uint32_t against,
                                        double minimum);

}  // namespace parlo
