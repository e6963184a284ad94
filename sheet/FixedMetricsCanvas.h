#pragma once
// A canvas that draws nothing and measures text with fixed metrics: what a
// sheet is laid out with when nobody looks at it (parlo-cli).
#include "platform/Canvas.h"

namespace parlo {

class FixedMetricsCanvas : public Canvas {
public:
    void SetFont(const FontSpec& font) override {
        height_ = font.height < 0 ? -font.height : font.height;
    }
    int TextWidth(const std::string& text) override {
        return static_cast<int>(text.size()) * (height_ * 7 / 12 > 0 ? height_ * 7 / 12 : 1);
    }
    int TextHeight(const std::string&) override { return height_ > 0 ? height_ + 2 : 14; }
    void FillRect(const Rect&, uint32_t) override {}
    void DrawText(int, int, const std::string&, uint32_t) override {}
    void DrawLine(Point, Point, uint32_t) override {}
    void FillPolygon(const std::vector<Point>&, uint32_t) override {}

private:
    int height_ = 12;
};

}  // namespace parlo
