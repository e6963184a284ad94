#pragma once
// Digit set: a set of numbered items (scan lists, receive code numbers)
// shown as one character per item: its digit when set ("0" for the tenth
// item, "Z" for the eleventh), "_" when not.
#include <cstdint>
#include <string>

#include "codecs/CellRequest.h"

namespace parlo {

struct DigitSetParams {
    int first = 1;        // the number of the first item
    int last = 1;         // the number of the last item
    int headerStyle = 2;  // the check-box pop-up's header style
};

// Packing: up to 8 items sit left-aligned in a byte (item i is bit 7 - i);
// more items sit right-aligned (item i is bit n - 1 - i). A committed text
// names the set items by their characters ("_" and blanks for the others).
CodecResult DigitSetCodec(CellRequest& request, uint32_t& bits, const DigitSetParams& params);

std::string DigitSetText(uint32_t bits, const DigitSetParams& params);

// The check-box editor's value for a set (item k of the range is bit 26 - k)
// and back.
uint32_t DigitSetToEditor(uint32_t bits, const DigitSetParams& params);
uint32_t DigitSetFromEditor(uint32_t editor, const DigitSetParams& params);

}  // namespace parlo
