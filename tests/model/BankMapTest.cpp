// Banks over the channel slots, the used-channel counters and the capacity check.
#include <gtest/gtest.h>

#include "model/BankMap.h"
#include "model/ChannelMap.h"

namespace parlo {
namespace {

EepromImage BlankImage() {
    EepromImage e;
    e.SetSize(kImageSize);
    return e;
}

void SetSizes(EepromImage& e, std::initializer_list<uint16_t> words) {
    int i = 0;
    for (uint16_t w : words) e.SetWord(kAddrBankSizes + 2 * i++, w);
}

void MakePresent(EepromImage& e, int slot) { e.SetByte(kAddrChannelMain + 34 * slot + 3, 1); }

TEST(BankMap, SlotsFollowTheBankSizes) {
    EepromImage e = BlankImage();
    SetSizes(e, {3, 0, 5, 1, 0});
    EXPECT_EQ(BanksTotal(e), 9);
    EXPECT_EQ(BankFirstSlot(e, 2), 3);
    EXPECT_EQ(BanksBefore(e, 4), 9);
    struct Case {
        int slot, bank;
    };
    for (const Case c :
         {Case{0, 0}, {2, 0}, {3, 2}, {7, 2}, {8, 3}, {9, kNoBank}, {-1, kNoBank}, {64, kNoBank}}) {
        EXPECT_EQ(BankOfSlot(e, c.slot), c.bank) << c.slot;
    }
    EXPECT_EQ(BankSize(e, -1), 0);
    EXPECT_EQ(BankSize(e, 5), 0);
    SetBankSize(e, 5, 9);  // outside 0..4: nothing written
    EXPECT_EQ(e.GetWord(kAddrBankSizes + 10), 0);
}

TEST(BankMap, CorruptSizesNeverReachPastSlot63) {
    EepromImage e = BlankImage();
    SetSizes(e, {60, 0xFFFF, 0xFFFF, 7, 200});
    EXPECT_EQ(BankSize(e, 0), 60);
    EXPECT_EQ(BankSize(e, 1), 4);
    EXPECT_EQ(BankSize(e, 2), 0);
    EXPECT_EQ(BanksTotal(e), 64);
    EXPECT_EQ(BankOfSlot(e, 63), 1);
    EXPECT_EQ(BankFirstSlot(e, 4), 64);
    EXPECT_EQ(UsedInBank(e, 4), 0);
    EXPECT_EQ(FreeChannelSlots(e), 0);
}

TEST(BankMap, LayoutResetAndFlags) {
    EepromImage e = BlankImage();
    SetSizes(e, {9, 9, 9, 9, 9});
    ResetBankLayout(e, true);
    const int twoBanks[] = {4, 4, 0, 0, 0};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(BankSize(e, i), twoBanks[i]);
    EXPECT_TRUE(BankLayoutOption(e));
    ResetBankLayout(e, false);
    const int oneBank[] = {64, 0, 0, 0, 0};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(BankSize(e, i), oneBank[i]);
    EXPECT_FALSE(BankLayoutOption(e));

    e.SetByte(kAddrBankFlags, 0x05);
    SetBankFlag(e, 1, true);
    SetBankFlag(e, 4, true);
    SetBankFlag(e, 5, true);  // no such bank
    EXPECT_EQ(e.GetByte(kAddrBankFlags), 0x4D);
    EXPECT_TRUE(BankFlag(e, 4));
    EXPECT_FALSE(BankFlag(e, 2));
    EXPECT_FALSE(BankFlag(e, kNoBank));
    SetBankFlag(e, 1, false);
    EXPECT_EQ(e.GetByte(kAddrBankFlags), 0x0D);
}

TEST(BankMap, UsedChannels) {
    EepromImage e = BlankImage();
    SetSizes(e, {4, 4, 0, 0, 0});
    for (int slot : {0, 3, 5, 9}) MakePresent(e, slot);
    e.SetByte(kAddrChannelMain + 34 * 1, 0x80);  // only the inhibit bit: blank
    EXPECT_EQ(UsedInBank(e, 0), 2);
    EXPECT_EQ(UsedInBank(e, 1), 1);
    EXPECT_EQ(UsedInBank(e, 2), 0);
    EXPECT_EQ(UsedInAllBanks(e), 3);  // slot 9 lies past the banks
    EXPECT_EQ(UsedInSlotRange(e, 0, 63), 4);
    EXPECT_EQ(UsedInSlotRange(e, 5, 4), -1);
    EXPECT_EQ(UsedInSlotRange(e, -1, 4), -1);
    EXPECT_EQ(UsedInSlotRange(e, 0, 64), -1);
    // 56 free slots + 8 in banks - 3 used.
    EXPECT_EQ(RemainingChannels(e), 61);
}

TEST(BankMap, CapacityCheckAtItsLimits) {
    EepromImage e = BlankImage();
    // First group: 34 m < 7552 - W(0x0110) allows m = 2 here, not 3.
    e.SetWord(kAddrGroup1End, 7552 - 34 * 3);
    EXPECT_TRUE(ChannelCapacityOk(e, 2));
    EXPECT_FALSE(ChannelCapacityOk(e, 3));
    EXPECT_EQ(FreeChannelSlots(e), 2);
    // Whole layout: 32128 - W(0x0112) - 34 m >= 12 m allows exactly m = 4.
    e.SetWord(kAddrGroup1End, 0x0200);
    e.SetWord(kAddrPackedEnd, 32128 - 46 * 4);
    EXPECT_TRUE(ChannelCapacityOk(e, 4));
    EXPECT_FALSE(ChannelCapacityOk(e, 5));
    EXPECT_EQ(FreeChannelSlots(e), 4);
    // Free slots never exceed the slots the banks leave.
    e.SetWord(kAddrPackedEnd, 0x0800);
    SetSizes(e, {60, 0, 0, 0, 0});
    EXPECT_EQ(FreeChannelSlots(e), 4);
    // Nothing fits: -1.
    e.SetWord(kAddrGroup1End, 7552);
    EXPECT_EQ(FreeChannelSlots(e), -1);
}

}  // namespace
}  // namespace parlo
