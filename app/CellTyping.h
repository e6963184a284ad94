#pragma once
// Typing a text into a cell as the in-place editor commits it, for the
// commands that fill many cells at once from a table (a CSV import, a paste
// of text). A message a cell would show meanwhile is caught, not shown: it
// refuses the value, and the caller reports every refusal together.
//
// A table's text is read as a table's: a bare number in a tone cell is a
// CTCSS frequency, not a DTCS code. A text that means the value the cell
// already holds ("446.1" where it shows "446.100000", "67" for "67.0")
// changes nothing at all: a spreadsheet's round trip, which rewrites every
// number its own way, leaves the image as it was to the byte (typing a
// frequency would otherwise also set bits no cell shows).
#include <string>

#include "cells/CellContext.h"
#include "model/EepromImage.h"
#include "platform/Prompts.h"

namespace parlo {

class CellTyping : private Prompts {
public:
    // `image` is the one the cells edit.
    CellTyping(DispatchFunction cells, EepromImage& image);
    ~CellTyping() override;
    CellTyping(const CellTyping&) = delete;
    CellTyping& operator=(const CellTyping&) = delete;

    // The text the cell shows, without the blanks that align it; blanks
    // that are part of a display text (a name's leading blank) are kept.
    std::string Shown(const CellDesc& cell);
    // Commits `text` to the cell; a text that means what the cell holds
    // leaves the image untouched. False when the cell refused it (the
    // reason, when the cell or a message gave one, in Reason()). Adjusted()
    // tells whether the cell took it as another value than typed (limited,
    // snapped, rounded).
    bool Type(const CellDesc& cell, const std::string& text);
    const std::string& Reason() const { return reason_; }
    bool Adjusted() const { return adjusted_; }

private:
    MsgAnswer Message(const std::string& caption, const std::string& text, MsgIcon icon,
                      MsgButtons buttons) override;
    // The cell's text, and whether its blanks count.
    std::string Draw(const CellDesc& cell, bool* blanksCount);

    DispatchFunction cells_;
    EepromImage& image_;
    EepromImage before_;
    Prompts* previous_;
    std::string reason_;
    bool adjusted_ = false;
    int messages_ = 0;
};

// A text without its leading and trailing blanks.
std::string TrimBlanks(const std::string& text);

}  // namespace parlo
