#pragma once
// Program errors (a broken overlay, an address out of range, a queue index
// out of range) end the process through one service: the installed handler
// shows the text (a box in the GUI, a line on stderr in the CLI), then the
// process ends with exit status 3 and nothing is saved.
#include <functional>
#include <string>

namespace parlo {

inline constexpr int kFatalExitStatus = 3;

using FatalHandler = std::function<void(const std::string& text)>;

// Replaces the handler and returns the previous one. A handler may throw
// (tests do, to observe the error); if it returns, the process ends.
FatalHandler SetFatalHandler(FatalHandler handler);

[[noreturn]] void fatal(const std::string& text);

// printf-style helper for the fatal texts that carry a value.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace parlo
