#pragma once
// Scrambler code of a channel: 0 is voice inversion ("Inv"), 1..255 a
// scrambler code number.
#include <string>

#include "codecs/CellRequest.h"

namespace parlo {

std::string ScramblerText(int value);
// Enter opens a list offering inversion or a code number; a committed text
// beginning "inv" means inversion, any other number is clamped to 0..255.
CodecResult ScramblerCodec(CellRequest& request, int& value);

}  // namespace parlo
