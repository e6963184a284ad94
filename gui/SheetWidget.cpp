#include "gui/SheetWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

#include "cells/CellDispatcher.h"
#include "codecs/OverlayList.h"
#include "gui/CharacterEditor.h"
#include "gui/MenuBuilder.h"
#include "gui/QtCanvas.h"
#include "overlay/OverlayText.h"

namespace parlo::qt {

namespace {

constexpr uint32_t kGridLine = 0x80000010;  // button shadow

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

// The header of item n of a check-box list.
QString CheckBoxHeader(int n, const PopupRequest& popup) {
    switch (popup.headerStyle) {
        case 1: return QString::number(n, 16).toUpper();
        case 2: return QString::number(n == 10 ? 0 : n);
        case 3: return n == 11 ? QString("Z") : QString::number(n == 10 ? 0 : n);
        case 4: return QString(QChar(n + 64));
        case 6: return QString("B%1").arg(popup.last - n);
        default: return QString::number(n);
    }
}

}  // namespace

SheetWidget::SheetWidget(CellDispatcher& cells, QWidget* parent)
    : QAbstractScrollArea(parent), cells_(cells) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(false);
    setFrameShape(QFrame::NoFrame);
}

SheetWidget::~SheetWidget() {
    if (sheet_ != nullptr) sheet_->SetView(nullptr);
}

void SheetWidget::SetSheet(Sheet* sheet) {
    if (editor_ != nullptr) editor_->hide();
    if (sheet_ != nullptr) sheet_->SetView(nullptr);
    sheet_ = sheet;
    if (sheet_ != nullptr) {
        sheet_->SetView(this);
        setEnabled(sheet_->Enabled());
    }
    UpdateScrollBars();
    TitleChanged();
    viewport()->update();
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

void SheetWidget::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(),
                     ToQColor(sheet_ != nullptr ? sheet_->BasicCell().colour : kClWindow));
    if (sheet_ == nullptr) return;
    QtCanvas canvas(painter);
    const bool focused = hasFocus() || (editor_ != nullptr && editor_->hasFocus());
    // Scrolling cells never paint over the fixed rows and columns, even when
    // a joined text reaches back to a cell scrolled out of view.
    int fixedWidth = 0, fixedHeight = 0;
    for (int c = 0; c < sheet_->FixedCols(); ++c) fixedWidth += sheet_->ColWidth(c);
    for (int r = 0; r < sheet_->FixedRows(); ++r) fixedHeight += sheet_->RowHeight(r);
    const QRect all = viewport()->rect();
    for (int r = 0; r < sheet_->RowCount(); ++r) {
        for (int c = 0; c < sheet_->ColCount(); ++c) {
            const QRect rect = CellRect(c, r);
            if (rect.isEmpty() || !rect.intersects(all)) continue;
            const int clipLeft = c >= sheet_->FixedCols() ? fixedWidth : 0;
            const int clipTop = r >= sheet_->FixedRows() ? fixedHeight : 0;
            painter.setClipRect(
                QRect(clipLeft, clipTop, all.width() - clipLeft, all.height() - clipTop));
            sheet_->DrawCell(canvas, c, r,
                             {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1},
                             focused);
            const bool joinedRight = c + 1 < sheet_->ColCount() && sheet_->Cell(c + 1, r).Join();
            painter.setPen(ToQColor(kGridLine));
            if (!joinedRight) painter.drawLine(rect.topRight(), rect.bottomRight());
            painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        }
    }
}

void SheetWidget::InvalidateCell(int col, int row) {
    const QRect rect = CellRect(col, row);
    // A cell may spill its text into the join cells on its right.
    if (!rect.isEmpty())
        viewport()->update(QRect(rect.left(), rect.top(), viewport()->width(), rect.height()));
}

void SheetWidget::InvalidateAll() { viewport()->update(); }

void SheetWidget::CurrentCellChanged() {
    EnsureCurrentVisible();
    viewport()->update();
}

void SheetWidget::RowCountChanged() {
    UpdateScrollBars();
    viewport()->update();
}

void SheetWidget::TitleChanged() {
    if (sheet_ == nullptr || sheet_->Style().title.empty()) {
        emit TitleTextChanged(QString(), QColor());
        return;
    }
    emit TitleTextChanged(QString::fromStdString(sheet_->TitleText()),
                          ToQColor(sheet_->TitleColour()));
}

// ---- Keys and mouse ------------------------------------------------------------------------

void SheetWidget::AfterOperation() {
    EnsureCurrentVisible();
    viewport()->update();
}

