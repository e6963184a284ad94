// Undo and redo: every operation of a sheet that changes the working image
// becomes a step of the edit history, named for the menu; an undo or redo
// brings the image of a step back byte for byte and shows where it changed.
#include <algorithm>

#include "app/MainController.h"
#include "overlay/OverlayFormat.h"
#include "overlay/OverlayText.h"

namespace parlo {

namespace {

// The first line of an unbound cell's own text; nothing for bound and join
// cells.
std::string LabelOf(Sheet& sheet, int col, int row) {
    const CellDesc& d = sheet.Cell(col, row);
    if (d.Bound() || d.Join()) return {};
    std::string text = d.Text().substr(0, d.Text().find('\n'));
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// The text a column shows in a row, from the cell that owns the join.
std::string ColumnText(Sheet& sheet, int col, int row) {
    while (col > 0 && sheet.Cell(col, row).Join()) --col;
    return LabelOf(sheet, col, row);
}

// What a cell is called: the label of its row (the settings pages), else the
// heading of its column (the lists): on a sheet with fixed rows the one in
// the fixed row that holds the most headings, else the nearest text above.
std::string CellLabel(Sheet& sheet, int col, int row) {
    for (int c = col - 1; c >= 0; --c) {
        if (std::string label = LabelOf(sheet, c, row); !label.empty()) return label;
    }
    const int fixedRows = std::min(sheet.FixedRows(), sheet.RowCount());
    if (fixedRows == 0 || row < fixedRows) {
        for (int r = row - 1; r >= 0; --r) {
            if (std::string heading = ColumnText(sheet, col, r); !heading.empty()) return heading;
        }
        return {};
    }
    int headings = 0, most = 0;
    for (int r = 0; r < fixedRows; ++r) {
        int n = 0;
        for (int c = 0; c < sheet.ColCount(); ++c) n += LabelOf(sheet, c, r).empty() ? 0 : 1;
        if (n > most) {
            most = n;
            headings = r;
        }
    }
    return ColumnText(sheet, col, headings);
}

}  // namespace

DispatchFunction MainController::SheetEntry() {
    return [this](CellContext& c, int mode) { return Dispatch(c, mode); };
}

// An operation that changes the image is a step; when it opened an editor on
// the cell it changed (the first key in the row for adding a channel adds the
// channel), what the editor commits there continues the same step.
int MainController::Dispatch(CellContext& ctx, int mode) {
    if (mode != kModeOperate || operating_) return cells_.Handle(ctx, mode);
    EditPlace place{sheetAction_, ctx.Address()};
    std::string name = EditName(ctx);
    operating_ = true;
    rowStep_.clear();
    const int result = cells_.Handle(ctx, mode);
    operating_ = false;
    if (ctx.jump) place.cell = *ctx.jump;
    if (!rowStep_.empty()) name = rowStep_;
    const bool continues = continuation_ == place;
    continuation_.reset();
    const bool changed = continues ? edits_.Amend(doc_.Working(), doc_.Variant())
                                   : edits_.Record(name, doc_.Working(), doc_.Variant(), place);
    if (changed && !continues && ctx.request.requestEdit != kEditNone) continuation_ = place;
    return result;
}

void MainController::ResetEdits() {
    edits_.Reset(doc_.Working(), doc_.Variant());
    continuation_.reset();
}

std::string MainController::EditName(const CellContext& ctx) const {
    std::string label;
    if (ctx.sheet != nullptr && ctx.col >= 0 && ctx.row >= 0)
        label = CellLabel(*ctx.sheet, ctx.col, ctx.row);
    return label.empty() ? "Edit" : "Edit " + label;
}

// "&Undo Delete 3 channels"; "&Undo" when there is nothing to undo.
std::string MainController::StepCaption(const char* key, const std::string& step) const {
    std::string caption = FormatText(OvlText(key), {step});
    while (!caption.empty() && caption.back() == ' ') caption.pop_back();
    return caption;
}

void MainController::Undo() {
    Events().Send(ev::kFinishEdits);  // what the editor holds is the last step
    if (edits_.CanUndo()) ArriveAt(edits_.Undo());
}

void MainController::Redo() {
    Events().Send(ev::kFinishEdits);
    if (edits_.CanRedo()) ArriveAt(edits_.Redo());
}

// The image as it was, byte for byte (its radio area was packed when it was
// recorded); then everything shown from it.
void MainController::ArriveAt(const EditHistory::Arrival& arrival) {
    const EditPlace place = arrival.place;
    continuation_.reset();
    const bool otherVariant = arrival.variant != doc_.Variant();
    if (otherVariant) SelectModel(arrival.variant);
    doc_.Working().Assign(arrival.image);
    if (otherVariant) BuildTree();
    doc_.RecheckModified();
    PostBankCaptions();
    Events().Send(ev::kDocumentChanged);
    warningDelay_.Start(kWarningDelayMs);
    ShowPlace(place);
    RefreshTitle();
}

// The sheet of the step, built anew (its rows may have changed), with the
// cursor on the cell that changed.
void MainController::ShowPlace(const EditPlace& place) {
    if (place.sheet.empty()) {
        CloseSheet();  // the main task opens the selected node's sheet again
        return;
    }
    if (sheet_ != nullptr && sheetAction_ == place.sheet) {
        CloseSheet();
        OpenSheet(place.sheet);
    } else {
        GoToSheet(place.sheet);
    }
    if (sheet_ != nullptr) sheet_->SelectCell(place.cell);
    if (tree_ != nullptr) view_.TreeChanged(*tree_);
}

}  // namespace parlo
