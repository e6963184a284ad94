// The record codec: every kind's fields land on their bits and nothing else.
#include <gtest/gtest.h>

#include <vector>

#include "model/ChannelMap.h"
#include "model/ChannelRecord.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

// Every byte different, so a stray write shows.
EepromImage PatternImage() {
    EepromImage e;
    e.SetSize(kImageSize);
    for (int32_t a = 0; a < kImageSize; ++a) e.SetByte(a, static_cast<uint8_t>(a * 37 + 11));
    return e;
}

// The addresses at which two images differ.
std::vector<int32_t> Differences(const EepromImage& a, const EepromImage& b) {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < a.GetSize(); ++i) {
        if (a.GetByte(i) != b.GetByte(i)) out.push_back(i);
    }
    return out;
}

struct StoredBits {
    int32_t address;
    uint8_t mask;
    uint8_t bits;
};

struct FieldCase {
    const char* name;
    int kind;
    int index;
    Field field;
    int32_t value;
    std::vector<StoredBits> stored;
    int32_t decoded;  // what the stored bits read back as
};

// The case table is laid out by hand, one field per row.
// clang-format off
constexpr int32_t Main(int n) { return 0x7F80 + 34 * n; }
constexpr int32_t Ext(int n) { return 0x927D + 12 * n; }

