// Key assignment: function codes, option outputs with their levels, and the
// scrambler's option port.
#include <gtest/gtest.h>

#include "codecs/KeyAssignCodec.h"
#include "codecs/OverlayList.h"
#include "model/ModelVariant.h"
#include "tests/support/CellHarness.h"

namespace parlo {
namespace {

constexpr uint8_t kLevel1 = 0x20, kLevel2 = 0x40, kLevel3 = 0x80;

CellRequest Drawn() { return {}; }

CellRequest Chosen(PopupKind kind, int item) {
    CellRequest r;
    r.grid = true;
    r.phase = kPhasePick;
    r.chosen = ChosenItem{kind, item};
    return r;
}

CellRequest Typed(const std::string& text) {
    CellRequest r;
    r.grid = true;
    r.phase = kPhaseCommit;
    r.editText = text;
    return r;
}

TEST(KeyAssignCodecTest, OptionFunctionsShowTheirOutputLevel) {
    struct Case {
        uint8_t code;
        KeyOptions options;
        std::string shown;
    };
    const Case cases[] = {
        {'0', {kLevel1, 0}, "Option output 1 /H"},
        {'3', {kLevel2 | kLevel3, 0}, "Option output 1 (latched) /L"},
        {'4', {kLevel2, 0}, "Option output 2 (latched) /H"},
        {'2', {kLevel3, 0}, "Option output 3 /H"},
        // The second group keeps no level: always low.
        {'6', {0xFF, 0}, "Option output 1 (pulse) /L"},
        {':', {0xFF, 0}, "Option output 2 (timed) /L"},
        {';', {0xFF, 0}, "Option output 3 (timed) /L"},
        // The scrambler uses the port's output and its level.
        {'I', {kLevel2, 0x01}, "Scrambler OPT2 /H"},
        {'I', {kLevel2, 0xFC}, "Scrambler OPT1 /L"},
        {'I', {kLevel3, 0x02}, "Scrambler OPT3 /H"},
        {'=', {0xFF, 0x01}, "Monitor"},
        {0x00, {}, "Not assigned"},
    };
    for (const Case& c : cases) {
        CellRequest r = Drawn();
        uint8_t code = c.code;
        KeyOptions options = c.options;
        EXPECT_EQ(KeyAssignCodec(r, code, options, kVariantLmr), CodecResult::Unchanged);
        EXPECT_EQ(r.text, c.shown) << c.code;
    }
}

TEST(KeyAssignCodecTest, ChoosingTheScramblerAsksPortThenLevel) {
    uint8_t code = '=';
    KeyOptions options{0x1F, 0xF0};
    CellRequest r = Chosen(PopupKind::List, 'I' - '0');
    EXPECT_EQ(KeyAssignCodec(r, code, options, kVariantPmr), CodecResult::Changed);
    EXPECT_EQ(code, 'I');
    EXPECT_EQ(r.requestEdit, kEditPopup);
    EXPECT_EQ(r.popup.kind, PopupKind::OptionPort);
    EXPECT_EQ(r.popup.list, "GI_Sheet_Sel_KDisp_ScrmOpt_Port");
    EXPECT_EQ(r.popup.current, 0);

    r = Chosen(PopupKind::OptionPort, 2);
    EXPECT_EQ(KeyAssignCodec(r, code, options, kVariantPmr), CodecResult::Changed);
    EXPECT_EQ(options.port, 0xF2);  // only bits 1-0
    EXPECT_EQ(r.popup.kind, PopupKind::OptionLevel);
    EXPECT_EQ(r.popup.list, "GI_Sheet_Sel_KDisp_KeyOpt_HL");
    EXPECT_EQ(r.popup.current, 0);

    r = Chosen(PopupKind::OptionLevel, 1);
    EXPECT_EQ(KeyAssignCodec(r, code, options, kVariantPmr), CodecResult::Changed);
    EXPECT_EQ(options.levels, 0x1F | kLevel3);
    EXPECT_EQ(r.text, "Scrambler OPT3 /H");
    EXPECT_EQ(r.requestEdit, kEditNone);
}

TEST(KeyAssignCodecTest, ChoosingAnOptionFunctionAsksItsLevel) {
    uint8_t code = '=';
    KeyOptions options{kLevel2, 0};
    CellRequest r = Chosen(PopupKind::List, 4);
    KeyAssignCodec(r, code, options, kVariantLmr);
    EXPECT_EQ(code, '4');
    EXPECT_EQ(r.popup.kind, PopupKind::OptionLevel);
    EXPECT_EQ(r.popup.current, 1);  // output 2 is high now
    r = Chosen(PopupKind::OptionLevel, 0);
    KeyAssignCodec(r, code, options, kVariantLmr);
    EXPECT_EQ(options.levels, 0);
    EXPECT_EQ(r.text, "Option output 2 (latched) /L");

    // A function of the second group has no level to ask, and refuses one.
    r = Chosen(PopupKind::List, 7);
    KeyAssignCodec(r, code, options, kVariantLmr);
    EXPECT_EQ(code, '7');
    EXPECT_EQ(r.requestEdit, kEditNone);
    r = Chosen(PopupKind::OptionLevel, 1);
    EXPECT_EQ(KeyAssignCodec(r, code, options, kVariantLmr), CodecResult::Rejected);
    EXPECT_EQ(options.levels, 0);
}

TEST(KeyAssignCodecTest, TypedTextIsReadAsTheCellShowsIt) {
    struct Case {
        std::string typed;
        CodecResult result;
        uint8_t code;
        KeyOptions options;
    };
    const KeyOptions start{0x00, 0x00};
    const Case cases[] = {
        {"monitor", CodecResult::Changed, '=', start},
        {"Scrambler OPT3 /H", CodecResult::Changed, 'I', {kLevel3, 0x02}},
        {"Option output 2 /h", CodecResult::Changed, '1', {kLevel2, 0x00}},
        {"Option output 1 (pulse) /L", CodecResult::Changed, '6', start},
        {"Option output 1 (pulse) /H", CodecResult::Rejected, 0, start},
        {"Monitor OPT2", CodecResult::Rejected, 0, start},
        {"Monitor /H", CodecResult::Rejected, 0, start},
        {"Teleport", CodecResult::Rejected, 0, start},
    };
    for (const Case& c : cases) {
        uint8_t code = 0;
        KeyOptions options = start;
        CellRequest r = Typed(c.typed);
        EXPECT_EQ(KeyAssignCodec(r, code, options, kVariantLmr), c.result) << c.typed;
        EXPECT_EQ(code, c.code) << c.typed;
        EXPECT_EQ(options, c.options) << c.typed;
    }
}

TEST(KeyAssignCodecTest, EachVariantHasItsList) {
    const std::string lists[] = {"GI_Sheet_Sel_Keys_Conv_Lmr", "GI_Sheet_Sel_Keys_Conv_Pmr",
                                 "GI_Sheet_Sel_Keys_Conv_TarnPmr",
                                 "GI_Sheet_Sel_Keys_Conv_DPmr446Ana"};
    for (int v = 0; v < kVariantCount; ++v) {
        EXPECT_EQ(KeyFunctionList(v), lists[v]);
        // Every list reaches the scrambler's code.
        EXPECT_GT(ListCount(lists[v]), 'I' - '0') << lists[v];
        EXPECT_EQ(*ListItem(lists[v], 'I' - '0'), "Scrambler");
    }
    EXPECT_EQ(KeyFunctionList(7), lists[0]);
    uint8_t code = 'Q';
    KeyOptions options;
    CellRequest r = Drawn();
    KeyAssignCodec(r, code, options, kVariantTarnPmr);
    EXPECT_EQ(r.text, "MSK call");
}

TEST(KeyAssignCodecTest, SpaceStepsThroughTheFunctions) {
    const int count = ListCount(KeyFunctionList(kVariantLmr));
    uint8_t code = 0;  // not assigned
    KeyOptions options;
    CellRequest r;
    r.grid = true;
    r.key = kKeySpace;
    KeyAssignCodec(r, code, options, kVariantLmr);
    EXPECT_EQ(code, '0');
    r.key = kKeyBackspace;
    KeyAssignCodec(r, code, options, kVariantLmr);
    EXPECT_EQ(code, '0' + count - 1);
    r.key = kKeyEnter;
    KeyAssignCodec(r, code, options, kVariantLmr);
    EXPECT_EQ(r.popup.kind, PopupKind::List);
    EXPECT_EQ(r.popup.current, count - 1);
}

class KeyAssignCellTest : public test::CellHarness {};

TEST_F(KeyAssignCellTest, AKeyCellWritesItsByteAndTheSharedBitsOnly) {
    Open(kVariantLmr);
    Image().SetByte(kAddrOptionLevels, 0x15);
    Image().SetByte(kAddrScramblerPort, 0xA8);
    const EepromImage before = Image();
    Pick(kNoCategory, CL_KDisp_Key_Conv_P1, 0, 'I' - '0');
    Pick(kNoCategory, CL_KDisp_Key_Conv_P1, 0, 1, PopupKind::OptionPort);
    Pick(kNoCategory, CL_KDisp_Key_Conv_P1, 0, 1, PopupKind::OptionLevel);
    EXPECT_EQ(Image().GetByte(0x8805), 'I');
    EXPECT_EQ(Image().GetByte(kAddrScramblerPort), 0xA9);
    EXPECT_EQ(Image().GetByte(kAddrOptionLevels), 0x15 | kLevel2);
    EXPECT_EQ(Show(kNoCategory, CL_KDisp_Key_Conv_P1), "Scrambler OPT2 /H");
    int changed = 0;
    for (int32_t a = 0; a < Image().GetSize(); ++a)
        changed += Image().GetByte(a) != before.GetByte(a);
    EXPECT_EQ(changed, 3);
    // Another key on the same output shows the same level.
    Image().SetByte(0x8806, '1');
    EXPECT_EQ(Show(kNoCategory, CL_KDisp_Key_Conv_P2), "Option output 2 /H");
}

}  // namespace
}  // namespace parlo
