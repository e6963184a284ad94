#pragma once
// Colours in the toolkit's encoding: 0x00BBGGRR for fixed colours, or
// 0x80000000 + a system colour index (1 background ... 20 button
// highlight), which the desktop's palette decides. Where no desktop is
// asked (a recording canvas, the command line's measuring canvas) a light
// desktop's values stand for them.
#include <cstdint>

namespace parlo {

inline constexpr uint32_t kSystemColourBit = 0x80000000u;

inline constexpr bool IsSystemColour(uint32_t colour) { return (colour & kSystemColourBit) != 0; }

// The 0x00BBGGRR value a light desktop gives a system colour; a fixed
// colour is returned as it is.
uint32_t LightDesktopColour(uint32_t colour);

// WCAG 2 relative luminance (0 black ... 1 white) of a 0x00BBGGRR colour,
// and the contrast ratio of two of them (1 ... 21).
double RelativeLuminance(uint32_t rgb);
double ContrastRatio(uint32_t a, uint32_t b);

}  // namespace parlo
