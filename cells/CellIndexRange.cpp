#include "cells/CellIndexRange.h"

#include "cells/CellIds.h"
#include "cells/CellNames.h"
#include "model/ChannelMap.h"
#include "model/RecordLayout.h"

namespace parlo {

namespace {

// Cells whose index is a bank, whatever category a reference gives them.
constexpr int kBankCells[] = {CL_Mch_Bank,     CL_Mch_SmarTrunk,  CL_Mch_UsedCHs,
                              CL_Mch_BankText, CL_Bank_SmarTrunk, CL_Bank_UsedQty};

constexpr int kAnyChannelKind = 1;

}  // namespace

std::optional<IndexRange> CellIndexRange(int category, int cell) {
    for (int bankCell : kBankCells) {
        if (cell == bankCell) return IndexRange{0, kBankCount - 1};
    }
    int kind = RecordKindOfCategory(category);
    if (kind == kChannelKind) kind = kAnyChannelKind;
    if (const KindLayout* layout = LayoutOf(kind); layout != nullptr && !layout->tables.empty())
        return IndexRange{0, layout->tables[0].count - 1};
    return std::nullopt;
}

}  // namespace parlo
