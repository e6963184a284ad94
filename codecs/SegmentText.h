#pragma once
// Segment text: a field of display characters, one byte per position, whose
// bit 7 lights the dot after the character. Its text form is what the user
// reads and types: the character itself, "." after a dotted character,
// "%%" for "%" and "%XX" for a character code that cannot be typed.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/CellRequest.h"

namespace parlo {

// The text form of a field. A zero-terminated field ends at its first 0 and
// keeps trailing blanks; other fields drop them.
std::string SegmentTextForm(std::span<const uint8_t> field, bool zeroTerminated);

// The field bytes of a text form (at most 255 characters are read), cut or
// padded to `length` with blanks (with 0 for a zero-terminated field).
std::vector<uint8_t> SegmentTextField(std::string_view text, size_t length, bool zeroTerminated);
// The same bytes neither cut nor padded: what the text shows.
std::vector<uint8_t> SegmentTextBytes(std::string_view text);

// How a text form fits a field of `length` positions: the positions it
// takes (blanks at its end do not count, the field drops them) and the text
// form of the positions past the field's end, which a save does not keep.
struct SegmentTextFit {
    size_t positions = 0;
    std::string cut;
};
SegmentTextFit FitSegmentText(std::string_view text, size_t length);

// Typed text is UTF-8; the display shows only the ASCII characters (and
// the user characters, written "%10" to "%1F"). The first character of
// `text` it cannot show, as UTF-8, or nothing when it can show them all.
std::optional<std::string> FirstUnshownCharacter(std::string_view text);
// The message that refuses such a character.
std::string UnshownCharacterMessage(const std::string& character);

// The cell: shows the text form; Enter, backspace or a printable character
// asks for the text entry window (starting with the current text form, or
// with the character typed, and told the field's length); a committed text
// form is stored. A text with
// a character the display cannot show is refused and stores nothing.
CodecResult SegmentTextCodec(CellRequest& request, std::span<uint8_t> field, bool zeroTerminated);

}  // namespace parlo
