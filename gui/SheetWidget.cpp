#include "gui/SheetWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include "cells/CellDispatcher.h"
#include "gui/BitFieldEditor.h"
#include "gui/CharacterEditor.h"
#include "gui/MenuBuilder.h"
#include "gui/PickWindow.h"
#include "gui/SheetAccessible.h"
#include "gui/TextEntryWindow.h"
#include "model/DocumentData.h"
#include "platform/qtgui/QtCanvas.h"
#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"
#include "sheet/CellColours.h"

namespace parlo::qt {

namespace {

constexpr int kDragStepMs = 60;
constexpr int kCharTab = 9;
constexpr int kCharEscape = 27;

int VirtualKeyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Left: return kVkLeft;
        case Qt::Key_Right: return kVkRight;
        case Qt::Key_Up: return kVkUp;
        case Qt::Key_Down: return kVkDown;
        case Qt::Key_PageUp: return kVkPrior;
        case Qt::Key_PageDown: return kVkNext;
        case Qt::Key_Home: return kVkHome;
        case Qt::Key_End: return kVkEnd;
        default:
            if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return kVkF1 + (qtKey - Qt::Key_F1);
            return 0;
    }
}

}  // namespace

SheetWidget::SheetWidget(CellDispatcher& cells, QWidget* parent)
    : QAbstractScrollArea(parent), cells_(cells) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(false);
    // The grid fills every pixel it paints: no background first.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameShape(QFrame::NoFrame);
    dragTimer_.setInterval(kDragStepMs);
    connect(&dragTimer_, &QTimer::timeout, this, [this] { DragScrollStep(); });
    SheetAccessible::Install();
}

SheetWidget::~SheetWidget() {
    if (sheet_ != nullptr) sheet_->SetView(nullptr);
}

void SheetWidget::SetSheet(Sheet* sheet) {
    if (editor_ != nullptr) editor_->hide();
    dragTimer_.stop();
    if (sheet_ != nullptr) {
        sheet_->SetView(nullptr);
        // The windows the old sheet's cells opened have nothing to answer.
        cells_.Scope().events.Send(ev::kReleaseWindows, ownerId_);
    }
    sheet_ = sheet;
    if (sheet_ != nullptr) {
        sheet_->SetView(this);
        setEnabled(sheet_->Enabled());
    }
    UpdateScrollBars();
    TitleChanged();
    viewport()->update();
    SheetAccessible::SheetChanged(this);
    SheetAccessible::CurrentMoved(this);
    emit CurrentCellMoved();
}

// ---- Geometry ----------------------------------------------------------------------

QRect SheetWidget::CellRect(int col, int row) const {
    if (sheet_ == nullptr) return {};
    auto offset = [](int index, int fixed, int first, auto size) {
        int pos = 0;
        if (index < fixed) {
            for (int i = 0; i < index; ++i) pos += size(i);
            return pos;
        }
        if (index < first) return -1;
        for (int i = 0; i < fixed; ++i) pos += size(i);
        for (int i = first; i < index; ++i) pos += size(i);
        return pos;
    };
    const int x = offset(col, sheet_->FixedCols(), sheet_->LeftCol(),
                         [&](int c) { return sheet_->ColWidth(c); });
    const int y = offset(row, sheet_->FixedRows(), sheet_->TopRow(),
                         [&](int r) { return sheet_->RowHeight(r); });
    if (x < 0 || y < 0) return {};
    return QRect(x, y, sheet_->ColWidth(col), sheet_->RowHeight(row));
}

