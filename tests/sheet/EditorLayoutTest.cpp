// What the editor windows compute without a toolkit: where a window opened
// from a cell goes, the bit-field editor's built-in sheet and value rules,
// and the sheet a choice list opens as.
#include <gtest/gtest.h>

#include "sheet/BitField.h"
#include "sheet/PickListSheet.h"
#include "sheet/PopupPlacement.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestDocument.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

TEST(PopupPlacement, BelowTheCellMovedIntoTheWorkArea) {
    const Rect screen{0, 0, 1280, 1024};
    struct Case {
        const char* what;
        Rect cell;
        int width, height;
        Rect area;
        Point at;
    } cases[] = {
        {"room below: 8 right of the cell, at its bottom",
         {100, 200, 180, 218},
         300,
         200,
         screen,
         {108, 218}},
        // The scan-list editor of a bank sheet, 446 wide, from a cell at the
        // right edge: it ends at the screen's right edge.
        {"at the right edge", {970, 300, 1040, 318}, 446, 120, screen, {834, 318}},
        {"no room below: above the cell", {100, 900, 180, 918}, 300, 200, screen, {108, 700}},
        {"room neither below nor above", {100, 500, 180, 518}, 300, 1000, screen, {108, 24}},
        {"wider than the screen", {100, 200, 180, 218}, 1400, 100, screen, {0, 218}},
        {"a work area that does not start at 0",
         {1300, 40, 1400, 58},
         500,
         300,
         {1280, 30, 2560, 1024},
         {1308, 58}},
    };
    for (const Case& c : cases) {
        const Point p = PlacePopup(c.cell, c.width, c.height, c.area);
        EXPECT_EQ(p.x, c.at.x) << c.what;
        EXPECT_EQ(p.y, c.at.y) << c.what;
        EXPECT_LE(p.x + c.width, std::max(c.area.right, c.area.left + c.width)) << c.what;
    }
}

TEST(BitFieldLayout, HeadTextsByStyle) {
    struct Case {
        int style, first, last;
        const char* heads;
    } cases[] = {
        {1, 1, 16, "1 2 3 4 5 6 7 8 9 A B C D E F 10"},
        {2, 1, 10, "1 2 3 4 5 6 7 8 9 0"},
        {2, 1, 8, "1 2 3 4 5 6 7 8"},
        {3, 1, 11, "1 2 3 4 5 6 7 8 9 0 Z"},
        {4, 1, 5, "A B C D E"},
        {5, 1, 5, "RMC GGA GLL GSA VTG"},
        {6, 0, 7, "B7 B6 B5 B4 B3 B2 B1 B0"},
        {0, 3, 5, "3 4 5"},
    };
    for (const Case& c : cases) {
        std::string heads;
        for (int n = c.first; n <= c.last; ++n)
            heads += (heads.empty() ? "" : " ") + BitFieldHeadText(n, c.last, c.style);
        EXPECT_EQ(heads, c.heads) << "style " << c.style;
    }
}

TEST(BitFieldLayout, TheBuiltInOverlayLines) {
    const std::vector<std::string> expected = {
        "#GI_Sheet_FBitsR_Style",
        "(FixedCols=1)(FixedRows=1)",
        "#GI_Sheet_FBitsR_BasicCell",
        "{($Basic)(PopupMenu=GI_PMenu_NoItem)}",
        "#GI_Sheet_FBitsR_Cells",
        "",
        "|{($iChI)}RMC||{($iChI)}GGA||{($iChI)}GLL|",
        "",
        "|{($eWh)^(%CL_FBits[1])}9|{($iQp)}|{($eWh)^(%CL_FBits[2])}9|{($iQp)}|"
        "{($eWh)^(%CL_FBits[3])}9|",
        "",
        "",
        "#",
        "#CellModel_iChI",
        "^-WH(Color=clGray)(Font=,,clWhite,,,fsBold,)",
        "#CellModel_eWh",
        "S<_WHB",
        "#CellModel_iQp",
        "(%CT_Null.CL_Misc_QuarterPillar)",
        "#CellModel_Basic",
        "<-(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)(PopupMenu=GI_PMenu_Edit)",
        "#GI_PMenu_NoItem_BasicCell",
        "{($Basic)}",
        "#GI_PMenu_NoItem_Body",
        "+No item\t{(%CT_PopupMenu.CL_PMenu_NoItem)}",
        "#",
        "#GI_PMenu_Edit_BasicCell",
        "{($Basic)(%CT_PopupMenu.)}",
        "#GI_PMenu_Edit_Body",
        "+Edit...\t{(%CT_PopupMenu.CL_PMenu_Edit:Enter)}",
        "#",
        "#End_Of_Ovl",
        "",
    };
    EXPECT_EQ(BitFieldOverlayLines(1, 3, kHeaderGpsSentences), expected);
}

TEST(BitFieldLayout, TheBuiltInSheetHasATickCellUnderEveryHead) {
    test::TestDocument document;
    const std::vector<std::string> lines = BitFieldOverlayLines(1, 11, 3);
    OverlayText overlay;
    overlay.SetLines(lines);
    Sheet::Params p;
    p.overlay = &overlay;
    p.key = kBitFieldSheetKey;
    Sheet sheet(p, document.Scope(), [](CellContext&, int) { return 0; });
    test::RecordingCanvas canvas;
    sheet.Build(canvas);
    EXPECT_EQ(sheet.FixedCols(), 1);
    EXPECT_EQ(sheet.FixedRows(), 1);
    int ticks = 0;
    for (int c = 0; c < sheet.ColCount(); ++c) {
        const CellDesc& tick = sheet.Cell(c, 3);
        if (tick.cell != CL_FBits) continue;
        ++ticks;
        EXPECT_TRUE(tick.Selectable());
        EXPECT_EQ(sheet.Cell(c, 1).Text(), BitFieldHeadText(tick.index, 11, 3)) << c;
    }
    EXPECT_EQ(ticks, 11);
    EXPECT_EQ(sheet.Cell(sheet.Col(), sheet.Row()).cell, CL_FBits);  // the first tick is current
}

