#include "model/ChannelArray.h"

#include <algorithm>

#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ChannelRecord.h"

namespace parlo {

namespace {

bool ValidSlot(int slot) { return slot >= 0 && slot < kChannelSlots; }

}  // namespace

void ChannelArray::Blank(int slot) {
    if (!ValidSlot(slot)) return;
    ChannelRecord target(working_);
    target.Decode(kind_, slot);
    // Every setting as the factory has it for this slot, but no channel:
    // no frequency and no name.
    ChannelRecord blank(defaults_);
    blank.Decode(kind_, slot);
    blank.present = false;
    blank.SetValue(Field::RxFreq, 0);
    blank.SetValue(Field::TxFreq, 0);
    blank.texts[0].assign(8, ' ');
    blank.attributes = target.attributes;
    blank.SetImage(working_);
    blank.Store();
}

// The moved channel keeps everything but the bank flag, which belongs to the
// slot it lands in. Its channel references move with it.
void ChannelArray::Move(int from, int to) {
    ChannelRecord record(working_);
    record.Decode(kind_, from);
    const bool flag = BankFlag(working_, BankOfSlot(working_, to));
    record.attributes =
        static_cast<uint8_t>((record.attributes & ~kAttrBankFlag) | (flag ? kAttrBankFlag : 0));
    record.StoreAt(to);
}

void ChannelArray::DeleteAt(int slot) {
    if (!ValidSlot(slot)) return;
    for (int k = slot; k < kChannelSlots - 1; ++k) Move(k + 1, k);
    Blank(kChannelSlots - 1);
}

void ChannelArray::InsertAt(int slot) {
    if (!ValidSlot(slot)) return;
    for (int k = kChannelSlots - 1; k > slot; --k) Move(k - 1, k);
    Blank(slot);
}

int ChannelArray::BlankTail(int bank) const {
    const int size = BankSize(working_, bank);
    const int first = BankFirstSlot(working_, bank);
    int tail = 0;
    ChannelRecord record(working_);
    for (int slot = first + size - 1; slot >= first; --slot, ++tail) {
        record.Decode(kind_, slot);
        if (record.present || (record.attributes & kAttrReferences)) break;
    }
    return tail;
}

BankResize ChannelArray::ResizeBank(int bank, int requested) {
    if (bank < 0 || bank >= kBankCount) return {};
    const int current = BankSize(working_, bank);
    const int largest = current + std::max(FreeChannelSlots(working_), 0);
    const int smallest = current - BlankTail(bank);
    BankResize result{requested, nullptr};
    if (requested > largest) {
        result = {largest, "GI_AppMess_ChErr_Overflow"};
    } else if (requested < smallest) {
        result = {smallest, requested < 0 ? "GI_AppMess_ChErr_NoCh" : "GI_AppMess_ChErr_NotBlank"};
    }
    const int end = BankFirstSlot(working_, bank) + current;
    for (int k = current; k < result.size; ++k) InsertAt(end);
    for (int k = result.size; k < current; ++k) DeleteAt(end - (current - result.size));
    SetBankSize(working_, bank, result.size);
    return result;
}

}  // namespace parlo