void SheetWidget::keyPressEvent(QKeyEvent* event) {
    if (sheet_ == nullptr) return;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (const int vk = VirtualKeyOf(event->key())) {
        sheet_->KeyDown(vk, shift, ctrl);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        sheet_->TypeChar(13);
    } else if (event->key() == Qt::Key_Backspace) {
        sheet_->TypeChar(8);
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
        sheet_->SelectSlot(cell->first, cell->second, event->modifiers() & Qt::ShiftModifier);
        sheet_->LeftButton(true);
        viewport()->update();
    }
}

void SheetWidget::mouseMoveEvent(QMouseEvent* event) {
    if (sheet_ == nullptr || !(event->buttons() & Qt::LeftButton)) return;
    if (const auto cell = CellAt(event->pos())) {
        if (cell->first != sheet_->Col() || cell->second != sheet_->Row()) {
            sheet_->SelectSlot(cell->first, cell->second, true);
            viewport()->update();
        }
    }
}

void SheetWidget::mouseReleaseEvent(QMouseEvent*) {
    if (sheet_ != nullptr) sheet_->LeftButton(false);
}

void SheetWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (sheet_ == nullptr) return;
    if (const auto cell = CellAt(event->pos())) {
        sheet_->DoubleClick(cell->first, cell->second);
        AfterOperation();
    }
}

void SheetWidget::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void SheetWidget::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
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
    const FontSpec* font = sheet_->Cell(col, row).EffectiveFont();
    if (font != nullptr) editor_->setFont(ToQFont(*font));
    const int height = editor_->fontMetrics().height() + 4;
    editor_->setGeometry(rect.left(), rect.top() + std::max(0, (rect.height() - height) / 2),
                         std::max(rect.width(), 40), std::min(rect.height(), height));
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
    const PopupRequest popup = ctx.request.popup;
    const QRect cell = CellRect(sheet_->Col(), sheet_->Row());
    const QPoint below = viewport()->mapToGlobal(QPoint(cell.left() + 8, cell.bottom() + 1));
    if (popup.kind == PopupKind::TextEntry) {
        bool ok = false;
        const QString text = QInputDialog::getText(this, QString(), QString(), QLineEdit::Normal,
                                                   QString::fromStdString(ctx.request.text), &ok);
        if (ok) sheet_->CommitText(text.toStdString());
        AfterOperation();
        return;
    }
    if (popup.kind == PopupKind::CharacterEditor) {
        CharacterEditor editor(this, static_cast<uint32_t>(popup.current));
        if (editor.exec() == QDialog::Accepted)
            sheet_->ChoosePopupItem({PopupKind::CharacterEditor, static_cast<int>(editor.Mask())});
        AfterOperation();
        return;
    }
    if (popup.kind == PopupKind::CheckBoxes) {
        QDialog dialog(this, Qt::Popup | Qt::FramelessWindowHint);
        auto* layout = new QVBoxLayout(&dialog);
        auto* grid = new QGridLayout;
        std::vector<QCheckBox*> boxes;
        for (int n = popup.first; n <= popup.last; ++n) {
            const int k = n - popup.first + 1;
            auto* box = new QCheckBox(CheckBoxHeader(n, popup), &dialog);
            box->setChecked((popup.current >> (26 - k)) & 1);
            grid->addWidget(box, 0, k - 1);
            boxes.push_back(box);
        }
        layout->addLayout(grid);
        auto* buttons =
            new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(buttons);
        dialog.move(below);
        if (dialog.exec() == QDialog::Accepted) {
            int value = 0;
            for (size_t i = 0; i < boxes.size(); ++i) {
                if (boxes[i]->isChecked()) value |= 1 << (26 - static_cast<int>(i + 1));
            }
            sheet_->ChoosePopupItem({PopupKind::CheckBoxes, value});
        }
        AfterOperation();
        return;
    }
    if (popup.list.empty()) return;  // nothing to choose from
    QMenu menu(this);
    const std::vector<std::string>& items = OvlListLines(popup.list);
    for (size_t i = 0; i < items.size(); ++i) {
        QAction* action = menu.addAction(QString::fromStdString(items[i]));
        action->setData(static_cast<int>(i));
        if (static_cast<int>(i) == popup.current) {
            action->setCheckable(true);
            action->setChecked(true);
            menu.setActiveAction(action);
        }
    }
    if (QAction* chosen = menu.exec(below)) {
        sheet_->ChoosePopupItem({popup.kind, chosen->data().toInt()});
    }
    AfterOperation();
}

}  // namespace parlo::qt
