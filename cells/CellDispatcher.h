#pragma once
// The active cell dispatcher: the one place that knows, for every cell
// identifier, what the cell shows, how it reacts to keys and pop-up choices,
// which bytes of its document's image it edits and which command it runs.
// Sheets, menus and the tree only hold cell addresses and ask it.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>

#include "cells/CellContext.h"
#include "cells/CellHost.h"
#include "cells/CellIds.h"
#include "cells/DocumentScope.h"
#include "model/ChannelRecord.h"

namespace parlo {

// Warning marks a cell reports.
inline constexpr uint8_t kMarkWarning = 0x04;
inline constexpr uint8_t kMarkError = 0x08;

// What a handler works with for one call: the cell's context, its document
// (whose image the record reads and writes) and the bus of its views.
struct CellCall {
    CellContext& ctx;
    ChannelRecord& record;
    DocumentData& doc;
    EventManager& events;
    CellHost* host;
    int kind;  // record kind decoded (0 none)
    int variant;
    // The bank whose sheet is shown.
    int bank = 0;
    int bankFirst = 0;
    int bankSize = 0;
    bool newChannelRow = false;
    bool mskOn = false;  // Tarn PMR channel with MSK signalling on
    bool drawing = false;

    CellRequest& request() { return ctx.request; }
    const CellDesc& desc() const { return *ctx.desc; }
    int32_t index() const { return ctx.desc->index; }
    // Stores the record after a change and asks for the row to be redrawn.
    void StoreRecord();
    // Applies a codec's result: stores and redraws on a change, reports a
    // rejection.
    void Apply(CodecResult result);
    void Changed(uint16_t flags = kRedrawRow) { ctx.redrawFlags |= flags; }
    // The variant keeps the cell's data in no table it packs, so an edit
    // would never reach a file or the radio: the cell shows nothing and
    // refuses every input.
    void NotUsedInVariant();
};

inline constexpr const char* kNotUsedInVariant = "not used in this variant";

using CellHandler = void (*)(CellCall& call);

// The bank a channel cell belongs to: its number, first slot and size.
struct BankFacts {
    int bank = -1;
    int first = 0;
    int size = 0;
};

class CellDispatcher {
public:
    explicit CellDispatcher(DocumentScope scope, CellHost* host = nullptr)
        : scope_(scope), host_(host) {}

    // The dispatcher entry: mode 0 draws, mode 1 operates. Returns the
    // request-edit code (1 a pop-up opened, 2 the in-place editor opens).
    int Handle(CellContext& context, int mode);
    // Operates a cell with one key (the command line's `key`).
    int HandleKey(const CellDesc& desc, int key, CellContext* answer = nullptr);
    // The two mark bits of a cell, handling it once without a key.
    uint8_t WarningMarks(int category, int cell, int32_t index);
    // The entry as a sheet installs it.
    DispatchFunction Entry() {
        return [this](CellContext& c, int mode) { return Handle(c, mode); };
    }

    void SetHost(CellHost* host) { host_ = host; }
    CellHost* Host() const { return host_; }
    DocumentScope Scope() const { return scope_; }
    DocumentData& Document() const { return scope_.document; }

    // Handlers of the cell families, installed once.
    static void Register(int cell, CellHandler handler);
    static CellHandler HandlerOf(int cell);

private:
    // What the cells read in the reading pass `pass`: records decoded and
    // banks looked up. None are kept in a pass in which a cell was
    // operated (`spoiled_`).
    struct Kept {
        uint64_t pass = 0;
        std::map<std::pair<int, int32_t>, ChannelRecord> records;
        std::optional<int> bankShown;
        std::map<int32_t, BankFacts> banks;
    };
    // What is kept for a call in `mode`, or nothing (no pass, or not drawn).
    Kept* KeptFor(int mode);
    // `record` decoded as `kind` at `index`.
    void Decode(ChannelRecord& record, int kind, int32_t index, int mode);
    BankFacts BankOf(int32_t slot, int mode);

    DocumentScope scope_;
    CellHost* host_;
    Kept kept_;
    uint64_t spoiled_ = 0;
};

// The bank shown by the channel bank sheet (asked on the bus of its
// document's views), or -1 when none answers.
int CurrentBankShown(EventManager& events);

// Warning marks of a Tarn PMR channel with MSK signalling on, for a cell.
uint8_t ChannelWarningMarks(const ChannelRecord& record, int cell);

}  // namespace parlo
