#include "model/BankMap.h"

#include <algorithm>

#include "model/ChannelMap.h"

namespace parlo {

namespace {

bool ValidBank(int bank) { return bank >= 0 && bank < kBankCount; }

uint16_t WordAt(const EepromImage& image, int32_t a) {
    return image.IsValidAddress(a + 1) && image.IsValidAddress(a) ? image.GetWord(a) : 0;
}

// Effective sizes of all banks in one walk.
struct Sizes {
    int size[kBankCount];
};

Sizes EffectiveSizes(const EepromImage& image) {
    Sizes s{};
    int left = kChannelSlots;
    for (int i = 0; i < kBankCount; ++i) {
        s.size[i] = std::min<int>(WordAt(image, kAddrBankSizes + 2 * i), left);
        left -= s.size[i];
    }
    return s;
}

}  // namespace

int BankSize(const EepromImage& image, int bank) {
    return ValidBank(bank) ? EffectiveSizes(image).size[bank] : 0;
}

void SetBankSize(EepromImage& image, int bank, int size) {
    if (!ValidBank(bank)) return;
    image.SetWord(kAddrBankSizes + 2 * bank, static_cast<uint16_t>(std::clamp(size, 0, 64)));
}

int BanksBefore(const EepromImage& image, int k) {
    const Sizes s = EffectiveSizes(image);
    int total = 0;
    for (int i = 0; i < std::min(k, kBankCount); ++i) total += s.size[i];
    return total;
}

int BankFirstSlot(const EepromImage& image, int bank) { return BanksBefore(image, bank); }

int BanksTotal(const EepromImage& image) { return BanksBefore(image, kBankCount); }

int BankOfSlot(const EepromImage& image, int slot) {
    const Sizes s = EffectiveSizes(image);
    int first = 0;
    for (int i = 0; i < kBankCount; ++i) {
        if (slot >= first && slot < first + s.size[i]) return i;
        first += s.size[i];
    }
    return kNoBank;
}

bool BankFlag(const EepromImage& image, int bank) {
    if (!ValidBank(bank) || !image.IsValidAddress(kAddrBankFlags + bank / 8)) return false;
    return (image.GetByte(kAddrBankFlags + bank / 8) >> (7 - bank % 8)) & 1;
}

void SetBankFlag(EepromImage& image, int bank, bool on) {
    if (!ValidBank(bank)) return;
    const int32_t a = kAddrBankFlags + bank / 8;
    const uint8_t bit = static_cast<uint8_t>(0x80 >> (bank % 8));
    image.SetByte(a, on ? (image.GetByte(a) | bit) : (image.GetByte(a) & ~bit));
}

void ResetBankLayout(EepromImage& image, bool twoBanks) {
    for (int i = 0; i < kBankCount; ++i) SetBankSize(image, i, 0);
    SetBankSize(image, 0, twoBanks ? 4 : 64);
    SetBankSize(image, 1, twoBanks ? 4 : 0);
}

bool BankLayoutOption(const EepromImage& image) { return BankSize(image, 1) != 0; }

bool IsChannelPresent(const EepromImage& image, int slot) {
    if (slot < 0 || slot >= kChannelSlots) return false;
    const int32_t a = kAddrChannelMain + kChannelMainSize * slot;
    if (!image.IsValidAddress(a + 3)) return false;
    return (image.GetByte(a) & 0x7F) != 0 || image.GetByte(a + 1) != 0 ||
           image.GetByte(a + 2) != 0 || image.GetByte(a + 3) != 0;
}

int UsedInSlotRange(const EepromImage& image, int first, int last) {
    if (first < 0 || last >= kChannelSlots || first > last) return -1;
    int used = 0;
    for (int slot = first; slot <= last; ++slot) used += IsChannelPresent(image, slot) ? 1 : 0;
    return used;
}

int UsedInBank(const EepromImage& image, int bank) {
    const int size = BankSize(image, bank);
    if (size == 0) return 0;
    const int first = BankFirstSlot(image, bank);
    return UsedInSlotRange(image, first, first + size - 1);
}

int UsedInAllBanks(const EepromImage& image) {
    const int total = BanksTotal(image);
    return total == 0 ? 0 : UsedInSlotRange(image, 0, total - 1);
}

bool ChannelCapacityOk(const EepromImage& image, int m) {
    const int group1End = WordAt(image, kAddrGroup1End);
    const int packedEnd = WordAt(image, kAddrPackedEnd);
    return 34 * m < 7552 - group1End && 32128 - packedEnd - 34 * m >= 12 * m;
}

int FreeChannelSlots(const EepromImage& image) {
    for (int m = kChannelSlots - BanksTotal(image); m >= 0; --m) {
        if (ChannelCapacityOk(image, m)) return m;
    }
    return -1;
}

int RemainingChannels(const EepromImage& image) {
    return FreeChannelSlots(image) + BanksTotal(image) - UsedInAllBanks(image);
}

}  // namespace parlo
