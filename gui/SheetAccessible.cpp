#include "gui/SheetAccessible.h"

#include <QPointer>
#include <algorithm>

#include "gui/SheetWidget.h"
#include "sheet/SheetReading.h"

namespace parlo::qt {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// One cell of a sheet: its text as the sheet reads it, its headers, and
// making it current.
class SheetCellAccessible : public QAccessibleInterface,
                            public QAccessibleTableCellInterface,
                            public QAccessibleActionInterface {
public:
    SheetCellAccessible(SheetWidget* widget, Sheet* sheet, int col, int row)
        : widget_(widget), sheet_(sheet), col_(col), row_(row) {}

    bool isValid() const override {
        return widget_ && widget_->CurrentSheet() == sheet_ && sheet_ != nullptr &&
               row_ < sheet_->RowCount() && col_ < sheet_->ColCount();
    }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(widget_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    CellReading Reading() const {
        if (!isValid()) return {};
        return SheetReading(*sheet_).Read(col_, row_);
    }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Name) return Q(Reading().text);
        if (t == QAccessible::Description) {
            SheetReading reading(*sheet_);
            QString description = Q(Reading().description);
            if (row_ >= sheet_->FixedRows()) {
                const QString column = Q(reading.ColumnDescription(col_));
                if (!column.isEmpty())
                    description = description.isEmpty() ? column : description + ", " + column;
            }
            return description;
        }
        return {};
    }

    QRect rect() const override {
        if (!isValid()) return {};
        const int owner = sheet_->OwnerOfJoin(col_, row_);
        QRect rect;
        for (int c = owner; c < sheet_->ColCount() && (c == owner || sheet_->Cell(c, row_).Join());
             ++c)
            rect = rect.united(widget_->GlobalCellRect(c, row_));
        return rect;
    }

    QAccessible::Role role() const override {
        if (!isValid()) return QAccessible::Cell;
        switch (Reading().kind) {
            case CellKind::ColumnHeading: return QAccessible::ColumnHeader;
            case CellKind::RowHeading: return QAccessible::RowHeader;
            case CellKind::TickBox: return QAccessible::CheckBox;
            default: return QAccessible::Cell;
        }
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const CellReading reading = Reading();
        const bool current = sheet_->Col() == col_ && sheet_->Row() == row_;
        const bool selectable = sheet_->Cell(col_, row_).Selectable();
        s.focusable = selectable;
        s.selectable = selectable;
        s.focused = current && widget_->hasFocus();
        s.active = current;
        s.selected = sheet_->Highlighted(col_, row_);
        s.readOnly = !reading.editable;
        s.editable = reading.editable;
        s.checkable = reading.kind == CellKind::TickBox;
        s.checked = reading.checked;
        s.invisible = widget_->CellRect(col_, row_).isEmpty();
        s.offscreen = s.invisible;
        return s;
    }

