// Printing sheets: margins, page chunks, shrinking, head and foot lines.
#include <gtest/gtest.h>

#include "sheet/SheetPrinter.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/ScopedEventBus.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

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
    void NewPage() override { ++newPages; }

    test::RecordingCanvas canvas;
    int newPages = 0;

private:
    int width_, height_, dpi_;
};

class SheetPrinterTest : public ::testing::Test {
protected:
    test::ScopedOverlay ovl{Overlay()};
    test::ScopedEventBus bus;
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
    SheetPrinter p(printer, none);
    EXPECT_EQ(p.Print("GI_Sheet_Hidden", {50, 50, 950, 1350}), 0);
    EXPECT_TRUE(printer.canvas.texts.empty());
}

TEST_F(SheetPrinterTest, PagesRepeatTheHeadsAndKeepJoinedHeadsTogether) {
    FakePrinter printer(420, 600, 120);
    SheetPrinter p(printer, none);
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
    Sheet sheet(params, none);
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
    SheetPrinter p(printer, none);
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

}  // namespace
}  // namespace parlo
