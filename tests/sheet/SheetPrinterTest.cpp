// Printing sheets: margins, page chunks, shrinking, head and foot lines.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "sheet/PrintJob.h"
#include "sheet/SheetPrinter.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestDocument.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

constexpr const char* kLongHint =
    "Rows marked New take no channel until a frequency is typed into them or a bank is made "
    "smaller.";

std::vector<std::string> Overlay() {
    std::vector<std::string> lines = {
        "#GI_Sys_Printer_FontPoints",
        "10",
        "#GI_Sys_Printer_FrameFont",
        "8",
        "#GI_Sys_AppTitleRev",
        "Parlo rev 6",
        "#GI_Sys_Maker",
        "Printed by Parlo",
        "#CellModel_Basic",
        "(Color=clWindow)",
        "#GI_Sheet_Wide_Style",
        "(TitleString=Wide sheet)(FixedRows=1)(FixedCols=1)",
        "#GI_Sheet_Wide_BasicCell",
        "{($Basic)}",
        "#GI_Sheet_Wide_Cells",
        // A head joined across columns 2 and 3.
        "{W}No|{W}Alpha|{W}Beta head|{+}|{W}Gamma",
    };
    for (int r = 1; r <= 40; ++r)
        lines.push_back("{W}" + std::to_string(r) +
                        "|{W}aaaaaaaa|{W}bbbbbbbb|{W}cccccccc|{W}dddddddd");
    // A hint row whose text starts in the fixed column and runs on over
    // columns that fill several pages.
    lines.insert(
        lines.end(),
        {"#", "#GI_Sheet_Hint_Style", "(TitleString=Hints)(FixedRows=1)(FixedCols=1)",
         "#GI_Sheet_Hint_BasicCell", "{($Basic)}", "#GI_Sheet_Hint_Cells",
         "{W}No|{W}A|{W}B|{W}C|{W}D|{W}E|{W}F", "A hint for every page|{+}|{+}|{+}|{+}|{+}|{+}"});
    for (int r = 1; r <= 3; ++r) {
        std::string row = "{W}" + std::to_string(r);
        for (int c = 0; c < 6; ++c) row += "|{W}" + std::string(20, 'x');
        lines.push_back(row);
    }
    // A long hint over columns that make pages of different widths.
    lines.insert(lines.end(),
                 {"#", "#GI_Sheet_LongHint_Style", "(TitleString=Long)(FixedRows=1)(FixedCols=1)",
                  "#GI_Sheet_LongHint_BasicCell", "{($Basic)}", "#GI_Sheet_LongHint_Cells",
                  "{W}No|{W}A|{W}B|{W}C|{W}D|{W}E",
                  std::string(kLongHint) + "|{+}|{+}|{+}|{+}|{+}"});
    for (int r = 1; r <= 3; ++r) {
        std::string row = "{W}" + std::to_string(r);
        for (int c = 0; c < 5; ++c) row += "|{W}" + std::string(20, 'x');
        lines.push_back(row);
    }
    lines.insert(
        lines.end(),
        {"#", "#GI_Sheet_Hidden_Style", "(NoPrint)", "#GI_Sheet_Hidden_BasicCell", "",
         "#GI_Sheet_Hidden_Cells", "x", "#", "#GI_Sheet_Huge_Style", "", "#GI_Sheet_Huge_BasicCell",
         "", "#GI_Sheet_Huge_Cells", "{W}" + std::string(300, 'w'), "#", "#End_Of_Ovl"});
    return lines;
}

class FakePrinter : public PrinterPage {
public:
    FakePrinter(int width, int height, int dpi) : width_(width), height_(height), dpi_(dpi) {}
    Canvas& PageCanvas() override { return canvas; }
    int PageWidth() const override { return width_; }
    int PageHeight() const override { return height_; }
    int Resolution() const override { return dpi_; }
    void NewPage() override {
        ++newPages;
        pageStarts.push_back(canvas.texts.size());
        fillStarts.push_back(canvas.fills.size());
    }
    // The page each recorded text is on (0 first).
    int PageOf(size_t text) const {
        int page = 0;
        for (size_t start : pageStarts) page += text >= start;
        return page;
    }