QRect SheetWidget::GlobalCellRect(int col, int row) const {
    const QRect rect = CellRect(col, row);
    return QRect(viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

QSize SheetWidget::FullSize() const {
    if (sheet_ == nullptr) return {};
    int width = 0, height = 0;
    for (int c = 0; c < sheet_->ColCount(); ++c) width += sheet_->ColWidth(c);
    for (int r = 0; r < sheet_->RowCount(); ++r) height += sheet_->RowHeight(r);
    return {width, height};
}

bool SheetWidget::GoToCell(int col, int row) {
    if (sheet_ == nullptr || !sheet_->SelectSlot(col, row)) return false;
    EnsureCurrentVisible();
    viewport()->update();
    return true;
}

std::optional<std::pair<int, int>> SheetWidget::CellAt(const QPoint& p) const {
    if (sheet_ == nullptr) return std::nullopt;
    for (int r = 0; r < sheet_->RowCount(); ++r) {
        for (int c = 0; c < sheet_->ColCount(); ++c) {
            if (CellRect(c, r).contains(p)) return std::make_pair(c, r);
        }
    }
    return std::nullopt;
}

void SheetWidget::UpdateScrollBars() {
    if (sheet_ == nullptr) {
        horizontalScrollBar()->setRange(0, 0);
        verticalScrollBar()->setRange(0, 0);
        return;
    }
    // The scroll range ends where the last row (column) comes into view, so
    // a sheet that fits shows no scroll bar.
    auto lastStart = [](int fixed, int count, int extent, auto size) {
        for (int i = 0; i < fixed && i < count; ++i) extent -= size(i);
        int first = count;
        while (first > fixed && size(first - 1) <= extent) extent -= size(--first);
        return std::max(fixed, std::min(first, count - 1));
    };
    horizontalScrollBar()->setRange(
        sheet_->FixedCols(), lastStart(sheet_->FixedCols(), sheet_->ColCount(), viewport()->width(),
                                       [&](int c) { return sheet_->ColWidth(c); }));
    verticalScrollBar()->setRange(
        sheet_->FixedRows(),
        lastStart(sheet_->FixedRows(), sheet_->RowCount(), viewport()->height(),
                  [&](int r) { return sheet_->RowHeight(r); }));
    horizontalScrollBar()->setPageStep(4);
    verticalScrollBar()->setPageStep(10);
    horizontalScrollBar()->setValue(sheet_->LeftCol());
    verticalScrollBar()->setValue(sheet_->TopRow());
}

void SheetWidget::scrollContentsBy(int, int) {
    if (sheet_ == nullptr) return;
    sheet_->SetScroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    if (editor_ != nullptr && editor_->isVisible()) CloseEditor(true);
    viewport()->update();
}

void SheetWidget::EnsureCurrentVisible() {
    if (sheet_ == nullptr) return;
    const int col = sheet_->Col(), row = sheet_->Row();
    int left = sheet_->LeftCol(), top = sheet_->TopRow();
    if (col >= sheet_->FixedCols() && col < left) left = col;
    if (row >= sheet_->FixedRows() && row < top) top = row;
    auto fits = [&](int first, int fixed, int index, int extent, auto size) {
        int used = 0;
        for (int i = 0; i < fixed; ++i) used += size(i);
        for (int i = first; i <= index; ++i) used += size(i);
        return used <= extent;
    };
    while (col > left && !fits(left, sheet_->FixedCols(), col, viewport()->width(),
                               [&](int c) { return sheet_->ColWidth(c); }))
        ++left;
    while (row > top && !fits(top, sheet_->FixedRows(), row, viewport()->height(),
                              [&](int r) { return sheet_->RowHeight(r); }))
        ++top;
    sheet_->SetScroll(left, top);
    horizontalScrollBar()->setValue(sheet_->LeftCol());
    verticalScrollBar()->setValue(sheet_->TopRow());
}

void SheetWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

// ---- Painting ----------------------------------------------------------------------------

// Where each column and row starts in the viewport, -1 for one scrolled
// out of view: what CellRect works out for one cell, for all at once.
SheetWidget::GridOffsets SheetWidget::Offsets() const {
    auto offsets = [](int count, int fixed, int first, auto size) {
        std::vector<int> at(static_cast<size_t>(count), -1);
        int pos = 0;
        for (int i = 0; i < count && i < fixed; ++i) {
            at[static_cast<size_t>(i)] = pos;
            pos += size(i);
        }
        for (int i = std::max(first, fixed); i < count; ++i) {
            at[static_cast<size_t>(i)] = pos;
            pos += size(i);
        }
        return at;
    };
    return {offsets(sheet_->ColCount(), sheet_->FixedCols(), sheet_->LeftCol(),
                    [&](int c) { return sheet_->ColWidth(c); }),
            offsets(sheet_->RowCount(), sheet_->FixedRows(), sheet_->TopRow(),
                    [&](int r) { return sheet_->RowHeight(r); })};
}

// Only the cells that meet the region asked for are drawn: a move of the
// cursor repaints two cells, not the page.
void SheetWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRegion& region = event->region();
    if (sheet_ == nullptr) {
        painter.fillRect(region.boundingRect(), ToQColor(kClWindow));
        return;
    }
    QtCanvas canvas(painter);
    // Rows that grew or shrank to their explanation move the rest: all of
    // it is drawn again.
    if (sheet_->FitLiveExplanations(canvas)) {
        UpdateScrollBars();
        viewport()->update();
    }
    const bool focused = hasFocus() || (editor_ != nullptr && editor_->hasFocus());
    // Scrolling cells never paint over the fixed rows and columns, even when
    // a joined text reaches back to a cell scrolled out of view.
    int fixedWidth = 0, fixedHeight = 0;
    for (int c = 0; c < sheet_->FixedCols(); ++c) fixedWidth += sheet_->ColWidth(c);
    for (int r = 0; r < sheet_->FixedRows(); ++r) fixedHeight += sheet_->RowHeight(r);
    const GridOffsets grid = Offsets();
    FillBeyondCells(painter, region.boundingRect(), grid);
    const QColor rule = ToQColor(GridRuleOf(canvas));
    const ReadingPass reading(sheet_->Document());
    for (int r = 0; r < sheet_->RowCount(); ++r)
        PaintRow(canvas, painter, r, focused, QRect(0, 0, fixedWidth, fixedHeight), grid, region,
                 rule);
}

// A cell on screen fills its own rectangle: the sheet's colour goes only
// where no cell is, right of the last column and under the last row (all
// of `band` where the cells do not fill themselves).
void SheetWidget::FillBeyondCells(QPainter& painter, const QRect& band, const GridOffsets& grid) {
    const QColor basic = ToQColor(sheet_->BasicCell().colour);
    if (!sheet_->Built() || sheet_->Printing()) {
        painter.fillRect(band, basic);
        return;
    }
    int right = 0, bottom = 0;
    for (int c = 0; c < sheet_->ColCount(); ++c) {
        if (const int left = grid.left[static_cast<size_t>(c)]; left >= 0)
            right = std::max(right, left + sheet_->ColWidth(c));
    }
    for (int r = 0; r < sheet_->RowCount(); ++r) {
        if (const int top = grid.top[static_cast<size_t>(r)]; top >= 0)
            bottom = std::max(bottom, top + sheet_->RowHeight(r));
    }
    const QRegion beyond = QRegion(band) - QRegion(0, 0, right, bottom);
    for (const QRect& rect : beyond) painter.fillRect(rect, basic);
}

// One row: every cell in view, a text that runs on from a fixed column laid
// out over the columns in view.
void SheetWidget::PaintRow(QtCanvas& canvas, QPainter& painter, int r, bool focused,
                           const QRect& fixedArea, const GridOffsets& grid, const QRegion& region,
                           const QColor& rule) {
    const QRect all = viewport()->rect();
    const int top = grid.top[static_cast<size_t>(r)];
    const int height = sheet_->RowHeight(r);
    if (top < 0 || height <= 0 || top > all.bottom() || top + height - 1 < all.top()) return;
    const QRect band = region.boundingRect();
    if (top > band.bottom() || top + height - 1 < band.top()) return;
    std::vector<int> cols, lefts;
    for (int c = 0; c < sheet_->ColCount(); ++c) {
        const int left = grid.left[static_cast<size_t>(c)];
        if (left < 0 || sheet_->ColWidth(c) <= 0 || left > all.right()) continue;
        cols.push_back(c);
        lefts.push_back(left);
    }
    if (cols.empty()) return;
    const auto runs = sheet_->ShownRuns(r, cols, lefts);
    for (size_t i = 0; i < cols.size(); ++i) {
        const int c = cols[i];
        const QRect rect(lefts[i], top, sheet_->ColWidth(c), height);
        if (!rect.intersects(all) || !region.intersects(rect)) continue;
        const int clipLeft = c >= sheet_->FixedCols() ? fixedArea.width() : 0;
        const int clipTop = r >= sheet_->FixedRows() ? fixedArea.height() : 0;
        painter.setClipRect(
            QRect(clipLeft, clipTop, all.width() - clipLeft, all.height() - clipTop));
        const Rect cell{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
        if (runs[i]) {
            const Rect run{runs[i]->first, cell.top, runs[i]->second, cell.bottom};
            sheet_->DrawCell(canvas, c, r, cell, focused, &run);
        } else {
            sheet_->DrawCell(canvas, c, r, cell, focused);
        }
        const bool joinedRight = c + 1 < sheet_->ColCount() && sheet_->Cell(c + 1, r).Join();
        painter.setPen(rule);
        if (!joinedRight) painter.drawLine(rect.topRight(), rect.bottomRight());
        // Up to the next cell's left edge: at a fractional scale the rules
        // of joined cells meet without a gap.
        painter.drawLine(QLineF(rect.left(), rect.bottom(), rect.left() + rect.width(), rect.bottom()));
    }
}

void SheetWidget::InvalidateCell(int col, int row) {
    const QRect rect = CellRect(col, row);
    // A cell may spill its text into the join cells on its right.
    if (!rect.isEmpty())
        viewport()->update(QRect(rect.left(), rect.top(), viewport()->width(), rect.height()));
    SheetAccessible::CellsMayHaveChanged(this);
}

void SheetWidget::InvalidateAll() {
    viewport()->update();
    SheetAccessible::CellsMayHaveChanged(this);
}

// The sheet has asked for the cells left and entered; a scroll repaints
// the rest.
void SheetWidget::CurrentCellChanged() {
    EnsureCurrentVisible();
    SheetAccessible::CurrentMoved(this);
    emit CurrentCellMoved();
}

void SheetWidget::RowCountChanged() {
    UpdateScrollBars();
    viewport()->update();
    SheetAccessible::SheetChanged(this);
}

QFont SheetWidget::TitleFont() const {
    if (sheet_ == nullptr || !sheet_->Style().titleFont) return font();
    return ToQFont(*sheet_->Style().titleFont);
}

void SheetWidget::TitleChanged() {
    if (sheet_ == nullptr || sheet_->Style().title.empty()) {
        emit TitleTextChanged(QString(), QColor(), font());
        return;
    }
    emit TitleTextChanged(QString::fromStdString(sheet_->TitleText()),
                          ToQColor(sheet_->TitleColour()), TitleFont());
}

// ---- Keys and mouse ------------------------------------------------------------------------

// After a cell's operation every cell is drawn again: it may have changed
// any of them. A move of the current cell alone repaints what the sheet
// asked for.
void SheetWidget::AfterOperation(bool operated) {
    EnsureCurrentVisible();
    if (operated) viewport()->update();
    SheetAccessible::CellsMayHaveChanged(this);
}

void SheetWidget::keyPressEvent(QKeyEvent* event) {
    if (sheet_ == nullptr) return;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && shift)) {
        OpenMenuAtCurrentCell();
        return;
    }
    if (const int vk = VirtualKeyOf(event->key())) {
        AfterOperation(!sheet_->KeyDown(vk, shift, ctrl));
        return;
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        sheet_->TypeChar(13);
    } else if (event->key() == Qt::Key_Backspace) {
        sheet_->TypeChar(8);
    } else if (event->key() == Qt::Key_Escape) {
        sheet_->TypeChar(kCharEscape);
    } else if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        sheet_->TypeChar(kCharTab);
    } else if (!ctrl && !event->text().isEmpty()) {
        for (const QChar ch : event->text()) {
            const int code = ch.unicode();
            if (code >= 0x20 && code < 0x100) sheet_->TypeChar(code);
        }
    } else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    AfterOperation();
}

