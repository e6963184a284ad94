#pragma once
// Operations on the 64 channel slots of the working image as a whole: a
// blank channel from the default image, delete and insert at a slot, and the
// bank resize that uses them.
#include <cstdint>

#include "model/EepromImage.h"

namespace parlo {

// Flags a channel move reports to its caller: rows changed, and the sheet
// must be rebuilt because which rows exist changed.
inline constexpr uint32_t kRedrawRows = 1u << 2;
inline constexpr uint32_t kRebuildSheet = 1u << 5;

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
    void DeleteAt(int slot, uint32_t& flags);
    // Slots s..62 move up to s+1..63, then slot s is blanked.
    void InsertAt(int slot, uint32_t& flags);

    // Blank slots at the end of a bank that no channel reference points at.
    int BlankTail(int bank) const;
    // Changes a bank's size to `requested` within what free slots and the
    // bank's blank tail allow, telling the user when it has to clamp. Returns
    // the size the bank has afterwards.
    int ResizeBank(int bank, int requested, uint32_t& flags);

private:
    void Move(int from, int to);

    EepromImage& working_;
    EepromImage& defaults_;
    int kind_;
};

}  // namespace parlo
