#include "sheet/CellColours.h"

#include <optional>
#include <tuple>

namespace parlo {

namespace {

constexpr int kSteps = 64;

uint32_t Blend(uint32_t from, uint32_t to, int step) {
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((from >> shift) & 0xFF);
        const int b = static_cast<int>((to >> shift) & 0xFF);
        const int v = a + (b - a) * step / kSteps;
        result |= static_cast<uint32_t>(v) << shift;
    }
    return result;
}

// The first shade of `colour` on the way to `target` that reads against
// `other`, or nothing.
std::optional<uint32_t> ShadeTowards(uint32_t colour, uint32_t target, uint32_t other) {
    for (int step = 0; step <= kSteps; ++step) {
        const uint32_t shade = Blend(colour, target, step);
        if (ContrastRatio(shade, other) >= kMinimumContrast) return shade;
    }
    return std::nullopt;
}

bool Plain(uint32_t cellColour) {
    return cellColour == paint::kWindow || cellColour == paint::kWhite;
}

}  // namespace

uint32_t ReadableOn(uint32_t background, uint32_t text) {
    if (ContrastRatio(background, text) >= kMinimumContrast) return text;
    // Towards the end of the scale that stands further from the background:
    // one of black and white always reads.
    const bool darker =
        ContrastRatio(background, paint::kBlack) >= ContrastRatio(background, paint::kWhite);
    return ShadeTowards(text, darker ? paint::kBlack : paint::kWhite, background)
        .value_or(darker ? paint::kBlack : paint::kWhite);
}

std::pair<uint32_t, uint32_t> ReadableBehind(uint32_t background, uint32_t text) {
    if (ContrastRatio(background, text) >= kMinimumContrast) return {background, text};
    const bool lightText = RelativeLuminance(text) > RelativeLuminance(background);
    const uint32_t target = lightText ? paint::kBlack : paint::kWhite;
    const uint32_t shade = ShadeTowards(background, target, text).value_or(target);
    return {shade, ReadableOn(shade, text)};
}

CellPaint PaintOfCell(const Canvas& canvas, uint32_t cellColour, uint32_t textColour,
                      CellLook look) {
    CellPaint p;
    switch (look) {
        case CellLook::Printed:
            // Paper: plain cells white, coloured ones a dark shade with
            // white text.
            p.fill = !Plain(cellColour);
            p.background = p.fill ? paint::kPrintShade : paint::kWhite;
            p.text = ReadableOn(p.background, p.fill ? paint::kWhite : canvas.Resolve(textColour));
            return p;
        case CellLook::Current: {
            // The desktop's selection, darkened where its text would not read.
            const auto [back, text] = ReadableBehind(canvas.Resolve(paint::kHighlight),
                                                     canvas.Resolve(paint::kHighlightText));
            p.background = back;
            p.text = text;
            return p;
        }
        case CellLook::CurrentUnfocused:
            // A text in the button face's own colour would vanish on it.
            if (textColour == paint::kButtonFace) textColour = paint::kWindowText;
            p.background = canvas.Resolve(paint::kButtonFace);
            p.text = ReadableOn(p.background, canvas.Resolve(textColour));
            return p;
        case CellLook::Plain: break;
    }
    p.fill = cellColour != paint::kWhite;
    const uint32_t back = canvas.Resolve(cellColour);
    const uint32_t text = canvas.Resolve(textColour);
    if (Plain(cellColour)) {
        p.background = back;
        p.text = ReadableOn(back, text);
    } else {
        // A coloured cell keeps its text colour and takes a deeper shade.
        std::tie(p.background, p.text) = ReadableBehind(back, text);
    }
    return p;
}

}  // namespace parlo
