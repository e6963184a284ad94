#pragma once
// DTMF digits of a DTMF memory: up to 24 digits "0"-"9", "A"-"D", "*", "#",
// stored as packed nibbles (even index = high nibble) and a count.
#include <array>
#include <cstdint>
#include <string>

#include "codecs/CellRequest.h"

namespace parlo {

inline constexpr int kDtmfMaxDigits = 24;

struct DtmfDigits {
    std::array<uint8_t, kDtmfMaxDigits / 2> packed{};
    int count = 0;
    bool operator==(const DtmfDigits&) const = default;
};

std::string DtmfText(const DtmfDigits& digits);
// A committed empty text clears every digit and the count.
CodecResult DtmfCodec(CellRequest& request, DtmfDigits& digits, int maxCount);

}  // namespace parlo
