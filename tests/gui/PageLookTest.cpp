// Every page of every variant as the painter draws it with the desktop's
// fonts and palette, light and dark: no text cut at the edge of its cells,
// and every text readable against the background it is drawn on (WCAG
// contrast 4.5:1), on screen in each state of a cell and on paper.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "cells/CellDispatcher.h"
#include "platform/qtgui/FigureText.h"
#include "platform/qtgui/QtCanvas.h"
#include "sheet/SheetFactory.h"
#include "tests/gui/DarkPalette.h"
#include "tests/gui/MainWindowFixture.h"

namespace parlo {
namespace {

// Measures with the real fonts, resolves colours as the screen (the
// desktop's palette) or paper (a light desktop's) does, and records what
// the painter draws.
class LookCanvas : public qt::MeasuringCanvas {
public:
    explicit LookCanvas(bool paper) : paper_(paper) {}
    uint32_t Resolve(uint32_t colour) const override {
        return paper_ ? LightDesktopColour(colour) : MeasuringCanvas::Resolve(colour);
    }
    struct Text {
        int x, y, width, height;
        std::string text;
        uint32_t colour, background;
    };
    void FillRect(const Rect& r, uint32_t colour) override { fills.push_back({r, colour}); }
    void DrawText(int x, int y, const std::string& t, uint32_t colour) override {
        // The background under the text: the cell's fill, if it has one.
        const uint32_t background = fills.empty() ? page : fills.back().second;
        texts.push_back({x, y, TextWidth(t), TextHeight(t), t, colour, background});
    }
    void Start(uint32_t pageColour) {
        page = pageColour;
        fills.clear();
        texts.clear();
    }

