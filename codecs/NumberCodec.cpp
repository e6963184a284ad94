#include "codecs/NumberCodec.h"

#include <algorithm>

#include "codecs/CodecText.h"
#include "platform/NumberText.h"

namespace parlo {

static int Step(int value, int delta, const NumberParams& p) {
    if (!p.clamp) return StepWrapped(value, delta, p.minimum, p.maximum);
    int64_t next = int64_t{value} + delta;
    return static_cast<int>(std::clamp<int64_t>(next, p.minimum, p.maximum));
}

CodecResult NumberCodec(CellRequest& request, int& value, const NumberParams& p) {
    std::string number = IntegerText(int64_t{value} + p.offset);
    CodecResult result = CodecResult::Unchanged;
    if (request.Committing()) {
        // The lowest value the cell shows tells whether a sign may be typed.
        auto typed = TypedWhole(request, request.editText, int64_t{p.minimum} + p.offset < 0);
        if (!typed) return CodecResult::Rejected;
        int64_t v = *typed - p.offset;
        if (p.step > 1) {
            const int64_t onStep = DivideRounded(v, p.step) * p.step;
            if (onStep != v) request.adjusted = true;
            v = onStep;
        }
        result = SetValue(value, ClampTyped(request, v, p.minimum, p.maximum));
    } else if (int key = request.Key(); key == kKeySpace || key == kKeyBackspace) {
        result = SetValue(value, Step(value, key == kKeySpace ? p.step : -p.step, p));
    } else if (OpenEditorOnKey(request, number, p.minimum < 0 ? "0123456789-" : "0123456789")) {
        return result;
    }
    if (result == CodecResult::Changed) number = IntegerText(int64_t{value} + p.offset);
    request.text = p.fixedText.empty() ? number : p.fixedText;
    return result;
}

}  // namespace parlo
