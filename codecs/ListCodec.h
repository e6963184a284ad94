#pragma once
// List choice: the value is an item index of an overlay selection list; the
// cell shows that item, space and backspace step through the list with
// wrap-around, Enter opens it as a pop-up.
#include <string>

#include "codecs/CellRequest.h"

namespace parlo {

// `kind` is the pop-up kind the list opens with (Signalling for the channel
// signalling settings). A committed text is taken when it names an item,
// which lets the command line set list cells by their text.
CodecResult ListCodec(CellRequest& request, int& value, const std::string& list,
                      PopupKind kind = PopupKind::List);

// The cell text of item `value`: the item, or the bare number when the
// stored value lies beyond the list.
std::string ListText(const std::string& list, int value);

}  // namespace parlo
