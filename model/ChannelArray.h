#pragma once
// Operations on the 64 channel slots of the working image as a whole: a
// blank channel from the default image, delete and insert at a slot, and the
// bank resize that uses them.
#include <cstdint>

#include "model/EepromImage.h"

namespace parlo {

// What a bank resize came to: the bank's size afterwards and, when it could
// not take the size asked for, why (the overlay key of the message that
// says so; nullptr when it could).
struct BankResize {
    int size = 0;
    const char* refusal = nullptr;
};

class ChannelArray {
public:
    // `kind` is the variant's channel record kind; blank channels come from
    // the same slot of `defaults`.
    ChannelArray(EepromImage& working, EepromImage& defaults, int kind)
        : working_(working), defaults_(defaults), kind_(kind) {}

    // Slot n of the default image without its frequencies and name (so no
    // channel), keeping slot n's attribute bits.
    void Blank(int slot);
    // Slots s+1..63 move down to s..62, then slot 63 is blanked.
    void DeleteAt(int slot);
    // Slots s..62 move up to s+1..63, then slot s is blanked.
    void InsertAt(int slot);

    // Blank slots at the end of a bank that no channel reference points at.
    int BlankTail(int bank) const;
    // Changes a bank's size to `requested` within what free slots and the
    // bank's blank tail allow, clamping to them.
    BankResize ResizeBank(int bank, int requested);

private:
    void Move(int from, int to);

    EepromImage& working_;
    EepromImage& defaults_;
    int kind_;
};

}  // namespace parlo
