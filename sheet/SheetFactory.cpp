#include "sheet/SheetFactory.h"

#include "sheet/cuiTree.h"
#include "sheet/iuiSh_ChBank.h"
#include "sheet/iuiSh_Common.h"

namespace parlo {

std::unique_ptr<cuiSheet> CreateSheet(const std::string& action, cuiSheet::Params base,
                                      CellDispatcher dispatcher) {
    const NodeAction a = NodeAction::Split(action);
    base.key = a.key;
    base.printName = action;
    base.parameter = a.parameter;
    if (a.kind == "St_ChBank") return std::make_unique<iuiSh_ChBank>(base, std::move(dispatcher));
    if (a.kind == "St_Common") return std::make_unique<iuiSh_Common>(base, std::move(dispatcher));
    return std::make_unique<cuiSheet>(base, std::move(dispatcher));
}

}  // namespace parlo
