#include "sheet/SheetFactory.h"

#include "sheet/BankSheet.h"
#include "sheet/SettingsSheet.h"
#include "sheet/TreeModel.h"

namespace parlo {

std::unique_ptr<Sheet> CreateSheet(const std::string& action, Sheet::Params base,
                                   DispatchFunction dispatcher) {
    const NodeAction a = NodeAction::Split(action);
    base.key = a.key;
    base.printName = action;
    base.parameter = a.parameter;
    if (a.kind == "St_ChBank") return std::make_unique<BankSheet>(base, std::move(dispatcher));
    if (a.kind == "St_Common") return std::make_unique<SettingsSheet>(base, std::move(dispatcher));
    return std::make_unique<Sheet>(base, std::move(dispatcher));
}

}  // namespace parlo
