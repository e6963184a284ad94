#include "model/OverlayList.h"

#include "model/CodecText.h"
#include "sheet/cmcGTex.h"

namespace parlo {

static bool EndsList(const std::string& line) {
    return !line.empty() && line[0] == '#';
}

// Reading the lines in order costs one line each: the overlay resumes a
// section where the previous read stopped.
std::optional<std::string> ListItem(const std::string& list, int index) {
    if (index < 0) return std::nullopt;
    for (int i = 0;; ++i) {
        std::string line = OvlText(list, i);
        if (EndsList(line)) return std::nullopt;
        if (i == index) return line;
    }
}

int ListCount(const std::string& list) {
    int n = 0;
    while (!EndsList(OvlText(list, n))) ++n;
    return n;
}

int FindListItem(const std::string& list, std::string_view text) {
    text = Trim(text);
    for (int i = 0;; ++i) {
        std::string line = OvlText(list, i);
        if (EndsList(line)) return -1;
        if (EqualsNoCase(Trim(line), text)) return i;
    }
}

}  // namespace parlo
