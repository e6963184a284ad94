// Blank, delete and insert over the channel slots, and bank resizing.
#include <gtest/gtest.h>

#include <string>

#include "model/BankMap.h"
#include "model/ChannelArray.h"
#include "model/ChannelMap.h"
#include "model/ChannelRecord.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

constexpr int kKind = 2;

// Slot n of the working image holds channel n + 1 (frequency, name, tone),
// the default image a factory channel with recognisable settings in every
// slot.
struct Images {
    EepromImage working, defaults;
    Images(std::initializer_list<uint16_t> sizes, int channels) {
        working.SetSize(kImageSize);
        defaults.SetSize(kImageSize);
        int i = 0;
        for (uint16_t s : sizes) working.SetWord(kAddrBankSizes + 2 * i++, s);
        working.SetWord(kAddrGroup1End, 0x0400);
        working.SetWord(kAddrPackedEnd, 0x1000);
        working.SetByte(kAddrRefSwitch, kRefSwitchBit);
        working.SetByte(kAddrRefA, 0xFF);
        working.SetByte(kAddrRefB, 0xFF);
        working.SetByte(kAddrRefE, 0xFF);
        ChannelRecord r(working);
        for (int n = 0; n < channels; ++n) {
            r.Decode(kKind, n);
            r.present = true;
            r.SetValue(Field::RxFreq, 446'000'000 + n);
            r.SetValue(Field::TxFreq, 446'000'000 + n);
            r.texts[0] = "CH " + std::to_string(n + 1);
            r.tones[0] = Tone{true, false, false, static_cast<uint8_t>(n), 0};
            r.Store();
        }
        ChannelRecord d(defaults);
        for (int n = 0; n < kChannelSlots; ++n) {
            d.Decode(kKind, n);
            d.present = true;
            d.SetValue(Field::RxFreq, 446'100'000 + n);
            d.SetValue(Field::TxFreq, 446'100'000 + n);
            d.SetValue(Field::Inhibit, 1);
            d.texts[0] = "FACTORY";
            d.SetValue(Field::Narrow, 1);
            d.Store();
        }
    }
    std::string Name(int slot) {
        ChannelRecord r(working);
        r.Decode(kKind, slot);
        std::string s = r.texts[0];
        while (!s.empty() && s.back() == ' ') s.pop_back();
        return r.present ? s : "(" + s + ")";
    }
    ChannelArray Array() { return ChannelArray(working, defaults, kKind); }
};

TEST(ChannelArray, DeleteAndInsertAtTheEnds) {
    Images im({64, 0, 0, 0, 0}, 64);
    im.Array().DeleteAt(63);
    EXPECT_EQ(im.Name(62), "CH 63");
    EXPECT_EQ(im.Name(63), "()");

    im.Array().InsertAt(63);
    EXPECT_EQ(im.Name(62), "CH 63");
    EXPECT_EQ(im.Name(63), "()");

    im.Array().DeleteAt(0);
    EXPECT_EQ(im.Name(0), "CH 2");
    EXPECT_EQ(im.Name(61), "CH 63");
    EXPECT_EQ(im.Name(62), "()");

    im.Array().InsertAt(0);
    EXPECT_EQ(im.Name(0), "()");
    EXPECT_EQ(im.Name(1), "CH 2");
    EXPECT_EQ(im.Name(63), "()");

    const EepromImage before = im.working;
    im.Array().DeleteAt(64);
    im.Array().InsertAt(-1);
    EXPECT_TRUE(im.working.Equals(before));
}

TEST(ChannelArray, MovedChannelKeepsItsDataButTakesTheSlotsBankFlag) {
    Images im({2, 4, 0, 0, 0}, 6);
    SetBankFlag(im.working, 1, true);
    im.working.SetByte(kAddrRefA, 3);  // channel 4 (slot 3) is referenced
    im.Array().DeleteAt(1);            // slot 2 (bank 1) moves into slot 1 (bank 0)

    ChannelRecord r(im.working);
    r.Decode(kKind, 1);
    EXPECT_EQ(r.Value(Field::RxFreq), 446'000'002);
    EXPECT_EQ(r.tones[0].ctcss, 2);
    EXPECT_EQ(r.attributes & kAttrBankFlag, 0);  // bank 0's flag
    r.Decode(kKind, 2);
    EXPECT_EQ(r.Value(Field::RxFreq), 446'000'003);
    EXPECT_NE(r.attributes & kAttrBankFlag, 0);
    EXPECT_EQ(im.working.GetByte(kAddrRefA), 2);  // the reference follows its channel
    EXPECT_TRUE(BankFlag(im.working, 1));
    EXPECT_FALSE(BankFlag(im.working, 0));
}

