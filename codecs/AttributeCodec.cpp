#include "codecs/AttributeCodec.h"

#include <array>

#include "codecs/CodecText.h"
#include "codecs/OverlayList.h"

namespace parlo {

namespace {

// One action of the list: clear these bits, then set these, then toggle these.
struct AttributeAction {
    uint8_t clear, set, toggle;
};

constexpr std::array<AttributeAction, 5> kActions = {{
    {0, kAttrRefA, 0},
    {0, kAttrRefB, 0},
    {kAttrRefE | kAttrSwitchOff, kAttrRefE, 0},
    {kAttrRefE, kAttrSwitchOff, 0},
    {0, 0, kAttrBankFlag},
}};

}  // namespace

std::string AttributeText(uint8_t bits) {
    std::string text;
    if (bits & kAttrRefA) text += 'A';
    if (bits & kAttrRefB) text += 'B';
    if ((bits & kAttrRefE) && !(bits & kAttrSwitchOff)) text += 'E';
    return text;
}

CodecResult AttributeCodec(CellRequest& request, uint8_t& bits, const std::string& list) {
    CodecResult result = CodecResult::Unchanged;
    if (request.Picking() || request.Committing()) {
        auto item = request.Picked(PopupKind::List);
        if (!item || *item < 0 || *item >= static_cast<int>(kActions.size()) ||
            *item >= ListCount(list)) {
            return CodecResult::Rejected;
        }
        const AttributeAction& a = kActions[*item];
        result = SetValue(bits, ((bits & ~a.clear) | a.set) ^ a.toggle);
    } else if (request.Key() == kKeyEnter) {
        request.OpenPopup(PopupKind::List, list, -1);
    }
    request.text = AttributeText(bits);
    return result;
}

}  // namespace parlo
