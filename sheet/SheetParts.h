#pragma once
// What the parts of the sheet share: the events it raises and the small text
// helpers of its description language.
#include <cstdint>
#include <string>
#include <vector>

#include "overlay/ColourTable.h"
#include "platform/Canvas.h"
#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"

namespace parlo::sheet_parts {

// Events the sheet raises.

inline constexpr uint32_t kClBtnFace = kSystemColour + 15;

// Empties the status line: every move or key starts without a message.
inline void ClearStatusText(EventManager& events) {
    events.Post(ev::kStatusText, {"", kClWindowText, kClBtnFace});
}

// A refusal in dark red on the status line.
inline void ShowRefusal(EventManager& events, const std::string& text) {
    events.Post(ev::kStatusText, {text, 0x0000C0, kClBtnFace});
}

// The lines of a text, split at '\n'.
std::vector<std::string> SplitLines(const std::string& text);
// The same, each line broken at blanks so that it fits `width` as `canvas`
// measures (a word wider than that stays whole).
std::vector<std::string> WrapLines(Canvas& canvas, const std::string& text, int width);

}  // namespace parlo::sheet_parts
