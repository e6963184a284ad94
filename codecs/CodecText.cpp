#include "codecs/CodecText.h"

#include <algorithm>
#include <cctype>

#include "codecs/TypedNumber.h"

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

std::optional<int64_t> TypedWhole(CellRequest& request, std::string_view text,
                                  bool negativeAllowed) {
    auto typed = TypedNumberOf(request, text, negativeAllowed);
    if (!typed) return std::nullopt;
    DecimalNumber whole = *typed;
    whole.digits.resize(whole.digits.size() - static_cast<size_t>(whole.decimals));
    whole.decimals = 0;
    if (whole.digits.empty()) whole.digits.push_back('0');
    if (!whole.SameValue(*typed)) request.adjusted = true;
    return whole.Scaled(0);
}

int64_t ClampTyped(CellRequest& request, int64_t typed, int64_t minimum, int64_t maximum) {
    const int64_t limited = std::clamp(typed, minimum, maximum);
    if (limited != typed) request.adjusted = true;
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
        auto typed = parse(request, request.editText);
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
