#pragma once
// Tone frequencies of the selective-call codes and user tones, kept as 16-bit
// words in 0.1 Hz: shown in Hz with one decimal, typed in Hz, or chosen from a
// list of common frequencies whose items begin with the frequency in Hz.
#include <optional>
#include <string>
#include <string_view>

#include "codecs/CellRequest.h"

namespace parlo {

std::string ToneFrequencyText(int tenthsOfHz);

// Enter opens the list; a digit or "." opens the editor with it, space and
// backspace with the current text. A typed frequency is a number of Hz as
// TypedNumber.h reads it ("88,5", "1750 Hz"). Typed and chosen values are clamped to
// minimumHz..maximumHz.
CodecResult ToneFrequencyCodec(CellRequest& request, int& tenthsOfHz, const std::string& list,
                               double minimumHz, double maximumHz);

// A receive window of a tone decoder: the lowest and highest frequency it
// accepts. One frequency ("1060") sets both ends, "1040-1080" each; a list
// item sets both ends to its frequency. A window whose ends are equal shows
// one frequency.
struct ToneWindow {
    int low = 0;
    int high = 0;
    bool operator==(const ToneWindow&) const = default;
};
std::string ToneWindowText(const ToneWindow& window);
CodecResult ToneWindowCodec(CellRequest& request, ToneWindow& window, const std::string& list,
                            double minimumHz, double maximumHz);

}  // namespace parlo
