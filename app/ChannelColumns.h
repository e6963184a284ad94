#pragma once
// The columns of the bank sheet as a table of channels sees them, and how
// each column's text is kept when the table goes through a spreadsheet.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cells/CellContext.h"
#include "model/EepromImage.h"
#include "sheet/BankSheet.h"

namespace parlo {

inline constexpr const char* kBankHeading = "Bank";
inline constexpr const char* kPositionHeading = "Position";

// A column of the bank sheet: its heading (qualified by its group heading
// where headings repeat), the sheet column it is and the cell it shows.
struct ChannelColumn {
    std::string heading;
    int col;
    int cell;
};

class Document;

// The bank sheet of the document's variant for one bank (0-4), laid out
// with the document's cells: while it lives it tells them which bank they
// show.
std::unique_ptr<BankSheet> BuildBankSheet(int bank, Document& doc, const DispatchFunction& cells);
// Its columns, left to right.
std::vector<ChannelColumn> ColumnsOf(BankSheet& sheet);
// The columns of the document variant's bank sheet.
std::vector<ChannelColumn> ChannelColumns(Document& doc, const DispatchFunction& cells);

// Slot `slot` of the document holds a channel.
bool ChannelPresent(DocumentData& doc, int slot);

// The text a cell shows, as a value: without the blanks that align it, but
// with those that are display positions of a text on the radio (a name's
// leading blank). *blanksCount, when given, says which it is.
std::string CellValueText(const DispatchFunction& cells, const CellDesc& cell,
                          bool* blanksCount = nullptr);

// What a column holds, for a spreadsheet: a number (written as a number,
// with a decimal comma where the spreadsheet wants one), a name (text that
// must stay text) or other text.
enum class ColumnKind { Text, Number, Name };
ColumnKind KindOfColumn(int cell);

// A text of plain digits, with "." and decimals or not: the form in which
// the cells write their numbers. *decimals gets the count after the ".".
bool PlainNumber(const std::string& text, int* decimals = nullptr);

// A name written so that a spreadsheet reading the CSV file keeps it as the
// text it is: one it would read as a number, a date, a truth value or a
// formula ("0123", "1E5", "-5", "=1+1", "@A", "MAR1") is written as the
// formula ="0123", which gives the text itself (its quotes doubled), and
// which the import reads back as the text. Any other name is left as it is.
std::string ProtectedName(const std::string& name);
// The text a ="..." field stands for; any other field as it is.
std::string UnprotectedText(const std::string& field);

}  // namespace parlo
