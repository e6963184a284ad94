#pragma once
// Minutes and seconds: a count of units of s seconds, shown and typed as
// "mm:ss".
#include <string>

#include "codecs/CellRequest.h"

namespace parlo {

struct MinSecParams {
    int minimum = 0;         // seconds
    int maximum = 0;         // seconds
    int secondsPerUnit = 1;  // a divisor of 60
};

std::string MinSecText(int value, const MinSecParams& params);
// Typed seconds are rounded to the nearest unit (halves up).
CodecResult MinSecCodec(CellRequest& request, int& value, const MinSecParams& params);

}  // namespace parlo
