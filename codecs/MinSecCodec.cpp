#include "codecs/MinSecCodec.h"

#include <algorithm>

#include "codecs/CodecText.h"
#include "codecs/TypedNumber.h"
#include "overlay/OverlayText.h"
#include "platform/NumberText.h"

namespace parlo {

static int Seconds(const MinSecParams& p) { return std::clamp(p.secondsPerUnit, 1, 60); }
static int UnitsPerMinute(const MinSecParams& p) { return std::max(60 / Seconds(p), 1); }

std::string MinSecText(int value, const MinSecParams& p) {
    int perMinute = UnitsPerMinute(p);
    return IntegerText(value / perMinute, 2, ' ') + ":" +
           IntegerText(Seconds(p) * (value % perMinute), 2, '0');
}

// The units typed, before they are limited to the range. A time between two
// units goes to the nearest and marks the request as adjusted. A sign or a
// decimal mark would make another time of the digits ("1.5" is not 15:00):
// refused.
static std::optional<int64_t> Parse(CellRequest& request, const std::string& typed,
                                    const MinSecParams& p) {
    if (typed.find_first_of("-.,") != std::string::npos) {
        request.refusal = typed.find('-') != std::string::npos
                              ? NumberFaultText(NumberFault::Negative)
                              : OvlText("GI_AppMess_Number_MinSec");
        return std::nullopt;
    }
    std::string kept = KeepChars(typed, "0123456789:");
    kept.resize(std::min<size_t>(kept.size(), 5));  // as long as "mm:ss" at most
    if (KeepChars(kept, kDecimalDigits).empty()) return std::nullopt;
    size_t colon = kept.find(':');
    std::string minutesText = kept.substr(0, colon);
    std::string secondsText = colon == std::string::npos ? "" : kept.substr(colon + 1);
    int64_t minutes = ReadInteger(minutesText).value_or(0);
    int64_t seconds = ReadInteger(KeepChars(secondsText, kDecimalDigits)).value_or(0);
    int s = Seconds(p);
    int64_t units = minutes * UnitsPerMinute(p) + seconds / s + (seconds % s >= s / 2.0 ? 1 : 0);
    if (units * s != minutes * 60 + seconds) request.adjusted = true;
    return units;
}

CodecResult MinSecCodec(CellRequest& request, int& value, const MinSecParams& p) {
    auto parse = [&p](CellRequest& r, const std::string& typed) { return Parse(r, typed, p); };
    int s = Seconds(p);
    CodecResult result = EditTypedValue(request, value, parse, p.minimum / s, p.maximum / s,
                                        MinSecText(value, p), "0123456789:");
    if (result == CodecResult::Rejected || request.EditorRequested()) return result;
    request.text = MinSecText(value, p);
    return result;
}

}  // namespace parlo
