#include "sheet/BitField.h"

#include "platform/Fatal.h"

namespace parlo {

namespace {

constexpr const char* kGpsSentences[] = {"RMC", "GGA", "GLL", "GSA", "VTG"};

// The generated lines after the bit row: cell models and the popup menus
// the cells name.
constexpr const char* kModelLines[] = {
    "",
    "",
    "#",
    "#CellModel_iChI",
    "^-WH(Color=clGray)(Font=,,clWhite,,,fsBold,)",
    "#CellModel_eWh",
    "S<_WHB",
    "#CellModel_iQp",
    "(%CT_Null.CL_Misc_QuarterPillar)",
    "#CellModel_Basic",
    "<-(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)(PopupMenu=GI_PMenu_Edit)",
    "#GI_PMenu_NoItem_BasicCell",
    "{($Basic)}",
    "#GI_PMenu_NoItem_Body",
    "+No item\t{(%CT_PopupMenu.CL_PMenu_NoItem)}",
    "#",
    "#GI_PMenu_Edit_BasicCell",
    "{($Basic)(%CT_PopupMenu.)}",
    "#GI_PMenu_Edit_Body",
    "+Edit...\t{(%CT_PopupMenu.CL_PMenu_Edit:Enter)}",
    "#",
    "#End_Of_Ovl",
    "",
};

}  // namespace

std::string BitFieldHeadText(int n, int last, int headerStyle) {
    switch (headerStyle) {
        case 1: return Format("%X", n);
        case 2: return Format("%d", n == 10 ? 0 : n);
        case 3: return n == 11 ? "Z" : Format("%d", n == 10 ? 0 : n);
        case 4: return std::string(1, static_cast<char>(n + 64));
        case kHeaderGpsSentences:
            if (n >= 1 && n <= 5) return kGpsSentences[n - 1];
            return Format("%d", n);
        case 6: return Format("B%d", last - n);
        default: return Format("%d", n);
    }
}

std::vector<std::string> BitFieldOverlayLines(int first, int last, int headerStyle) {
    std::string heads, bits;
    const int items = last - first + 1;
    for (int n = first; n <= last; ++n)
        heads += "|{($iChI)}" + BitFieldHeadText(n, last, headerStyle) + "|";
    for (int k = 1; k <= items; ++k) {
        bits += Format("|{($eWh)^(%%CL_FBits[%d])}9|", k);
        if (k < items) bits += "{($iQp)}";
    }
    std::vector<std::string> lines = {"#GI_Sheet_FBitsR_Style",
                                      "(FixedCols=1)(FixedRows=1)",
                                      "#GI_Sheet_FBitsR_BasicCell",
                                      "{($Basic)(PopupMenu=GI_PMenu_NoItem)}",
                                      "#GI_Sheet_FBitsR_Cells",
                                      "",
                                      heads,
                                      "",
                                      bits};
    lines.insert(lines.end(), std::begin(kModelLines), std::end(kModelLines));
    return lines;
}

BitFieldValue::BitFieldValue(uint32_t value, int first, int last, int headerStyle)
    : value_(value), first_(first), last_(last), style_(headerStyle) {}

bool BitFieldValue::Bit(int k) const { return (value_ & Mask(k)) != 0; }

void BitFieldValue::Toggle(int k) { value_ ^= Mask(k); }

int BitFieldValue::SentencesSet() const {
    int set = 0;
    for (int n = first_; n <= last_; ++n)
        set += n >= 1 && n <= kMaxItems && (value_ & (1u << (26 - n)));
    return set;
}

bool BitFieldValue::TooMany() const {
    return style_ == kHeaderGpsSentences && SentencesSet() > kMaxGpsSentences;
}

}  // namespace parlo
