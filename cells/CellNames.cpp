#include "cells/CellNames.h"

#include <iterator>

#include "overlay/NameTable.h"
#include "platform/Fatal.h"

namespace parlo {

namespace {

#define PARLO_NAME_ENTRY(name) #name,
constexpr const char* kCategoryNames[] = {PARLO_CELL_CATEGORIES(PARLO_NAME_ENTRY)};
constexpr const char* kCellNames[] = {PARLO_CELL_IDS(PARLO_NAME_ENTRY)};
#undef PARLO_NAME_ENTRY

static_assert(std::size(kCategoryNames) == kCategoryCount);
static_assert(std::size(kCellNames) == kCellCount);

// Record kind per category, in category order (22 = none decodes nothing).
constexpr int kCategoryKinds[kCategoryCount + 1] = {
    0,             // CT_Null
    kParentKind,   // CT_PopupMenu
    kChannelKind,  // CT_Mch
    kChannelKind,  // CT_Mch_Check
    5,             // CT_CEdit
    6,             // CT_DTMF
    7,             // CT_Scan
    8,             // CT_CTone
    9,             // CT_RX_Code
    10,            // CT_TX_Code
    12,            // CT_2Tone_Code
    13,            // CT_2ToneTX_Common
    11,            // CT_UserTone
    14,            // CT_BankOp
    0,             // CT_MSK_AdrRange
    15,            // CT_MSK_IdGroup
    16,            // CT_MSK_CallList
    17,            // CT_MSK_Msg_Status
    18,            // CT_MSK_Msg_ShortTxt
    0,             // CT_MSK_TimingErr
    0,             // CT_MSK_Cfg
    19,            // CT_Dig_Msg_Status
    0,             // no category
};

template <size_t N>
NameTable LoadTable(const char* const (&names)[N]) {
    NameTable table;
    for (size_t i = 0; i < N; ++i) table.Insert(names[i], static_cast<int32_t>(i));
    return table;
}

const NameTable& CategoryTable() {
    static const NameTable table = LoadTable(kCategoryNames);
    return table;
}

const NameTable& CellTable() {
    static const NameTable table = LoadTable(kCellNames);
    return table;
}

}  // namespace

int CategoryNumber(const std::string& name) {
    if (name.empty()) return kNoCategory;
    if (auto n = CategoryTable().Find(name)) return *n;
    fatal(Format("Cannot use the specified category.\n'%s'", name.c_str()));
}

int CellNumber(const std::string& name) {
    if (name.empty()) return kNoCell;
    if (auto n = CellTable().Find(name)) return *n;
    fatal(Format("Cannot use the specified cell.\n'%s'", name.c_str()));
}

std::optional<int> FindCategoryNumber(const std::string& name) {
    if (name.empty()) return kNoCategory;
    return CategoryTable().Find(name);
}

std::optional<int> FindCellNumber(const std::string& name) {
    if (name.empty()) return kNoCell;
    return CellTable().Find(name);
}

std::string CategoryName(int category) {
    return category >= 0 && category < kCategoryCount ? kCategoryNames[category] : "";
}

std::string CellName(int cell) { return cell >= 0 && cell < kCellCount ? kCellNames[cell] : ""; }

int RecordKindOfCategory(int category) {
    if (category < 0 || category > kNoCategory)
        fatal(Format("Unknown Cell Category. (%d)", category));
    return kCategoryKinds[category];
}

}  // namespace parlo
