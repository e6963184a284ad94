// The sheet logic on small fixture sheets, with no toolkit.
#include <gtest/gtest.h>

#include <set>

#include "cells/CellNames.h"
#include "model/ModelVariant.h"
#include "runtime/EventManager.h"
#include "sheet/Sheet.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestDocument.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

const std::vector<std::string> kOverlay = {
    "#CellModel_Basic", "<-(Color=clWindow)", "#CellModel_Sel", "S(Color=clWindow)",
    // A 4 x 4 grid: a fixed head row, T cell at (2,1), holes in row 2.
    "#GI_Sheet_Grid_Style", "(TitleString=Grid)(FixedRows=1)(FixedCols=1)",
    "#GI_Sheet_Grid_BasicCell", "{($Basic)}", "#GI_Sheet_Grid_Cells", "No|A|B|C|",
    "1|{($Sel)(%CL_Mch_FreqR[1])}|{T}t|{($Sel)(%CL_Mch_FreqT[1])}|",
    "2|x|x|{($Sel)(%CL_Mch_FreqT[2])}|",
    "3|{($Sel)(%CL_Mch_FreqR[3])}|{($Sel)(%CL_Mch_Text[3])}|{($Sel)(%CL_Mch_FreqT[3])}|", "#",
    // A channel-like table selectable by lines, built by a loop.
    "#GI_Sheet_Lines_Style", "(FixedRows=1)(MultiSelect=Line)", "#GI_Sheet_Lines_BasicCell",
    "{($Basic)}", "#GI_Sheet_Lines_Cells", "Ch|Rx|Tx", ":(LoopFrom 4)",
    "{(@ch0++)}\\(@ch0)|{($Sel)(%CT_Mch.CL_Mch_FreqR[0])}|{($Sel)(%CT_Mch.CL_Mch_FreqT[0])}",
    ":(LoopTo)", "#",
    // Directives: a two-line block only for dPMR446 (including a directive).
    "#GI_Sheet_Dir_Style", "", "#GI_Sheet_Dir_BasicCell", "", "#GI_Sheet_Dir_Cells", "{S}first",
    ":(Only_DPmr446 2)", ":(SelectOFF)", "digital", "{S}last|{(Color=clGray)}grey", "#",
    "#GI_Sheet_Join_Style", "", "#GI_Sheet_Join_BasicCell", "", "#GI_Sheet_Join_Cells",
    "{^}Group head|{+}|{+}|x", "{S}a|b|c|d", "#", "#GI_Sheet_Empty_Style", "",
    "#GI_Sheet_Empty_BasicCell", "", "#GI_Sheet_Empty_Cells", "", "", "#",
    // Nothing to edit: grey headings with white text over plain texts.
    "#GI_Sheet_Info_Style", "(FixedRows=1)", "#GI_Sheet_Info_BasicCell", "{($Basic)}",
    "#GI_Sheet_Info_Cells",
    "{(Color=clGray)(Font=,,clWhite,,,,)}Item|{(Color=clGray)(Font=,,clWhite,,,,)}Value", "a|b",
    "#",
    // Display character shapes: the dot and 14 segments, one triangle each.
    "#GI_PCG_Seg_Data", "-1|(60,90)(64,90)(64,94)", "1|(0,0)(60,0)(30,6)", "1|(60,0)(60,45)(54,20)",
    "1|(60,50)(60,95)(54,70)", "1|(0,95)(60,95)(30,89)", "1|(0,50)(0,95)(6,70)",
    "1|(0,0)(0,45)(6,20)", "1|(0,47)(30,47)(15,50)", "1|(30,47)(60,47)(45,50)",
    "1|(0,0)(30,45)(5,0)", "1|(28,0)(32,0)(30,45)", "1|(60,0)(30,45)(55,0)",
    "1|(0,95)(30,50)(5,95)", "1|(28,95)(32,95)(30,50)", "1|(60,95)(30,50)(55,95)", "#",
    "#End_Of_Ovl"};

class RecordingView : public SheetView {
public:
    void InvalidateCell(int c, int r) override { invalidated.insert({c, r}); }
    void OpenInPlaceEditor(int c, int r, const std::string& t, int s, int l) override {
        editor = {c, r, t, s, l};
    }
    std::set<std::pair<int, int>> invalidated;
    struct Editor {
        int col = -1, row = -1;
        std::string text;
        int start = 0, length = 0;
    } editor;
};

