#pragma once
// Frequency of a dPMR446 channel in banks 1 to 4: chosen from the 446 MHz
// channel list, which also decides the signal mode (the first 8 channels
// are analog, the other 16 digital, each with its own colour code), or typed
// freely, which makes an analog channel.
#include <array>
#include <cstdint>

#include "codecs/CellRequest.h"
#include "codecs/FrequencyCodec.h"

namespace parlo {

inline constexpr std::array<uint32_t, 24> kDPmr446Channels = {
    446'006'250, 446'018'750, 446'031'250, 446'043'750, 446'056'250, 446'068'750,
    446'081'250, 446'093'750,  // analog PMR446, 12.5 kHz apart
    446'103'125, 446'109'375, 446'115'625, 446'121'875, 446'128'125, 446'134'375,
    446'140'625, 446'146'875, 446'153'125, 446'159'375, 446'165'625, 446'171'875,
    446'178'125, 446'184'375, 446'190'625, 446'196'875,  // digital dPMR446, 6.25 kHz apart
};
inline constexpr int kDPmr446AnalogChannels = 8;
// The list item after the 24 channels: type a frequency freely.
inline constexpr int kDPmr446FreeItem = 24;

// The position of `hz` in the channel list, or -1.
int DPmr446ChannelIndex(uint32_t hz);

CodecResult DPmrFrequencyCodec(CellRequest& request, FrequencyFields& fields, Direction direction);

}  // namespace parlo
