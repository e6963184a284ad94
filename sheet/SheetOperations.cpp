// Keys, clicks and editor commits: operations on cells through the
// dispatcher, and the redraw they ask for.
#include <algorithm>

#include "runtime/EventCodes.h"
#include "sheet/Sheet.h"
#include "sheet/SheetParts.h"

namespace parlo {

using namespace sheet_parts;

bool Sheet::KeyDown(int key, bool shift, bool ctrl) {
    ClearStatusText(Events());
    const int oldCol = col_, oldRow = row_;
    auto moved = [&](int dx, int dy, int times = 1) {
        bool any = false;
        for (int i = 0; i < times; ++i) any |= Move(dx, dy);
        if (any) {
            UpdateMultiSelection(col_, row_, shift || leftDown_);
            if (view_ != nullptr) {
                view_->InvalidateCell(oldCol, oldRow);
                view_->InvalidateCell(col_, row_);
            }
            AfterCurrentChanged();
        }
        return any;
    };
    switch (key) {
        case kVkLeft:
            if (moved(-1, 0)) return true;
            Operate(col_, row_, kOpKeyLeft);
            return false;
        case kVkRight:
            if (moved(1, 0)) return true;
            Operate(col_, row_, kOpKeyRight);
            return false;
        case kVkUp:
            if (!ctrl) moved(0, -1);
            return true;
        case kVkDown:
            if (!ctrl) moved(0, 1);
            return true;
        case kVkPrior: moved(0, -1, 10); return true;
        case kVkNext: moved(0, 1, 10); return true;
        case kVkHome:
        case kVkEnd: return true;
        default:
            if (key >= kVkF1 && key <= kVkF12) {
                Operate(col_, row_, key * 256);
                return false;
            }
            return true;
    }
}

void Sheet::TypeChar(int code) {
    ClearStatusText(Events());
    Operate(col_, row_, code);
}

void Sheet::DoubleClick(int col, int row) {
    if (col == col_ && row == row_) Operate(col, row, kOpDoubleClick);
}

void Sheet::RightClick(int col, int row) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return;
    int c = col;
    while (c > 0 && Cell(c, row).Tail() && !Cell(c, row).Selectable()) --c;
    // Inside the selection the cursor stays: the popup command that follows
    // works on the selected rows.
    if (InsideSelection(c, row)) return;
    SelectSlot(c, row);
}

CellContext Sheet::NewContext(int col, int row) {
    CellContext ctx;
    ctx.sheet = this;
    ctx.col = col;
    ctx.row = row;
    ctx.desc = &Cell(col, row);
    ctx.printing = Printing();
    ctx.request.grid = true;
    ctx.redrawByAddress = [this](const CellAddress& a, uint16_t flags) {
        RedrawByAddress(a, flags);
    };
    if (selecting_) {
        const int cell = ctx.desc->cell;
        for (const Slot& s : slots_) {
            if (!(s.marks & kMarkMarked) || s.desc.cell != cell) continue;
            if (!ctx.selection) ctx.selection = std::make_pair(s.desc.index, s.desc.index);
            ctx.selection->first = std::min(ctx.selection->first, s.desc.index);
            ctx.selection->second = std::max(ctx.selection->second, s.desc.index);
        }
    }
    return ctx;
}

int Sheet::Dispatch(CellContext& context, int mode) {
    return dispatcher_ ? dispatcher_(context, mode) : 0;
}

int Sheet::Operate(int col, int row, int operation) {
    if (col != col_ || row != row_) SelectSlot(col, row);
    CellContext ctx = NewContext(col_, row_);
    ctx.operation = operation;
    ctx.request.key = operation < 256 ? operation : 0;
    if (params_.pickMode && pickHandler_ && (operation == 13 || operation == kOpDoubleClick)) {
        // The chosen cell goes back to the cell that opened the pick window.
        ctx.pick = true;
        pickHandler_(ctx);
        return 0;
    }
    int result = Dispatch(ctx, kModeOperate);
    ActOnAnswer(ctx, result);
    int pause = 30;
    while (ctx.repeatOperation != 0) {
        if (view_ != nullptr) view_->Pause(pause);
        pause = std::max(0, pause - 6);
        const int next = ctx.repeatOperation;
        ctx = NewContext(col_, row_);
        ctx.operation = next;
        ctx.request.key = next < 256 ? next : 0;
        result = Dispatch(ctx, kModeOperate);
        ActOnAnswer(ctx, result);
    }
    Events().Post(ev::kMenuState);
    return result;
}

