#pragma once
// The bytes of the cloning protocol: frame markers, commands, and the data
// and end frames that both sides send. Frames from the computer carry the
// address pair 0xEE 0xEF and open with two 0xFE; the radio's carry 0xEF 0xEE
// and open with one. Data travels as upper-case hexadecimal text.
#include <cstdint>
#include <string>
#include <string_view>

#include "clone/ByteQueue.h"

namespace parlo {

inline constexpr uint8_t kFrameStart = 0xFE;
inline constexpr uint8_t kFrameEnd = 0xFD;
inline constexpr uint8_t kReadyByte = 0xFB;
inline constexpr uint8_t kRefusalByte = 0xFA;
inline constexpr uint8_t kFromComputer[2] = {0xEE, 0xEF};
inline constexpr uint8_t kFromRadio[2] = {0xEF, 0xEE};

inline constexpr uint8_t kCmdIdentify = 0xE0;
inline constexpr uint8_t kCmdIdentity = 0xE1;
inline constexpr uint8_t kCmdRead = 0xE2;
inline constexpr uint8_t kCmdWrite = 0xE3;
inline constexpr uint8_t kCmdData = 0xE4;
inline constexpr uint8_t kCmdEnd = 0xE5;
inline constexpr uint8_t kCmdWriteResult = 0xE6;
inline constexpr uint8_t kCmdSetting = 0xE8;

// The maker text of the end frame (9 bytes, no terminator sent).
inline constexpr char kEndFrameText[] = "Keld Inc.";
inline constexpr int32_t kEndFrameTextLength = 9;

// The byte that makes address high, address low, count, data and itself add
// up to 0 modulo 256.
uint8_t DataChecksum(int32_t address, const uint8_t* data, int32_t n);

// Appends two upper-case hexadecimal digits.
void AppendHex(ByteQueue& out, uint8_t v);

// Opening bytes of a frame: 0xFE 0xFE and the computer's pair, or 0xFE and
// the radio's pair; then the command.
void AppendFrameHead(ByteQueue& out, bool fromComputer, uint8_t command);

// The two identity codes, each high byte first.
void AppendCodes(ByteQueue& out, int32_t code1, int32_t code2);

// A whole data frame for n bytes (n < 256) at `address`.
void AppendDataFrame(ByteQueue& out, bool fromComputer, int32_t address, const uint8_t* data,
                     int32_t n);

// A whole end frame; the frame count (modulo 256) goes in when count >= 0.
void AppendEndFrame(ByteQueue& out, bool fromComputer, int32_t count);

// Every hexadecimal digit of the text, either case, paired high nibble
// first; other characters are skipped and an odd last digit becomes the
// high nibble of a last byte.
ByteQueue HexToBytes(std::string_view text);
// Upper-case hexadecimal text of the bytes.
std::string BytesToHex(const ByteQueue& bytes);

// 0..15 for "0"-"9" and "A"-"F" only; -1 for anything else.
int StrictHexDigit(uint8_t c);

}  // namespace parlo
