#include "codecs/NumberCodec.h"

#include <algorithm>

#include "codecs/CodecText.h"

namespace parlo {

static int Step(int value, int delta, const NumberParams& p) {
    if (!p.clamp) return StepWrapped(value, delta, p.minimum, p.maximum);
    int64_t next = int64_t{value} + delta;
    return static_cast<int>(std::clamp<int64_t>(next, p.minimum, p.maximum));
}

CodecResult NumberCodec(CellRequest& request, int& value, const NumberParams& p) {
    std::string number = FormatText("%d", value + p.offset);
    CodecResult result = CodecResult::Unchanged;
    if (request.Committing()) {
        auto typed = ParseLeadingInteger(request.editText);
        if (!typed) return CodecResult::Rejected;
        int64_t v = *typed - p.offset;
        if (p.step > 1) v = DivideRounded(v, p.step) * p.step;
        result = SetValue(value, ClampTyped(request, v, p.minimum, p.maximum));
    } else if (int key = request.Key(); key == kKeySpace || key == kKeyBackspace) {
        result = SetValue(value, Step(value, key == kKeySpace ? p.step : -p.step, p));
    } else if (OpenEditorOnKey(request, number, p.minimum < 0 ? "0123456789-" : "0123456789")) {
        return result;
    }
    if (result == CodecResult::Changed) number = FormatText("%d", value + p.offset);
    request.text = p.fixedText.empty() ? number : p.fixedText;
    return result;
}

}  // namespace parlo