void SheetWidget::mousePressEvent(QMouseEvent* event) {
    if (sheet_ == nullptr) return;
    setFocus();
    const auto cell = CellAt(event->pos());
    if (!cell) return;
    if (event->button() == Qt::RightButton) {
        sheet_->RightClick(cell->first, cell->second);
        viewport()->update();
        ShowPopupMenu(event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton) {
        const bool selected =
            sheet_->SelectSlot(cell->first, cell->second, event->modifiers() & Qt::ShiftModifier);
        if (sheet_->PickMode()) {
            // In a pick list one click chooses.
            if (selected || (cell->first == sheet_->Col() && cell->second == sheet_->Row()))
                sheet_->DoubleClick(cell->first, cell->second);
            return;
        }
        sheet_->LeftButton(true);
        dragging_ = true;
    }
}

void SheetWidget::mouseMoveEvent(QMouseEvent* event) {
    if (sheet_ == nullptr || !dragging_) return;
    // Past the grid's edge the drag goes on by itself, one cell a step.
    const QRect area = viewport()->rect();
    const QPoint p = event->pos();
    dragDx_ = p.x() < area.left() ? -1 : p.x() > area.right() ? 1 : 0;
    dragDy_ = p.y() < area.top() ? -1 : p.y() > area.bottom() ? 1 : 0;
    if (dragDx_ != 0 || dragDy_ != 0) {
        if (!dragTimer_.isActive()) dragTimer_.start();
        return;
    }
    dragTimer_.stop();
    if (const auto cell = CellAt(p)) {
        if (cell->first != sheet_->Col() || cell->second != sheet_->Row())
            sheet_->SelectSlot(cell->first, cell->second, true);
    }
}

void SheetWidget::DragScrollStep() {
    if (sheet_ == nullptr || !dragging_) {
        dragTimer_.stop();
        return;
    }
    if (sheet_->DragStep(dragDx_, dragDy_)) AfterOperation();
}

void SheetWidget::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
    dragTimer_.stop();
    if (sheet_ != nullptr) sheet_->LeftButton(false);
}

void SheetWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (sheet_ == nullptr) return;
    if (const auto cell = CellAt(event->pos())) {
        sheet_->SelectSlot(cell->first, cell->second);
        sheet_->DoubleClick(cell->first, cell->second);
        AfterOperation();
    }
}

void SheetWidget::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    SheetAccessible::CurrentMoved(this);
}

void SheetWidget::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

// Tab is a character for the cells, not a move to the next control.
bool SheetWidget::focusNextPrevChild(bool) { return false; }

void SheetWidget::OpenMenuAtCurrentCell() {
    if (sheet_ == nullptr) return;
    EnsureCurrentVisible();
    const QRect cell = GlobalCellRect(sheet_->Col(), sheet_->Row());
    ShowPopupMenu(cell.isEmpty() ? viewport()->mapToGlobal(QPoint(0, 0)) : cell.bottomLeft());
}

void SheetWidget::ShowPopupMenu(const QPoint& globalPos) {
    const CellDesc& current = sheet_->Cell(sheet_->Col(), sheet_->Row());
    const auto key = current.EffectivePopupMenu();
    if (!key || key->empty()) return;
    MenuBuilder builder(*key);
    QMenu menu(this);
    Sheet* sheet = sheet_;
    builder.FillMenu(&menu, [sheet](const CellDesc& item) { sheet->ChooseMenuItem(item); });
    MenuBuilder::RefreshStates(&menu, cells_, &current);
    menu.exec(globalPos);
    AfterOperation();
}

