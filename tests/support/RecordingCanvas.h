#pragma once
// A canvas with fixed text metrics that records what is drawn on it.
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace parlo::test {

class RecordingCanvas : public Canvas {
public:
    struct Text {
        int x, y;
        std::string text;
        uint32_t colour;
    };
    struct Fill {
        Rect rect;
        uint32_t colour;
    };

    static constexpr int kCharWidth = 7;
    static constexpr int kLineHeight = 14;

    void SetFont(const FontSpec& f) override { font = f; }
    int TextWidth(const std::string& t) override { return kCharWidth * static_cast<int>(t.size()); }
    int TextHeight(const std::string&) override { return kLineHeight; }
    void FillRect(const Rect& r, uint32_t c) override { fills.push_back({r, c}); }
    void DrawText(int x, int y, const std::string& t, uint32_t c) override {
        texts.push_back({x, y, t, c});
    }
    void DrawLine(Point a, Point b, uint32_t c) override { lines.push_back({a, b, c}); }
    void FillPolygon(const std::vector<Point>& p, uint32_t c) override {
        polygons.push_back({p, c});
    }

    void Clear() { texts.clear(), fills.clear(), lines.clear(), polygons.clear(); }

    FontSpec font;
    std::vector<Text> texts;
    std::vector<Fill> fills;
    struct Line {
        Point from, to;
        uint32_t colour;
    };
    std::vector<Line> lines;
    struct Polygon {
        std::vector<Point> points;
        uint32_t colour;
    };
    std::vector<Polygon> polygons;
};

}  // namespace parlo::test
