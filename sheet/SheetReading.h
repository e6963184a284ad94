#pragma once
// What a sheet says to someone who does not see it (a screen reader): every
// cell's text as it is shown, display characters as plain text, tick boxes
// as checked or not, the marks that flag channels, and the headings of rows
// and columns. The grid widget hands these texts on; it knows nothing of
// what they mean.
#include <cstdint>
#include <span>
#include <string>

namespace parlo {

class Sheet;
struct TreeNode;

enum class CellKind : uint8_t {
    Text,           // a value or a label
    ColumnHeading,  // a cell of the fixed rows
    RowHeading,     // a cell of the fixed columns
    TickBox,        // one bit of a set of flags
};

struct CellReading {
    std::string text;         // as shown, on one line
    std::string description;  // the error or warning a mark stands for
    CellKind kind = CellKind::Text;
    bool checked = false;  // tick boxes
    bool editable = false;
};

class SheetReading {
public:
    explicit SheetReading(Sheet& sheet) : sheet_(sheet) {}

    // The cell at (col, row); a join cell reads as the cell it continues.
    CellReading Read(int col, int row);
    // The fixed row that names the columns: the one holding the most
    // headings (-1 when the sheet has no fixed rows).
    int HeadingRow();
    // The heading over a column, and what the other fixed rows say over it
    // (its group and unit: "Frequency, MHz").
    std::string ColumnHeading(int col);
    std::string ColumnDescription(int col);
    // The fixed columns of a row ("1- 1"); on a sheet without fixed
    // columns, the nearest label left of `col`.
    std::string RowHeading(int row, int col = 0);
    // The rows above the first one that holds a cell that can be current:
    // the fixed rows and the notes under them. They head the table; the
    // rows below are its body.
    int HeadRows();
    // What a cell is called: its column's heading and its row's, as far as
    // the sheet has them ("Receive tone, 1- 1").
    std::string CellName(int col, int row);
    // The sheet's title, and its notes (the texts of the head rows below
    // the fixed ones).
    std::string Title();
    std::string Notes();

private:
    std::string HeadingText(int col, int row);

    Sheet& sheet_;
};

// Display bytes as plain text: the characters themselves, the dot after a
// character as ".", a user character by its number.
std::string DisplayPlainText(std::span<const uint8_t> bytes);
// A tree node's caption with the marks it carries ("Bank 2 BANK 2, 3
// channels with warnings").
std::string TreeNodeReading(const TreeNode& node);

}  // namespace parlo
