#pragma once
// Text from outside (a file, a radio, a file name) on its way to a terminal.
// Control characters in it would be obeyed by the terminal: ESC sequences
// can set the window title, colours or the cursor, and a carriage return can
// hide what came before. They are shown instead, as \x1b-style escapes.
#include <string>
#include <string_view>

namespace parlo {

// `text` with every control character (C0, DEL, C1) and every byte that is
// not part of valid UTF-8 written as \xNN, lower-case hex, one escape per
// byte. Line breaks are escaped too unless `keepLineBreaks` (for messages of
// several lines).
std::string TerminalText(std::string_view text, bool keepLineBreaks = false);

}  // namespace parlo
