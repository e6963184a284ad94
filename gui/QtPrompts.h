#pragma once
// Message boxes and the fatal-error box of the GUI.
#include "platform/Prompts.h"

class QWidget;

namespace parlo::qt {

class QtPrompts : public Prompts {
public:
    MsgAnswer Message(const std::string& caption, const std::string& text, MsgIcon icon,
                      MsgButtons buttons) override;
    // Boxes are owned by this window when it is set.
    void SetParent(QWidget* parent) { parent_ = parent; }

private:
    QWidget* parent_ = nullptr;
};

// Program errors show a modal error box captioned with the program file's
// name before the process ends.
void InstallFatalBox();

}  // namespace parlo::qt
