#pragma once
// The call context a sheet hands to a cell's value codec: what happened to
// the cell (drawn, a key pressed, an in-place edit committed, a pop-up item
// chosen) and what the cell answers (its text, an editor or pop-up to open,
// a font colour in place of the cell's own).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parlo {

// What a codec did with the request. Rejected means the user's input could
// not be read (an empty text, a frequency off the channel raster, a tone
// that matches nothing, ...) or cannot be applied to this cell; the value is
// left as it was. The GUI ignores it, the command line reports it.
enum class CodecResult { Unchanged, Changed, Rejected };

// Keys the codecs give a meaning of their own; any other key is its
// character code.
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeySpace = 32;

// Why the codec is called, besides drawing and keys.
inline constexpr uint8_t kPhaseNone = 0;
inline constexpr uint8_t kPhaseCommit = 1;  // editText holds what the user typed
inline constexpr uint8_t kPhasePick = 2;    // chosen holds the pop-up item

// The codec's answer in requestEdit.
inline constexpr uint8_t kEditNone = 0;
inline constexpr uint8_t kEditPopup = 1;    // open the pop-up described by popup
inline constexpr uint8_t kEditInPlace = 2;  // open the in-place editor holding text

// How a pop-up is shown. The sheet shows popup.list as a pick list for every
// kind except CheckBoxes, TextEntry and CharacterEditor, and hands the choice
// back with the same kind, so that a codec with several lists in a row (the
// tone: CTCSS, then DTCS code, then polarity) knows which one was answered.
enum class PopupKind : uint8_t {
    List = 0,          // a plain list of items
    DtcsCode = 1,      // the DTCS code list that follows "DTCS" in the tone list
    DtcsPolarity = 2,  // the polarity list that follows the DTCS code
    CheckBoxes = 3,    // one check box per item (the bit-field editor); index = its value
    Signalling = 4,    // the list pop-up of the channel signalling settings
    TextEntry = 5,     // the segment text entry window, starting with text
    OptionPort = 6,    // the option output a key's scrambler function uses
    OptionLevel = 7,   // the level (low, high) of a key's option output
    // The segment editor of a user character; current and index = its mask.
    CharacterEditor = 8,
};

struct ChosenItem {
    PopupKind kind = PopupKind::List;
    int index = 0;  // the item; for CheckBoxes the editor's value (item k = bit 26 - k)
};

struct PopupRequest {
    PopupKind kind = PopupKind::List;
    std::string list;  // overlay key of the items (list kinds)
    int current = -1;  // the item that matches the value now, or -1; CheckBoxes: the value
    // CheckBoxes only: the item numbers, header style and tick style (0 the
    // letter "o", 1 a drawn tick) of the bit-field editor.
    int first = 0;
    int last = 0;
    int headerStyle = 0;
    int tickStyle = 1;
    // TextEntry only: the display positions the field keeps.
    int fieldLength = 0;
};

// Font colours a codec may ask for, in the toolkit's 0x00BBGGRR encoding.
inline constexpr uint32_t kFontOlive = 0x00008080;   // a channel that may not transmit
inline constexpr uint32_t kFontSilver = 0x00C0C0C0;  // a setting the signal mode does not use

// Transmit and receive halves of a channel setting.
enum class Direction { Receive, Transmit };

struct CellRequest {
    // Filled by the caller.
    std::optional<ChosenItem> chosen;
    bool grid = false;  // drawn in a sheet: keys are only handled then
    int key = 0;        // the key pressed on the cell, 0 if none
    uint8_t phase = kPhaseNone;
    std::string editText;
    // The text comes from a table (an import, a pasted spreadsheet range),
    // not from the in-place editor: where the editor would guess (a bare
    // number in a tone cell could be a DTCS code), a table's text must say.
    bool fromTable = false;

    // Filled by the codec.
    std::string text;    // the cell text, or the editor's starting text
    // The overlay list whose items the cell may show (list cells), so that
    // a sheet can size the cell's column to the longest of them.
    std::string choices;
    int caretStart = 0;  // selection in the in-place editor when it opens
    int caretLength = 0;
    uint8_t requestEdit = kEditNone;
    PopupRequest popup;
    std::optional<uint32_t> fontColour;
    // Bytes to paint as the radio's display characters instead of the text
    // (segment texts); the text stays their readable form.
    std::optional<std::vector<uint8_t>> displayBytes;
    // A committed value was stored as another value than the one typed:
    // limited to the codec's range, snapped to the channel raster, rounded
    // to the cell's unit or step. The caller tells the user what was stored.
    bool adjusted = false;
    // Why typed text was refused, for the user (empty: no reason given).
    std::string refusal;

    // The key to act on: none outside a sheet, and none while committing or
    // answering a pop-up.
    int Key() const { return grid && phase == kPhaseNone ? key : 0; }
    bool Committing() const { return phase == kPhaseCommit; }
    // The chosen item when answering a pop-up of that kind.
    std::optional<int> Picked(PopupKind kind) const {
        if (phase != kPhasePick || !chosen || chosen->kind != kind) return std::nullopt;
        return chosen->index;
    }
    bool Picking() const { return phase == kPhasePick; }
    bool EditorRequested() const { return requestEdit == kEditInPlace; }

    // Opens the in-place editor holding `initial` with the caret at `caret`
    // (the end when negative) and `length` characters selected.
    void OpenEditor(std::string initial, int caret = -1, int length = 0) {
        text = std::move(initial);
        caretStart = caret < 0 ? static_cast<int>(text.size()) : caret;
        caretLength = length;
        requestEdit = kEditInPlace;
    }
    // Opens the editor with the whole of `current` selected (Enter).
    void EditCurrent(std::string current) {
        int n = static_cast<int>(current.size());
        OpenEditor(std::move(current), 0, n);
    }
    void OpenPopup(PopupKind kind, std::string list, int current) {
        popup = PopupRequest{};
        popup.kind = kind;
        popup.list = std::move(list);
        popup.current = current;
        requestEdit = kEditPopup;
    }
};

}  // namespace parlo
