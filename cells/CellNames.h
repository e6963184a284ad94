#pragma once
// Name tables of the cell categories and cell identifiers, loaded once on
// first use. Unknown names in a sheet description are program errors.
#include <optional>
#include <string>

#include "cells/CellIds.h"

namespace parlo {

// 0..21; kNoCategory (22) for an empty name; an unknown name is fatal.
int CategoryNumber(const std::string& name);
// 0..kCellCount - 1; kNoCell for an empty name; an unknown name is fatal.
int CellNumber(const std::string& name);
// The same lookups without the program error: nothing for an unknown name.
std::optional<int> FindCategoryNumber(const std::string& name);
std::optional<int> FindCellNumber(const std::string& name);
// The name of a number, or an empty text outside the table.
std::string CategoryName(int category);
std::string CellName(int cell);

// The record kind a category decodes before its cells are handled: 0 for
// none, 1..19 as the record codec numbers them, kChannelKind for the
// variant's channel kind, kParentKind for a popup menu's parent cell. A
// category outside 0..22 is fatal.
inline constexpr int kChannelKind = -1;
inline constexpr int kParentKind = -2;
int RecordKindOfCategory(int category);

}  // namespace parlo
