#pragma once
// The canvas over a QPainter: what sheets draw with on screen and on paper.
#include <QColor>
#include <QFont>
#include <QPainter>

#include "platform/Canvas.h"

namespace parlo::qt {

// A colour in the toolkit encoding (0x00BBGGRR or 0x80000000 + a system
// colour index) as the desktop's palette shows it.
QColor ToQColor(uint32_t colour);
QFont ToQFont(const FontSpec& font, int dpi = 96);
// The same as 0x00BBGGRR.
uint32_t ToRgb(uint32_t colour);

class QtCanvas : public Canvas {
public:
    // The painter must stay active while the canvas is used.
    explicit QtCanvas(QPainter& painter, int dpi = 96) : painter_(painter), dpi_(dpi) {}

    void SetFont(const FontSpec& font) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void FillRect(const Rect& r, uint32_t colour) override;
    void DrawText(int x, int y, const std::string& text, uint32_t colour) override;
    void DrawLine(Point from, Point to, uint32_t colour) override;
    void FillPolygon(const std::vector<Point>& points, uint32_t colour) override;
    void PushClip(const Rect& r) override;
    void PopClip() override;
    int Dpi() const override { return dpi_; }
    uint32_t Resolve(uint32_t colour) const override;

private:
    QPainter& painter_;
    int dpi_;
};

// A canvas that only measures, for laying sheets out.
class MeasuringCanvas : public Canvas {
public:
    MeasuringCanvas();
    void SetFont(const FontSpec& font) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void FillRect(const Rect&, uint32_t) override {}
    void DrawText(int, int, const std::string&, uint32_t) override {}
    void DrawLine(Point, Point, uint32_t) override {}
    void FillPolygon(const std::vector<Point>&, uint32_t) override {}
    uint32_t Resolve(uint32_t colour) const override { return ToRgb(colour); }

private:
    QFont font_;
};

}  // namespace parlo::qt
