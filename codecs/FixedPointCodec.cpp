#include "codecs/FixedPointCodec.h"

#include <algorithm>
#include <cmath>

#include "codecs/CodecText.h"

namespace parlo {

static int64_t Power10(int n) {
    int64_t p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    return p;
}

static int Digits(int n) { return std::clamp(n, 0, 9); }

std::optional<int64_t> ParseFixedPoint(std::string_view text, int scale) {
    text = Trim(text);
    scale = Digits(scale);
    bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    size_t dot = text.find('.');
    std::string_view whole = text.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? "" : text.substr(dot + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if (KeepChars(whole, kDecimalDigits).size() != whole.size() ||
        KeepChars(fraction, kDecimalDigits).size() != fraction.size()) {
        return std::nullopt;
    }
    // Far beyond every field; more digits only saturate.
    constexpr int64_t kLimit = int64_t{1} << 50;
    int64_t value = 0;
    for (char c : whole) value = std::min(value * 10 + (c - '0'), kLimit);
    for (int i = 0; i < scale; ++i) {
        int digit = i < static_cast<int>(fraction.size()) ? fraction[i] - '0' : 0;
        value = std::min(value * 10 + digit, kLimit);
    }
    if (static_cast<int>(fraction.size()) > scale && fraction[scale] >= '5') ++value;
    return negative ? -value : value;
}

std::string FixedPointText(int64_t value, int scale, int decimals) {
    scale = Digits(scale);
    decimals = Digits(decimals);
    int64_t magnitude = value < 0 ? -value : value;
    int64_t units = decimals >= scale ? magnitude * Power10(decimals - scale)
                                      : DivideRounded(magnitude, Power10(scale - decimals));
    int64_t one = Power10(decimals);
    std::string whole = FormatText("%s%lld", value < 0 && units != 0 ? "-" : "",
                                   static_cast<long long>(units / one));
    if (decimals == 0) return FormatText("%3s", whole.c_str());
    return FormatText("%3s.%0*lld", whole.c_str(), decimals, static_cast<long long>(units % one));
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
        auto typed = ParseFixedPoint(KeepChars(request.editText, "0123456789.-"), p.scale);
        if (!typed) return CodecResult::Rejected;
        result = SetValue(value, ClampTyped(request, *typed, minimum, maximum));
    } else if (OpenEditorOnKey(request, shown, minimum < 0 ? "0123456789.-" : "0123456789.")) {
        return result;
    }
    request.text = FixedPointText(value, p.scale, p.decimals);
    return result;
}

}  // namespace parlo
