#include "codecs/FiveToneCodec.h"

#include <algorithm>

#include "codecs/CodecText.h"
#include "model/EepromImage.h"

namespace parlo {

static constexpr std::string_view kToneChars = "0123456789ABCDE*";

static int MaxCount(const FiveToneParams& p) {
    return std::clamp(p.maxCount, 0, kFiveToneMaxDigits);
}

static bool Marked(const FiveToneCode& code, int i, const FiveToneParams& p) {
    return p.direction == Direction::Receive && (code.marker & (0x80 >> i)) != 0;
}

std::string FiveToneText(const FiveToneCode& code, const FiveToneParams& p) {
    std::string text;
    for (int i = 0; i < kFiveToneMaxDigits; ++i) {
        uint8_t v = EepromImage::GetNibble(code.packed.data(), i);
        if (v == 0xF) break;
        if (Marked(code, i, p)) {
            text += '+';
        } else if (v == p.repeatTone) {
            text += '*';
        } else {
            text += kToneChars[v];
        }
    }
    return text;
}

static std::optional<FiveToneCode> Parse(std::string_view typed, const FiveToneCode& old,
                                         const FiveToneParams& p) {
    bool receive = p.direction == Direction::Receive;
    std::string kept =
        KeepChars(typed, receive ? "0123456789abcdefgABCDEFG*+" : "0123456789abcdefgABCDEFG*");
    kept = KeepChars(kept, "0123456789abcdegABCDEG*+");
    if (kept.empty()) return std::nullopt;
    FiveToneCode next = old;
    next.packed.fill(0xFF);
    if (receive) next.marker = 0;
    int n = std::min(static_cast<int>(kept.size()), MaxCount(p));
    for (int i = 0; i < n; ++i) {
        char c = kept[i];
        uint8_t v;
        if (c == '+') {
            v = 0;
            next.marker |= static_cast<uint8_t>(0x80 >> i);
        } else if (c == '*' || c == 'g' || c == 'G') {
            v = p.repeatTone;
        } else if (c >= '0' && c <= '9') {
            v = static_cast<uint8_t>(c - '0');
        } else {
            v = static_cast<uint8_t>((c | 0x20) - 'a' + 10);
        }
        EepromImage::SetNibble(next.packed.data(), i, v);
    }
    return next;
}

CodecResult FiveToneCodec(CellRequest& request, FiveToneCode& code, const FiveToneParams& p) {
    CodecResult result = CodecResult::Unchanged;
    if (request.Committing()) {
        auto next = Parse(request.editText, code, p);
        if (!next) return CodecResult::Rejected;
        result = SetValue(code, *next);
    } else if (OpenEditorOnKey(request, FiveToneText(code, p), "0123456789abcdefABCDEF*Gg#+")) {
        return result;
    }
    request.text = FiveToneText(code, p);
    return result;
}

}  // namespace parlo
