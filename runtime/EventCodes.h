#pragma once
// The event codes of the event manager, one table for every layer: the
// number is the event's identity, so the same number must never be given
// two meanings in two places. Each code names the payload its events carry
// and, for a request, the answer its handlers give, so that a sender, a
// handler and an answerer of one code cannot disagree about them.
#include <cstdint>
#include <string>

namespace parlo {

// The payload (or answer) of a code that carries none.
struct NoPayload {};

template <class Payload = NoPayload, class Answer = NoPayload>
struct EventCode {
    uint8_t number;
    // So that codes serve as case labels of a switch over EventRecord::code.
    constexpr operator uint8_t() const { return number; }
};

// A window that opens editors: the editors it opened let go of its cells
// when it is given another sheet. Numbers are handed out, never reused.
struct WindowOwner {
    uint64_t id = 0;
    static WindowOwner Next();
    bool operator==(const WindowOwner&) const = default;
};

// A text for the status bar and its colours (overlay colour values).
struct StatusText {
    std::string text;
    uint32_t textColour = 0;
    uint32_t background = 0;
};

// A row of the sheet shown.
struct SheetRow {
    int32_t row = 0;
};

// The cell that became current: category, cell identifier and index.
struct CurrentCell {
    int32_t category = 0, cell = 0, index = 0;
};

// A byte of the image.
struct ImageByte {
    int32_t address = 0;
};

// A bank's name, for the nodes of the bank.
struct BankName {
    int bank = 0;
    std::string caption;
};

// The bank a channel bank sheet shows and its first slot.
struct BankShown {
    int bank = 0;
    int firstSlot = 0;
};

// A line for the log window.
struct LogLine {
    std::string text;
};

namespace ev {

inline constexpr EventCode<WindowOwner> kReleaseWindows{1};  // an owner's pop-up windows let go
inline constexpr EventCode<> kPortChanged{2};                // port settings changed
inline constexpr EventCode<> kAbout{3};                      // open the About box
inline constexpr EventCode<StatusText> kStatusText{4};       // a text for the status bar
inline constexpr EventCode<> kSetCompareBase{8};             // compare base := working image
inline constexpr EventCode<> kMenuState{9};                  // menus re-evaluate their items
inline constexpr EventCode<> kRedrawAll{13};                 // redraw the sheet
inline constexpr EventCode<SheetRow> kRedrawIndex{16};       // redraw one row
inline constexpr EventCode<SheetRow> kRedrawIndexUp{18};     // redraw from a row down
inline constexpr EventCode<CurrentCell> kCurrentCell{19};    // a sheet's current cell moved
inline constexpr EventCode<> kToolBarState{20};              // tool bars re-evaluate their buttons
inline constexpr EventCode<> kFinishEdits{21};               // finish the edit in progress
inline constexpr EventCode<LogLine> kDebugText{22};          // a line for the log window
inline constexpr EventCode<> kWarningsChecked{23};           // refresh warning marks and views
inline constexpr EventCode<ImageByte> kGoToByte{24};         // EEPROM window: go to a byte
inline constexpr EventCode<> kDocumentChanged{25};           // the whole document changed
inline constexpr EventCode<NoPayload, BankShown> kBankRange{28};  // the bank sheet answers
inline constexpr EventCode<> kViewsRefresh{29};
inline constexpr EventCode<> kChannelAppended{30};
inline constexpr EventCode<> kChannelRemoved{31};
inline constexpr EventCode<> kBankImages{32};           // views refresh warning lists
inline constexpr EventCode<BankName> kBankCaption{33};  // a bank's name to show

}  // namespace ev

}  // namespace parlo
