// The colours the painter chooses: every text at a contrast of 4.5:1 or more
// against the background it is drawn on, whatever colour the overlay or a
// codec names, in every look of a cell; the colour's own hue kept.
#include <gtest/gtest.h>

#include <cmath>

#include "sheet/CellColours.h"
#include "tests/support/RecordingCanvas.h"

namespace parlo {
namespace {

// WCAG 2 contrast, computed here from the definition.
double Linear(uint32_t channel) {
    const double v = channel / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
double Luminance(uint32_t bgr) {
    return 0.2126 * Linear(bgr & 0xFF) + 0.7152 * Linear((bgr >> 8) & 0xFF) +
           0.0722 * Linear((bgr >> 16) & 0xFF);
}
double Contrast(uint32_t a, uint32_t b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

constexpr uint32_t kClWindow = 0x80000005, kClWindowText = 0x80000008, kClBtnFace = 0x8000000F,
                   kClGrayText = 0x80000011;
constexpr uint32_t kGray = 0x808080, kWhite = 0xFFFFFF, kNavy = 0x800000, kSilver = 0xC0C0C0,
                   kOlive = 0x008080, kRed = 0x0000FF, kYellow = 0x00FFFF;

TEST(CellColours, EveryTextReadsInEveryLook) {
    test::RecordingCanvas canvas;  // a light desktop's system colours
    struct Case {
        uint32_t cell, text;
    };
    // The pairs the shipped overlay and the codecs name: plain text, a
    // note, a value, a heading, a row number, greyed and olive values, the
    // byte sheet's red, and white or yellow text where a cell turns grey.
    const Case cases[] = {{kClWindow, kClWindowText},  {kClWindow, kClGrayText},
                          {kClWindow, kNavy},          {kGray, kWhite},
                          {kClBtnFace, kClWindowText}, {kClWindow, kSilver},
                          {kClWindow, kOlive},         {kClWindow, kRed},
                          {kClWindow, kWhite},         {kClWindow, kClBtnFace},
                          {kGray, kClWindowText},      {kSilver, kYellow}};
    for (const Case& c : cases) {
        for (CellLook look :
             {CellLook::Plain, CellLook::Current, CellLook::CurrentUnfocused, CellLook::Printed}) {
            const CellPaint p = PaintOfCell(canvas, c.cell, c.text, look);
            EXPECT_GE(Contrast(p.background, p.text), 4.5)
                << std::hex << c.text << " on " << c.cell << " in look " << static_cast<int>(look);
        }
    }
}

TEST(CellColours, AShadeKeepsWhatTheColourSays) {
    test::RecordingCanvas canvas;
    // A grey heading stays grey with white text, only deeper.
    CellPaint head = PaintOfCell(canvas, kGray, kWhite, CellLook::Plain);
    EXPECT_EQ(head.text, kWhite);
    EXPECT_TRUE((head.background & 0xFF) == ((head.background >> 8) & 0xFF) &&
                (head.background & 0xFF) == (head.background >> 16));
    EXPECT_LT(head.background & 0xFF, 0x80u);
    // A plain cell keeps its white; the olive of a frequency that may not be
    // sent stays olive (red and green, no blue), a greyed value grey.
    CellPaint olive = PaintOfCell(canvas, kClWindow, kOlive, CellLook::Plain);
    EXPECT_EQ(olive.background, kWhite);
    EXPECT_EQ(olive.text & 0xFF, (olive.text >> 8) & 0xFF);
    EXPECT_EQ(olive.text >> 16, 0u);
    EXPECT_NE(olive.text, 0u);
    CellPaint silver = PaintOfCell(canvas, kClWindow, kSilver, CellLook::Plain);
    EXPECT_NE(silver.text, 0u);  // still grey, not black
    // Colours that read already are left alone.
    EXPECT_EQ(PaintOfCell(canvas, kClWindow, kNavy, CellLook::Plain).text, kNavy);
    EXPECT_EQ(PaintOfCell(canvas, kClWindow, kClWindowText, CellLook::Plain).text, 0u);
    // Paper: coloured cells dark grey with white text, plain cells unpainted.
    const CellPaint printedHead = PaintOfCell(canvas, kGray, kWhite, CellLook::Printed);
    EXPECT_EQ(printedHead.background, 0x606060u);
    EXPECT_EQ(printedHead.text, kWhite);
    EXPECT_FALSE(PaintOfCell(canvas, kClWindow, kClGrayText, CellLook::Printed).fill);
}

}  // namespace
}  // namespace parlo
