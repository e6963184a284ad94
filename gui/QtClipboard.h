#pragma once
// The desktop's clipboard through Qt, for the copy and paste of cell texts.
#include "platform/SystemClipboard.h"

namespace parlo::qt {

class QtClipboard : public SystemClipboard {
public:
    std::string Text() const override;
    void SetText(const std::string& text) override;
};

}  // namespace parlo::qt
