#pragma once
// Colour names of the sheet description language and their values in the
// toolkit's encoding: 0x00BBGGRR for fixed colours, 0x80000000 + index for
// system colours.
#include <cstdint>
#include <optional>
#include <string>

namespace parlo {

inline constexpr uint32_t kSystemColour = 0x80000000u;
inline constexpr uint32_t kClWindow = kSystemColour + 5;
inline constexpr uint32_t kClGrayText = kSystemColour + 17;

// The value of a colour name, or nothing for an unknown name.
std::optional<uint32_t> ColourByName(const std::string& name);

}  // namespace parlo