const std::vector<FieldCase>& FieldCases() {
    static const std::vector<FieldCase> cases = {
        // Channel main record.
        {"rx frequency", 1, 5, Field::RxFreq, 446006250,
         {{Main(5), 0x7F, 0x1A}, {Main(5) + 1, 0xFF, 0x95}, {Main(5) + 2, 0xFF, 0x83},
          {Main(5) + 3, 0xFF, 0xEA}}, 446006250},
        {"channel inhibit", 2, 0, Field::Inhibit, 1, {{Main(0), 0x80, 0x80}}, 1},
        {"tx frequency", 4, 63, Field::TxFreq, 0x01020304,
         {{Main(63) + 4, 0x7F, 0x01}, {Main(63) + 5, 0xFF, 0x02}, {Main(63) + 6, 0xFF, 0x03},
          {Main(63) + 7, 0xFF, 0x04}}, 0x01020304},
        {"tx inhibit", 3, 7, Field::TxInhibit, 0, {{Main(7) + 4, 0x80, 0x00}}, 0},
        {"rx colour code", 4, 2, Field::ColourRx, 0x577577,
         {{Main(2) + 12, 0xFF, 0x00}, {Main(2) + 13, 0xFF, 0x57}, {Main(2) + 14, 0xFF, 0x75},
          {Main(2) + 15, 0xFF, 0x77}}, 0x577577},
        {"signal mode", 4, 1, Field::SignalMode, 3, {{Main(1) + 28, 0x03, 0x03}}, 3},
        {"free frequency", 4, 1, Field::FreeFreq, 1, {{Main(1) + 28, 0x10, 0x10}}, 1},
        {"narrow", 2, 9, Field::Narrow, 0, {{Main(9) + 28, 0x40, 0x00}}, 0},
        {"common id", 4, 9, Field::CommonId, 200, {{Main(9) + 30, 0xFF, 200}}, 200},
        // Channel extension record.
        {"power save", 1, 3, Field::PwrSave, 1, {{Ext(3), 0x80, 0x80}}, 1},
        {"lockout", 2, 3, Field::Lockout, 2, {{Ext(3), 0x0C, 0x08}}, 2},
        {"rf power", 2, 3, Field::RfPower, 1, {{Ext(3), 0x03, 0x01}}, 1},
        {"monitor, scattered", 2, 4, Field::Moni, 0b1011,
         {{Ext(4), 0x40, 0x40}, {Ext(4) + 1, 0x08, 0x08}, {Ext(4) + 2, 0x30, 0x20}}, 0b1011},
        {"log", 1, 4, Field::Log, 9, {{Ext(4) + 1, 0xF0, 0x90}}, 9},
        {"select", 1, 4, Field::Sel, 3, {{Ext(4) + 2, 0xC0, 0xC0}}, 3},
        {"auto reset, PMR", 2, 6, Field::AutoReset, 2, {{Ext(6) + 2, 0x03, 0x01}}, 2},
        {"auto reset, LMR keeps bit 0", 1, 6, Field::AutoReset, 3, {{Ext(6) + 2, 0x02, 0x02}}, 1},
        {"scrambler mode", 2, 6, Field::ScrmMode, 3, {{Ext(6) + 3, 0x60, 0x60}}, 3},
        {"msk signalling, Tarn", 3, 6, Field::MskSig, 1, {{Ext(6) + 3, 0x08, 0x08}}, 1},
        {"scrambler code", 1, 6, Field::ScrmCode, 0xA5, {{Ext(6) + 5, 0xFF, 0xA5}}, 0xA5},
        {"format, PMR", 2, 8, Field::Format, 12, {{Ext(8) + 6, 0x0F, 0x0C}}, 12},
        {"repeater code, PMR", 3, 8, Field::RptCode, 0x55, {{Ext(8) + 7, 0x7F, 0x55}}, 0x55},
        {"station long tone, PMR", 2, 8, Field::StnLong, 1, {{Ext(8) + 8, 0x80, 0x80}}, 1},
        {"2-tone code, LMR", 1, 8, Field::TwoToneCode, 0x2A, {{Ext(8) + 8, 0x7F, 0x2A}}, 0x2A},
        {"id code, PMR", 2, 8, Field::IdCode, 0x11, {{Ext(8) + 9, 0x7F, 0x11}}, 0x11},
        {"rx code number, PMR", 2, 10, Field::RxCodeNo, 0x81,
         {{Ext(10) + 10, 0xFF, 0x81}, {Ext(10) + 11, 0xFF, 0x00}}, 0x81},
        {"rx code number, LMR", 4, 10, Field::RxCodeNo, 0x3FF,
         {{Ext(10) + 10, 0xFF, 0xFF}, {Ext(10) + 11, 0xFF, 0xC0}}, 0x3FF},
        // Other kinds.
        {"dtmf count", 6, 7, Field::DtmfCount, 24, {{0x9757 + 21 * 7 + 20, 0xFF, 24}}, 24},
        {"scan mode", 7, 10, Field::ScanMode, 0xFF, {{0x96E9 + 100 + 8, 0xEF, 0xEF}}, 0xEF},
        {"scan power save", 7, 0, Field::ScanPwrSave, 1, {{0x96E9 + 8, 0x10, 0x10}}, 1},
        {"scan display text", 7, 1, Field::ScanDispText, 1, {{0x96E9 + 19, 0xC0, 0x80}}, 1},
        {"rx code stun", 9, 2, Field::RxStun, 2, {{0x993F + 36 + 15, 0x18, 0x10}}, 2},
        {"rx code audio", 9, 2, Field::RxAud, 1, {{0x993F + 36 + 14, 0xC0, 0x40}}, 1},
        {"rx code emergency cancel", 9, 10, Field::RxEmerCancel, 1,
         {{0x993F + 180 + 16, 0x80, 0x80}}, 1},
        {"tx code selection, inverted", 10, 31, Field::TxSel, 1, {{0x97FF + 310 + 9, 0x10, 0x00}},
         1},
        {"tx code input digit", 10, 0, Field::TxInputDigit, 0x45, {{0x97FF + 8, 0xFE, 0x8A}},
         0x45},
        {"user tone decode high", 11, 14, Field::UToneDecHigh, 0x1234,
         {{0x963B + 56 + 2, 0xFF, 0x12}, {0x963B + 56 + 3, 0xFF, 0x34}}, 0x1234},
        {"2-tone answer", 12, 3, Field::TwoAns, 0, {{0x993F + 54 + 13, 0xFF, 0x00}}, 0},
        {"2-tone rx 2nd tone", 12, 2, Field::TwoRx2ndB, 0x0A0B,
         {{0x9615 + 16 + 6, 0xFF, 0x0A}, {0x9615 + 16 + 7, 0xFF, 0x0B}}, 0x0A0B},
        {"2-tone code type", 12, 1, Field::TwoCodeType, 0xF, {{0x97F5 + 10 + 8, 0x0F, 0x0F}}, 0xF},
        {"msk id", 15, 7, Field::MskIdAdr, 0xBEEF,
         {{0x9A1F + 112, 0xFF, 0xBE}, {0x9A1F + 113, 0xFF, 0xEF}}, 0xBEEF},
        {"msk id bell", 15, 0, Field::MskIdBell, 3, {{0x9A1F + 13, 0x03, 0x03}}, 3},
        {"msk call number", 16, 4, Field::MskCallAdr, 1234,
         {{0x88F8 + 16, 0xFF, 0x12}, {0x88F8 + 17, 0xFF, 0x34}}, 1234},
        {"msk call selection", 16, 4, Field::MskCallSel, 0, {{0x9AAD + 40 + 9, 0x10, 0x10}}, 0},
        {"msk status priority", 17, 23, Field::MskMsgPriority, 1,
         {{0x9C15 + 276 + 8, 0x01, 0x01}}, 1},
        {"msk status beep", 17, 0, Field::MskMsgBeep, 5, {{0x9D35 + 8, 0x0F, 0x05}}, 5},
        {"msk short text selection", 18, 7, Field::MskShortSel, 1, {{0x9E55 + 14, 0x02, 0x02}},
         1},
        {"digital status beep", 19, 31, Field::DigMsgBeep, 7, {{0xA0E5 + 620 + 16, 0x0F, 0x07}},
         7},
        {"digital status selection", 19, 0, Field::DigMsgSelection, 1,
         {{0x9E65 + 16, 0x02, 0x02}}, 1},
    };
    return cases;
}
// clang-format on