    // QAccessibleTableCellInterface.
    bool isSelected() const override { return isValid() && sheet_->Highlighted(col_, row_); }
    int columnExtent() const override {
        if (!isValid()) return 1;
        int c = col_ + 1;
        while (c < sheet_->ColCount() && sheet_->Cell(c, row_).Join()) ++c;
        return c - col_;
    }
    int rowExtent() const override { return 1; }
    int columnIndex() const override { return col_; }
    int rowIndex() const override {
        return isValid() ? row_ - SheetReading(*sheet_).HeadRows() : -1;
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        if (!isValid() || row_ < sheet_->FixedRows()) return {};
        const int heading = SheetReading(*sheet_).HeadingRow();
        if (heading < 0) return {};
        QAccessibleInterface* header = Table()->CellInterface(col_, heading);
        return header != nullptr ? QList<QAccessibleInterface*>{header}
                                 : QList<QAccessibleInterface*>{};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override {
        if (!isValid() || row_ < sheet_->FixedRows()) return {};
        QList<QAccessibleInterface*> headers;
        if (sheet_->FixedCols() > 0) {
            // A heading of the row is its own header: readers ask the
            // first column for the row's header.
            for (int c = 0; c < sheet_->FixedCols(); ++c) {
                if (!sheet_->Cell(c, row_).Join()) headers << Table()->CellInterface(c, row_);
            }
            return headers;
        }
        // Without fixed columns, the label left of the cell.
        for (int c = col_ - 1; c >= 0; --c) {
            const CellDesc& d = sheet_->Cell(c, row_);
            if (!d.Join() && !d.Bound() && !SheetReading(*sheet_).Read(c, row_).text.empty())
                return {Table()->CellInterface(c, row_)};
        }
        return {};
    }
    QAccessibleInterface* table() const override { return parent(); }

    // QAccessibleActionInterface: a cell can be made current.
    QStringList actionNames() const override {
        return isValid() && sheet_->Cell(col_, row_).Selectable()
                   ? QStringList{setFocusAction()}
                   : QStringList{};
    }
    void doAction(const QString& name) override {
        if (name != setFocusAction() || !isValid()) return;
        widget_->setFocus();
        widget_->GoToCell(col_, row_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    SheetAccessible* Table() const {
        return static_cast<SheetAccessible*>(QAccessible::queryAccessibleInterface(widget_.data()));
    }

    QPointer<SheetWidget> widget_;
    Sheet* sheet_;
    int col_, row_;
};

QAccessibleInterface* SheetFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("parlo::qt::SheetWidget") && object->isWidgetType())
        return new SheetAccessible(static_cast<SheetWidget*>(object));
    return nullptr;
}

// Asked whether or not a reader listens: Qt hands the events on only when
// one does, and the table keeps only the cells a reader has asked for.
SheetAccessible* TableOf(SheetWidget* widget) {
    return static_cast<SheetAccessible*>(QAccessible::queryAccessibleInterface(widget));
}

}  // namespace

SheetAccessible::SheetAccessible(SheetWidget* widget)
    : QAccessibleWidget(widget, QAccessible::Table) {
    check_.setSingleShot(true);
    check_.setInterval(0);
    QObject::connect(&check_, &QTimer::timeout, [this] { CheckTexts(); });
}

SheetAccessible::~SheetAccessible() { Reset(); }

void SheetAccessible::Install() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(SheetFactory);
}

SheetWidget* SheetAccessible::Widget() const { return static_cast<SheetWidget*>(widget()); }

int SheetAccessible::HeadRows() const {
    Sheet* sheet = Widget()->CurrentSheet();
    return sheet != nullptr ? SheetReading(*sheet).HeadRows() : 0;
}

void SheetAccessible::Reset() {
    for (const auto& [at, id] : cells_) QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
    announced_.clear();
    positions_.clear();
    positionsValid_ = false;
}

void SheetAccessible::Positions() const {
    if (positionsValid_) return;
    positions_.clear();
    positionsValid_ = true;
    const Sheet* sheet = Widget()->CurrentSheet();
    if (sheet == nullptr) return;
    for (int r = 0; r < sheet->RowCount(); ++r) {
        for (int c = 0; c < sheet->ColCount(); ++c) {
            if (!sheet->Cell(c, r).Join()) positions_.emplace_back(c, r);
        }
    }
}

QAccessibleInterface* SheetAccessible::CellInterface(int col, int row) const {
    Sheet* sheet = Widget()->CurrentSheet();
    if (sheet == nullptr || row < 0 || row >= sheet->RowCount() || col < 0 ||
        col >= sheet->ColCount())
        return nullptr;
    const std::pair<int, int> at{sheet->OwnerOfJoin(col, row), row};
    const auto it = cells_.find(at);
    if (it != cells_.end()) return QAccessible::accessibleInterface(it->second);
    auto* cell = new SheetCellAccessible(Widget(), sheet, at.first, at.second);
    cells_[at] = QAccessible::registerAccessibleInterface(cell);
    // What it says now is what a change is measured against.
    announced_[at] = cell->text(QAccessible::Name);
    return cell;
}

