#include <gtest/gtest.h>

#include "codecs/AttributeCodec.h"
#include "codecs/OverlayList.h"
#include "tests/support/CodecRequests.h"

namespace parlo {
namespace {

using namespace test;

const char* const kFull = "GI_Sheet_Sel_Mch_Atr";
const char* const kNoBankFlag = "GI_Sheet_Sel_Mch_Atr_ExSmt";

TEST(AttributeCodec, ShippedListsOfferTheActions) {
    EXPECT_EQ(ListCount(kFull), 5);
    EXPECT_EQ(ListCount(kNoBankFlag), 4);
}

TEST(AttributeCodec, Letters) {
    struct Case {
        uint8_t bits;
        const char* text;
    } cases[] = {
        {0, ""},
        {kAttrRefA, "A"},
        {kAttrRefB | kAttrRefA, "AB"},
        {kAttrRefA | kAttrRefB | kAttrRefE, "ABE"},
        {kAttrRefE | kAttrSwitchOff, ""},  // the E switch is off
        {kAttrBankFlag | kAttrRefB, "B"},
    };
    for (const Case& c : cases) {
        uint8_t bits = c.bits;
        CellRequest r = Drawn();
        EXPECT_EQ(AttributeCodec(r, bits, kFull), CodecResult::Unchanged);
        EXPECT_EQ(r.text, c.text);
    }
}

TEST(AttributeCodec, TheFiveActions) {
    struct Case {
        uint8_t before;
        int item;
        const char* list;
        CodecResult result;
        uint8_t after;
    } cases[] = {
        {0, 0, kFull, CodecResult::Changed, kAttrRefA},
        {kAttrRefA, 0, kFull, CodecResult::Unchanged, kAttrRefA},
        {kAttrRefA, 1, kFull, CodecResult::Changed, kAttrRefA | kAttrRefB},
        {kAttrSwitchOff, 2, kFull, CodecResult::Changed,
         kAttrRefE},  // choosing E clears the switch bit
        {kAttrRefE | kAttrRefA, 3, kFull, CodecResult::Changed, kAttrSwitchOff | kAttrRefA},
        {0, 4, kFull, CodecResult::Changed, kAttrBankFlag},
        {kAttrBankFlag, 4, kFull, CodecResult::Changed, 0},
        {0, 4, kNoBankFlag, CodecResult::Rejected, 0},
        {0, 5, kFull, CodecResult::Rejected, 0},
        {0, -1, kFull, CodecResult::Rejected, 0},
    };
    for (const Case& c : cases) {
        uint8_t bits = c.before;
        CellRequest r = Picked(c.item);
        EXPECT_EQ(AttributeCodec(r, bits, c.list), c.result) << c.item;
        EXPECT_EQ(bits, c.after) << c.item;
    }
}

TEST(AttributeCodec, EnterOpensTheListAndNothingElseEdits) {
    uint8_t bits = kAttrRefA;
    CellRequest enter = Pressed(kKeyEnter);
    AttributeCodec(enter, bits, kNoBankFlag);
    EXPECT_EQ(enter.requestEdit, kEditPopup);
    EXPECT_EQ(enter.popup.list, kNoBankFlag);
    for (int key : {kKeySpace, kKeyBackspace, int{'A'}}) {
        CellRequest r = Pressed(key);
        EXPECT_EQ(AttributeCodec(r, bits, kFull), CodecResult::Unchanged);
        EXPECT_EQ(r.requestEdit, kEditNone);
    }
    CellRequest typed = Committed("B");
    EXPECT_EQ(AttributeCodec(typed, bits, kFull), CodecResult::Rejected);
    EXPECT_EQ(bits, kAttrRefA);
}

}  // namespace
}  // namespace parlo