class SheetTest : public ::testing::Test {
protected:
    test::ScopedOverlay ovl{kOverlay};
    test::TestDocument document;
    test::VirtualScheduler& clock = document.clock;
    EventManager& events = document.events;
    test::RecordingCanvas canvas;
    RecordingView view;
    std::vector<int> operations;
    std::function<void(CellContext&)> answer = [](CellContext&) {};
    int result = 0;

    std::unique_ptr<Sheet> Make(const std::string& key, Sheet::Params p = {}) {
        p.overlay = &ovl.overlay();
        p.key = key;
        auto sheet = std::make_unique<Sheet>(p, document.Scope(), [this](CellContext& c, int mode) {
            if (mode == kModeDraw) {
                c.request.text = CellName(c.desc->cell) + "#" + std::to_string(c.desc->index);
                return 0;
            }
            operations.push_back(c.operation);
            answer(c);
            return result;
        });
        sheet->SetView(&view);
        sheet->Build(canvas);
        return sheet;
    }
};

std::pair<int, int> At(const Sheet& s) { return {s.Col(), s.Row()}; }

TEST_F(SheetTest, BuildsTheGridAndStartsOnTheFirstSelectableCell) {
    auto s = Make("GI_Sheet_Grid");
    EXPECT_EQ(s->ColCount(), 4);
    EXPECT_EQ(s->RowCount(), 4);
    EXPECT_EQ(s->FixedRows(), 1);
    EXPECT_EQ(s->TitleText(), "Grid");
    EXPECT_EQ(At(*s), std::make_pair(1, 1));
    EXPECT_TRUE(s->Enabled());
    Sheet::Params start;
    start.startCell = CL_Mch_FreqT;
    start.startIndex = 3;
    EXPECT_EQ(At(*Make("GI_Sheet_Grid", start)), std::make_pair(3, 3));
}

TEST_F(SheetTest, MovingSkipsCellsThatCannotBeCurrent) {
    auto s = Make("GI_Sheet_Grid");
    struct Step {
        int key;
        std::pair<int, int> to;
    };
    const Step steps[] = {
        {kVkDown, {1, 3}},                    // over the hole at (1,2)
        {kVkUp, {1, 1}},    {kVkUp, {1, 1}},  // the top edge
        {kVkRight, {3, 1}},                   // over the T cell
        {kVkDown, {3, 2}},  {kVkDown, {3, 3}},
        {kVkLeft, {2, 3}},  {kVkUp, {3, 2}},  // no cell straight up: the nearest in the next row
    };
    for (const Step& st : steps) {
        EXPECT_TRUE(s->KeyDown(st.key, false, false)) << st.key;  // a move only
        EXPECT_EQ(At(*s), st.to) << st.key;
    }
    EXPECT_TRUE(operations.empty());
}

TEST_F(SheetTest, SideKeysAtTheEdgeGoToTheDispatcher) {
    auto s = Make("GI_Sheet_Grid");
    // An operation may change any cell: the view is told so.
    EXPECT_FALSE(s->KeyDown(kVkLeft, false, false));
    EXPECT_TRUE(s->KeyDown(kVkRight, false, false));
    EXPECT_FALSE(s->KeyDown(kVkRight, false, false));
    EXPECT_FALSE(s->KeyDown(kVkF1 + 1, false, false));
    s->TypeChar('7');
    s->DoubleClick(3, 1);
    EXPECT_EQ(operations, (std::vector<int>{0x2500, 0x2700, 0x7100, '7', 256}));
    s->KeyDown(kVkDown, false, true);  // Ctrl+Down does not move
    EXPECT_EQ(At(*s), std::make_pair(3, 1));
}

TEST_F(SheetTest, TailCellsGoWithTheCellOnTheirLeft) {
    auto s = Make("GI_Sheet_Grid");
    EXPECT_TRUE(s->Highlighted(2, 1));
    s->KeyDown(kVkDown, false, false);
    EXPECT_FALSE(s->Highlighted(2, 1));
    s->RightClick(2, 1);
    EXPECT_EQ(At(*s), std::make_pair(1, 1));
}

TEST_F(SheetTest, LoopsCountersAndLineSelection) {
    auto s = Make("GI_Sheet_Lines");
    ASSERT_EQ(s->RowCount(), 5);
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(s->Cell(1, r).index, r - 1) << r;  // a one-line loop adds 1 per row
        EXPECT_EQ(s->Cell(0, r).Text(), "1") << r;   // copied rows keep the first text
    }
    s->KeyDown(kVkDown, true, false);
    s->KeyDown(kVkDown, true, false);
    EXPECT_EQ(At(*s), std::make_pair(1, 3));
    for (int r = 1; r <= 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const bool lineMarked = s->Marks(c, r) & Sheet::kMarkLine;
            EXPECT_EQ(lineMarked, c >= s->FixedCols()) << c << "," << r;
        }
    }
    EXPECT_FALSE(s->Marks(1, 4) & Sheet::kMarkMarked);
    EXPECT_TRUE(s->Highlighted(2, 2));
    s->KeyDown(kVkDown, false, false);  // without Shift the selection ends
    EXPECT_FALSE(s->Marks(1, 2) & (Sheet::kMarkMarked | Sheet::kMarkLine));
}

