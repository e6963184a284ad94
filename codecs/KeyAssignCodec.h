#pragma once
// Key assignment: a programmable key holds the code character of its
// function, "0" plus the function's item in the variant's function list.
// Option functions drive one of three option outputs; the first group keeps
// the output's level (high or low) in a shared byte, the second group is
// always low. The scrambler function's output is the scrambler option port.
#include <cstdint>
#include <optional>
#include <string>

#include "codecs/CellRequest.h"

namespace parlo {

inline constexpr int32_t kAddrOptionLevels = 0x95A3;   // bits 5, 6, 7: outputs 1, 2, 3 high
inline constexpr int32_t kAddrScramblerPort = 0x95CC;  // bits 1-0: output 1, 2, 3
inline constexpr uint8_t kScramblerCode = 'I';

// The two shared bytes as stored; the codec changes only their own bits.
struct KeyOptions {
    uint8_t levels = 0;
    uint8_t port = 0;
    bool operator==(const KeyOptions&) const = default;
};

// The function list of a variant (LMR for values outside 0..3).
std::string KeyFunctionList(int variant);

// The option output (0..2) a code drives, and whether the output's level is
// kept; nothing for a code that drives no output.
struct OptionOutput {
    int output;
    bool levelKept;
};
std::optional<OptionOutput> OptionOutputOf(uint8_t code, const KeyOptions& options);

// The list text, then " OPT1".." OPT3" for the scrambler, then " /H" or
// " /L" for an option function.
std::string KeyAssignText(uint8_t code, const KeyOptions& options, int variant);

// Space and backspace step through the functions; Enter opens the list.
// Choosing the scrambler opens the port list, then the level list of that
// output; choosing an option function whose level is kept opens the level
// list. A committed text is read as the cell shows it ("Monitor",
// "Scrambler OPT2 /H").
CodecResult KeyAssignCodec(CellRequest& request, uint8_t& code, KeyOptions& options, int variant);

}  // namespace parlo
