#include "codecs/DigitSetCodec.h"

#include "codecs/CodecText.h"

namespace parlo {

static int Count(const DigitSetParams& p) {
    int n = p.last - p.first + 1;
    return n < 1 ? 0 : n > 26 ? 26 : n;
}

static uint32_t ItemBit(int i, int n) { return uint32_t{1} << (n <= 8 ? 7 - i : n - 1 - i); }

static uint32_t AllItems(int n) {
    uint32_t all = 0;
    for (int i = 0; i < n; ++i) all |= ItemBit(i, n);
    return all;
}

static char ItemChar(int i, const DigitSetParams& p) {
    if (i == 9) return '0';
    if (i == 10) return 'Z';
    return static_cast<char>('0' + p.first + i);
}

// The item a typed character stands for, or -1.
static int ItemOfChar(char c, const DigitSetParams& p) {
    int n = Count(p);
    int item = -1;
    if (c == 'z' || c == 'Z') {
        item = 10;
    } else if (c == '0') {
        item = 9;
    } else if (c >= '1' && c <= '9') {
        item = c - '0' - p.first;
    }
    return item >= 0 && item < n && ItemChar(item, p) == (c == 'z' ? 'Z' : c) ? item : -1;
}

std::string DigitSetText(uint32_t bits, const DigitSetParams& p) {
    std::string text;
    int n = Count(p);
    for (int i = 0; i < n; ++i) text += (bits & ItemBit(i, n)) ? ItemChar(i, p) : '_';
    return text;
}

uint32_t DigitSetToEditor(uint32_t bits, const DigitSetParams& p) {
    uint32_t editor = 0;
    int n = Count(p);
    for (int i = 0; i < n; ++i) {
        if (bits & ItemBit(i, n)) editor |= uint32_t{1} << (25 - i);
    }
    return editor;
}

uint32_t DigitSetFromEditor(uint32_t editor, const DigitSetParams& p) {
    uint32_t bits = 0;
    int n = Count(p);
    for (int i = 0; i < n; ++i) {
        if (editor & (uint32_t{1} << (25 - i))) bits |= ItemBit(i, n);
    }
    return bits;
}

static std::optional<uint32_t> ParseSet(std::string_view text, const DigitSetParams& p) {
    if (Trim(text).empty()) return std::nullopt;
    uint32_t bits = 0;
    for (char c : text) {
        if (c == '_' || c == ' ') continue;
        int item = ItemOfChar(c, p);
        if (item < 0) return std::nullopt;
        bits |= ItemBit(item, Count(p));
    }
    return bits;
}

CodecResult DigitSetCodec(CellRequest& request, uint32_t& bits, const DigitSetParams& p) {
    int n = Count(p);
    uint32_t all = AllItems(n);
    // Bits outside the set belong to someone else and stay as they are.
    uint32_t others = bits & ~all;
    CodecResult result = CodecResult::Unchanged;
    if (request.Picking()) {
        auto editor = request.Picked(PopupKind::CheckBoxes);
        if (!editor) return CodecResult::Rejected;
        result = SetValue(bits, others | DigitSetFromEditor(static_cast<uint32_t>(*editor), p));
    } else if (request.Committing()) {
        auto set = ParseSet(request.editText, p);
        if (!set) return CodecResult::Rejected;
        result = SetValue(bits, others | *set);
    } else if (int key = request.Key(); key == kKeySpace) {
        result = SetValue(bits, others | ((bits & all) == 0 ? all : 0));
    } else if (key == kKeyBackspace) {
        result = SetValue(bits, bits ^ all);
    } else if (key == kKeyEnter) {
        request.OpenPopup(PopupKind::CheckBoxes, "", static_cast<int>(DigitSetToEditor(bits, p)));
        request.popup.first = p.first;
        request.popup.last = p.last;
        request.popup.headerStyle = p.headerStyle;
    } else if (int item = key > 0 && key < 128 ? ItemOfChar(static_cast<char>(key), p) : -1;
               item >= 0) {
        result = SetValue(bits, bits ^ ItemBit(item, n));
    }
    request.text = DigitSetText(bits, p);
    return result;
}

}  // namespace parlo
