#include "platform/qtgui/QtCanvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPalette>
#include <QPolygon>
#include <array>

#include "platform/qtgui/FigureText.h"

namespace parlo::qt {

namespace {

// The system colours in their numbering (1 = background ... 20 = button
// highlight) and the palette roles that stand for them here.
constexpr std::array<QPalette::ColorRole, 21> kSystemRoles = {
    QPalette::Window,
    QPalette::Window,
    QPalette::Highlight,
    QPalette::Mid,
    QPalette::Window,
    QPalette::Base,
    QPalette::Shadow,
    QPalette::WindowText,
    QPalette::Text,
    QPalette::HighlightedText,
    QPalette::Midlight,
    QPalette::Midlight,
    QPalette::Dark,
    QPalette::Highlight,
    QPalette::HighlightedText,
    QPalette::Button,
    QPalette::Dark,
    QPalette::PlaceholderText,
    QPalette::ButtonText,
    QPalette::Text,
    QPalette::Light,
};

}  // namespace

QColor ToQColor(uint32_t colour) { return ToQColor(colour, QGuiApplication::palette()); }

QColor ToQColor(uint32_t colour, const QPalette& palette) {
    if (colour & 0x80000000u) {
        const uint32_t index = colour & 0xFF;
        if (index == 17) return palette.color(QPalette::Disabled, QPalette::Text);
        return palette.color(index < kSystemRoles.size() ? kSystemRoles[index] : QPalette::Text);
    }
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

uint32_t ToRgb(const QColor& c) {
    return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
           static_cast<uint32_t>(c.blue()) << 16;
}

uint32_t ToRgb(uint32_t colour) { return ToRgb(ToQColor(colour)); }

QFont ToQFont(const FontSpec& wanted, int dpi) {
    QFont font = QGuiApplication::font();
    if (!wanted.name.empty()) font.setFamily(QString::fromStdString(wanted.name));
    const int height = wanted.height < 0 ? -wanted.height : wanted.height;
    font.setPixelSize(std::max(1, height * dpi / 96));
    font.setBold(wanted.style & FontSpec::kBold);
    font.setItalic(wanted.style & FontSpec::kItalic);
    font.setUnderline(wanted.style & FontSpec::kUnderline);
    font.setStrikeOut(wanted.style & FontSpec::kStrikeOut);
    if (wanted.pitch == FontSpec::kPitchFixed) font.setStyleHint(QFont::Monospace);
    return font;
}

bool QtCanvas::OnScreen() const {
    const QPaintDevice* device = painter_.device();
    const int type = device != nullptr ? device->devType() : QInternal::UnknownDevice;
    return type == QInternal::Widget || type == QInternal::Image || type == QInternal::Pixmap;
}

// Paper is white whatever the desktop's palette: there the system colours
// take a light desktop's values.
QColor QtCanvas::Colour(uint32_t colour) const {
    return OnScreen() ? ToQColor(colour) : ToQColor(LightDesktopColour(colour));
}

void QtCanvas::SetFont(const FontSpec& font) {
    painter_.setFont(ToQFont(font, 96));
    painter_.setPen(Colour(font.colour));
}

int QtCanvas::TextWidth(const std::string& text) {
    return FigureTextWidth(painter_.fontMetrics(), QString::fromStdString(text));
}

int QtCanvas::TextHeight(const std::string&) { return painter_.fontMetrics().height(); }

void QtCanvas::FillRect(const Rect& r, uint32_t colour) {
    painter_.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), Colour(colour));
}

uint32_t QtCanvas::Resolve(uint32_t colour) const { return ToRgb(Colour(colour)); }

void QtCanvas::DrawText(int x, int y, const std::string& text, uint32_t colour) {
    painter_.setPen(Colour(colour));
    DrawFigureText(painter_, x, y + painter_.fontMetrics().ascent(), QString::fromStdString(text));
}

void QtCanvas::DrawLine(Point from, Point to, uint32_t colour) {
    painter_.setPen(Colour(colour));
    painter_.drawLine(from.x, from.y, to.x, to.y);
}

namespace {

// Smoothed, and outlined in its own colour: `outline` thick enough to close
// the seams where shapes meet without thickening them.
template <class Polygon>
void FillSmoothed(QPainter& painter, const Polygon& polygon, const QColor& colour, double outline) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour);
    pen.setWidthF(outline);
    painter.setPen(pen);
    painter.setBrush(colour);
    painter.drawPolygon(polygon);
    painter.restore();
}

}  // namespace

void QtCanvas::FillPolygon(const std::vector<Point>& points, uint32_t colour) {
    QPolygon polygon;
    for (const Point& p : points) polygon << QPoint(p.x, p.y);
    // The display characters' thin segments stay readable and their
    // triangles meet without gaps.
    FillSmoothed(painter_, polygon, Colour(colour), 0.8);
}

void QtCanvas::FillPolygonF(const std::vector<PointF>& points, uint32_t colour) {
    QPolygonF polygon;
    for (const PointF& p : points) polygon << QPointF(p.x, p.y);
    // A hairline: the seams between a shape's triangles close.
    FillSmoothed(painter_, polygon, Colour(colour), 0.5);
}

void QtCanvas::PushClip(const Rect& r) {
    painter_.save();
    painter_.setClipRect(QRect(r.left, r.top, r.Width(), r.Height()), Qt::IntersectClip);
}

void QtCanvas::PopClip() { painter_.restore(); }

MeasuringCanvas::MeasuringCanvas() : font_(QGuiApplication::font()) {}

void MeasuringCanvas::SetFont(const FontSpec& font) { font_ = ToQFont(font); }

int MeasuringCanvas::TextWidth(const std::string& text) {
    return FigureTextWidth(QFontMetrics(font_), QString::fromStdString(text));
}

int MeasuringCanvas::TextHeight(const std::string&) { return QFontMetrics(font_).height(); }

}  // namespace parlo::qt
