#pragma once
// Where the main window opens: the stored size and place, fitted to the
// screen's available area (the screen less its panels), so that a window
// stored on a larger screen, at another scale, or with numbers nobody's
// screen has, opens whole and on screen.
#include <cstdint>

namespace parlo {

struct WindowBounds {
    int32_t left = 0, top = 0, width = 0, height = 0;
};

// How far the title bar and borders reach beyond the window's inside.
struct FrameMargins {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The window's inside for `stored`: no larger than `area` leaves room for
// with the frame, no smaller than the minimum size (which wins on a screen
// smaller still), and moved as little as needed for all of it, frame
// included, to be on the area.
WindowBounds FitWindow(const WindowBounds& stored, const WindowBounds& area,
                       const FrameMargins& frame, int32_t minWidth, int32_t minHeight);

}  // namespace parlo