    test::RecordingCanvas canvas;
    int newPages = 0;
    std::vector<size_t> pageStarts, fillStarts;

private:
    int width_, height_, dpi_;
};

class SheetPrinterTest : public ::testing::Test {
protected:
    test::ScopedOverlay ovl{Overlay()};
    test::TestDocument document;
    DocumentScope scope = document.Scope();
    DispatchFunction none = [](CellContext&, int) { return 0; };
};

TEST(PageMargins, MillimetresAtTheResolution) {
    const Rect r = PageRectFromMargins("10, 10 ,10,10", 600, 4960, 7016);
    EXPECT_EQ(r.left, 236);
    EXPECT_EQ(r.top, 236);
    EXPECT_EQ(r.right, 4960 - 236);
    EXPECT_EQ(r.bottom, 7016 - 236);
}

TEST_F(SheetPrinterTest, ASheetThatDoesNotPrintGivesNoPage) {
    FakePrinter printer(1000, 1400, 120);
    SheetPrinter p(printer, scope, none);
    EXPECT_EQ(p.Print("GI_Sheet_Hidden", {50, 50, 950, 1350}), 0);
    EXPECT_TRUE(printer.canvas.texts.empty());
}

TEST_F(SheetPrinterTest, PagesRepeatTheHeadsAndKeepJoinedHeadsTogether) {
    FakePrinter printer(420, 600, 120);
    SheetPrinter p(printer, scope, none);
    const int pages = p.Print("GI_Sheet_Wide", {10, 10, 410, 590});
    ASSERT_GT(pages, 1);
    EXPECT_EQ(printer.newPages, pages - 1);
    int heads = 0, revisions = 0, feet = 0, nos = 0;
    for (const auto& t : printer.canvas.texts) {
        heads += t.text == "Wide sheet";
        revisions += t.text == "Parlo rev 6";
        feet += t.text == "Printed by Parlo";
        nos += t.text == "No";
    }
    EXPECT_EQ(heads, pages);
    EXPECT_EQ(revisions, pages);
    EXPECT_EQ(feet, pages);
    EXPECT_EQ(nos, pages);  // the fixed column and row are on every page

    // The chunks never end between the joined head's columns 2 and 3.
    FakePrinter measure(420, 600, 120);
    Sheet::Params params;
    params.overlay = &ovl.overlay();
    params.key = "GI_Sheet_Wide";
    params.printerFontHeight = -16;
    Sheet sheet(params, scope, none);
    sheet.Build(measure.canvas);
    for (int width : {60, 100, 130, 200, 400}) {
        const PageChunks chunks = CutIntoPages(sheet, width, 10000);
        int col = sheet.FixedCols();
        for (int n : chunks.columns) {
            col += n;
            EXPECT_NE(col, 3) << width;  // column 3 joins column 2
        }
        EXPECT_EQ(col, sheet.ColCount());
    }
}

TEST_F(SheetPrinterTest, AColumnWiderThanThePageShrinksAtMostThreeTimes) {
    FakePrinter printer(400, 400, 120);
    SheetPrinter p(printer, scope, none);
    EXPECT_EQ(p.Print("GI_Sheet_Huge", {0, 0, 400, 400}), 1);
    int biggest = 0, smallest = 1 << 30;
    for (const auto& t : printer.canvas.texts) {
        if (t.text.size() == 300) {
            smallest = std::min(smallest, 1);
            biggest = std::max(biggest, 1);
        }
    }
    EXPECT_EQ(biggest, 1);  // the cell is printed once, on its page
}

