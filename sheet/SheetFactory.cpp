#include "sheet/SheetFactory.h"

#include "model/ChannelMap.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "sheet/BankSheet.h"
#include "sheet/ParameterBlock.h"
#include "sheet/SettingsSheet.h"
#include "sheet/TreeModel.h"

namespace parlo {

std::string SheetActionProblem(const std::string& action) {
    const NodeAction a = NodeAction::Split(action);
    if (a.key.empty() || !MainOverlay().TryGetText(a.key + "_Cells"))
        return "no sheet '" + a.key + "' in the overlay";
    const bool namesBank = a.kind == "St_ChBank" || ParameterBlock(a.parameter).Name() == "Bank";
    if (namesBank && !BankSheet::BankOf(a.parameter)) {
        return Format(
            "'%s' names no bank: the banks are 'Bank 0' to 'Bank %d' (the tree's Bank 1 "
            "to Bank %d)",
            a.parameter.c_str(), kBankCount - 1, kBankCount);
    }
    return {};
}

std::unique_ptr<Sheet> CreateSheet(const std::string& action, Sheet::Params base,
                                   DocumentScope scope, DispatchFunction dispatcher) {
    const NodeAction a = NodeAction::Split(action);
    base.key = a.key;
    base.printName = action;
    base.parameter = a.parameter;
    if (a.kind == "St_ChBank")
        return std::make_unique<BankSheet>(base, scope, std::move(dispatcher));
    if (a.kind == "St_Common")
        return std::make_unique<SettingsSheet>(base, scope, std::move(dispatcher));
    return std::make_unique<Sheet>(base, scope, std::move(dispatcher));
}

}  // namespace parlo
