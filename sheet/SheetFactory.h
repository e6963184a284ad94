#pragma once
// Creates the sheet a node action names: "[St_ChBank]key,Bank n" a channel
// bank sheet, "[St_Common]key" a settings sheet, anything else a plain one.
#include <memory>
#include <string>

#include "sheet/Sheet.h"

namespace parlo {

// Why `action` opens no sheet, for a user who typed it: empty when it
// names a sheet of the overlay and, where it names a bank, a bank of the
// radio.
std::string SheetActionProblem(const std::string& action);

// `base` supplies the overlay, font size and printing values; the key,
// print name and parameter come from the action. The sheet shows `scope`'s
// document through `dispatcher`.
std::unique_ptr<Sheet> CreateSheet(const std::string& action, Sheet::Params base,
                                   DocumentScope scope, DispatchFunction dispatcher);

}  // namespace parlo
