// The clone information cells: texts of the identity block the radio sent
// the document at the last identify. They are shown only.
#include <string>

#include "cells/CellDispatcher.h"
#include "cells/CellFamilies.h"
#include "codecs/CodecSetup.h"
#include "model/CloneInfo.h"
#include "overlay/OverlayText.h"

namespace parlo {

namespace {

constexpr int32_t kKeypadByte = 50;
constexpr uint8_t kKeypadBit = 0x40;

std::string KeypadText(const std::vector<uint8_t>& block) {
    return OvlText("GI_Mess_CloneInfo_TenKey",
                   (IdentityByte(block, kKeypadByte) & kKeypadBit) ? 1 : 0);
}

std::string CloneInfoText(const std::vector<uint8_t>& block, int cell) {
    if (block.empty()) return "";
    const CloneInfoTexts t = InfoTexts(block);
    switch (cell) {
        case CL_CloneInfo_Model: return t.model;
        case CL_CloneInfo_Revision: return t.version;
        case CL_CloneInfo_KeyBoard: return KeypadText(block);
        case CL_CloneInfo_Comment1: return t.text1;
        case CL_CloneInfo_Comment2: return t.text2;
        case CL_CloneInfo_Option: return t.options;
        case CL_CloneInfo_OverVolt: return t.overVoltage;
        case CL_CloneInfo_Esn: return t.serial;
        case CL_CloneInfo_CheckSum: return t.value;
        default: return kNotStoredText;  // the block holds no PLL reference
    }
}

void HandleCloneInfo(CellCall& call) {
    call.request().text = CloneInfoText(call.doc.Identity(), call.desc().cell);
    if (call.request().phase != kPhaseNone) call.ctx.rejected = true;
}

}  // namespace

void RegisterCloneInfoCells() {
    for (int cell = CL_CloneInfo_Model; cell <= CL_CloneInfo_CheckSum; ++cell)
        CellDispatcher::Register(cell, HandleCloneInfo);
}

}  // namespace parlo
