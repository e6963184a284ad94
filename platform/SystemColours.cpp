#include "platform/SystemColours.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace parlo {

namespace {

// The linear light of each of the 256 levels of a channel, worked out once:
// a sheet's painting asks for thousands of contrasts.
const std::array<double, 256>& LinearLevels() {
    static const std::array<double, 256> levels = [] {
        std::array<double, 256> l{};
        for (size_t i = 0; i < l.size(); ++i) {
            const double v = static_cast<double>(i) / 255.0;
            l[i] = v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        }
        return l;
    }();
    return levels;
}

double Channel(uint32_t value) { return LinearLevels()[value & 0xFF]; }

// `from` moved the fraction `t` of the way to `to`, channel by channel.
uint32_t Blend(uint32_t from, uint32_t to, double t) {
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
        result |= static_cast<uint32_t>(std::lround(a + (b - a) * t)) << shift;
    }
    return result;
}

}  // namespace

double RelativeLuminance(uint32_t rgb) {
    return 0.2126 * Channel(rgb) + 0.7152 * Channel(rgb >> 8) + 0.0722 * Channel(rgb >> 16);
}

double ContrastRatio(uint32_t a, uint32_t b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::optional<uint32_t> ShadeToContrast(uint32_t colour, uint32_t towards, uint32_t against,
                                        double minimum) {
    if (ContrastRatio(colour, against) >= minimum) return colour;
    if (ContrastRatio(towards, against) < minimum) return std::nullopt;
    // The contrast grows along the way (`towards` stands further off than
    // `colour`): the smallest step that reaches it, found by halving.
    double low = 0, high = 1;
    for (int i = 0; i < 16; ++i) {
        const double mid = (low + high) / 2;
        (ContrastRatio(Blend(colour, towards, mid), against) >= minimum ? high : low) = mid;
    }
    return Blend(colour, towards, high);
}

}  // namespace parlo