TEST(RecordCodec, EncodeWritesOnlyTheFieldsBits) {
    for (const FieldCase& c : FieldCases()) {
        EepromImage image = PatternImage();
        ChannelRecord record(image);
        record.Decode(c.kind, c.index);
        record.Store();  // settles the bits the codec derives (name-empty flag)
        const EepromImage before = image;
        record.SetValue(c.field, c.value);
        record.Store();
        for (const StoredBits& s : c.stored) {
            const uint8_t old = before.GetByte(s.address);
            EXPECT_EQ(image.GetByte(s.address), (old & ~s.mask) | s.bits)
                << c.name << " at " << std::hex << s.address;
        }
        for (int32_t a : Differences(before, image)) {
            bool expected = false;
            for (const StoredBits& s : c.stored) expected |= s.address == a;
            EXPECT_TRUE(expected) << c.name << " changed " << std::hex << a;
        }
        EXPECT_EQ(record.Value(c.field), c.decoded) << c.name << " after the reload";
    }
}

TEST(RecordCodec, DecodeReadsTheFieldsBits) {
    for (const FieldCase& c : FieldCases()) {
        EepromImage image = PatternImage();
        for (const StoredBits& s : c.stored)
            image.SetByte(s.address, (image.GetByte(s.address) & ~s.mask) | s.bits);
        ChannelRecord record(image);
        record.Decode(c.kind, c.index);
        EXPECT_EQ(record.Value(c.field), c.decoded) << c.name;
    }
}

TEST(RecordCodec, MskBitsAreWrittenForTarnOnly) {
    for (int kind : {1, 2, 4}) {
        EepromImage image = PatternImage();
        ChannelRecord record(image);
        record.Decode(kind, 0);
        const uint8_t before = image.GetByte(Ext(0) + 3);
        record.SetValue(Field::MskSig, (before & 0x08) ? 0 : 1);
        record.SetValue(Field::MskRptNone, (before & 0x04) ? 0 : 1);
        record.Store();
        EXPECT_EQ(image.GetByte(Ext(0) + 3) & 0x0E, before & 0x0E) << "kind " << kind;
    }
}

TEST(RecordCodec, LmrFamilyHoldsFixedStationFields) {
    EepromImage image = PatternImage();
    ChannelRecord record(image);
    record.Decode(1, 3);
    EXPECT_EQ(record.Value(Field::Format), 0);
    EXPECT_EQ(record.Value(Field::StnCode), 1);
    EXPECT_EQ(record.Value(Field::StnLong), 1);
    const uint8_t byte6 = image.GetByte(Ext(3) + 6);
    record.Store();
    EXPECT_EQ(image.GetByte(Ext(3) + 6), byte6);  // no format byte in the LMR family
}

