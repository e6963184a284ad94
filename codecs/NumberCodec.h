#pragma once
// Number: an integer typed or stepped within [minimum, maximum]. The cell
// shows value + offset (or a fixed text); a typed number has the offset
// taken off and is rounded to a multiple of step.
#include <string>

#include "codecs/CellRequest.h"

namespace parlo {

struct NumberParams {
    int minimum = 0;
    int maximum = 0;
    int offset = 0;
    int step = 1;
    std::string fixedText;  // shown instead of the number when not empty
    bool clamp = false;     // stepping stops at the limits instead of wrapping
};

CodecResult NumberCodec(CellRequest& request, int& value, const NumberParams& params);

}  // namespace parlo
