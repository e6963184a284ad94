#pragma once
// The radio's display characters. The overlay (GI_PCG_Seg_Data) gives the
// shape of every segment as triangles; this file knows which segments each
// character code lights and paints byte strings of display characters.
//
// The overlay's segments, in order: the dot, then a (top), b (upper right),
// c (lower right), d (bottom), e (lower left), f (upper left), g (middle
// left), h (middle right), i (upper left diagonal), j (upper centre),
// k (upper right diagonal), l (lower left diagonal), m (lower centre),
// n (lower right diagonal). A mask lights segment i of S when its bit
// S - 1 - i is set, so with the 15 segments the dot is bit 14 and n bit 0.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/EepromImage.h"
#include "platform/Canvas.h"

namespace parlo {

class OverlayText;

using Triangle = std::array<Point, 3>;

struct Segment {
    bool drawable = true;  // the character editor draws and toggles it
    std::vector<Triangle> triangles;
};

class SegmentGeometry {
public:
    // Reads the lines of a segment section up to a line beginning with "#":
    // each line trimmed; "//" lines and lines reading "0" skipped; every
    // other line "n|(x,y)(x,y)(x,y)|..." is one segment, n its triangle
    // count (negative: not drawable). A malformed line is an overlay fault.
    static SegmentGeometry Parse(const std::vector<std::string>& lines);
    // The shapes of the main overlay's GI_PCG_Seg_Data.
    static SegmentGeometry FromOverlay(OverlayText& overlay);

    int Count() const { return static_cast<int>(segments_.size()); }
    const Segment& At(int i) const { return segments_.at(static_cast<size_t>(i)); }
    // The bounding box of every point of every segment.
    Rect Bounds() const { return bounds_; }
    uint32_t BitOf(int segment) const {
        const int bit = Count() - 1 - segment;
        return bit >= 0 && bit < 32 ? 1u << bit : 0;
    }

    // The first drawable segment with a triangle holding the point (shape
    // units), or -1: a point lies in a triangle when the triangle's area plus
    // 0.01 is at least the sum of the three areas the point forms with its
    // sides.
    int HitSegment(double x, double y) const;

private:
    std::vector<Segment> segments_;
    Rect bounds_;
};

// The shapes of the main overlay, read once per main overlay.
const SegmentGeometry& MainDisplayGeometry();
// The 16 user characters of an image (0x10 to 0x1F): their masks at
// 0x95FD, high byte first; none lit for an image too small to hold them.
std::vector<uint16_t> UserCharacters(const EepromImage& image);

// Mask bits of the 15-segment layout above.
inline constexpr uint16_t kSegmentDot = 0x4000;
inline constexpr uint16_t kSegmentsAll = 0x3FFF;  // the 14 character segments

// The segments character `code` (bits 0-6 of a display byte) lights. Codes
// 0x10 to 0x1F are the user characters, taken from `userMasks` (16 masks;
// empty: nothing lit). Codes below 0x10 light nothing.
uint16_t CharacterSegments(uint8_t code, std::span<const uint16_t> userMasks = {});
// A display byte: its character, and the dot when bit 7 is set.
uint16_t DisplayByteSegments(uint8_t byte, std::span<const uint16_t> userMasks = {});

// Paints display bytes left to right in `box`, one character cell per byte,
// scaled to the box height: lit segments in `lit`, unlit ones in `unlit`
// unless it is kNoColour. A character code below 0x10 ends the text, as on the
// radio; a lone dot (0x80) is a blank with a dot.
inline constexpr uint32_t kNoColour = 0xFFFFFFFF;
// The width PaintDisplayText takes for `bytes` in a box `height` high.
int DisplayTextWidth(int height, std::span<const uint8_t> bytes, const SegmentGeometry& geometry);
void PaintDisplayText(Canvas& canvas, const Rect& box, std::span<const uint8_t> bytes,
                      const SegmentGeometry& geometry, std::span<const uint16_t> userMasks,
                      uint32_t lit, uint32_t unlit = kNoColour);

}  // namespace parlo
