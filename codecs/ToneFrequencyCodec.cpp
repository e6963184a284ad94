#include "codecs/ToneFrequencyCodec.h"

#include <algorithm>
#include <cmath>

#include "codecs/CodecText.h"
#include "codecs/FixedPointCodec.h"
#include "codecs/OverlayList.h"
#include "codecs/TypedNumber.h"

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
    const auto tenths = ParseFixedPoint(text->substr(0, end), 1);
    if (!tenths) return std::nullopt;
    return static_cast<int>(std::min<int64_t>(*tenths, kWordLimit + 1));
}

// One typed frequency in tenths of a hertz; a frequency between two tenths
// marks the request as adjusted.
std::optional<int> TypedTenths(CellRequest& request, std::string_view text) {
    const auto hz = TypedNumberOf(request, text, false);
    if (!hz) return std::nullopt;
    bool exact = true;
    const int64_t tenths = hz->Scaled(1, &exact);
    if (!exact) request.adjusted = true;
    // Beyond a word only to be clamped.
    return static_cast<int>(std::min<int64_t>(tenths, kWordLimit + 1));
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
        const std::string_view typed = Trim(request.editText);
        // A dash first is a minus sign, not a window.
        const size_t dash = single || typed.empty() ? std::string::npos : typed.find('-', 1);
        const auto low = TypedTenths(request, typed.substr(0, dash));
        const auto high =
            dash == std::string::npos ? low : TypedTenths(request, typed.substr(dash + 1));
        if (!low || !high) return CodecResult::Rejected;
        window.low = Clamped(std::min(*low, *high), minimumHz, maximumHz);
        window.high = Clamped(std::max(*low, *high), minimumHz, maximumHz);
        if (window.low != std::min(*low, *high) || window.high != std::max(*low, *high))
            request.adjusted = true;
    } else if (request.Key() == kKeyEnter) {
        request.OpenPopup(PopupKind::List, list, -1);
    } else if (OpenEditorOnKey(request, current, "0123456789.,")) {
        return CodecResult::Unchanged;
    }
    request.text = single ? ToneFrequencyText(window.low) : ToneWindowText(window);
    return window == before ? CodecResult::Unchanged : CodecResult::Changed;
}

}  // namespace

std::string ToneFrequencyText(int tenthsOfHz) {
    return std::string(Trim(FixedPointText(tenthsOfHz, 1, 1)));
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
