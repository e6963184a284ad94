#pragma once
// A QPrinter (a real printer or a PDF file) as sheet printing sees it.
#include <QPrinter>

#include "platform/qtgui/QtPagedPage.h"

namespace parlo::qt {

class QtPrinterPage : public QtPagedPage {
public:
    // Begins the printer's document; it ends with the object.
    explicit QtPrinterPage(QPrinter& printer) : QtPagedPage(printer, printer.resolution()) {}
};

}  // namespace parlo::qt
