#include "platform/NumberText.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace parlo {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The digits of a decimal without the zeros that do not change its value.
std::string_view Significant(const DecimalNumber& d, std::string_view* fraction) {
    std::string_view all = d.digits;
    const size_t decimals = std::min(static_cast<size_t>(std::max(d.decimals, 0)), all.size());
    std::string_view whole = all.substr(0, all.size() - decimals);
    *fraction = all.substr(all.size() - decimals);
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    fraction->remove_suffix(fraction->size() -
                            std::min(fraction->find_last_not_of('0') + 1, fraction->size()));
    return whole;
}

}  // namespace

std::optional<int64_t> ReadInteger(std::string_view text, int base) {
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value, base);
    if (ec != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::optional<int64_t> ReadLeadingInteger(std::string_view text, size_t* length) {
    size_t sign = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    size_t end = sign;
    while (end < text.size() && IsDigit(text[end])) ++end;
    if (end == sign) return std::nullopt;
    // from_chars takes a "-" but no "+".
    const size_t from = text[0] == '+' ? 1 : 0;
    const auto value = ReadInteger(text.substr(from, end - from));
    if (value && length != nullptr) *length = end;
    return value;
}

int LeadingInteger(std::string_view text) {
    size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string_view::npos) return 0;
    const bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+') ++i;
    int64_t value = 0;
    constexpr int64_t kMost = int64_t{std::numeric_limits<int>::max()} + 1;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = std::min(value * 10 + (text[i] - '0'), kMost);
    value = negative ? -value : std::min<int64_t>(value, std::numeric_limits<int>::max());
    return static_cast<int>(value);
}

int64_t DecimalNumber::Scaled(int scale, bool* exact) const {
    scale = std::max(scale, 0);
    const int64_t whole = static_cast<int64_t>(digits.size()) - decimals;
    const int64_t kept = whole + scale;  // digits that make the integer
    int64_t value = 0;
    for (int64_t i = 0; i < kept; ++i) {
        const int d = i >= 0 && i < static_cast<int64_t>(digits.size()) ? digits[i] - '0' : 0;
        value = std::min(value * 10 + d, kDecimalLimit);
    }
    bool rest = false;
    for (int64_t i = std::max<int64_t>(kept, 0); i < static_cast<int64_t>(digits.size()); ++i)
        rest = rest || digits[i] != '0';
    if (exact != nullptr) *exact = !rest;
    if (kept >= 0 && kept < static_cast<int64_t>(digits.size()) && digits[kept] >= '5')
        value = std::min(value + 1, kDecimalLimit);
    return negative ? -value : value;
}

double DecimalNumber::Real() const {
    std::string text = negative ? "-" : "";
    const size_t decimals =
        std::min(static_cast<size_t>(std::max(this->decimals, 0)), digits.size());
    text += digits.substr(0, digits.size() - decimals);
    if (text.empty() || text == "-") text += '0';
    text += '.';
    text += digits.substr(digits.size() - decimals);
    text += '0';
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

bool DecimalNumber::SameValue(const DecimalNumber& other) const {
    std::string_view fraction, otherFraction;
    const std::string_view whole = Significant(*this, &fraction);
    const std::string_view otherWhole = Significant(other, &otherFraction);
    if (whole != otherWhole || fraction != otherFraction) return false;
    const bool zero = whole.empty() && fraction.empty();
    return zero || negative == other.negative;
}

std::optional<DecimalNumber> ReadDecimal(std::string_view text) {
    DecimalNumber d;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        d.negative = text[0] == '-';
        text.remove_prefix(1);
    }
    bool mark = false;
    for (char c : text) {
        if (IsDigit(c)) {
            d.digits += c;
            d.decimals += mark ? 1 : 0;
        } else if (c == '.' && !mark) {
            mark = true;
        } else {
            return std::nullopt;
        }
    }
    if (d.digits.empty()) return std::nullopt;
    return d;
}

std::string IntegerText(int64_t value) {
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

std::string IntegerText(int64_t value, int width, char fill) {
    std::string text = IntegerText(value);
    if (static_cast<int>(text.size()) >= width) return text;
    const size_t pad = static_cast<size_t>(width) - text.size();
    if (fill == '0') return text.insert(value < 0 ? 1 : 0, pad, '0');
    return text.insert(0, pad, fill);
}

std::string UnsignedText(uint64_t value, int base, int width) {
    char buffer[72];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, base);
    std::string text(buffer, end);
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
    return text;
}

std::string DecimalText(int64_t units, int decimals) {
    decimals = std::clamp(decimals, 0, 18);
    const uint64_t magnitude =
        units < 0 ? uint64_t{0} - static_cast<uint64_t>(units) : static_cast<uint64_t>(units);
    uint64_t one = 1;
    for (int i = 0; i < decimals; ++i) one *= 10;
    char buffer[24];
    std::string text = units < 0 ? "-" : "";
    const auto whole = std::to_chars(buffer, buffer + sizeof buffer, magnitude / one);
    text.append(buffer, whole.ptr);
    if (decimals == 0) return text;
    const auto fraction = std::to_chars(buffer, buffer + sizeof buffer, magnitude % one);
    text += '.';
    text.append(static_cast<size_t>(decimals) - static_cast<size_t>(fraction.ptr - buffer), '0');
    return text.append(buffer, fraction.ptr);
}

std::string RealText(double value, int decimals) {
    char buffer[352];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                         std::chars_format::fixed, std::clamp(decimals, 0, 17));
    if (ec != std::errc()) return {};
    return std::string(buffer, end);
}

}  // namespace parlo
