#pragma once
// The sheet grid as a screen reader sees it: a table whose cells carry the
// texts the sheet logic reads out (SheetReading), with the fixed rows as
// column headers and the fixed columns as row headers. The table's rows are
// the rows from the first one with a cell that can be current (the notes
// above it are the table's description); its columns are all of the
// sheet's.
#include <QAccessibleWidget>
#include <QTimer>
#include <map>
#include <utility>
#include <vector>

namespace parlo::qt {

class SheetWidget;

class SheetAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit SheetAccessible(SheetWidget* widget);
    ~SheetAccessible() override;

    // Installs the factory that gives every sheet widget this interface.
    static void Install();

    // What the widget tells: another sheet or other rows, another current
    // cell, cells that may show other texts now.
    static void SheetChanged(SheetWidget* widget);
    static void CurrentMoved(SheetWidget* widget);
    static void CellsMayHaveChanged(SheetWidget* widget);

    SheetWidget* Widget() const;
    // The interface of the cell at (col, row) of the sheet (the cell a join
    // continues), made once and kept until the sheet changes.
    QAccessibleInterface* CellInterface(int col, int row) const;
    // The child index of a cell, -1 for none.
    int ChildIndex(int col, int row) const;

    // QAccessibleInterface.
    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // QAccessibleTableInterface. Rows count from the first row that holds
    // a cell that can be current.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    void Reset();
    // The rows that head the table (the fixed ones and the notes under them).
    int HeadRows() const;
    void Positions() const;
    void CheckTexts();

    // Non-join cells of the sheet, row by row: the children.
    mutable std::vector<std::pair<int, int>> positions_;
    mutable bool positionsValid_ = false;
    mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
    mutable std::map<std::pair<int, int>, QString> announced_;  // the text each known cell last had
    QTimer check_;
};

}  // namespace parlo::qt
