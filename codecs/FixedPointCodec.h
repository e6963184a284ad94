#pragma once
// Fixed point: a real value stored as an integer times 10^scale, shown with
// a given number of decimals, typed as a number (TypedNumber.h: "." or ","
// for the decimals, "-" only where the range is negative), rounded half away
// from zero and clamped to its range.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "codecs/CellRequest.h"

namespace parlo {

struct FixedPointParams {
    int scale = 0;       // stored = real * 10^scale (0..9)
    int decimals = 0;    // shown decimals (0..9)
    double minimum = 0;  // in real units
    double maximum = 0;
};

// The stored integer for a decimal text as the program writes it (blanks
// around it allowed), rounded exactly (no binary floating point), or nothing
// when the text is not such a number.
std::optional<int64_t> ParseFixedPoint(std::string_view text, int scale);
// "%3d.%0Nd" of the value with N decimals (rounded half away from zero), a
// plain "%3d" without decimals; negative values keep their sign.
std::string FixedPointText(int64_t value, int scale, int decimals);

CodecResult FixedPointCodec(CellRequest& request, int64_t& value, const FixedPointParams& params);

}  // namespace parlo