TEST(BitFieldValue, ItemKIsBit26MinusK) {
    BitFieldValue v(0, 1, 11, 3);
    v.Toggle(1);
    v.Toggle(11);
    EXPECT_EQ(v.Value(), (1u << 25) | (1u << 15));
    EXPECT_TRUE(v.Bit(1));
    EXPECT_FALSE(v.Bit(2));
    v.Toggle(1);
    EXPECT_EQ(v.Value(), 1u << 15);
    // Bits outside the items stay as they were.
    BitFieldValue kept(0x3, 1, 4, 2);
    kept.Toggle(4);
    EXPECT_EQ(kept.Value(), 0x3u | (1u << 22));
}

TEST(BitFieldValue, AtMostThreeGpsSentences) {
    BitFieldValue v(0, 1, 5, kHeaderGpsSentences);
    for (int k : {1, 2, 3}) v.Toggle(k);
    EXPECT_TRUE(v.OkAllowed());
    v.Toggle(5);  // a fourth sentence
    EXPECT_EQ(v.SentencesSet(), 4);
    EXPECT_TRUE(v.TooMany());
    EXPECT_FALSE(v.OkAllowed());
    v.Toggle(2);
    EXPECT_TRUE(v.OkAllowed());
    // Other styles have no limit.
    BitFieldValue many(0, 1, 5, 2);
    for (int k = 1; k <= 5; ++k) many.Toggle(k);
    EXPECT_TRUE(many.OkAllowed());
}

const std::vector<std::string> kListOverlay = {
    "#CellModel_Basic", "<-(Color=clWindow)", "#CellModel_PickItem", "S<-W",
    "#GI_Sheet_SelList_Style", "(NoPrint)", "#GI_Sheet_SelList_BasicCell", "{($Basic)(%CT_Null.)}",
    "#GI_Sheet_SelList_Cells", "{($PickItem)(%%Flex0[%d])}%s|", "#",
    // A list of items only.
    "#GI_Sheet_Sel_Plain", "Off", "Pipe | and \\ back", "On", "#",
    // A list with a sheet of its own: two columns, a head row.
    "#GI_Sheet_Sel_Own", "zero", "one", "#", "#GI_Sheet_Sel_Own_Style", "(FixedRows=1)",
    "#GI_Sheet_Sel_Own_BasicCell", "{($Basic)(%CT_Null.)}", "#GI_Sheet_Sel_Own_Cells",
    "Code|Meaning|", "{S(%Flex0[0])}0|zero|", "{S(%Flex0[1])}1|one|", "#", "#End_Of_Ovl"};

class PickListTest : public ::testing::Test {
protected:
    test::ScopedOverlay ovl{kListOverlay};
    test::TestDocument document;
    test::RecordingCanvas canvas;
    std::vector<CellContext> picks;

    std::unique_ptr<Sheet> Make(const std::string& list) {
        auto sheet = CreatePickSheet(list, {}, document.Scope(), [](CellContext& c, int mode) {
            if (mode == kModeDraw) c.request.text = c.desc->Text();
            return 0;
        });
        sheet->Build(canvas);
        sheet->SetPickHandler([this](CellContext& pick) { picks.push_back(pick); });
        return sheet;
    }
};

TEST_F(PickListTest, AListOfItemsIsOneRowPerItem) {
    auto s = Make("GI_Sheet_Sel_Plain");
    EXPECT_TRUE(s->PickMode());
    ASSERT_EQ(s->RowCount(), 3);
    EXPECT_EQ(s->ColCount(), 1);
    EXPECT_EQ(s->Cell(0, 1).Text(), "Pipe | and \\ back");
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(s->Cell(0, r).cell, Flex0);
        EXPECT_EQ(s->Cell(0, r).index, r);
        EXPECT_TRUE(s->Cell(0, r).Selectable());
    }
    EXPECT_FALSE(s->Printable());
}

TEST_F(PickListTest, AListWithASheetOfItsOwnIsShownAsDescribed) {
    auto s = Make("GI_Sheet_Sel_Own");
    EXPECT_EQ(s->ColCount(), 2);
    EXPECT_EQ(s->RowCount(), 3);
    EXPECT_EQ(s->Cell(1, 0).Text(), "Meaning");
    EXPECT_EQ(s->Cell(0, 2).index, 1);
}

TEST_F(PickListTest, ArrowsWrapAndEnterOrAClickHandsTheItemBack) {
    auto s = Make("GI_Sheet_Sel_Plain");
    EXPECT_EQ(s->Row(), 0);
    s->KeyDown(kVkUp, false, false);  // wraps to the last item
    EXPECT_EQ(s->Row(), 2);
    s->KeyDown(kVkDown, false, false);
    EXPECT_EQ(s->Row(), 0);
    s->TypeChar(13);
    s->DoubleClick(0, 0);
    ASSERT_EQ(picks.size(), 2u);
    EXPECT_TRUE(picks[0].pick);
    EXPECT_EQ(picks[0].desc->index, 0);
    // Other keys are not a choice.
    s->TypeChar(' ');
    EXPECT_EQ(picks.size(), 2u);
    // With scroll bars the arrows stop at the ends.
    s->SetScrollBarsShown(true);
    s->KeyDown(kVkUp, false, false);
    EXPECT_EQ(s->Row(), 0);
}

}  // namespace
}  // namespace parlo
