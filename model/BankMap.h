#pragma once
// The five banks over the 64 channel slots: sizes, the per-bank flags, the
// layout reset, the used-channel counters and the channel capacity check.
// Bank computations trust nothing in the image: sizes are cut so that the
// banks never reach past slot 63.
#include <cstdint>

#include "model/cmcEeprom.h"

namespace parlo {

// Size of bank i as the banks use it: its word, cut to the slots the banks
// before it left over. 0 outside 0..4.
int BankSize(const cmcEeprom& image, int bank);
// Writes the size word (0..64); nothing outside 0..4.
void SetBankSize(cmcEeprom& image, int bank, int size);
// Total size of the first k banks.
int BanksBefore(const cmcEeprom& image, int k);
int BankFirstSlot(const cmcEeprom& image, int bank);
int BanksTotal(const cmcEeprom& image);
// The first bank whose range holds the slot; kNoBank past all banks.
int BankOfSlot(const cmcEeprom& image, int slot);

bool BankFlag(const cmcEeprom& image, int bank);
void SetBankFlag(cmcEeprom& image, int bank, bool on);

// Layout reset: sizes 4, 4, 0, 0, 0 with the option on, else 64, 0, 0, 0, 0.
void ResetBankLayout(cmcEeprom& image, bool twoBanks);
// The option reads as on when bank 1 is not empty.
bool BankLayoutOption(const cmcEeprom& image);

// A slot holds a channel when its receive frequency is not 0.
bool IsChannelPresent(const cmcEeprom& image, int slot);
int UsedInBank(const cmcEeprom& image, int bank);
int UsedInAllBanks(const cmcEeprom& image);
// -1 when an end is outside 0..63 or the range is reversed.
int UsedInSlotRange(const cmcEeprom& image, int first, int last);

// Whether m more channels fit the packed layout left by the last pack.
bool ChannelCapacityOk(const cmcEeprom& image, int m);
// The most channels that may still be added, or -1 if not even 0 fit.
int FreeChannelSlots(const cmcEeprom& image);
// Free slots + total of bank sizes - used channels.
int RemainingChannels(const cmcEeprom& image);

}  // namespace parlo
