#include "gui/SheetHeading.h"

#include <QApplication>
#include <cmath>

#include "platform/qtgui/QtCanvas.h"

namespace parlo::qt {

namespace {

constexpr uint32_t kSystemColour = 0x80000000u;

double Luminance(const QColor& c) {
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

}  // namespace

SheetHeading::SheetHeading(QWidget* parent) : QLabel(parent) {
    setContentsMargins(6, 4, 6, 4);
    setAutoFillBackground(true);
    QFont f = font();
    f.setBold(true);
    setFont(f);
    hide();
}

double SheetHeading::Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void SheetHeading::Show(const QString& text, uint32_t colour) {
    setVisible(!text.isEmpty());
    setText(text);
    const QPalette system = QApplication::palette();
    QPalette p = palette();
    if (colour & kSystemColour) {
        p.setColor(QPalette::Window, system.color(QPalette::AlternateBase));
        p.setColor(QPalette::WindowText, system.color(QPalette::WindowText));
    } else {
        const QColor fore = ToQColor(colour);
        const QColor light = system.color(QPalette::Base);
        const QColor dark(48, 48, 52);
        p.setColor(QPalette::Window, Contrast(fore, light) >= Contrast(fore, dark) ? light : dark);
        p.setColor(QPalette::WindowText, fore);
    }
    setPalette(p);
}

}  // namespace parlo::qt
