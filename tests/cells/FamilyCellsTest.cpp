// Every cell of the settings, list-like record, clone information and EEPROM
// debug families on the factory image of each variant: it has a handler,
// shows something (unless the variant keeps it nowhere) and survives keys
// and typing.
#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "cells/CellIndexRange.h"
#include "cells/CellNames.h"
#include "tests/support/CellHarness.h"

namespace parlo {
namespace {

// The families and the category their sheets give them.
struct Family {
    const char* prefix;
    int category;
};
constexpr Family kFamilies[] = {
    {"CL_Msk_IdGroup_", CT_MSK_IdGroup},
    {"CL_Msk_CallList_", CT_MSK_CallList},
    {"CL_Msk_Msg_Status_", CT_MSK_Msg_Status},
    {"CL_Msk_Msg_ShortTxt", CT_MSK_Msg_ShortTxt},
    {"CL_Msk_AdrRange_", CT_MSK_AdrRange},
    {"CL_Msk_TimingErr_", CT_MSK_TimingErr},
    {"CL_Msk_Cfg_", CT_MSK_Cfg},
    {"CL_Msk_", kNoCategory},
    {"CL_Dig_Msg_Status_", CT_Dig_Msg_Status},
    {"CL_Dig_", kNoCategory},
    {"CL_KDisp_", kNoCategory},
    {"CL_TSetM_", kNoCategory},
    {"CL_SetM_", kNoCategory},
    {"CL_USetM_", kNoCategory},
    {"CL_TSetI_", kNoCategory},
    {"CL_Comm_", kNoCategory},
    {"CL_Exp_", kNoCategory},
    {"CL_ScanComm_", kNoCategory},
    {"CL_Maker_", kNoCategory},
    {"CL_2TTx_", CT_2Tone_Code},
    {"CL_2T_", CT_2Tone_Code},
    {"CL_5TRx_", CT_RX_Code},
    {"CL_5TTx_", CT_TX_Code},
    {"CL_Select_", CT_TX_Code},
    {"CL_UTone_", CT_UserTone},
    {"CL_Dtmf_", CT_DTMF},
    {"CL_ScanList_", CT_Scan},
    {"CL_CTone_", CT_CTone},
    {"CL_CEdit", CT_CEdit},
    {"CL_CloneInfo_", kNoCategory},
    {"CL_EeDebugWin_", kNoCategory},
};

std::optional<int> CategoryOf(const std::string& name) {
    for (const Family& f : kFamilies) {
        if (name.rfind(f.prefix, 0) == 0) return f.category;
    }
    return std::nullopt;
}

// Names, messages and codes the factory images leave blank, and the
// over-voltage line of a radio without the indication.
const std::set<int> kMayBeBlank = {
    CL_Dtmf_Text,
    CL_Dtmf_Code,
    CL_5TRx_RxCode,
    CL_5TRx_Text,
    CL_5TTx_TxCode,
    CL_5TTx_Text,
    CL_Select_TX_Code,
    CL_Select_TX_Text,
    CL_2T_Text,
    CL_Msk_IdGroup_Text,
    CL_Msk_CallList_Text,
    CL_Msk_CallList_Digit,
    CL_Msk_Msg_Status_Text_Rx,
    CL_Msk_Msg_Status_Text_Tx,
    CL_Msk_Msg_ShortTxtTxMsg_1,
    CL_Dig_Msg_Status_Text_Rx,
    CL_Dig_Msg_Status_Text_Tx,
    CL_Comm_CloneComment2,
    CL_KDisp_OpeningText,
    CL_CloneInfo_OverVolt,
    CL_CloneInfo_Option,
    CL_CloneInfo_Comment2,
};

bool MayBeBlank(int cell, int variant) {
    // Display texts of the dPMR446 tables are blank in the other variants.
    const std::string name = CellName(cell);
    const bool digitalText = name.rfind("CL_TSetM_", 0) == 0 || name.rfind("CL_TSetI_", 0) == 0 ||
                             name.rfind("CL_Dig_ProgMes_", 0) == 0;
    return kMayBeBlank.count(cell) > 0 || (digitalText && variant != kVariantDPmr446);
}

std::vector<uint8_t> IdentityBlock() {
    std::vector<uint8_t> b(80, '0');
    b[0] = 80;
    const std::string text = "MV7105C         ";
    std::copy(text.begin(), text.end(), b.begin() + 2);
    b[34] = 0x12;
    b[49] = 0x02;
    b[50] = 0x35;
    b[51] = 0x00;
    b[53] = 0x00;
    b[54] = 0x40;
    return b;
}

class FamilyCellsTest : public test::CellHarness {
protected:
    FamilyCellsTest() { doc.SetIdentity(IdentityBlock()); }
};

TEST_F(FamilyCellsTest, EveryCellShowsSomethingOnEachVariant) {
    int cells = 0;
    for (int variant = 0; variant < kVariantCount; ++variant) {
        Open(variant);
        for (int cell = 0; cell < kCellCount; ++cell) {
            const std::string name = CellName(cell);
            const auto category = CategoryOf(name);
            if (!category) continue;
            ++cells;
            ASSERT_NE(CellDispatcher::HandlerOf(cell), nullptr) << name;
            for (int index : {0, 1, 7}) {
                CellContext ctx;
                EXPECT_NO_THROW(ctx = Draw(*category, cell, index)) << name;
                EXPECT_FALSE(ctx.rejected) << name;
                if (!MayBeBlank(cell, variant) && ctx.request.text.empty()) {
                    // Blank only where the variant keeps the setting nowhere.
                    EXPECT_EQ(Type(*category, cell, index, "1").refusal, "not used in this variant")
                        << name << "[" << index << "] " << variant;
                }
            }
        }
    }
    EXPECT_GT(cells, 4 * 500);
}

// Keys, typing and picks on every cell never end the program, and on a
// record index outside the cell's range they change no byte of the image.
TEST_F(FamilyCellsTest, KeysAndTypingNeverEndTheProgramNorWriteOutsideTheRecords) {
    for (int variant = 0; variant < kVariantCount; ++variant) {
        Open(variant);
        for (int cell = 0; cell < kCellCount; ++cell) {
            const auto category = CategoryOf(CellName(cell));
            if (!category) continue;
            const auto range = CellIndexRange(*category, cell);
            for (int index : {0, 10, 64, 5000, -1, -300000000}) {
                const EepromImage before = Image();
                EXPECT_NO_THROW({
                    Key(*category, cell, index, kKeySpace);
                    Key(*category, cell, index, kKeyBackspace);
                    Key(*category, cell, index, kKeyEnter);
                    Key(*category, cell, index, '7');
                    Type(*category, cell, index, "1");
                    Pick(*category, cell, index, 1);
                }) << CellName(cell)
                   << "[" << index << "]";
                if (range && (index < range->first || index > range->last)) {
                    EXPECT_TRUE(Image().Equals(before))
                        << CellName(cell) << "[" << index << "] " << variant;
                }
            }
        }
        EXPECT_EQ(Image().GetSize(), kImageSize);
    }
}

TEST_F(FamilyCellsTest, RowNumbersCountFromTheirIndexOverTheWholeRange) {
    Open(kVariantLmr);
    EXPECT_EQ(Show(kNoCategory, CL_Misc_ChNo_0Base, 5), "5");
    EXPECT_EQ(Show(kNoCategory, CL_Misc_ChNo_1Base, 5), "6");
    EXPECT_EQ(Show(kNoCategory, CL_Misc_ChNo_1Base, std::numeric_limits<int32_t>::max()),
              "2147483648");
}

TEST_F(FamilyCellsTest, CloneInformationShowsTheStoredIdentity) {
    Open(kVariantPmr);
    EXPECT_EQ(Show(kNoCategory, CL_CloneInfo_Model),
              OvlText("GI_AppInd_Model", 1) + "\n" + OvlText("GI_Mess_CloneInfo_TenKey", 0));
    EXPECT_EQ(Show(kNoCategory, CL_CloneInfo_KeyBoard), OvlText("GI_Mess_CloneInfo_TenKey", 0));
    EXPECT_EQ(Show(kNoCategory, CL_CloneInfo_Revision), "1.2");
    EXPECT_EQ(Show(kNoCategory, CL_CloneInfo_Comment1), "MV7105C");
    EXPECT_EQ(Show(kNoCategory, CL_CloneInfo_Option),
              OvlText("GI_Mess_CloneInfo_Opt_OptBoardA") + "\n" +
                  OvlText("GI_Mess_CloneInfo_Opt_OptBoardC") + "\n" +
                  OvlText("GI_Mess_CloneInfo_Opt_OptBoardF") + "\n");
    EXPECT_EQ(Show(kNoCategory, CL_CloneInfo_Esn), "00000000000");
    EXPECT_EQ(Show(kNoCategory, CL_CloneInfo_CheckSum), "$0000");
    EXPECT_EQ(Show(kNoCategory, CL_CloneInfo_PllRef), "----");
    EXPECT_TRUE(Type(kNoCategory, CL_CloneInfo_Comment1, 0, "X").rejected);
    doc.SetIdentity({});
    EXPECT_EQ(Show(kNoCategory, CL_CloneInfo_Model), "");
}

TEST_F(FamilyCellsTest, TheDebugByteSheetShowsTheImageAgainstTheCompareBase) {
    Open(kVariantLmr);
    EepromImage base = Image();
    host.compareBase = &base;
    Image().SetByte(0x0123, 0xA5);
    base.SetByte(0x0123, 0x00);
    EXPECT_EQ(Show(kNoCategory, CL_EeDebugWin_Adr, 0x12), "0120");
    const CellContext changed = Draw(kNoCategory, CL_EeDebugWin_3, 0x12);
    EXPECT_EQ(changed.request.text, "A5");
    EXPECT_EQ(changed.request.fontColour, 0x000000FFu);
    EXPECT_FALSE(Draw(kNoCategory, CL_EeDebugWin_4, 0x12).request.fontColour.has_value());
    // The last row ends with the image.
    const int last = (kImageSize - 1) / 16;
    EXPECT_EQ(Show(kNoCategory, CL_EeDebugWin_0, last).size(), 2u);
    EXPECT_EQ(Show(kNoCategory, CL_EeDebugWin_1, last), "");
    EXPECT_EQ(Show(kNoCategory, CL_EeDebugWin_Adr, last + 1), "");
    EXPECT_TRUE(Type(kNoCategory, CL_EeDebugWin_3, 0x12, "00").rejected);
    EXPECT_EQ(Image().GetByte(0x0123), 0xA5);
}

}  // namespace
}  // namespace parlo
