#pragma once
// How the tree names a bank: its number and the name stored for it.
#include <string>

#include "model/EepromImage.h"

namespace parlo {

std::string BankCaption(const EepromImage& image, int bank);

}  // namespace parlo
