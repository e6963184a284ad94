#pragma once
// Small text helpers shared by the value codecs: filtering typed text,
// whole numbers typed, stepping with wrap-around, and the key handling that
// every typed codec shares.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "codecs/CellRequest.h"

namespace parlo {

inline constexpr std::string_view kDecimalDigits = "0123456789";
inline constexpr std::string_view kHexDigits = "0123456789abcdefABCDEF";

// The characters of `text` that occur in `allowed`, in order.
std::string KeepChars(std::string_view text, std::string_view allowed);
// `text` without blanks at either end.
std::string_view Trim(std::string_view text);
// Whether `text`, after leading blanks, begins with `prefix`, ignoring case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EqualsNoCase(std::string_view a, std::string_view b);

// A whole number typed (a number read as TypedNumber.h reads it): its
// fraction is cut off ("4.6" is 4, as the sign and digits before the mark
// read), which marks the request as adjusted. Nothing when the text is no
// number; the reason, when there is one, goes into the request.
std::optional<int64_t> TypedWhole(CellRequest& request, std::string_view text,
                                  bool negativeAllowed);

// `typed` limited to [minimum, maximum]; a value that had to be limited
// marks the request as adjusted.
int64_t ClampTyped(CellRequest& request, int64_t typed, int64_t minimum, int64_t maximum);

// a / b rounded to the nearest integer, halves away from zero (b > 0).
int64_t DivideRounded(int64_t a, int64_t b);

// value + delta, wrapping to the other end of [minimum, maximum]; a value
// outside the range steps to the end it runs towards.
int StepWrapped(int value, int delta, int minimum, int maximum);

// Stores `next` and tells whether that changed the value.
template <typename T, typename U>
CodecResult SetValue(T& value, const U& next) {
    if (value == static_cast<T>(next)) return CodecResult::Unchanged;
    value = static_cast<T>(next);
    return CodecResult::Changed;
}

// The keys every typed codec shares: Enter, space and backspace open the
// editor with `current` selected; a key found in `starters` opens it with
// just that character. Returns true when the key opened the editor.
bool OpenEditorOnKey(CellRequest& request, const std::string& current, std::string_view starters);

// What most typed codecs share: a committed text read by `parse` (nothing
// for unreadable input; it may give the reason, or mark a value rounded to
// the unit, in the request) and limited to [minimum, maximum], space and
// backspace stepping one unit with wrap-around over that range, and the
// editor opened with `current` (Enter) or with a key in `starters`. The
// caller shows the value afterwards unless the editor was asked for.
using TypedParser =
    std::function<std::optional<int64_t>(CellRequest& request, const std::string& typed)>;
CodecResult EditTypedValue(CellRequest& request, int& value, const TypedParser& parse, int minimum,
                           int maximum, const std::string& current, std::string_view starters);

}  // namespace parlo
