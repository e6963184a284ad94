// A dark desktop: the sheet's rules and display characters stand out from
// the cells at 3:1 or more, and colours the overlay names that would vanish
// on the dark base are lifted until they read. Measured on what is painted.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QPixmap>

#include "gui/SheetWidget.h"
#include "model/ModelVariant.h"
#include "platform/qtgui/QtCanvas.h"
#include "sheet/CellColours.h"
#include "sheet/DisplayCharacters.h"
#include "tests/gui/DarkPalette.h"
#include "tests/gui/MainWindowFixture.h"

namespace parlo {
namespace {

class DarkPaletteTest : public test::MainWindowFixture {
protected:
    DarkPaletteTest() : light_(QApplication::palette()) { QApplication::setPalette(test::DarkPalette()); }
    ~DarkPaletteTest() override { QApplication::setPalette(light_); }

    QPalette light_;
};

double Contrast(const QColor& a, const QColor& b) { return ContrastRatio(qt::ToRgb(a), qt::ToRgb(b)); }

double Contrast(const QImage& image, QPoint a, QPoint b) {
    return Contrast(image.pixelColor(a), image.pixelColor(b));
}

TEST_F(DarkPaletteTest, RulesAndDisplayCharactersStandOutFromTheCells) {
    Open(kVariantPmr);
    Select("[St_ChBank]GI_Sheet_Mch_PMR,Bank 0");
    qt::SheetWidget* sheets = window->Sheets();
    Sheet* sheet = sheets->CurrentSheet();
    // The current cell far from the cells measured.
    ASSERT_TRUE(sheet->SelectCell(CellAddress{CT_Mch, CL_Mch_FreqR, 6}));
    const QImage image = sheets->viewport()->grab().toImage();
    const int row = sheet->Row() - 6;  // channel 1
    auto rect = [&](int cell) {
        for (int c = 0; c < sheet->ColCount(); ++c)
            if (sheet->Cell(c, row).cell == cell) return sheets->CellRect(c, row);
        return QRect();
    };
    const QRect receive = rect(CL_Mch_FreqR), name = rect(CL_Mch_Text);
    ASSERT_FALSE(receive.isEmpty());
    ASSERT_FALSE(name.isEmpty());
    const QPoint inside = receive.topLeft() + QPoint(2, 2);
    EXPECT_GE(Contrast(image, QPoint(receive.right(), receive.center().y()), inside), 3.0)
        << "the rule between two cells";
    EXPECT_GE(Contrast(image, QPoint(receive.left() + 2, receive.bottom()), inside), 3.0)
        << "the rule under a cell";

    // The channel name in display characters: its brightest pixels.
    const QPoint background = name.topLeft() + QPoint(1, 2);
    double best = 0;
    for (int y = name.top() + 1; y < name.bottom(); ++y)
        for (int x = name.left() + 1; x < name.right(); ++x)
            best = std::max(best, Contrast(image, QPoint(x, y), background));
    EXPECT_GE(best, 3.0) << "the display characters";
}

// Every segment of an "8" drawn at row height is filled: the point in the
// middle of each of its triangles is lit, not only the edges.
TEST_F(DarkPaletteTest, DisplayCharactersAreFilledNotOutlined) {
    const QColor base = QApplication::palette().color(QPalette::Base);
    const SegmentGeometry& geometry = MainDisplayGeometry();
    for (const int height : {22, 37, 80}) {
        QImage image(height * 2, height + 8, QImage::Format_RGB32);
        image.fill(base);
        QPainter painter(&image);
        qt::QtCanvas canvas(painter);
        const Rect box{0, 4, height * 2, 4 + height};
        // With its dot the character reaches every edge of the shapes' box.
        const uint8_t eight[] = {'8' | 0x80};
        PaintDisplayText(canvas, box, eight, geometry, {}, 0x80000008);  // window text
        painter.end();
        // Where the triangles went: the bounding box of the lit pixels is
        // the character's; each triangle's centroid maps into it.
        int left = image.width(), right = -1, top = image.height(), bottom = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) != base) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        ASSERT_LT(left, right) << height;
        const Rect shape = geometry.Bounds();
        const uint16_t lit = CharacterSegments('8');
        for (int s = 0; s < geometry.Count(); ++s) {
            if (!(lit & geometry.BitOf(s)) || !geometry.At(s).drawable) continue;
            // The middle of the segment's long axis, where a bar is widest.
            double cx = 0, cy = 0;
            int n = 0;
            for (const Triangle& t : geometry.At(s).triangles)
                for (const Point& p : t) cx += p.x, cy += p.y, ++n;
            cx /= n, cy /= n;
            const int x = left + static_cast<int>((cx - shape.left) * (right + 1 - left) /
                                                  shape.Width());
            const int y = top + static_cast<int>((cy - shape.top) * (bottom + 1 - top) /
                                                 shape.Height());
            double best = 0;  // the pixel and its neighbours: a bar a pixel wide
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    best = std::max(best, Contrast(image.pixelColor(x + dx, y + dy), base));
            EXPECT_GE(best, 3.0) << "segment " << s << " at height " << height;
        }
    }
}

