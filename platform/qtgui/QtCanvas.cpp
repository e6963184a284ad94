#include "platform/qtgui/QtCanvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPalette>
#include <QPolygon>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "platform/qtgui/FigureText.h"
#include "platform/qtgui/PaintCaches.h"

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

const QtCanvas::DeviceFacts& QtCanvas::Device() const {
    const QPaintDevice* device = painter_.device();
    if (!device_ || device_->device != device) {
        const int type = device != nullptr ? device->devType() : QInternal::UnknownDevice;
        device_ = DeviceFacts{
            device,
            type == QInternal::Widget || type == QInternal::Image || type == QInternal::Pixmap,
            device != nullptr ? device->logicalDpiX() : 0,
            device != nullptr ? device->devicePixelRatio() : 1.0};
    }
    return *device_;
}

bool QtCanvas::OnScreen() const { return Device().onScreen; }

// Paper is white whatever the desktop's palette: there the system colours
// take a light desktop's values.
QColor QtCanvas::Colour(uint32_t colour) const {
    return OnScreen() ? ToQColor(colour) : ToQColor(LightDesktopColour(colour));
}

void QtCanvas::SetFont(const FontSpec& font) {
    if (!font_ || font_->first != font) font_.emplace(font, ToQFont(font, 96));
    painter_.setFont(font_->second);
    painter_.setPen(Colour(font.colour));
}

int QtCanvas::DeviceDpi() const { return Device().dpi; }

LineMetrics QtCanvas::Line() const {
    return CachedLineMetrics(painter_.font(), DeviceDpi(), [&] {
        const QFontMetrics metrics = painter_.fontMetrics();
        return LineMetrics{metrics.height(), metrics.ascent()};
    });
}

int QtCanvas::TextWidth(const std::string& text) {
    return CachedTextWidth(painter_.font(), DeviceDpi(), text, [&] {
        return FigureTextWidth(painter_.fontMetrics(), QString::fromStdString(text));
    });
}

int QtCanvas::TextHeight(const std::string&) { return Line().height; }

void QtCanvas::FillRect(const Rect& r, uint32_t colour) {
    painter_.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), Colour(colour));
}

uint32_t QtCanvas::Resolve(uint32_t colour) const { return ToRgb(Colour(colour)); }

// On screen a text is laid out once and then drawn as the glyphs it came
// to, each piece where DrawFigureText places it; paper lays it out every
// time, for the printer's own metrics, and so does a font with lines
// through or under the text, which glyphs alone draw otherwise.
void QtCanvas::DrawText(int x, int y, const std::string& text, uint32_t colour) {
    painter_.setPen(Colour(colour));
    const int baseline = y + Line().ascent;
    const QFont& font = painter_.font();
    if (!OnScreen() || font.underline() || font.strikeOut() || font.overline()) {
        DrawFigureText(painter_, x, baseline, QString::fromStdString(text));
        return;
    }
    const QList<QGlyphRun>& runs = CachedGlyphRuns(font, DeviceDpi(), text, [&] {
        QList<QGlyphRun> laid;
        ForEachFigurePiece(painter_.fontMetrics(), QString::fromStdString(text),
                           [&](int offset, const QString& piece) {
                               QTextLayout layout(piece, font, painter_.device());
                               layout.beginLayout();
                               const QTextLine line = layout.createLine();
                               layout.endLayout();
                               // Moved to the piece's place on a baseline at 0.
                               for (QGlyphRun run : layout.glyphRuns()) {
                                   QList<QPointF> positions = run.positions();
                                   for (QPointF& p : positions)
                                       p += QPointF(offset, -line.ascent());
                                   run.setPositions(positions);
                                   laid << run;
                               }
                           });
        return laid;
    });
    for (const QGlyphRun& run : runs) painter_.drawGlyphRun(QPointF(x, baseline), run);
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
    FillPolygonsF({points}, colour);
}

namespace {

// The smallest rectangle holding every point, as a path of them measures it.
QRectF BoundsOf(const std::vector<std::vector<PointF>>& polygons) {
    std::optional<QRectF> extent;
    qreal minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const auto& points : polygons) {
        for (const PointF& p : points) {
            if (!extent) {
                minX = maxX = p.x;
                minY = maxY = p.y;
                extent.emplace();
            }
            minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
        }
    }
    return extent ? QRectF(minX, minY, maxX - minX, maxY - minY) : QRectF();
}

}  // namespace

