#include "cells/ChannelRoom.h"

#include "model/BankMap.h"
#include "model/ChannelArray.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "model/PackedLayout.h"
#include "overlay/OverlayFormat.h"
#include "overlay/OverlayText.h"
#include "platform/Prompts.h"
#include "runtime/EventManager.h"

namespace parlo {

namespace {

// Lines of GI_AppMess_ChErr_MakeRoom.
enum RoomLine {
    kEmptySlots = 0,  // the banks take every slot, %d of them empty: %s
    kMakeRoom = 1,    // how to make room
    kAllUsed = 2,     // every slot holds a channel
    kFirstBank = 3,   // "%d in bank %d": the first bank with empty slots
    kNextBank = 4,    // ", %d in bank %d": each further one
};

// Lines of GI_Sheet_Mch_AddHint.
enum HintLine {
    kHintEmptyRows = 0,  // %s: where the empty rows are
    kHintAllUsed = 1,
    kHintMemoryFull = 2,
};

int EmptySlots(const EepromImage& image) { return BanksTotal(image) - UsedInAllBanks(image); }

// "56 in bank 1, 3 in bank 2".
std::string WhereEmpty(const EepromImage& image) {
    std::string list;
    for (int bank = 0; bank < kBankCount; ++bank) {
        const int empty = BankSize(image, bank) - UsedInBank(image, bank);
        if (empty <= 0) continue;
        list +=
            FormatText(OvlText("GI_AppMess_ChErr_MakeRoom", list.empty() ? kFirstBank : kNextBank),
                       {static_cast<long long>(empty), static_cast<long long>(bank + 1)});
    }
    return list;
}

bool SlotsAllInBanks(const EepromImage& image) { return BanksTotal(image) >= kChannelSlots; }

}  // namespace

bool ChannelSlotFree(const EepromImage& image) {
    return !SlotsAllInBanks(image) && ChannelCapacityOk(image, 1);
}

bool AppendChannel(DocumentScope scope, int bank) {
    DocumentData& doc = scope.document;
    EepromImage& image = doc.Working();
    if (bank < 0 || bank >= kBankCount) return false;
    if (!ChannelSlotFree(image)) {
        ShowNoRoom(image);
        return false;
    }
    const int size = BankSize(image, bank);
    ChannelArray(image, doc.Defaults(), ChannelKindOf(doc.Variant()))
        .InsertAt(BankFirstSlot(image, bank) + size);
    SetBankSize(image, bank, size + 1);
    Pack(image, PackMode::Rebuild, doc.Variant());
    scope.events.Post(ev::kChannelAppended);
    return true;
}

std::string NoRoomText(const EepromImage& image) {
    std::string text = OvlMessage("GI_AppMess_ChErr_Overflow");
    // A full memory has nothing more to say: the message names it.
    if (!SlotsAllInBanks(image)) return text;
    text += "\n\n";
    if (EmptySlots(image) <= 0) return text + OvlText("GI_AppMess_ChErr_MakeRoom", kAllUsed);
    text += FormatText(OvlText("GI_AppMess_ChErr_MakeRoom", kEmptySlots),
                       {static_cast<long long>(EmptySlots(image)), WhereEmpty(image)});
    return text + "\n" + OvlText("GI_AppMess_ChErr_MakeRoom", kMakeRoom);
}

void ShowNoRoom(const EepromImage& image) {
    prompts().Message(OvlText("GI_Sys_AppTitle"), NoRoomText(image), MsgIcon::Error,
                      MsgButtons::Ok);
}

std::string NewChannelHint(const EepromImage& image, const std::string& own) {
    if (ChannelSlotFree(image)) return own;
    if (!SlotsAllInBanks(image)) return OvlText("GI_Sheet_Mch_AddHint", kHintMemoryFull);
    if (EmptySlots(image) <= 0) return OvlText("GI_Sheet_Mch_AddHint", kHintAllUsed);
    return FormatText(OvlText("GI_Sheet_Mch_AddHint", kHintEmptyRows), {WhereEmpty(image)});
}

}  // namespace parlo
