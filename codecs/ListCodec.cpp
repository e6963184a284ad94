#include "codecs/ListCodec.h"

#include "codecs/CodecText.h"
#include "codecs/OverlayList.h"
#include "platform/NumberText.h"

namespace parlo {

std::string ListText(const std::string& list, int value) {
    if (auto item = ListItem(list, value)) return *item;
    return IntegerText(value);
}

CodecResult ListCodec(CellRequest& request, int& value, const std::string& list, PopupKind kind) {
    CodecResult result = CodecResult::Unchanged;
    if (request.Picking()) {
        auto index = request.Picked(kind);
        if (!index || *index < 0 || *index >= ListCount(list)) return CodecResult::Rejected;
        result = SetValue(value, *index);
    } else if (request.Committing()) {
        int index = FindListItem(list, request.editText);
        if (index < 0) return CodecResult::Rejected;
        result = SetValue(value, index);
    } else if (int key = request.Key(); key == kKeySpace || key == kKeyBackspace) {
        int count = ListCount(list);
        if (count > 0)
            result = SetValue(value, StepWrapped(value, key == kKeySpace ? 1 : -1, 0, count - 1));
    } else if (key == kKeyEnter) {
        request.OpenPopup(kind, list, value >= 0 && value < ListCount(list) ? value : -1);
    }
    request.text = ListText(list, value);
    request.choices = list;
    return result;
}

}  // namespace parlo
