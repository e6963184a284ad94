#pragma once
// A printer as sheet printing sees it: a canvas in device units, the page
// size, the resolution, and a way to start the next page.
#include "platform/Canvas.h"

namespace parlo {

class PrinterPage {
public:
    virtual ~PrinterPage() = default;
    virtual Canvas& PageCanvas() = 0;
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    // Dots per inch, used for both directions.
    virtual int Resolution() const = 0;
    virtual void NewPage() = 0;
};

}  // namespace parlo
