// A built sheet sized to what it shows: a value column as wide as the longest
// text its cells show or may choose, the overlay's sample width kept as the
// least; explanation lines wrapped at blanks in rows grown to hold them.
#include <gtest/gtest.h>

#include "sheet/Sheet.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestDocument.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

constexpr int kChar = test::RecordingCanvas::kCharWidth;
constexpr int kLine = test::RecordingCanvas::kLineHeight;

constexpr const char* kLongNote =
    "Every slot of the radio belongs to a bank, so the row marked New takes no channel: type a "
    "new one into an empty row, or make a bank smaller first.";

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
    // A table wider than a window, a long explanation line across all of it.
    "#GI_Sheet_Long_Style", "", "#GI_Sheet_Long_BasicCell", "{($Basic)}", "#GI_Sheet_Long_Cells",
    "{W}000000000000000000000000000000|{W}000000000000000000000000000000|"
    "{W}000000000000000000000000000000|{W}000000000000000000000000000000",
    std::string(kLongNote) + "|{+}|{+}|{+}",
    // The same given by the dispatcher, as the New row's hint is.
    "{(%CL_Misc_NewChannelHint)}Sample|{+}|{+}|{+}", "#", "#End_Of_Ovl"};

class SheetFittingTest : public ::testing::Test {
protected:
    test::ScopedOverlay ovl{kOverlay};
    test::TestDocument document;
    test::RecordingCanvas canvas;
    std::unique_ptr<Sheet> sheet;

    SheetFittingTest() {
        Sheet::Params p;
        p.overlay = &ovl.overlay();
        p.key = "GI_Sheet_Fit";
        sheet = std::make_unique<Sheet>(p, document.Scope(), [](CellContext& c, int mode) {
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

// A sheet whose columns make a table wider than a window, a long
// explanation line across it in row 1, and in row 2 the line `live` says.
class SheetWrapping : public ::testing::Test {
protected:
    test::ScopedOverlay ovl{kOverlay};
    test::TestDocument document;
    test::RecordingCanvas canvas;
    std::string live = kLongNote;
    std::unique_ptr<Sheet> sheet;

    SheetWrapping() {
        Sheet::Params p;
        p.overlay = &ovl.overlay();
        p.key = "GI_Sheet_Long";
        sheet = std::make_unique<Sheet>(p, document.Scope(), [this](CellContext& c, int mode) {
            if (mode == kModeDraw && c.desc->cell == CL_Misc_NewChannelHint) c.request.text = live;
            return 0;
        });
        sheet->Build(canvas);
    }

    // The lines row `row` shows in the first `width` of the table, each
    // checked to lie inside it.
    std::string Shown(int row, int width) {
        const Rect part{0, 0, width, sheet->RowHeight(row)};
        canvas.Clear();
        sheet->DrawCell(canvas, 0, row, {0, 0, sheet->ColWidth(0), sheet->RowHeight(row)}, false,
                        &part);
        std::vector<std::string> lines;
        for (const auto& t : canvas.texts) {
            EXPECT_LE(t.x + kChar * static_cast<int>(t.text.size()), part.right) << t.text;
            EXPECT_LE(t.y + kLine, part.bottom) << t.text;
            lines.push_back(t.text);
        }
        return Joined(lines);
    }
};

// A line across a table wider than a window wraps within a readable
// measure, so that the part of the table in view shows it whole, not cut
// at the edge of the view; on paper within the narrowest page as well.
TEST_F(SheetWrapping, ALineAcrossAWideTableWrapsWithinThePartInView) {
    ASSERT_GT(sheet->RunWidth(0, 1), kChar * static_cast<int>(std::string(kLongNote).size()) / 2);
    // In view: the first two columns, the rest scrolled off.
    const int twoColumns = sheet->ColWidth(0) + sheet->ColWidth(1);
    for (const int row : {1, 2}) {
        SCOPED_TRACE(row == 1 ? "the overlay's line" : "the dispatcher's line");
        EXPECT_EQ(Shown(row, twoColumns), kLongNote);
    }
    sheet->WrapWithin(canvas, 200);
    for (const int row : {1, 2}) {
        SCOPED_TRACE(row == 1 ? "the overlay's line on a page 200 wide"
                              : "the dispatcher's line on a page 200 wide");
        EXPECT_EQ(Shown(row, 200), kLongNote);
    }
}

// The dispatcher's line changes with the document: its row follows it.
TEST_F(SheetWrapping, ALineTheDispatcherGivesIsFittedAsItChanges) {
    const int twoColumns = sheet->ColWidth(0) + sheet->ColWidth(1);
    const int tall = sheet->RowHeight(2);
    EXPECT_FALSE(sheet->FitLiveExplanations(canvas));
    live = "Short.";
    EXPECT_TRUE(sheet->FitLiveExplanations(canvas));
    EXPECT_EQ(sheet->RowHeight(2), kLine + 2);
    EXPECT_EQ(sheet->RowHeight(1), tall);  // the overlay's line stays as it is
    live = std::string(kLongNote) + " " + kLongNote;
    EXPECT_TRUE(sheet->FitLiveExplanations(canvas));
    EXPECT_GT(sheet->RowHeight(2), tall);
    EXPECT_EQ(Shown(2, twoColumns), live);
}

}  // namespace
}  // namespace parlo
