#pragma once
// Timer: a count of 1/divisor units shown in whole units with three
// decimals (trailing zeros trimmed as asked), or the off text for 0 where a
// timer can be switched off.
#include <string>

#include "codecs/CellRequest.h"

namespace parlo {

struct TimerParams {
    int divisor = 1;
    int minimum = 0;
    int maximum = 255;
    bool offAllowed = false;
    int trim = 0;  // trailing "0" characters that may be dropped, then a trailing "."
};

// The number the cell shows for `value` (never the off text).
std::string TimerText(int value, const TimerParams& params);
// Typed text: a number of units ("1.5", "1,5 s"); a text beginning "of"
// switches the timer off (where it can be switched off).
CodecResult TimerCodec(CellRequest& request, int& value, const TimerParams& params);

}  // namespace parlo
