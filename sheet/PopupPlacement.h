#pragma once
// Where a window that a cell opens goes (the pick list, the text entry
// window, the bit-field editor): its left edge 8 pixels right of the cell,
// its top at the cell's bottom; moved left so that it fits the work area,
// and above the cell when there is no room below.
#include "platform/Canvas.h"

namespace parlo {

inline constexpr int kPopupIndent = 8;

// The top-left corner for a window of `width` x `height` opened from `cell`
// (both in screen coordinates) on a desktop whose work area is `area`.
Point PlacePopup(const Rect& cell, int width, int height, const Rect& area);

}  // namespace parlo
