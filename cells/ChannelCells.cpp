// The memory-channel cells: each binds a field of the decoded channel record
// to its codec.
#include <vector>

#include "cells/CellDispatcher.h"
#include "cells/CellFamilies.h"
#include "cells/ChannelRoom.h"
#include "codecs/AttributeCodec.h"
#include "codecs/ColourCodeCodec.h"
#include "codecs/DPmrFrequencyCodec.h"
#include "codecs/DigitSetCodec.h"
#include "codecs/FrequencyCodec.h"
#include "codecs/ListCodec.h"
#include "codecs/NumberCodec.h"
#include "codecs/ScramblerCodec.h"
#include "codecs/SegmentText.h"
#include "codecs/ToneCodec.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"

namespace parlo {

namespace {

// ---- Cells that show one record field through a list or a number --------

enum class Edit : uint8_t { List, Signalling, Number };

struct FieldCell {
    int cell;
    Field field;
    Edit edit;
    const char* lmrList;           // the list of the LMR family (kinds 1 and 4)
    const char* pmrList;           // the list of the PMR family (kinds 2 and 3)
    int minimum = 0, maximum = 0;  // numbers
};

constexpr const char* kOnOff = "GI_Sheet_Sel_Misc_OnOff2";

const FieldCell kFieldCells[] = {
    {CL_Mch_Inh, Field::Inhibit, Edit::List, "GI_Sheet_Sel_Mch_ChInh", "GI_Sheet_Sel_Mch_ChInh"},
    {CL_Mch_TxInh, Field::TxInhibit, Edit::List, "GI_Sheet_Sel_Mch_CH_TxInh",
     "GI_Sheet_Sel_Mch_CH_TxInh"},
    {CL_Mch_Nar, Field::Narrow, Edit::List, "GI_Sheet_Sel_Mch_Nar", "GI_Sheet_Sel_Mch_Nar"},
    {CL_Mch_Compander, Field::Compander, Edit::List, kOnOff, kOnOff},
    {CL_Mch_PwrSave, Field::PwrSave, Edit::List, kOnOff, kOnOff},
    {CL_Mch_Tot, Field::Tot, Edit::List, kOnOff, kOnOff},
    {CL_Mch_AutoChScan, Field::AutoChScan, Edit::List, kOnOff, kOnOff},
    {CL_Mch_Log_Msk, Field::LogMsk, Edit::List, kOnOff, kOnOff},
    {CL_Mch_Msk_Log, Field::LogMsk, Edit::List, kOnOff, kOnOff},
    {CL_Mch_RfPo, Field::RfPower, Edit::List, "GI_Sheet_Sel_Mch_RfPwr", "GI_Sheet_Sel_Mch_RfPwr"},
    {CL_Mch_AutoReset, Field::AutoReset, Edit::List, "GI_Sheet_Sel_Mch_AutoReset_Lmr",
     "GI_Sheet_Sel_Mch_AutoReset_Pmr"},
    {CL_Mch_2Tone, Field::TwoToneCode, Edit::List, "GI_Sheet_Sel_Mch_2Tone",
     "GI_Sheet_Sel_Mch_2Tone"},
    {CL_Mch_Log, Field::Log, Edit::List, "GI_Sheet_Sel_Mch_Log_Lmr", "GI_Sheet_Sel_Mch_Log_Lmr"},
    {CL_Mch_Log_Pmr, Field::Log, Edit::List, "GI_Sheet_Sel_Mch_Log_Pmr",
     "GI_Sheet_Sel_Mch_Log_Pmr"},
    {CL_Mch_Scan_Inc, Field::ScanInc, Edit::List, "GI_Sheet_Sel_Mch_ScanInc",
     "GI_Sheet_Sel_Mch_ScanInc"},
    {CL_Mch_Scrm_On, Field::ScrmMode, Edit::List, "GI_Sheet_Sel_Mch_ScramOn",
     "GI_Sheet_Sel_Mch_ScramOn"},
    {CL_Mch_Moni, Field::Moni, Edit::Signalling, "GI_Sheet_Sel_Mch_Moni", "GI_Sheet_Sel_Mch_Moni"},
    {CL_Mch_Sel, Field::Sel, Edit::Signalling, "GI_Sheet_Sel_Mch_Sel", "GI_Sheet_Sel_Mch_Sel"},
    {CL_Mch_Call, Field::Call, Edit::Signalling, "GI_Sheet_Sel_Mch_Call", "GI_Sheet_Sel_Mch_Call"},
    {CL_Mch_PTT, Field::Ptt, Edit::Signalling, "GI_Sheet_Sel_Mch_Ptt", "GI_Sheet_Sel_Mch_Ptt"},
    {CL_Mch_CH_Mute, Field::ChMute, Edit::Signalling, "GI_Sheet_Sel_Mch_ChMute",
     "GI_Sheet_Sel_Mch_ChMute"},
    {CL_Mch_Msk_SendStatus, Field::MskSendStatus, Edit::Signalling, "GI_Sheet_Sel_Mch_SendStatus",
     "GI_Sheet_Sel_Mch_SendStatus"},
    {CL_Mch_Form, Field::Format, Edit::List, "GI_Sheet_Sel_Mch_Form", "GI_Sheet_Sel_Mch_Form"},
    {CL_Mch_Pos, Field::Pos, Edit::List, "GI_Sheet_Sel_Mch_Pos", "GI_Sheet_Sel_Mch_Pos"},
    {CL_Mch_Rpt_L, Field::RptLong, Edit::List, "GI_Sheet_Sel_Mch_LTone", "GI_Sheet_Sel_Mch_LTone"},
    {CL_Mch_Stn_L, Field::StnLong, Edit::List, "GI_Sheet_Sel_Mch_LTone", "GI_Sheet_Sel_Mch_LTone"},
    {CL_Mch_Id_L, Field::IdLong, Edit::List, "GI_Sheet_Sel_Mch_LTone", "GI_Sheet_Sel_Mch_LTone"},
    {CL_Mch_Msk_Sig, Field::MskSig, Edit::List, "GI_Sheet_Sel_Mch_Msk_Signal_Pmr",
     "GI_Sheet_Sel_Mch_Msk_Signal_Pmr"},
    {CL_Mch_Msk_Rpt, Field::MskRptNone, Edit::List, "GI_Sheet_Sel_Mch_Msk_Rpt_1st_Pmr",
     "GI_Sheet_Sel_Mch_Msk_Rpt_1st_Pmr"},
    {CL_Mch_Msk_Stn, Field::StnCode, Edit::List, "GI_Sheet_Sel_Mch_Msk_ID",
     "GI_Sheet_Sel_Mch_Msk_ID"},
    {CL_Mch_Rpt_C, Field::RptCode, Edit::Number, nullptr, nullptr, 0, 127},
    {CL_Mch_Stn_C, Field::StnCode, Edit::Number, nullptr, nullptr, 0, 127},
    {CL_Mch_Id_C, Field::IdCode, Edit::Number, nullptr, nullptr, 0, 127},
    {CL_Mch_Dig_ComID, Field::CommonId, Edit::Number, nullptr, nullptr, 1, 255},
};

const FieldCell* FieldCellOf(int cell) {
    for (const FieldCell& f : kFieldCells) {
        if (f.cell == cell) return &f;
    }
    return nullptr;
}

void HandleFieldCell(CellCall& call) {
    const FieldCell* f = FieldCellOf(call.desc().cell);
    if (f == nullptr) return;
    int value = call.record.Value(f->field);
    CodecResult result = CodecResult::Unchanged;
    if (f->edit == Edit::Number) {
        NumberParams p;
        p.minimum = f->minimum;
        p.maximum = f->maximum;
        result = NumberCodec(call.request(), value, p);
    } else {
        const char* list = IsPmrFamily(call.kind) ? f->pmrList : f->lmrList;
        result = ListCodec(call.request(), value, list,
                           f->edit == Edit::Signalling ? PopupKind::Signalling : PopupKind::List);
    }
    if (result == CodecResult::Changed) call.record.SetValue(f->field, value);
    call.Apply(result);
    call.ctx.warningMarks = ChannelWarningMarks(call.record, call.desc().cell);
}

// Lockout: one list per variant; the dPMR446 variant by signal mode.
void HandleLockout(CellCall& call) {
    const char* list = "GI_Sheet_Sel_Mch_Lockout_Lmr";
    if (call.variant == kVariantPmr || call.variant == kVariantTarnPmr)
        list = "GI_Sheet_Sel_Mch_Lockout_Pmr";
    if (call.variant == kVariantDPmr446)
        list = call.record.Value(Field::SignalMode) == kSignalDigital
                   ? "GI_Sheet_Sel_Mch_Lockout_Dig"
                   : "GI_Sheet_Sel_Mch_Lockout_Ana";
    int value = call.record.Value(Field::Lockout);
    const CodecResult result = ListCodec(call.request(), value, list);
    if (result == CodecResult::Changed) call.record.SetValue(Field::Lockout, value);
    call.Apply(result);
}

// ---- Frequencies, tones, colour codes ----------------------------------------

FrequencyFields FrequenciesOf(const ChannelRecord& r) {
    FrequencyFields f;
    f.rx = static_cast<uint32_t>(r.Value(Field::RxFreq));
    f.tx = static_cast<uint32_t>(r.Value(Field::TxFreq));
    f.present = r.present;
    f.inhibit = r.Value(Field::Inhibit) != 0;
    f.txInhibit = r.Value(Field::TxInhibit) != 0;
    f.freeFrequency = r.Value(Field::FreeFreq) != 0;
    f.signalMode = static_cast<uint8_t>(r.Value(Field::SignalMode));
    f.rxColourCode = static_cast<uint32_t>(r.Value(Field::ColourRx));
    f.txColourCode = static_cast<uint32_t>(r.Value(Field::ColourTx));
    return f;
}

void StoreFrequencies(ChannelRecord& r, const FrequencyFields& f) {
    r.present = f.present;
    r.SetValue(Field::RxFreq, static_cast<int32_t>(f.rx));
    r.SetValue(Field::TxFreq, static_cast<int32_t>(f.tx));
    r.SetValue(Field::Inhibit, f.inhibit);
    r.SetValue(Field::TxInhibit, f.txInhibit);
    r.SetValue(Field::FreeFreq, f.freeFrequency);
    r.SetValue(Field::SignalMode, f.signalMode);
    r.SetValue(Field::ColourRx, static_cast<int32_t>(f.rxColourCode));
    r.SetValue(Field::ColourTx, static_cast<int32_t>(f.txColourCode));
}

bool StartsAChannel(const CellRequest& r) {
    const int key = r.Key();
    return r.Committing() || r.Picking() || key == kKeySpace || key == kKeyBackspace ||
           key == '.' || key == ',' || key == kKeyEnter || (key >= '0' && key <= '9');
}

CodecResult RunFrequencyCodec(CellCall& call, CellRequest& request, FrequencyFields& f,
                              Direction direction) {
    // dPMR446 channels come from the 446 MHz list, except in the fifth bank.
    const bool listed = call.variant == kVariantDPmr446 && call.bank >= 0 && call.bank <= 3;
    return listed ? DPmrFrequencyCodec(request, f, direction)
                  : FrequencyCodec(request, f, direction);
}

// The row for adding a channel. A key says at once when no slot is left and
// opens the editor (or the list); the channel is appended to the bank only
// when a frequency is committed there, so an editor closed with Escape, or a
// text that is no frequency, adds nothing. True when the call goes on with
// the appended channel.
bool AppendTypedChannel(CellCall& call, CellRequest& request) {
    if (call.drawing || !StartsAChannel(request)) {
        if (request.phase != kPhaseNone) call.ctx.rejected = true;
        return false;
    }
    if (!request.Committing() && !request.Picking() && !ChannelSlotFree(call.record.Image())) {
        ShowNoRoom(call.record.Image());
        call.ctx.rejected = true;
        return false;
    }
    // What the input does to a channel not yet there.
    CellRequest trial = request;
    FrequencyFields none;
    const CodecResult result = RunFrequencyCodec(call, trial, none, Direction::Receive);
    if (!none.present) {
        request = trial;
        if (result == CodecResult::Rejected) call.ctx.rejected = true;
        return false;
    }
    if (!AppendChannel({call.doc, call.events}, call.bank)) {
        call.ctx.rejected = true;
        return false;
    }
    call.record.Reload();
    call.newChannelRow = false;
    call.Changed(kRedrawRow | kRedrawSheet);
    return true;
}

void HandleFrequency(CellCall& call, Direction direction) {
    CellRequest& request = call.request();
    if (call.newChannelRow) {
        if (direction != Direction::Receive) {
            if (request.phase != kPhaseNone) call.ctx.rejected = true;
            return;
        }
        if (!AppendTypedChannel(call, request)) return;
    }
    FrequencyFields f = FrequenciesOf(call.record);
    const CodecResult result = RunFrequencyCodec(call, request, f, direction);
    if (result == CodecResult::Changed) StoreFrequencies(call.record, f);
    call.Apply(result);
}

void HandleTone(CellCall& call, Direction direction) {
    ToneFields f;
    f.rx = call.record.tones[0];
    f.tx = call.record.tones[1];
    f.signalMode = static_cast<uint8_t>(call.record.Value(Field::SignalMode));
    const CodecResult result = ToneCodec(call.request(), f, direction, call.variant);
    if (result == CodecResult::Changed) {
        call.record.tones[0] = f.rx;
        call.record.tones[1] = f.tx;
    }
    call.Apply(result);
}

void HandleColourCode(CellCall& call, Direction direction) {
    ColourCodeFields f;
    f.rx = static_cast<uint32_t>(call.record.Value(Field::ColourRx));
    f.tx = static_cast<uint32_t>(call.record.Value(Field::ColourTx));
    f.signalMode = static_cast<uint8_t>(call.record.Value(Field::SignalMode));
    const bool editable = call.variant == kVariantDPmr446 && call.bank == 4;
    const CodecResult result = ColourCodeCodec(call.request(), f, direction, editable);
    if (result == CodecResult::Changed) {
        call.record.SetValue(Field::ColourRx, static_cast<int32_t>(f.rx));
        call.record.SetValue(Field::ColourTx, static_cast<int32_t>(f.tx));
    }
    call.Apply(result);
}

// ---- Number, attributes, name, digit sets --------------------------------------

void HandleNumber(CellCall& call) {
    if (call.newChannelRow) {
        call.request().text = OvlText("GI_NewChTitle");
        return;
    }
    const EepromImage& image = call.record.Image();
    const int slot = call.index();
    const int bank = BankOfSlot(image, slot);
    if (bank >= kBankCount) return;
    call.request().text = Format("%d-%3d", bank + 1, slot - BankFirstSlot(image, bank) + 1);
}

void HandleAttributes(CellCall& call) {
    if (call.newChannelRow) return;
    const char* list =
        call.variant == kVariantDPmr446 ? "GI_Sheet_Sel_Mch_Atr_ExSmt" : "GI_Sheet_Sel_Mch_Atr";
    uint8_t bits = call.record.attributes;
    const CodecResult result = AttributeCodec(call.request(), bits, list);
    if (result == CodecResult::Changed) {
        call.record.attributes = bits;
        call.StoreRecord();
        // The references and the bank flag are shared with other channels.
        call.Changed(kRedrawSheet);
    } else {
        call.Apply(result);
    }
}

void HandleName(CellCall& call) {
    std::string& text = call.record.texts[0];
    std::vector<uint8_t> field(text.begin(), text.end());
    field.resize(8, ' ');
    const CodecResult result = SegmentTextCodec(call.request(), field, false);
    if (result == CodecResult::Changed) text.assign(field.begin(), field.end());
    call.Apply(result);
}

void HandleScanLists(CellCall& call) {
    uint32_t bits = call.record.scanLists;
    DigitSetParams p;
    p.first = 1;
    p.last = 11;
    p.headerStyle = 3;
    const CodecResult result = DigitSetCodec(call.request(), bits, p);
    if (result == CodecResult::Changed) call.record.scanLists = static_cast<uint16_t>(bits);
    call.Apply(result);
}

void HandleReceiveCodes(CellCall& call) {
    uint32_t bits = static_cast<uint32_t>(call.record.Value(Field::RxCodeNo));
    DigitSetParams p;
    p.first = 1;
    p.last = IsPmrFamily(call.kind) ? 8 : 10;
    p.headerStyle = 2;
    const CodecResult result = DigitSetCodec(call.request(), bits, p);
    if (result == CodecResult::Changed)
        call.record.SetValue(Field::RxCodeNo, static_cast<int32_t>(bits));
    call.Apply(result);
}

// MSK receive code numbers 1..7 live in bits 6-0; bit 7 of the byte is kept.
void HandleMskReceiveCodes(CellCall& call) {
    const int32_t stored = call.record.Value(Field::RxCodeNo);
    uint32_t bits = static_cast<uint32_t>((stored & 0x7F) << 1);
    DigitSetParams p;
    p.first = 1;
    p.last = 7;
    p.headerStyle = 2;
    const CodecResult result = DigitSetCodec(call.request(), bits, p);
    if (result == CodecResult::Changed)
        call.record.SetValue(Field::RxCodeNo, static_cast<int32_t>((stored & 0x80) | (bits >> 1)));
    call.Apply(result);
}

void HandleScramblerCode(CellCall& call) {
    int value = call.record.Value(Field::ScrmCode);
    const CodecResult result = ScramblerCodec(call.request(), value);
    if (result == CodecResult::Changed) call.record.SetValue(Field::ScrmCode, value);
    call.Apply(result);
}

void HandleSignalMode(CellCall& call) {
    call.request().text =
        ListText("GI_Sheet_Sel_Mch_Dig_Signal", call.record.Value(Field::SignalMode));
    if (call.request().phase != kPhaseNone) call.ctx.rejected = true;  // shown only
}

}  // namespace

void RegisterChannelCells() {
    for (const FieldCell& f : kFieldCells) CellDispatcher::Register(f.cell, HandleFieldCell);
    CellDispatcher::Register(CL_Mch_Lockout, HandleLockout);
    CellDispatcher::Register(CL_Mch_FreqR,
                             [](CellCall& c) { HandleFrequency(c, Direction::Receive); });
    CellDispatcher::Register(CL_Mch_FreqT,
                             [](CellCall& c) { HandleFrequency(c, Direction::Transmit); });
    CellDispatcher::Register(CL_Mch_CTone_R,
                             [](CellCall& c) { HandleTone(c, Direction::Receive); });
    CellDispatcher::Register(CL_Mch_CTone_T,
                             [](CellCall& c) { HandleTone(c, Direction::Transmit); });
    CellDispatcher::Register(CL_Mch_Dig_CC_R,
                             [](CellCall& c) { HandleColourCode(c, Direction::Receive); });
    CellDispatcher::Register(CL_Mch_Dig_CC_T,
                             [](CellCall& c) { HandleColourCode(c, Direction::Transmit); });
    CellDispatcher::Register(CL_Mch_No, HandleNumber);
    CellDispatcher::Register(CL_Mch_Atr, HandleAttributes);
    CellDispatcher::Register(CL_Mch_Text, HandleName);
    CellDispatcher::Register(CL_Mch_Scan, HandleScanLists);
    CellDispatcher::Register(CL_Mch_RxCNo, HandleReceiveCodes);
    CellDispatcher::Register(CL_Mch_RxCNo2, HandleReceiveCodes);
    CellDispatcher::Register(CL_Mch_Msk_RxCNo, HandleMskReceiveCodes);
    CellDispatcher::Register(CL_Mch_Scrm_Code, HandleScramblerCode);
    CellDispatcher::Register(CL_Mch_Dig_Sig, HandleSignalMode);
}

}  // namespace parlo
