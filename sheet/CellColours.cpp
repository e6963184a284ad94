#include "sheet/CellColours.h"

#include <tuple>

namespace parlo {

namespace {

bool Plain(uint32_t cellColour) {
    return cellColour == paint::kWindow || cellColour == paint::kWhite;
}

}  // namespace

uint32_t ReadableOn(uint32_t background, uint32_t text, double minimum) {
    // Towards the end of the scale that stands further from the background:
    // one of black and white always reads.
    const bool darker =
        ContrastRatio(background, paint::kBlack) >= ContrastRatio(background, paint::kWhite);
    const uint32_t end = darker ? paint::kBlack : paint::kWhite;
    return ShadeToContrast(text, end, background, minimum).value_or(end);
}

std::pair<uint32_t, uint32_t> ReadableBehind(uint32_t background, uint32_t text) {
    if (ContrastRatio(background, text) >= kTextContrast) return {background, text};
    const bool lightText = RelativeLuminance(text) > RelativeLuminance(background);
    const uint32_t end = lightText ? paint::kBlack : paint::kWhite;
    const uint32_t shade = ShadeToContrast(background, end, text, kTextContrast).value_or(end);
    return {shade, ReadableOn(shade, text)};
}

uint32_t GridRuleOf(const Canvas& canvas) {
    const uint32_t shadow = canvas.Resolve(paint::kGridLine);
    const uint32_t base = canvas.Resolve(paint::kWindow);
    const uint32_t text = canvas.Resolve(paint::kWindowText);
    const bool dark = RelativeLuminance(base) < RelativeLuminance(text);
    return dark ? RuleOn(base, shadow) : shadow;
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
            // The desktop's selection, its shade moved away from its text
            // where that would not read.
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
    // Every cell paints its own background: a white one stays white on a
    // dark desktop.
    p.fill = true;
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