TEST(RecordCodec, ToneFields) {
    struct Case {
        const char* name;
        Tone tone;
        uint8_t p0, p1;  // with bits 4-1 of p0 set beforehand
    };
    const Case cases[] = {
        {"off", {false, false, false, 0, 0}, 0x9E, 0x00},
        {"ctcss 12", {true, false, false, 12, 0}, 0x1E, 12},
        {"dtcs 023N", {true, true, false, 0, 023}, 0x5E, 023},
        {"dtcs 777I", {true, true, true, 0, 0777}, 0x7F, 0xFF},
    };
    for (const Case& c : cases) {
        EepromImage image;
        image.SetSize(kImageSize);
        image.SetByte(Main(2) + 10, 0x1E);
        ChannelRecord record(image);
        record.Decode(2, 2);
        record.tones[1] = c.tone;
        record.Store();
        EXPECT_EQ(image.GetByte(Main(2) + 10), c.p0) << c.name;
        EXPECT_EQ(image.GetByte(Main(2) + 11), c.p1) << c.name;
        EXPECT_EQ(record.tones[1], c.tone) << c.name;
    }
    // A CTCSS tone reads no polarity and no code; the common tones share the form.
    EepromImage image;
    image.SetSize(kImageSize);
    image.SetByte(0x96C5 + 4 * 8 + 2, 0x21);
    image.SetByte(0x96C5 + 4 * 8 + 3, 7);
    ChannelRecord record(image);
    record.Decode(8, 8);
    EXPECT_EQ(record.tones[1], (Tone{true, false, false, 7, 0}));
}

TEST(RecordCodec, FrequenciesAndBlankChannels) {
    EepromImage image = PatternImage();
    image.SetByte(Main(4), 0x80);  // inhibited, frequency bits 0
    image.SetByte(Main(4) + 1, 0);
    image.SetByte(Main(4) + 2, 0);
    image.SetByte(Main(4) + 3, 0);
    ChannelRecord record(image);
    record.Decode(1, 4);
    EXPECT_FALSE(record.present);  // the other bytes are not 0, yet it is blank
    EXPECT_EQ(record.Value(Field::Inhibit), 1);

    record.present = true;
    record.SetValue(Field::RxFreq, 900'000'000);
    record.SetValue(Field::TxFreq, -5);
    record.Store();
    EXPECT_EQ(record.Value(Field::RxFreq), 799'999'950);
    EXPECT_EQ(record.Value(Field::TxFreq), 0);
    EXPECT_EQ(image.GetByte(Main(4)) & 0x80, 0x80);  // the inhibit bit stays

    record.SetValue(Field::TxFreq, 446'000'000);
    record.present = false;
    record.Store();
    EXPECT_EQ(record.Value(Field::RxFreq), 0);
    EXPECT_EQ(record.Value(Field::TxFreq), 0);
}

TEST(RecordCodec, SlotOutsideTheTablesIsNeverCoded) {
    EepromImage image = PatternImage();
    const EepromImage before = image;
    ChannelRecord record(image);
    for (auto [kind, index] : {std::pair{1, 64}, {4, -1}, {6, 8}, {19, 32}, {0, 0}, {13, 1}}) {
        record.Decode(kind, index);
        EXPECT_FALSE(record.present) << kind << "/" << index;
        EXPECT_EQ(record.Value(Field::RxFreq), 0);
        record.SetValue(Field::RxFreq, 1000);
        record.texts[0] = "XXXXXXXX";
        record.present = true;
        record.Store();
    }
    EXPECT_TRUE(image.Equals(before));
}

