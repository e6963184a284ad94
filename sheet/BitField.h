#pragma once
// The bit-field editor's logic: the sheet it shows when no sheet key is
// given (a private overlay of 32 lines, one tick cell per item under a head
// row whose texts follow the header style), and the value it edits, where
// item k of the range (k = 1 ... N) is bit 26 - k.
#include <cstdint>
#include <string>
#include <vector>

namespace parlo {

// The sheet key of the editor's sheet.
inline constexpr const char* kBitFieldSheetKey = "GI_Sheet_FBitsR";

// Header styles: 1 hexadecimal, 2 decimal with 10 shown as 0, 3 as 2 with
// 11 shown as Z, 4 letters (1 = A), 5 GPS sentence names, 6 bit numbers
// counted down from the last item; any other style plain decimal.
inline constexpr int kHeaderGpsSentences = 5;
// Tick styles: the letter "o", or a drawn tick.
inline constexpr int kTickLetter = 0;
inline constexpr int kTickMark = 1;

// The head text of item n of first ... last.
std::string BitFieldHeadText(int n, int last, int headerStyle);

// The 32 lines of the built-in overlay for items first ... last.
std::vector<std::string> BitFieldOverlayLines(int first, int last, int headerStyle);

class BitFieldValue {
public:
    // At most 25 items are laid out: item k is bit 26 - k.
    static constexpr int kMaxItems = 25;
    // Style 5 allows at most this many set bits.
    static constexpr int kMaxGpsSentences = 3;

    BitFieldValue(uint32_t value, int first, int last, int headerStyle);

    uint32_t Value() const { return value_; }
    int Items() const { return last_ - first_ + 1; }
    bool Bit(int k) const;
    void Toggle(int k);
    // The set bits counted by style 5's rule; too many of them mark every
    // tick cell and keep OK disabled.
    int SentencesSet() const;
    bool TooMany() const;
    bool OkAllowed() const { return !TooMany(); }

private:
    static uint32_t Mask(int k) { return k >= 1 && k <= kMaxItems ? 1u << (26 - k) : 0; }

    uint32_t value_;
    int first_, last_;
    int style_;
};

}  // namespace parlo
