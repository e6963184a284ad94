#include "cells/CellDispatcher.h"

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "cells/CellFamilies.h"
#include "cells/CellNames.h"
#include "model/BankMap.h"
#include "model/ModelVariant.h"
#include "model/PackedLayout.h"
#include "model/RecordLayout.h"
#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"

namespace parlo {

namespace {

std::array<CellHandler, kCellCount>& Handlers() {
    static std::array<CellHandler, kCellCount> handlers{};
    return handlers;
}

void RegisterFamilies() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterFlexCells();
        RegisterCommandCells();
        RegisterBankCells();
        RegisterChannelCells();
        // The settings first: they give every cell of their families a
        // "----" display that the record cells then replace.
        RegisterSettingsCells();
        RegisterRecordCells();
        RegisterCloneInfoCells();
        RegisterEeDebugCells();
    });
}

// The popup menu commands and the command code each stands for.
int CommandOfMenuItem(int cell) {
    switch (cell) {
        case CL_PMenu_Edit: return kCommandActivate;
        case CL_PMenu_Copy: return static_cast<int>(RowCommand::Copy);
        case CL_PMenu_Paste: return static_cast<int>(RowCommand::Paste);
        case CL_PMenu_CarryUp: return static_cast<int>(RowCommand::MoveUp);
        case CL_PMenu_CarryDown: return static_cast<int>(RowCommand::MoveDown);
        case CL_PMenu_Clear: return static_cast<int>(RowCommand::Clear);
        case CL_PMenu_Delete: return static_cast<int>(RowCommand::Delete);
        case CL_PMenu_Insert: return static_cast<int>(RowCommand::Insert);
        case CL_PMenu_Help: return kCommandContextHelp;
        default: return 0;
    }
}

// The rows a row command may touch for each record kind.
struct KindRows {
    int first, last;
};
constexpr KindRows kKindRows[20] = {{0, 0},  {0, 63}, {0, 63}, {0, 63}, {0, 63}, {0, 15}, {0, 7},
                                    {0, 10}, {0, 8},  {1, 8},  {0, 31}, {0, 14}, {1, 10}, {0, 9},
                                    {0, 0},  {0, 7},  {0, 31}, {0, 22}, {0, 7},  {0, 31}};

int KindOf(int category, int variant, const CellDesc* parent) {
    const int kind = RecordKindOfCategory(category);
    if (kind == kChannelKind) return ChannelKindOf(variant);
    if (kind == kParentKind)
        return parent != nullptr ? KindOf(parent->category, variant, nullptr) : 0;
    return kind;
}

// Keys that start a new channel: typed characters, Enter and Backspace (not
// Tab or Escape, which only pass through).
bool IsRedirectableKey(int key) {
    return key == kKeyEnter || key == kKeyBackspace || (key >= kKeySpace && key < 128);
}

// Whether every table a record of `kind` spans reaches files and the radio
// in the variant. Only the setting and record families are asked: the
// check, mark and row-number cells of a category edit nothing.
bool RecordStoredIn(int kind, int32_t index, int variant) {
    const KindLayout* layout = LayoutOf(kind);
    if (layout == nullptr) return true;
    for (const RecordTable& t : layout->tables) {
        // An index far outside the records is no address at all.
        const int64_t first = t.base + static_cast<int64_t>(t.stride) * index;
        const int64_t end = first + std::max<int32_t>(t.stride, 1);
        if (first < 0 || end > INT32_MAX) return false;
        for (int64_t a = first; a < end; ++a) {
            if (!CarriedInVariant(static_cast<int32_t>(a), variant)) return false;
        }
    }
    return true;
}

bool EditsRecordOrSetting(int cell) {
    return cell >= CL_Msk_AdrRange_Individual && cell <= CL_Maker_mRSSISL;
}

}  // namespace

void CellCall::StoreRecord() {
    record.Store();
    ctx.redrawFlags |= kRedrawRow;
}

void CellCall::Apply(CodecResult result) {
    if (result == CodecResult::Changed) StoreRecord();
    if (result == CodecResult::Rejected) ctx.rejected = true;
}

void CellCall::NotUsedInVariant() {
    ctx.request.text.clear();
    if (drawing || (ctx.request.phase == kPhaseNone && ctx.request.Key() == 0)) return;
    ctx.rejected = true;
    ctx.refusal = kNotUsedInVariant;
}

void CellDispatcher::Register(int cell, CellHandler handler) {
    if (cell >= 0 && cell < kCellCount) Handlers()[static_cast<size_t>(cell)] = handler;
}

