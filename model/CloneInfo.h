#pragma once
// The radio's identity block, the 80 bytes it answers an identify request
// with: its variant and keypad, option units, revisions, serial number, map
// revision and the end of its memory, and the texts the clone information
// shows for it.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace parlo {

inline constexpr int32_t kIdentityLength = 80;
inline constexpr int32_t kIdentityMapRevision = 35;
inline constexpr int32_t kIdentityMemoryEnd = 58;

// A byte of the block; 0 past its end.
uint8_t IdentityByte(const std::vector<uint8_t>& block, int32_t i);
// Four hexadecimal characters, high digit first, either case; any other
// character counts as 0.
uint32_t IdentityHex4(const std::vector<uint8_t>& block, int32_t at);
// The last address a clone read asks for: the memory end of bytes 58-61
// with its low four bits set.
int32_t IdentityReadEnd(const std::vector<uint8_t>& block);

// Which line of GI_AppInd_Model byte 54 selects.
int ModelLineIndex(uint8_t variantBits);

struct CloneInfoTexts {
    std::string model;    // variant line, "\n", keypad line
    std::string version;  // "1.2"
    std::string text1;
    std::string text2;
    std::string options;      // one line per unit, each ending "\n"
    std::string overVoltage;  // empty unless indicated
    std::string serial;       // decimal, or " " when the characters are not hexadecimal
    std::string value;        // "$0000"
};

// The texts of the clone information, from the main overlay.
CloneInfoTexts InfoTexts(const std::vector<uint8_t>& block);

// The same as (label, text) pairs in display order, with the labels of
// GI_AppInd_CloneInfo_Label.
std::vector<std::pair<std::string, std::string>> InfoLines(const std::vector<uint8_t>& block);

}  // namespace parlo
