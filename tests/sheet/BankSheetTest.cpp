// The channel bank sheet: rows that follow the bank, title and printing.
#include <gtest/gtest.h>

#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"
#include "sheet/BankSheet.h"
#include "sheet/SheetFactory.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestDocument.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

const std::vector<std::string> kOverlay = {
    "#CellModel_Basic",
    "(Color=clWindow)",
    "#CellModel_Sel",
    "S(Color=clWindow)",
    "#GI_Sheet_Mch_T_Style",
    "(TitleString=Memory channels)(FixedRows=5)(MultiSelect=Line)",
    "#GI_Sheet_Mch_T_BasicCell",
    "{($Basic)}",
    "#GI_Sheet_Mch_T_Cells",
    "Bank",
    "",
    "Layout",
    "",
    "No|Receive",
    ":(LoopFrom)",
    "{($Sel)(%CT_Mch.CL_Mch_No[@ch0])}|{($Sel)(%CT_Mch.CL_Mch_FreqR[@ch0])}",
    ":(LoopTo)",
    "#",
    "#GI_AppInd_MchSheet_Printer_Head",
    "Memory channels, bank",
    "#GI_AppInd_MchSheet_Printer_SmarTrunk",
    "[trunked]",
    "#End_Of_Ovl"};

class BankSheetTest : public ::testing::Test {
protected:
    test::ScopedOverlay ovl{kOverlay};
    test::TestDocument document;
    test::VirtualScheduler& clock = document.clock;
    EventManager& events = document.events;
    EepromImage& image = document.doc.Working();
    test::RecordingCanvas canvas;

    BankSheetTest() {
        const int sizes[] = {4, 0, 3, 3, 0};
        for (int b = 0; b < 5; ++b) SetBankSize(image, b, sizes[b]);
        for (int slot = 0; slot < 10; ++slot) PutChannel(slot);
        const char name[] = "MARINE  ";
        for (int i = 0; i < 8; ++i)
            image.SetByte(kAddrBankNames + 16 + i, static_cast<uint8_t>(name[i]));
    }

    void PutChannel(int slot) {
        image.SetByte(kAddrChannelMain + kChannelMainSize * slot + 1, 0x10);
    }

    std::unique_ptr<Sheet> Make(int bank, bool printing = false) {
        Sheet::Params p;
        p.overlay = &ovl.overlay();
        if (printing) p.printerFontHeight = -40, p.printScale = 5;
        auto s = CreateSheet("[St_ChBank]GI_Sheet_Mch_T,Bank " + std::to_string(bank), p,
                             document.Scope(), [](CellContext&, int) { return 0; });
        s->Build(canvas);
        return s;
    }
};

TEST_F(BankSheetTest, RowsFollowTheBank) {
    auto empty = Make(1);
    auto* bank1 = dynamic_cast<BankSheet*>(empty.get());
    ASSERT_NE(bank1, nullptr);
    EXPECT_EQ(bank1->FirstChannelRow(), 5);
    EXPECT_EQ(empty->RowCount(), 6);  // only the row for adding a channel
    EXPECT_EQ(empty->Cell(1, 5).index, 4);
    EXPECT_FALSE(empty->Printable());

    auto s = Make(2);
    ASSERT_EQ(s->RowCount(), 5 + 4);
    for (int r = 5; r < 9; ++r) EXPECT_EQ(s->Cell(1, r).index, 4 + r - 5) << r;
    EXPECT_TRUE(s->Marks(1, 7) & Sheet::kMarkTakesPart);
    EXPECT_FALSE(s->Marks(1, 8) & Sheet::kMarkTakesPart);  // the adding row
    EXPECT_EQ(s->Cell(1, 73).index, 4 + 68);               // the array reaches 74 rows

    auto printed = Make(2, true);
    EXPECT_EQ(printed->RowCount(), 5 + 3);
    EXPECT_TRUE(printed->Printable());
}

TEST_F(BankSheetTest, AppendingAndRemovingChannels) {
    auto s = Make(2);
    // News of a channel this bank does not have (appended to another bank)
    // adds no row.
    events.Post(ev::kChannelAppended);
    clock.Advance(20);
    EXPECT_EQ(s->RowCount(), 9);
    SetBankSize(image, 2, BankSize(image, 2) + 1);
    events.Post(ev::kChannelAppended);
    clock.Advance(20);
    EXPECT_EQ(s->RowCount(), 10);
    EXPECT_TRUE(s->Marks(1, 8) & Sheet::kMarkTakesPart);
    EXPECT_FALSE(s->Marks(1, 9) & Sheet::kMarkTakesPart);
    EXPECT_EQ(s->RowHeight(9), s->RowHeight(8));
    s->SelectSlot(1, 9);
    events.Post(ev::kChannelRemoved);
    clock.Advance(20);
    EXPECT_EQ(s->RowCount(), 9);
    EXPECT_EQ(s->Row(), 8);
    EXPECT_FALSE(s->Marks(1, 8) & Sheet::kMarkTakesPart);
}

TEST_F(BankSheetTest, TitleAndPrintHead) {
    SetBankFlag(image, 2, true);
    auto s = Make(2);
    auto* bank = static_cast<BankSheet*>(s.get());
    EXPECT_EQ(s->TitleText(), "Memory channels 3: MARINE [trunked] (Left CH - 54)");
    EXPECT_EQ(bank->TitleColour(), 0xFFFF00u);
    EXPECT_EQ(s->PrintHeadText(), "Memory channels, bank 3: MARINE [trunked]");
    SetBankFlag(image, 2, false);
    EXPECT_EQ(bank->TitleColour(), 0x00FFFFu);
    EXPECT_EQ(s->TitleText(), "Memory channels 3: MARINE  (Left CH - 54)");
    const std::vector<BankShown> answer = events.Request(ev::kBankRange);
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(answer[0].bank, 2);
    EXPECT_EQ(answer[0].firstSlot, 4);
}

}  // namespace
}  // namespace parlo
