#include "codecs/ScramblerCodec.h"

#include <algorithm>

#include "codecs/CodecText.h"
#include "platform/NumberText.h"

namespace parlo {

static const char* const kScramblerList = "GI_Sheet_Sel_Mch_ScramCode";

std::string ScramblerText(int value) { return value == 0 ? "Inv" : IntegerText(value); }

// The code typed, before it is limited to 0..255.
static std::optional<int64_t> Parse(CellRequest& request, const std::string& typed) {
    if (StartsWithNoCase(typed, "inv")) return 0;
    return TypedWhole(request, typed, false);
}

CodecResult ScramblerCodec(CellRequest& request, int& value) {
    CodecResult result = CodecResult::Unchanged;
    if (request.Picking()) {
        auto item = request.Picked(PopupKind::List);
        if (item == 1) {
            request.EditCurrent(ScramblerText(value));
            return result;
        }
        if (item != 0) return CodecResult::Rejected;
        result = SetValue(value, 0);
    } else if (request.Key() == kKeyEnter) {
        request.OpenPopup(PopupKind::List, kScramblerList, value == 0 ? 0 : 1);
    } else {
        result =
            EditTypedValue(request, value, Parse, 0, 255, ScramblerText(value), "0123456789.Ii");
        if (result == CodecResult::Rejected || request.EditorRequested()) return result;
    }
    request.text = ScramblerText(value);
    return result;
}

}  // namespace parlo
