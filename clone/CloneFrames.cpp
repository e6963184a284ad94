#include "clone/CloneFrames.h"

namespace parlo {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int AnyHexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

uint8_t DataChecksum(int32_t address, const uint8_t* data, int32_t n) {
    uint32_t sum = static_cast<uint32_t>((address >> 8) & 0xFF) +
                   static_cast<uint32_t>(address & 0xFF) + static_cast<uint32_t>(n & 0xFF);
    for (int32_t i = 0; i < n; ++i) sum += data[i];
    return static_cast<uint8_t>((256 - sum % 256) % 256);
}

void AppendHex(ByteQueue& out, uint8_t v) {
    out.PushBack(static_cast<uint8_t>(kDigits[v >> 4]));
    out.PushBack(static_cast<uint8_t>(kDigits[v & 0x0F]));
}

void AppendFrameHead(ByteQueue& out, bool fromComputer, uint8_t command) {
    out.PushBack(kFrameStart);
    if (fromComputer) out.PushBack(kFrameStart);
    out.AppendBytes(fromComputer ? kFromComputer : kFromRadio, 2);
    out.PushBack(command);
}

void AppendCodes(ByteQueue& out, int32_t code1, int32_t code2) {
    const uint8_t codes[4] = {static_cast<uint8_t>(code1 >> 8), static_cast<uint8_t>(code1),
                              static_cast<uint8_t>(code2 >> 8), static_cast<uint8_t>(code2)};
    out.AppendBytes(codes, 4);
}

void AppendDataFrame(ByteQueue& out, bool fromComputer, int32_t address, const uint8_t* data,
                     int32_t n) {
    AppendFrameHead(out, fromComputer, kCmdData);
    AppendHex(out, static_cast<uint8_t>(address >> 8));
    AppendHex(out, static_cast<uint8_t>(address));
    AppendHex(out, static_cast<uint8_t>(n));
    for (int32_t i = 0; i < n; ++i) AppendHex(out, data[i]);
    AppendHex(out, DataChecksum(address, data, n));
    out.PushBack(kFrameEnd);
}

void AppendEndFrame(ByteQueue& out, bool fromComputer, int32_t count) {
    AppendFrameHead(out, fromComputer, kCmdEnd);
    out.AppendBytes(kEndFrameText, kEndFrameTextLength);
    if (count >= 0) AppendHex(out, static_cast<uint8_t>(count & 0xFF));
    out.PushBack(kFrameEnd);
}

ByteQueue HexToBytes(std::string_view text) {
    ByteQueue out;
    bool high = true;
    for (char c : text) {
        const int d = AnyHexDigit(c);
        if (d < 0) continue;
        if (high) {
            out.PushBack(static_cast<uint8_t>(d << 4));
        } else {
            out.At(out.Length() - 1) |= static_cast<uint8_t>(d);
        }
        high = !high;
    }
    return out;
}

std::string BytesToHex(const ByteQueue& bytes) {
    std::string s;
    for (int32_t i = 0; i < bytes.Length(); ++i) {
        s += kDigits[bytes.At(i) >> 4];
        s += kDigits[bytes.At(i) & 0x0F];
    }
    return s;
}

int StrictHexDigit(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace parlo
