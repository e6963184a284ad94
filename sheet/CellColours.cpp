#include "sheet/CellColours.h"

#include <array>
#include <tuple>

namespace parlo {

namespace {

bool Plain(uint32_t cellColour) {
    return cellColour == paint::kWindow || cellColour == paint::kWhite;
}

// Every cell of a page asks for the same few pairs of colours again: the
// answers for the last ones asked are kept, by the colours and contrast.
template <typename Value>
class Answers {
public:
    template <typename Work>
    Value Of(uint32_t a, uint32_t b, double minimum, const Work& work) {
        const uint64_t pair = (static_cast<uint64_t>(a) << 32) | b;
        Entry& e = entries_[pair * 0x9E3779B97F4A7C15ull >> 58];
        if (!e.known || e.pair != pair || e.minimum != minimum) e = {true, pair, minimum, work()};
        return e.value;
    }

private:
    struct Entry {
        bool known = false;
        uint64_t pair = 0;
        double minimum = 0;
        Value value{};
    };
    std::array<Entry, 64> entries_{};
};

uint32_t WorkOutReadableOn(uint32_t background, uint32_t text, double minimum) {
    // Towards the end of the scale that stands further from the background:
    // one of black and white always reads.
    const bool darker =
        ContrastRatio(background, paint::kBlack) >= ContrastRatio(background, paint::kWhite);
    const uint32_t end = darker ? paint::kBlack : paint::kWhite;
    return ShadeToContrast(text, end, background, minimum).value_or(end);
}

std::pair<uint32_t, uint32_t> WorkOutReadableBehind(uint32_t background, uint32_t text) {
    if (ContrastRatio(background, text) >= kTextContrast) return {background, text};
    const bool lightText = RelativeLuminance(text) > RelativeLuminance(background);
    const uint32_t end = lightText ? paint::kBlack : paint::kWhite;
    const uint32_t shade = ShadeToContrast(background, end, text, kTextContrast).value_or(end);
    return {shade, ReadableOn(shade, text)};
}

}  // namespace

uint32_t ReadableOn(uint32_t background, uint32_t text, double minimum) {
    thread_local Answers<uint32_t> answers;
    return answers.Of(background, text, minimum,
                      [&] { return WorkOutReadableOn(background, text, minimum); });
}

std::pair<uint32_t, uint32_t> ReadableBehind(uint32_t background, uint32_t text) {
    thread_local Answers<std::pair<uint32_t, uint32_t>> answers;
    return answers.Of(background, text, kTextContrast, [&] {
        return WorkOutReadableBehind(background, text);
    });
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
