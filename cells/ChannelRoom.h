#pragma once
// Room for one more channel: whether a bank can take another slot, and the
// words that say why not and how to make room. A bank page's title counts
// the channels that may still be added (64 less those in use); once the
// banks take all 64 slots those are empty rows of some bank, and the row
// marked New takes nothing until a bank is made smaller.
#include <string>

#include "cells/DocumentScope.h"
#include "model/EepromImage.h"

namespace parlo {

// One more slot can go to a bank: the banks leave one of the 64 over and
// the radio's memory takes another channel.
bool ChannelSlotFree(const EepromImage& image);

// Appends a blank channel at the end of a bank (from the factory image),
// packs the image again and tells the document's views. False, with
// nothing changed, when there is no such bank or no slot is free; the
// latter is shown to the user (ShowNoRoom).
bool AppendChannel(DocumentScope scope, int bank);

// Why no slot is free, after the overflow message: where the empty slots
// are (the free count of the bank titles) and how to make room.
std::string NoRoomText(const EepromImage& image);
// Shows it in an error box.
void ShowNoRoom(const EepromImage& image);

// The hint above a bank's channels: `own`, the page's words about the row
// marked New, while a slot is free; else how a channel can still be added.
std::string NewChannelHint(const EepromImage& image, const std::string& own);

}  // namespace parlo
