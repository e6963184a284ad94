// A painted sheet keeps the widths of its texts and the images of its
// display texts: what it then shows must be what measuring and painting
// afresh shows, whatever the font, the colour or the place.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "platform/qtgui/FigureText.h"
#include "platform/qtgui/QtCanvas.h"
#include "sheet/DisplayCharacters.h"

namespace parlo {
namespace {

QImage Blank() {
    QImage image(220, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// A display text painted through the canvas at `x`; with `direct` the
// painter is moved there instead, which draws the shapes themselves.
QImage DisplayText(const std::vector<uint8_t>& text, uint32_t colour, int x, bool direct,
                   int height = 18) {
    QImage image = Blank();
    QPainter painter(&image);
    qt::QtCanvas canvas(painter);
    if (direct) painter.translate(x, 0);
    const int left = direct ? 0 : x;
    PaintDisplayText(canvas, {left + 3, 5, left + 200, 5 + height}, text, MainDisplayGeometry(),
                     {}, colour, 0xC0C0C0);
    return image;
}

// Smoothed edges blended through an image may come out a few steps of 255
// apart; a wrong place or colour is a hundred and more.
constexpr int kBlendRounding = 4;

// The largest difference of a colour channel between two images of a size.
int Difference(const QImage& a, const QImage& b) {
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q))});
        }
    return most;
}

TEST(PaintCaches, ADisplayTextFromItsKeptImageIsWhatPaintingItShows) {
    const std::vector<uint8_t> name = {'C', 'H', ' ', '6', '4' | 0x80};
    const std::vector<uint8_t> other = {'C', 'H', ' ', '6', '5'};
    struct Case {
        const std::vector<uint8_t>& text;
        uint32_t colour;
        int x, height;
    };
    // The second of two alike comes from the kept image; another colour,
    // height, place or text is another image.
    const Case cases[] = {{name, 0x000000, 0, 18}, {name, 0x000000, 0, 18},
                          {name, 0x000000, 7, 18}, {name, 0x0000FF, 7, 18},
                          {name, 0x000000, 7, 24}, {other, 0x000000, 7, 18}};
    for (const Case& c : cases) {
        const QImage kept = DisplayText(c.text, c.colour, c.x, false, c.height);
        const QImage painted = DisplayText(c.text, c.colour, c.x, true, c.height);
        EXPECT_LE(Difference(kept, painted), kBlendRounding)
            << std::hex << c.colour << std::dec << " at " << c.x << ", " << c.height;
    }
}

// Drawn from the glyphs kept for it, a text has every pixel it has drawn
// afresh (figures lined up), in each kind of font, the first time and after.
TEST(PaintCaches, ATextFromItsKeptGlyphsIsWhatDrawingItShows) {
    const std::pair<int, uint8_t> fonts[] = {{-13, 0},
                                             {-13, FontSpec::kBold},
                                             {-12, FontSpec::kItalic},
                                             {-13, FontSpec::kUnderline | FontSpec::kStrikeOut},
                                             {-20, 0}};
    const std::string texts[] = {"446.006250", "Channel No.", "<-", "1__________", "1-  9",
                                 "  0.000",
                                 "Gr\xc3\xbc\xc3\x9f \xc3\x84nderung", "W"};
    for (const auto& [height, style] : fonts) {
        FontSpec font;
        font.height = height;
        font.style = style;
        for (const std::string& text : texts) {
            QImage drawn = Blank();
            {
                QPainter painter(&drawn);
                painter.setFont(qt::ToQFont(font));
                painter.setPen(QColor(0, 0, 128));
                qt::DrawFigureText(painter, 5, 7 + painter.fontMetrics().ascent(),
                                   QString::fromStdString(text));
            }
            for (int pass = 0; pass < 2; ++pass) {
                QImage kept = Blank();
                QPainter painter(&kept);
                qt::QtCanvas canvas(painter);
                canvas.SetFont(font);
                canvas.DrawText(5, 7, text, 0x800000);
                painter.end();
                EXPECT_EQ(kept, drawn) << text << " " << height << " " << int(style) << " " << pass;
            }
        }
    }
}

TEST(PaintCaches, TextWidthsFollowTheFont) {
    QImage image = Blank();
    QPainter painter(&image);
    qt::QtCanvas canvas(painter);
    qt::MeasuringCanvas measure;
    for (const int height : {-13, -20}) {
        for (const uint8_t style : {uint8_t{0}, uint8_t{FontSpec::kBold}}) {
            FontSpec font;
            font.height = height;
            font.style = style;
            canvas.SetFont(font);
            measure.SetFont(font);
            const QFontMetrics metrics(qt::ToQFont(font));
            for (const std::string text : {"446.006250", "Channel", "W", "1- 10"}) {
                const int width = qt::FigureTextWidth(metrics, QString::fromStdString(text));
                EXPECT_EQ(canvas.TextWidth(text), width) << text << " " << height;
                EXPECT_EQ(measure.TextWidth(text), width) << text << " " << height;
            }
        }
    }
}

}  // namespace
}  // namespace parlo
