#pragma once
// The record a sheet, menu or tree hands to the dispatcher for one cell:
// what happened to the cell, and the answer fields the dispatcher fills.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "cells/CellDesc.h"
#include "codecs/CellRequest.h"
#include "platform/Canvas.h"

namespace parlo {

class Sheet;

// Operation codes beyond plain characters (Enter is 13).
inline constexpr int kOpDoubleClick = 256;
inline constexpr int kOpKeyLeft = 0x2500;
inline constexpr int kOpKeyRight = 0x2700;
inline constexpr int kOpFunctionKey1 = 0x7000;  // F1 .. F12: 0x7000 .. 0x7B00

// Redraw flags a handled cell reports.
inline constexpr uint16_t kRedrawCell = 0x0001;
inline constexpr uint16_t kRedrawRow = 0x0004;
inline constexpr uint16_t kRedrawDecoded = 0x0008;
inline constexpr uint16_t kRedrawSheet = 0x0020;

// Dispatcher modes and result codes.
inline constexpr int kModeDraw = 0;
inline constexpr int kModeOperate = 1;
inline constexpr int kResultClearMarks = 1;
inline constexpr int kResultOpenEditor = 2;

struct CellAddress {
    int category = kNoCategory;
    int cell = kNoCell;
    int32_t index = 0;
    bool operator==(const CellAddress&) const = default;
};

enum class Glyph : uint8_t { None, DropDown, Button };

struct CellContext {
    // The codec's part: key, committed text, chosen item; text and editor
    // requests back.
    CellRequest request;

    const CellDesc* desc = nullptr;  // the cell (a sheet cell, menu item or tree node)
    Sheet* sheet = nullptr;          // none for menus, tree and command line
    int col = -1, row = -1;
    Canvas* canvas = nullptr;  // when drawing
    Rect rect;
    int operation = 0;                   // 0 none; a character; 256; key code x 256; 74..82
    const CellDesc* menuItem = nullptr;  // a popup menu choice (operation 0)
    const CellDesc* parent = nullptr;    // the cell a popup menu item belongs to
    // The lowest and highest index of the cells marked in the operated
    // cell's column, while a multi-selection is active.
    std::optional<std::pair<int32_t, int32_t>> selection;
    bool highlighted = false;
    uint32_t textColour = 0;  // when drawing: the cell's text colour as painted (0x00BBGGRR)
    bool printing = false;
    bool pick = false;  // handed back from a pick window
    const CellContext* pickOwner = nullptr;

    // Answers.
    std::optional<CellAddress> jump;
    int repeatOperation = 0;  // non-zero: repeat with this code
    Glyph glyph = Glyph::None;
    bool glyphLeft = false;
    std::optional<std::pair<int32_t, int32_t>> range;  // lowest and highest index
    uint16_t redrawFlags = 0;
    uint8_t warningMarks = 0;
    // A check of several records: how many carry an error, how many only
    // a warning.
    int errorRecords = 0, warningRecords = 0;
    bool rejected = false;      // the input could not be read; nothing changed
    std::string refusal;        // why it was rejected, when the cell can tell
    bool rebuildSheet = false;  // which rows exist changed
    // Menu items and tool buttons: checked, hidden, disabled, caption.
    bool checked = false, hidden = false, disabled = false;
    std::optional<std::string> caption;

    // Installed by a sheet: redraw the cells matching an address and flags.
    std::function<void(const CellAddress& address, uint16_t flags)> redrawByAddress;

    CellAddress Address() const {
        return desc ? CellAddress{desc->category, desc->cell, desc->index} : CellAddress{};
    }
};

// The dispatcher entry a sheet calls: mode 0 draws, mode 1 operates; the
// result code tells the sheet what to do next.
using DispatchFunction = std::function<int(CellContext& context, int mode)>;

}  // namespace parlo
