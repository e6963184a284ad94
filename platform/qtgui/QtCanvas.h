#pragma once
// The canvas over a QPainter: what sheets draw with on screen and on paper.
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPalette>
#include <optional>
#include <utility>

#include "platform/Canvas.h"
#include "platform/qtgui/PaintCaches.h"

namespace parlo::qt {

// A colour in the toolkit encoding (0x00BBGGRR or 0x80000000 + a system
// colour index) as the desktop's palette shows it.
QColor ToQColor(uint32_t colour);
// The same with the system colours of `palette`.
QColor ToQColor(uint32_t colour, const QPalette& palette);
QFont ToQFont(const FontSpec& font, int dpi = 96);
// The same as 0x00BBGGRR.
uint32_t ToRgb(uint32_t colour);
uint32_t ToRgb(const QColor& colour);

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
    void FillPolygonF(const std::vector<PointF>& points, uint32_t colour) override;
    void FillPolygonsF(const std::vector<std::vector<PointF>>& polygons, uint32_t colour) override;
    void PushClip(const Rect& r) override;
    void PopClip() override;
    int Dpi() const override { return dpi_; }
    uint32_t Resolve(uint32_t colour) const override;

private:
    // A widget, pixmap or image follows the desktop's palette; paper (a
    // printer, a PDF file) keeps a light desktop's colours.
    bool OnScreen() const;
    QColor Colour(uint32_t colour) const;
    int DeviceDpi() const;
    LineMetrics Line() const;
    // What the painter's device is, asked of it once: every cell asks.
    struct DeviceFacts {
        const QPaintDevice* device = nullptr;
        bool onScreen = false;
        int dpi = 0;
        qreal ratio = 1.0;
    };
    const DeviceFacts& Device() const;

    QPainter& painter_;
    int dpi_;
    mutable std::optional<DeviceFacts> device_;
    // The toolkit's font for the last font set, made once per canvas.
    std::optional<std::pair<FontSpec, QFont>> font_;
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
    std::optional<FontSpec> spec_;  // what font_ was made from
    QFont base_;
};

}  // namespace parlo::qt