TEST_F(SheetTest, DirectivesSkipLinesIncludingDirectives) {
    {
        auto s = Make("GI_Sheet_Dir");
        ASSERT_EQ(s->RowCount(), 2);
        EXPECT_EQ(s->Cell(0, 1).Text(), "last");
    }
    document.doc.SetVariant(kVariantDPmr446);
    auto s = Make("GI_Sheet_Dir");
    ASSERT_EQ(s->RowCount(), 3);
    EXPECT_EQ(s->Cell(0, 1).Text(), "digital");
    EXPECT_FATAL(Make("GI_Sheet_Empty"), "Illegal Cell assign");
    EXPECT_FATAL(s->Cell(2, 0), "Illegal Cell selection");
    EXPECT_FATAL(s->Cell(0, 3), "Illegal Cell selection");
}

TEST_F(SheetTest, OperatingActsOnTheAnswer) {
    auto s = Make("GI_Sheet_Lines");
    answer = [](CellContext& c) { c.request.OpenEditor("446.1", 3, 2); };
    s->TypeChar('4');
    EXPECT_EQ(view.editor.text, "446.1");
    EXPECT_EQ(view.editor.start, 3);
    EXPECT_EQ(view.editor.length, 2);
    EXPECT_EQ(view.editor.row, 1);

    std::string committed;
    answer = [&](CellContext& c) { committed = c.request.editText; };
    s->CommitEditor("446.2");
    EXPECT_EQ(committed, "446.2");

    answer = [](CellContext& c) { c.jump = CellAddress{CT_Mch, CL_Mch_FreqT, 2}; };
    s->TypeChar(13);
    EXPECT_EQ(At(*s), std::make_pair(2, 3));

    answer = [](CellContext& c) { c.range = std::make_pair(0, 2); };
    s->TypeChar(' ');
    for (int r = 1; r <= 4; ++r) EXPECT_EQ((s->Marks(2, r) & Sheet::kMarkMarked) != 0, r <= 3) << r;

    int repeats = 0;
    answer = [&](CellContext& c) {
        if (++repeats < 3) c.repeatOperation = 0x41;
    };
    operations.clear();
    s->TypeChar('A');
    EXPECT_EQ(operations, (std::vector<int>{'A', 0x41, 0x41}));
}

TEST_F(SheetTest, RedrawByAddress) {
    auto s = Make("GI_Sheet_Grid");
    struct Case {
        CellAddress address;
        uint16_t flags;
        std::set<std::pair<int, int>> cells;
    };
    const Case cases[] = {
        {{kNoCategory, CL_Mch_FreqT, 1}, 0x01, {{3, 1}}},
        {{kNoCategory, CL_Mch_FreqT, 0}, 0x04, {{3, 1}, {3, 2}, {3, 3}}},
        {{CT_Mch, CL_Null, 3}, 0x08, {{1, 3}, {2, 3}, {3, 3}}},
        {{kNoCategory, CL_Null, 3}, 0x08, {}},  // needs a category
        {{CT_Mch, CL_Null, 2}, 0x40, {{3, 2}, {1, 3}, {2, 3}, {3, 3}}},
        {{CT_Mch, CL_Null, 1}, 0x80, {{1, 1}, {3, 1}}},
        {{kNoCategory, CL_Null, 0}, 0x20, {{1, 1}, {3, 1}, {3, 2}, {1, 3}, {2, 3}, {3, 3}}},
    };
    for (const Case& c : cases) {
        view.invalidated.clear();
        s->RedrawByAddress(c.address, c.flags);
        EXPECT_EQ(view.invalidated, c.cells) << c.flags;
    }
}

TEST_F(SheetTest, PrintingColours) {
    Sheet::Params p;
    p.printerFontHeight = -50;
    p.printScale = 5;
    auto s = Make("GI_Sheet_Dir", p);
    EXPECT_EQ(s->BasicCell().font->height, -50);
    canvas.Clear();
    s->DrawCell(canvas, 1, 1, {0, 0, 100, 40}, false);
    ASSERT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.fills[0].colour, 0x606060u);
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].colour, 0xFFFFFFu);
    EXPECT_EQ(canvas.texts[0].x, 4 * 5);
    canvas.Clear();
    s->DrawCell(canvas, 0, 1, {0, 0, 100, 40}, false);
    EXPECT_TRUE(canvas.fills.empty());  // white paper is not painted
    EXPECT_EQ(canvas.texts.at(0).text, "last");
}

