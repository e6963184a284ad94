#include "codecs/FixedPointCodec.h"

#include <algorithm>
#include <cmath>

#include "codecs/CodecText.h"
#include "codecs/TypedNumber.h"
#include "platform/NumberText.h"

namespace parlo {

static int64_t Power10(int n) {
    int64_t p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    return p;
}

static int Digits(int n) { return std::clamp(n, 0, 9); }

std::optional<int64_t> ParseFixedPoint(std::string_view text, int scale) {
    const auto number = ReadDecimal(Trim(text));
    if (!number) return std::nullopt;
    return number->Scaled(Digits(scale));
}

std::string FixedPointText(int64_t value, int scale, int decimals) {
    scale = Digits(scale);
    decimals = Digits(decimals);
    int64_t magnitude = value < 0 ? -value : value;
    int64_t units = decimals >= scale ? magnitude * Power10(decimals - scale)
                                      : DivideRounded(magnitude, Power10(scale - decimals));
    int64_t one = Power10(decimals);
    std::string whole = (value < 0 && units != 0 ? "-" : "") + IntegerText(units / one);
    if (whole.size() < 3) whole.insert(0, 3 - whole.size(), ' ');
    if (decimals == 0) return whole;
    return whole + "." + IntegerText(units % one, decimals, '0');
}

static int64_t Stored(double real, int scale) {
    return static_cast<int64_t>(std::llround(real * static_cast<double>(Power10(Digits(scale)))));
}

CodecResult FixedPointCodec(CellRequest& request, int64_t& value, const FixedPointParams& p) {
    int64_t minimum = Stored(p.minimum, p.scale);
    int64_t maximum = Stored(p.maximum, p.scale);
    std::string shown = FixedPointText(value, p.scale, p.decimals);
    CodecResult result = CodecResult::Unchanged;
    if (request.Committing()) {
        const auto typed = TypedNumberOf(request, request.editText, minimum < 0);
        if (!typed) return CodecResult::Rejected;
        bool exact = true;
        const int64_t stored = typed->Scaled(Digits(p.scale), &exact);
        if (!exact) request.adjusted = true;
        result = SetValue(value, ClampTyped(request, stored, minimum, maximum));
    } else if (OpenEditorOnKey(request, shown, minimum < 0 ? "0123456789.,-" : "0123456789.,")) {
        return result;
    }
    request.text = FixedPointText(value, p.scale, p.decimals);
    return result;
}

}  // namespace parlo
