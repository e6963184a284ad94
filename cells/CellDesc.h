#pragma once
// The parsed form of one sheet cell, tree node, menu item or tool button.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "cells/CellIds.h"
#include "overlay/ColourTable.h"
#include "platform/Font.h"

namespace parlo {

inline constexpr uint32_t kClWindowText = kSystemColour + 8;

// Applies the seven comma-separated fields "charset,name,colour,height,size,
// style,pitch"; empty fields leave the font as it was.
void ApplyFontSpec(FontSpec& font, const std::string& text);

using Counters = std::array<int32_t, 10>;

struct CellDesc {
    // Flag byte A.
    static constexpr uint8_t kSelectable = 0x01;
    static constexpr uint8_t kTail = 0x02;
    static constexpr uint8_t FreeFlag(int n) { return static_cast<uint8_t>(0x04 << n); }
    // Flag byte B.
    static constexpr uint8_t kHAlignMask = 0x03;  // 0 left, 1 centre, 2 right
    static constexpr uint8_t kVAlignMask = 0x0C;  // 0 top, 1 middle, 2 bottom (<< 2)
    static constexpr uint8_t kFitWidth = 0x10;
    static constexpr uint8_t kFitHeight = 0x20;
    static constexpr uint8_t kJoin = 0x40;
    static constexpr uint8_t kBottomRule = 0x80;

    const CellDesc* base = nullptr;
    int category = kNoCategory;
    int cell = kNoCell;
    int32_t index = 0;
    std::optional<std::string> action;
    int imageIndex = -1;
    uint8_t flagsA = 0;
    uint8_t flagsB = 0;
    uint32_t colour = kClWindow;
    std::unique_ptr<FontSpec> font;        // none: the basic cell's
    std::optional<std::string> popupMenu;  // none: the base's
    std::optional<std::string> displayText;

    CellDesc() = default;
    CellDesc(const CellDesc& other) { *this = other; }
    CellDesc& operator=(const CellDesc& other);

    // Takes the base's address, action, image, flags and colour; font, popup
    // menu key and display text start empty. Without a base: the defaults.
    void ResetFrom(const CellDesc* from);

    bool Selectable() const { return flagsA & kSelectable; }
    bool Tail() const { return flagsA & kTail; }
    bool Join() const { return flagsB & kJoin; }
    bool FreeFlagSet(int n) const { return flagsA & FreeFlag(n); }
    int HAlign() const { return flagsB & kHAlignMask; }
    int VAlign() const { return (flagsB & kVAlignMask) >> 2; }
    bool Bound() const { return cell != kNoCell; }

    // The font in force: its own, else the nearest base's; nullptr if none.
    const FontSpec* EffectiveFont() const;
    // The popup menu key in force: its own, else the nearest base's.
    std::optional<std::string> EffectivePopupMenu() const;
    const std::string& Text() const;
};

// A node action: "[kind]key,parameter", kind and parameter optional.
struct NodeAction {
    std::string kind;
    std::string key;
    std::string parameter;
    static NodeAction Split(const std::string& action);
};

}  // namespace parlo
