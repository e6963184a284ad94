#pragma once
// Fills the "%s", "%d", "%X" and "%%" of an overlay text with values, in
// order. Overlay texts are data, so they never reach printf: a text with too
// few or unexpected conversions simply shows them as they stand.
#include <string>
#include <variant>
#include <vector>

namespace parlo {

using FormatArg = std::variant<long long, std::string>;

std::string FormatText(const std::string& format, const std::vector<FormatArg>& args);

}  // namespace parlo
