#include "platform/qtgui/PaletteColours.h"

#include <algorithm>
#include <cmath>

namespace parlo::qt {

namespace {

constexpr double kRuleContrast = 3.0;

QColor Blend(const QColor& from, const QColor& to, double t) {
    auto mix = [t](double a, double b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                  mix(from.blue(), to.blue()));
}

}  // namespace

double RelativeLuminance(const QColor& c) {
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDarkPalette(const QPalette& palette) {
    return RelativeLuminance(palette.color(QPalette::Base)) <
           RelativeLuminance(palette.color(QPalette::Text));
}

QColor Legible(const QColor& colour, const QColor& background, double minimum,
               const QColor& towards) {
    if (ContrastRatio(colour, background) >= minimum) return colour;
    // The contrast grows as the blend moves towards a colour that contrasts
    // more: the smallest step found by halving.
    double low = 0, high = 1;
    for (int i = 0; i < 16; ++i) {
        const double mid = (low + high) / 2;
        (ContrastRatio(Blend(colour, towards, mid), background) >= minimum ? high : low) = mid;
    }
    return Blend(colour, towards, high);
}

QColor GridRuleColour(const QPalette& palette) {
    const QColor shadow = palette.color(QPalette::Dark);
    if (!IsDarkPalette(palette)) return shadow;
    return Legible(shadow, palette.color(QPalette::Base), kRuleContrast,
                   palette.color(QPalette::Text));
}

}  // namespace parlo::qt
