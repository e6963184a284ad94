#pragma once
// A message box whose text is an overlay message (all lines of its key up
// to the next "#" line) and whose caption is the application title.
#include <string>

#include "platform/Prompts.h"

namespace parlo {

MsgAnswer ShowOverlayMessage(const std::string& key, MsgIcon icon,
                             MsgButtons buttons = MsgButtons::Ok);

}  // namespace parlo
