#pragma once
// A font as sheets describe it; the canvas turns it into a toolkit font.
#include <cstdint>
#include <string>

namespace parlo {

struct FontSpec {
    enum Style : uint8_t { kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8 };
    enum Pitch : uint8_t { kPitchDefault = 0, kPitchVariable = 1, kPitchFixed = 2 };

    int charset = 1;               // DEFAULT_CHARSET
    std::string name;              // empty: the toolkit's default face
    uint32_t colour = 0x80000008;  // the window text colour
    int height = -12;              // device units; negative = character height
    uint8_t style = 0;
    uint8_t pitch = kPitchDefault;

    // The point size that goes with the height at `dpi`, and back.
    int Size(int dpi = 96) const {
        const int h = height < 0 ? -height : height;
        return (h * 72 + dpi / 2) / dpi;
    }
    void SetSize(int points, int dpi = 96) { height = -((points * dpi + 36) / 72); }

    bool operator==(const FontSpec&) const = default;
};

}  // namespace parlo
