#include "codecs/TimerCodec.h"

#include <algorithm>
#include <cstdlib>

#include "codecs/CodecText.h"
#include "overlay/OverlayText.h"

namespace parlo {

static int Divisor(const TimerParams& p) { return std::max(p.divisor, 1); }

std::string TimerText(int value, const TimerParams& p) {
    int d = Divisor(p);
    std::string text = FormatText("%3d.%03d", value / d, (value % d) * 1000 / d);
    for (int i = 0; i < p.trim && text.back() == '0'; ++i) text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

// The units typed, before they are limited to the timer's range.
static std::optional<int64_t> Parse(const std::string& typed, const TimerParams& p) {
    if (StartsWithNoCase(typed, "of")) {
        if (!p.offAllowed) return std::nullopt;
        return 0;
    }
    std::string kept = KeepChars(typed, "0123456789.");
    if (kept.empty() || kept == ".") return std::nullopt;
    // Far beyond every timer, and far from overflowing.
    constexpr double kLimit = double(int64_t{1} << 50);
    double units = (std::strtod(kept.c_str(), nullptr) + 0.0005) * Divisor(p);
    return static_cast<int64_t>(std::min(units, kLimit));
}

CodecResult TimerCodec(CellRequest& request, int& value, const TimerParams& p) {
    auto parse = [&p](const std::string& typed) { return Parse(typed, p); };
    CodecResult result = EditTypedValue(request, value, parse, p.minimum, p.maximum,
                                        TimerText(value, p), "0123456789.Oo");
    if (result == CodecResult::Rejected || request.EditorRequested()) return result;
    request.text = p.offAllowed && value == 0 ? OvlText("GI_AppInd_TimerOff") : TimerText(value, p);
    return result;
}

}  // namespace parlo
