#pragma once
// Where every field of a decoded record lives in the image: per record kind,
// the tables its records come from and one row per field (or per piece of a
// field that is scattered over several bytes).
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace parlo {

// Numeric fields of a decoded record. Texts, tones and raw bytes have slots of
// their own in the record.
// clang-format off
enum class Field : uint8_t {
    // Memory channel, main record.
    RxFreq, TxFreq, Inhibit, TxInhibit, ColourRx, ColourTx, SignalMode, FreeFreq, Narrow,
    CommonId,
    // Memory channel, extension record.
    PwrSave, Moni, Tot, Lockout, RfPower, Log, ScanInc, ChMute, Sel, Call, Ptt, AutoReset,
    LogMsk, ScrmMode, Compander, MskSig, MskRptNone, MskSendStatus, AutoChScan, ScrmCode,
    Pos, Format, RptLong, RptCode, StnLong, StnCode, IdLong, IdCode, RxCodeNo, TwoToneCode,
    // Kind 6: DTMF memories.
    DtmfCount,
    // Kind 7: scan lists.
    ScanMode, ScanPwrSave, ScanDispText,
    // Kind 9: 5-tone receive codes.
    RxMarker, RxAbc, RxAud, RxScan, RxSfunc, RxBeep, RxExo, RxIdDec, RxAutoTx, RxStun, RxBell,
    RxEmerCancel, RepeatTone,
    // Kind 10: 5-tone transmit codes.
    TxInputDigit, TxUpdate, TxAbcDec, TxAbcAud, TxSel,
    // Kind 11: user tones.
    UToneEncode, UToneDecLow, UToneDecHigh,
    // Kind 12: 2-tone codes.
    TwoGroupCall, TwoAns, TwoBeep, TwoScan, TwoSfunc, TwoBell, TwoExo, TwoAutoTx, TwoStun,
    TwoRx1stA, TwoRx1stB, TwoRx2ndA, TwoRx2ndB, TwoTx1st, TwoTx2nd, TwoPeriod1st, TwoPeriod2nd,
    TwoCodeType,
    // Kind 15: MSK ID groups.
    MskIdAdr, MskIdAlert, MskIdSFunc, MskIdBell,
    // Kind 16: MSK call list.
    MskCallAdr, MskCallDigit, MskCallUpdate, MskCallSel,
    // Kind 17: MSK status messages.
    MskMsgBeep, MskMsgAuto, MskMsgSFunc, MskMsgPriority, MskMsgSelection,
    // Kind 18: MSK short texts.
    MskShortSel,
    // Kind 19: digital status messages.
    DigMsgBeep, DigMsgSelection,
    Count
};
// clang-format on
inline constexpr int kFieldCount = static_cast<int>(Field::Count);

// The field's name as written above ("RxFreq"), and back.
const char* FieldName(Field f);
std::optional<Field> FieldByName(const std::string& name);

// How a row maps stored bytes to a value.
enum class Form : uint8_t {
    Bits,       // (stored & mask) >> pos, placed at value bit vshift
    Inverted,   // one bit, stored inverted
    NonZero,    // the value is 1 when the stored byte is not 0
    Frequency,  // 31-bit Hz, clamped to 0..799,999,950 on encode
    Decimal4,   // four nibbles read as decimal digits; 0xFFFF when one is above 9
    Zero,       // nothing decoded; the bits are written 0
    Tone,       // a 2-byte tone field into tone slot `slot`
    Text,       // `width` characters into text slot `slot`
    Raw,        // `width` bytes into the raw bytes from index `slot`
};

// When a row applies.
enum class When : uint8_t {
    Always,
    PmrFamily,   // channel kinds 2 and 3
    LmrFamily,   // channel kinds 1 and 4
    WriteKind3,  // decoded always, written for kind 3 only
    FromIndex1,  // records with index 1 and up
    ReadOnly,    // decoded, never written
};

struct LayoutRow {
    Form form;
    Field field;
    uint8_t part;    // which table of the kind
    uint8_t offset;  // byte within the record
    uint8_t width;   // bytes of the stored value (big-endian); characters or bytes
    uint32_t mask;   // stored bits that belong to the row
    uint8_t pos;     // stored bit that holds value bit `vshift`
    uint8_t vshift;
    uint8_t slot;  // tone, text or raw slot
    When when;
};

struct RecordTable {
    int32_t base;
    int32_t stride;
    int32_t count;  // records in the table; indexes outside are never coded
};

struct KindLayout {
    std::span<const RecordTable> tables;
    std::span<const LayoutRow> rows;
};

// The layout of a record kind; nullptr for kinds that decode nothing (0, 13)
// and for unknown kinds.
const KindLayout* LayoutOf(int kind);

}  // namespace parlo
