#include "cells/CellDesc.h"

#include <vector>

#include "platform/NumberText.h"

namespace parlo {

namespace {

struct NamedValue {
    const char* name;
    int value;
};

constexpr NamedValue kCharsets[] = {
    {"ANSI_CHARSET", 0},      {"DEFAULT_CHARSET", 1},    {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},      {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},   {"GB2312_CHARSET", 134},   {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},   {"TURKISH_CHARSET", 162},  {"VIETNAMESE_CHARSET", 163},
    {"HEBREW_CHARSET", 177},  {"ARABIC_CHARSET", 178},   {"BALTIC_CHARSET", 186},
    {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222},     {"EASTEUROPE_CHARSET", 238},
    {"OEM_CHARSET", 255},
};
constexpr NamedValue kStyles[] = {{"fsBold", FontSpec::kBold},
                                  {"fsItalic", FontSpec::kItalic},
                                  {"fsUnderline", FontSpec::kUnderline},
                                  {"fsStrikeOut", FontSpec::kStrikeOut}};
constexpr NamedValue kPitches[] = {{"fpDefault", 0}, {"fpVariable", 1}, {"fpFixed", 2}};

template <size_t N>
std::optional<int> Lookup(const NamedValue (&table)[N], const std::string& name) {
    for (const NamedValue& v : table) {
        if (name == v.name) return v.value;
    }
    return std::nullopt;
}

std::string SkipLeadingBlanks(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return s.substr(i);
}

std::string TrimTrailingBlanks(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
    return s;
}

// "%p" scales the current value by p percent (at least 1 in size); a plain
// number replaces it; 0 or nothing leaves it.
int ScaledOrNumber(const std::string& field, int current) {
    if (field.empty()) return current;
    if (field[0] == '%') {
        const long p = LeadingInteger(std::string_view(field).substr(1));
        const long scaled = static_cast<long>(current) * p / 100;
        if (scaled == 0) return current < 0 ? -1 : 1;
        return static_cast<int>(scaled);
    }
    const long v = LeadingInteger(field);
    return v == 0 ? current : static_cast<int>(v);
}

}  // namespace

void ApplyFontSpec(FontSpec& font, const std::string& text) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        fields.push_back(SkipLeadingBlanks(text.substr(start, comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    fields.resize(7);
    if (auto cs = Lookup(kCharsets, TrimTrailingBlanks(fields[0]))) font.charset = *cs;
    if (!fields[1].empty()) font.name = fields[1];
    if (auto c = ColourByName(TrimTrailingBlanks(fields[2]))) font.colour = *c;
    font.height = ScaledOrNumber(fields[3], font.height);
    if (!fields[4].empty()) {
        const int size = ScaledOrNumber(fields[4], font.Size());
        font.SetSize(size < 0 ? -size : size);
    }
    bool styleCleared = false;
    size_t from = 0;
    const std::string& styles = fields[5];
    while (from <= styles.size()) {
        const size_t plus = styles.find('+', from);
        const std::string name = TrimTrailingBlanks(
            SkipLeadingBlanks(styles.substr(from, plus == std::string::npos ? plus : plus - from)));
        if (auto s = Lookup(kStyles, name)) {
            if (!styleCleared) font.style = 0;
            styleCleared = true;
            font.style |= static_cast<uint8_t>(*s);
        }
        if (plus == std::string::npos) break;
        from = plus + 1;
    }
    if (auto p = Lookup(kPitches, TrimTrailingBlanks(fields[6])))
        font.pitch = static_cast<uint8_t>(*p);
}

CellDesc& CellDesc::operator=(const CellDesc& other) {
    if (this == &other) return *this;
    base = other.base;
    category = other.category;
    cell = other.cell;
    index = other.index;
    action = other.action;
    imageIndex = other.imageIndex;
    flagsA = other.flagsA;
    flagsB = other.flagsB;
    colour = other.colour;
    font = other.font ? std::make_unique<FontSpec>(*other.font) : nullptr;
    popupMenu = other.popupMenu;
    displayText = other.displayText;
    return *this;
}

void CellDesc::ResetFrom(const CellDesc* from) {
    base = from;
    if (from != nullptr) {
        category = from->category;
        cell = from->cell;
        index = from->index;
        action = from->action;
        imageIndex = from->imageIndex;
        flagsA = from->flagsA;
        flagsB = from->flagsB;
        colour = from->colour;
    } else {
        category = kNoCategory;
        cell = kNoCell;
        index = 0;
        action.reset();
        imageIndex = -1;
        flagsA = flagsB = 0;
        colour = kClWindow;
    }
    font.reset();
    popupMenu.reset();
    displayText.reset();
}

const FontSpec* CellDesc::EffectiveFont() const {
    for (const CellDesc* d = this; d != nullptr; d = d->base) {
        if (d->font) return d->font.get();
    }
    return nullptr;
}

std::optional<std::string> CellDesc::EffectivePopupMenu() const {
    for (const CellDesc* d = this; d != nullptr; d = d->base) {
        if (d->popupMenu) return d->popupMenu;
    }
    return std::nullopt;
}

const std::string& CellDesc::Text() const {
    static const std::string empty;
    return displayText ? *displayText : empty;
}

NodeAction NodeAction::Split(const std::string& action) {
    NodeAction a;
    const size_t comma = action.find(',');
    const std::string head = action.substr(0, comma);
    if (comma != std::string::npos) a.parameter = action.substr(comma + 1);
    const size_t open = head.find('[');
    const size_t close = open == std::string::npos ? open : head.find(']', open);
    if (open == std::string::npos || close == std::string::npos) {
        a.key = head;
    } else {
        a.kind = head.substr(open + 1, close - open - 1);
        a.key = head.substr(close + 1);
    }
    return a;
}

}  // namespace parlo
