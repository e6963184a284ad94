#pragma once
// How a setting is shown and edited: which value codec, with which
// parameters. The settings cell map and the list-like record cells describe
// their cells with it, so one runner serves every row of both tables.
#include <cstdint>
#include <string>

#include "codecs/CellRequest.h"

namespace parlo {

class EepromImage;

enum class CodecKind : uint8_t {
    Show,           // shown only, as a decimal number
    ShowHex,        // shown only, as "$%04X"
    List,           // list choice on `list`
    Number,         // number codec on minimum..maximum, wrapping
    Timer,          // timer codec: `divisor` units a second, minimum..maximum units
    MinSec,         // minutes and seconds: minimum..maximum seconds, `divisor` seconds a unit
    FixedPoint,     // stored = real * 10^scale, `decimals` shown, range in real units
    HexCode,        // `digits` hexadecimal digits
    DigitSet,       // items first..last
    KeyAssign,      // the function of a programmable key
    ToneFrequency,  // a tone in 0.1 Hz, typed or chosen from `list`
};

struct CodecSetup {
    CodecKind kind = CodecKind::Show;
    const char* list = nullptr;
    double minimum = 0;
    double maximum = 0;
    int divisor = 1;
    int scale = 0;
    int decimals = 0;  // fixed point: decimals shown; timer: trailing zeros that may go
    int digits = 0;
    int first = 0;
    int last = 0;
    bool off = false;  // timer: 0 shows the off text
};

// Table entries: codec::Timer(10, 0, 255) and so on.
namespace codec {
// clang-format off
constexpr CodecSetup ShowNumber() { return {}; }
constexpr CodecSetup ShowHexWord() { return {CodecKind::ShowHex}; }
constexpr CodecSetup List(const char* key) { return {CodecKind::List, key}; }
constexpr CodecSetup Number(int minimum, int maximum) {
    return {CodecKind::Number, nullptr, double(minimum), double(maximum)};
}
// The thousandths the divisor can never fill are trimmed: 180 s shows "180",
// 5.0 s (divisor 10) "5.0".
constexpr int TrimmableZeros(int divisor) {
    return divisor >= 1000 ? 0 : divisor >= 100 ? 1 : divisor >= 10 ? 2 : 3;
}
constexpr CodecSetup Timer(int divisor, int minimum, int maximum, bool off = false) {
    return {CodecKind::Timer, nullptr, double(minimum), double(maximum), divisor, 0,
            TrimmableZeros(divisor), 0, 0, 0, off};
}
constexpr CodecSetup MinSec(int minimumSeconds, int maximumSeconds, int secondsPerUnit) {
    return {CodecKind::MinSec, nullptr, double(minimumSeconds), double(maximumSeconds),
            secondsPerUnit};
}
constexpr CodecSetup FixedPoint(int scale, int decimals, double minimum, double maximum) {
    return {CodecKind::FixedPoint, nullptr, minimum, maximum, 1, scale, decimals};
}
constexpr CodecSetup HexCode(int digits) {
    return {CodecKind::HexCode, nullptr, 0, 0, 1, 0, 0, digits};
}
constexpr CodecSetup DigitSet(int first, int last) {
    return {CodecKind::DigitSet, nullptr, 0, 0, 1, 0, 0, 0, first, last};
}
constexpr CodecSetup KeyAssign() { return {CodecKind::KeyAssign}; }
constexpr CodecSetup ToneFrequency(const char* list) {
    return {CodecKind::ToneFrequency, list, 0.0, 3000.0};
}
// clang-format on
}  // namespace codec

// What a codec needs besides its parameters.
struct CodecContext {
    int variant = 0;
    // Key assignments keep the option levels and the scrambler port here.
    EepromImage* image = nullptr;
    // The largest value the stored bits hold (-1: no limit); a list offers
    // no item beyond it.
    int fieldMaximum = -1;
};

// Runs the codec of `setup` on `value`. Show kinds refuse any input.
CodecResult RunCodec(CellRequest& request, int& value, const CodecSetup& setup,
                     const CodecContext& context);

// Shows the value as `setup` would and ignores keys; a committed text or a
// chosen item is refused (a setting that may not be edited now).
CodecResult ShowOnly(CellRequest& request, int value, const CodecSetup& setup,
                     const CodecContext& context);

// What a cell shows for a setting the radio does not keep anywhere known.
inline constexpr const char* kNotStoredText = "----";

}  // namespace parlo
