#include "sheet/PopupPlacement.h"

#include <algorithm>

namespace parlo {

Point PlacePopup(const Rect& cell, int width, int height, const Rect& area) {
    int x = cell.left + kPopupIndent;
    if (x + width > area.right) x = area.right - width;
    x = std::max(x, area.left);
    int y = cell.bottom;
    if (y + height > area.bottom) {
        y = cell.top - height;
        // Room neither below nor above: as far up as the window still ends
        // inside the work area.
        if (y < area.top) y = std::max(area.top, area.bottom - height);
    }
    return {x, y};
}

}  // namespace parlo
