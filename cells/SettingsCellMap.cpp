#include "cells/SettingsCellMap.h"

#include <array>
#include <iterator>
#include <limits>

#include "cells/CellIds.h"
#include "model/PackedLayout.h"

namespace parlo {

namespace {

using namespace codec;

// clang-format off
constexpr SettingCell Field(int cell, int32_t a, int hi, int lo, CodecSetup c) {
    return {cell, Storage::Bits, a, uint8_t(hi), uint8_t(lo), 1, c};
}
constexpr SettingCell Byte(int cell, int32_t a, CodecSetup c) { return Field(cell, a, 7, 0, c); }
constexpr SettingCell Flag(int cell, int32_t a, int bit, const char* list) {
    return Field(cell, a, bit, bit, List(list));
}
constexpr SettingCell Word(int cell, int32_t a, CodecSetup c) {
    return {cell, Storage::Word, a, 15, 0, 2, c};
}
constexpr SettingCell Long(int cell, int32_t a, CodecSetup c) {
    return {cell, Storage::Long, a, 31, 0, 4, c};
}
constexpr SettingCell Nibbles(int cell, int32_t a, int n) {
    return {cell, Storage::Nibbles, a, 0, 0, uint8_t(n), HexCode(n)};
}
constexpr SettingCell Enable(int cell, int item) {
    return {cell, Storage::EnableBit, UserSetEnableAddress(item), 0, uint8_t(item), 1,
            List("GI_Sheet_Sel_UserSetEnable")};
}
constexpr SettingCell Chars(int cell, int32_t a, int n) {
    return {cell, Storage::Text, a, 0, 0, uint8_t(n), {}};
}
constexpr SettingCell Ascii(int cell, int32_t a, int n) {
    return {cell, Storage::Ascii, a, 0, 0, uint8_t(n), {}};
}
constexpr SettingCell NotStored(int cell) { return {cell, Storage::None, -1, 0, 0, 0, {}}; }

constexpr SettingCell VariantMaximum(SettingCell row, int dPmrMaximum) {
    row.dPmrMaximum = dPmrMaximum;
    return row;
}
constexpr SettingCell EditableWhile(SettingCell row, int32_t a, int bit) {
    row.gateAddress = a;
    row.gateBit = uint8_t(bit);
    return row;
}

constexpr const char* kOnOff = "GI_Sheet_Sel_Misc_OnOff";
constexpr const char* kOnOffI = "GI_Sheet_Sel_Misc_OnOff_I";
constexpr const char* kEnable = "GI_Sheet_Sel_Misc_Enable";
constexpr const char* kEnable3 = "GI_Sheet_Sel_Misc_Enable3";
constexpr const char* kCountry = "GI_Sheet_Sel_MSK_Country_Code";
constexpr const char* kSideTone = "GI_Sheet_Sel_Msk_PttSideTone";
constexpr const char* kAccess = "GI_Sheet_Sel_Comm_SetModeAccess";
constexpr const char* kSmartTrunkKey = "GI_Sheet_Sel_KDisp_Key_SmTr";
constexpr const char* kDigitalKey = "GI_Sheet_Sel_Keys_Conv_DPmr446Dig";
constexpr const char* kPolarity = "GI_Sheet_Sel_Maker_DtcsPolar";

constexpr SettingCell kMap[] = {
    // MSK address ranges, timing, configuration, preselection.
    NotStored(CL_Msk_AdrRange_Individual),
    NotStored(CL_Msk_AdrRange_Group),
    Word(CL_Msk_AdrRange_Common, 0x9AA1, ShowNumber()),
    Byte(CL_Msk_AdrRange_CountryCode, 0x9AA5, List(kCountry)),
    NotStored(CL_Msk_AdrRange_Killer),
    Byte(CL_Msk_TimingErr_NA, 0x9BED, Number(1, 8)),
    Byte(CL_Msk_TimingErr_NM, 0x9BEE, Number(1, 8)),
    Byte(CL_Msk_TimingErr_NR, 0x9BEF, Number(1, 8)),
    Byte(CL_Msk_TimingErr_TAC, 0x9BF1, FixedPoint(2, 2, 0.01, 2.55)),
    Byte(CL_Msk_TimingErr_BusyCheck, 0x9BF7, Number(0, 255)),
    Byte(CL_Msk_TimingErr_LetAck, 0x9BF5, FixedPoint(2, 2, 0, 2.55)),
    Byte(CL_Msk_TimingErr_LetCall, 0x9BF6, FixedPoint(2, 2, 0, 2.55)),
    Flag(CL_Msk_Cfg_Enc_PttCall, 0x9C10, 7, kEnable3),
    Flag(CL_Msk_Cfg_Enc_PreEmphasis, 0x9C10, 6, "GI_Sheet_Sel_Msk_PreEmphasis"),
    Word(CL_Msk_Cfg_Enc_SyncvWord, 0x9C09, ShowHexWord()),
    Flag(CL_Msk_Cfg_Enc_PttSideTone, 0x9C10, 2, kSideTone),
    Byte(CL_Msk_Cfg_Dec_BeepRepeatTimer, 0x9C0C, FixedPoint(0, 3, 0, 60.0)),
    Flag(CL_Msk_Cfg_Dec_MuteMskTone, 0x9C10, 5, kOnOff),
    Field(CL_Msk_Cfg_Dec_ANI_Disp, 0x9C12, 5, 4, List("GI_Sheet_Sel_Msk_ANI_Disp")),
    Byte(CL_Msk_Cfg_Dec_ANI_Disp_Timer, 0x9C0B, Timer(10, 0, 255)),
    Word(CL_Msk_Cfg_Status_FixBaseId, 0x9C05, ShowNumber()),
    Flag(CL_Msk_Cfg_Status_Send_PrioA, 0x95A1, 6, kEnable3),
    Flag(CL_Msk_Cfg_Status_Send_On, 0x9C11, 1, kEnable3),
    Flag(CL_Msk_Cfg_Status_Send_Off, 0x9C11, 0, kEnable3),
    Word(CL_Msk_Cfg_Gps_FixBaseId, 0x9C07, ShowNumber()),
    Flag(CL_Msk_Cfg_Gps_Send_Base, 0x9C11, 6, kEnable3),
    Flag(CL_Msk_Cfg_Gps_Auto, 0x9C10, 4, kEnable3),
    Byte(CL_Msk_Cfg_Gps_TimeMarker, 0x9C0E, MinSec(0, 3570, 30)),
    Byte(CL_Msk_Cfg_Gps_IntervalTimer, 0x9C0F, MinSec(30, 3570, 30)),
    Flag(CL_Msk_Cfg_Gps_Send_Logoff, 0x9C11, 4, kEnable3),
    Flag(CL_Msk_Cfg_Gps_Send_Status, 0x9C11, 3, kEnable3),
    Flag(CL_Msk_Cfg_Gps_Send_Sdm, 0x9C11, 5, kEnable3),
    Flag(CL_Msk_Cfg_Gps_Send_Emer, 0x9C11, 7, kEnable3),
    Flag(CL_Msk_Cfg_Gps_Send_ManDown, 0x9C11, 2, kEnable3),
    // The sentence takes the two low bits of 0x9C10, which no other setting uses.
    Field(CL_Msk_Cfg_Gps_Sentence, 0x9C10, 1, 0, List("GI_Sheet_Sel_Msk_GpsSentence")),
    Flag(CL_Msk_Cfg_Etc_PttEnableAtConnect, 0x9C12, 7, kEnable3),
    Word(CL_Msk_Presl_Own_Id, 0x9A15, ShowNumber()),
    Word(CL_Msk_Presl_Common, 0x9A17, ShowNumber()),
    Word(CL_Msk_Presl_Sync, 0x9A19, ShowHexWord()),
    Byte(CL_Msk_Presl_Country, 0x9A1B, List(kCountry)),
    Byte(CL_Msk_Presl_Call_Let, 0x9A1C, FixedPoint(2, 2, 0, 2.55)),
    Field(CL_Msk_Presl_Ptt_Side, 0x9A1D, 3, 2, List(kSideTone)),

    // Digital: programmed messages and timers.
    Chars(CL_Dig_ProgMes_Busy, 0xA379, 8),
    Chars(CL_Dig_ProgMes_Break, 0xA381, 8),
    Chars(CL_Dig_ProgMes_Calling, 0xA389, 8),
    Chars(CL_Dig_ProgMes_Cancelled, 0xA391, 8),
    Chars(CL_Dig_ProgMes_Complete, 0xA399, 8),
    Chars(CL_Dig_ProgMes_Connect, 0xA3A1, 8),
    Chars(CL_Dig_ProgMes_Failed, 0xA3A9, 8),
    Chars(CL_Dig_ProgMes_HiVolt, 0xA3B1, 8),
    Chars(CL_Dig_ProgMes_NoAns, 0xA3B9, 8),
    Chars(CL_Dig_ProgMes_Standby, 0xA3C1, 8),
    Chars(CL_Dig_ProgMes_Wait, 0xA3C9, 8),
    Chars(CL_Dig_ProgMes_Lock, 0xA3D1, 8),
    Chars(CL_Dig_ProgMes_LowBatt, 0xA3D9, 8),
    Field(CL_Dig_Tim_TxWait, 0xA371, 3, 0, List("GI_Sheet_Sel_TxWait_Timer")),
    EditableWhile(Word(CL_Dig_Tim_Chk, 0xA365, Timer(1000, 100, 1275)), 0x000B, 4),
    Word(CL_Dig_Tim_Free, 0xA367, Timer(1000, 100, 1275)),
    Word(CL_Dig_Tim_Tac, 0xA369, Timer(1000, 0, 1275)),
    Byte(CL_Dig_Tim_Breakin, 0xA36B, Timer(10, 0, 255)),
    Byte(CL_Dig_Tim_Wakeup, 0xA36E, Number(0, 16)),
    Byte(CL_Dig_Tim_ND, 0xA36F, Number(1, 8)),
    Byte(CL_Dig_Tim_NR, 0xA370, Number(1, 4)),
    NotStored(CL_Dig_Tim_L0Level),

    // Keys and display.
    Byte(CL_KDisp_Key_Conv_RightUp, 0x8800, KeyAssign()),
    Byte(CL_KDisp_Key_Conv_RightDn, 0x8801, KeyAssign()),
    Byte(CL_KDisp_Key_Conv_LeftUp, 0x8802, KeyAssign()),
    Byte(CL_KDisp_Key_Conv_LeftDn, 0x8803, KeyAssign()),
    Byte(CL_KDisp_Key_Conv_P0, 0x8804, KeyAssign()),
    Byte(CL_KDisp_Key_Conv_P1, 0x8805, KeyAssign()),
    Byte(CL_KDisp_Key_Conv_P2, 0x8806, KeyAssign()),
    Byte(CL_KDisp_Key_Conv_P3, 0x8807, KeyAssign()),
    Byte(CL_KDisp_Key_SmTr_RightUp, 0x8808, List(kSmartTrunkKey)),
    Byte(CL_KDisp_Key_SmTr_RightDn, 0x8809, List(kSmartTrunkKey)),
    Byte(CL_KDisp_Key_SmTr_LeftUp, 0x880A, List(kSmartTrunkKey)),
    Byte(CL_KDisp_Key_SmTr_LeftDn, 0x880B, List(kSmartTrunkKey)),
    Byte(CL_KDisp_Key_SmTr_P0, 0x880C, List(kSmartTrunkKey)),
    Byte(CL_KDisp_Key_SmTr_P1, 0x880D, List(kSmartTrunkKey)),
    Byte(CL_KDisp_Key_SmTr_P2, 0x880E, List(kSmartTrunkKey)),
    Byte(CL_KDisp_Key_SmTr_P3, 0x880F, List(kSmartTrunkKey)),
    Byte(CL_KDisp_Key_Dig_RightUp, 0x8810, List(kDigitalKey)),
    Byte(CL_KDisp_Key_Dig_RightDn, 0x8811, List(kDigitalKey)),
    Byte(CL_KDisp_Key_Dig_LeftUp, 0x8812, List(kDigitalKey)),
    Byte(CL_KDisp_Key_Dig_LeftDn, 0x8813, List(kDigitalKey)),
    Byte(CL_KDisp_Key_Dig_P0, 0x8814, List(kDigitalKey)),
    Byte(CL_KDisp_Key_Dig_P1, 0x8815, List(kDigitalKey)),
    Byte(CL_KDisp_Key_Dig_P2, 0x8816, List(kDigitalKey)),
    Byte(CL_KDisp_Key_Dig_P3, 0x8817, List(kDigitalKey)),
    Flag(CL_KDisp_Tenkey_Select, 0x959F, 4, "GI_Sheet_Sel_KDisp_Tenkey"),
    Flag(CL_KDisp_HangAct_Moni, 0x95A4, 7, kOnOff),
    Flag(CL_KDisp_HangAct_Scan, 0x95A4, 5, kOnOff),
    Flag(CL_KDisp_HangAct_PrioA, 0x95A4, 6, kEnable3),
    Chars(CL_KDisp_OpeningText, 0x9A0D, 8),
    // Bits 4-3 of 0x95A2 are the ones no other setting uses.
    Field(CL_KDisp_RotarySel, 0x95A2, 4, 3, List("GI_Sheet_Sel_KDisp_Rotary")),
    Byte(CL_KDisp_ScrollTimer, 0x9C0D, Timer(10, 0, 255, true)),
    Flag(CL_KDisp_RfPoSel, 0x95A2, 2, "GI_Sheet_Sel_KDisp_RfPwr"),
    // Bits 1-0 of 0x959E are free of other settings.
    Field(CL_KDisp_MrCode, 0x959E, 1, 0, List("GI_Sheet_Sel_MrCode")),
    Flag(CL_KDisp_PwrSW, 0x95A1, 4, "GI_Sheet_Sel_Misc_Enable_I"),
    Flag(CL_KDisp_PrioA_SwOn, 0x95A0, 1, kEnable3),
    Flag(CL_KDisp_PrioA_ClearDown, 0x95A1, 7, kEnable3),

    // Set-mode item texts (4 characters), settings, user enable bits, value texts.
    Chars(CL_TSetM_Backlight, 0xA3F9, 4),
    Chars(CL_TSetM_BeepOn, 0xA401, 4),
    Chars(CL_TSetM_BeepLev, 0xA409, 4),
    Chars(CL_TSetM_SqlLev, 0xA411, 4),
    Chars(CL_TSetM_MicGain, 0xA419, 4),
    Chars(CL_TSetM_BATVDisp, 0xA421, 4),
    NotStored(CL_TSetM_BERDisp),
    Chars(CL_TSetM_SigMoni, 0xA429, 4),
    Chars(CL_TSetM_Ringer, 0xA431, 4),
    Chars(CL_TSetM_Ringer2, 0xA439, 4),
    Chars(CL_TSetM_RingerTimer, 0xA441, 4),
    Chars(CL_TSetM_RingerLev, 0xA449, 4),
    Chars(CL_TSetM_CodeDisp, 0xA451, 4),
    Chars(CL_TSetM_Psave, 0xA459, 4),
    Field(CL_SetM_Backlight, 0x013E, 3, 0, List("GI_Sheet_Sel_SetM_Backlight")),
    Flag(CL_SetM_BeepOn, 0x0130, 7, kOnOff),
    // The beep level shares its byte with the key beep; the AF minimum level
    // takes the byte between the squelch level and the microphone gain.
    Field(CL_SetM_BeepLev, 0x0130, 1, 0, List("GI_Sheet_Sel_SetM_BeepLev")),
    Byte(CL_SetM_SqlLev, 0x0131, Number(0, 255)),
    Flag(CL_SetM_AFMinLev, 0x0132, 7, kOnOff),
    Byte(CL_SetM_MicGain, 0x0133, List("GI_Sheet_Sel_SetM_MicGain")),
    Flag(CL_SetM_BATVDisp, 0x013F, 6, kOnOff),
    NotStored(CL_SetM_BERDisp),
    Flag(CL_SetM_SigMoni, 0x013F, 2, kOnOffI),
    Byte(CL_SetM_Ringer, 0x0134, List("GI_Sheet_Sel_SetM_Ringer")),
    Byte(CL_SetM_Ringer2, 0x0136, List("GI_Sheet_Sel_SetM_RingerOff")),
    Byte(CL_SetM_RingerTimer, 0x0135, Number(0, 16)),
    Field(CL_SetM_RingerLev, 0x0137, 3, 0, List("GI_Sheet_Sel_SetM_RingLev")),
    Flag(CL_SetM_CodeDisp, 0x013E, 4, "GI_Sheet_Sel_SetM_CodeType"),
    Field(CL_SetM_Psave, 0x013F, 1, 0, List("GI_Sheet_Sel_SetM_PowerSave")),
    Enable(CL_USetM_Backlight, 0),
    Enable(CL_USetM_BeepOn, 1),
    Enable(CL_USetM_BeepLev, 5),
    Enable(CL_USetM_SqlLev, 2),
    Enable(CL_USetM_MicGain, 3),
    Enable(CL_USetM_BATVDisp, 4),
    Enable(CL_USetM_BERDisp, 6),
    Enable(CL_USetM_SigMoni, 7),
    Enable(CL_USetM_Ringer, 8),
    Enable(CL_USetM_Ringer2, 12),
    Enable(CL_USetM_RingerTimer, 9),
    Enable(CL_USetM_RingerLev, 13),
    Enable(CL_USetM_CodeDisp, 10),
    Enable(CL_USetM_Psave, 11),
    Chars(CL_TSetI_OFF, 0xA479, 3),
    Chars(CL_TSetI_ON, 0xA481, 3),
    Chars(CL_TSetI_Auto, 0xA489, 3),
    Chars(CL_TSetI_Auto2, 0xA491, 3),
    Chars(CL_TSetI_Code, 0xA499, 3),
    Chars(CL_TSetI_Number, 0xA4A1, 3),
    Chars(CL_TSetI_Ana, 0xA4A9, 3),
    Chars(CL_TSetI_Dig, 0xA4B1, 3),
    Chars(CL_TSetI_Both, 0xA4B9, 3),

    // Common settings.
    Nibbles(CL_Comm_UserPassword, 0x957D, 4),
    Nibbles(CL_Comm_DealerPasscode, 0x957F, 6),
    Flag(CL_Comm_PwrOnPassword, 0x95A2, 5, kOnOff),
    Flag(CL_Comm_IniSetModeAccess, 0x95D9, 7, kAccess),
    Flag(CL_Comm_KeyChgModeAccess, 0x95D9, 6, kAccess),
    Flag(CL_Comm_AllClearAccess, 0x95D9, 5, kAccess),
    Flag(CL_Comm_SetModeAccess, 0x95A0, 3, kAccess),
    NotStored(CL_Comm_EmerIn),
    Byte(CL_Comm_AtResetTimer_A, 0x95BD, Timer(1, 0, 255, true)),
    Byte(CL_Comm_AtResetTimer_B, 0x95BE, Timer(1, 0, 255, true)),
    Byte(CL_Comm_InactiveTimer, 0x95BF, Timer(1, 0, 255)),
    Flag(CL_Comm_Tot, 0xA376, 7, kOnOff),
    // The time-out timer is shown untrimmed, with its three decimals.
    VariantMaximum(Byte(CL_Comm_Tot_Timer, 0x95B9, {CodecKind::Timer, nullptr, 0, 255, 1}), 180),
    Flag(CL_Comm_Tot_ID_Out, 0x95A0, 5, kOnOff),
    Flag(CL_Comm_Tot_Dtmf_ID_Out, 0x95A0, 5, kOnOff),
    Byte(CL_Comm_Tot_PenaltyTimer, 0x95BA, Timer(1, 0, 255, true)),
    Flag(CL_Comm_Tot_Beep, 0x95A0, 4, kOnOff),
    Byte(CL_Comm_Tot_Reset, 0x95CA, FixedPoint(0, 3, 0, 15.0)),
    Ascii(CL_Comm_CloneComment1, 0x95DD, 16),
    Ascii(CL_Comm_CloneComment2, 0x95ED, 16),
    Field(CL_Comm_LockoutAna, 0xA376, 3, 2, List("GI_Sheet_Sel_Mch_Lockout_Ana")),
    Field(CL_Comm_LockoutDig, 0xA376, 1, 0, List("GI_Sheet_Sel_Mch_Lockout_Dig")),
    Byte(CL_Comm_LockoutPenaltyTimer, 0x95BB, Timer(1, 0, 255, true)),
    Flag(CL_Comm_LockoutOverride, 0x95A2, 1, kOnOff),
    Flag(CL_Comm_Ctcss_ToneBurst, 0x959F, 3, "GI_Sheet_Sel_Comm_Ctcss_BurstType"),
    Byte(CL_Comm_Ctcss_ReverseBurst, 0x95A7, Timer(100, 0, 255, true)),
    Flag(CL_Comm_Ctcss_RxAfFilt, 0x959F, 2, "GI_Sheet_Sel_Comm_RxAfSw"),
    Flag(CL_Comm_Ctcss_ChMuteCont, 0x959E, 3, "GI_Sheet_Sel_Exp_ChMuteCont"),
    Field(CL_Comm_RS232C_SPPED, 0x959D, 3, 0, List("GI_Sheet_Sel_Comm_RS232C_SPEED")),
    Field(CL_Comm_RS232C_Mode, 0x959D, 5, 4, List("GI_Sheet_Sel_Comm_RS232C_Mode")),
    Field(CL_Comm_Dig_Rs232c_Speed, 0xA375, 1, 0, List("GI_Sheet_Sel_Dig_RS232C_SPEED")),
    Flag(CL_Comm_Dig_Rs232c_Mode, 0xA375, 4, kOnOff),
    // The emergency timers of the common page are those of the extended page.
    Byte(CL_Comm_EmerTim_On, 0x95B6, Timer(10, 0, 255)),
    Byte(CL_Comm_EmerTim_Off, 0x95B7, Timer(10, 0, 255)),
    Byte(CL_Comm_EmerTim_Start, 0x95B8, Timer(1, 0, 255)),
    NotStored(CL_Comm_EmerTim_Sairen),
    NotStored(CL_Comm_EmerTim_ReCycle),
    Flag(CL_Comm_Scrm_Type, 0x9582, 3, "GI_Sheet_Sel_Comm_Scrm_Type"),
    Field(CL_Comm_Scrm_SyncCapture, 0x9582, 7, 6, List("GI_Sheet_Sel_Comm_Scrm_SyncCapture")),
    Field(CL_Comm_Scrm_GroupCode, 0x9582, 1, 0, List("GI_Sheet_Sel_Comm_Scrm_GroupCode")),
    Field(CL_Comm_Scrm_TStartTiming, 0x9582, 5, 4,
          List("GI_Sheet_Sel_Comm_Scrm_ToneStartTiming")),
    Byte(CL_Comm_PwrSave_Timer1, 0x95C5, Timer(10, 0, 255)),
    Byte(CL_Comm_PwrSave_Timer2, 0x95C6, Timer(1, 0, 255)),
    Flag(CL_Comm_ManDown_ON, 0x959E, 2, kOnOff),
    Byte(CL_Comm_ManDown_Timer, 0x95C7, Timer(10, 0, 255)),
    Byte(CL_Comm_ManDown_TS1, 0x9BF2, Timer(10, 0, 255)),
    Byte(CL_Comm_ManDown_TS2, 0x9BF3, Timer(10, 0, 255)),
    Byte(CL_Comm_ManDown_TS3, 0x9BF4, Timer(10, 0, 255)),
    Flag(CL_Comm_ManDown_Sairen, 0x959F, 7, "GI_Sheet_Sel_Comm_Sairen"),
    Byte(CL_Comm_ManDown_ReCycle, 0x9BF0, Number(1, 8)),
    // Bits 1-0 of 0x95D9 are free of the access settings above them.
    Field(CL_Comm_SmartRing_Beep, 0x95D9, 1, 0, List("GI_Sheet_Sel_SRing_Beep")),
    Byte(CL_Comm_SmartRing_BeepTimer, 0x95BC, FixedPoint(0, 3, 0, 60.0)),
    Flag(CL_Comm_AllSelect, 0x0148, 2, "GI_Sheet_Sel_Comm_SelAll"),
    Flag(CL_Comm_TRDataOut, 0x95A0, 2, kAccess),
    Flag(CL_Comm_Wide, 0x95A2, 7, "GI_Sheet_Sel_Comm_Wide"),
    Flag(CL_Comm_PTTSide, 0xA375, 6, kOnOff),
    Flag(CL_Comm_PTTOver, 0xA375, 5, kOnOff),
    Flag(CL_Comm_PTTwithRinger, 0xA375, 7, kOnOff),
    Byte(CL_Comm_LowBatt1_Periods, 0x95DA, Timer(1, 0, 255, true)),
    Byte(CL_Comm_LowBatt2_Periods, 0x95DB, Timer(1, 0, 255, true)),

    // Extended settings.
    Word(CL_Exp_UserCtcss, 0x9697, FixedPoint(1, 1, 60.0, 300.0)),
    Byte(CL_Exp_Emer_SwOnTimer, 0x95B6, Timer(10, 0, 255)),
    Byte(CL_Exp_Emer_SwOffTimer, 0x95B7, Timer(10, 0, 255)),
    Byte(CL_Exp_Emer_StartRepeat, 0x95B8, Timer(1, 0, 255)),
    // The low beep frequency is the word before the high one.
    Word(CL_Exp_BeepFreq_Low, 0x9587, Number(400, 3000)),
    Word(CL_Exp_BeepFreq_High, 0x9589, Number(400, 3000)),
    Flag(CL_Exp_DtcsInv_Tx, 0x959E, 7, "GI_Sheet_Sel_Exp_DtcsInv"),
    Flag(CL_Exp_DtcsInv_Rx, 0x959E, 6, "GI_Sheet_Sel_Exp_DtcsInv"),
    Field(CL_Exp_ClShift, 0x95A1, 1, 0, List("GI_Sheet_Sel_Exp_ClShift")),
    // Bits 3-2 of 0x95A1 are free of the other settings of the byte.
    Field(CL_Exp_BattTypeChange, 0x95A1, 3, 2, List("GI_Sheet_Sel_Comm_Batt_Type")),
    Flag(CL_Exp_PttSw, 0x95A2, 6, "GI_Sheet_Sel_Misc_Enable_D"),

    // Common scan settings.
    Byte(CL_ScanComm_StopTimer, 0x95B2, Timer(10, 0, 255)),
    Byte(CL_ScanComm_StopTimerB, 0x95C8, Timer(10, 0, 255)),
    Byte(CL_ScanComm_ResumeTimer, 0x95B3, Timer(10, 0, 255)),
    Byte(CL_ScanComm_TalkBackTimer, 0x95C9, Timer(10, 0, 255, true)),
    Byte(CL_ScanComm_ScanTimer_Fast, 0x95A5, Timer(1000, 0, 255)),
    Byte(CL_ScanComm_ScanTimer_Slow, 0x95A6, Timer(100, 0, 255)),
    Flag(CL_ScanComm_PwrOnScan, 0x95A0, 7, kOnOff),
    Flag(CL_ScanComm_AutoChCall_PmrOnly, 0x959F, 1, kOnOff),
    Flag(CL_ScanComm_BacklitatStopScan, 0x95A2, 0, kOnOff),

    // Maker adjustments.
    Flag(CL_Maker_SqlDelay_Op, 0x000B, 7, kOnOffI),
    Byte(CL_Maker_SqlDelay_ResetTimer, 0x001A, Timer(1000, 0, 255)),
    Byte(CL_Maker_Sql_SigDetTimer, 0x0018, Timer(1000, 0, 255)),
    Byte(CL_Maker_Sql_NoiseDetTimer, 0x0019, Timer(1000, 0, 255)),
    Byte(CL_Maker_CtcssDec_Attack, 0x0020, Number(0, 255)),
    Byte(CL_Maker_CtcssDec_Release, 0x0021, Number(0, 255)),
    Byte(CL_Maker_CtcssDec_PS, 0x0022, Number(0, 255)),
    Flag(CL_Maker_Dtcs_TxPolar, 0x000B, 6, kPolarity),
    Flag(CL_Maker_Dtcs_RxPolar, 0x000B, 5, kPolarity),
    Byte(CL_Maker_Dtcs_Decode, 0x0023, Number(12, 23)),
    Byte(CL_Maker_PwrOffTimer, 0x0025, Timer(100, 0, 255)),
    Byte(CL_Maker_PwrOffTimer2, 0x0028, Timer(100, 0, 255)),
    Byte(CL_Maker_ON_Timer1, 0x0026, Timer(100, 0, 255)),
    Byte(CL_Maker_ON_Timer2, 0x0027, Timer(100, 0, 255)),
    Byte(CL_Maker_ON_Timer3, 0x0029, Timer(100, 0, 255)),
    // The IF and the PLL reference are kept in Hz, four bytes each.
    Long(CL_Maker_IfFreq, 0x0010, FixedPoint(6, 4, -99.975, 99.975)),
    Field(CL_Maker_Pll_Type, 0x000B, 1, 0, List("GI_Sheet_Sel_Maker_PllType")),
    Long(CL_Maker_Pll_Reference, 0x0014, FixedPoint(6, 4, 0, 99.975)),
    Byte(CL_Maker_Pll_TxFastTimer, 0x001B, Timer(1000, 0, 255)),
    Byte(CL_Maker_Pll_RxFastTimer, 0x001C, Timer(1000, 0, 255)),
    Byte(CL_Maker_MuteTimer_Tx, 0x001D, Timer(1000, 0, 255)),
    Byte(CL_Maker_MuteTimer_Rx, 0x001E, Timer(1000, 0, 255)),
    Flag(CL_Maker_SetModeAccess, 0x000B, 3, kEnable),
    Flag(CL_Maker_ExtModeAccess, 0x000B, 4, kEnable),
    Flag(CL_Maker_Digital_TxPolar, 0x000C, 4, kPolarity),
    Flag(CL_Maker_Digital_RxPolar, 0x000C, 3, kPolarity),
    Byte(CL_Maker_Digital_Let, 0x002A, Timer(1000, 0, 255)),
    Byte(CL_Maker_Digital_Tack, 0x002B, Timer(1000, 0, 255)),
    Byte(CL_Maker_Liion_Normal_Low1, 0x0030, ShowNumber()),
    Byte(CL_Maker_Liion_Normal_Low2, 0x0031, ShowNumber()),
    Byte(CL_Maker_Liion_Normal_Low3, 0x0032, ShowNumber()),
    Byte(CL_Maker_Liion_Low_Low1, 0x0033, ShowNumber()),
    Byte(CL_Maker_Liion_Low_Low2, 0x0034, ShowNumber()),
    Byte(CL_Maker_Liion_Low_Low3, 0x0035, ShowNumber()),
    Byte(CL_Maker_Liion_Dry_Low1, 0x0036, ShowNumber()),
    Byte(CL_Maker_Liion_Dry_Low2, 0x0037, ShowNumber()),
};
// clang-format on

// Cell number to row, built once.
const std::array<int16_t, kCellCount>& RowIndex() {
    static const std::array<int16_t, kCellCount> index = [] {
        std::array<int16_t, kCellCount> rows{};
        rows.fill(-1);
        for (size_t i = 0; i < std::size(kMap); ++i)
            rows[static_cast<size_t>(kMap[i].cell)] = static_cast<int16_t>(i);
        return rows;
    }();
    return index;
}

uint8_t BitsMask(const SettingCell& row) {
    return static_cast<uint8_t>(((1u << (row.hi - row.lo + 1)) - 1u) << row.lo);
}

}  // namespace

std::span<const SettingCell> SettingCells() { return kMap; }

const SettingCell* SettingCellOf(int cell) {
    if (cell < 0 || cell >= kCellCount) return nullptr;
    const int16_t row = RowIndex()[static_cast<size_t>(cell)];
    return row < 0 ? nullptr : &kMap[row];
}

int SettingMinimum(const SettingCell& row) {
    return row.storage == Storage::Long ? std::numeric_limits<int32_t>::min() : 0;
}

int SettingMaximum(const SettingCell& row) {
    switch (row.storage) {
        case Storage::Bits: return (1 << (row.hi - row.lo + 1)) - 1;
        case Storage::Word: return 0xFFFF;
        case Storage::Long: return std::numeric_limits<int32_t>::max();
        case Storage::Nibbles: return static_cast<int>((uint64_t{1} << (4 * row.width)) - 1);
        case Storage::EnableBit: return 1;
        default: return 0;
    }
}

int ReadSetting(const EepromImage& image, const SettingCell& row) {
    switch (row.storage) {
        case Storage::Bits: return (image.GetByte(row.address) & BitsMask(row)) >> row.lo;
        case Storage::Word: return image.GetWord(row.address);
        case Storage::Long: {
            uint32_t value = 0;
            for (int i = 0; i < 4; ++i) value = value << 8 | image.GetByte(row.address + i);
            return static_cast<int32_t>(value);
        }
        case Storage::Nibbles: {
            int value = 0;
            for (int i = 0; i < row.width; ++i) {
                const uint8_t b = image.GetByte(row.address + i / 2);
                value = value << 4 | (i % 2 == 0 ? b >> 4 : b & 0x0F);
            }
            return value;
        }
        case Storage::EnableBit:
            return (image.GetByte(row.address) & UserSetEnableBit(row.lo)) != 0 ? 1 : 0;
        default: return 0;
    }
}

void WriteSetting(EepromImage& image, const SettingCell& row, int value) {
    switch (row.storage) {
        case Storage::Bits: {
            const uint8_t mask = BitsMask(row);
            const uint8_t b = image.GetByte(row.address);
            image.SetByte(row.address,
                          static_cast<uint8_t>((b & ~mask) | ((value << row.lo) & mask)));
            break;
        }
        case Storage::Word: image.SetWord(row.address, static_cast<uint16_t>(value)); break;
        case Storage::Long:
            for (int i = 0; i < 4; ++i)
                image.SetByte(row.address + i,
                              static_cast<uint8_t>(static_cast<uint32_t>(value) >> (24 - 8 * i)));
            break;
        case Storage::Nibbles:
            for (int i = row.width - 1; i >= 0; --i, value >>= 4) {
                const int32_t a = row.address + i / 2;
                const uint8_t b = image.GetByte(a);
                const auto nibble = static_cast<uint8_t>(value & 0x0F);
                image.SetByte(a, i % 2 == 0 ? static_cast<uint8_t>((b & 0x0F) | nibble << 4)
                                            : static_cast<uint8_t>((b & 0xF0) | nibble));
            }
            break;
        case Storage::EnableBit: {
            const uint8_t bit = UserSetEnableBit(row.lo);
            const uint8_t b = image.GetByte(row.address);
            image.SetByte(row.address, static_cast<uint8_t>(value ? (b | bit) : (b & ~bit)));
            break;
        }
        default: break;
    }
}

bool SettingStoredIn(const SettingCell& row, int variant) {
    int32_t bytes = row.width;
    if (row.storage == Storage::Nibbles) bytes = (row.width + 1) / 2;
    if (row.storage == Storage::Bits || row.storage == Storage::EnableBit) bytes = 1;
    for (int32_t i = 0; i < bytes; ++i) {
        if (!CarriedInVariant(row.address + i, variant)) return false;
    }
    return true;
}

}  // namespace parlo
