#pragma once
// How the tree names a bank: its number and the name stored for it.
#include <string>

#include "model/cmcEeprom.h"

namespace parlo {

std::string BankCaption(const cmcEeprom& image, int bank);

}  // namespace parlo
