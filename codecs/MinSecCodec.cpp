#include "codecs/MinSecCodec.h"

#include <algorithm>

#include "codecs/CodecText.h"

namespace parlo {

static int Seconds(const MinSecParams& p) { return std::clamp(p.secondsPerUnit, 1, 60); }
static int UnitsPerMinute(const MinSecParams& p) { return std::max(60 / Seconds(p), 1); }

std::string MinSecText(int value, const MinSecParams& p) {
    int perMinute = UnitsPerMinute(p);
    return FormatText("%2d:%02d", value / perMinute, Seconds(p) * (value % perMinute));
}

// The units typed, before they are limited to the range.
static std::optional<int64_t> Parse(const std::string& typed, const MinSecParams& p) {
    std::string kept = KeepChars(typed, "0123456789:");
    kept.resize(std::min<size_t>(kept.size(), 5));  // as long as "mm:ss" at most
    if (KeepChars(kept, kDecimalDigits).empty()) return std::nullopt;
    size_t colon = kept.find(':');
    std::string minutesText = kept.substr(0, colon);
    std::string secondsText = colon == std::string::npos ? "" : kept.substr(colon + 1);
    int64_t minutes = ParseInteger(minutesText).value_or(0);
    int64_t seconds = ParseInteger(KeepChars(secondsText, kDecimalDigits)).value_or(0);
    int s = Seconds(p);
    int64_t units = minutes * UnitsPerMinute(p) + seconds / s + (seconds % s >= s / 2.0 ? 1 : 0);
    return units;
}

CodecResult MinSecCodec(CellRequest& request, int& value, const MinSecParams& p) {
    auto parse = [&p](const std::string& typed) { return Parse(typed, p); };
    int s = Seconds(p);
    CodecResult result = EditTypedValue(request, value, parse, p.minimum / s, p.maximum / s,
                                        MinSecText(value, p), "0123456789:");
    if (result == CodecResult::Rejected || request.EditorRequested()) return result;
    request.text = MinSecText(value, p);
    return result;
}

}  // namespace parlo