TEST_F(SheetPrinterTest, HintRowsRunOnFromTheFixedColumnOnEveryPage) {
    FakePrinter printer(420, 600, 120);
    SheetPrinter p(printer, scope, none);
    const Rect page{10, 10, 410, 590};
    const int pages = p.Print("GI_Sheet_Hint", page);
    ASSERT_GT(pages, 1);
    std::set<int> pagesWithHint;
    for (size_t i = 0; i < printer.canvas.texts.size(); ++i) {
        const auto& t = printer.canvas.texts[i];
        if (t.text != "A hint for every page") continue;
        pagesWithHint.insert(printer.PageOf(i));
        // Laid out from the fixed column's left edge (scale 1), not from
        // where the columns of an earlier page would be.
        EXPECT_EQ(t.x, page.left + 4) << "page " << printer.PageOf(i);
    }
    EXPECT_EQ(static_cast<int>(pagesWithHint.size()), pages);
}

// A long hint repeated from the fixed column is shown whole on every page,
// the narrowest too: it wraps within the page's table.
TEST_F(SheetPrinterTest, ALongHintIsWholeOnEveryPage) {
    FakePrinter printer(420, 600, 120);
    SheetPrinter p(printer, scope, none);
    const int pages = p.Print("GI_Sheet_LongHint", {10, 10, 410, 590});
    ASSERT_GT(pages, 2);
    std::vector<size_t> textStarts = {0}, fillStarts = {0};
    textStarts.insert(textStarts.end(), printer.pageStarts.begin(), printer.pageStarts.end());
    fillStarts.insert(fillStarts.end(), printer.fillStarts.begin(), printer.fillStarts.end());
    textStarts.push_back(printer.canvas.texts.size());
    fillStarts.push_back(printer.canvas.fills.size());
    const std::set<std::string> others = {"Long", "Parlo rev 6", "Printed by Parlo", "No", "A",
                                          "B", "C", "D", "E", "1", "2", "3", std::string(20, 'x')};
    std::set<int> tableWidths;
    for (int n = 0; n < pages; ++n) {
        SCOPED_TRACE("page " + std::to_string(n));
        // The table's right edge: where its rules end.
        int right = 0;
        for (size_t i = fillStarts[n]; i < fillStarts[n + 1]; ++i) {
            if (printer.canvas.fills[i].colour == 0x909090)
                right = std::max(right, printer.canvas.fills[i].rect.right);
        }
        tableWidths.insert(right);
        // Each cell of the run draws the run's lines (clipped to itself):
        // the lines by their place.
        std::set<std::tuple<int, int, std::string>> lines;
        for (size_t i = textStarts[n]; i < textStarts[n + 1]; ++i) {
            const auto& t = printer.canvas.texts[i];
            if (others.count(t.text)) continue;
            EXPECT_LE(t.x + test::RecordingCanvas::kCharWidth * static_cast<int>(t.text.size()),
                      right)
                << t.text;
            lines.insert({t.y, t.x, t.text});
        }
        std::string hint;
        for (const auto& line : lines) hint += (hint.empty() ? "" : " ") + std::get<2>(line);
        EXPECT_EQ(hint, kLongHint);
    }
    EXPECT_GT(tableWidths.size(), 1u);  // a narrower last page
}