// A blank slot is no channel: no frequency, no name; every other setting is
// the factory's for that slot, and the slot keeps its attribute bits.
TEST(ChannelArray, BlankIsNoChannelWithTheFactorySettingsAndTheSlotsAttributes) {
    Images im({8, 0, 0, 0, 0}, 8);
    im.working.SetByte(kAddrRefB, 4);
    const EepromImage before = im.working;
    im.Array().Blank(4);

    // The whole image: only slot 4's records change.
    EepromImage expected = before;
    const int32_t main = kAddrChannelMain + 34 * 4, ext = kAddrChannelExt + 12 * 4;
    for (int32_t i = 0; i < 34; ++i) expected.SetByte(main + i, im.defaults.GetByte(main + i));
    for (int32_t i = 0; i < 12; ++i) expected.SetByte(ext + i, im.defaults.GetByte(ext + i));
    const uint8_t noFrequency[8] = {0x80, 0, 0, 0, 0, 0, 0, 0};  // only the inhibit bit stays
    for (int32_t i = 0; i < 8; ++i) expected.SetByte(main + i, noFrequency[i]);
    for (int32_t i = 20; i < 28; ++i) expected.SetByte(main + i, ' ');
    expected.SetByte(main + 28, static_cast<uint8_t>(expected.GetByte(main + 28) | 0x20));
    for (int32_t a = 0; a < kImageSize; ++a)
        ASSERT_EQ(im.working.GetByte(a), expected.GetByte(a)) << std::hex << a;

    ChannelRecord r(im.working);
    r.Decode(kKind, 4);
    EXPECT_FALSE(r.present);
    EXPECT_EQ(r.texts[0], "        ");
    EXPECT_EQ(r.Value(Field::Narrow), 1);
    EXPECT_EQ(r.Value(Field::Inhibit), 1);
    EXPECT_EQ(r.attributes & kAttrRefB, kAttrRefB);
}

TEST(ChannelArray, BankResize) {
    struct Case {
        const char* name;
        int requested;
        int resulting;
        const char* refusal;  // nullptr: none
    };
    // Bank 1 holds slots 3..7: two channels, then three blank slots; bank 2
    // follows with two channels; 54 slots are free.
    const Case cases[] = {
        {"grow", 9, 9, nullptr},
        {"grow past the free slots", 70, 59, "GI_AppMess_ChErr_Overflow"},
        {"shrink by the blank tail", 2, 2, nullptr},
        {"shrink into a channel", 1, 2, "GI_AppMess_ChErr_NotBlank"},
        {"shrink below nothing", -1, 2, "GI_AppMess_ChErr_NoCh"},
        {"same size", 5, 5, nullptr},
    };
    for (const Case& c : cases) {
        Images im({3, 5, 2, 0, 0}, 5);
        ChannelRecord r(im.working);
        for (int slot : {5, 6, 7}) {  // blank the tail of bank 1
            r.Decode(kKind, slot);
            r.present = false;
            r.Store();
        }
        for (int slot : {8, 9}) {  // bank 2's channels
            r.Decode(kKind, slot);
            r.present = true;
            r.SetValue(Field::RxFreq, 440'000'000 + slot);
            r.Store();
        }
        test::RecordingPrompts prompts;
        const BankResize resized = im.Array().ResizeBank(1, c.requested);
        EXPECT_EQ(resized.size, c.resulting) << c.name;
        EXPECT_EQ(BankSize(im.working, 1), c.resulting) << c.name;
        EXPECT_STREQ(resized.refusal, c.refusal) << c.name;
        EXPECT_TRUE(prompts.shown.empty()) << c.name << ": the caller tells the user";
        // Bank 2's channels moved with the end of bank 1.
        const int bank2 = BankFirstSlot(im.working, 2);
        r.Decode(kKind, bank2);
        EXPECT_EQ(r.Value(Field::RxFreq), 440'000'008) << c.name;
        EXPECT_EQ(UsedInBank(im.working, 1), 2) << c.name;
    }
}

TEST(ChannelArray, ReferencedBlankSlotsAreNotPartOfTheTail) {
    Images im({6, 0, 0, 0, 0}, 2);
    im.working.SetByte(kAddrRefE, 4);
    EXPECT_EQ(im.Array().BlankTail(0), 1);
    im.working.SetByte(kAddrRefSwitch, 0);  // the third reference switched off
    EXPECT_EQ(im.Array().BlankTail(0), 4);
}

}  // namespace
}  // namespace parlo
