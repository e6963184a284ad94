#pragma once
// The indexes a cell address may carry where the index picks something:
// the five banks for the bank cells, else the records of its category's
// kind (the 64 channel slots, the DTMF memories, ...).
#include <cstdint>
#include <optional>

namespace parlo {

struct IndexRange {
    int32_t first;
    int32_t last;
};

// Nothing for cells whose index is not a record's (settings, menus, the
// debug window's rows).
std::optional<IndexRange> CellIndexRange(int category, int cell);

}  // namespace parlo
