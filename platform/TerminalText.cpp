#include "platform/TerminalText.h"

#include <cstdint>

namespace parlo {

namespace {

void Escape(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

// The length of the valid UTF-8 sequence at `at`, or 0. Overlong forms,
// surrogates and code points beyond U+10FFFF are not valid.
size_t SequenceLength(std::string_view s, size_t at, uint32_t* codePoint) {
    const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = b(at);
    size_t n = 0;
    uint32_t cp = 0, least = 0;
    if (lead < 0x80) return *codePoint = lead, 1;
    if ((lead & 0xE0) == 0xC0)
        n = 2, cp = lead & 0x1Fu, least = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        n = 3, cp = lead & 0x0Fu, least = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        n = 4, cp = lead & 0x07u, least = 0x10000;
    else
        return 0;
    if (at + n > s.size()) return 0;
    for (size_t i = 1; i < n; ++i) {
        if ((b(at + i) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(at + i) & 0x3Fu);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    *codePoint = cp;
    return n;
}

bool IsControl(uint32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F); }

}  // namespace

std::string TerminalText(std::string_view text, bool keepLineBreaks) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        uint32_t cp = 0;
        const size_t n = SequenceLength(text, at, &cp);
        if (n == 0) {
            Escape(out, static_cast<unsigned char>(text[at++]));
            continue;
        }
        if (IsControl(cp) && !(keepLineBreaks && cp == '\n')) {
            for (size_t i = 0; i < n; ++i) Escape(out, static_cast<unsigned char>(text[at + i]));
        } else {
            out.append(text.substr(at, n));
        }
        at += n;
    }
    return out;
}

}  // namespace parlo
