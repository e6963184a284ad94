#include "codecs/DPmrFrequencyCodec.h"

#include "codecs/CodecText.h"
#include "codecs/ColourCodeCodec.h"

namespace parlo {

static const char* const kFrequencyList = "GI_Sheet_Sel_Mch_Freq";

int DPmr446ChannelIndex(uint32_t hz) {
    for (size_t i = 0; i < kDPmr446Channels.size(); ++i) {
        if (kDPmr446Channels[i] == hz) return static_cast<int>(i);
    }
    return -1;
}

// A free frequency or an analog channel is analog; a digital channel takes
// the colour code that belongs to it on both sides.
static void SetSignalMode(FrequencyFields& f, uint32_t hz) {
    int index = DPmr446ChannelIndex(hz);
    if (f.freeFrequency || (index >= 0 && index < kDPmr446AnalogChannels)) {
        f.signalMode = kSignalAnalog;
    } else if (index >= kDPmr446AnalogChannels) {
        f.signalMode = kSignalDigital;
        f.rxColourCode = f.txColourCode = ColourCodePattern(index - kDPmr446AnalogChannels + 1);
    }
}

static bool SameChannel(const FrequencyFields& a, const FrequencyFields& b) {
    return a.rx == b.rx && a.tx == b.tx && a.present == b.present && a.inhibit == b.inhibit &&
           a.freeFrequency == b.freeFrequency && a.signalMode == b.signalMode &&
           a.rxColourCode == b.rxColourCode && a.txColourCode == b.txColourCode;
}

static CodecResult Apply(FrequencyFields& f, Direction direction, uint32_t hz, bool free) {
    FrequencyFields before = f;
    FrequencyFields next = f;
    next.freeFrequency = free;
    if (SetChannelFrequency(next, direction, hz) == CodecResult::Rejected) {
        return CodecResult::Rejected;
    }
    SetSignalMode(next, hz);
    f = next;
    return SameChannel(before, f) ? CodecResult::Unchanged : CodecResult::Changed;
}

CodecResult DPmrFrequencyCodec(CellRequest& request, FrequencyFields& f, Direction direction) {
    uint32_t current = direction == Direction::Receive ? f.rx : f.tx;
    CodecResult result = CodecResult::Unchanged;
    if (request.Picking()) {
        auto item = request.Picked(PopupKind::List);
        if (!item || *item < 0 || *item > kDPmr446FreeItem) return CodecResult::Rejected;
        if (*item == kDPmr446FreeItem) {
            FrequencyFields before = f;
            f.freeFrequency = true;
            if (f.present) SetSignalMode(f, current);
            request.EditCurrent(FrequencyEditText(f, direction));
            return SameChannel(before, f) ? CodecResult::Unchanged : CodecResult::Changed;
        }
        result = Apply(f, direction, kDPmr446Channels[*item], false);
    } else if (request.Committing()) {
        // Whatever is typed is a free frequency.
        auto hz = TypedFrequency(request);
        if (!hz) return CodecResult::Rejected;
        result = Apply(f, direction, *hz, true);
    } else if (FrequencyEditKey(request, f, direction)) {
        return result;
    } else if (int key = request.Key(); key == kKeyEnter || key == kKeySpace ||
                                        key == kKeyBackspace || (key >= '0' && key <= '9')) {
        int index = f.present ? DPmr446ChannelIndex(current) : -1;
        if (f.present && (f.freeFrequency || index < 0)) index = kDPmr446FreeItem;
        request.OpenPopup(PopupKind::List, kFrequencyList, index);
    }
    if (result == CodecResult::Rejected) return result;
    ShowChannelFrequency(request, f, direction);
    return result;
}

}  // namespace parlo
