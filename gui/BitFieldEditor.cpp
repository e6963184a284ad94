#include "gui/BitFieldEditor.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "cells/CellDispatcher.h"
#include "platform/qtgui/QtCanvas.h"
#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"

namespace parlo::qt {

namespace {

constexpr int kBevel = 2;
constexpr int kBorder = 5;
constexpr int kButtonGap = 8;

enum : int { kCharEnter = 13, kCharEscape = 27, kCharSpace = 32 };

// The square a bit's box and tick take, centred in the cell.
Rect BitSquare(const Rect& r) {
    const int side = std::min(r.Width(), r.Height());
    const int x = r.left + (r.Width() - side) / 2, y = r.top + (r.Height() - side) / 2;
    return {x, y, x + side, y + side};
}

}  // namespace

BitFieldEditor::BitFieldEditor(SheetWidget* opener, int col, int row, const PopupRequest& popup)
    : EditorPopup(opener, col, row),
      cells_(opener->Cells()),
      value_(static_cast<uint32_t>(popup.current), popup.first, popup.last, popup.headerStyle),
      tickStyle_(popup.tickStyle) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(kBevel);
    Sheet::Params params;
    if (popup.list.empty()) {
        const int last = std::min(popup.last, popup.first + BitFieldValue::kMaxItems - 1);
        lines_ = BitFieldOverlayLines(popup.first, last, popup.headerStyle);
        overlay_.SetLines(lines_);
        params.overlay = &overlay_;
        params.key = kBitFieldSheetKey;
    } else {
        params.key = popup.list;
    }
    if (Sheet* owner = opener->CurrentSheet()) params.fontPercent = owner->GetParams().fontPercent;
    sheet_ = std::make_unique<Sheet>(
        params, cells_.Scope(), [this](CellContext& c, int mode) { return Dispatch(c, mode); });
    MeasuringCanvas measure;
    sheet_->Build(measure);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* client = new QVBoxLayout;
    client->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    view_ = new SheetWidget(cells_, this);
    view_->SetSheet(sheet_.get());
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setFixedSize(view_->FullSize());
    view_->setAccessibleName(accessibleName());
    client->addWidget(view_);
    layout->addLayout(client);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    bottom->setSpacing(kButtonGap);
    bottom->addStretch();
    ok_ = new QPushButton(QString::fromStdString(OvlText("GI_AppInd_Button_OkCancel", 0)), this);
    cancel_ =
        new QPushButton(QString::fromStdString(OvlText("GI_AppInd_Button_OkCancel", 1)), this);
    ok_->setDefault(true);
    bottom->addWidget(ok_);
    bottom->addWidget(cancel_);
    layout->addLayout(bottom);
    ok_->setEnabled(value_.OkAllowed());
    connect(ok_, &QPushButton::clicked, this, [this] { Commit(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { Cancel(); });
}

BitFieldEditor::~BitFieldEditor() {
    if (view_ != nullptr) view_->SetSheet(nullptr);
}

BitFieldEditor* BitFieldEditor::Open(SheetWidget* opener, int col, int row,
                                     const PopupRequest& popup, const QRect& cell) {
    auto* editor = new BitFieldEditor(opener, col, row, popup);
    // As wide as the sheet, or as the buttons with the borders and a gap.
    const QSize sheet = editor->view_->FullSize();
    const int buttons =
        editor->ok_->sizeHint().width() + editor->cancel_->sizeHint().width() + 2 * kBorder + 8;
    const int frame = 2 * kBevel;
    const int width = std::max(sheet.width() + 2 * kBorder, buttons) + frame;
    const int height =
        sheet.height() + 2 * kBorder + editor->ok_->sizeHint().height() + 2 * kBorder + frame;
    editor->view_->setFocus();
    editor->ShowBelow(cell, {width, height});
    return editor;
}

// Every bit has a box to aim at, set or not.
void BitFieldEditor::DrawBox(const CellContext& ctx) const {
    const Rect sq = BitSquare(ctx.rect);
    const int inset = std::max(2, sq.Width() / 8);
    const int l = sq.left + inset, t = sq.top + inset;
    const int r = sq.right - inset - 1, b = sq.bottom - inset - 1;
    const uint32_t colour = ctx.textColour;
    ctx.canvas->DrawLine({l, t}, {r, t}, colour);
    ctx.canvas->DrawLine({r, t}, {r, b}, colour);
    ctx.canvas->DrawLine({r, b}, {l, b}, colour);
    ctx.canvas->DrawLine({l, b}, {l, t}, colour);
}

// A tick in the text colour inside the box.
void BitFieldEditor::DrawTick(const CellContext& ctx) const {
    const Rect sq = BitSquare(ctx.rect);
    const int side = sq.Width();
    auto at = [&](double fx, double fy) {
        return Point{sq.left + static_cast<int>(side * fx), sq.top + static_cast<int>(side * fy)};
    };
    ctx.canvas->FillPolygon({at(0.15, 0.50), at(0.30, 0.38), at(0.42, 0.55), at(0.75, 0.18),
                             at(0.88, 0.30), at(0.42, 0.80)},
                            ctx.textColour);
}

void BitFieldEditor::Toggle(int item) {
    value_.Toggle(item);
    ok_->setEnabled(value_.OkAllowed());
    view_->InvalidateAll();
    cells_.Scope().events.Post(ev::kRedrawAll);
}

int BitFieldEditor::Dispatch(CellContext& ctx, int mode) {
    if (mode == kModeOperate && ctx.operation == kCharEscape) {
        Cancel();
        return 0;
    }
    if (ctx.desc == nullptr || ctx.desc->cell != CL_FBits) return cells_.Handle(ctx, mode);
    const int item = ctx.desc->index;
    if (mode == kModeDraw) {
        ctx.request.text.clear();
        if (value_.TooMany()) ctx.warningMarks = kMarkWarning;
        if (ctx.canvas != nullptr) DrawBox(ctx);
        ctx.checked = value_.Bit(item);
        if (value_.Bit(item)) {
            if (tickStyle_ == kTickLetter) {
                ctx.request.text = "o";
            } else if (ctx.canvas != nullptr) {
                DrawTick(ctx);
            }
        }
        return 0;
    }
    if (ctx.operation == kCharSpace || ctx.operation == kOpDoubleClick) {
        Toggle(item);
    } else if (ctx.operation == kCharEnter && value_.OkAllowed()) {
        Commit();
    }
    return 0;
}

// Too many GPS sentences are not handed back: the editor stays open.
bool BitFieldEditor::HandBack() {
    if (!value_.OkAllowed()) return false;
    if (SheetWidget* opener = Opener())
        opener->HandBackItem(OpenerCol(), OpenerRow(),
                             {PopupKind::CheckBoxes, static_cast<int>(value_.Value())});
    return true;
}

}  // namespace parlo::qt
