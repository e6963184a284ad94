// The cells of the list-like records: DTMF memories, scan lists, common
// tones, 5-tone and 2-tone codes, user tones, user characters, MSK ID groups,
// call list and messages, digital status messages. A table binds each cell
// to a field of its record kind and a codec; the few that need more have a
// handler of their own.
#include <vector>

#include "cells/CellDispatcher.h"
#include "cells/CellFamilies.h"
#include "codecs/CodecSetup.h"
#include "codecs/CodecText.h"
#include "codecs/DtmfCodec.h"
#include "codecs/FiveToneCodec.h"
#include "codecs/ListCodec.h"
#include "codecs/OverlayList.h"
#include "codecs/SegmentText.h"
#include "codecs/ToneCodec.h"
#include "codecs/ToneFrequencyCodec.h"
#include "model/UserCharacters.h"
#include "overlay/OverlayText.h"
#include "platform/NumberText.h"

namespace parlo {

namespace {

using namespace codec;

// Record kinds of the families.
enum RecordKind : int {
    kKindUserChars = 5,
    kKindDtmf = 6,
    kKindScan = 7,
    kKindCommonTones = 8,
    kKindRxCode = 9,
    kKindTxCode = 10,
    kKindUserTone = 11,
    kKindTwoTone = 12,
    kKindMskIdGroup = 15,
    kKindMskCallList = 16,
    kKindMskStatus = 17,
    kKindMskShortText = 18,
    kKindDigStatus = 19,
};

struct RecordCell {
    int cell;
    int kind;
    Field field;    // Field::Count for a text
    int text;       // the text slot, or -1
    uint8_t shift;  // the codec sees the field shifted left by this
    CodecSetup codec;
};

// clang-format off
constexpr RecordCell Value(int cell, int kind, Field f, CodecSetup c) {
    return {cell, kind, f, -1, 0, c};
}
// A field kept in bits 7-1 of its byte, edited as that byte.
constexpr RecordCell HighBits(int cell, int kind, Field f, CodecSetup c) {
    return {cell, kind, f, -1, 1, c};
}
constexpr RecordCell Text(int cell, int kind, int slot) {
    return {cell, kind, Field::Count, slot, 0, {}};
}

constexpr const char* kOnOff = "GI_Sheet_Sel_Misc_OnOff2";
constexpr const char* kEnable = "GI_Sheet_Sel_Misc_Enable2";
constexpr const char* kBeep = "GI_Sheet_Sel_RxC_Beep";
constexpr const char* kBell = "GI_Sheet_Sel_RxC_Bell";
constexpr const char* kTxFreq = "GI_Sheet_Sel_2TTxC_Freq";

constexpr RecordCell kCells[] = {
    Text(CL_Dtmf_Text, kKindDtmf, 0),

    Text(CL_ScanList_Text, kKindScan, 0),
    Value(CL_ScanList_ScanMode, kKindScan, Field::ScanMode, List("GI_Sheet_Sel_ScanMode")),
    Value(CL_ScanList_PwrSave, kKindScan, Field::ScanPwrSave, List(kOnOff)),
    Value(CL_ScanList_DispText, kKindScan, Field::ScanDispText, List("GI_Sheet_Sel_ScanList_Text")),

    Text(CL_5TRx_Text, kKindRxCode, 0),
    Value(CL_5TRx_Abc, kKindRxCode, Field::RxAbc, List("GI_Sheet_Sel_RxC_AbcCode")),
    Value(CL_5TRx_Aud, kKindRxCode, Field::RxAud, List("GI_Sheet_Sel_RxC_Aud")),
    Value(CL_5TRx_Scan, kKindRxCode, Field::RxScan, List("GI_Sheet_Sel_RxC_Scan")),
    Value(CL_5TRx_Sfunc, kKindRxCode, Field::RxSfunc, List(kOnOff)),
    Value(CL_5TRx_Beep, kKindRxCode, Field::RxBeep, List(kBeep)),
    Value(CL_5TRx_Exo, kKindRxCode, Field::RxExo, List(kOnOff)),
    Value(CL_5TRx_IdDec, kKindRxCode, Field::RxIdDec, List(kOnOff)),
    Value(CL_5TRx_AutoTx, kKindRxCode, Field::RxAutoTx, List(kOnOff)),
    Value(CL_5TRx_Stun, kKindRxCode, Field::RxStun, List("GI_Sheet_Sel_RxC_Stun")),
    Value(CL_5TRx_Bell, kKindRxCode, Field::RxBell, List(kBell)),
    Value(CL_5TRx_EmerCancel, kKindRxCode, Field::RxEmerCancel, List(kOnOff)),

    Text(CL_5TTx_Text, kKindTxCode, 0),
    HighBits(CL_5TTx_InputDigit, kKindTxCode, Field::TxInputDigit, DigitSet(1, 7)),
    Value(CL_5TTx_Update, kKindTxCode, Field::TxUpdate, List(kEnable)),
    Value(CL_5TTx_AbcDec, kKindTxCode, Field::TxAbcDec, List(kOnOff)),
    Value(CL_5TTx_AbcAud, kKindTxCode, Field::TxAbcAud, List(kOnOff)),
    Value(CL_5TTx_Sel, kKindTxCode, Field::TxSel, List(kEnable)),

    Value(CL_UTone_Encode, kKindUserTone, Field::UToneEncode, ToneFrequency(kTxFreq)),
    Value(CL_UTone_Dec_Low, kKindUserTone, Field::UToneDecLow, ToneFrequency(kTxFreq)),
    Value(CL_UTone_Dec_High, kKindUserTone, Field::UToneDecHigh, ToneFrequency(kTxFreq)),

    Text(CL_2T_Text, kKindTwoTone, 0),
    Value(CL_2T_GroupCall, kKindTwoTone, Field::TwoGroupCall, List("GI_Sheet_Sel_2TRxC_Group")),
    Value(CL_2T_ANS, kKindTwoTone, Field::TwoAns, List("GI_Sheet_Sel_RxC_AbcSel")),
    Value(CL_2T_Beep, kKindTwoTone, Field::TwoBeep, List(kBeep)),
    Value(CL_2T_Scan, kKindTwoTone, Field::TwoScan, List("GI_Sheet_Sel_RxC_Scan")),
    Value(CL_2T_Sfunc, kKindTwoTone, Field::TwoSfunc, List(kOnOff)),
    Value(CL_2T_Bell, kKindTwoTone, Field::TwoBell, List(kBell)),
    Value(CL_2T_EXO, kKindTwoTone, Field::TwoExo, List(kOnOff)),
    Value(CL_2T_AutoTx, kKindTwoTone, Field::TwoAutoTx, List(kOnOff)),
    Value(CL_2T_Stun, kKindTwoTone, Field::TwoStun, List("GI_Sheet_Sel_RxC_Stun")),
    Value(CL_2TTx_Freq_1st, kKindTwoTone, Field::TwoTx1st, ToneFrequency(kTxFreq)),
    Value(CL_2TTx_Freq_2nd, kKindTwoTone, Field::TwoTx2nd, ToneFrequency(kTxFreq)),
    Value(CL_2T_1st_Period, kKindTwoTone, Field::TwoPeriod1st, Timer(10, 0, 255)),
    Value(CL_2T_2nd_Period, kKindTwoTone, Field::TwoPeriod2nd, Timer(10, 0, 255)),

    Value(CL_Msk_IdGroup_Adr, kKindMskIdGroup, Field::MskIdAdr, ShowNumber()),
    Text(CL_Msk_IdGroup_Text, kKindMskIdGroup, 0),
    Value(CL_Msk_IdGroup_Alert, kKindMskIdGroup, Field::MskIdAlert, List(kBeep)),
    Value(CL_Msk_IdGroup_Bell, kKindMskIdGroup, Field::MskIdBell,
          List("GI_Sheet_Sel_Msk_IdGroup_Bell")),
    Value(CL_Msk_IdGroup_SFunc, kKindMskIdGroup, Field::MskIdSFunc, List(kOnOff)),

    HighBits(CL_Msk_CallList_Digit, kKindMskCallList, Field::MskCallDigit, DigitSet(1, 4)),
    Text(CL_Msk_CallList_Text, kKindMskCallList, 0),
    Value(CL_Msk_CallList_Update, kKindMskCallList, Field::MskCallUpdate, List(kEnable)),
    Value(CL_Msk_CallList_Sel, kKindMskCallList, Field::MskCallSel, List(kEnable)),

    Value(CL_Msk_Msg_Status_Beep, kKindMskStatus, Field::MskMsgBeep, List(kBeep)),
    Value(CL_Msk_Msg_Status_Auto, kKindMskStatus, Field::MskMsgAuto, List(kOnOff)),
    Value(CL_Msk_Msg_Status_SFunc, kKindMskStatus, Field::MskMsgSFunc, List(kOnOff)),
    Value(CL_Msk_Msg_Status_Rriority, kKindMskStatus, Field::MskMsgPriority,
          List("GI_Sheet_Sel_Msk_StatusMessPrio")),
    Value(CL_Msk_Msg_Status_Selection, kKindMskStatus, Field::MskMsgSelection, List(kOnOff)),
    // The first record of a status message is the one received, the second
    // the one sent.
    Text(CL_Msk_Msg_Status_Text_Rx, kKindMskStatus, 0),
    Text(CL_Msk_Msg_Status_Text_Tx, kKindMskStatus, 1),

    Text(CL_Msk_Msg_ShortTxtTxMsg_1, kKindMskShortText, 0),
    Value(CL_Msk_Msg_ShortTxtTxMsg_Sel, kKindMskShortText, Field::MskShortSel, List(kOnOff)),

    Value(CL_Dig_Msg_Status_Beep, kKindDigStatus, Field::DigMsgBeep, List(kBeep)),
    Value(CL_Dig_Msg_Status_Selection, kKindDigStatus, Field::DigMsgSelection, List(kOnOff)),
    Text(CL_Dig_Msg_Status_Text_Rx, kKindDigStatus, 0),
    Text(CL_Dig_Msg_Status_Text_Tx, kKindDigStatus, 1),
};
// clang-format on

const RecordCell* RecordCellOf(int cell) {
    for (const RecordCell& row : kCells) {
        if (row.cell == cell) return &row;
    }
    return nullptr;
}

// ---- The record a cell works on ------------------------------------------

// The layout rows of a field of a kind.
template <typename Visit>
void ForFieldRows(int kind, Field field, Visit visit) {
    if (const KindLayout* layout = LayoutOf(kind)) {
        for (const LayoutRow& row : layout->rows) {
            if (row.field == field) visit(row);
        }
    }
}

// Whether a field is kept for a record index (the 2-tone tables start at 1).
bool FieldKept(int kind, int index, Field field) {
    bool kept = false;
    ForFieldRows(kind, field, [&](const LayoutRow& row) {
        kept = kept || row.when != When::FromIndex1 || index >= 1;
    });
    return kept;
}

// The largest value a field's stored bits hold.
int FieldMaximum(int kind, Field field) {
    uint32_t maximum = 0;
    ForFieldRows(kind, field, [&](const LayoutRow& row) {
        if (row.form == Form::Bits)
            maximum |= (row.mask >> row.pos) << row.vshift;
        else if (row.form == Form::Inverted || row.form == Form::NonZero)
            maximum |= 1;
        else
            maximum = 0xFFFF;
    });
    return static_cast<int>(maximum);
}

// The characters of a text slot of a kind.
size_t TextWidth(int kind, int slot) {
    size_t width = 0;
    if (const KindLayout* layout = LayoutOf(kind)) {
        for (const LayoutRow& row : layout->rows) {
            if (row.form == Form::Text && row.slot == slot) width = row.width;
        }
    }
    return width;
}

// Decodes the cell's own kind when its category decoded another one (a
// 2-tone transmit cell on the 2-tone common page); false when the index
// lies outside the kind's records, after showing so.
bool Prepare(CellCall& call, int kind) {
    if (call.record.Kind() != kind) {
        call.record.Decode(kind, call.index());
        call.Changed(kRedrawDecoded);
    }
    if (call.record.present) return true;
    call.request().text = kNotStoredText;
    if (call.request().phase != kPhaseNone) call.ctx.rejected = true;
    return false;
}

void ShowFixed(CellCall& call, std::string text) {
    call.request().text = std::move(text);
    if (call.request().phase != kPhaseNone) call.ctx.rejected = true;
}

void EditText(CellCall& call, int slot) {
    std::string& text = call.record.texts[static_cast<size_t>(slot)];
    std::vector<uint8_t> field(text.begin(), text.end());
    field.resize(TextWidth(call.record.Kind(), slot), ' ');
    const CodecResult result = SegmentTextCodec(call.request(), field, false);
    if (result == CodecResult::Changed) text.assign(field.begin(), field.end());
    call.Apply(result);
}

void HandleRecordCell(CellCall& call) {
    const RecordCell* row = RecordCellOf(call.desc().cell);
    if (row == nullptr || !Prepare(call, row->kind)) return;
    if (row->text >= 0) return EditText(call, row->text);
    if (!FieldKept(row->kind, call.index(), row->field)) return ShowFixed(call, kNotStoredText);
    const int maximum = FieldMaximum(row->kind, row->field);
    const CodecContext context{call.variant, &call.record.Image(), maximum << row->shift};
    int value = call.record.Value(row->field) << row->shift;
    CodecResult result = RunCodec(call.request(), value, row->codec, context);
    if (result == CodecResult::Changed && (value < 0 || (value >> row->shift) > maximum))
        result = CodecResult::Rejected;
    if (result == CodecResult::Changed) call.record.SetValue(row->field, value >> row->shift);
    call.Apply(result);
}

// ---- Cells with a codec of their own --------------------------------------

FiveToneParams FiveToneOf(const ChannelRecord& r, Direction direction) {
    FiveToneParams p;
    p.direction = direction;
    p.repeatTone = static_cast<uint8_t>(r.Value(Field::RepeatTone));
    return p;
}

FiveToneCode FiveToneCodeOf(const ChannelRecord& r) {
    FiveToneCode code;
    std::copy_n(r.raw.begin(), code.packed.size(), code.packed.begin());
    code.marker = static_cast<uint8_t>(r.Value(Field::RxMarker));
    return code;
}

void HandleFiveToneCode(CellCall& call, int kind, Direction direction) {
    if (!Prepare(call, kind)) return;
    FiveToneCode code = FiveToneCodeOf(call.record);
    const CodecResult result =
        FiveToneCodec(call.request(), code, FiveToneOf(call.record, direction));
    if (result == CodecResult::Changed) {
        std::copy(code.packed.begin(), code.packed.end(), call.record.raw.begin());
        if (direction == Direction::Receive) call.record.SetValue(Field::RxMarker, code.marker);
    }
    call.Apply(result);
}

// The transmit code a selective call sends, shown with the 5-tone codes.
void HandleSelectCode(CellCall& call) {
    if (!Prepare(call, kKindTxCode)) return;
    ShowFixed(call, FiveToneText(FiveToneCodeOf(call.record),
                                 FiveToneOf(call.record, Direction::Transmit)));
}

void HandleSelectText(CellCall& call) {
    if (!Prepare(call, kKindTxCode)) return;
    const std::string& text = call.record.texts[0];
    ShowFixed(call,
              SegmentTextForm({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, false));
}

void HandleDtmfCode(CellCall& call) {
    if (!Prepare(call, kKindDtmf)) return;
    DtmfDigits digits;
    std::copy_n(call.record.raw.begin(), digits.packed.size(), digits.packed.begin());
    digits.count = call.record.Value(Field::DtmfCount);
    const CodecResult result = DtmfCodec(call.request(), digits, kDtmfMaxDigits);
    if (result == CodecResult::Changed) {
        std::copy(digits.packed.begin(), digits.packed.end(), call.record.raw.begin());
        call.record.SetValue(Field::DtmfCount, digits.count);
    }
    call.Apply(result);
}

// The memories are numbered from 1; the last ones are the radio's special
// memories, named by the overlay.
void HandleDtmfNumber(CellCall& call) {
    if (!Prepare(call, kKindDtmf)) return;
    const int count = LayoutOf(kKindDtmf)->tables[0].count;
    const int specials = ListCount("GI_AppInd_Dtmf_Special");
    const int special = call.index() - (count - specials);
    ShowFixed(call, special >= 0 ? OvlText("GI_AppInd_Dtmf_Special", special)
                                 : std::to_string(call.index() + 1));
}

void HandleCommonTone(CellCall& call, Direction direction) {
    if (!Prepare(call, kKindCommonTones)) return;
    ToneFields f;
    f.rx = call.record.tones[0];
    f.tx = call.record.tones[1];
    const CodecResult result = ToneCodec(call.request(), f, direction, call.variant);
    if (result == CodecResult::Changed) {
        call.record.tones[0] = f.rx;
        call.record.tones[1] = f.tx;
    }
    call.Apply(result);
}

// A 2-tone receive tone: the window its decoder accepts, two words.
void HandleTwoToneWindow(CellCall& call, Field low, Field high) {
    if (!Prepare(call, kKindTwoTone)) return;
    if (!FieldKept(kKindTwoTone, call.index(), low)) return ShowFixed(call, kNotStoredText);
    ToneWindow window{call.record.Value(low), call.record.Value(high)};
    const CodecResult result =
        ToneWindowCodec(call.request(), window, "GI_Sheet_Sel_2TRxC_Freq", 0.0, 3000.0);
    if (result == CodecResult::Changed) {
        call.record.SetValue(low, window.low);
        call.record.SetValue(high, window.high);
    }
    call.Apply(result);
}

// A low nibble of 0xF marks a 5-tone entry; a 2-tone entry is written 0.
void HandleTwoToneType(CellCall& call) {
    if (!Prepare(call, kKindTwoTone)) return;
    if (!FieldKept(kKindTwoTone, call.index(), Field::TwoCodeType))
        return ShowFixed(call, kNotStoredText);
    constexpr int kFiveTone = 0xF;
    int item = call.record.Value(Field::TwoCodeType) == kFiveTone ? 1 : 0;
    const CodecResult result = ListCodec(call.request(), item, "GI_Sheet_Sel_2TRxC_Type");
    if (result == CodecResult::Changed && item > 1) return call.Apply(CodecResult::Rejected);
    if (result == CodecResult::Changed)
        call.record.SetValue(Field::TwoCodeType, item ? kFiveTone : 0);
    call.Apply(result);
}

// An MSK call number: four decimal digits, or none.
void HandleCallNumber(CellCall& call) {
    if (!Prepare(call, kKindMskCallList)) return;
    const int number = call.record.Value(Field::MskCallAdr);
    ShowFixed(call, number > 9999 ? std::string(kNotStoredText) : IntegerText(number, 4, '0'));
}

// A user character: Enter opens the character editor on its segment mask; a
// committed text is the mask in hexadecimal.
void HandleUserCharacter(CellCall& call) {
    if (!Prepare(call, kKindUserChars)) return;
    CellRequest& request = call.request();
    const uint16_t before = UserCharacterMask(call.record.raw[0], call.record.raw[1]);
    int mask = before;
    if (auto picked = request.Picked(PopupKind::CharacterEditor)) {
        mask = *picked;
    } else if (request.Picking()) {
        return call.Apply(CodecResult::Rejected);
    } else if (request.Committing()) {
        const std::string typed = KeepChars(request.editText, kHexDigits);
        if (typed.empty() || typed.size() != Trim(request.editText).size() || typed.size() > 4)
            return call.Apply(CodecResult::Rejected);
        mask = static_cast<int>(ReadInteger(typed, 16).value_or(-1));
    } else if (request.Key() == kKeyEnter) {
        request.OpenPopup(PopupKind::CharacterEditor, "", before);
    }
    if (mask < 0 || mask > 0xFFFF) return call.Apply(CodecResult::Rejected);
    request.text = HexText(static_cast<unsigned>(mask), 4);
    if (mask == before) return;
    call.record.raw[0] = static_cast<uint8_t>(mask >> 8);
    call.record.raw[1] = static_cast<uint8_t>(mask);
    call.Apply(CodecResult::Changed);
}

}  // namespace

void RegisterRecordCells() {
    for (const RecordCell& row : kCells) CellDispatcher::Register(row.cell, HandleRecordCell);
    CellDispatcher::Register(CL_5TRx_RxCode, [](CellCall& c) {
        HandleFiveToneCode(c, kKindRxCode, Direction::Receive);
    });
    CellDispatcher::Register(CL_5TTx_TxCode, [](CellCall& c) {
        HandleFiveToneCode(c, kKindTxCode, Direction::Transmit);
    });
    CellDispatcher::Register(CL_Select_TX_Code, HandleSelectCode);
    CellDispatcher::Register(CL_Select_TX_Text, HandleSelectText);
    CellDispatcher::Register(CL_Dtmf_Code, HandleDtmfCode);
    CellDispatcher::Register(CL_Dtmf_ChNo, HandleDtmfNumber);
    CellDispatcher::Register(CL_CTone_RX,
                             [](CellCall& c) { HandleCommonTone(c, Direction::Receive); });
    CellDispatcher::Register(CL_CTone_TX,
                             [](CellCall& c) { HandleCommonTone(c, Direction::Transmit); });
    CellDispatcher::Register(CL_2T_RxFreq_1st, [](CellCall& c) {
        HandleTwoToneWindow(c, Field::TwoRx1stA, Field::TwoRx1stB);
    });
    CellDispatcher::Register(CL_2T_RxFreq_2nd, [](CellCall& c) {
        HandleTwoToneWindow(c, Field::TwoRx2ndA, Field::TwoRx2ndB);
    });
    CellDispatcher::Register(CL_2T_Code_Type, HandleTwoToneType);
    CellDispatcher::Register(CL_Msk_CallList_Adr, HandleCallNumber);
    CellDispatcher::Register(CL_CEdit, HandleUserCharacter);
}

}  // namespace parlo
