#pragma once
// Where the memory channels, banks and the channel references live in the
// work area of the image.
#include <cstdint>

namespace parlo {

inline constexpr int kChannelSlots = 64;  // slots 0..63; index 64 is never coded
inline constexpr int kBankCount = 5;
inline constexpr int kNoBank = 5;  // bank of a slot past all banks
inline constexpr int kScanListCount = 11;

inline constexpr int32_t kAddrChannelMain = 0x7F80;  // 34-byte main records
inline constexpr int32_t kChannelMainSize = 34;
inline constexpr int32_t kAddrChannelExt = 0x927D;  // 12-byte extension records
inline constexpr int32_t kChannelExtSize = 12;

inline constexpr int32_t kAddrBankSizes = 0x95CD;    // five 16-bit words
inline constexpr int32_t kAddrBankFlags = 0x9593;    // bit (7 - i) per bank
inline constexpr int32_t kAddrBankNames = 0x969D;    // 8 characters per bank
inline constexpr int32_t kAddrScanBitmaps = 0x8820;  // 11 maps of 8 bytes

// The channel references held outside the records, and the switch that
// governs the third one.
inline constexpr int32_t kAddrRefA = 0x0145;
inline constexpr int32_t kAddrRefB = 0x0146;
inline constexpr int32_t kAddrRefE = 0x9595;
inline constexpr int32_t kAddrRefSwitch = 0x959F;  // bit 5
inline constexpr uint8_t kRefSwitchBit = 0x20;

// Attribute bits of a decoded channel.
inline constexpr uint8_t kAttrRefA = 0x01;
inline constexpr uint8_t kAttrRefB = 0x02;
inline constexpr uint8_t kAttrRefE = 0x04;
inline constexpr uint8_t kAttrSwitchOff = 0x08;
inline constexpr uint8_t kAttrBankFlag = 0x10;
inline constexpr uint8_t kAttrReferences = kAttrRefA | kAttrRefB | kAttrRefE;

// Words the last pack left for the channel capacity check.
inline constexpr int32_t kAddrGroup1End = 0x0110;
inline constexpr int32_t kAddrPackedEnd = 0x0112;

inline constexpr int32_t kHighestFrequency = 799'999'950;

}  // namespace parlo