TEST_F(SheetTest, AJoinedTextIsLaidOutOverTheWholeRun) {
    auto s = Make("GI_Sheet_Join");
    // Lay the row out from x = 0 and draw each part in its own rectangle.
    int x = 0;
    std::vector<int> starts;
    for (int c = 0; c < 3; ++c) {
        canvas.Clear();
        s->DrawCell(canvas, c, 0, {x, 0, x + s->ColWidth(c), 20}, false);
        ASSERT_EQ(canvas.texts.size(), 1u) << c;
        EXPECT_EQ(canvas.texts[0].text, "Group head");
        starts.push_back(canvas.texts[0].x);
        x += s->ColWidth(c);
    }
    const int run = s->ColWidth(0) + s->ColWidth(1) + s->ColWidth(2);
    const int centred = (run - test::RecordingCanvas::kCharWidth * 10) / 2;
    EXPECT_EQ(starts, (std::vector<int>{centred, centred, centred}));
}

TEST_F(SheetTest, WarningMarksShowInTheCellCorner) {
    std::vector<uint32_t> colours;
    for (uint8_t marks : {uint8_t{0}, uint8_t{0x04}, uint8_t{0x08}, uint8_t{0x0C}}) {
        Sheet::Params p;
        p.overlay = &ovl.overlay();
        p.key = "GI_Sheet_Grid";
        Sheet marked(p, document.Scope(), [marks](CellContext& c, int) {
            c.warningMarks = marks;
            return 0;
        });
        marked.Build(canvas);
        canvas.Clear();
        marked.DrawCell(canvas, 3, 2, {0, 0, 90, 30}, false);
        colours.push_back(canvas.polygons.empty() ? 0xFFFFFFFFu : canvas.polygons[0].colour);
    }
    EXPECT_EQ(colours, (std::vector<uint32_t>{0xFFFFFFFFu, 0x00C0FFu, 0x0000FFu, 0x0000FFu}));
}

TEST_F(SheetTest, BoundCellsShowTheDispatcherText) {
    auto s = Make("GI_Sheet_Grid");
    EXPECT_EQ(s->CellText(3, 2), "CL_Mch_FreqT#2");
    EXPECT_EQ(s->CellText(0, 2), "2");
    canvas.Clear();
    s->DrawCell(canvas, 1, 1, {0, 0, 140, 20}, true);  // current, focused: highlighted
    // The desktop's selection colour (a blue), deep enough for its white text.
    const uint32_t fill = canvas.fills.at(0).colour;
    EXPECT_GT((fill >> 16) & 0xFF, fill & 0xFF);
    EXPECT_EQ(canvas.texts.at(0).colour, 0xFFFFFFu);
    EXPECT_GE(ContrastRatio(fill, 0xFFFFFF), 4.5);
}

// A grid with nothing to edit has no current cell to show: its first
// heading keeps its own grey and white, focused or not.
TEST_F(SheetTest, AGridWithNothingToEditHighlightsNoCell) {
    auto s = Make("GI_Sheet_Info");
    for (int r = 0; r < s->RowCount(); ++r)
        for (int c = 0; c < s->ColCount(); ++c) EXPECT_FALSE(s->Highlighted(c, r)) << c << "," << r;
    for (const bool focused : {true, false}) {
        canvas.Clear();
        s->DrawCell(canvas, 0, 0, {0, 0, 100, 20}, focused);
        const uint32_t fill = canvas.fills.at(0).colour;
        EXPECT_EQ(fill & 0xFF, (fill >> 8) & 0xFF);  // a grey
        EXPECT_EQ(fill & 0xFF, fill >> 16);
        EXPECT_LT(fill & 0xFF, 0x80u);  // deep enough for white
        EXPECT_EQ(canvas.texts.at(0).colour, 0xFFFFFFu);
    }
}

