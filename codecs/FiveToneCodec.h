#pragma once
// 5-tone code of a receive or transmit code entry: up to 8 tone digits in 4
// bytes of nibbles (high nibble first, 0xF ends the code). A digit equal to
// the shared repeat-tone digit shows "*"; receive codes also carry a marker
// byte whose bit 7 - i shows "+" at position i.
#include <array>
#include <cstdint>
#include <string>

#include "codecs/CellRequest.h"

namespace parlo {

inline constexpr int kFiveToneMaxDigits = 8;

struct FiveToneCode {
    std::array<uint8_t, kFiveToneMaxDigits / 2> packed{0xFF, 0xFF, 0xFF, 0xFF};
    uint8_t marker = 0;  // receive codes only
    bool operator==(const FiveToneCode&) const = default;
};

struct FiveToneParams {
    Direction direction = Direction::Receive;
    int maxCount = kFiveToneMaxDigits;
    uint8_t repeatTone = 0xE;  // the shared repeat-tone digit
};

std::string FiveToneText(const FiveToneCode& code, const FiveToneParams& params);
CodecResult FiveToneCodec(CellRequest& request, FiveToneCode& code, const FiveToneParams& params);

}  // namespace parlo