void QtCanvas::FillPolygonsF(const std::vector<std::vector<PointF>>& polygons, uint32_t colour) {
    const QColor fill = Colour(colour);
    // Smoothed, with a hairline of the same colour that closes the seams
    // between the triangles of a shape without thickening it.
    auto paint = [&](QPainter& painter) {
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        for (const auto& points : polygons) {
            QPolygonF polygon;
            polygon.reserve(static_cast<qsizetype>(points.size()));
            for (const PointF& p : points) polygon << QPointF(p.x, p.y);
            path.addPolygon(polygon);
            path.closeSubpath();
        }
        painter.setRenderHint(QPainter::Antialiasing);
        QPen seam(fill);
        seam.setWidthF(0.5);
        painter.setPen(seam);
        painter.setBrush(fill);
        painter.drawPath(path);
    };
    // On screen the shapes come from an image made once, placed on whole
    // pixels so that it holds the same pixels as painting them here; paper
    // keeps them as shapes.
    const qreal ratio = Device().ratio;
    const QRectF bounds = BoundsOf(polygons);
    if (!OnScreen() || painter_.worldTransform().type() != QTransform::TxNone ||
        ratio != std::round(ratio) || bounds.isEmpty()) {
        painter_.save();
        paint(painter_);
        painter_.restore();
        return;
    }
    // Room for the hairline all round.
    const int left = static_cast<int>(std::floor(bounds.left())) - 1;
    const int top = static_cast<int>(std::floor(bounds.top())) - 1;
    const QSize size(static_cast<int>(std::ceil(bounds.right())) - left + 2,
                     static_cast<int>(std::ceil(bounds.bottom())) - top + 2);
    // The key: colour, pixel ratio and the shapes relative to the image,
    // written out in one piece (a display text is hundreds of points).
    std::vector<double> values;
    size_t count = 3;
    for (const auto& points : polygons) count += 1 + 2 * points.size();
    values.reserve(count);
    values.push_back(static_cast<double>(fill.rgba()));
    values.push_back(ratio);
    values.push_back(static_cast<double>(polygons.size()));
    for (const auto& points : polygons) {
        values.push_back(static_cast<double>(points.size()));
        for (const PointF& p : points) {
            values.push_back(p.x - left);
            values.push_back(p.y - top);
        }
    }
    const QByteArray key(reinterpret_cast<const char*>(values.data()),
                         static_cast<qsizetype>(values.size() * sizeof(double)));
    const QImage& image = CachedShapeImage(key, size * ratio, ratio, [&](QImage& target) {
        QPainter painter(&target);
        painter.translate(-left, -top);
        paint(painter);
    });
    painter_.drawImage(QPoint(left, top), image);
}

void QtCanvas::PushClip(const Rect& r) {
    painter_.save();
    painter_.setClipRect(QRect(r.left, r.top, r.Width(), r.Height()), Qt::IntersectClip);
}

void QtCanvas::PopClip() { painter_.restore(); }

MeasuringCanvas::MeasuringCanvas() : font_(QGuiApplication::font()) {}

// Laying a sheet out sets the font for every cell: the toolkit's font is
// made again only for another font or another desktop font.
void MeasuringCanvas::SetFont(const FontSpec& font) {
    const QFont base = QGuiApplication::font();
    if (spec_ && *spec_ == font && base_ == base) return;
    font_ = ToQFont(font);
    spec_ = font;
    base_ = base;
}

int MeasuringCanvas::TextWidth(const std::string& text) {
    // Measured without a device: kept apart from the widths on one.
    return CachedTextWidth(font_, -1, text, [&] {
        return FigureTextWidth(QFontMetrics(font_), QString::fromStdString(text));
    });
}

int MeasuringCanvas::TextHeight(const std::string&) {
    return CachedLineMetrics(font_, -1, [&] {
               const QFontMetrics metrics(font_);
               return LineMetrics{metrics.height(), metrics.ascent()};
           }).height;
}

}  // namespace parlo::qt
