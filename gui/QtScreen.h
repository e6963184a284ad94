#pragma once
// The primary screen's size, or the size assumed without a screen.
#include "platform/Screen.h"

namespace parlo::qt {

class QtScreen : public Screen {
public:
    ScreenSize Size() const override;
};

}  // namespace parlo::qt
