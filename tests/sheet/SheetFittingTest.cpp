// A built sheet sized to what it shows: a value column as wide as the longest
// text its cells show or may choose, the overlay's sample width kept as the
// least; explanation lines wrapped at blanks in rows grown to hold them.
#include <gtest/gtest.h>

#include "sheet/Sheet.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/ScopedEventBus.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

constexpr int kChar = test::RecordingCanvas::kCharWidth;
constexpr int kLine = test::RecordingCanvas::kLineHeight;

const std::vector<std::string> kOverlay = {
    "#CellModel_Basic", "<-(Color=clWindow)", "#GI_Sheet_Fit_Style", "", "#GI_Sheet_Fit_BasicCell",
    "{($Basic)}", "#GI_Sheet_Fit_Cells",
    // A value sized by a three-digit sample, one by a long sample.
    "{W}Audio|{SW(%CL_Mch_FreqR[0])}000|{SW(%CL_Mch_FreqT[0])}000000000000000000000000000000",
    // An explanation line over the first two columns, one in the narrow
    // third column alone.
    "Choose what the speaker does when a call for this radio comes in.|{+}|x",
    "{W}No|Used by dPMR446 radios only, never by the others.", "#",
    // The list the value chooses from.
    "#GI_Sel_Aud", "Stay muted", "Open the speaker", "Open, close after timer A", "#",
    "#End_Of_Ovl"};

class SheetFittingTest : public ::testing::Test {
protected:
    test::ScopedOverlay ovl{kOverlay};
    test::ScopedEventBus bus;
    test::RecordingCanvas canvas;
    std::unique_ptr<Sheet> sheet;

    SheetFittingTest() {
        Sheet::Params p;
        p.overlay = &ovl.overlay();
        p.key = "GI_Sheet_Fit";
        sheet = std::make_unique<Sheet>(p, [](CellContext& c, int mode) {
            if (mode == kModeDraw && c.desc->cell == CL_Mch_FreqR) {
                c.request.text = "Stay muted";
                c.request.choices = "GI_Sel_Aud";
            }
            return 0;
        });
        sheet->Build(canvas);
    }

    // The lines a cell draws, each inside the cells it spans (`width`).
    std::vector<std::string> Drawn(int col, int row, int width) {
        canvas.Clear();
        sheet->DrawCell(canvas, col, row, {0, 0, sheet->ColWidth(col), sheet->RowHeight(row)},
                        false);
        std::vector<std::string> lines;
        for (const auto& t : canvas.texts) {
            EXPECT_LE(t.x + kChar * static_cast<int>(t.text.size()), width) << t.text;
            EXPECT_LE(t.y + kLine, sheet->RowHeight(row)) << t.text;
            lines.push_back(t.text);
        }
        return lines;
    }
};

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines) all += (all.empty() ? "" : " ") + l;
    return all;
}

TEST_F(SheetFittingTest, AValueColumnFitsTheLongestItemOfItsList) {
    EXPECT_EQ(sheet->ColWidth(1), kChar * 25 + 8);  // "Open, close after timer A"
    // A sample wider than any value stays the width.
    EXPECT_EQ(sheet->ColWidth(2), kChar * 30 + 8);
}

TEST_F(SheetFittingTest, ExplanationLinesWrapAndTheirRowsHoldEveryLine) {
    const std::string note = "Choose what the speaker does when a call for this radio comes in.";
    const int run = sheet->ColWidth(0) + sheet->ColWidth(1);
    const std::vector<std::string> lines = Drawn(0, 1, run);
    EXPECT_GT(lines.size(), 1u);
    EXPECT_EQ(Joined(lines), note);
    EXPECT_EQ(sheet->RowHeight(1), kLine * static_cast<int>(lines.size()) + 2);
    // Alone in a narrow column, a line widens the column to a readable
    // measure (20 "M") before it wraps.
    const std::string alone = "Used by dPMR446 radios only, never by the others.";
    EXPECT_EQ(sheet->ColWidth(1), kChar * 25 + 8);  // the list's width was wider already
    const std::vector<std::string> narrow = Drawn(1, 2, sheet->ColWidth(1));
    EXPECT_EQ(Joined(narrow), alone);
    EXPECT_EQ(sheet->RowHeight(2), kLine * static_cast<int>(narrow.size()) + 2);
}

}  // namespace
}  // namespace parlo
