#include "codecs/DtmfCodec.h"

#include <algorithm>

#include "codecs/CodecText.h"
#include "model/EepromImage.h"

namespace parlo {

static constexpr std::string_view kDtmfChars = "0123456789ABCD*#";

std::string DtmfText(const DtmfDigits& d) {
    std::string text;
    int n = std::clamp(d.count, 0, kDtmfMaxDigits);
    for (int i = 0; i < n; ++i) text += kDtmfChars[EepromImage::GetNibble(d.packed.data(), i)];
    return text;
}

static uint8_t NibbleOf(char c) {
    if (c == '*') return 0xE;
    if (c == '#') return 0xF;
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
    return static_cast<uint8_t>((c | 0x20) - 'a' + 10);
}

CodecResult DtmfCodec(CellRequest& request, DtmfDigits& d, int maxCount) {
    if (request.Committing()) {
        std::string kept = KeepChars(request.editText, "0123456789abcdefABCDEF*#");
        // An empty text empties the memory; text without a single digit is
        // a slip, not a wish to lose the digits.
        if (kept.empty() && !Trim(request.editText).empty()) return CodecResult::Rejected;
        DtmfDigits next;
        int n =
            std::min<int>(static_cast<int>(kept.size()), std::clamp(maxCount, 0, kDtmfMaxDigits));
        for (int i = 0; i < n; ++i)
            EepromImage::SetNibble(next.packed.data(), i, NibbleOf(kept[i]));
        next.count = n;
        CodecResult result = SetValue(d, next);
        request.text = DtmfText(d);
        return result;
    }
    if (OpenEditorOnKey(request, DtmfText(d), "0123456789abcdefABCDEF*#")) {
        return CodecResult::Unchanged;
    }
    request.text = DtmfText(d);
    return CodecResult::Unchanged;
}

}  // namespace parlo
