#include "sheet/OverlayMessage.h"

#include "sheet/cmcGTex.h"

namespace parlo {

MsgAnswer ShowOverlayMessage(const std::string& key, MsgIcon icon, MsgButtons buttons) {
    return prompts().Message(OvlText("GI_Sys_AppTitle"), OvlMessage(key), icon, buttons);
}

}  // namespace parlo
