#include "model/RecordLayout.h"

#include <iterator>

namespace parlo {

namespace {

// The tables below are laid out by hand, one row per field as in the memory map.
// clang-format off
constexpr uint32_t MaskOf(int hi, int lo) { return ((1u << (hi - lo + 1)) - 1u) << lo; }

constexpr LayoutRow Bits(Field f, uint8_t part, uint8_t offset, int hi, int lo,
                         When when = When::Always) {
    return {Form::Bits, f, part, offset, 1, MaskOf(hi, lo), static_cast<uint8_t>(lo), 0, 0, when};
}
constexpr LayoutRow Bit(Field f, uint8_t part, uint8_t offset, int bit, When when = When::Always) {
    return Bits(f, part, offset, bit, bit, when);
}
// One stored bit that holds bit `valueBit` of a value scattered over bytes.
constexpr LayoutRow Piece(Field f, uint8_t part, uint8_t offset, int bit, int valueBit,
                          When when = When::Always) {
    return {Form::Bits, f,          part, offset, 1, 1u << bit, static_cast<uint8_t>(bit),
            static_cast<uint8_t>(valueBit), 0, when};
}
constexpr LayoutRow Word(Field f, uint8_t part, uint8_t offset, When when = When::Always) {
    return {Form::Bits, f, part, offset, 2, 0xFFFF, 0, 0, 0, when};
}
constexpr LayoutRow Long(Field f, uint8_t part, uint8_t offset) {
    return {Form::Bits, f, part, offset, 4, 0xFFFFFFFF, 0, 0, 0, When::Always};
}
constexpr LayoutRow Freq(Field f, uint8_t offset) {
    return {Form::Frequency, f, 0, offset, 4, 0x7FFFFFFF, 0, 0, 0, When::Always};
}
constexpr LayoutRow Inverted(Field f, uint8_t part, uint8_t offset, int bit) {
    return {Form::Inverted, f, part, offset, 1, 1u << bit, static_cast<uint8_t>(bit), 0, 0,
            When::Always};
}
constexpr LayoutRow NonZero(Field f, uint8_t part, uint8_t offset) {
    return {Form::NonZero, f, part, offset, 1, 0xFF, 0, 0, 0, When::Always};
}
constexpr LayoutRow Decimal4(Field f, uint8_t part, uint8_t offset) {
    return {Form::Decimal4, f, part, offset, 2, 0xFFFF, 0, 0, 0, When::Always};
}
constexpr LayoutRow ZeroByte(uint8_t part, uint8_t offset, When when) {
    return {Form::Zero, Field::Count, part, offset, 1, 0xFF, 0, 0, 0, when};
}
constexpr LayoutRow ToneAt(uint8_t slot, uint8_t part, uint8_t offset) {
    return {Form::Tone, Field::Count, part, offset, 2, 0, 0, 0, slot, When::Always};
}
constexpr LayoutRow TextAt(uint8_t slot, uint8_t part, uint8_t offset, uint8_t length) {
    return {Form::Text, Field::Count, part, offset, length, 0, 0, 0, slot, When::Always};
}
constexpr LayoutRow RawAt(uint8_t slot, uint8_t part, uint8_t offset, uint8_t length) {
    return {Form::Raw, Field::Count, part, offset, length, 0, 0, 0, slot, When::Always};
}

using F = Field;
using W = When;

// The byte shared by the 5-tone codes: the repeat-tone digit.
constexpr int32_t kAddrRepeatTone = 0x959A;

// Memory channels (kinds 1-4): main record (part 0), extension record (part 1).
constexpr RecordTable kChannelTables[] = {{0x7F80, 34, 64}, {0x927D, 12, 64}};
constexpr LayoutRow kChannelRows[] = {
    Freq(F::RxFreq, 0),
    Bit(F::Inhibit, 0, 0, 7),
    Freq(F::TxFreq, 4),
    Bit(F::TxInhibit, 0, 4, 7),
    ToneAt(0, 0, 8),
    ToneAt(1, 0, 10),
    Long(F::ColourRx, 0, 12),
    Long(F::ColourTx, 0, 16),
    TextAt(0, 0, 20, 8),
    Bits(F::SignalMode, 0, 28, 1, 0),
    Bit(F::FreeFreq, 0, 28, 4),
    Bit(F::Narrow, 0, 28, 6),
    Bits(F::CommonId, 0, 30, 7, 0),

    Bit(F::PwrSave, 1, 0, 7),
    Piece(F::Moni, 1, 0, 6, 0),
    Bit(F::Tot, 1, 0, 4),
    Bits(F::Lockout, 1, 0, 3, 2),
    Bits(F::RfPower, 1, 0, 1, 0),
    Bits(F::Log, 1, 1, 7, 4),
    Piece(F::Moni, 1, 1, 3, 1),
    Bit(F::ScanInc, 1, 1, 1),
    Bit(F::ChMute, 1, 1, 0),
    Bits(F::Sel, 1, 2, 7, 6),
    Piece(F::Moni, 1, 2, 5, 3),
    Piece(F::Moni, 1, 2, 4, 2),
    Bit(F::Call, 1, 2, 3),
    Bit(F::Ptt, 1, 2, 2),
    Piece(F::AutoReset, 1, 2, 1, 0),
    Piece(F::AutoReset, 1, 2, 0, 1, W::PmrFamily),
    Bit(F::LogMsk, 1, 3, 7),
    Bits(F::ScrmMode, 1, 3, 6, 5),
    Bit(F::Compander, 1, 3, 4),
    Bit(F::MskSig, 1, 3, 3, W::WriteKind3),
    Bit(F::MskRptNone, 1, 3, 2, W::WriteKind3),
    Bit(F::MskSendStatus, 1, 3, 1, W::WriteKind3),
    Bit(F::AutoChScan, 1, 3, 0),
    Bits(F::ScrmCode, 1, 5, 7, 0),
    Bits(F::Pos, 1, 6, 7, 6, W::PmrFamily),
    Bits(F::Format, 1, 6, 3, 0, W::PmrFamily),
    Bit(F::RptLong, 1, 7, 7, W::PmrFamily),
    Bits(F::RptCode, 1, 7, 6, 0, W::PmrFamily),
    Bit(F::StnLong, 1, 8, 7, W::PmrFamily),
    Bits(F::StnCode, 1, 8, 6, 0, W::PmrFamily),
    Bits(F::TwoToneCode, 1, 8, 6, 0, W::LmrFamily),
    Bit(F::IdLong, 1, 9, 7, W::PmrFamily),
    Bits(F::IdCode, 1, 9, 6, 0, W::PmrFamily),
    Bits(F::RxCodeNo, 1, 10, 7, 0, W::PmrFamily),
    ZeroByte(1, 11, W::PmrFamily),
    // The LMR family keeps a 10-bit number in the top of the word; its low
    // six bits are written 0.
    {Form::Bits, F::RxCodeNo, 1, 10, 2, 0xFFFF, 6, 0, 0, W::LmrFamily},
};

// Kind 5: user character table entries, two raw bytes each.
constexpr RecordTable kCharTables[] = {{0x95FD, 2, 16}};
constexpr LayoutRow kCharRows[] = {RawAt(0, 0, 0, 2)};

// Kind 6: DTMF memories.
constexpr RecordTable kDtmfTables[] = {{0x9757, 21, 8}};
constexpr LayoutRow kDtmfRows[] = {
    TextAt(0, 0, 0, 8),
    RawAt(0, 0, 8, 12),
    Bits(F::DtmfCount, 0, 20, 7, 0),
};

// Kind 7: scan lists.
constexpr RecordTable kScanTables[] = {{0x96E9, 10, 11}};
constexpr LayoutRow kScanRows[] = {
    TextAt(0, 0, 0, 8),
    {Form::Bits, F::ScanMode, 0, 8, 1, 0xEF, 0, 0, 0, W::Always},
    Bit(F::ScanPwrSave, 0, 8, 4),
    Piece(F::ScanDispText, 0, 9, 7, 0),
    Piece(F::ScanDispText, 0, 9, 6, 1),
};

// Kind 8: common tones.
constexpr RecordTable kCommonToneTables[] = {{0x96C5, 4, 9}};
constexpr LayoutRow kCommonToneRows[] = {ToneAt(0, 0, 0), ToneAt(1, 0, 2)};

// Kind 9: 5-tone receive codes; part 1 is the shared repeat-tone byte.
constexpr RecordTable kRxCodeTables[] = {{0x993F, 18, 11}, {kAddrRepeatTone, 0, 11}};
constexpr LayoutRow kRxCodeRows[] = {
    RawAt(0, 0, 0, 4),
    TextAt(0, 0, 4, 8),
    Bits(F::RxMarker, 0, 12, 7, 0),
    Bits(F::RxAbc, 0, 13, 7, 0),
    Bits(F::RxAud, 0, 14, 7, 6),
    Bits(F::RxScan, 0, 14, 5, 4),
    Bit(F::RxSfunc, 0, 14, 3),
    Bits(F::RxBeep, 0, 14, 2, 0),
    Bit(F::RxExo, 0, 15, 7),
    Bit(F::RxIdDec, 0, 15, 6),
    Bit(F::RxAutoTx, 0, 15, 5),
    Bits(F::RxStun, 0, 15, 4, 3),
    Bits(F::RxBell, 0, 15, 1, 0),
    Bit(F::RxEmerCancel, 0, 16, 7),
    Bits(F::RepeatTone, 1, 0, 7, 0, W::ReadOnly),
};

// Kind 10: 5-tone transmit codes: code bytes (part 0), named records
// (part 1), the shared repeat-tone byte (part 2).
constexpr RecordTable kTxCodeTables[] = {
    {0x8878, 4, 32}, {0x97FF, 10, 32}, {kAddrRepeatTone, 0, 32}};
constexpr LayoutRow kTxCodeRows[] = {
    RawAt(0, 0, 0, 4),
    TextAt(0, 1, 0, 8),
    Bits(F::TxInputDigit, 1, 8, 7, 1),
    Bit(F::TxUpdate, 1, 8, 0),
    Bit(F::TxAbcDec, 1, 9, 7),
    Bit(F::TxAbcAud, 1, 9, 6),
    Inverted(F::TxSel, 1, 9, 4),
    Bits(F::RepeatTone, 2, 0, 7, 0, W::ReadOnly),
};

// Kind 11: user tones: encode words (part 0), decode limits (part 1).
constexpr RecordTable kUserToneTables[] = {{0x961D, 2, 15}, {0x963B, 4, 15}};
constexpr LayoutRow kUserToneRows[] = {
    Word(F::UToneEncode, 0, 0),
    Word(F::UToneDecLow, 1, 0),
    Word(F::UToneDecHigh, 1, 2),
};

// Kind 12: 2-tone codes read from the receive code entries (part 0); from
// index 1 also receive tones (1), transmit tones (2), periods (3) and the
// code type in the transmit code records (4). Parts 2 and 4 of entry n are
// the kind-10 records of entry n - 1.
constexpr RecordTable kTwoToneTables[] = {
    {0x993F, 18, 11}, {0x9615, 8, 11}, {0x8874, 4, 11}, {0x967F, 2, 11}, {0x97F5, 10, 11}};
constexpr LayoutRow kTwoToneRows[] = {
    Bits(F::TwoGroupCall, 0, 0, 7, 0),
    TextAt(0, 0, 4, 8),
    NonZero(F::TwoAns, 0, 13),
    Bits(F::TwoBeep, 0, 14, 2, 0),
    Bits(F::TwoScan, 0, 14, 5, 4),
    Bit(F::TwoSfunc, 0, 14, 3),
    Bits(F::TwoBell, 0, 15, 1, 0),
    Bit(F::TwoExo, 0, 15, 7),
    Bit(F::TwoAutoTx, 0, 15, 5),
    Bits(F::TwoStun, 0, 15, 4, 3),
    Word(F::TwoRx1stA, 1, 0, W::FromIndex1),
    Word(F::TwoRx1stB, 1, 2, W::FromIndex1),
    Word(F::TwoRx2ndA, 1, 4, W::FromIndex1),
    Word(F::TwoRx2ndB, 1, 6, W::FromIndex1),
    Word(F::TwoTx1st, 2, 0, W::FromIndex1),
    Word(F::TwoTx2nd, 2, 2, W::FromIndex1),
    Bits(F::TwoPeriod1st, 3, 0, 7, 0, W::FromIndex1),
    Bits(F::TwoPeriod2nd, 3, 1, 7, 0, W::FromIndex1),
    Bits(F::TwoCodeType, 4, 8, 3, 0, W::FromIndex1),
};

// Kind 14: bank names.
constexpr RecordTable kBankNameTables[] = {{0x969D, 8, 5}};
constexpr LayoutRow kBankNameRows[] = {TextAt(0, 0, 0, 8)};

// Kind 15: MSK ID groups.
constexpr RecordTable kMskIdTables[] = {{0x9A1F, 16, 8}};
constexpr LayoutRow kMskIdRows[] = {
    Word(F::MskIdAdr, 0, 0),
    TextAt(0, 0, 2, 8),
    Bits(F::MskIdAlert, 0, 12, 2, 0),
    Bit(F::MskIdSFunc, 0, 12, 3),
    Bits(F::MskIdBell, 0, 13, 1, 0),
};

// Kind 16: MSK call list: call numbers (part 0), named records (part 1).
constexpr RecordTable kMskCallTables[] = {{0x88F8, 4, 32}, {0x9AAD, 10, 32}};
constexpr LayoutRow kMskCallRows[] = {
    Decimal4(F::MskCallAdr, 0, 0),
    TextAt(0, 1, 0, 8),
    Bits(F::MskCallDigit, 1, 8, 7, 1),
    Bit(F::MskCallUpdate, 1, 8, 0),
    Inverted(F::MskCallSel, 1, 9, 4),
};

// Kind 17: MSK status messages, two 12-byte records.
constexpr RecordTable kMskMsgTables[] = {{0x9D35, 12, 24}, {0x9C15, 12, 24}};
constexpr LayoutRow kMskMsgRows[] = {
    TextAt(0, 0, 0, 8),
    TextAt(1, 1, 0, 8),
    Bits(F::MskMsgBeep, 0, 8, 3, 0),
    Bit(F::MskMsgAuto, 0, 8, 7),
    Bit(F::MskMsgSFunc, 0, 8, 6),
    Bit(F::MskMsgPriority, 1, 8, 0),
    Bit(F::MskMsgSelection, 1, 8, 1),
};

// Kind 18: MSK short texts and their flag bytes.
constexpr RecordTable kMskShortTables[] = {{0x8978, 8, 8}, {0x9E55, 2, 8}};
constexpr LayoutRow kMskShortRows[] = {TextAt(0, 0, 0, 8), Bit(F::MskShortSel, 1, 0, 1)};

// Kind 19: digital status messages, two 20-byte records.
constexpr RecordTable kDigMsgTables[] = {{0xA0E5, 20, 32}, {0x9E65, 20, 32}};
constexpr LayoutRow kDigMsgRows[] = {
    TextAt(0, 0, 0, 16),
    TextAt(1, 1, 0, 16),
    Bits(F::DigMsgBeep, 0, 16, 3, 0),
    Bit(F::DigMsgSelection, 1, 16, 1),
};

constexpr KindLayout kChannel{kChannelTables, kChannelRows};
constexpr KindLayout kChars{kCharTables, kCharRows};
constexpr KindLayout kDtmf{kDtmfTables, kDtmfRows};
constexpr KindLayout kScan{kScanTables, kScanRows};
constexpr KindLayout kCommonTone{kCommonToneTables, kCommonToneRows};
constexpr KindLayout kRxCode{kRxCodeTables, kRxCodeRows};
constexpr KindLayout kTxCode{kTxCodeTables, kTxCodeRows};
constexpr KindLayout kUserTone{kUserToneTables, kUserToneRows};
constexpr KindLayout kTwoTone{kTwoToneTables, kTwoToneRows};
constexpr KindLayout kBankName{kBankNameTables, kBankNameRows};
constexpr KindLayout kMskId{kMskIdTables, kMskIdRows};
constexpr KindLayout kMskCall{kMskCallTables, kMskCallRows};
constexpr KindLayout kMskMsg{kMskMsgTables, kMskMsgRows};
constexpr KindLayout kMskShort{kMskShortTables, kMskShortRows};
constexpr KindLayout kDigMsg{kDigMsgTables, kDigMsgRows};

// Indexed by record kind; kinds 0 and 13 decode nothing.
constexpr const KindLayout* kLayouts[] = {
    nullptr,    &kChannel, &kChannel, &kChannel, &kChannel, &kChars,    &kDtmf,
    &kScan,     &kCommonTone, &kRxCode, &kTxCode, &kUserTone, &kTwoTone, nullptr,
    &kBankName, &kMskId,   &kMskCall, &kMskMsg,  &kMskShort, &kDigMsg};

constexpr const char* kFieldNames[] = {
    "RxFreq", "TxFreq", "Inhibit", "TxInhibit", "ColourRx", "ColourTx", "SignalMode",
    "FreeFreq", "Narrow", "CommonId",
    "PwrSave", "Moni", "Tot", "Lockout", "RfPower", "Log", "ScanInc", "ChMute", "Sel", "Call",
    "Ptt", "AutoReset", "LogMsk", "ScrmMode", "Compander", "MskSig", "MskRptNone",
    "MskSendStatus", "AutoChScan", "ScrmCode", "Pos", "Format", "RptLong", "RptCode",
    "StnLong", "StnCode", "IdLong", "IdCode", "RxCodeNo", "TwoToneCode",
    "DtmfCount",
    "ScanMode", "ScanPwrSave", "ScanDispText",
    "RxMarker", "RxAbc", "RxAud", "RxScan", "RxSfunc", "RxBeep", "RxExo", "RxIdDec",
    "RxAutoTx", "RxStun", "RxBell", "RxEmerCancel", "RepeatTone",
    "TxInputDigit", "TxUpdate", "TxAbcDec", "TxAbcAud", "TxSel",
    "UToneEncode", "UToneDecLow", "UToneDecHigh",
    "TwoGroupCall", "TwoAns", "TwoBeep", "TwoScan", "TwoSfunc", "TwoBell", "TwoExo",
    "TwoAutoTx", "TwoStun", "TwoRx1stA", "TwoRx1stB", "TwoRx2ndA", "TwoRx2ndB", "TwoTx1st",
    "TwoTx2nd", "TwoPeriod1st", "TwoPeriod2nd", "TwoCodeType",
    "MskIdAdr", "MskIdAlert", "MskIdSFunc", "MskIdBell",
    "MskCallAdr", "MskCallDigit", "MskCallUpdate", "MskCallSel",
    "MskMsgBeep", "MskMsgAuto", "MskMsgSFunc", "MskMsgPriority", "MskMsgSelection",
    "MskShortSel",
    "DigMsgBeep", "DigMsgSelection",
};
// clang-format on
static_assert(std::size(kFieldNames) == kFieldCount);

}  // namespace

const char* FieldName(Field f) {
    const auto i = static_cast<size_t>(f);
    return i < std::size(kFieldNames) ? kFieldNames[i] : "";
}

std::optional<Field> FieldByName(const std::string& name) {
    for (size_t i = 0; i < std::size(kFieldNames); ++i) {
        if (name == kFieldNames[i]) return static_cast<Field>(i);
    }
    return std::nullopt;
}

const KindLayout* LayoutOf(int kind) {
    if (kind < 0 || kind >= static_cast<int>(std::size(kLayouts))) return nullptr;
    return kLayouts[static_cast<size_t>(kind)];
}

}  // namespace parlo
