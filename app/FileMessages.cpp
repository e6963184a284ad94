#include "app/FileMessages.h"

#include "overlay/OverlayText.h"
#include "platform/Prompts.h"

namespace parlo {

uint8_t ShowFileOutcome(const FileOutcome& outcome) {
    if (!outcome.Ok() && !outcome.message.empty()) {
        prompts().Message(MainOverlay().TryGetText("GI_Sys_AppTitle").value_or(""), outcome.message,
                          MsgIcon::Warning, MsgButtons::Ok);
    }
    return outcome.code;
}

}  // namespace parlo
