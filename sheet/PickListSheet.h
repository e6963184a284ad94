#pragma once
// A choice list as the pick window shows it: a sheet in pick mode. A list
// whose overlay key has a sheet description of its own (the sections
// "_Style", "_BasicCell" and "_Cells" after the key, as GI_Sheet_Sel_Text
// has) is shown as described. Any other list is one row per item, laid out
// by the overlay's pick list description GI_Sheet_SelList: its style, its
// basic cell, and line 0 of its cells section as the row of item n ("%d"
// the item number, "%s" the item's text).
//
// The cell that Enter or a click chooses hands back its index as the item.
#include <memory>
#include <string>
#include <vector>

#include "sheet/Sheet.h"

namespace parlo {

inline constexpr const char* kPickListLayoutKey = "GI_Sheet_SelList";

class PickListSheet : public Sheet {
public:
    PickListSheet(Params params, DocumentScope scope, DispatchFunction dispatcher);

protected:
    std::string SectionLine(const std::string& suffix, int index) override;

private:
    std::vector<std::string> items_;
};

// True when the overlay describes the list's sheet itself.
bool ListHasOwnSheet(OverlayText& overlay, const std::string& list);

// The pick-mode sheet for a list (params.key is replaced by the list key).
std::unique_ptr<Sheet> CreatePickSheet(const std::string& list, Sheet::Params params,
                                       DocumentScope scope, DispatchFunction dispatcher);

// An item's text as a cell's display text: the characters the description
// language would read otherwise ("\", "|") escaped.
std::string EscapeDisplayText(const std::string& text);

}  // namespace parlo