int SheetAccessible::ChildIndex(int col, int row) const {
    const Sheet* sheet = Widget()->CurrentSheet();
    if (sheet == nullptr || row < 0 || row >= sheet->RowCount()) return -1;
    Positions();
    const std::pair<int, int> at{sheet->OwnerOfJoin(col, row), row};
    // Row by row, then column by column: the order of the list.
    const auto it = std::lower_bound(positions_.begin(), positions_.end(), at,
                                     [](const auto& a, const auto& b) {
                                         return std::tie(a.second, a.first) <
                                                std::tie(b.second, b.first);
                                     });
    return it != positions_.end() && *it == at ? static_cast<int>(it - positions_.begin()) : -1;
}

void* SheetAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString SheetAccessible::text(QAccessible::Text t) const {
    const QString own = QAccessibleWidget::text(t);
    Sheet* sheet = Widget()->CurrentSheet();
    if (!own.isEmpty() || sheet == nullptr) return own;
    if (t == QAccessible::Name) return Q(SheetReading(*sheet).Title());
    if (t == QAccessible::Description) return Q(SheetReading(*sheet).Notes());
    return own;
}

QAccessible::State SheetAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.focusable = true;
    s.multiSelectable = Widget()->CurrentSheet() != nullptr &&
                        Widget()->CurrentSheet()->Style().multiSelect != 0;
    return s;
}

int SheetAccessible::childCount() const {
    Positions();
    return static_cast<int>(positions_.size());
}

QAccessibleInterface* SheetAccessible::child(int index) const {
    Positions();
    if (index < 0 || index >= static_cast<int>(positions_.size())) return nullptr;
    const auto [col, row] = positions_[static_cast<size_t>(index)];
    return CellInterface(col, row);
}

int SheetAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const QAccessibleTableCellInterface* cell =
        child != nullptr ? const_cast<QAccessibleInterface*>(child)->tableCellInterface()
                         : nullptr;
    const Sheet* sheet = Widget()->CurrentSheet();
    if (cell == nullptr || sheet == nullptr) return -1;
    return ChildIndex(cell->columnIndex(), cell->rowIndex() + HeadRows());
}

QAccessibleInterface* SheetAccessible::childAt(int x, int y) const {
    const Sheet* sheet = Widget()->CurrentSheet();
    if (sheet == nullptr) return nullptr;
    const QPoint p = Widget()->viewport()->mapFromGlobal(QPoint(x, y));
    for (int r = 0; r < sheet->RowCount(); ++r) {
        for (int c = 0; c < sheet->ColCount(); ++c) {
            if (Widget()->CellRect(c, r).contains(p)) return CellInterface(c, r);
        }
    }
    return nullptr;
}

QAccessibleInterface* SheetAccessible::focusChild() const {
    const Sheet* sheet = Widget()->CurrentSheet();
    if (sheet == nullptr || !Widget()->hasFocus()) return nullptr;
    return CellInterface(sheet->Col(), sheet->Row());
}

QAccessibleInterface* SheetAccessible::cellAt(int row, int column) const {
    const Sheet* sheet = Widget()->CurrentSheet();
    if (sheet == nullptr || row < 0) return nullptr;
    return CellInterface(column, row + HeadRows());
}

QList<QAccessibleInterface*> SheetAccessible::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    Sheet* sheet = Widget()->CurrentSheet();
    if (sheet == nullptr) return cells;
    Positions();
    for (const auto& [col, row] : positions_) {
        if (row >= HeadRows() && sheet->Highlighted(col, row))
            cells << CellInterface(col, row);
    }
    return cells;
}

int SheetAccessible::selectedCellCount() const {
    return static_cast<int>(selectedCells().size());
}

QString SheetAccessible::columnDescription(int column) const {
    Sheet* sheet = Widget()->CurrentSheet();
    if (sheet == nullptr || column < 0 || column >= sheet->ColCount()) return {};
    return Q(SheetReading(*sheet).ColumnHeading(column));
}

