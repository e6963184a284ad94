#pragma once
// The colours a sheet is painted with, decided here and nowhere else. The
// overlay and the codecs name a colour for what it means (a grey head, a
// greyed setting, an olive frequency, the desktop's highlight); the
// desktop's palette, light or dark, gives the system colours their values
// on screen, a light desktop's table on paper (platform/SystemColours). The
// painter shows each colour in the nearest shade that keeps text at 4.5:1
// and rules at 3:1 against what they are drawn on. The colours the painter
// brings itself are here, in one table.
#include <cstdint>
#include <utility>

#include "platform/Canvas.h"

namespace parlo {

namespace paint {
inline constexpr uint32_t kWindow = 0x80000005;      // a plain cell
inline constexpr uint32_t kWindowText = 0x80000008;  // text on it
inline constexpr uint32_t kHighlight = 0x8000000D;   // the current cell, its grid focused
inline constexpr uint32_t kHighlightText = 0x8000000E;
inline constexpr uint32_t kButtonFace = 0x8000000F;  // the current cell, its grid not focused
inline constexpr uint32_t kGridLine = 0x80000010;    // between the cells on screen
inline constexpr uint32_t kWhite = 0xFFFFFF;
inline constexpr uint32_t kBlack = 0x000000;
inline constexpr uint32_t kScreenRule = 0x808080;  // a B cell's rule on screen
inline constexpr uint32_t kPrintShade = 0x606060;  // a coloured cell on paper
inline constexpr uint32_t kPrintGrid = 0x909090;   // between the cells on paper
inline constexpr uint32_t kMarkError = 0x0000FF;   // a channel's settings disagree
inline constexpr uint32_t kMarkWarning = 0x00C0FF;
}  // namespace paint

// The least contrast against the background: text is read at 4.5:1,
// rules are seen at 3:1.
inline constexpr double kTextContrast = 4.5;
inline constexpr double kRuleContrast = 3.0;

// How a cell is shown: as it is, as the current (or a marked) cell of a
// focused or an unfocused grid, or on paper.
enum class CellLook : uint8_t { Plain, Current, CurrentUnfocused, Printed };

struct CellPaint {
    uint32_t background = paint::kWhite;  // 0x00BBGGRR
    uint32_t text = paint::kBlack;        // 0x00BBGGRR
    bool fill = true;                     // false: the paper's white shows
};

// The background and text colour of a cell whose colour is `cellColour`
// and whose text colour is `textColour` (toolkit encoding), as `canvas`
// shows them.
CellPaint PaintOfCell(const Canvas& canvas, uint32_t cellColour, uint32_t textColour,
                      CellLook look);

// `text` (0x00BBGGRR), moved towards black or white as far as it takes to
// stand at `minimum` contrast on `background`.
uint32_t ReadableOn(uint32_t background, uint32_t text, double minimum = kTextContrast);
// `background` moved away from `text` as far as it takes; where that is not
// enough the text moves too.
std::pair<uint32_t, uint32_t> ReadableBehind(uint32_t background, uint32_t text);

// A rule drawn in `rule` across a cell whose background is `background`.
inline uint32_t RuleOn(uint32_t background, uint32_t rule) {
    return ReadableOn(background, rule, kRuleContrast);
}

// The lines between the cells on screen: the desktop's shadow colour as it
// is on a light desktop (a quiet grid that leaves the rules and texts in
// front); on a dark one, where the shadow all but vanishes against the
// cells, lifted to 3:1.
uint32_t GridRuleOf(const Canvas& canvas);

}  // namespace parlo
