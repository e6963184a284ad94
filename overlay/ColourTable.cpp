#include "overlay/ColourTable.h"

#include <iterator>

#include "overlay/NameTable.h"

namespace parlo {

namespace {

struct NamedColour {
    const char* name;
    uint32_t value;
};

constexpr NamedColour kColours[] = {
    {"clAqua", 0xFFFF00},    {"clBlack", 0x000000},  {"clBlue", 0xFF0000},   {"clDkGray", 0x808080},
    {"clFuchsia", 0xFF00FF}, {"clGray", 0x808080},   {"clGreen", 0x008000},  {"clLime", 0x00FF00},
    {"clLtGray", 0xC0C0C0},  {"clMaroon", 0x000080}, {"clNavy", 0x800000},   {"clOlive", 0x008080},
    {"clPurple", 0x800080},  {"clRed", 0x0000FF},    {"clSilver", 0xC0C0C0}, {"clTeal", 0x808000},
    {"clWhite", 0xFFFFFF},   {"clYellow", 0x00FFFF},
};

// System colours, numbered from 1 in this order.
constexpr const char* kSystemColours[] = {
    "clBackground",
    "clActiveCaption",
    "clInactiveCaption",
    "clMenu",
    "clWindow",
    "clWindowFrame",
    "clMenuText",
    "clWindowText",
    "clCaptionText",
    "clActiveBorder",
    "clInactiveBorder",
    "clAppWorkSpace",
    "clHighlight",
    "clHightlightText",
    "clBtnFace",
    "clBtnShadow",
    "clGrayText",
    "clBtnText",
    "clInactiveCaptionText",
    "clBtnHighlight",
};

const NameTable& Table() {
    static const NameTable table = [] {
        NameTable t(101);
        for (const NamedColour& c : kColours) t.Insert(c.name, static_cast<int32_t>(c.value));
        for (size_t i = 0; i < std::size(kSystemColours); ++i)
            t.Insert(kSystemColours[i], static_cast<int32_t>(kSystemColour + i + 1));
        return t;
    }();
    return table;
}

}  // namespace

std::optional<uint32_t> ColourByName(const std::string& name) {
    if (auto v = Table().Find(name)) return static_cast<uint32_t>(*v);
    return std::nullopt;
}

}  // namespace parlo
