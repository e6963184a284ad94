// The bank layout option: a layout that would leave channels outside every
// bank changes only when the user agrees to lose them.
#include <gtest/gtest.h>

#include "model/BankMap.h"
#include "overlay/OverlayMessage.h"
#include "tests/support/CellHarness.h"
#include "tests/support/ExpectedImage.h"

namespace parlo {
namespace {

class BankLayoutTest : public test::CellHarness {};

// The dPMR446 factory image holds 24 channels in slots 0..23. In one bank of
// 64 they all stay; banks of 4 and 4 keep slots 0..7 only.
TEST_F(BankLayoutTest, DroppingChannelsAsksFirstWithTheirCount) {
    Open(kVariantDPmr446);
    EepromImage expected = Image();
    Pick(CT_Null, CL_Bank_SelBankFree, 0, 0);
    EXPECT_TRUE(prompts.shown.empty());
    test::SetBankSizes(expected, {64, 0, 0, 0, 0});
    ASSERT_TRUE(test::SameImage(Image(), expected));

    const EepromImage before = Image();
    const int edits = host.edits;
    prompts.answer = MsgAnswer::Cancel;
    Pick(CT_Null, CL_Bank_SelBankFree, 0, 1);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text,
              "The new bank layout leaves 16 channels outside every bank.\n"
              "They are dropped from the document.\n"
              "Change the bank layout?");
    EXPECT_EQ(prompts.shown[0].icon, MsgIcon::Warning);
    EXPECT_EQ(prompts.shown[0].buttons, MsgButtons::OkCancel);
    EXPECT_TRUE(test::SameImage(Image(), before));
    EXPECT_EQ(host.edits, edits);

    prompts.answer = MsgAnswer::Ok;
    Pick(CT_Null, CL_Bank_SelBankFree, 0, 1);
    test::SetBankSizes(expected, {4, 4, 0, 0, 0});
    EXPECT_TRUE(test::SameImage(Image(), expected));
}

// Banks whose channels all fit the new layout change without a question.
TEST_F(BankLayoutTest, ALayoutThatKeepsEveryChannelAsksNothing) {
    Open(kVariantPmr);  // one bank of 64, channels in slots 0..7
    const EepromImage before = Image();
    Pick(CT_Null, CL_Bank_SelBankFree, 0, 1);
    EXPECT_TRUE(prompts.shown.empty());
    EepromImage expected = before;
    test::SetBankSizes(expected, {4, 4, 0, 0, 0});
    EXPECT_TRUE(test::SameImage(Image(), expected));
}

// A size the slots cannot take is clamped to the nearest they can, and the
// user is told why in an error box.
TEST_F(BankLayoutTest, ASizeTheSlotsCannotTakeIsClampedAndSaysWhy) {
    struct Case {
        const char* name;
        int bank;
        const char* typed;
        int size;
        const char* message;  // nullptr: none
    };
    // One bank of 64, channels in slots 0..7, no free slot.
    const Case cases[] = {
        {"into the channels", 0, "4", 8, "GI_AppMess_ChErr_NotBlank"},
        {"past the free slots", 1, "5", 0, "GI_AppMess_ChErr_Overflow"},
        {"by the blank tail", 0, "10", 10, nullptr},
    };
    for (const Case& c : cases) {
        Open(kVariantPmr);
        prompts.shown.clear();
        Type(CT_Null, CL_Mch_Bank, c.bank, c.typed);
        EXPECT_EQ(BankSize(Image(), c.bank), c.size) << c.name;
        ASSERT_EQ(prompts.shown.size(), c.message ? 1u : 0u) << c.name;
        if (c.message) {
            EXPECT_EQ(prompts.shown[0].text, OvlMessage(c.message)) << c.name;
            EXPECT_EQ(prompts.shown[0].icon, MsgIcon::Error) << c.name;
        }
    }
}

}  // namespace
}  // namespace parlo
