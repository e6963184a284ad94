#include "model/CloneInfo.h"

#include <cinttypes>
#include <cstdio>

#include "overlay/OverlayText.h"

namespace parlo {

namespace {

int HexDigit(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool Bit(uint8_t byte, int bit) { return (byte >> bit & 1) != 0; }

std::string Nibbles(uint8_t b) {
    char s[16];
    std::snprintf(s, sizeof s, "%d.%d", b >> 4, b & 0x0F);
    return s;
}

std::string TextField(const std::vector<uint8_t>& block, int32_t at) {
    std::string s;
    for (int32_t i = 0; i < 16; ++i) {
        const uint8_t c = IdentityByte(block, at + i);
        s += (c >= 0x20 && c <= 0x7E) ? static_cast<char>(c) : ' ';
    }
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// Twelve hexadecimal characters read as numbers of 4, 2 and 6 digits and
// shown in decimal; a single space when any character is not hexadecimal.
std::string SerialText(const std::vector<uint8_t>& block) {
    uint64_t parts[3] = {0, 0, 0};
    static constexpr int kWidths[3] = {4, 2, 6};
    int32_t at = 37;
    for (int p = 0; p < 3; ++p) {
        for (int k = 0; k < kWidths[p]; ++k) {
            const int d = HexDigit(IdentityByte(block, at++));
            if (d < 0) return " ";
            parts[p] = parts[p] * 16 + static_cast<uint64_t>(d);
        }
    }
    char s[48];
    std::snprintf(s, sizeof s, "%04" PRIu64 "%02" PRIu64 "%05" PRIu64, parts[0], parts[1],
                  parts[2]);
    return s;
}

std::string OptionLines(const std::vector<uint8_t>& block) {
    const uint8_t a = IdentityByte(block, 49);
    const uint8_t b = IdentityByte(block, 50);
    const uint8_t c = IdentityByte(block, 51);
    std::string lines;
    auto add = [&](const char* key) { lines += OvlText(key) + "\n"; };
    if (Bit(b, 5))
        add(Bit(b, 4) ? "GI_Mess_CloneInfo_Opt_OptBoardA" : "GI_Mess_CloneInfo_Opt_OptBoardB");
    if ((a & 7) == 2) {
        add((b & 3) == 1   ? "GI_Mess_CloneInfo_Opt_OptBoardC"
            : (b & 3) == 2 ? "GI_Mess_CloneInfo_Opt_OptBoardD"
                           : "GI_Mess_CloneInfo_Opt_OptBoardE");
    }
    if (Bit(b, 2)) add("GI_Mess_CloneInfo_Opt_OptBoardF");
    if ((a & 7) == 1) add("GI_Mess_CloneInfo_Opt_OptBoardG");
    if (Bit(b, 3)) add("GI_Mess_CloneInfo_Opt_OptBoardH");
    if (Bit(c, 6)) add("GI_Mess_CloneInfo_Opt_OptBoardI");
    if (!Bit(c, 0) && Bit(c, 4) != Bit(c, 5)) {
        const uint8_t rev = IdentityByte(block, 74);
        char s[48];
        std::snprintf(s, sizeof s, "Rev:%d.%d:$%04X\n", rev >> 4, rev & 0x0F,
                      static_cast<unsigned>(IdentityHex4(block, 76)));
        lines += s;
    }
    return lines;
}

}  // namespace

uint8_t IdentityByte(const std::vector<uint8_t>& block, int32_t i) {
    return i >= 0 && static_cast<size_t>(i) < block.size() ? block[static_cast<size_t>(i)] : 0;
}

uint32_t IdentityHex4(const std::vector<uint8_t>& block, int32_t at) {
    uint32_t v = 0;
    for (int32_t i = 0; i < 4; ++i) {
        const int d = HexDigit(IdentityByte(block, at + i));
        v = v * 16 + static_cast<uint32_t>(d < 0 ? 0 : d);
    }
    return v;
}

int32_t IdentityReadEnd(const std::vector<uint8_t>& block) {
    const auto v = static_cast<int32_t>(IdentityHex4(block, kIdentityMemoryEnd));
    return v - v % 16 + 15;
}

int ModelLineIndex(uint8_t bits) {
    if (bits & 0x80) return 0;
    if ((bits & 0x60) == 0x60) return 2;
    if (bits & 0x40) return 1;
    if (bits & 0x04) return 3;
    return 0;
}

CloneInfoTexts InfoTexts(const std::vector<uint8_t>& block) {
    CloneInfoTexts t;
    t.model = OvlText("GI_AppInd_Model", ModelLineIndex(IdentityByte(block, 54))) + "\n" +
              OvlText("GI_Mess_CloneInfo_TenKey", Bit(IdentityByte(block, 50), 6) ? 1 : 0);
    t.version = Nibbles(IdentityByte(block, 34));
    t.text1 = TextField(block, 2);
    t.text2 = TextField(block, 18);
    t.options = OptionLines(block);
    if (Bit(IdentityByte(block, 53), 5)) t.overVoltage = OvlText("GI_Mess_CloneInfo_OverVolt");
    t.serial = SerialText(block);
    char value[16];
    std::snprintf(value, sizeof value, "$%04X", static_cast<unsigned>(IdentityHex4(block, 62)));
    t.value = value;
    return t;
}

std::vector<std::pair<std::string, std::string>> InfoLines(const std::vector<uint8_t>& block) {
    const CloneInfoTexts t = InfoTexts(block);
    const std::string* values[] = {&t.model,   &t.version,     &t.text1,  &t.text2,
                                   &t.options, &t.overVoltage, &t.serial, &t.value};
    std::vector<std::pair<std::string, std::string>> lines;
    for (int i = 0; i < 8; ++i)
        lines.emplace_back(OvlText("GI_AppInd_CloneInfo_Label", i), *values[i]);
    return lines;
}

}  // namespace parlo
