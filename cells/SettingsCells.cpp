// The setting cells: one handler reads the settings cell map; a few cells
// show a value computed from others.
#include <vector>

#include "cells/CellDispatcher.h"
#include "cells/CellFamilies.h"
#include "cells/SettingsCellMap.h"
#include "codecs/SegmentText.h"
#include "model/ModelVariant.h"

namespace parlo {

namespace {

EepromImage& Image(CellCall& call) { return call.record.Image(); }

// Shown only: any typed text or chosen item is refused.
void ShowText(CellCall& call, std::string text) {
    call.request().text = std::move(text);
    if (call.request().phase != kPhaseNone) call.ctx.rejected = true;
}

void ShowNotStored(CellCall& call) { ShowText(call, kNotStoredText); }

// Plain characters as the radio keeps them, blanks at the end dropped.
void ShowAscii(CellCall& call, const SettingCell& row) {
    std::string text;
    for (int i = 0; i < row.width; ++i) {
        const uint8_t c = Image(call).GetByte(row.address + i);
        text += c >= 0x20 && c <= 0x7E ? static_cast<char>(c) : ' ';
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    ShowText(call, text);
}

void EditDisplayText(CellCall& call, const SettingCell& row) {
    std::vector<uint8_t> field(row.width);
    Image(call).ReadBlock(row.address, field.data(), row.width);
    const CodecResult result = SegmentTextCodec(call.request(), field, false);
    if (result == CodecResult::Changed) {
        Image(call).WriteBlock(row.address, field.data(), row.width);
        call.Changed();
    }
    if (result == CodecResult::Rejected) call.ctx.rejected = true;
}

bool Locked(const EepromImage& image, const SettingCell& row) {
    return row.gateAddress >= 0 && ((image.GetByte(row.gateAddress) >> row.gateBit) & 1) == 0;
}

void HandleSetting(CellCall& call) {
    const SettingCell* row = SettingCellOf(call.desc().cell);
    if (row == nullptr) return;
    if (!SettingStoredIn(*row, call.variant)) return call.NotUsedInVariant();
    switch (row->storage) {
        case Storage::None: return ShowNotStored(call);
        case Storage::Ascii: return ShowAscii(call, *row);
        case Storage::Text: return EditDisplayText(call, *row);
        default: break;
    }
    EepromImage& image = Image(call);
    CodecSetup setup = row->codec;
    if (row->dPmrMaximum >= 0 && call.variant == kVariantDPmr446) setup.maximum = row->dPmrMaximum;
    const CodecContext context{call.variant, &image, SettingMaximum(*row)};
    int value = ReadSetting(image, *row);
    CodecResult result = Locked(image, *row) ? ShowOnly(call.request(), value, setup, context)
                                             : RunCodec(call.request(), value, setup, context);
    if (result == CodecResult::Changed &&
        (value < SettingMinimum(*row) || value > SettingMaximum(*row)))
        result = CodecResult::Rejected;
    if (result == CodecResult::Changed) {
        WriteSetting(image, *row, value);
        call.Changed();
    }
    if (result == CodecResult::Rejected) call.ctx.rejected = true;
}

// The battery indicator bands of the maker page, from the thresholds:
// "normal" lies above a battery type's first threshold, each low level at or
// below its own.
struct BatteryBand {
    int cell;
    int32_t threshold;
    bool above;
};
constexpr BatteryBand kBatteryBands[] = {
    {CL_Maker_Liion_Normal_DispNormal, 0x0030, true},
    {CL_Maker_Liion_Normal_DispLow1, 0x0030, false},
    {CL_Maker_Liion_Normal_DispLow2, 0x0031, false},
    {CL_Maker_Liion_Normal_DispLow3, 0x0032, false},
    {CL_Maker_Liion_Low_DispNormal, 0x0033, true},
    {CL_Maker_Liion_Low_DispLow1, 0x0033, false},
    {CL_Maker_Liion_Low_DispLow2, 0x0034, false},
    {CL_Maker_Liion_Low_DispLow3, 0x0035, false},
    {CL_Maker_Liion_Dry_DispNormal, 0x0036, true},
    {CL_Maker_Liion_Dry_DispLow1, 0x0036, false},
    {CL_Maker_Liion_Dry_DispLow2, 0x0037, false},
};

void HandleBatteryBand(CellCall& call) {
    for (const BatteryBand& band : kBatteryBands) {
        if (band.cell != call.desc().cell) continue;
        const int threshold = Image(call).GetByte(band.threshold);
        ShowText(call, (band.above ? "> " : "<= ") + std::to_string(threshold));
    }
}

}  // namespace

void RegisterSettingsCells() {
    // Cells of these families that no table names keep nothing known: they
    // show "----". The tables below and the record cells replace them.
    for (int cell = CL_Msk_AdrRange_Individual; cell <= CL_Maker_mRSSISL; ++cell)
        CellDispatcher::Register(cell, ShowNotStored);
    for (const SettingCell& row : SettingCells()) CellDispatcher::Register(row.cell, HandleSetting);
    for (const BatteryBand& band : kBatteryBands)
        CellDispatcher::Register(band.cell, HandleBatteryBand);
}

}  // namespace parlo
