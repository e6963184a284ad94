#include "codecs/ToneCodec.h"

#include <vector>

#include "codecs/CodecText.h"
#include "codecs/FrequencyCodec.h"
#include "codecs/ListCodec.h"
#include "codecs/OverlayList.h"
#include "codecs/TypedNumber.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayFormat.h"
#include "overlay/OverlayText.h"

namespace parlo {

static const char* const kCtcssNames = "GI_AppItem_Ctcss";
static const char* const kDtcsCodes = "GI_AppItem_Dtcs";
static const char* const kDtcsList = "GI_Sheet_Sel_Mch_Dtcs";
static const char* const kPolarityList = "GI_Sheet_Sel_Mch_DtcsInv";
static constexpr int kUserTones = 2;

std::string ToneList(int variant) {
    return variant == kVariantDPmr446 ? "GI_Sheet_Sel_Mch_CTone_ExUser" : "GI_Sheet_Sel_Mch_CTone";
}

int SelectableCtcss(int variant) {
    return variant == kVariantDPmr446 ? kToneOffItem - kUserTones : kToneOffItem;
}

std::optional<uint16_t> ParseDtcsCode(std::string_view text) {
    if (text.size() != 3) return std::nullopt;
    uint16_t code = 0;
    for (char c : text) {
        if (c < '0' || c > '7') return std::nullopt;
        code = static_cast<uint16_t>(code * 8 + (c - '0'));
    }
    return code;
}

int DtcsListIndex(uint16_t code) {
    const std::vector<std::string>& codes = OvlListLines(kDtcsCodes);
    for (size_t i = 0; i < codes.size(); ++i) {
        if (ParseDtcsCode(Trim(codes[i])) == code) return static_cast<int>(i);
    }
    return -1;
}

static std::optional<uint16_t> DtcsCodeAt(int index) {
    auto item = ListItem(kDtcsCodes, index);
    if (!item) return std::nullopt;
    return ParseDtcsCode(Trim(*item));
}

std::string ToneText(const Tone& tone, int variant) {
    if (!tone.on) return ListText(ToneList(variant), kToneOffItem);
    if (!tone.dtcs) {
        if (tone.ctcss >= kToneOffItem) return IntegerText(tone.ctcss);
        return ListText(ToneList(variant), tone.ctcss);
    }
    char polarity = tone.inverted ? 'I' : 'N';
    if (variant == kVariantDPmr446) {
        if (auto item = ListItem(kDtcsList, DtcsListIndex(tone.dtcsCode))) {
            return *item + polarity;
        }
    }
    uint16_t c = tone.dtcsCode & 0x1FF;
    return IntegerText(c >> 6) + IntegerText((c >> 3) & 7) + IntegerText(c & 7) + polarity;
}

Tone CtcssTone(int index) {
    Tone t;
    t.on = true;
    t.ctcss = static_cast<uint8_t>(index);
    return t;
}

Tone DtcsTone(uint16_t code, bool inverted) {
    Tone t;
    t.on = true;
    t.dtcs = true;
    t.inverted = inverted;
    t.dtcsCode = code;
    return t;
}

static bool DtcsAllowed(uint16_t code, int variant) {
    return variant != kVariantDPmr446 || DtcsListIndex(code) >= 0;
}

// "023", "023N" or "023I".
static std::optional<Tone> TypedDtcs(std::string_view text, int variant) {
    if (text.size() != 3 && text.size() != 4) return std::nullopt;
    auto code = ParseDtcsCode(text.substr(0, 3));
    if (!code) return std::nullopt;
    bool inverted = false;
    if (text.size() == 4) {
        char p = text[3];
        if (p != 'N' && p != 'n' && p != 'I' && p != 'i') return std::nullopt;
        inverted = p == 'I' || p == 'i';
    }
    if (!DtcsAllowed(*code, variant)) return std::nullopt;
    return DtcsTone(*code, inverted);
}

// A CTCSS name the typed text begins: the only match, else the exact one,
// else the first of several once more than one character was typed; a plain
// number also finds its tone ("88.50").
static std::optional<Tone> TypedCtcss(std::string_view text) {
    int first = -1, matches = 0;
    // "88,5" is the tone "88.5" too.
    const std::optional<DecimalNumber> number = ReadTypedNumber(text, false).number;
    int numericMatch = -1;
    const std::vector<std::string>& names = OvlListLines(kCtcssNames);
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        std::string_view n = Trim(names[i]);
        if (EqualsNoCase(n, text)) return CtcssTone(i);
        if (StartsWithNoCase(n, text)) {
            if (matches++ == 0) first = i;
        }
        if (number && numericMatch < 0) {
            if (const auto name = ReadDecimal(n); name && name->SameValue(*number))
                numericMatch = i;
        }
    }
    if (matches == 1 || (matches > 1 && text.size() > 1)) return CtcssTone(first);
    if (numericMatch >= 0) return CtcssTone(numericMatch);
    return std::nullopt;
}

static std::optional<Tone> TypedTone(std::string_view text, int variant) {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    if (auto t = TypedDtcs(text, variant)) return t;
    if (FindListItem(ToneList(variant), text) == kToneOffItem) return Tone{};
    return TypedCtcss(text);
}

