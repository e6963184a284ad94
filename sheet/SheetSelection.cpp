// Moving the current cell and selecting ranges of cells.
#include <algorithm>

#include "runtime/EventCodes.h"
#include "sheet/Sheet.h"
#include "sheet/SheetParts.h"

namespace parlo {

using namespace sheet_parts;

bool Sheet::CanBeCurrent(int col, int row) const {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return false;
    const Slot& s = slots_[static_cast<size_t>(row * cols_ + col)];
    return s.desc.Selectable() && (!selecting_ || (s.marks & kMarkTakesPart));
}

std::optional<std::pair<int, int>> Sheet::FindInDirection(int dx, int dy) const {
    const bool wrap = params_.pickMode && !scrollBarsShown_;
    int c = col_, r = row_;
    const int steps = dx != 0 ? cols_ : rows_;
    for (int i = 1; i < steps + (wrap ? 0 : 1); ++i) {
        c += dx, r += dy;
        if (wrap) {
            c = (c + cols_) % cols_;
            r = (r + rows_) % rows_;
        }
        if (c < 0 || r < 0 || c >= cols_ || r >= rows_) break;
        if (CanBeCurrent(c, r)) return std::make_pair(c, r);
    }
    // Nothing on the straight line: the nearest selectable cell in each
    // following row (or column), measured from the remembered position.
    if (dy != 0) {
        for (int rr = row_ + dy; rr >= 0 && rr < rows_; rr += dy) {
            for (int dist = 0; dist < cols_; ++dist) {
                for (int cc : {rememberedCol_ - dist, rememberedCol_ + dist}) {
                    if (CanBeCurrent(cc, rr)) return std::make_pair(cc, rr);
                }
            }
        }
    } else {
        for (int cc = col_ + dx; cc >= 0 && cc < cols_; cc += dx) {
            for (int dist = 0; dist < rows_; ++dist) {
                for (int rr : {rememberedRow_ - dist, rememberedRow_ + dist}) {
                    if (CanBeCurrent(cc, rr)) return std::make_pair(cc, rr);
                }
            }
        }
    }
    return std::nullopt;
}

bool Sheet::Move(int dx, int dy) {
    const auto target = FindInDirection(dx, dy);
    if (!target) return false;
    col_ = target->first;
    row_ = target->second;
    if (dx != 0) rememberedCol_ = col_;
    if (dy != 0) rememberedRow_ = row_;
    if (col_ <= firstSelectableCol_) leftCol_ = fixedCols_;
    if (row_ <= firstSelectableRow_) topRow_ = fixedRows_;
    return true;
}

bool Sheet::DragStep(int dx, int dy) {
    const int c = col_ + dx, r = row_ + dy;
    if (c < fixedCols_ || r < fixedRows_ || c >= cols_ || r >= rows_) return false;
    // The cell under the pointer need not be selectable: the drag walks on
    // to the next one that is.
    const auto target =
        CanBeCurrent(c, r) ? std::make_optional(std::make_pair(c, r)) : FindInDirection(dx, dy);
    return target && SelectSlot(target->first, target->second, true);
}

bool Sheet::SelectSlot(int col, int row, bool shift) {
    if (!CanBeCurrent(col, row)) return false;
    const int oldCol = col_, oldRow = row_;
    col_ = col, row_ = row;
    rememberedCol_ = col, rememberedRow_ = row;
    if (view_ != nullptr) {
        view_->InvalidateCell(oldCol, oldRow);
        view_->InvalidateCell(col, row);
    }
    UpdateMultiSelection(col, row, shift || leftDown_);
    AfterCurrentChanged();
    return true;
}

bool Sheet::SelectCell(const CellAddress& a) {
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            const CellDesc& d = Cell(c, r);
            if (d.Selectable() && d.category == a.category && d.cell == a.cell &&
                d.index == a.index)
                return SelectSlot(c, r);
        }
    }
    return false;
}

void Sheet::AfterCurrentChanged() {
    if (!keepStatus_) ClearStatusText(Events());
    const CellAddress a = CurrentAddress();
    Events().Post(ev::kCurrentCell, {a.category, a.cell, a.index});
    if (view_ != nullptr) view_->CurrentCellChanged();
}

void Sheet::SetScroll(int leftCol, int topRow) {
    leftCol_ = std::clamp(leftCol, fixedCols_, std::max(fixedCols_, cols_ - 1));
    topRow_ = std::clamp(topRow, fixedRows_, std::max(fixedRows_, rows_ - 1));
}

void Sheet::SetScrollPosition(int col, int row, int leftCol, int topRow) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_ || !CanBeCurrent(col, row)) return;
    col_ = col, row_ = row;
    rememberedCol_ = col, rememberedRow_ = row;
    SetScroll(leftCol, topRow);
}

void Sheet::UpdateMultiSelection(int col, int row, bool extend) {
    if (style_.multiSelect == 0) return;
    const bool anchorTakesPart =
        anchorCol_ >= 0 && (Marks(anchorCol_, anchorRow_) & kMarkTakesPart);
    if (extend && anchorTakesPart && (Marks(col, row) & kMarkTakesPart)) {
        const int c0 = std::min(anchorCol_, col), c1 = std::max(anchorCol_, col);
        const int r0 = std::min(anchorRow_, row), r1 = std::max(anchorRow_, row);
        for (int r = 0; r < rows_; ++r) {
            for (int c = 0; c < cols_; ++c) {
                uint8_t& m = Marks(c, r);
                const bool inside =
                    c >= c0 && c <= c1 && r >= r0 && r <= r1 && Cell(c, r).Selectable();
                m = static_cast<uint8_t>(inside ? m | kMarkMarked : m & ~kMarkMarked);
            }
        }
        selecting_ = true;
        if (style_.multiSelect == 2) {
            for (int r = 0; r < rows_; ++r) {
                bool rowMarked = false;
                for (int c = 0; c < cols_; ++c) rowMarked |= (Marks(c, r) & kMarkMarked) != 0;
                for (int c = fixedCols_; c < cols_; ++c) {
                    uint8_t& m = Marks(c, r);
                    m = static_cast<uint8_t>(rowMarked ? m | kMarkLine : m & ~kMarkLine);
                }
            }
        }
        RepaintMarked();
        return;
    }
    anchorCol_ = col, anchorRow_ = row;
    ClearMarks();
}

bool Sheet::InsideSelection(int col, int row) {
    if (!selecting_) return false;
    if (style_.multiSelect != 2) return (Marks(col, row) & kMarkMarked) != 0;
    for (int c = 0; c < cols_; ++c) {
        if (Marks(c, row) & (kMarkMarked | kMarkLine)) return true;
    }
    return false;
}

void Sheet::ClearMarks() {
    bool any = false;
    for (Slot& s : slots_) {
        any |= (s.marks & (kMarkMarked | kMarkLine)) != 0;
        s.marks = static_cast<uint8_t>(s.marks & ~(kMarkMarked | kMarkLine));
    }
    selecting_ = false;
    if (any && view_ != nullptr) view_->InvalidateAll();
}

void Sheet::RepaintMarked() {
    if (view_ != nullptr) view_->InvalidateAll();
}

}  // namespace parlo