int SheetAccessible::columnCount() const {
    const Sheet* sheet = Widget()->CurrentSheet();
    return sheet != nullptr ? sheet->ColCount() : 0;
}

int SheetAccessible::rowCount() const {
    const Sheet* sheet = Widget()->CurrentSheet();
    return sheet != nullptr ? std::max(0, sheet->RowCount() - HeadRows()) : 0;
}

QString SheetAccessible::rowDescription(int row) const {
    Sheet* sheet = Widget()->CurrentSheet();
    if (sheet == nullptr || row < 0 || row >= rowCount()) return {};
    const int col = sheet->FixedCols() > 0 ? sheet->FixedCols() : sheet->ColCount() - 1;
    return Q(SheetReading(*sheet).RowHeading(row + HeadRows(), col));
}

QList<int> SheetAccessible::selectedRows() const {
    QList<int> rows;
    for (int r = 0; r < rowCount(); ++r) {
        if (isRowSelected(r)) rows << r;
    }
    return rows;
}

int SheetAccessible::selectedRowCount() const { return static_cast<int>(selectedRows().size()); }

// A row counts as selected when the line mode marks it whole.
bool SheetAccessible::isRowSelected(int row) const {
    Sheet* sheet = Widget()->CurrentSheet();
    if (sheet == nullptr || sheet->Style().multiSelect != 2 || row < 0 || row >= rowCount())
        return false;
    const int r = row + HeadRows();
    for (int c = sheet->FixedCols(); c < sheet->ColCount(); ++c) {
        if (sheet->Marks(c, r) & Sheet::kMarkLine) return true;
    }
    return false;
}

// ---- What the widget tells ------------------------------------------------------------

void SheetAccessible::SheetChanged(SheetWidget* widget) {
    SheetAccessible* table = TableOf(widget);
    if (table == nullptr) return;
    table->Reset();
    QAccessibleTableModelChangeEvent reset(widget, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
    QAccessibleEvent name(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
}

void SheetAccessible::CurrentMoved(SheetWidget* widget) {
    SheetAccessible* table = TableOf(widget);
    const Sheet* sheet = widget->CurrentSheet();
    if (table == nullptr || sheet == nullptr) return;
    const int index = table->ChildIndex(sheet->Col(), sheet->Row());
    if (index < 0) return;
    table->CellInterface(sheet->Col(), sheet->Row());
    QAccessibleEvent selection(widget, QAccessible::Selection);
    selection.setChild(index);
    QAccessible::updateAccessibility(&selection);
    if (widget->hasFocus()) {
        QAccessibleEvent focus(widget, QAccessible::Focus);
        focus.setChild(index);
        QAccessible::updateAccessibility(&focus);
    }
}

void SheetAccessible::CellsMayHaveChanged(SheetWidget* widget) {
    if (SheetAccessible* table = TableOf(widget)) table->check_.start();
}

// The cells a reader has met announce a new text, and the table the rows
// that changed.
void SheetAccessible::CheckTexts() {
    const Sheet* sheet = Widget()->CurrentSheet();
    if (sheet == nullptr) return;
    int first = -1, last = -1;
    for (const auto& [at, id] : std::map(cells_)) {
        auto* cell = static_cast<SheetCellAccessible*>(QAccessible::accessibleInterface(id));
        if (cell == nullptr || !cell->isValid()) continue;
        const QString now = cell->text(QAccessible::Name);
        QString& before = announced_[at];
        if (before == now) continue;
        before = now;
        QAccessibleEvent changed(cell, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
        const int row = at.second - HeadRows();
        first = first < 0 ? row : std::min(first, row);
        last = std::max(last, row);
    }
    if (first < 0) return;
    QAccessibleTableModelChangeEvent data(Widget(), QAccessibleTableModelChangeEvent::DataChanged);
    data.setFirstRow(first);
    data.setLastRow(last);
    data.setFirstColumn(0);
    data.setLastColumn(columnCount() - 1);
    QAccessible::updateAccessibility(&data);
}

}  // namespace parlo::qt
