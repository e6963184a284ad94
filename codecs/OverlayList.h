#pragma once
// The items of a selection list in the overlay: lines 0, 1, ... of its key up
// to the bare "#" line that ends it. Reading never runs past that line, so a
// stored value beyond the list never shows a text of another section.
#include <optional>
#include <string>
#include <string_view>

namespace parlo {

// Item `index` of `list`, or nothing when the list has no such item.
std::optional<std::string> ListItem(const std::string& list, int index);
int ListCount(const std::string& list);
// The first item equal to `text` (blanks around it and case ignored), or -1.
int FindListItem(const std::string& list, std::string_view text);

}  // namespace parlo
