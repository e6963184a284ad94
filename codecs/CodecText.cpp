#include "codecs/CodecText.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <limits>

namespace parlo {

std::string KeepChars(std::string_view text, std::string_view allowed) {
    std::string kept;
    for (char c : text) {
        if (c != '\0' && allowed.find(c) != std::string_view::npos) kept += c;
    }
    return kept;
}

std::string_view Trim(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

static char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return prefix.empty();
    text.remove_prefix(begin);
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::optional<int64_t> ParseInteger(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    // Far beyond every field, and still far from overflowing when scaled.
    constexpr int64_t kLimit = int64_t{1} << 50;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        if (value < kLimit) value = value * 10 + (c - '0');
    }
    if (value > kLimit) value = kLimit;
    return negative ? -value : value;
}

std::optional<int64_t> ParseLeadingInteger(std::string_view text) {
    text = Trim(text);
    const size_t sign = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    size_t end = sign;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    if (end == sign) return std::nullopt;
    return ParseInteger(text.substr(0, end));
}

int64_t ClampTyped(CellRequest& request, int64_t typed, int64_t minimum, int64_t maximum) {
    const int64_t limited = std::clamp(typed, minimum, maximum);
    if (limited != typed) request.clamped = true;
    return limited;
}

int64_t DivideRounded(int64_t a, int64_t b) {
    int64_t q = a / b;
    int64_t r = a % b;
    if (2 * (r < 0 ? -r : r) >= b) q += a < 0 ? -1 : 1;
    return q;
}

int StepWrapped(int value, int delta, int minimum, int maximum) {
    if (value < minimum || value > maximum) return delta > 0 ? minimum : maximum;
    int64_t next = int64_t{value} + delta;
    if (next > maximum) return minimum;
    if (next < minimum) return maximum;
    return static_cast<int>(next);
}

std::string FormatText(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) return {};
    return std::string(buffer, static_cast<size_t>(n) < sizeof buffer ? n : sizeof buffer - 1);
}

bool OpenEditorOnKey(CellRequest& request, const std::string& current, std::string_view starters) {
    int key = request.Key();
    if (key == kKeyEnter || key == kKeySpace || key == kKeyBackspace) {
        request.EditCurrent(current);
        return true;
    }
    if (key > 0 && key < 256 && starters.find(static_cast<char>(key)) != std::string_view::npos) {
        request.OpenEditor(std::string(1, static_cast<char>(key)));
        return true;
    }
    return false;
}

CodecResult EditTypedValue(CellRequest& request, int& value, const TypedParser& parse, int minimum,
                           int maximum, const std::string& current, std::string_view starters) {
    if (request.Committing()) {
        auto typed = parse(request.editText);
        if (!typed) return CodecResult::Rejected;
        return SetValue(value, ClampTyped(request, *typed, minimum, maximum));
    }
    if (int key = request.Key(); key == kKeySpace || key == kKeyBackspace) {
        return SetValue(value, StepWrapped(value, key == kKeySpace ? 1 : -1, minimum, maximum));
    }
    OpenEditorOnKey(request, current, starters);
    return CodecResult::Unchanged;
}

}  // namespace parlo
