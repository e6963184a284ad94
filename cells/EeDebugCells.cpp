// The EEPROM debug window's byte sheet: row i shows the sixteen bytes from
// address 16 i, each in red where it differs from the compare base. Shown
// only.
#include "cells/CellDispatcher.h"
#include "cells/CellFamilies.h"
#include "codecs/CodecText.h"
#include "platform/NumberText.h"

namespace parlo {

namespace {

constexpr int kBytesPerRow = 16;
constexpr uint32_t kFontRed = 0x000000FF;

void HandleDebugByte(CellCall& call) {
    const EepromImage& image = call.record.Image();
    const int column = call.desc().cell - CL_EeDebugWin_0;
    const int64_t address = int64_t{call.index()} * kBytesPerRow + column;
    CellRequest& request = call.request();
    if (request.phase != kPhaseNone) call.ctx.rejected = true;
    if (address < 0 || address >= image.GetSize()) return;
    const auto a = static_cast<int32_t>(address);
    request.text = HexText(image.GetByte(a), 2);
    const EepromImage* base = call.host != nullptr ? call.host->CompareBase() : nullptr;
    if (base != nullptr && base->IsValidAddress(a) && base->GetByte(a) != image.GetByte(a))
        request.fontColour = kFontRed;
}

void HandleDebugAddress(CellCall& call) {
    const int64_t address = int64_t{call.index()} * kBytesPerRow;
    if (call.request().phase != kPhaseNone) call.ctx.rejected = true;
    if (address >= 0 && address < call.record.Image().GetSize())
        call.request().text = HexText(static_cast<uint64_t>(address), 4);
}

}  // namespace

void RegisterEeDebugCells() {
    CellDispatcher::Register(CL_EeDebugWin_Adr, HandleDebugAddress);
    for (int cell = CL_EeDebugWin_0; cell <= CL_EeDebugWin_F; ++cell)
        CellDispatcher::Register(cell, HandleDebugByte);
}

}  // namespace parlo
