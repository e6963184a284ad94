#pragma once
// Creates the sheet a node action names: "[St_ChBank]key,Bank n" a channel
// bank sheet, "[St_Common]key" a settings sheet, anything else a plain one.
#include <memory>
#include <string>

#include "sheet/cuiSheet.h"

namespace parlo {

// `base` supplies the overlay, user parameter, font size and printing
// values; the key, print name and parameter come from the action.
std::unique_ptr<cuiSheet> CreateSheet(const std::string& action, cuiSheet::Params base,
                                      CellDispatcher dispatcher);

}  // namespace parlo