// Printing on a dark desktop: the text that follows the palette on screen
// is dark on paper (a recorded picture stands for the printer here).
TEST_F(DarkPaletteTest, PaperKeepsItsTextDark) {
    auto darkest = [](const std::function<void(QPainter&)>& draw, bool onPaper) {
        QPicture picture;
        QImage image(200, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter;
            if (onPaper) painter.begin(&picture); else painter.begin(&image);
            draw(painter);
        }
        if (onPaper) {
            QPainter replay(&image);
            replay.drawPicture(0, 0, picture);
        }
        double best = 1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                best = std::max(best, Contrast(image.pixelColor(x, y), Qt::white));
        return best;
    };
    auto text = [](QPainter& painter) {
        qt::QtCanvas canvas(painter);
        FontSpec font;
        font.height = -20;
        font.colour = 0x80000008;  // window text
        canvas.SetFont(font);
        canvas.DrawText(4, 4, "Receive", font.colour);
    };
    EXPECT_GE(darkest(text, true), 4.5) << "on paper";
    EXPECT_LT(darkest(text, false), 1.5) << "on screen it follows the dark palette: light text";
}

// The painter's choices under the dark palette, from its colours alone.
TEST_F(DarkPaletteTest, ANamedColourIsLiftedOnlyWhereItWouldVanish) {
    const uint32_t navy = 0x800000, darkBase = 0x232323, white = 0xFFFFFF;
    const uint32_t lifted = ReadableOn(darkBase, navy);
    EXPECT_GE(ContrastRatio(lifted, darkBase), 4.5);
    EXPECT_LT(ContrastRatio(lifted, darkBase), 4.8) << "lifted no further than needed";
    EXPECT_GT(lifted >> 16, lifted & 0xFF) << "still blue";
    EXPECT_EQ(ReadableOn(white, navy), navy);
    // A plain cell of the dark palette: its base behind, the overlay's navy
    // lifted on it, the palette's own text kept.
    QImage image(1, 1, QImage::Format_RGB32);
    QPainter painter(&image);
    qt::QtCanvas canvas(painter);
    const CellPaint value = PaintOfCell(canvas, paint::kWindow, navy, CellLook::Plain);
    EXPECT_EQ(value.background, darkBase);
    EXPECT_EQ(value.text, lifted);
    EXPECT_EQ(PaintOfCell(canvas, paint::kWindow, paint::kWindowText, CellLook::Plain).text, white);
    // The grid's rules: the palette's own shadow on a light palette, lifted
    // to 3:1 on a dark one.
    EXPECT_GE(ContrastRatio(GridRuleOf(canvas), darkBase), 3.0);
    QApplication::setPalette(light_);
    EXPECT_EQ(GridRuleOf(canvas), canvas.Resolve(paint::kGridLine));
}

}  // namespace
}  // namespace parlo
