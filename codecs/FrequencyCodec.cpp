#include "codecs/FrequencyCodec.h"

#include <algorithm>

#include "codecs/CodecText.h"
#include "platform/NumberText.h"

namespace parlo {

// Typed values are limited here first. The limit is the next raster point
// above the top of the range, so that anything typed from 800 MHz up still
// snaps and is then stored as the top of the range.
static constexpr int64_t kTypedLimit = 800'000'000;

std::string FrequencyText(uint32_t hz) { return DecimalText(hz, 6); }

static std::optional<uint32_t> Snap(uint32_t typed) {
    uint32_t resolution = 1;
    while (resolution < 100'000 && typed % (resolution * 10) == 0) resolution *= 10;
    uint64_t limit = uint64_t{typed} + resolution - 1;
    for (uint64_t c = typed / 100'000 * 100'000; c <= limit; c += 625) {
        if (c >= typed && (c % 2'500 == 0 || c % 3'125 == 0)) return static_cast<uint32_t>(c);
    }
    return std::nullopt;
}

std::optional<uint32_t> ParseFrequency(std::string_view text, bool* adjusted, NumberFault* fault) {
    const TypedNumber typed = ReadTypedNumber(text, false);
    if (fault != nullptr) *fault = typed.fault;
    if (!typed.number) return std::nullopt;
    // Nine characters hold every frequency to the hertz ("446.00625").
    std::string kept = typed.digits;
    if (kept.size() > 8) kept.resize(9);
    const auto megahertz = ReadDecimal(kept);
    if (!megahertz) return std::nullopt;
    const auto hz = static_cast<uint32_t>(std::min(megahertz->Scaled(6), kTypedLimit));
    if (hz == 0) return std::nullopt;
    auto snapped = Snap(hz);
    if (!snapped || *snapped == 0) return std::nullopt;
    const uint32_t stored = std::min<uint32_t>(*snapped, kHighestFrequency);
    if (adjusted != nullptr && !ReadDecimal(FrequencyText(stored))->SameValue(*typed.number))
        *adjusted = true;
    return stored;
}

std::optional<uint32_t> TypedFrequency(CellRequest& request) {
    NumberFault fault = NumberFault::None;
    const auto hz = ParseFrequency(request.editText, &request.adjusted, &fault);
    if (!hz) request.refusal = NumberFaultText(fault);
    return hz;
}

CodecResult SetChannelFrequency(FrequencyFields& f, Direction direction, uint32_t hz) {
    FrequencyFields before = f;
    if (direction == Direction::Transmit) {
        // A blank channel is written without frequencies: nothing to keep.
        if (!f.present) return CodecResult::Rejected;
        f.tx = hz;
    } else if (!f.present) {
        // A new channel starts inhibited: it has taken the blank state.
        f.present = true;
        f.inhibit = true;
        f.rx = f.tx = hz;
    } else {
        if (f.rx == f.tx) f.tx = hz;
        f.rx = hz;
    }
    bool same = before.rx == f.rx && before.tx == f.tx && before.present == f.present &&
                before.inhibit == f.inhibit;
    return same ? CodecResult::Unchanged : CodecResult::Changed;
}

std::string FrequencyEditText(const FrequencyFields& f, Direction direction) {
    if (!f.present) return {};
    return FrequencyText(direction == Direction::Receive ? f.rx : f.tx);
}

void ShowChannelFrequency(CellRequest& request, const FrequencyFields& f, Direction direction) {
    if (!f.present) {
        request.text.clear();
    } else if (direction == Direction::Receive) {
        request.text = FrequencyText(f.rx);
    } else {
        request.text = f.tx == f.rx ? "<-" : FrequencyText(f.tx);
        if (f.txInhibit) request.fontColour = kFontOlive;
    }
}

bool FrequencyEditKey(CellRequest& request, const FrequencyFields& f, Direction direction) {
    int key = request.Key();
    // The decimal key of the keypad writes "," on many desktops.
    if (key == '.' || key == ',') {
        std::string current = FrequencyEditText(f, direction);
        size_t dot = current.find('.');
        if (dot == std::string::npos) {
            current += '.';
            dot = current.size() - 1;
        }
        request.OpenEditor(current, static_cast<int>(dot) + 1);
        return true;
    }
    if (key == '=' && direction == Direction::Transmit) {
        request.EditCurrent(FrequencyEditText(f, Direction::Receive));
        return true;
    }
    return false;
}

CodecResult FrequencyCodec(CellRequest& request, FrequencyFields& f, Direction direction) {
    CodecResult result = CodecResult::Unchanged;
    if (request.Committing()) {
        auto hz = TypedFrequency(request);
        if (!hz) return CodecResult::Rejected;
        result = SetChannelFrequency(f, direction, *hz);
        if (result == CodecResult::Rejected) return result;
    } else if (FrequencyEditKey(request, f, direction) ||
               OpenEditorOnKey(request, FrequencyEditText(f, direction), kDecimalDigits)) {
        return result;
    }
    ShowChannelFrequency(request, f, direction);
    return result;
}

}  // namespace parlo
