#pragma once
// A paged paint device (a QPrinter, a QPdfWriter) as sheet printing sees it.
#include <QPagedPaintDevice>
#include <QPainter>

#include "platform/PrinterPage.h"
#include "platform/qtgui/QtCanvas.h"

namespace parlo::qt {

class QtPagedPage : public PrinterPage {
public:
    // Begins the device's document at `resolution` dots per inch; it ends
    // with the object.
    QtPagedPage(QPagedPaintDevice& device, int resolution);
    bool Active() const { return painter_.isActive(); }

    Canvas& PageCanvas() override { return canvas_; }
    int PageWidth() const override;
    int PageHeight() const override;
    int Resolution() const override { return resolution_; }
    void NewPage() override { device_.newPage(); }

private:
    QPagedPaintDevice& device_;
    int resolution_;
    QPainter painter_;
    QtCanvas canvas_;
};

}  // namespace parlo::qt
