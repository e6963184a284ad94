#include "codecs/OverlayList.h"

#include "codecs/CodecText.h"
#include "overlay/OverlayText.h"

namespace parlo {

// Lists are read on every draw of their cells, so their items are kept.
std::optional<std::string> ListItem(const std::string& list, int index) {
    const std::vector<std::string>& items = OvlListLines(list);
    if (index < 0 || index >= static_cast<int>(items.size())) return std::nullopt;
    return items[static_cast<size_t>(index)];
}

int ListCount(const std::string& list) { return static_cast<int>(OvlListLines(list).size()); }

int FindListItem(const std::string& list, std::string_view text) {
    text = Trim(text);
    const std::vector<std::string>& items = OvlListLines(list);
    for (size_t i = 0; i < items.size(); ++i) {
        if (EqualsNoCase(Trim(items[i]), text)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace parlo
