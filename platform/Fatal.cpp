#include "platform/Fatal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/ProgramInfo.h"

namespace parlo {

namespace {

void WriteToStderr(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", ExecutableName().c_str(), text.c_str());
}

FatalHandler& Handler() {
    static FatalHandler handler = WriteToStderr;
    return handler;
}

}  // namespace

FatalHandler SetFatalHandler(FatalHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

void fatal(const std::string& text) {
    if (Handler()) Handler()(text);
    std::fflush(stderr);
    // _Exit skips static destructors, so nothing gets saved on the way out.
    std::_Exit(kFatalExitStatus);
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(out.data(), out.size() + 1, format, args);
    va_end(args);
    return out;
}

}  // namespace parlo