// ---- Editors and lists ---------------------------------------------------------------------

void SheetWidget::OpenInPlaceEditor(int col, int row, const std::string& text, int selStart,
                                    int selLength) {
    if (editor_ == nullptr) {
        editor_ = new QLineEdit(viewport());
        editor_->setFrame(false);
        editor_->setMaxLength(1024);
        editor_->installEventFilter(this);
    }
    const QRect rect = CellRect(col, row);
    const CellDesc& cell = sheet_->Cell(col, row);
    const FontSpec* font = cell.EffectiveFont();
    editor_->setFont(ToQFont(font != nullptr ? *font : *sheet_->BasicCell().font));
    // One text line high, placed as the cell places its text.
    const int height = std::min(rect.height(), editor_->fontMetrics().height() + 4);
    int top = rect.top() + (rect.height() - height) / 2;
    if (cell.VAlign() == 0) top = rect.top();
    if (cell.VAlign() == 2) top = rect.bottom() + 1 - height;
    editor_->setGeometry(rect.left(), top, std::max(rect.width(), 40), height);
    editor_->setText(QString::fromStdString(text));
    editor_->setSelection(selStart, selLength);
    if (selLength == 0) editor_->setCursorPosition(selStart);
    editor_->show();
    editor_->setFocus();
}