TEST_F(SheetPrinterTest, RulesRunAlongEveryRowOfEveryPage) {
    FakePrinter printer(420, 600, 120);
    SheetPrinter p(printer, scope, none);
    const Rect page{10, 10, 410, 590};
    const int pages = p.Print("GI_Sheet_Wide", page);
    ASSERT_GT(pages, 1);
    std::vector<size_t> textStarts = {0}, fillStarts = {0};
    textStarts.insert(textStarts.end(), printer.pageStarts.begin(), printer.pageStarts.end());
    fillStarts.insert(fillStarts.end(), printer.fillStarts.begin(), printer.fillStarts.end());
    textStarts.push_back(printer.canvas.texts.size());
    fillStarts.push_back(printer.canvas.fills.size());
    const std::set<std::string> frame = {"Wide sheet", "Parlo rev 6", "Printed by Parlo"};
    for (int n = 0; n < pages; ++n) {
        SCOPED_TRACE("page " + std::to_string(n));
        // The rows of the page, by the tops of their texts.
        std::set<int> rowTops;
        for (size_t i = textStarts[n]; i < textStarts[n + 1]; ++i) {
            if (!frame.count(printer.canvas.texts[i].text))
                rowTops.insert(printer.canvas.texts[i].y);
        }
        // Grey rules one unit thick across the whole table: above the first
        // row and under each, none of them cutting through a text.
        std::set<int> ruled;
        std::set<std::pair<int, int>> spans;
        for (size_t i = fillStarts[n]; i < fillStarts[n + 1]; ++i) {
            const auto& f = printer.canvas.fills[i];
            if (f.colour != 0x909090 || f.rect.Height() != 1) continue;
            ruled.insert(f.rect.top);
            spans.insert({f.rect.left, f.rect.right});
        }
        EXPECT_EQ(ruled.size(), rowTops.size() + 1);
        ASSERT_EQ(spans.size(), 1u);
        EXPECT_EQ(spans.begin()->first, page.left);
        EXPECT_GT(spans.begin()->second, page.left + 100);
        std::vector<int> rules(ruled.begin(), ruled.end());
        std::vector<int> tops(rowTops.begin(), rowTops.end());
        for (size_t r = 0; r < tops.size() && r + 1 < rules.size(); ++r) {
            EXPECT_LT(rules[r], tops[r]);
            EXPECT_GT(rules[r + 1], tops[r]);
        }
    }
}

TEST_F(SheetPrinterTest, CancelStopsBeforeTheNextPageOfTheSameSheet) {
    FakePrinter printer(420, 600, 120);
    SheetPrinter p(printer, scope, none);
    int asked = 0;
    p.SetCancelCheck([&] {
        ++asked;
        return p.PagesPrinted() >= 1;
    });
    EXPECT_EQ(p.Print("GI_Sheet_Wide", {10, 10, 410, 590}), 1);
    EXPECT_TRUE(p.Cancelled());
    EXPECT_EQ(printer.newPages, 0);
    EXPECT_GE(asked, 2);
    // Later sheets of the job print nothing.
    EXPECT_EQ(p.Print("GI_Sheet_Wide", {10, 10, 410, 590}), 0);
}

TEST_F(SheetPrinterTest, APrintJobPrintsOneNodePerStep) {
    const Rect page{10, 10, 410, 590};
    FakePrinter alone(420, 600, 120);
    const int widePages = SheetPrinter(alone, scope, none).Print("GI_Sheet_Wide", page);
    ASSERT_GT(widePages, 1);

    FakePrinter printer(420, 600, 120);
    PrintJob job(printer, scope, none, {"GI_Sheet_Wide", "", "GI_Sheet_Hidden", "GI_Sheet_Wide"}, page);
    std::vector<int> pagesAfterStep;
    while (!job.Done()) {
        job.Step();
        pagesAfterStep.push_back(job.PagesPrinted());
    }
    EXPECT_EQ(pagesAfterStep, (std::vector<int>{widePages, widePages, widePages, 2 * widePages}));
    EXPECT_EQ(printer.newPages, 2 * widePages - 1);  // every sheet starts on a new page
    EXPECT_FALSE(job.Step());

    // Cancelled after the first step: the steps left print nothing.
    FakePrinter cancelled(420, 600, 120);
    PrintJob stopped(cancelled, scope, none, {"GI_Sheet_Wide", "GI_Sheet_Wide"}, page);
    stopped.Step();
    stopped.Cancel();
    EXPECT_EQ(stopped.NextAction(), "GI_Sheet_Wide");
    stopped.Step();
    EXPECT_TRUE(stopped.Done());
    EXPECT_EQ(stopped.PagesPrinted(), widePages);
}

}  // namespace
}  // namespace parlo
