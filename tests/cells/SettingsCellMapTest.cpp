// The settings cell map, row by row: every value a row can take is entered
// through its cell as a user would (a list item chosen, a number typed) on
// an image of random bytes, and must land in the row's own bits only.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

#include "cells/CellNames.h"
#include "cells/SettingsCellMap.h"
#include "codecs/FixedPointCodec.h"
#include "codecs/HexCodeCodec.h"
#include "codecs/KeyAssignCodec.h"
#include "codecs/MinSecCodec.h"
#include "codecs/OverlayList.h"
#include "codecs/TimerCodec.h"
#include "tests/support/CellHarness.h"

namespace parlo {
namespace {

using test::CellHarness;

// The bits of the image a row owns: address and mask.
std::vector<std::pair<int32_t, uint8_t>> OwnBits(const SettingCell& row) {
    switch (row.storage) {
        case Storage::Bits:
            return {
                {row.address, static_cast<uint8_t>(((1u << (row.hi - row.lo + 1)) - 1) << row.lo)}};
        case Storage::Word: return {{row.address, 0xFF}, {row.address + 1, 0xFF}};
        case Storage::Long: {
            std::vector<std::pair<int32_t, uint8_t>> bits;
            for (int i = 0; i < 4; ++i) bits.emplace_back(row.address + i, 0xFF);
            return bits;
        }
        case Storage::Nibbles: {
            std::vector<std::pair<int32_t, uint8_t>> bits;
            for (int i = 0; i < row.width; i += 2)
                bits.emplace_back(row.address + i / 2, i + 1 < row.width ? 0xFF : 0xF0);
            return bits;
        }
        case Storage::EnableBit: return {{UserSetEnableAddress(row.lo), UserSetEnableBit(row.lo)}};
        case Storage::Text: {
            std::vector<std::pair<int32_t, uint8_t>> bits;
            for (int i = 0; i < row.width; ++i) bits.emplace_back(row.address + i, 0xFF);
            return bits;
        }
        default: return {};
    }
}

// How a value is entered into a cell.
struct Entry {
    int value;
    std::optional<int> item;  // chosen from the list, else typed
    std::string typed;
};

// Every value of a row's range, with the input that enters it. Hex codes
// of six digits are sampled.
std::vector<Entry> Entries(const SettingCell& row, int variant) {
    const CodecSetup& c = row.codec;
    const int fieldMaximum = SettingMaximum(row);
    std::vector<Entry> entries;
    auto range = [&](int low, int high, auto text) {
        for (int v = low; v <= high; ++v) entries.push_back({v, std::nullopt, text(v)});
    };
    switch (c.kind) {
        case CodecKind::List:
            for (int v = 0; v < ListCount(c.list) && v <= fieldMaximum; ++v)
                entries.push_back({v, v, ""});
            break;
        case CodecKind::KeyAssign:
            for (int v = 0; v < ListCount(KeyFunctionList(variant)); ++v)
                entries.push_back({'0' + v, v, ""});
            break;
        case CodecKind::Number:
            range(int(c.minimum), int(c.maximum), [](int v) { return std::to_string(v); });
            break;
        case CodecKind::Timer: {
            TimerParams p;
            p.divisor = c.divisor;
            range(int(c.minimum), int(c.maximum), [&](int v) { return TimerText(v, p); });
            break;
        }
        case CodecKind::MinSec: {
            MinSecParams p;
            p.secondsPerUnit = c.divisor;
            range(int(c.minimum) / c.divisor, int(c.maximum) / c.divisor,
                  [&](int v) { return MinSecText(v, p); });
            break;
        }
        case CodecKind::FixedPoint: {
            const double unit = std::pow(10.0, c.scale);
            const int low = int(std::lround(c.minimum * unit));
            const int high = int(std::lround(c.maximum * unit));
            auto text = [&](int v) { return FixedPointText(v, c.scale, c.decimals); };
            if (high - low <= 100000) {
                range(low, high, text);
                break;
            }
            // Wide ranges (frequencies in Hz, shown to 100 Hz) are sampled on
            // the shown resolution.
            const int shown = int(std::lround(std::pow(10.0, c.scale - c.decimals)));
            std::set<int> values = {low, high, 0, shown, high - shown};
            std::mt19937 random(11);
            while (values.size() < 300)
                values.insert(low + int(random() % ((high - low) / shown + 1u)) * shown);
            for (int v : values) entries.push_back({v, std::nullopt, text(v)});
            break;
        }
        case CodecKind::HexCode: {
            HexCodeParams p;
            p.digits = c.digits;
            std::set<int> values = {0, 1, 0x9, 0xA, fieldMaximum, fieldMaximum - 1};
            std::mt19937 random(7);
            while (values.size() < 200)
                values.insert(static_cast<int>(random() % (fieldMaximum + 1u)));
            for (int v : values) entries.push_back({v, std::nullopt, HexCodeText(v, p)});
            break;
        }
        default: break;
    }
    return entries;
}

class SettingsCellMapTest : public CellHarness {
protected:
    // Random bytes everywhere, so that a stray write shows. Editing is gated
    // on the extended-mode bit for one row: it is set.
    void Scramble(uint32_t seed) {
        std::mt19937 random(seed);
        for (int32_t a = 0; a < Image().GetSize(); ++a)
            Image().SetByte(a, static_cast<uint8_t>(random()));
        Image().SetByte(0x000B, Image().GetByte(0x000B) | 0x10);
    }