// A tone from a table, where nothing is guessed: a number is a CTCSS
// frequency ("100" is 100.0 Hz, never the DTCS code 100), a DTCS code
// carries its polarity letter, anything else is an item of the tone list
// as the cell shows it.
static std::optional<Tone> TableTone(CellRequest& request, std::string_view text, int variant) {
    text = Trim(text);
    if (text.size() == 4) {
        if (auto t = TypedDtcs(text, variant)) return t;
    }
    const TypedNumber typed = ReadTypedNumber(text, false);
    if (typed.number) {
        const std::vector<std::string>& names = OvlListLines(kCtcssNames);
        for (int i = 0; i < static_cast<int>(names.size()) && i < SelectableCtcss(variant); ++i) {
            if (const auto name = ReadDecimal(Trim(names[i])); name && name->SameValue(*typed.number))
                return CtcssTone(i);
        }
        request.refusal = FormatText(OvlText("GI_AppMess_Tone_NoCtcss"), {std::string(text)});
        return std::nullopt;
    }
    if (typed.fault != NumberFault::NotANumber) {
        request.refusal = NumberFaultText(typed.fault);
        return std::nullopt;
    }
    const int item = FindListItem(ToneList(variant), text);
    if (item == kToneOffItem) return Tone{};
    if (item >= 0 && item < SelectableCtcss(variant)) return CtcssTone(item);
    return std::nullopt;
}

std::optional<Tone> TableToneOf(std::string_view text, int variant, std::string* reason) {
    CellRequest request;
    auto tone = TableTone(request, text, variant);
    if (reason != nullptr) *reason = request.refusal;
    return tone;
}

static int ListPosition(const Tone& t) {
    if (!t.on) return kToneOffItem;
    return t.dtcs ? kToneDtcsItem : t.ctcss;
}

// Space and backspace walk the CTCSS tones and "off".
static Tone Stepped(const Tone& t, int delta, int variant) {
    int n = SelectableCtcss(variant);
    int position = t.on && !t.dtcs && t.ctcss < n ? t.ctcss : n;
    position = StepWrapped(position, delta, 0, n);
    return position == n ? Tone{} : CtcssTone(position);
}

// A pop-up choice; may open the next list of the DTCS chain.
static std::optional<Tone> Picked(CellRequest& request, const Tone& t, int variant) {
    if (auto item = request.Picked(PopupKind::List)) {
        if (*item >= 0 && *item < SelectableCtcss(variant)) return CtcssTone(*item);
        if (*item == kToneOffItem) return Tone{};
        if (*item != kToneDtcsItem) return std::nullopt;
        bool keep = t.on && t.dtcs && DtcsAllowed(t.dtcsCode, variant);
        Tone next = keep ? t : DtcsTone(DtcsCodeAt(0).value_or(0), t.dtcs && t.inverted);
        request.OpenPopup(PopupKind::DtcsCode, kDtcsList, DtcsListIndex(next.dtcsCode));
        return next;
    }
    if (auto item = request.Picked(PopupKind::DtcsCode)) {
        auto code = DtcsCodeAt(*item);
        if (!code) return std::nullopt;
        Tone next = DtcsTone(*code, t.dtcs && t.inverted);
        request.OpenPopup(PopupKind::DtcsPolarity, kPolarityList, next.inverted ? 1 : 0);
        return next;
    }
    if (auto item = request.Picked(PopupKind::DtcsPolarity)) {
        if (*item != 0 && *item != 1) return std::nullopt;
        return DtcsTone(t.dtcs ? t.dtcsCode : DtcsCodeAt(0).value_or(0), *item == 1);
    }
    return std::nullopt;
}

CodecResult ToneCodec(CellRequest& request, ToneFields& f, Direction direction, int variant) {
    Tone& tone = direction == Direction::Receive ? f.rx : f.tx;
    bool editable = direction == Direction::Receive || variant != kVariantDPmr446;
    std::optional<Tone> next;
    if (request.Picking() || request.Committing()) {
        if (!editable) {
            // A table may still name the tone the cell holds.
            if (request.fromTable && request.Committing()) {
                const auto same = TableToneOf(request.editText, variant, nullptr);
                if (same && *same == tone) {
                    request.text = ToneText(tone, variant);
                    return CodecResult::Unchanged;
                }
            }
            request.refusal = OvlText("GI_AppMess_Tone_TransmitFollows");
            return CodecResult::Rejected;
        }
        if (request.Picking())
            next = Picked(request, tone, variant);
        else if (request.fromTable)
            next = TableTone(request, request.editText, variant);
        else
            next = TypedTone(request.editText, variant);
        if (!next) return CodecResult::Rejected;
    } else if (int key = editable ? request.Key() : 0; key == kKeySpace || key == kKeyBackspace) {
        next = Stepped(tone, key == kKeySpace ? 1 : -1, variant);
    } else if (key == kKeyEnter) {
        request.OpenPopup(PopupKind::List, ToneList(variant), ListPosition(tone));
    } else if (key >= '0' && key <= '9') {
        request.OpenEditor(std::string(1, static_cast<char>(key)));
        return CodecResult::Unchanged;
    }
    CodecResult result = CodecResult::Unchanged;
    if (next && *next != tone) {
        if (direction == Direction::Receive && f.rx == f.tx) f.tx = *next;
        tone = *next;
        result = CodecResult::Changed;
    }
    request.text = ToneText(tone, variant);
    if (f.signalMode == kSignalDigital) request.fontColour = kFontSilver;
    return result;
}

}  // namespace parlo
