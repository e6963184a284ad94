// Cells that show their own text, row numbers, the grey bar, and the marks
// that flag channels whose settings disagree with MSK signalling.
#include "cells/CellDispatcher.h"
#include "cells/CellFamilies.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "platform/Canvas.h"
#include "platform/NumberText.h"

namespace parlo {

namespace {

void ShowOwnText(CellCall& call) { call.request().text = call.desc().Text(); }

// The marks of the channel in the cell's row.
void HandleMark(CellCall& call) {
    ShowOwnText(call);
    ChannelRecord channel(call.record.Image());
    channel.Decode(ChannelKindOf(call.variant), call.index());
    call.ctx.warningMarks = ChannelWarningMarks(channel, FlexMark);
}

// The marks of every channel of the bank a node or cell names ("Bank n").
void HandleCheckChannels(CellCall& call) {
    ShowOwnText(call);
    int bank = call.bank;
    if (call.desc().action) {
        const NodeAction a = NodeAction::Split(*call.desc().action);
        if (a.parameter.rfind("Bank", 0) == 0)
            bank = LeadingInteger(std::string_view(a.parameter).substr(4));
    }
    const EepromImage& image = call.record.Image();
    if (bank < 0 || bank >= kBankCount) return;
    const int first = BankFirstSlot(image, bank);
    ChannelRecord channel(call.record.Image());
    for (int slot = first; slot < first + BankSize(image, bank); ++slot) {
        channel.Decode(ChannelKindOf(call.variant), slot);
        const uint8_t marks = ChannelWarningMarks(channel, CL_Check_Mch);
        call.ctx.warningMarks |= marks;
        if (marks & kMarkError)
            ++call.ctx.errorRecords;
        else if (marks & kMarkWarning)
            ++call.ctx.warningRecords;
    }
}

void HandleRowNumber(CellCall& call, int base) {
    call.request().text = std::to_string(int64_t{call.index()} + base);
}

// A grey bar over the lower part of the cell, between bit cells.
void HandleQuarterPillar(CellCall& call) {
    if (call.ctx.canvas == nullptr) return;
    const Rect& r = call.ctx.rect;
    const int width = std::max(1, r.Width() / 4);
    const int left = r.left + (r.Width() - width) / 2;
    call.ctx.canvas->FillRect({left, r.top + r.Height() / 2, left + width, r.bottom}, 0x808080);
}

}  // namespace

void RegisterFlexCells() {
    for (int cell :
         {static_cast<int>(CL_Null), static_cast<int>(Flex0), static_cast<int>(Flex1),
          static_cast<int>(Flex2), static_cast<int>(FlexDtcs), static_cast<int>(FlexKeyOpt),
          static_cast<int>(FlexEeDebugWin), static_cast<int>(FlexScrmPort),
          static_cast<int>(FlexAdjCh), static_cast<int>(CL_FBits)})
        CellDispatcher::Register(cell, ShowOwnText);
    CellDispatcher::Register(FlexMark, HandleMark);
    CellDispatcher::Register(CL_Check_Mch, HandleCheckChannels);
    for (int cell = CL_Check_SetMode; cell <= CL_Check_Msk_Config; ++cell)
        CellDispatcher::Register(cell, ShowOwnText);
    CellDispatcher::Register(CL_Misc_ChNo_0Base, [](CellCall& c) { HandleRowNumber(c, 0); });
    CellDispatcher::Register(CL_Misc_ChNo_1Base, [](CellCall& c) { HandleRowNumber(c, 1); });
    CellDispatcher::Register(CL_Misc_QuarterPillar, HandleQuarterPillar);
}

}  // namespace parlo
