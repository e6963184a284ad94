#pragma once
// What cells need from the application around them: the commands of menu
// items, tool buttons and tree nodes, the state those items show, context
// help, and the channel clipboard. The main window implements it; parlo-cli
// has a headless implementation. Every hook does nothing unless overridden,
// so cells that only draw (a comparison, a benchmark) need no host at all.
#include <cstdint>
#include <optional>
#include <string>

namespace parlo {

class EepromImage;
struct CellContext;
class ChannelRecord;

// The state a menu item or tool button shows.
struct ItemState {
    bool checked = false;
    bool hidden = false;
    bool disabled = false;
    std::optional<std::string> caption;  // replaces the item's caption
};

// Popup-menu commands on a list-like sheet (the channel clipboard).
enum class RowCommand : int {
    Copy = 75,
    Paste = 76,
    MoveUp = 77,
    MoveDown = 78,
    Clear = 79,
    Delete = 80,
    Insert = 81,
};
inline constexpr int kCommandActivate = 74;
inline constexpr int kCommandContextHelp = 82;

class CellHost {
public:
    virtual ~CellHost() = default;

    // A command cell was activated (menus, variant items, help, CallSheet).
    virtual void RunCommand(int /*cell*/, int32_t /*index*/, const CellContext& /*context*/) {}
    // The state of a command cell, for menus and tool bars.
    virtual ItemState CommandState(int /*cell*/, int32_t /*index*/) { return {}; }
    // A row command on the rows allowed for the record (first..last).
    virtual void RunRowCommand(RowCommand /*command*/, CellContext& /*context*/,
                               ChannelRecord& /*record*/, int /*first*/, int /*last*/) {}
    // Context help for a cell.
    virtual void ContextHelp(int /*category*/, int /*cell*/, int32_t /*index*/) {}

    // A cell changed the document's image: the model data are rebuilt and
    // the warning check is due.
    virtual void CellEdited() {}
    // The image the EEPROM debug window compares the working image with, or
    // nullptr when there is none.
    virtual const EepromImage* CompareBase() { return nullptr; }
};

}  // namespace parlo