    // Applies an entry and checks that only the row's bits changed.
    void Enter(const SettingCell& row, const Entry& e) {
        const EepromImage before = Image();
        const CellContext ctx = e.item ? Pick(kNoCategory, row.cell, 0, *e.item)
                                       : Type(kNoCategory, row.cell, 0, e.typed);
        const std::string what = CellName(row.cell) + " = " + std::to_string(e.value);
        ASSERT_FALSE(ctx.rejected) << what;
        ASSERT_EQ(ReadSetting(Image(), row), e.value) << what;
        auto own = OwnBits(row);
        if (row.codec.kind == CodecKind::KeyAssign) {
            // The option levels and the scrambler port go with the key.
            own.emplace_back(kAddrOptionLevels, 0xE0);
            own.emplace_back(kAddrScramblerPort, 0x03);
        }
        // Outside the row's bits the image is as it was.
        std::vector<uint8_t> was(before.Data(), before.Data() + before.GetSize());
        std::vector<uint8_t> now(Image().Data(), Image().Data() + Image().GetSize());
        for (const auto& [at, bits] : own) {
            was[static_cast<size_t>(at)] &= static_cast<uint8_t>(~bits);
            now[static_cast<size_t>(at)] &= static_cast<uint8_t>(~bits);
        }
        ASSERT_TRUE(was == now) << what;
        if (row.storage == Storage::Word) {
            EXPECT_EQ(Image().GetByte(row.address), e.value >> 8) << what;
            EXPECT_EQ(Image().GetByte(row.address + 1), e.value & 0xFF) << what;
        }
        if (ctx.redrawFlags & kRedrawRow) return;
        // Nothing to store means the value was there already.
        EXPECT_EQ(ReadSetting(before, row), e.value) << what;
    }
};

TEST_F(SettingsCellMapTest, EveryValueOfEveryRowChangesOnlyItsOwnBits) {
    // Each row in the first variant that keeps it.
    std::set<int> done;
    size_t values = 0;
    for (int variant : {kVariantLmr, kVariantTarnPmr, kVariantDPmr446}) {
        Open(variant);
        Scramble(1 + static_cast<uint32_t>(variant));
        for (const SettingCell& row : SettingCells()) {
            if (done.count(row.cell) || !SettingStoredIn(row, variant)) continue;
            const std::vector<Entry> entries = Entries(row, variant);
            if (entries.empty()) continue;
            done.insert(row.cell);
            values += entries.size();
            for (const Entry& e : entries) Enter(row, e);
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(done.size(), 150u);
    EXPECT_GT(values, 20000u);
}

TEST_F(SettingsCellMapTest, TextRowsWriteTheirCharactersOnly) {
    Open(kVariantDPmr446);
    Scramble(2);
    for (const SettingCell& row : SettingCells()) {
        if (row.storage != Storage::Text) continue;
        const EepromImage before = Image();
        ASSERT_FALSE(Type(kNoCategory, row.cell, 0, "AB.C%%").rejected) << CellName(row.cell);
        const std::vector<uint8_t> field = {'A', 'B' | 0x80, 'C', '%'};
        for (int32_t a = 0; a < Image().GetSize(); ++a) {
            const int i = a - row.address;
            if (i < 0 || i >= row.width) {
                ASSERT_EQ(Image().GetByte(a), before.GetByte(a)) << CellName(row.cell);
            } else {
                ASSERT_EQ(Image().GetByte(a), i < 4 ? field[i] : ' ') << CellName(row.cell) << i;
            }
        }
        EXPECT_EQ(Show(kNoCategory, row.cell), row.width == 3 ? "AB.C" : "AB.C%%");
    }
}

TEST_F(SettingsCellMapTest, ShownOnlyRowsRefuseInputAndKeepTheImage) {
    Open(kVariantTarnPmr);
    Scramble(3);
    const EepromImage before = Image();
    int shown = 0;
    for (const SettingCell& row : SettingCells()) {
        const CodecKind kind = row.codec.kind;
        const bool shownOnly = row.storage == Storage::None || row.storage == Storage::Ascii ||
                               (row.storage != Storage::Text &&
                                (kind == CodecKind::Show || kind == CodecKind::ShowHex));
        if (!shownOnly) continue;
        ++shown;
        EXPECT_TRUE(Type(kNoCategory, row.cell, 0, "1").rejected) << CellName(row.cell);
        Key(kNoCategory, row.cell, 0, kKeySpace);
    }
    EXPECT_TRUE(Image().Equals(before));
    EXPECT_GT(shown, 20);
    Image().SetWord(0x9A15, 0x1234);
    EXPECT_EQ(Show(kNoCategory, CL_Msk_Presl_Own_Id), "4660");
    Image().SetWord(0x9A19, 0xBEEF);
    EXPECT_EQ(Show(kNoCategory, CL_Msk_Presl_Sync), "$BEEF");
    EXPECT_EQ(Show(kNoCategory, CL_Comm_EmerIn), "----");
    EXPECT_EQ(Show(kNoCategory, CL_Maker_mREF), "----");
}

// The cells whose rows give a codec but no address keep their values in
// bytes no other setting uses. Whatever is entered changes those bytes and
// nothing else of the image.
struct UnlistedCase {
    int cell;
    int variant;
    std::optional<int> item;  // chosen, else typed
    std::string typed;
    int32_t address;
    std::vector<uint8_t> before, after;
    std::string shown;
};
const UnlistedCase kUnlistedCases[] = {
    // List "GI_Sheet_Sel_SetM_BeepLev" in bits 1-0 beside the key beep (bit 7).
    {CL_SetM_BeepLev, kVariantPmr, 2, "", 0x0130, {0x80}, {0x82}, "High"},
    {CL_SetM_BeepLev, kVariantDPmr446, 1, "", 0x0130, {0xFF}, {0xFD}, "Medium"},
    {CL_SetM_BeepLev, kVariantLmr, 0, "", 0x0130, {0x7E}, {0x7C}, "Low"},
    // List "GI_Sheet_Sel_Misc_OnOff" on bit 7.
    {CL_SetM_AFMinLev, kVariantLmr, 1, "", 0x0132, {0x15}, {0x95}, "On"},
    {CL_SetM_AFMinLev, kVariantTarnPmr, 0, "", 0x0132, {0xFF}, {0x7F}, "Off"},
    // Number 400..3000 on a big-endian word.
    {CL_Exp_BeepFreq_Low, kVariantPmr, {}, "1200", 0x9587, {0xFF, 0xFF}, {0x04, 0xB0}, "1200"},
    {CL_Exp_BeepFreq_Low, kVariantLmr, {}, "5000", 0x9587, {0, 0}, {0x0B, 0xB8}, "3000"},
    {CL_Exp_BeepFreq_Low, kVariantDPmr446, {}, "100", 0x9587, {0, 0}, {0x01, 0x90}, "400"},
    // Number 12..23 on a byte.
    {CL_Maker_Dtcs_Decode, kVariantLmr, {}, "17", 0x0023, {0xAA}, {0x11}, "17"},
    {CL_Maker_Dtcs_Decode, kVariantPmr, {}, "30", 0x0023, {0}, {0x17}, "23"},
    {CL_Maker_Dtcs_Decode, kVariantPmr, {}, "5", 0x0023, {0}, {0x0C}, "12"},
    // Fixed point, scale 10^6 (Hz), 4 decimals shown, -99.975..99.975 MHz.
    {CL_Maker_IfFreq,
     kVariantLmr,
     {},
     "-21.7",
     0x0010,
     {0, 0, 0, 0},
     {0xFE, 0xB4, 0xE2, 0x60},
     "-21.7000"},
    {CL_Maker_IfFreq,
     kVariantPmr,
     {},
     "45.05",
     0x0010,
     {0xFF, 0xFF, 0xFF, 0xFF},
     {0x02, 0xAF, 0x68, 0x90},
     " 45.0500"},
    {CL_Maker_IfFreq,
     kVariantLmr,
     {},
     "-150",
     0x0010,
     {0, 0, 0, 0},
     {0xFA, 0x0A, 0x80, 0xA8},
     "-99.9750"},
    // Fixed point, scale 10^6 (Hz), 4 decimals shown, 0..99.975 MHz.
    {CL_Maker_Pll_Reference,
     kVariantLmr,
     {},
     "12.8",
     0x0014,
     {0, 0, 0, 0},
     {0x00, 0xC3, 0x50, 0x00},
     " 12.8000"},
    {CL_Maker_Pll_Reference,
     kVariantDPmr446,
     {},
     "150",
     0x0014,
     {0, 0, 0, 0},
     {0x05, 0xF5, 0x7F, 0x58},
     " 99.9750"},
    // A decimal comma marks the decimals as "." does.
    {CL_Maker_Pll_Reference,
     kVariantPmr,
     {},
     "0,5",
     0x0014,
     {1, 2, 3, 4},
     {0x00, 0x07, 0xA1, 0x20},
     "  0.5000"},
};

TEST_F(SettingsCellMapTest, CellsWithACodecAndNoListedAddressEditTheirOwnBytes) {
    for (const UnlistedCase& c : kUnlistedCases) {
        const std::string what = CellName(c.cell) + " " + (c.item ? "item" : c.typed);
        Open(c.variant);
        const auto n = static_cast<int32_t>(c.before.size());
        Image().WriteBlock(c.address, c.before.data(), n);
        const EepromImage before = Image();
        const CellContext ctx =
            c.item ? Pick(kNoCategory, c.cell, 0, *c.item) : Type(kNoCategory, c.cell, 0, c.typed);
        EXPECT_FALSE(ctx.rejected) << what;
        for (int32_t a = 0; a < Image().GetSize(); ++a) {
            const int32_t i = a - c.address;
            const uint8_t expected = i >= 0 && i < n ? c.after[size_t(i)] : before.GetByte(a);
            ASSERT_EQ(Image().GetByte(a), expected) << what << " at " << a;
        }
        EXPECT_EQ(Show(kNoCategory, c.cell), c.shown) << what;
    }
}

// A setting or record that the variant packs into no table never reaches a
// file or the radio: its cell shows nothing and takes no input. The same
// cell works in a variant that keeps it.
TEST_F(SettingsCellMapTest, CellsTheVariantDoesNotKeepRefuseEveryInput) {
    struct Case {
        int category, cell;
        int32_t index;
        int variant;
        bool kept;
    };
    const Case cases[] = {
        {kNoCategory, CL_KDisp_ScrollTimer, 0, kVariantPmr, false},  // 0x9C0D, Tarn tables only
        {kNoCategory, CL_KDisp_ScrollTimer, 0, kVariantTarnPmr, true},
        {kNoCategory, CL_Msk_TimingErr_NA, 0, kVariantLmr, false},     // 0x9BED
        {kNoCategory, CL_Dig_Tim_Breakin, 0, kVariantTarnPmr, false},  // 0xA36B, dPMR446 only
        {kNoCategory, CL_Dig_Tim_Breakin, 0, kVariantDPmr446, true},
        {kNoCategory, CL_TSetM_Backlight, 0, kVariantPmr, false},  // 0xA3F9, dPMR446 only
        {kNoCategory, CL_Comm_Tot, 0, kVariantLmr, false},         // 0xA376, dPMR446 only
        {kNoCategory, CL_Comm_Tot, 0, kVariantDPmr446, true},
        {CT_MSK_IdGroup, CL_Msk_IdGroup_Text, 2, kVariantPmr, false},  // 0x9A1F, Tarn only
        {CT_MSK_IdGroup, CL_Msk_IdGroup_Text, 2, kVariantTarnPmr, true},
        {CT_Dig_Msg_Status, CL_Dig_Msg_Status_Beep, 0, kVariantLmr, false},  // 0xA0E5
        // The set-mode bytes lie in the radio area: every variant keeps them.
        {kNoCategory, CL_SetM_BeepOn, 0, kVariantLmr, true},
        {kNoCategory, CL_SetM_BeepLev, 0, kVariantTarnPmr, true},
    };
    for (const Case& c : cases) {
        const std::string what = CellName(c.cell) + " in variant " + std::to_string(c.variant);
        Open(c.variant);
        const EepromImage before = Image();
        const CellContext typed = Type(c.category, c.cell, c.index, "1");
        const CellContext keyed = Key(c.category, c.cell, c.index, kKeySpace);
        const CellContext picked = Pick(c.category, c.cell, c.index, 1);
        if (c.kept) {
            EXPECT_EQ(typed.refusal + keyed.refusal + picked.refusal, "") << what;
            EXPECT_TRUE((typed.redrawFlags | keyed.redrawFlags | picked.redrawFlags) & kRedrawRow)
                << what;
            continue;
        }
        for (const CellContext* ctx : {&typed, &keyed, &picked}) {
            EXPECT_TRUE(ctx->rejected) << what;
            EXPECT_EQ(ctx->refusal, "not used in this variant") << what;
            EXPECT_EQ(ctx->redrawFlags & kRedrawRow, 0) << what;
        }
        EXPECT_TRUE(Image().Equals(before)) << what;
        EXPECT_EQ(Show(c.category, c.cell, c.index), "") << what;
        EXPECT_FALSE(Draw(c.category, c.cell, c.index).rejected) << what;
    }
}

TEST_F(SettingsCellMapTest, TheTimeOutTimerGoesTo180InDPmr446And255Elsewhere) {
    struct Case {
        int variant;
        std::string typed, shown;
        int stored;
    };
    const Case cases[] = {
        {kVariantLmr, "255", "255.000", 255},     {kVariantLmr, "300", "255.000", 255},
        {kVariantPmr, "200", "200.000", 200},     {kVariantDPmr446, "200", "180.000", 180},
        {kVariantDPmr446, "179", "179.000", 179},
    };
    for (const Case& c : cases) {
        Open(c.variant);
        Type(kNoCategory, CL_Comm_Tot_Timer, 0, c.typed);
        EXPECT_EQ(Image().GetByte(0x95B9), c.stored) << c.variant << " " << c.typed;
        EXPECT_EQ(Show(kNoCategory, CL_Comm_Tot_Timer), c.shown);
    }
    // Stepping wraps at the variant's maximum.
    Image().SetByte(0x95B9, 180);
    Key(kNoCategory, CL_Comm_Tot_Timer, 0, kKeySpace);
    EXPECT_EQ(Image().GetByte(0x95B9), 0);
}

TEST_F(SettingsCellMapTest, SharedBytesAndSteppedNumbers) {
    Open(kVariantTarnPmr);
    // The bits of 0x9C10 belong to five settings.
    Image().SetByte(0x9C10, 0x00);
    Pick(kNoCategory, CL_Msk_Cfg_Enc_PttCall, 0, 1);
    Pick(kNoCategory, CL_Msk_Cfg_Gps_Auto, 0, 1);
    Pick(kNoCategory, CL_Msk_Cfg_Gps_Sentence, 0, 3);
    EXPECT_EQ(Image().GetByte(0x9C10), 0x80 | 0x10 | 0x03);
    Pick(kNoCategory, CL_Msk_Cfg_Enc_PttCall, 0, 0);
    EXPECT_EQ(Image().GetByte(0x9C10), 0x13);
    // Number 1..8 steps from 8 to 1, and back.
    Image().SetByte(0x9BED, 8);
    Key(kNoCategory, CL_Msk_TimingErr_NA, 0, kKeySpace);
    EXPECT_EQ(Show(kNoCategory, CL_Msk_TimingErr_NA), "1");
    Key(kNoCategory, CL_Msk_TimingErr_NA, 0, kKeyBackspace);
    EXPECT_EQ(Image().GetByte(0x9BED), 8);
    // A four-item list on one bit offers two items.
    Image().SetByte(0x9C10, 0x04);
    Key(kNoCategory, CL_Msk_Cfg_Enc_PttSideTone, 0, kKeySpace);
    EXPECT_EQ(Image().GetByte(0x9C10), 0x00);
    EXPECT_TRUE(Pick(kNoCategory, CL_Msk_Cfg_Enc_PttSideTone, 0, 3).rejected);
    EXPECT_EQ(Image().GetByte(0x9C10), 0x00);
}

TEST_F(SettingsCellMapTest, ValuesShowAsADealerReadsThem) {
    struct Case {
        int cell;
        int32_t address;
        std::vector<uint8_t> bytes;
        std::string shown;
        int variant = kVariantLmr;  // one that keeps the setting
    };
    const Case cases[] = {
        {CL_Comm_UserPassword, 0x957D, {0x12, 0xAB}, "12AB"},
        {CL_Comm_DealerPasscode, 0x957F, {0x01, 0x23, 0x45}, "012345"},
        {CL_Exp_UserCtcss, 0x9697, {0x02, 0x9E}, " 67.0"},
        {CL_Exp_BeepFreq_High, 0x9589, {0x0B, 0xB8}, "3000"},
        {CL_Msk_TimingErr_TAC, 0x9BF1, {25}, "  0.25", kVariantTarnPmr},
        {CL_Comm_Tot_Reset, 0x95CA, {15}, " 15.000"},
        {CL_Msk_Cfg_Gps_IntervalTimer, 0x9C0F, {3}, " 1:30", kVariantTarnPmr},
        {CL_ScanComm_StopTimer, 0x95B2, {50}, "  5.0"},
        {CL_ScanComm_ScanTimer_Fast, 0x95A5, {125}, "  0.125"},
        {CL_Comm_AtResetTimer_A, 0x95BD, {0}, "Off"},
        {CL_Comm_AtResetTimer_A, 0x95BD, {30}, " 30"},
        {CL_Dig_Tim_Chk, 0xA365, {0x01, 0xF4}, "  0.500", kVariantDPmr446},
        {CL_Maker_Liion_Normal_Low1, 0x0030, {140}, "140"},
        {CL_Maker_Liion_Normal_DispNormal, 0x0030, {140}, "> 140"},
        {CL_Maker_Liion_Dry_DispLow2, 0x0037, {101}, "<= 101"},
        {CL_Comm_CloneComment1,
         0x95DD,
         {'D', 'E', 'P', 'O', 'T', 0x01, 'X', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '},
         "DEPOT X"},
    };
    for (const Case& c : cases) {
        Open(c.variant);
        Image().WriteBlock(c.address, c.bytes.data(), static_cast<int32_t>(c.bytes.size()));
        EXPECT_EQ(Show(kNoCategory, c.cell), c.shown) << CellName(c.cell);
    }
}

TEST_F(SettingsCellMapTest, TheChannelCheckTimerIsEditableOnlyInExtendedMode) {
    Open(kVariantDPmr446);
    Image().SetByte(0x000B, 0x00);
    Image().SetWord(0xA365, 500);
    EXPECT_TRUE(Type(kNoCategory, CL_Dig_Tim_Chk, 0, "1.0").rejected);
    EXPECT_EQ(Image().GetWord(0xA365), 500);
    EXPECT_EQ(Show(kNoCategory, CL_Dig_Tim_Chk), "  0.500");
    Image().SetByte(0x000B, 0x10);
    EXPECT_FALSE(Type(kNoCategory, CL_Dig_Tim_Chk, 0, "1.0").rejected);
    EXPECT_EQ(Image().GetWord(0xA365), 1000);
    // Clamped to 0.100 .. 1.275 s.
    Type(kNoCategory, CL_Dig_Tim_Chk, 0, "5");
    EXPECT_EQ(Image().GetWord(0xA365), 1275);
}

TEST_F(SettingsCellMapTest, EditsAskForTheRowToBeRedrawn) {
    Open(kVariantDPmr446);
    const int before = host.edits;
    const CellContext ctx = Pick(kNoCategory, CL_Comm_Tot, 0, 1);
    EXPECT_TRUE(ctx.redrawFlags & kRedrawRow);
    EXPECT_EQ(host.edits, before + 1);
    EXPECT_FALSE(Draw(kNoCategory, CL_Comm_Tot).redrawFlags & kRedrawRow);
}

}  // namespace
}  // namespace parlo
