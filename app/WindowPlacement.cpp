#include "app/WindowPlacement.h"

#include <algorithm>

namespace parlo {

namespace {

struct Span {
    int64_t start, length;
};

// One axis: the inside's length within what the area leaves, then its
// start moved so that the frame's outside lies on the area.
Span FitSpan(int64_t start, int64_t length, int64_t areaStart, int64_t areaLength, int64_t before,
             int64_t after, int64_t minimum) {
    const int64_t room = std::max<int64_t>(minimum, areaLength - before - after);
    length = std::clamp<int64_t>(length, minimum, room);
    const int64_t outside = length + before + after;
    const int64_t lastStart = std::max(areaStart, areaStart + areaLength - outside);
    const int64_t outsideStart = std::clamp(start - before, areaStart, lastStart);
    return {outsideStart + before, length};
}

}  // namespace

WindowBounds FitWindow(const WindowBounds& stored, const WindowBounds& area,
                       const FrameMargins& frame, int32_t minWidth, int32_t minHeight) {
    const Span x = FitSpan(stored.left, stored.width, area.left, area.width, frame.left,
                           frame.right, minWidth);
    const Span y = FitSpan(stored.top, stored.height, area.top, area.height, frame.top,
                           frame.bottom, minHeight);
    return {static_cast<int32_t>(x.start), static_cast<int32_t>(y.start),
            static_cast<int32_t>(x.length), static_cast<int32_t>(y.length)};
}

}  // namespace parlo
