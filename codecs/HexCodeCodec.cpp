#include "codecs/HexCodeCodec.h"

#include <algorithm>

#include "codecs/CodecText.h"
#include "platform/NumberText.h"

namespace parlo {

static int Digits(const HexCodeParams& p) { return std::clamp(p.digits, 1, 8); }

std::string HexCodeText(uint32_t value, const HexCodeParams& p) {
    std::string text;
    for (int i = Digits(p) - 1; i >= 0; --i) text += "0123456789ABCDEF"[(value >> (4 * i)) & 0xF];
    return text;
}

CodecResult HexCodeCodec(CellRequest& request, uint32_t& value, const HexCodeParams& p) {
    std::string_view allowed = p.letters ? kHexDigits : kDecimalDigits;
    CodecResult result = CodecResult::Unchanged;
    if (request.Committing()) {
        std::string kept = KeepChars(request.editText, allowed);
        if (kept.empty()) return CodecResult::Rejected;
        size_t n = static_cast<size_t>(Digits(p));
        if (kept.size() < n) kept.insert(0, n - kept.size(), '0');
        kept.resize(n);
        result = SetValue(value, static_cast<uint32_t>(ReadInteger(kept, 16).value_or(0)));
    } else if (OpenEditorOnKey(request, HexCodeText(value, p), allowed)) {
        return result;
    }
    request.text = HexCodeText(value, p);
    return result;
}

}  // namespace parlo
