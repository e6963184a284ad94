#pragma once
// A QPrinter (a real printer or a PDF file) as sheet printing sees it.
#include <QPainter>
#include <QPrinter>

#include "gui/QtCanvas.h"
#include "platform/PrinterPage.h"

namespace parlo::qt {

class QtPrinterPage : public PrinterPage {
public:
    // Begins the printer's document; it ends with the object.
    explicit QtPrinterPage(QPrinter& printer);
    bool Active() const { return painter_.isActive(); }

    Canvas& PageCanvas() override { return canvas_; }
    int PageWidth() const override;
    int PageHeight() const override;
    int Resolution() const override { return printer_.resolution(); }
    void NewPage() override { printer_.newPage(); }

private:
    QPrinter& printer_;
    QPainter painter_;
    QtCanvas canvas_;
};

}  // namespace parlo::qt