    uint32_t page = 0xFFFFFF;
    std::vector<std::pair<Rect, uint32_t>> fills;
    std::vector<Text> texts;

private:
    bool paper_;
};

// A sheet laid out from its top-left corner, every column and row.
struct Layout {
    std::vector<int> lefts, tops;
    explicit Layout(const Sheet& s) {
        int x = 0, y = 0;
        for (int c = 0; c < s.ColCount(); ++c, x += s.ColWidth(c - 1)) lefts.push_back(x);
        for (int r = 0; r < s.RowCount(); ++r, y += s.RowHeight(r - 1)) tops.push_back(y);
    }
    Rect Cell(const Sheet& s, int c, int r) const {
        const size_t ci = static_cast<size_t>(c), ri = static_cast<size_t>(r);
        return {lefts[ci], tops[ri], lefts[ci] + s.ColWidth(c), tops[ri] + s.RowHeight(r)};
    }
    // The cells a joined text runs over.
    Rect Run(const Sheet& s, int c, int r) const {
        const int owner = s.OwnerOfJoin(c, r);
        int last = owner;
        while (last + 1 < s.ColCount() && s.Cell(last + 1, r).Join()) ++last;
        const Rect first = Cell(s, owner, r);
        return {first.left, first.top, Cell(s, last, r).right, first.bottom};
    }
};

// A variant, on a light or a dark desktop.
class PageLookTest : public test::MainWindowFixture,
                     public ::testing::WithParamInterface<std::tuple<int, bool>> {
protected:
    PageLookTest() : light_(QApplication::palette()) {
        if (std::get<1>(GetParam())) QApplication::setPalette(test::DarkPalette());
    }
    ~PageLookTest() override { QApplication::setPalette(light_); }

    // Every page the tree of `variant` opens.
    std::vector<std::string> Pages(int variant) {
        Open(variant);
        std::vector<std::string> actions;
        window->Controller().Tree()->ForEach([&](TreeNode& n) {
            if (!n.Action().empty()) actions.push_back(n.Action());
        });
        return actions;
    }
    std::unique_ptr<Sheet> Build(const std::string& action, LookCanvas& canvas, bool printed) {
        Sheet::Params params;
        params.overlay = &MainOverlay();
        if (printed) {
            params.printerFontHeight = -50;
            params.printScale = 5;
        }
        auto sheet = CreateSheet(action, params, window->Controller().Doc().Scope(),
                                 window->Controller().Cells().Entry());
        sheet->Build(canvas);
        return sheet;
    }

    QPalette light_;
};

// Draws every cell of a page in each look it can take and hands each
// drawn text to `check` with the cells it belongs to.
void DrawEveryLook(Sheet& sheet, LookCanvas& canvas, bool printed,
                   const std::function<void(const LookCanvas::Text&, const Rect& run,
                                            const std::string& look)>& check) {
    const Layout layout(sheet);
    const uint32_t page = printed ? 0xFFFFFF : canvas.Resolve(sheet.BasicCell().colour);
    auto draw = [&](int c, int r, bool focused, const std::string& look) {
        canvas.Start(page);
        sheet.DrawCell(canvas, c, r, layout.Cell(sheet, c, r), focused);
        for (const auto& t : canvas.texts) check(t, layout.Run(sheet, c, r), look);
    };
    for (int r = 0; r < sheet.RowCount(); ++r) {
        for (int c = 0; c < sheet.ColCount(); ++c) {
            draw(c, r, true, printed ? "printed" : "as built, focused");
            if (!printed) draw(c, r, false, "as built, unfocused");
        }
    }
    if (printed) return;
    for (int r = 0; r < sheet.RowCount(); ++r) {
        for (int c = 0; c < sheet.ColCount(); ++c) {
            if (!sheet.SelectSlot(c, r)) continue;
            draw(c, r, true, "current, focused");
            draw(c, r, false, "current, unfocused");
        }
    }
}

// An explanation line across a table wider than a view 700 wide (a
// window beside the tree), as the grid draws it over the part in view.
void DrawLinesAcrossInAView(Sheet& sheet, LookCanvas& canvas,
                            const std::function<void(const LookCanvas::Text&, const Rect& run,
                                                     const std::string& look)>& check) {
    constexpr int kView = 700;
    const Layout layout(sheet);
    for (int r = 0; r < sheet.RowCount(); ++r) {
        const bool across = sheet.ColCount() > 1 && sheet.Cell(1, r).Join();
        if (!across || sheet.RunWidth(0, r) <= kView) continue;
        const Rect cell = layout.Cell(sheet, 0, r);
        const Rect part{0, cell.top, kView, cell.bottom};
        canvas.Start(canvas.Resolve(sheet.BasicCell().colour));
        sheet.DrawCell(canvas, 0, r, cell, false, &part);
        for (const auto& t : canvas.texts) check(t, part, "in a view 700 wide");
    }
}

TEST_P(PageLookTest, EveryTextOfEveryPageFitsItsCellsAndReads) {
    for (const std::string& action : Pages(std::get<0>(GetParam()))) {
        for (bool printed : {false, true}) {
            SCOPED_TRACE(action + (printed ? " printed" : " on screen"));
            LookCanvas canvas(printed);
            auto sheet = Build(action, canvas, printed);
            int cut = 0, faint = 0;
            auto check = [&](const auto& t, const Rect& run, const std::string& look) {
                const bool fits = t.x >= run.left && t.x + t.width <= run.right && t.y >= run.top &&
                                  t.y + t.height <= run.bottom;
                if (!fits && cut++ < 3)
                    ADD_FAILURE() << "'" << t.text << "' " << look << " is cut: drawn at " << t.x
                                  << "," << t.y << " size " << t.width << "x" << t.height
                                  << " in cells " << run.left << "," << run.top << " - "
                                  << run.right << "," << run.bottom;
                const double ratio = ContrastRatio(t.colour, t.background);
                if (ratio < 4.5 && faint++ < 3)
                    ADD_FAILURE() << "'" << t.text << "' " << look << ": contrast " << ratio
                                  << " (text " << std::hex << t.colour << " on " << t.background
                                  << std::dec << ")";
            };
            DrawEveryLook(*sheet, canvas, printed, check);
            if (!printed) DrawLinesAcrossInAView(*sheet, canvas, check);
            EXPECT_EQ(cut, 0);
            EXPECT_EQ(faint, 0);
        }
    }
}

// The rightmost column a text's ink reaches, drawn at x = 2 with the canvas
// the grid paints with.
int InkEnd(const std::string& text) {
    QImage image(200, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    qt::QtCanvas canvas(painter);
    canvas.SetFont(FontSpec{});
    canvas.DrawText(2, 2, text, 0x000000);
    painter.end();
    int end = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 128) end = x;
        }
    }
    return end;
}

TEST(NumberColumns, PaddedNumbersLineUpInAProportionalFont) {
    // Numbers the cells pad with blanks end where the widest of their column
    // ends, their digits and decimal points one under the other.
    const std::pair<const char*, const char*> column[] = {
        {"  0", "180"}, {"  0.000", "180.000"}, {"  5.0", "180.0"}, {"1-  9", "1- 10"}};
    for (const auto& [padded, full] : column) {
        EXPECT_EQ(InkEnd(padded), InkEnd(full)) << "'" << padded << "' under '" << full << "'";
    }
    // Blanks between words stay word spaces.
    for (const char* words : {"Timer 1", "1-9, 0, Z", "Group 12"}) {
        for (const qt::TextRun& run : qt::FigureRuns(words))
            EXPECT_TRUE(!run.figures || !run.text.contains(u' ')) << words;
    }
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    qt::QtCanvas canvas(painter);
    canvas.SetFont(FontSpec{});
    EXPECT_EQ(canvas.TextWidth("  0.000"), canvas.TextWidth("180.000"));
}

// LMR, PMR446, PMR446 with Tarn, dPMR446; light and dark.
INSTANTIATE_TEST_SUITE_P(Variants, PageLookTest,
                         ::testing::Combine(::testing::Range(0, 4), ::testing::Bool()),
                         [](const auto& info) {
                             return "Variant" + std::to_string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) ? "Dark" : "Light");
                         });

}  // namespace
}  // namespace parlo