CellHandler CellDispatcher::HandlerOf(int cell) {
    RegisterFamilies();
    return cell >= 0 && cell < kCellCount ? Handlers()[static_cast<size_t>(cell)] : nullptr;
}

int CurrentBankShown(EventManager& events) {
    const std::vector<BankShown> answers = events.Request(ev::kBankRange);
    return answers.empty() ? -1 : answers.front().bank;
}

uint8_t ChannelWarningMarks(const ChannelRecord& r, int cell) {
    if (r.Kind() != 3 || !r.present || r.Value(Field::MskSig) == 0) return 0;
    const int32_t moni = r.Value(Field::Moni);
    const bool warn = (moni != 6 && moni != 7) || r.Value(Field::ChMute) == 0;
    const bool error =
        r.Value(Field::Sel) != 1 || r.Value(Field::Call) != 0 || r.Value(Field::Ptt) != 0;
    uint8_t marks = 0;
    const bool all = cell == FlexMark || cell == CL_Check_Mch || cell == kNoCell;
    if (warn && (all || cell == CL_Mch_Moni || cell == CL_Mch_CH_Mute)) marks |= kMarkWarning;
    if (error && (all || cell == CL_Mch_Sel || cell == CL_Mch_Call || cell == CL_Mch_PTT))
        marks |= kMarkError;
    return marks;
}

namespace {

// Clears the answer fields before a handler fills them.
void ResetAnswer(CellContext& ctx) {
    ctx.redrawFlags = kRedrawCell;
    ctx.request.text.clear();
    ctx.request.requestEdit = kEditNone;
    ctx.warningMarks = 0;
    ctx.errorRecords = ctx.warningRecords = 0;
    ctx.rejected = false;
    ctx.refusal.clear();
    ctx.request.adjusted = false;
}

// The bank of a channel cell: the one on screen, else the one holding it.
void FillBank(CellCall& call, const CellDesc& desc, const BankFacts& facts) {
    call.bank = facts.bank;
    call.bankFirst = facts.first;
    call.bankSize = facts.size;
    call.newChannelRow = desc.category == CT_Mch &&
                         (call.bankSize == 0 || desc.index > call.bankFirst + call.bankSize - 1);
}

// A popup menu command: context help, or a row command over the rows of the
// record kind (of the bank on screen, for channels).
void RunMenuCommand(int command, CellCall& call, CellHost* host) {
    if (host == nullptr) return;
    const CellDesc& desc = call.desc();
    if (command == kCommandContextHelp) {
        host->ContextHelp(desc.category, desc.cell, desc.index);
        return;
    }
    const int kind = call.kind;
    int first = kind >= 0 && kind < 20 ? kKindRows[kind].first : 0;
    int last = kind >= 0 && kind < 20 ? kKindRows[kind].last : 0;
    if (IsChannelKind(kind)) {
        first = call.bankFirst;
        last = call.bankFirst + call.bankSize - 1;
    }
    host->RunRowCommand(static_cast<RowCommand>(command), call.ctx, call.record, first, last);
    call.ctx.redrawFlags |= kRedrawSheet;
}

// An empty channel row shows nothing and takes nothing but a new channel:
// typing anywhere in it starts the channel's receive frequency. Returns the
// cell to handle, or kNoCell when the call ends here.
int RedirectEmptyRow(CellCall& call, CellDesc& redirected) {
    CellContext& ctx = call.ctx;
    const CellDesc& desc = *ctx.desc;
    const int cell = desc.cell;
    const bool emptyRow = desc.category == CT_Mch && (!call.record.present || call.newChannelRow);
    if (!emptyRow || cell == CL_Mch_No || cell == CL_Mch_Atr || cell == CL_Mch_FreqR) return cell;
    const int key = call.drawing ? 0 : ctx.request.Key();
    if (!IsRedirectableKey(key)) {
        if (ctx.request.phase != kPhaseNone) ctx.rejected = true;
        return kNoCell;
    }
    redirected = desc;
    redirected.cell = CL_Mch_FreqR;
    ctx.desc = &redirected;
    ctx.jump = CellAddress{desc.category, CL_Mch_FreqR, desc.index};
    return CL_Mch_FreqR;
}

}  // namespace

