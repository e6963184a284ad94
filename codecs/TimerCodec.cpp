#include "codecs/TimerCodec.h"

#include <algorithm>

#include "codecs/CodecText.h"
#include "codecs/TypedNumber.h"
#include "overlay/OverlayText.h"

namespace parlo {

static int Divisor(const TimerParams& p) { return std::max(p.divisor, 1); }

std::string TimerText(int value, const TimerParams& p) {
    int d = Divisor(p);
    std::string text =
        IntegerText(value / d, 3, ' ') + "." + IntegerText((value % d) * 1000 / d, 3, '0');
    for (int i = 0; i < p.trim && text.back() == '0'; ++i) text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

// The units typed, before they are limited to the timer's range. A time
// between two units is cut to the unit below (a thousandth rounds up first)
// and marks the request as adjusted.
static std::optional<int64_t> Parse(CellRequest& request, const std::string& typed,
                                    const TimerParams& p) {
    if (StartsWithNoCase(typed, "of")) {
        if (!p.offAllowed) return std::nullopt;
        return 0;
    }
    const auto number = TypedNumberOf(request, typed, false);
    if (!number) return std::nullopt;
    // Far beyond every timer, and far from overflowing.
    constexpr double kLimit = double(int64_t{1} << 50);
    const double units = (number->Real() + 0.0005) * Divisor(p);
    const auto whole = static_cast<int64_t>(std::min(units, kLimit));
    if (whole >= p.minimum && whole <= p.maximum) {
        const auto shown = ReadDecimal(Trim(TimerText(static_cast<int>(whole), p)));
        if (!shown || !shown->SameValue(*number)) request.adjusted = true;
    }
    return whole;
}

CodecResult TimerCodec(CellRequest& request, int& value, const TimerParams& p) {
    auto parse = [&p](CellRequest& r, const std::string& typed) { return Parse(r, typed, p); };
    CodecResult result = EditTypedValue(request, value, parse, p.minimum, p.maximum,
                                        TimerText(value, p), "0123456789.,Oo");
    if (result == CodecResult::Rejected || request.EditorRequested()) return result;
    request.text = p.offAllowed && value == 0 ? OvlText("GI_AppInd_TimerOff") : TimerText(value, p);
    return result;
}

}  // namespace parlo
