#pragma once
// The event codes of the event manager, one table for every layer: the
// number is the event's identity, so the same number must never be given
// two meanings in two places.
#include <cstdint>

namespace parlo::ev {

inline constexpr uint8_t kReleaseWindows = 1;    // pop-up windows of an owner let go
inline constexpr uint8_t kPortChanged = 2;       // port settings changed
inline constexpr uint8_t kAbout = 3;             // open the About box
inline constexpr uint8_t kStatusText = 4;        // a text for the status bar
inline constexpr uint8_t kSetCompareBase = 8;    // compare base := working image
inline constexpr uint8_t kMenuState = 9;         // menus re-evaluate their items
inline constexpr uint8_t kRedrawAll = 13;        // redraw the sheet
inline constexpr uint8_t kRedrawIndex = 16;      // redraw one row
inline constexpr uint8_t kRedrawIndexUp = 18;    // redraw from a row down
inline constexpr uint8_t kCurrentCell = 19;      // a sheet's current cell moved
inline constexpr uint8_t kToolBarState = 20;     // tool bars re-evaluate their buttons
inline constexpr uint8_t kFinishEdits = 21;      // finish the edit in progress
inline constexpr uint8_t kDebugText = 22;        // a line for the log window
inline constexpr uint8_t kWarningsChecked = 23;  // refresh warning marks and views
inline constexpr uint8_t kGoToByte = 24;         // EEPROM window: go to byte n
inline constexpr uint8_t kDocumentChanged = 25;  // the whole document changed
inline constexpr uint8_t kInsertChannel = 26;
inline constexpr uint8_t kDeleteChannel = 27;
inline constexpr uint8_t kBankRange = 28;  // the bank sheet answers its bank
inline constexpr uint8_t kViewsRefresh = 29;
inline constexpr uint8_t kChannelAppended = 30;
inline constexpr uint8_t kChannelRemoved = 31;
inline constexpr uint8_t kBankImages = 32;   // views refresh warning lists
inline constexpr uint8_t kBankCaption = 33;  // a bank's name to show

}  // namespace parlo::ev