void SheetWidget::CloseEditor(bool commit) {
    if (editor_ == nullptr || !editor_->isVisible() || closingEditor_) return;
    closingEditor_ = true;
    const std::string text = editor_->text().toStdString();
    editor_->hide();
    setFocus();
    if (sheet_ != nullptr) {
        if (commit)
            sheet_->CommitEditor(text);
        else
            sheet_->CancelEditor();
    }
    closingEditor_ = false;
    AfterOperation();
}

void SheetWidget::FinishEdit() { CloseEditor(true); }

bool SheetWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_) return QAbstractScrollArea::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter: CloseEditor(true); return true;
            case Qt::Key_Escape: CloseEditor(false); return true;
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown: {
                CloseEditor(true);
                if (sheet_ != nullptr) sheet_->KeyDown(VirtualKeyOf(key->key()), false, false);
                AfterOperation();
                return true;
            }
            default: break;
        }
    } else if (event->type() == QEvent::FocusOut) {
        CloseEditor(true);
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void SheetWidget::OpenPopup(const CellContext& ctx) {
    if (sheet_ == nullptr) return;
    const PopupRequest& popup = ctx.request.popup;
    const int col = sheet_->Col(), row = sheet_->Row();
    const QRect cell = GlobalCellRect(col, row);
    switch (popup.kind) {
        case PopupKind::TextEntry: {
            const CellDesc& desc = sheet_->Cell(col, row);
            const FontSpec* font = desc.EffectiveFont();
            TextEntryWindow::Open(this, col, row, ctx.request.text, ctx.request.caretStart,
                                  font != nullptr ? *font : *sheet_->BasicCell().font,
                                  popup.fieldLength, cell);
            return;
        }
        case PopupKind::CharacterEditor: {
            CharacterEditor editor(this, static_cast<uint32_t>(popup.current));
            if (editor.exec() == QDialog::Accepted)
                HandBackItem(col, row,
                             {PopupKind::CharacterEditor, static_cast<int>(editor.Mask())});
            return;
        }
        case PopupKind::CheckBoxes: BitFieldEditor::Open(this, col, row, popup, cell); return;
        default:
            if (!popup.list.empty()) PickWindow::Open(this, col, row, popup, cell);
            return;
    }
}

// The cell that opened a window is current again when its answer comes.
bool SheetWidget::ReturnToCell(int col, int row) {
    if (sheet_ == nullptr) return false;
    if (col != sheet_->Col() || row != sheet_->Row()) sheet_->SelectSlot(col, row);
    return col == sheet_->Col() && row == sheet_->Row();
}

void SheetWidget::HandBackItem(int col, int row, const ChosenItem& item) {
    if (!ReturnToCell(col, row)) return;
    sheet_->ChoosePopupItem(item);
    AfterOperation();
}

void SheetWidget::HandBackText(int col, int row, const std::string& text) {
    if (!ReturnToCell(col, row)) return;
    sheet_->CommitText(text);
    AfterOperation();
}

}  // namespace parlo::qt
