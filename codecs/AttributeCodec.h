#pragma once
// Attribute set of a channel: the letters "A", "B" and "E" of the channels
// the radio references, edited through a list of actions (set as channel
// A, set as channel B, set as channel E, no channel E, toggle the bank flag).
#include <cstdint>
#include <string>

#include "codecs/CellRequest.h"
#include "model/ChannelMap.h"

namespace parlo {

std::string AttributeText(uint8_t bits);
// `list` is the action list of the variant; it may offer fewer than the five
// actions, and only what it offers can be chosen.
CodecResult AttributeCodec(CellRequest& request, uint8_t& bits, const std::string& list);

}  // namespace parlo
