#include "codecs/ColourCodeCodec.h"

#include <algorithm>

#include "codecs/CodecText.h"
#include "codecs/DPmrFrequencyCodec.h"
#include "codecs/NumberCodec.h"
#include "platform/NumberText.h"

namespace parlo {

int ColourCodeNumber(uint32_t pattern) {
    pattern &= 0xFFFFFF;
    for (size_t i = 0; i < kColourCodePatterns.size(); ++i) {
        if (kColourCodePatterns[i] == pattern) return static_cast<int>(i) + 1;
    }
    return 0;
}

uint32_t ColourCodePattern(int code) { return kColourCodePatterns[std::clamp(code, 1, 16) - 1]; }

int ColourCodeOfText(std::string_view hex) {
    hex = Trim(hex);
    if (hex.size() != 6 || KeepChars(hex, kHexDigits).size() != 6) return 0;
    return ColourCodeNumber(static_cast<uint32_t>(ReadInteger(hex, 16).value_or(0)));
}

// A pattern that is not in the table shows, and is edited, as code 1.
static int ShownCode(uint32_t pattern) { return std::max(ColourCodeNumber(pattern), 1); }

static bool IsPatternText(std::string_view text) {
    text = Trim(text);
    return text.size() == 6 && KeepChars(text, kHexDigits).size() == 6;
}

// The receive code after an edit, or nothing when the input is unreadable.
// The request may also just open the editor (left to the caller to see).
static std::optional<int> EditedCode(CellRequest& request, int code) {
    if (request.Picking()) return std::nullopt;
    if (request.Committing() && IsPatternText(request.editText)) {
        int typed = ColourCodeOfText(request.editText);
        if (typed == 0) return std::nullopt;
        return typed;
    }
    NumberParams range;
    range.minimum = 1;
    range.maximum = 16;
    if (NumberCodec(request, code, range) == CodecResult::Rejected) {
        return std::nullopt;
    }
    return code;
}

CodecResult ColourCodeCodec(CellRequest& request, ColourCodeFields& f, Direction direction,
                            bool editable) {
    bool editing = request.Committing() || request.Picking() || request.Key() != 0;
    bool canEdit = editable && direction == Direction::Receive;
    CodecResult result = CodecResult::Unchanged;
    if (editing && !canEdit && request.Key() == 0) return CodecResult::Rejected;
    if (editing && canEdit) {
        ColourCodeFields next = f;
        // An unset code becomes code 1 before it is edited, on both sides
        // when they were equal.
        if (next.rx == 0) {
            if (next.tx == 0) next.tx = ColourCodePattern(1);
            next.rx = ColourCodePattern(1);
        }
        auto code = EditedCode(request, ShownCode(next.rx));
        if (!code) return CodecResult::Rejected;
        if (request.requestEdit != kEditNone) return CodecResult::Unchanged;
        bool follow = next.rx == next.tx;
        if (ColourCodeNumber(next.rx) != *code) next.rx = ColourCodePattern(*code);
        if (follow) next.tx = next.rx;
        result = next.rx == f.rx && next.tx == f.tx ? CodecResult::Unchanged : CodecResult::Changed;
        f = next;
    }
    uint32_t pattern = direction == Direction::Receive ? f.rx : f.tx;
    request.text = IntegerText(ShownCode(pattern));
    if (f.signalMode != kSignalDigital) request.fontColour = kFontSilver;
    return result;
}

}  // namespace parlo
