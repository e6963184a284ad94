// Where the factory layout gives every slot to bank 1 (PMR446: 8 channels
// and 56 empty slots), the bank pages say how a channel can still be added
// and the row marked New says how to make room; once bank 1 is made smaller
// on the Bank layout page, the row marked New adds a channel to bank 2.
#include <gtest/gtest.h>

#include "model/BankMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "tests/gui/SheetUserFixture.h"

namespace parlo {
namespace {

constexpr const char* kBank1 = "[St_ChBank]GI_Sheet_Mch_PMR,Bank 0";
constexpr const char* kBank2 = "[St_ChBank]GI_Sheet_Mch_PMR,Bank 1";
constexpr const char* kBankLayout = "[St_Common]GI_Sheet_Mch_BankOp";
const CellAddress kHint{kNoCategory, CL_Misc_NewChannelHint, 0};

using ChannelRoomTest = test::SheetUserFixture;

TEST_F(ChannelRoomTest, TheBankPagesSayHowToAddAChannelWhenNoSlotIsFree) {
    Open(kVariantPmr, kBank2);
    const std::string emptyRows =
        "All 64 slots belong to banks, so the row marked New takes no channel: type a new "
        "channel into an empty row (56 in bank 1), or make a bank smaller on the Bank layout "
        "page.";
    EXPECT_EQ(CellText(kHint), emptyRows);
    EXPECT_NE(Current().TitleText().find("(Left CH - 56)"), std::string::npos);

    // Bank 2's only row is the one marked New: a key there tells where the
    // 56 are and how to make room, and changes nothing.
    const EepromImage before = Image();
    ClickAndType({CT_Mch, CL_Mch_FreqR, 64}, "4");
    Settle();
    EXPECT_EQ(InPlaceEditor(), nullptr);
    ASSERT_EQ(prompts.shown.size(), 1u);
    const std::string& refusal = prompts.shown[0].text;
    EXPECT_EQ(refusal.rfind("No room for more channels", 0), 0u) << refusal;
    EXPECT_NE(refusal.find("56 of them are empty, the \"Left CH\" count in the bank titles: 56 in "
                           "bank 1."),
              std::string::npos)
        << refusal;
    EXPECT_NE(refusal.find("Bank layout page"), std::string::npos) << refusal;
    EXPECT_TRUE(test::SameImage(Image(), before));

    // In bank 1 an empty row takes a new channel, inhibited as typed
    // channels start.
    Select(kBank1);
    EXPECT_EQ(CellText(kHint), emptyRows);
    ClickAndType({CT_Mch, CL_Mch_FreqR, 8}, "4");
    ASSERT_NE(InPlaceEditor(), nullptr);
    QTest::keyClicks(InPlaceEditor(), "46.1");
    QTest::keyClick(InPlaceEditor(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(CellText({CT_Mch, CL_Mch_FreqR, 8}), "446.100000");
    EXPECT_EQ(CellText({CT_Mch, CL_Mch_Inh, 8}), "Inhibited");
    EXPECT_NE(Current().TitleText().find("(Left CH - 55)"), std::string::npos);

    // Bank 1 made smaller frees slots: bank 2's row marked New takes one.
    Select(kBankLayout);
    ClickAndType({CT_Null, CL_Mch_Bank, 0}, "9");
    ASSERT_NE(InPlaceEditor(), nullptr);
    QTest::keyClick(InPlaceEditor(), Qt::Key_Return);
    Settle();
    Select(kBank2);
    EXPECT_EQ(CellText(kHint),
              "To add a channel, type its receive frequency in the row marked New.");
    prompts.shown.clear();
    ClickAndType({CT_Mch, CL_Mch_FreqR, 9}, "4");
    ASSERT_NE(InPlaceEditor(), nullptr);
    QTest::keyClicks(InPlaceEditor(), "46.2");
    QTest::keyClick(InPlaceEditor(), Qt::Key_Return);
    Settle();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(BankSize(Image(), 0), 9);
    EXPECT_EQ(BankSize(Image(), 1), 1);
    EXPECT_EQ(CellText({CT_Mch, CL_Mch_FreqR, 9}), "446.200000");
}

}  // namespace
}  // namespace parlo
