#include "codecs/CodecSetup.h"

#include <algorithm>

#include "codecs/CodecText.h"
#include "codecs/DigitSetCodec.h"
#include "codecs/FixedPointCodec.h"
#include "codecs/HexCodeCodec.h"
#include "codecs/KeyAssignCodec.h"
#include "codecs/ListCodec.h"
#include "codecs/MinSecCodec.h"
#include "codecs/NumberCodec.h"
#include "codecs/OverlayList.h"
#include "codecs/TimerCodec.h"
#include "codecs/ToneFrequencyCodec.h"
#include "model/EepromImage.h"
#include "platform/NumberText.h"

namespace parlo {

namespace {

TimerParams TimerOf(const CodecSetup& s) {
    TimerParams p;
    p.divisor = s.divisor;
    p.minimum = static_cast<int>(s.minimum);
    p.maximum = static_cast<int>(s.maximum);
    p.offAllowed = s.off;
    p.trim = s.decimals;
    return p;
}

MinSecParams MinSecOf(const CodecSetup& s) {
    MinSecParams p;
    p.minimum = static_cast<int>(s.minimum);
    p.maximum = static_cast<int>(s.maximum);
    p.secondsPerUnit = s.divisor;
    return p;
}

FixedPointParams FixedPointOf(const CodecSetup& s) {
    FixedPointParams p;
    p.scale = s.scale;
    p.decimals = s.decimals;
    p.minimum = s.minimum;
    p.maximum = s.maximum;
    return p;
}

DigitSetParams DigitSetOf(const CodecSetup& s) {
    DigitSetParams p;
    p.first = s.first;
    p.last = s.last;
    p.headerStyle = s.last - s.first + 1 > 10 ? 3 : 2;
    return p;
}

// A list on fewer bits than it has items offers only the items the bits hold.
CodecResult LimitedList(CellRequest& request, int& value, const char* list, int fieldMaximum) {
    const int count = ListCount(list);
    const int limit = fieldMaximum >= 0 ? std::min(count, fieldMaximum + 1) : count;
    if (const int key = request.Key(); (key == kKeySpace || key == kKeyBackspace) && limit > 0) {
        const CodecResult result =
            SetValue(value, StepWrapped(value, key == kKeySpace ? 1 : -1, 0, limit - 1));
        request.text = ListText(list, value);
        return result;
    }
    const int before = value;
    const CodecResult result = ListCodec(request, value, list);
    if (fieldMaximum >= 0 && value > fieldMaximum) {
        value = before;
        request.text = ListText(list, value);
        return CodecResult::Rejected;
    }
    return result;
}

CodecResult KeyAssignment(CellRequest& request, int& value, const CodecContext& c) {
    KeyOptions options;
    if (c.image != nullptr) {
        options.levels = c.image->GetByte(kAddrOptionLevels);
        options.port = c.image->GetByte(kAddrScramblerPort);
    }
    auto code = static_cast<uint8_t>(value);
    const CodecResult result = KeyAssignCodec(request, code, options, c.variant);
    if (result == CodecResult::Changed && c.image != nullptr) {
        c.image->SetByte(kAddrOptionLevels, options.levels);
        c.image->SetByte(kAddrScramblerPort, options.port);
    }
    value = code;
    return result;
}

}  // namespace

CodecResult RunCodec(CellRequest& request, int& value, const CodecSetup& setup,
                     const CodecContext& context) {
    switch (setup.kind) {
        case CodecKind::Show:
        case CodecKind::ShowHex: return ShowOnly(request, value, setup, context);
        case CodecKind::List: return LimitedList(request, value, setup.list, context.fieldMaximum);
        case CodecKind::Number: {
            NumberParams p;
            p.minimum = static_cast<int>(setup.minimum);
            p.maximum = static_cast<int>(setup.maximum);
            return NumberCodec(request, value, p);
        }
        case CodecKind::Timer: return TimerCodec(request, value, TimerOf(setup));
        case CodecKind::MinSec: return MinSecCodec(request, value, MinSecOf(setup));
        case CodecKind::FixedPoint: {
            int64_t v = value;
            const CodecResult result = FixedPointCodec(request, v, FixedPointOf(setup));
            value = static_cast<int>(v);
            return result;
        }
        case CodecKind::HexCode: {
            auto v = static_cast<uint32_t>(value);
            HexCodeParams p;
            p.digits = setup.digits;
            const CodecResult result = HexCodeCodec(request, v, p);
            value = static_cast<int>(v);
            return result;
        }
        case CodecKind::DigitSet: {
            auto bits = static_cast<uint32_t>(value);
            const CodecResult result = DigitSetCodec(request, bits, DigitSetOf(setup));
            value = static_cast<int>(bits);
            return result;
        }
        case CodecKind::KeyAssign: return KeyAssignment(request, value, context);
        case CodecKind::ToneFrequency:
            return ToneFrequencyCodec(request, value, setup.list, setup.minimum, setup.maximum);
    }
    return CodecResult::Unchanged;
}

CodecResult ShowOnly(CellRequest& request, int value, const CodecSetup& setup,
                     const CodecContext& context) {
    const bool input = request.phase != kPhaseNone;
    if (setup.kind == CodecKind::Show) {
        request.text = IntegerText(value);
    } else if (setup.kind == CodecKind::ShowHex) {
        request.text = "$" + HexText(static_cast<unsigned>(value), 4);
    } else {
        // Draws the value through its own codec, without the user's input.
        CellRequest shown;
        RunCodec(shown, value, setup, context);
        request.text = shown.text;
    }
    return input ? CodecResult::Rejected : CodecResult::Unchanged;
}

}  // namespace parlo