void Sheet::ActOnAnswer(CellContext& ctx, int result) {
    // Why typed text was refused goes to the status line.
    if (!ctx.request.refusal.empty()) ShowRefusal(Events(), ctx.request.refusal);
    if (ctx.jump) {
        // A cursor the command moved keeps the command's status text.
        keepStatus_ = true;
        SelectCell(*ctx.jump);
        keepStatus_ = false;
    }
    if (result == kResultClearMarks) ClearMarks();
    if (result == kResultOpenEditor || ctx.request.requestEdit == kEditInPlace) {
        editing_ = std::make_pair(col_, row_);
        if (view_ != nullptr)
            view_->OpenInPlaceEditor(col_, row_, ctx.request.text, ctx.request.caretStart,
                                     ctx.request.caretLength);
    } else if (ctx.request.requestEdit == kEditPopup && view_ != nullptr) {
        view_->OpenPopup(ctx);
    }
    if (ctx.range && style_.multiSelect != 0) {
        MarkRange(ctx);
    } else if (ctx.range) {
        ClearMarks();
    }
    if (view_ != nullptr) {
        if (ctx.redrawFlags & kRedrawSheet)
            view_->InvalidateAll();
        else
            view_->InvalidateCell(col_, row_);
    }
}

void Sheet::MarkRange(const CellContext& answer) {
    const int cell = answer.desc->cell;
    const auto [low, high] = *answer.range;
    int lowRow = -1, highRow = -1;
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            uint8_t& m = Marks(c, r);
            const CellDesc& d = Cell(c, r);
            const bool inside = d.cell == cell && d.index >= low && d.index <= high;
            m = static_cast<uint8_t>(inside ? m | kMarkMarked : m & ~kMarkMarked);
            if (inside && d.index == low && lowRow < 0) lowRow = r;
            if (inside && d.index == high) highRow = r;
        }
    }
    selecting_ = true;
    // The anchor goes to the end of the range away from the operated cell.
    const int anchorRow = answer.desc->index == high ? lowRow : highRow;
    if (anchorRow >= 0) anchorCol_ = col_, anchorRow_ = anchorRow;
    RepaintMarked();
}

void Sheet::CommitEditor(const std::string& text) {
    if (!editing_) return;
    const auto [col, row] = *editing_;
    editing_.reset();
    CellContext ctx = NewContext(col, row);
    ctx.operation = 13;
    ctx.request.phase = kPhaseCommit;
    ctx.request.editText = text;
    const int result = Dispatch(ctx, kModeOperate);
    ActOnAnswer(ctx, result);
    Events().Post(ev::kMenuState);
}

void Sheet::CommitText(const std::string& text) {
    editing_ = std::make_pair(col_, row_);
    CommitEditor(text);
}

void Sheet::ChooseMenuItem(const CellDesc& item) {
    CellContext ctx = NewContext(col_, row_);
    ctx.menuItem = &item;
    const int result = Dispatch(ctx, kModeOperate);
    ActOnAnswer(ctx, result);
    Events().Post(ev::kMenuState);
}

void Sheet::ChoosePopupItem(const ChosenItem& item) {
    CellContext ctx = NewContext(col_, row_);
    ctx.pick = true;
    ctx.request.phase = kPhasePick;
    ctx.request.chosen = item;
    const int result = Dispatch(ctx, kModeOperate);
    ActOnAnswer(ctx, result);
    Events().Post(ev::kMenuState);
}

// ---- Redraw by address --------------------------------------------------------

bool Sheet::MatchesAddress(const CellDesc& d, const CellAddress& a, uint16_t flags) const {
    const bool bound = d.cell != kNoCell;
    const bool indexed = a.category != kNoCategory && bound;
    return ((flags & 0x01) && d.cell == a.cell && d.index == a.index) ||
           ((flags & 0x02) && d.category == a.category) || ((flags & 0x04) && d.cell == a.cell) ||
           ((flags & 0x08) && indexed && d.index == a.index) ||
           ((flags & 0x10) && bound && d.category == a.category && d.index >= a.index - 1 &&
            d.index <= a.index + 1) ||
           ((flags & 0x20) && bound) || ((flags & 0x40) && indexed && d.index >= a.index) ||
           ((flags & 0x80) && indexed && d.index <= a.index);
}

void Sheet::RedrawByAddress(const CellAddress& a, uint16_t flags) {
    if (view_ == nullptr) return;
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            if (MatchesAddress(Cell(c, r), a, flags)) view_->InvalidateCell(c, r);
        }
    }
}

}  // namespace parlo
