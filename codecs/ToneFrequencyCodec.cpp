#include "codecs/ToneFrequencyCodec.h"

#include <algorithm>
#include <cmath>

#include "codecs/CodecText.h"
#include "codecs/FixedPointCodec.h"
#include "codecs/OverlayList.h"

namespace parlo {

namespace {

constexpr int kWordLimit = 0xFFFF;

int Clamped(int tenths, double minimumHz, double maximumHz) {
    const int low = static_cast<int>(std::lround(minimumHz * 10));
    const int high = std::min(static_cast<int>(std::lround(maximumHz * 10)), kWordLimit);
    return std::clamp(tenths, low, high);
}

// The frequency a list item begins with ("1060.0 Hz, ZVEI 1").
std::optional<int> ItemFrequency(const std::string& list, int item) {
    const auto text = ListItem(list, item);
    if (!text) return std::nullopt;
    const size_t end = text->find_first_not_of("0123456789.");
    return ParseToneFrequency(text->substr(0, end));
}

// What both codecs share: `single` takes one frequency only.
CodecResult EditWindow(CellRequest& request, ToneWindow& window, const std::string& list,
                       double minimumHz, double maximumHz, bool single) {
    const ToneWindow before = window;
    const std::string current = single ? ToneFrequencyText(window.low) : ToneWindowText(window);
    if (auto item = request.Picked(PopupKind::List)) {
        const auto f = ItemFrequency(list, *item);
        if (!f) return CodecResult::Rejected;
        window.low = window.high = Clamped(*f, minimumHz, maximumHz);
    } else if (request.Picking()) {
        return CodecResult::Rejected;
    } else if (request.Committing()) {
        const std::string& typed = request.editText;
        const size_t dash = single ? std::string::npos : typed.find('-');
        const auto low = ParseToneFrequency(typed.substr(0, dash));
        const auto high =
            dash == std::string::npos ? low : ParseToneFrequency(typed.substr(dash + 1));
        if (!low || !high) return CodecResult::Rejected;
        window.low = Clamped(std::min(*low, *high), minimumHz, maximumHz);
        window.high = Clamped(std::max(*low, *high), minimumHz, maximumHz);
        if (window.low != std::min(*low, *high) || window.high != std::max(*low, *high))
            request.clamped = true;
    } else if (request.Key() == kKeyEnter) {
        request.OpenPopup(PopupKind::List, list, -1);
    } else if (OpenEditorOnKey(request, current, "0123456789.")) {
        return CodecResult::Unchanged;
    }
    request.text = single ? ToneFrequencyText(window.low) : ToneWindowText(window);
    return window == before ? CodecResult::Unchanged : CodecResult::Changed;
}

}  // namespace

std::string ToneFrequencyText(int tenthsOfHz) {
    return std::string(Trim(FixedPointText(tenthsOfHz, 1, 1)));
}

std::optional<int> ParseToneFrequency(std::string_view text) {
    text = Trim(text);
    if (text.size() > 2 && EqualsNoCase(text.substr(text.size() - 2), "hz"))
        text = Trim(text.substr(0, text.size() - 2));
    if (text.empty() || KeepChars(text, "0123456789.").size() != text.size()) return std::nullopt;
    const auto value = ParseFixedPoint(text, 1);
    if (!value) return std::nullopt;
    // Beyond a word only to be clamped.
    return static_cast<int>(std::min<int64_t>(*value, kWordLimit + 1));
}

CodecResult ToneFrequencyCodec(CellRequest& request, int& tenthsOfHz, const std::string& list,
                               double minimumHz, double maximumHz) {
    ToneWindow window{tenthsOfHz, tenthsOfHz};
    const CodecResult result = EditWindow(request, window, list, minimumHz, maximumHz, true);
    tenthsOfHz = window.low;
    return result;
}

std::string ToneWindowText(const ToneWindow& w) {
    if (w.low == w.high) return ToneFrequencyText(w.low);
    return ToneFrequencyText(w.low) + "-" + ToneFrequencyText(w.high);
}

CodecResult ToneWindowCodec(CellRequest& request, ToneWindow& window, const std::string& list,
                            double minimumHz, double maximumHz) {
    return EditWindow(request, window, list, minimumHz, maximumHz, false);
}

}  // namespace parlo
