#pragma once
// Numbers as text, the same on every desktop. The C library's readers and
// printf's "%f" follow LC_NUMERIC, which the toolkit sets from the user's
// locale (a German desktop writes "446,00625"); files, cell texts and
// messages always write "." and plain digits. Every number read from or
// written as text goes through here: std::from_chars and std::to_chars never
// look at the locale.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parlo {

// --- Reading

// The whole of `text` as an integer in `base` (2..36; a leading "-"
// allowed, no blanks, no "+", no "0x"); nothing for anything else or a value
// beyond int64.
std::optional<int64_t> ReadInteger(std::string_view text, int base = 10);

// The integer at the very start of `text`: an optional sign, then digits.
// `length` gets the characters it took. Nothing when no digit is there or
// the value is beyond int64.
std::optional<int64_t> ReadLeadingInteger(std::string_view text, size_t* length = nullptr);

// The integer `text` begins with after blanks: an optional sign, then
// digits; the rest is ignored ("12,3" and "12x" read 12). No digit reads 0;
// values beyond int saturate. For numbers inside overlay texts, sheet
// descriptions and file keywords.
int LeadingInteger(std::string_view text);

// A decimal number read digit by digit: value = digits / 10^decimals. Kept
// as typed, so it can be rounded at any scale without binary fractions.
struct DecimalNumber {
    bool negative = false;
    std::string digits;  // whole and fraction digits, at least one
    int decimals = 0;    // how many of `digits` are the fraction

    // The value times 10^scale (scale >= 0), rounded half away from zero;
    // saturates at +-kDecimalLimit. `exact`, when given, tells whether the
    // digits beyond the scale were all 0.
    int64_t Scaled(int scale, bool* exact = nullptr) const;
    // The value as the nearest double.
    double Real() const;
    // The same value ("2.50" and "2.5", "-0" and "0").
    bool SameValue(const DecimalNumber& other) const;
};

// Far beyond every value a cell holds, and far from overflowing when scaled
// once more.
inline constexpr int64_t kDecimalLimit = int64_t{1} << 50;

// The whole of `text` as a decimal number: an optional "-" or "+", digits
// with at most one "." among them (".5" and "5." are numbers). No blanks,
// no exponent, no other decimal mark: for texts the program wrote.
std::optional<DecimalNumber> ReadDecimal(std::string_view text);

// --- Writing

std::string IntegerText(int64_t value);
// Right-aligned in `width` characters: fill '0' puts the zeros after the
// sign ("%0*d"), fill ' ' the blanks before it ("%*d").
std::string IntegerText(int64_t value, int width, char fill);
// In `base` (2..36, letters upper case), zero-padded to `width` digits:
// "%0*o" for base 8, "%0*X" for base 16.
std::string UnsignedText(uint64_t value, int base, int width = 0);
inline std::string HexText(uint64_t value, int width = 0) { return UnsignedText(value, 16, width); }
// units / 10^decimals with "." before the decimals: (446006250, 6) is
// "446.006250", (-5, 2) "-0.05", (7, 0) "7".
std::string DecimalText(int64_t units, int decimals);
// `value` rounded to `decimals` decimals ("%.*f").
std::string RealText(double value, int decimals);

}  // namespace parlo
