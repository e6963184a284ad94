#include "overlay/OverlayMessage.h"

#include "overlay/OverlayText.h"

namespace parlo {

MsgAnswer ShowOverlayMessage(const std::string& key, MsgIcon icon, MsgButtons buttons) {
    return prompts().Message(OvlText("GI_Sys_AppTitle"), OvlMessage(key), icon, buttons);
}

}  // namespace parlo
