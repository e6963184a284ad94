#pragma once
// The five banks over the 64 channel slots: sizes, the per-bank flags, the
// layout reset, the used-channel counters and the channel capacity check.
// Bank computations trust nothing in the image: sizes are cut so that the
// banks never reach past slot 63.
#include <cstdint>

#include "model/EepromImage.h"

namespace parlo {

// Size of bank i as the banks use it: its word, cut to the slots the banks
// before it left over. 0 outside 0..4.
int BankSize(const EepromImage& image, int bank);
// Writes the size word (0..64); nothing outside 0..4.
void SetBankSize(EepromImage& image, int bank, int size);
// Total size of the first k banks.
int BanksBefore(const EepromImage& image, int k);
int BankFirstSlot(const EepromImage& image, int bank);
int BanksTotal(const EepromImage& image);
// The first bank whose range holds the slot; kNoBank past all banks.
int BankOfSlot(const EepromImage& image, int slot);

bool BankFlag(const EepromImage& image, int bank);
void SetBankFlag(EepromImage& image, int bank, bool on);

// Layout reset: sizes 4, 4, 0, 0, 0 with the option on, else 64, 0, 0, 0, 0.
void ResetBankLayout(EepromImage& image, bool twoBanks);
// The option reads as on when bank 1 is not empty.
bool BankLayoutOption(const EepromImage& image);

// A slot holds a channel when its receive frequency is not 0.
bool IsChannelPresent(const EepromImage& image, int slot);
int UsedInBank(const EepromImage& image, int bank);
int UsedInAllBanks(const EepromImage& image);
// -1 when an end is outside 0..63 or the range is reversed.
int UsedInSlotRange(const EepromImage& image, int first, int last);

// Whether m more channels fit the packed layout left by the last pack.
bool ChannelCapacityOk(const EepromImage& image, int m);
// The most channels that may still be added, or -1 if not even 0 fit.
int FreeChannelSlots(const EepromImage& image);
// Free slots + total of bank sizes - used channels.
int RemainingChannels(const EepromImage& image);

}  // namespace parlo
