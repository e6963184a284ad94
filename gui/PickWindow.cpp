#include "gui/PickWindow.h"

#include <QScrollBar>
#include <QVBoxLayout>

#include "cells/CellDispatcher.h"
#include "platform/qtgui/QtCanvas.h"
#include "sheet/PickListSheet.h"

namespace parlo::qt {

namespace {

// A raised panel of bevel 1 inside a border of 2.
constexpr int kBevel = 1;
constexpr int kBorder = 2;
constexpr int kCharEscape = 27;

}  // namespace

PickWindow::PickWindow(SheetWidget* opener, int col, int row, const PopupRequest& popup)
    : EditorPopup(opener, col, row), cells_(opener->Cells()), popup_(popup) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(kBevel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    Sheet::Params params;
    if (Sheet* owner = opener->CurrentSheet()) params.fontPercent = owner->GetParams().fontPercent;
    sheet_ = CreatePickSheet(popup.list, params, cells_.Scope(),
                             [this](CellContext& c, int mode) { return Dispatch(c, mode); });
    MeasuringCanvas measure;
    sheet_->Build(measure);
    sheet_->SetPickHandler([this](CellContext& pick) {
        picked_ = pick.desc->index;
        Commit();
    });
    // The item that holds the value now is the current one.
    for (int r = 0; r < sheet_->RowCount(); ++r) {
        for (int c = 0; c < sheet_->ColCount(); ++c) {
            const CellDesc& d = sheet_->Cell(c, r);
            if (d.Selectable() && d.cell == Flex0 && d.index == popup.current)
                sheet_->SelectSlot(c, r);
        }
    }
    view_ = new SheetWidget(cells_, this);
    view_->setMinimumSize(1, 1);
    view_->SetSheet(sheet_.get());
    view_->setAccessibleName(accessibleName());
    layout->addWidget(view_);
}

PickWindow::~PickWindow() {
    if (view_ != nullptr) view_->SetSheet(nullptr);
}

PickWindow* PickWindow::Open(SheetWidget* opener, int col, int row, const PopupRequest& popup,
                             const QRect& cell) {
    auto* window = new PickWindow(opener, col, row, popup);
    SheetWidget* view = window->view_;
    const int frame = 2 * (kBevel + kBorder);
    QSize size = view->FullSize() + QSize(frame, frame);
    const QRect area = WorkArea(cell);
    const bool tall = size.height() > area.height(), wide = size.width() > area.width();
    view->setHorizontalScrollBarPolicy(wide ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(tall ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (tall || wide) {
        // Larger than the desktop: the list scrolls, and the arrows stop at
        // its ends.
        window->sheet_->SetScrollBarsShown(true);
        if (tall) size.rwidth() += view->verticalScrollBar()->sizeHint().width();
        if (wide) size.rheight() += view->horizontalScrollBar()->sizeHint().height();
    }
    view->setFocus();
    window->ShowBelow(cell, size);
    // Sized now: the first rows are shown, and the current item.
    view->GoToCell(window->sheet_->Col(), window->sheet_->Row());
    return window;
}

int PickWindow::Dispatch(CellContext& context, int mode) {
    if (mode == kModeOperate && context.operation == kCharEscape) {
        Cancel();
        return 0;
    }
    return cells_.Handle(context, mode);
}

bool PickWindow::HandBack() {
    if (picked_ < 0) return false;
    if (SheetWidget* opener = Opener())
        opener->HandBackItem(OpenerCol(), OpenerRow(), {popup_.kind, picked_});
    return true;
}

}  // namespace parlo::qt
