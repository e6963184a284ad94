#pragma once
// The grid that shows a sheet. It owns no radio knowledge: it forwards paint,
// keys, mouse and focus to the sheet logic, paints through the canvas, and
// opens the editors and lists the cells ask for.
#include <QAbstractScrollArea>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <optional>
#include <vector>

#include "runtime/EventCodes.h"
#include "sheet/Sheet.h"

namespace parlo {
class CellDispatcher;
}

namespace parlo::qt {

class QtCanvas;

class SheetWidget : public QAbstractScrollArea, public SheetView {
    Q_OBJECT
public:
    SheetWidget(CellDispatcher& cells, QWidget* parent = nullptr);
    ~SheetWidget() override;

    // Shows `sheet` (not owned); nullptr shows nothing. The windows the old
    // sheet's cells opened close without an answer.
    void SetSheet(Sheet* sheet);
    Sheet* CurrentSheet() const { return sheet_; }
    CellDispatcher& Cells() const { return cells_; }
    // Who the editors this widget opens belong to (event 1).
    WindowOwner OwnerId() const { return ownerId_; }
    // Commits an open in-place editor.
    void FinishEdit();

    // SheetView.
    void InvalidateCell(int col, int row) override;
    void InvalidateAll() override;
    void OpenInPlaceEditor(int col, int row, const std::string& text, int selStart,
                           int selLength) override;
    void OpenPopup(const CellContext& context) override;
    void CurrentCellChanged() override;
    void RowCountChanged() override;
    void TitleChanged() override;
    bool HasFocus() const override { return hasFocus(); }

    // The cell's rectangle in viewport coordinates; empty when scrolled away.
    QRect CellRect(int col, int row) const;
    // The same on the screen.
    QRect GlobalCellRect(int col, int row) const;
    // The sheet's whole width and height, every column and row.
    QSize FullSize() const;
    // Makes a cell current and scrolls it into view.
    bool GoToCell(int col, int row);
    // The row menu at the current cell (Shift+F10, the Menu key).
    void OpenMenuAtCurrentCell();
    // A drag past the edge is scrolling the grid on its timer.
    bool DragScrolling() const { return dragTimer_.isActive(); }

    // What the windows a cell opened hand back to that cell.
    void HandBackItem(int col, int row, const ChosenItem& item);
    void HandBackText(int col, int row, const std::string& text);

    // The title font of the sheet (the widget's own when it names none).
    QFont TitleFont() const;

signals:
    void TitleTextChanged(const QString& text, const QColor& colour, const QFont& font);
    // Another sheet, or another current cell.
    void CurrentCellMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const WindowOwner ownerId_ = WindowOwner::Next();
    std::optional<std::pair<int, int>> CellAt(const QPoint& p) const;
    void UpdateScrollBars();
    void EnsureCurrentVisible();
    void ShowPopupMenu(const QPoint& globalPos);
    void CloseEditor(bool commit);
    void AfterOperation(bool operated = true);
    void DragScrollStep();
    struct GridOffsets {
        std::vector<int> left, top;
    };
    GridOffsets Offsets() const;
    void FillBeyondCells(QPainter& painter, const QRect& band, const GridOffsets& grid);
    void PaintRow(QtCanvas& canvas, QPainter& painter, int row, bool focused,
                  const QRect& fixedArea, const GridOffsets& grid, const QRegion& region,
                  const QColor& rule);
    bool ReturnToCell(int col, int row);

    CellDispatcher& cells_;
    Sheet* sheet_ = nullptr;
    QLineEdit* editor_ = nullptr;
    bool closingEditor_ = false;
    QTimer dragTimer_;
    bool dragging_ = false;  // the left button went down on the grid
    int dragDx_ = 0, dragDy_ = 0;
};

}  // namespace parlo::qt
