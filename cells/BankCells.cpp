// The bank cells: layout option, sizes, flags, names and the counters.
#include <algorithm>
#include <vector>

#include "cells/BankCaption.h"
#include "cells/CellDispatcher.h"
#include "cells/CellFamilies.h"
#include "cells/ChannelRoom.h"
#include "codecs/ListCodec.h"
#include "codecs/NumberCodec.h"
#include "codecs/SegmentText.h"
#include "model/BankMap.h"
#include "model/ChannelArray.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayFormat.h"
#include "overlay/OverlayMessage.h"
#include "overlay/OverlayText.h"
#include "platform/Prompts.h"
#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"

namespace parlo {

namespace {

EepromImage& Image(CellCall& call) { return call.record.Image(); }

void ShowCount(CellCall& call, int count) {
    call.request().text = std::to_string(count);
    if (call.request().phase != kPhaseNone) call.ctx.rejected = true;  // shown only
}

// The channels a layout reset would leave outside every bank: the slots stay
// where they are, so they are the channels past the new banks' end.
int ChannelsLeftOut(const EepromImage& image, bool twoBanks) {
    EepromImage after = image;
    ResetBankLayout(after, twoBanks);
    return std::max(0, UsedInAllBanks(image) - UsedInAllBanks(after));
}

// A layout that drops channels is changed only when the user agrees.
bool LayoutMayDrop(int channels) {
    if (channels == 0) return true;
    const std::string text =
        FormatText(OvlMessage("GI_AppMess_Conv_BankLayout"), {static_cast<long long>(channels)});
    return prompts().Message(OvlText("GI_Sys_AppTitle"), text, MsgIcon::Warning,
                             MsgButtons::OkCancel) == MsgAnswer::Ok;
}

// The item of the layout list the bank sizes are (0 one bank of 64, 1 banks
// of 4), or -1 for sizes of the user's own.
int LayoutItem(const EepromImage& image) {
    for (const int item : {0, 1}) {
        EepromImage reset = image;
        ResetBankLayout(reset, item == 1);
        bool same = true;
        for (int b = 0; b < kBankCount; ++b) same &= BankSize(reset, b) == BankSize(image, b);
        if (same) return item;
    }
    return -1;
}

// The list resets the layout; sizes set by hand read as what they are, and
// either layout may then be chosen.
void HandleLayoutOption(CellCall& call) {
    int on = LayoutItem(Image(call));
    const CodecResult result = ListCodec(call.request(), on, "GI_Sheet_Sel_Bank_SelBankFree");
    if (on < 0)
        call.request().text = FormatText(OvlText("GI_AppInd_BankLayoutOwn"),
                                         {static_cast<long long>(BanksTotal(Image(call)))});
    if (result == CodecResult::Changed) {
        if (!LayoutMayDrop(ChannelsLeftOut(Image(call), on != 0))) return;
        ResetBankLayout(Image(call), on != 0);
        call.Changed(kRedrawRow | kRedrawSheet);
        call.ctx.rebuildSheet = true;
    }
    if (result == CodecResult::Rejected) call.ctx.rejected = true;
}

void HandleBankFlag(CellCall& call) {
    const int bank = call.index();
    if (bank < 0 || bank >= kBankCount) {
        call.request().text = "----";
        return;
    }
    int on = BankFlag(Image(call), bank) ? 1 : 0;
    const CodecResult result = ListCodec(call.request(), on, "GI_Sheet_Sel_Misc_OnOff2");
    if (result == CodecResult::Changed) {
        SetBankFlag(Image(call), bank, on != 0);
        call.Changed(kRedrawRow | kRedrawSheet);
    }
    if (result == CodecResult::Rejected) call.ctx.rejected = true;
}

void HandleBankSize(CellCall& call) {
    const int bank = call.index();
    if (bank < 0 || bank >= kBankCount) return;
    int size = BankSize(Image(call), bank);
    NumberParams p;
    p.minimum = 0;
    p.maximum = kChannelSlots;
    p.clamp = true;
    const CodecResult result = NumberCodec(call.request(), size, p);
    if (result == CodecResult::Changed) {
        ChannelArray channels(Image(call), call.doc.Defaults(), ChannelKindOf(call.variant));
        // A size the banks cannot take is clamped, and the user told why.
        if (const BankResize resized = channels.ResizeBank(bank, size); resized.refusal)
            ShowOverlayMessage(resized.refusal, MsgIcon::Error);
        call.Changed(kRedrawRow | kRedrawSheet);
        call.ctx.rebuildSheet = true;
    }
    if (result == CodecResult::Rejected) call.ctx.rejected = true;
    // The size the move left (it may be clamped); an editor that opens keeps
    // the digit that opened it.
    if (!call.request().EditorRequested())
        call.request().text = std::to_string(BankSize(Image(call), bank));
}

void HandleBankName(CellCall& call) {
    if (call.index() < 0 || call.index() >= kBankCount) return;
    std::string& text = call.record.texts[0];
    std::vector<uint8_t> field(text.begin(), text.end());
    field.resize(8, ' ');
    const CodecResult result = SegmentTextCodec(call.request(), field, false);
    if (result == CodecResult::Changed) {
        text.assign(field.begin(), field.end());
        call.StoreRecord();
        // The tree shows the bank by its name.
        call.events.Post(ev::kBankCaption, {call.index(), BankCaption(Image(call), call.index())});
    }
    if (result == CodecResult::Rejected) call.ctx.rejected = true;
}

}  // namespace

std::string BankCaption(const EepromImage& image, int bank) {
    uint8_t field[8] = {};
    image.ReadBlock(kAddrBankNames + 8 * bank, field, 8);
    std::string caption =
        FormatText(OvlText("GI_AppInd_BankCaption"),
                   {static_cast<long long>(bank + 1), SegmentTextForm(field, false)});
    while (!caption.empty() && caption.back() == ' ') caption.pop_back();
    return caption;
}

void RegisterBankCells() {
    CellDispatcher::Register(CL_Bank_SelBankFree, HandleLayoutOption);
    CellDispatcher::Register(CL_Bank_SmarTrunk, HandleBankFlag);
    CellDispatcher::Register(CL_Mch_SmarTrunk, HandleBankFlag);
    CellDispatcher::Register(CL_Mch_Bank, HandleBankSize);
    CellDispatcher::Register(CL_Mch_BankText, HandleBankName);
    // The hint above a bank's channels follows the room left for them.
    CellDispatcher::Register(CL_Misc_NewChannelHint, [](CellCall& c) {
        c.request().text = NewChannelHint(Image(c), c.desc().Text());
    });
    CellDispatcher::Register(CL_Mch_Bank_Total,
                             [](CellCall& c) { ShowCount(c, BanksTotal(Image(c))); });
    CellDispatcher::Register(CL_Mch_Bank_Left,
                             [](CellCall& c) { ShowCount(c, FreeChannelSlots(Image(c))); });
    for (int cell : {CL_Mch_UsedCHs, CL_Bank_UsedQty})
        CellDispatcher::Register(
            cell, [](CellCall& c) { ShowCount(c, UsedInBank(Image(c), c.index())); });
    for (int cell : {CL_Mch_UsedCHs_Total, CL_Bank_UsedTotal})
        CellDispatcher::Register(cell, [](CellCall& c) { ShowCount(c, UsedInAllBanks(Image(c))); });
    for (int cell : {CL_Mch_UsedCHs_Left, CL_Bank_UsedLeft})
        CellDispatcher::Register(cell,
                                 [](CellCall& c) { ShowCount(c, RemainingChannels(Image(c))); });
}

}  // namespace parlo
