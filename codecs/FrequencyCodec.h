#pragma once
// Frequency of a memory channel: shown in MHz with six decimals, typed in
// MHz and snapped to the channel raster (multiples of 2.5 kHz or 3.125 kHz)
// within the resolution the user typed.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "codecs/CellRequest.h"
#include "codecs/TypedNumber.h"
#include "model/ChannelMap.h"

namespace parlo {

// Signal modes of a channel.
inline constexpr uint8_t kSignalAnalog = 0;
inline constexpr uint8_t kSignalDigital = 3;

// The channel fields the frequency cells read and write.
struct FrequencyFields {
    uint32_t rx = 0;
    uint32_t tx = 0;
    bool present = false;  // a blank channel has no frequency yet
    bool inhibit = false;
    bool txInhibit = false;
    // dPMR446 only.
    bool freeFrequency = false;  // typed freely instead of chosen from the 446 MHz list
    uint8_t signalMode = 0;      // 0 analog, 3 digital
    uint32_t rxColourCode = 0;
    uint32_t txColourCode = 0;
};

// "%d.%06d" of MHz and the Hz that remain.
std::string FrequencyText(uint32_t hz);

// The raster frequency a typed text stands for: a number of MHz as
// TypedNumber.h reads it ("446,00625", "446.00625 MHz"), cut to nine
// characters, then the first multiple of 625 Hz at or above the typed value
// that is a multiple of 2,500 or 3,125 Hz and lies within the typed
// resolution. Values from 800 MHz up are stored as the top of the range.
// Nothing when the text is no number (`fault` says why), is 0, or misses
// the raster. `adjusted`, when given, is set when the frequency stored is
// not the one typed (snapped to the raster, or lowered to the top).
std::optional<uint32_t> ParseFrequency(std::string_view text, bool* adjusted = nullptr,
                                       NumberFault* fault = nullptr);
// ParseFrequency of the committed text; marks the request as adjusted, or
// gives the reason of a refusal.
std::optional<uint32_t> TypedFrequency(CellRequest& request);

CodecResult FrequencyCodec(CellRequest& request, FrequencyFields& fields, Direction direction);

// Shared with the dPMR446 codec: stores a new frequency on one side, with
// the rules for a blank channel and for a transmit frequency that follows
// the receive frequency.
CodecResult SetChannelFrequency(FrequencyFields& fields, Direction direction, uint32_t hz);
// The cell text and colour of one side.
void ShowChannelFrequency(CellRequest& request, const FrequencyFields& fields, Direction direction);
// The text the editor starts with for Enter and ".": the number, also where
// the cell shows "<-".
std::string FrequencyEditText(const FrequencyFields& fields, Direction direction);
// Keys common to both frequency codecs ("." or "," and, on the transmit cell,
// "=");
// returns true when the key opened the editor.
bool FrequencyEditKey(CellRequest& request, const FrequencyFields& fields, Direction direction);

}  // namespace parlo
