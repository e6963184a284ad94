// The cells of the list-like records: one field per row, from the bytes
// before to the bytes after an edit.
#include <gtest/gtest.h>

#include "cells/CellNames.h"
#include "tests/support/CellHarness.h"

namespace parlo {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Chars(const std::string& s) { return Bytes(s.begin(), s.end()); }

class RecordCellsTest : public test::CellHarness {
protected:
    void SetUp() override { Open(kVariantLmr); }
    void Put(int32_t a, const Bytes& b) {
        Image().WriteBlock(a, b.data(), static_cast<int32_t>(b.size()));
    }
    Bytes Get(int32_t a, size_t n) {
        Bytes b(n);
        Image().ReadBlock(a, b.data(), static_cast<int32_t>(n));
        return b;
    }
};

struct EditCase {
    int category, cell, index;
    int32_t address;
    Bytes before;
    std::string typed;  // committed text, or
    int item;           // the list item chosen (-1: typed)
    Bytes after;
};
const Bytes blank8 = Chars("        ");

// One edit each: the bytes of the field before, what is typed or chosen,
// and the bytes after.
const EditCase kEditCases[] = {
    {CT_DTMF, CL_Dtmf_Text, 2, 0x9781, blank8, "HOME", -1, Chars("HOME    ")},
    {CT_DTMF,
     CL_Dtmf_Code,
     1,
     0x9774,
     Bytes(13, 0xFF),
     "12*#",
     -1,
     {0x12, 0xEF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4}},
    {CT_Scan, CL_ScanList_PwrSave, 3, 0x970F, {0x03}, "", 1, {0x13}},
    {CT_Scan, CL_ScanList_ScanMode, 3, 0x970F, {0x13}, "", 2, {0x12}},
    {CT_Scan, CL_ScanList_DispText, 3, 0x9710, {0xBF}, "", 2, {0x7F}},
    {CT_CTone,
     CL_CTone_RX,
     1,
     0x96C9,
     {0x80, 0x00, 0x80, 0x00},
     "023I",
     -1,
     {0x60, 0x13, 0x60, 0x13}},
    {CT_RX_Code, CL_5TRx_RxCode, 0, 0x993F, Bytes(4, 0xFF), "12345", -1, {0x12, 0x34, 0x5F, 0xFF}},
    {CT_RX_Code, CL_5TRx_Text, 0, 0x9943, blank8, "FLEET", -1, Chars("FLEET   ")},
    {CT_RX_Code, CL_5TRx_Beep, 2, 0x9971, {0xF8}, "", 5, {0xFD}},
    {CT_RX_Code, CL_5TRx_Stun, 2, 0x9972, {0x00}, "", 3, {0x18}},
    {CT_RX_Code, CL_5TRx_EmerCancel, 2, 0x9973, {0x01}, "", 1, {0x81}},
    {CT_TX_Code, CL_5TTx_TxCode, 1, 0x887C, Bytes(4, 0xFF), "A1", -1, {0xA1, 0xFF, 0xFF, 0xFF}},
    {CT_TX_Code, CL_5TTx_InputDigit, 1, 0x9811, {0x01}, "12", -1, {0xC1}},
    {CT_TX_Code, CL_5TTx_Update, 1, 0x9811, {0xC0}, "", 1, {0xC1}},
    {CT_TX_Code, CL_5TTx_Sel, 1, 0x9812, {0x10}, "", 1, {0x00}},
    {CT_TX_Code, CL_5TTx_AbcAud, 1, 0x9812, {0x00}, "", 1, {0x40}},
    {CT_UserTone, CL_UTone_Encode, 2, 0x9621, {0, 0}, "1000", -1, {0x27, 0x10}},
    {CT_UserTone, CL_UTone_Dec_High, 0, 0x963D, {0, 0}, "1050.5 Hz", -1, {0x29, 0x09}},
    {CT_2Tone_Code,
     CL_2T_RxFreq_1st,
     1,
     0x961D,
     Bytes(4, 0),
     "1100-1000",
     -1,
     {0x27, 0x10, 0x2A, 0xF8}},
    {CT_2Tone_Code, CL_2T_RxFreq_2nd, 1, 0x9621, Bytes(4, 0), "", 0, {0x0B, 0x45, 0x0B, 0x45}},
    {CT_2Tone_Code, CL_2TTx_Freq_2nd, 2, 0x887E, {0, 0}, "1500", -1, {0x3A, 0x98}},
    {CT_2Tone_Code, CL_2T_1st_Period, 3, 0x9685, {0}, "1.0", -1, {10}},
    {CT_2Tone_Code, CL_2T_Code_Type, 1, 0x9807, {0xA4}, "", 1, {0xAF}},
    {CT_2Tone_Code, CL_2T_Code_Type, 1, 0x9807, {0xAF}, "", 0, {0xA0}},
    {CT_2Tone_Code, CL_2T_ANS, 4, 0x9994, {0x07}, "", 0, {0x00}},
    {CT_2Tone_Code, CL_2T_ANS, 4, 0x9994, {0x00}, "", 1, {0x01}},
    {CT_2Tone_Code, CL_2T_GroupCall, 5, 0x9999, {0x00}, "", 1, {0x01}},
    {CT_2Tone_Code, CL_2T_Text, 1, 0x9955, blank8, "PAGE", -1, Chars("PAGE    ")},
    {CT_2Tone_Code, CL_2T_Bell, 1, 0x9960, {0x80}, "", 3, {0x83}},
    {CT_MSK_IdGroup, CL_Msk_IdGroup_Bell, 1, 0x9A3C, {0xF0}, "", 2, {0xF2}},
    {CT_MSK_IdGroup, CL_Msk_IdGroup_Alert, 1, 0x9A3B, {0x08}, "", 3, {0x0B}},
    {CT_MSK_IdGroup, CL_Msk_IdGroup_Text, 1, 0x9A31, blank8, "DEPOT", -1, Chars("DEPOT   ")},
    {CT_MSK_CallList, CL_Msk_CallList_Digit, 0, 0x9AB5, {0x01}, "14", -1, {0x91}},
    {CT_MSK_CallList, CL_Msk_CallList_Sel, 0, 0x9AB6, {0xFF}, "", 1, {0xEF}},
    {CT_MSK_Msg_Status, CL_Msk_Msg_Status_Text_Tx, 0, 0x9C15, blank8, "ON SITE", -1,
     Chars("ON SITE ")},
    {CT_MSK_Msg_Status, CL_Msk_Msg_Status_Text_Rx, 0, 0x9D35, blank8, "HELP", -1,
     Chars("HELP    ")},
    {CT_MSK_Msg_Status, CL_Msk_Msg_Status_Rriority, 2, 0x9C35, {0x02}, "", 1, {0x03}},
    {CT_MSK_Msg_Status, CL_Msk_Msg_Status_Beep, 2, 0x9D55, {0x80}, "", 6, {0x86}},
    {CT_MSK_Msg_ShortTxt, CL_Msk_Msg_ShortTxtTxMsg_Sel, 3, 0x9E5B, {0x00}, "", 1, {0x02}},
    {CT_MSK_Msg_ShortTxt, CL_Msk_Msg_ShortTxtTxMsg_1, 3, 0x8990, blank8, "CALL ME", -1,
     Chars("CALL ME ")},
    {CT_Dig_Msg_Status, CL_Dig_Msg_Status_Text_Rx, 1, 0xA0F9, Bytes(16, ' '), "AT BASE", -1,
     Chars("AT BASE         ")},
    {CT_Dig_Msg_Status, CL_Dig_Msg_Status_Beep, 0, 0xA0F5, {0xF0}, "", 4, {0xF4}},
    {CT_Dig_Msg_Status, CL_Dig_Msg_Status_Selection, 0, 0x9E75, {0x00}, "", 1, {0x02}},
    {CT_CEdit, CL_CEdit, 3, 0x9603, {0, 0}, "1F3A", -1, {0x1F, 0x3A}},
};

// The MSK tables are packed by the Tarn variant only, the digital status
// messages by the dPMR446 variant only; the other tables by every variant.
int VariantKeeping(int category) {
    switch (category) {
        case CT_MSK_IdGroup:
        case CT_MSK_CallList:
        case CT_MSK_Msg_Status:
        case CT_MSK_Msg_ShortTxt: return kVariantTarnPmr;
        case CT_Dig_Msg_Status: return kVariantDPmr446;
        default: return kVariantLmr;
    }
}

TEST_F(RecordCellsTest, EditsWriteTheirFieldAndNothingElse) {
    for (const EditCase& c : kEditCases) {
        const std::string what = CellName(c.cell) + "[" + std::to_string(c.index) + "]";
        Open(VariantKeeping(c.category));
        Put(c.address, c.before);
        const EepromImage before = Image();
        const CellContext ctx = c.item >= 0 ? Pick(c.category, c.cell, c.index, c.item)
                                            : Type(c.category, c.cell, c.index, c.typed);
        EXPECT_FALSE(ctx.rejected) << what;
        EXPECT_EQ(Get(c.address, c.after.size()), c.after) << what;
        for (int32_t a = 0; a < Image().GetSize(); ++a) {
            if (a >= c.address && a < c.address + static_cast<int32_t>(c.after.size())) continue;
            ASSERT_EQ(Image().GetByte(a), before.GetByte(a)) << what << " at " << std::hex << a;
        }
    }
}

TEST_F(RecordCellsTest, CellsShowTheirRecords) {
    Open(kVariantTarnPmr);  // keeps the MSK tables as well as the others
    Put(0x88F8, {0x12, 0x34});
    Put(0x88FC, {0x1A, 0x00});
    Put(0x993F + 18 * 3, {0x10, 0xFF, 0xFF, 0xFF});
    Put(0x993F + 18 * 3 + 12, {0x40});  // a marker on the second digit
    Put(0x959A, {0x0E});
    Put(0x8878 + 4 * 2, {0x1E, 0x2F, 0xFF, 0xFF});
    Put(0x97FF + 10 * 2, Chars("TAXI 2  "));
    Put(0x9615 + 8 * 2, {0x27, 0x10, 0x27, 0x10});
    Put(0x8874 + 4 * 2, {0x27, 0x10});
    struct Case {
        int category, cell, index;
        std::string shown;
    };
    const Case cases[] = {
        {CT_MSK_CallList, CL_Msk_CallList_Adr, 0, "1234"},
        {CT_MSK_CallList, CL_Msk_CallList_Adr, 1, "----"},
        {CT_RX_Code, CL_5TRx_RxCode, 3, "1+"},
        {CT_TX_Code, CL_Select_TX_Code, 2, "1*2"},
        {CT_TX_Code, CL_Select_TX_Text, 2, "TAXI 2"},
        {CT_2Tone_Code, CL_2T_RxFreq_1st, 2, "1000.0"},
        {CT_DTMF, CL_Dtmf_ChNo, 0, "1"},
        {CT_DTMF, CL_Dtmf_ChNo, 4, "5"},
        {CT_DTMF, CL_Dtmf_ChNo, 5, "Autodial"},
        {CT_DTMF, CL_Dtmf_ChNo, 7, "Log/ID"},
        // The 2-tone tables start at code 1; entry 0 has no tones.
        {CT_2Tone_Code, CL_2T_RxFreq_1st, 0, "----"},
        {CT_2Tone_Code, CL_2TTx_Freq_1st, 0, "----"},
        {CT_2Tone_Code, CL_2T_Code_Type, 0, "----"},
        // Past the last record.
        {CT_DTMF, CL_Dtmf_Text, 8, "----"},
        {CT_Scan, CL_ScanList_PwrSave, 11, "----"},
        {CT_MSK_Msg_Status, CL_Msk_Msg_Status_Horn, 0, "----"},
        // A 2-tone transmit cell on a page that decodes nothing finds its record.
        {CT_2ToneTX_Common, CL_2TTx_Freq_1st, 2, "1000.0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Show(c.category, c.cell, c.index), c.shown) << CellName(c.cell) << c.index;
}

TEST_F(RecordCellsTest, ShownOnlyAndMissingFieldsRefuseInput) {
    Open(kVariantTarnPmr);
    const EepromImage before = Image();
    struct Case {
        int category, cell, index;
    };
    const Case cases[] = {
        {CT_DTMF, CL_Dtmf_Text, 8},
        {CT_DTMF, CL_Dtmf_ChNo, 1},
        {CT_2Tone_Code, CL_2T_1st_Period, 0},
        {CT_MSK_CallList, CL_Msk_CallList_Adr, 0},
        {CT_TX_Code, CL_Select_TX_Code, 0},
        {CT_MSK_IdGroup, CL_Msk_IdGroup_Adr, 0},
        {CT_MSK_Msg_Status, CL_Msk_Msg_Status_Horn, 0},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(Type(c.category, c.cell, c.index, "12").rejected) << CellName(c.cell);
    EXPECT_TRUE(Image().Equals(before));
}

TEST_F(RecordCellsTest, TheUserCharacterOpensTheCharacterEditor) {
    Put(0x95FD, {0x40, 0x01});
    const CellContext open = Key(CT_CEdit, CL_CEdit, 0, kKeyEnter);
    EXPECT_EQ(open.request.requestEdit, kEditPopup);
    EXPECT_EQ(open.request.popup.kind, PopupKind::CharacterEditor);
    EXPECT_EQ(open.request.popup.current, 0x4001);
    Pick(CT_CEdit, CL_CEdit, 0, 0x3FFF, PopupKind::CharacterEditor);
    EXPECT_EQ(Get(0x95FD, 2), (Bytes{0x3F, 0xFF}));
    EXPECT_EQ(Show(CT_CEdit, CL_CEdit, 0), "3FFF");
    EXPECT_TRUE(Type(CT_CEdit, CL_CEdit, 0, "12345").rejected);
    EXPECT_TRUE(Type(CT_CEdit, CL_CEdit, 0, "G1").rejected);
    EXPECT_EQ(Get(0x95FD, 2), (Bytes{0x3F, 0xFF}));
}

}  // namespace
}  // namespace parlo
