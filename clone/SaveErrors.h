#pragma once
// What a failed save tells the user: that the file could not be saved, and
// why. The reason comes from the save's result: the system's error number
// where the save kept one, else the file error code's own text.
#include <cstdint>
#include <string>

namespace parlo {

// The reason alone, one sentence or two.
std::string SaveErrorReason(uint8_t code, int systemError);
// "The clone file '<path>' could not be saved.\n\n<reason>\n<kept>".
std::string SaveErrorText(const std::string& path, uint8_t code, int systemError);
// Shows SaveErrorText in a warning box captioned with the application title.
void ShowSaveError(const std::string& path, uint8_t code, int systemError);

}  // namespace parlo
