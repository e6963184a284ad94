#include "codecs/KeyAssignCodec.h"

#include <string_view>

#include "codecs/CodecText.h"
#include "codecs/ListCodec.h"
#include "codecs/OverlayList.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "platform/NumberText.h"

namespace parlo {

namespace {

constexpr const char* kPortList = "GI_Sheet_Sel_KDisp_ScrmOpt_Port";
constexpr const char* kLevelList = "GI_Sheet_Sel_KDisp_KeyOpt_HL";
constexpr uint8_t kPortMask = 0x03;

int ItemOf(uint8_t code) { return code - '0'; }
uint8_t CodeOf(int item) { return static_cast<uint8_t>('0' + item); }

uint8_t LevelBit(int output) { return static_cast<uint8_t>(0x20 << output); }

bool LevelHigh(const KeyOptions& options, const OptionOutput& out) {
    return out.levelKept && (options.levels & LevelBit(out.output)) != 0;
}

void SetLevel(KeyOptions& options, const OptionOutput& out, bool high) {
    const uint8_t bit = LevelBit(out.output);
    options.levels = static_cast<uint8_t>(high ? (options.levels | bit) : (options.levels & ~bit));
}

void SetPort(KeyOptions& options, int port) {
    options.port = static_cast<uint8_t>((options.port & ~kPortMask) | port);
}

// Asks the level of an output once its function is chosen.
void AskLevel(CellRequest& request, const KeyOptions& options, const OptionOutput& out) {
    request.OpenPopup(PopupKind::OptionLevel, kLevelList, LevelHigh(options, out) ? 1 : 0);
}

// Takes `suffix` (" /H", " OPT2") off the end of `text`, ignoring case.
bool CutSuffix(std::string& text, std::string_view suffix) {
    if (text.size() <= suffix.size() ||
        !EqualsNoCase(std::string_view(text).substr(text.size() - suffix.size()), suffix))
        return false;
    text = std::string(Trim(text.substr(0, text.size() - suffix.size())));
    return true;
}

// "Scrambler OPT2 /H" back to its parts; false when the text names no
// function of the list or adds what the function does not have.
bool ParseShown(const std::string& typed, const std::string& list, uint8_t& code,
                KeyOptions& options) {
    std::string text(Trim(typed));
    std::optional<bool> high;
    if (CutSuffix(text, " /H"))
        high = true;
    else if (CutSuffix(text, " /L"))
        high = false;
    std::optional<int> port;
    for (int p = 0; p < 3 && !port; ++p) {
        if (CutSuffix(text, " OPT" + IntegerText(p + 1))) port = p;
    }
    const int item = FindListItem(list, text);
    if (item < 0) return false;
    code = CodeOf(item);
    if (port) {
        if (code != kScramblerCode) return false;
        SetPort(options, *port);
    }
    if (!high) return true;
    const auto out = OptionOutputOf(code, options);
    if (!out) return false;
    if (!out->levelKept) return !*high;  // always low
    SetLevel(options, *out, *high);
    return true;
}

}  // namespace

std::string KeyFunctionList(int variant) {
    switch (variant) {
        case kVariantPmr: return "GI_Sheet_Sel_Keys_Conv_Pmr";
        case kVariantTarnPmr: return "GI_Sheet_Sel_Keys_Conv_TarnPmr";
        case kVariantDPmr446: return "GI_Sheet_Sel_Keys_Conv_DPmr446Ana";
        default: return "GI_Sheet_Sel_Keys_Conv_Lmr";
    }
}

std::optional<OptionOutput> OptionOutputOf(uint8_t code, const KeyOptions& options) {
    if (code >= '0' && code <= '5') return OptionOutput{(code - '0') % 3, true};
    if (code >= '6' && code <= ';') return OptionOutput{(code - '6') % 3, false};
    if (code == kScramblerCode) {
        const int port = options.port & kPortMask;
        if (port <= 2) return OptionOutput{port, true};
    }
    return std::nullopt;
}

std::string KeyAssignText(uint8_t code, const KeyOptions& options, int variant) {
    const auto item = ListItem(KeyFunctionList(variant), ItemOf(code));
    std::string text = item ? *item : OvlText("GI_AppInd_KeyUnassigned");
    if (code == kScramblerCode) text += " OPT" + IntegerText((options.port & kPortMask) + 1);
    if (const auto out = OptionOutputOf(code, options))
        text += LevelHigh(options, *out) ? " /H" : " /L";
    return text;
}

CodecResult KeyAssignCodec(CellRequest& request, uint8_t& code, KeyOptions& options, int variant) {
    const std::string list = KeyFunctionList(variant);
    const uint8_t oldCode = code;
    const KeyOptions oldOptions = options;
    if (auto item = request.Picked(PopupKind::List)) {
        if (*item < 0 || *item >= ListCount(list)) return CodecResult::Rejected;
        code = CodeOf(*item);
        if (code == kScramblerCode) {
            request.OpenPopup(PopupKind::OptionPort, kPortList, options.port & kPortMask);
        } else if (const auto out = OptionOutputOf(code, options); out && out->levelKept) {
            AskLevel(request, options, *out);
        }
    } else if (auto port = request.Picked(PopupKind::OptionPort)) {
        if (code != kScramblerCode || *port < 0 || *port > 2) return CodecResult::Rejected;
        SetPort(options, *port);
        AskLevel(request, options, *OptionOutputOf(code, options));
    } else if (auto level = request.Picked(PopupKind::OptionLevel)) {
        const auto out = OptionOutputOf(code, options);
        if (!out || !out->levelKept || *level < 0 || *level > 1) return CodecResult::Rejected;
        SetLevel(options, *out, *level == 1);
    } else if (request.Picking()) {
        return CodecResult::Rejected;
    } else if (request.Committing()) {
        uint8_t typedCode = code;
        KeyOptions typedOptions = options;
        if (!ParseShown(request.editText, list, typedCode, typedOptions))
            return CodecResult::Rejected;
        code = typedCode;
        options = typedOptions;
    } else if (int key = request.Key(); key == kKeySpace || key == kKeyBackspace) {
        const int count = ListCount(list);
        if (count > 0)
            code = CodeOf(StepWrapped(ItemOf(code), key == kKeySpace ? 1 : -1, 0, count - 1));
    } else if (key == kKeyEnter) {
        const int item = ItemOf(code);
        request.OpenPopup(PopupKind::List, list, item >= 0 && item < ListCount(list) ? item : -1);
    }
    request.text = KeyAssignText(code, options, variant);
    request.choices = list;
    return code != oldCode || !(options == oldOptions) ? CodecResult::Changed
                                                       : CodecResult::Unchanged;
}

}  // namespace parlo