int CellDispatcher::Handle(CellContext& ctx, int mode) {
    if (ctx.desc == nullptr) return 0;
    RegisterFamilies();
    DocumentData& doc = scope_.document;
    const int variant = doc.Variant();
    ResetAnswer(ctx);

    // A popup menu choice runs its command on the current cell.
    int command = ctx.menuItem != nullptr ? CommandOfMenuItem(ctx.menuItem->cell) : 0;
    // "Edit..." from the menu, and a double click on a value, do what Enter
    // does: open the value's editor or list (or run a command cell).
    if (command == kCommandActivate ||
        (ctx.menuItem == nullptr && ctx.operation == kOpDoubleClick && mode == kModeOperate)) {
        ctx.operation = kKeyEnter;
        ctx.request.key = kKeyEnter;
        command = 0;
    }

    const CellDesc& desc = *ctx.desc;
    const CellDesc* recordDesc = desc.category == CT_PopupMenu && ctx.parent ? ctx.parent : &desc;
    const int kind = KindOf(desc.category, variant, ctx.parent);
    ChannelRecord record(doc.Working());
    if (kind > 0) {
        Decode(record, kind, recordDesc->index, mode);
        ctx.redrawFlags |= kRedrawDecoded;
    }

    CellCall call{ctx, record, doc, scope_.events, host_, kind, variant};
    call.drawing = mode == kModeDraw;
    const bool channelCell = desc.category == CT_Mch || desc.category == CT_Mch_Check ||
                             (desc.category == CT_PopupMenu && IsChannelKind(kind));
    if (channelCell || kind == 0) FillBank(call, desc, BankOf(recordDesc->index, mode));
    call.mskOn = kind == 3 && record.Value(Field::MskSig) != 0;

    if (command != 0) {
        RunMenuCommand(command, call, host_);
        return 0;
    }

    CellDesc redirected;
    const int cell = RedirectEmptyRow(call, redirected);
    if (cell == kNoCell) return 0;
    if (kind > 0 && EditsRecordOrSetting(cell) &&
        !RecordStoredIn(kind, recordDesc->index, variant)) {
        call.NotUsedInVariant();
    } else if (CellHandler handler = HandlerOf(cell)) {
        handler(call);
    }
    ctx.desc = &desc;
    if (ctx.redrawFlags & kRedrawRow) {
        if (host_ != nullptr && mode == kModeOperate) host_->CellEdited();
    }
    if (mode == kModeOperate && ctx.redrawByAddress)
        ctx.redrawByAddress(CellAddress{desc.category, cell, desc.index}, ctx.redrawFlags);
    return ctx.request.requestEdit;
}

CellDispatcher::Kept* CellDispatcher::KeptFor(int mode) {
    const uint64_t pass = scope_.document.ReadingPass();
    if (mode != kModeDraw && pass != 0) {
        spoiled_ = pass;
        kept_ = Kept{};
    }
    if (mode != kModeDraw || pass == 0 || pass == spoiled_) return nullptr;
    if (kept_.pass != pass) kept_ = Kept{pass, {}, {}, {}};
    return &kept_;
}

// The bank shown (else the bank of `slot`), where it starts and how many
// channels it holds.
BankFacts CellDispatcher::BankOf(int32_t slot, int mode) {
    const EepromImage& image = scope_.document.Working();
    Kept* kept = KeptFor(mode);
    auto work = [&] {
        BankFacts facts;
        facts.bank = CurrentBankShown(scope_.events);
        if (facts.bank < 0) facts.bank = BankOfSlot(image, slot);
        facts.first = BankFirstSlot(image, facts.bank);
        facts.size = BankSize(image, facts.bank);
        return facts;
    };
    if (kept == nullptr) return work();
    if (!kept->bankShown) kept->bankShown = CurrentBankShown(scope_.events);
    // With no bank shown each slot's own bank counts: kept by slot.
    const int32_t key = *kept->bankShown >= 0 ? -1 : slot;
    const auto [it, fresh] = kept->banks.try_emplace(key);
    if (fresh) it->second = work();
    return it->second;
}

void CellDispatcher::Decode(ChannelRecord& record, int kind, int32_t index, int mode) {
    Kept* kept = KeptFor(mode);
    if (kept == nullptr) {
        record.Decode(kind, index);
        return;
    }
    const auto [it, fresh] = kept->records.try_emplace({kind, index}, record);
    if (fresh) it->second.Decode(kind, index);
    record = it->second;
}

int CellDispatcher::HandleKey(const CellDesc& desc, int key, CellContext* answer) {
    CellContext local;
    CellContext& ctx = answer != nullptr ? *answer : local;
    ctx.desc = &desc;
    ctx.operation = key;
    ctx.request.key = key;
    ctx.request.grid = true;
    return Handle(ctx, kModeOperate);
}

uint8_t CellDispatcher::WarningMarks(int category, int cell, int32_t index) {
    CellDesc desc;
    desc.category = category;
    desc.cell = cell;
    desc.index = index;
    CellContext ctx;
    ctx.desc = &desc;
    Handle(ctx, kModeDraw);
    return ctx.warningMarks;
}

}  // namespace parlo