TEST(RecordCodec, AttributeBitsAndReferences) {
    EepromImage image;
    image.SetSize(kImageSize);
    image.SetWord(kAddrBankSizes, 8);  // bank 0: slots 0..7
    image.SetByte(kAddrRefA, 9);
    image.SetByte(kAddrRefSwitch, kRefSwitchBit);
    ChannelRecord record(image);

    record.Decode(1, 5);
    EXPECT_EQ(record.attributes, 0);
    record.attributes |= kAttrRefA;
    record.Store();
    EXPECT_EQ(image.GetByte(kAddrRefA), 5);
    EXPECT_EQ(record.AttributeLetters(), "A");
    record.attributes &= ~kAttrRefA;
    record.Store();
    EXPECT_EQ(image.GetByte(kAddrRefA), 5);  // clearing leaves the reference

    record.attributes = kAttrRefB | kAttrRefE | kAttrBankFlag;
    record.Store();
    EXPECT_EQ(image.GetByte(kAddrRefB), 5);
    EXPECT_EQ(image.GetByte(kAddrRefE), 5);
    EXPECT_EQ(image.GetByte(0x9593), 0x80);  // bank 0's flag
    EXPECT_EQ(record.AttributeLetters(), "ABE");

    // Bit 3 turns the global switch off, which hides the third reference.
    record.attributes |= kAttrSwitchOff;
    record.Store();
    EXPECT_EQ(image.GetByte(kAddrRefSwitch) & kRefSwitchBit, 0);
    EXPECT_EQ(record.attributes & kAttrRefE, 0);
    EXPECT_EQ(record.AttributeLetters(), "AB");

    // A slot past all banks has no bank flag and writes none.
    record.Decode(1, 20);
    EXPECT_EQ(record.attributes & kAttrBankFlag, 0);
    record.attributes |= kAttrBankFlag;
    record.Store();
    EXPECT_EQ(image.GetByte(0x9593), 0x80);
}

TEST(RecordCodec, ScanListsAndNameFlag) {
    EepromImage image;
    image.SetSize(kImageSize);
    ChannelRecord record(image);
    record.Decode(2, 9);
    record.scanLists = 0x401;  // lists 0 and 10
    record.texts[0] = "CH 9";
    record.Store();
    EXPECT_EQ(image.GetByte(0x8820 + 1), 0x40);           // list 0, slot 9
    EXPECT_EQ(image.GetByte(0x8820 + 8 * 10 + 1), 0x40);  // list 10
    EXPECT_EQ(image.GetByte(0x8820 + 8 * 5 + 1), 0x00);
    EXPECT_EQ(record.texts[0], "CH 9    ");  // padded with blanks
    EXPECT_EQ(image.GetByte(Main(9) + 28) & 0x20, 0);
    record.texts[0] = "";
    record.Store();
    EXPECT_EQ(image.GetByte(Main(9) + 28) & 0x20, 0x20);  // all blank
}

TEST(RecordCodec, TextsRawBytesAndCallNumbers) {
    EepromImage image;
    image.SetSize(kImageSize);
    ChannelRecord record(image);
    record.Decode(19, 3);
    record.texts = {"RX MESSAGE", "TX"};
    record.Store();
    EXPECT_EQ(record.texts[0], "RX MESSAGE      ");
    EXPECT_EQ(image.GetByte(0x9E65 + 60), 'T');

    record.Decode(6, 1);
    for (int i = 0; i < 12; ++i) record.raw[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    record.Store();
    EXPECT_EQ(image.GetByte(0x9757 + 21 + 8 + 11), 11);

    // A call number with a nibble above 9 reads as 0xFFFF; storing the
    // record for another field keeps its digits.
    image.SetByte(0x88F8, 0x1A);
    const uint16_t stored = image.GetWord(0x88F8);
    record.Decode(16, 0);
    EXPECT_EQ(record.Value(Field::MskCallAdr), 0xFFFF);
    record.texts[0] = "DEPOT   ";
    record.Store();
    EXPECT_EQ(image.GetWord(0x88F8), stored);
    record.SetValue(Field::MskCallAdr, 907);
    record.Store();
    EXPECT_EQ(image.GetWord(0x88F8), 0x0907);

    // The repeat-tone byte is read with the 5-tone codes, never written.
    image.SetByte(0x959A, 0x0E);
    record.Decode(10, 4);
    EXPECT_EQ(record.Value(Field::RepeatTone), 0x0E);
    record.SetValue(Field::RepeatTone, 3);
    record.Store();
    EXPECT_EQ(image.GetByte(0x959A), 0x0E);
}

TEST(RecordCodec, ARecordWritesTheImageItIsBoundTo) {
    EepromImage image;
    image.SetSize(kImageSize);
    ChannelRecord record(image);
    EXPECT_TRUE(record.present);
    record.Decode(14, 2);
    record.texts[0] = "BANK C";
    record.Store();
    EXPECT_EQ(image.GetByte(0x969D + 16), 'B');
    EepromImage other;
    other.SetSize(kImageSize);
    record.SetImage(other);
    record.Store();
    EXPECT_EQ(other.GetByte(0x969D + 16), 'B');
}

}  // namespace
}  // namespace parlo
