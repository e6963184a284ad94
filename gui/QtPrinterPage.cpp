#include "gui/QtPrinterPage.h"

namespace parlo::qt {

QtPrinterPage::QtPrinterPage(QPrinter& printer)
    : printer_(printer), painter_(&printer), canvas_(painter_, printer.resolution()) {}

int QtPrinterPage::PageWidth() const {
    return printer_.pageLayout().paintRectPixels(printer_.resolution()).width();
}

int QtPrinterPage::PageHeight() const {
    return printer_.pageLayout().paintRectPixels(printer_.resolution()).height();
}

}  // namespace parlo::qt
