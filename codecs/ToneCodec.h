#pragma once
// Tone squelch of a channel: off, a CTCSS tone from the tone list, or a DTCS
// code with its polarity. Chosen from the tone list (then the DTCS code and
// polarity lists) or typed: "023I" is DTCS 023 inverted, "88.5" a CTCSS
// tone.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "codecs/CellRequest.h"
#include "model/ChannelRecord.h"

namespace parlo {

struct ToneFields {
    Tone rx;
    Tone tx;
    uint8_t signalMode = 0;  // the cells are greyed on digital channels
};

// Items of the tone list that are not tones.
inline constexpr int kToneOffItem = 52;
inline constexpr int kToneDtcsItem = 53;

// The tone list of a variant, and how many of its first items are CTCSS
// tones that can be chosen (the dPMR446 list has no user tones).
std::string ToneList(int variant);
int SelectableCtcss(int variant);

// A DTCS code written as three octal digits ("023"), or nothing.
std::optional<uint16_t> ParseDtcsCode(std::string_view text);
// The position of a code in the list of standard DTCS codes, or -1.
int DtcsListIndex(uint16_t code);

Tone CtcssTone(int index);
Tone DtcsTone(uint16_t code, bool inverted);

std::string ToneText(const Tone& tone, int variant);

// A tone as a table names it: a number is a CTCSS frequency ("100" is
// 100.0 Hz), a DTCS code carries its polarity letter ("023N"), else an item
// of the tone list. Nothing when it names none, with the reason (where
// there is one) in *reason.
std::optional<Tone> TableToneOf(std::string_view text, int variant, std::string* reason);

// In the dPMR446 variant only the receive tone is edited. When the receive
// tone changes and both tones were equal, the transmit tone follows.
CodecResult ToneCodec(CellRequest& request, ToneFields& fields, Direction direction, int variant);

}  // namespace parlo
