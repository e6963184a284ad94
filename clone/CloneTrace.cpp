#include "clone/CloneTrace.h"

#include <cstdio>

#include "clone/CloneFrames.h"

namespace parlo {

namespace {

struct CommandName {
    uint8_t command;
    const char* name;
};
constexpr CommandName kCommands[] = {
    {kCmdIdentify, "identify request"}, {kCmdIdentity, "identity"}, {kCmdRead, "read request"},
    {kCmdWrite, "write request"},       {kCmdData, "data"},         {kCmdEnd, "end"},
    {kCmdWriteResult, "write result"},  {kCmdSetting, "setting"},
};

int HexPair(const uint8_t* p) {
    const int hi = StrictHexDigit(p[0]), lo = StrictHexDigit(p[1]);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

}  // namespace

std::string DescribeFrame(bool sent, const uint8_t* bytes, int32_t n) {
    const char* arrow = sent ? "->" : "<-";
    int32_t i = 0;
    while (i < n && bytes[i] == kFrameStart) ++i;
    if (n > 0 && bytes[n - 1] == kFrameEnd) --n;
    char line[96];
    // Not a frame (the speed-change script, a ready or refusal byte).
    if (i == 0 || n - i < 3) {
        std::snprintf(line, sizeof line, "%s %d bytes%s", arrow, static_cast<int>(n),
                      n == 1 && bytes[0] == kReadyByte     ? " (ready)"
                      : n == 1 && bytes[0] == kRefusalByte ? " (refused)"
                                                           : "");
        return line;
    }
    const uint8_t command = bytes[i + 2];
    const char* name = "unknown command";
    for (const CommandName& c : kCommands) {
        if (c.command == command) name = c.name;
    }
    const uint8_t* payload = bytes + i + 3;
    const int32_t length = n - i - 3;
    if (command == kCmdData && length >= 6) {
        const int hi = HexPair(payload), lo = HexPair(payload + 2), count = HexPair(payload + 4);
        if (hi >= 0 && lo >= 0 && count >= 0) {
            std::snprintf(line, sizeof line, "%s %02X data %04X, %d bytes", arrow, command,
                          hi * 256 + lo, count);
            return line;
        }
    }
    std::snprintf(line, sizeof line, "%s %02X %s, %d bytes", arrow, command, name,
                  static_cast<int>(length));
    return line;
}

}  // namespace parlo
