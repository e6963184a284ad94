#pragma once
// What sheets draw on: the screen, a printer page, or a recording canvas in
// tests. Colours are in the toolkit's encoding (0x00BBGGRR, or 0x80000000 +
// a system colour index); the canvas resolves system colours itself.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Font.h"
#include "platform/SystemColours.h"

namespace parlo {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct Point {
    int x = 0, y = 0;
};

struct PointF {
    double x = 0, y = 0;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void SetFont(const FontSpec& font) = 0;
    virtual int TextWidth(const std::string& text) = 0;
    virtual int TextHeight(const std::string& text) = 0;

    virtual void FillRect(const Rect& r, uint32_t colour) = 0;
    // Draws one line of text with its top-left corner at (x, y), in the
    // font's colour unless `colour` overrides it.
    virtual void DrawText(int x, int y, const std::string& text, uint32_t colour) = 0;
    virtual void DrawLine(Point from, Point to, uint32_t colour) = 0;
    virtual void FillPolygon(const std::vector<Point>& points, uint32_t colour) = 0;
    // A polygon at exact coordinates, for shapes drawn small (the display
    // characters); a canvas without them rounds to whole pixels.
    virtual void FillPolygonF(const std::vector<PointF>& points, uint32_t colour) {
        std::vector<Point> rounded;
        for (const PointF& p : points)
            rounded.push_back({static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))});
        FillPolygon(rounded, colour);
    }

    // Drawing stays inside `r` (and inside any clip already set) until the
    // matching PopClip.
    virtual void PushClip(const Rect& /*r*/) {}
    virtual void PopClip() {}

    // Vertical resolution in dots per inch (96 on screen).
    virtual int Dpi() const { return 96; }

    // The 0x00BBGGRR colour this canvas paints for `colour`: system colours
    // as its desktop shows them, a light desktop's on paper and where there
    // is no desktop.
    virtual uint32_t Resolve(uint32_t colour) const { return LightDesktopColour(colour); }
};

}  // namespace parlo
