#pragma once
// Hex code: a fixed number of digits (passwords, pass codes), most
// significant first. Typed text is padded on the left with "0".
#include <cstdint>
#include <string>

#include "codecs/CellRequest.h"

namespace parlo {

struct HexCodeParams {
    int digits = 4;       // 1..8
    bool letters = true;  // "A"-"F" allowed, else decimal digits only
};

std::string HexCodeText(uint32_t value, const HexCodeParams& params);
CodecResult HexCodeCodec(CellRequest& request, uint32_t& value, const HexCodeParams& params);

}  // namespace parlo
