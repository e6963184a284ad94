#include "codecs/SegmentText.h"

#include <algorithm>

#include "codecs/CodecText.h"
#include "overlay/OverlayFormat.h"
#include "overlay/OverlayText.h"
#include "platform/NumberText.h"

namespace parlo {

static constexpr uint8_t kDot = 0x80;
static constexpr size_t kMaxTextForm = 255;

static bool Printable(uint8_t c) { return c >= 0x20 && c <= 0x7E; }

static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string SegmentTextForm(std::span<const uint8_t> field, bool zeroTerminated) {
    std::string text;
    for (uint8_t byte : field) {
        uint8_t c = byte & 0x7F;
        if (byte == kDot) {
            // A dot on its own reads as a blank with a dot.
            text += " .";
            continue;
        }
        if (c < 0x10) break;
        if (c == '%') {
            text += "%%";
        } else if (c == '.' || !Printable(c)) {
            // A plain "." would read back as the dot of the character before.
            text += "%" + HexText(c, 2);
        } else {
            text += static_cast<char>(c);
        }
        if (byte & kDot) text += '.';
    }
    if (!zeroTerminated) {
        while (!text.empty() && text.back() == ' ') text.pop_back();
    }
    return text;
}

std::vector<uint8_t> SegmentTextField(std::string_view text, size_t length, bool zeroTerminated) {
    std::vector<uint8_t> bytes = SegmentTextBytes(text);
    bytes.resize(length, zeroTerminated ? 0 : ' ');
    return bytes;
}

std::vector<uint8_t> SegmentTextBytes(std::string_view text) {
    text = text.substr(0, std::min(text.size(), kMaxTextForm));
    std::vector<uint8_t> bytes;
    bool dotFree = false;  // the last byte is a character that has no dot yet
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<uint8_t>(text[i]);
        if (c == '.') {
            if (dotFree) {
                bytes.back() |= kDot;
            } else {
                bytes.push_back(' ' | kDot);
            }
            dotFree = false;
            continue;
        }
        if (c == '%' && i + 1 < text.size() && text[i + 1] == '%') {
            ++i;
        } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
                   HexValue(text[i + 2]) >= 0) {
            auto code = static_cast<uint8_t>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            if (code >= 0x10) {
                c = code;
                i += 2;
            }
        } else if (!Printable(c) && c < 0x7F) {
            c = ' ';
        }
        bytes.push_back(c);
        dotFree = (c & kDot) == 0;
    }
    return bytes;
}

SegmentTextFit FitSegmentText(std::string_view text, size_t length) {
    std::vector<uint8_t> bytes = SegmentTextBytes(text);
    while (!bytes.empty() && bytes.back() == ' ') bytes.pop_back();
    SegmentTextFit fit;
    fit.positions = bytes.size();
    if (bytes.size() > length) fit.cut = SegmentTextForm(std::span(bytes).subspan(length), true);
    return fit;
}

std::optional<std::string> FirstUnshownCharacter(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<uint8_t>(text[i]);
        if (c < 0x80) continue;
        // The whole UTF-8 sequence: its lead byte and the continuation bytes.
        size_t end = i + 1;
        while (end < text.size() && (static_cast<uint8_t>(text[end]) & 0xC0) == 0x80) ++end;
        return std::string(text.substr(i, end - i));
    }
    return std::nullopt;
}

std::string UnshownCharacterMessage(const std::string& character) {
    return FormatText(OvlText("GI_AppMess_TextNotShown"), {character});
}

CodecResult SegmentTextCodec(CellRequest& request, std::span<uint8_t> field, bool zeroTerminated) {
    CodecResult result = CodecResult::Unchanged;
    if (request.Committing()) {
        if (const auto unshown = FirstUnshownCharacter(request.editText)) {
            request.refusal = UnshownCharacterMessage(*unshown);
            request.text = SegmentTextForm(field, zeroTerminated);
            return CodecResult::Rejected;
        }
        std::vector<uint8_t> bytes =
            SegmentTextField(request.editText, field.size(), zeroTerminated);
        if (!std::equal(bytes.begin(), bytes.end(), field.begin())) {
            std::copy(bytes.begin(), bytes.end(), field.begin());
            result = CodecResult::Changed;
        }
    } else if (int key = request.Key(); key == kKeyEnter || key == kKeyBackspace) {
        request.OpenPopup(PopupKind::TextEntry, "", -1);
        request.popup.fieldLength = static_cast<int>(field.size());
        request.text = SegmentTextForm(field, zeroTerminated);
        request.caretStart = static_cast<int>(request.text.size());
        return result;
    } else if (key >= 0x20 && key < 0x7F) {
        request.OpenPopup(PopupKind::TextEntry, "", -1);
        request.popup.fieldLength = static_cast<int>(field.size());
        request.text = std::string(1, static_cast<char>(key));
        request.caretStart = 1;
        return result;
    } else if (key >= 0x80 && key <= 0xFF) {
        // A key of the desktop's own character set (its code as Latin-1).
        const std::string character = {static_cast<char>(0xC0 | (key >> 6)),
                                       static_cast<char>(0x80 | (key & 0x3F))};
        request.refusal = UnshownCharacterMessage(character);
        request.text = SegmentTextForm(field, zeroTerminated);
        request.displayBytes = std::vector<uint8_t>(field.begin(), field.end());
        return CodecResult::Rejected;
    }
    request.text = SegmentTextForm(field, zeroTerminated);
    request.displayBytes = std::vector<uint8_t>(field.begin(), field.end());
    return result;
}

}  // namespace parlo
