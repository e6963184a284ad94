#pragma once
// Typing a text into a cell as the in-place editor commits it, for the
// commands that fill many cells at once (a CSV import, a paste of text).
// A message a cell would show meanwhile is caught, not shown: it refuses the
// value, and the caller reports every refusal together.
#include <string>

#include "cells/CellContext.h"
#include "platform/Prompts.h"

namespace parlo {

class CellTyping : private Prompts {
public:
    explicit CellTyping(DispatchFunction cells);
    ~CellTyping() override;
    CellTyping(const CellTyping&) = delete;
    CellTyping& operator=(const CellTyping&) = delete;

    // The text the cell shows, without the blanks that align it.
    std::string Shown(const CellDesc& cell);
    // Commits `text` to the cell; a text the cell already shows is left as
    // it stands. False when the cell refused it (the reason, when the cell
    // or a message gave one, in Reason()). Adjusted() tells whether the cell
    // took it as another value than typed (limited, snapped, rounded).
    bool Type(const CellDesc& cell, const std::string& text);
    const std::string& Reason() const { return reason_; }
    bool Adjusted() const { return adjusted_; }

private:
    MsgAnswer Message(const std::string& caption, const std::string& text, MsgIcon icon,
                      MsgButtons buttons) override;

    DispatchFunction cells_;
    Prompts* previous_;
    std::string reason_;
    bool adjusted_ = false;
    int messages_ = 0;
};

// A text without its leading and trailing blanks.
std::string TrimBlanks(const std::string& text);

}  // namespace parlo
