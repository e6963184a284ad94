#include "platform/qtgui/QtPagedPage.h"

namespace parlo::qt {

QtPagedPage::QtPagedPage(QPagedPaintDevice& device, int resolution)
    : device_(device), resolution_(resolution), painter_(&device), canvas_(painter_, resolution) {}

int QtPagedPage::PageWidth() const {
    return device_.pageLayout().paintRectPixels(resolution_).width();
}

int QtPagedPage::PageHeight() const {
    return device_.pageLayout().paintRectPixels(resolution_).height();
}

}  // namespace parlo::qt