TEST_F(SheetTest, DisplayTextsAreDisplayCharactersAtEveryRowHeightAndOnPaper) {
    for (bool printing : {false, true}) {
        Sheet::Params p;
        p.overlay = &ovl.overlay();
        p.key = "GI_Sheet_Grid";
        if (printing) {
            p.printerFontHeight = -50;
            p.printScale = 5;
        }
        Sheet s(p, document.Scope(), [](CellContext& c, int) {
            c.request.text = "AB";
            c.request.displayBytes = std::vector<uint8_t>{'A', 'B', ' ', ' '};
            return 0;
        });
        s.Build(canvas);
        const std::vector<int> heights =
            printing ? std::vector<int>{60, 120} : std::vector<int>{12, 18, 30, 80};
        for (int height : heights) {
            SCOPED_TRACE(std::to_string(height) + (printing ? " printed" : " on screen"));
            canvas.Clear();
            s.DrawCell(canvas, 2, 3, {0, 0, 200, height}, false);
            EXPECT_TRUE(canvas.texts.empty());  // no plain text
            ASSERT_FALSE(canvas.polygons.empty());
            int top = height, bottom = 0;
            for (const auto& poly : canvas.polygons) {
                for (const Point& pt : poly.points) {
                    top = std::min(top, pt.y);
                    bottom = std::max(bottom, pt.y);
                }
            }
            // The characters take most of the row's height, inside it.
            EXPECT_GE(top, 0);
            EXPECT_LE(bottom, height);
            EXPECT_GE(bottom - top, height / 2);
        }
    }
}

TEST_F(SheetTest, DraggingPastTheEdgeStepsTheSelectionOn) {
    auto s = Make("GI_Sheet_Lines");
    ASSERT_EQ(At(*s), std::make_pair(1, 1));
    s->LeftButton(true);
    EXPECT_TRUE(s->DragStep(0, 1));
    EXPECT_TRUE(s->DragStep(0, 1));
    EXPECT_EQ(At(*s), std::make_pair(1, 3));
    for (int r = 1; r <= 4; ++r) EXPECT_EQ((s->Marks(2, r) & Sheet::kMarkLine) != 0, r <= 3) << r;
    EXPECT_TRUE(s->DragStep(0, 1));
    EXPECT_FALSE(s->DragStep(0, 1));   // the last row
    EXPECT_FALSE(s->DragStep(-1, 0));  // nothing to the left can be current
    s->LeftButton(false);
    EXPECT_TRUE(operations.empty());
}

TEST_F(SheetTest, TheRunOfAJoinedTextAsShown) {
    auto s = Make("GI_Sheet_Join");
    const int w0 = s->ColWidth(0), w2 = s->ColWidth(2);
    // Column 1 scrolled away: the text runs over columns 0 and 2 as shown.
    auto runs = s->ShownRuns(0, {0, 2, 3}, {0, w0, w0 + w2});
    ASSERT_TRUE(runs[0] && runs[1] && runs[2]);
    EXPECT_EQ(*runs[0], std::make_pair(0, w0 + w2));
    EXPECT_EQ(*runs[1], std::make_pair(0, w0 + w2));
    EXPECT_EQ(*runs[2], std::make_pair(w0 + w2, w0 + w2 + s->ColWidth(3)));
    // None of its continuation shown, the text is not drawn cut.
    runs = s->ShownRuns(0, {0, 3}, {0, w0});
    ASSERT_TRUE(runs[0]);
    EXPECT_EQ(runs[0]->first, runs[0]->second);
    canvas.Clear();
    const Rect empty{0, 0, 0, 20};
    s->DrawCell(canvas, 0, 0, {0, 0, w0, 20}, false, &empty);
    EXPECT_TRUE(canvas.texts.empty());
    // Its owner not shown, a join cell has no run of its own.
    runs = s->ShownRuns(0, {2, 3}, {0, w2});
    EXPECT_FALSE(runs[0]);
    ASSERT_TRUE(runs[1]);
    // Drawn over a given run, the text starts where the run starts.
    canvas.Clear();
    const Rect run{100, 0, 100 + w0 + w2, 20};
    s->DrawCell(canvas, 2, 0, {100 + w0, 0, 100 + w0 + w2, 20}, false, &run);
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].x, 100 + (w0 + w2 - test::RecordingCanvas::kCharWidth * 10) / 2);
}

TEST_F(SheetTest, ARefusalGoesToTheStatusLine) {
    auto s = Make("GI_Sheet_Grid");
    std::vector<std::string> status;
    EventSubscription listener = events.Subscribe([&](const EventRecord& e) {
        if (const StatusText* text = e.Get(ev::kStatusText)) status.push_back(text->text);
    });
    answer = [](CellContext& c) { c.request.refusal = "cannot show that"; };
    s->TypeChar(0xE9);
    clock.Advance(50);
    listener.Cancel();
    ASSERT_FALSE(status.empty());
    EXPECT_EQ(status.back(), "cannot show that");
}

}  // namespace
}  // namespace parlo
