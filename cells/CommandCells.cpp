// Command cells: menu items, tool buttons, tree nodes and popup menu items
// that run a command of the application when activated, and show its state.
#include "cells/CellDispatcher.h"
#include "cells/CellFamilies.h"
#include "model/ModelVariant.h"

namespace parlo {

namespace {

bool Activated(const CellCall& call) {
    return !call.drawing &&
           (call.ctx.operation == kKeyEnter || call.ctx.operation == kOpDoubleClick);
}

void ApplyState(CellCall& call, const ItemState& state) {
    call.ctx.checked = state.checked;
    call.ctx.hidden = state.hidden;
    call.ctx.disabled = state.disabled;
    call.ctx.caption = state.caption;
}

void HandleCommand(CellCall& call) {
    if (call.host == nullptr) return;
    if (Activated(call)) {
        call.host->RunCommand(call.desc().cell, call.index(), call.ctx);
        return;
    }
    ApplyState(call, call.host->CommandState(call.desc().cell, call.index()));
    call.request().text = call.desc().Text();
}

void HandleVariantItem(CellCall& call) {
    HandleCommand(call);
    call.ctx.checked = call.variant == call.desc().cell - CL_Model_Lmr;
}

// Clear, delete and insert are offered for the channels and the user
// characters only.
bool RowsMayChange(int kind) { return IsChannelKind(kind) || kind == 5; }

void HandlePopupItem(CellCall& call) {
    const int cell = call.desc().cell;
    call.request().text = call.desc().Text();
    if (cell == CL_PMenu_NoItem) call.ctx.disabled = true;
    if ((cell == CL_PMenu_Clear || cell == CL_PMenu_Delete || cell == CL_PMenu_Insert) &&
        !RowsMayChange(call.kind))
        call.ctx.disabled = true;
}

}  // namespace

void RegisterCommandCells() {
    for (int cell = CL_Menu_File_New; cell <= CL_Menu_Clone_Info; ++cell)
        CellDispatcher::Register(cell, HandleCommand);
    for (int cell = CL_Menu_Debug_Compare; cell <= CL_Menu_Debug_EeWindow; ++cell)
        CellDispatcher::Register(cell, HandleCommand);
    for (int cell :
         {CL_Help_About, CL_Help_Contents, CallSheet, CL_Menu_Edit_Undo, CL_Menu_Edit_Redo,
          CL_Menu_File_ImportChannels, CL_Menu_File_ExportChannels, CL_Menu_File_Compare})
        CellDispatcher::Register(cell, HandleCommand);
    for (int cell = CL_Model_Lmr; cell <= CL_Model_DPmr446; ++cell)
        CellDispatcher::Register(cell, HandleVariantItem);
    for (int cell = CL_PMenu_NoItem; cell <= CL_PMenu_Help; ++cell)
        CellDispatcher::Register(cell, HandlePopupItem);
}

}  // namespace parlo
