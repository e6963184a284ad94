#pragma once
// Channels in and out as tables, for spreadsheets and other programs. A
// table of this program has one row per channel, "Bank" and "Position"
// first, then one column per column of the bank sheet, headed as the sheet
// heads it and holding the text its cell shows; it comes as CSV (with ","
// or, for spreadsheets of comma-decimal desktops, ";" and decimal commas)
// or as a workbook with one sheet per bank and typed cells. The channel
// lists of the CHIRP program are read and written in that program's own
// CSV form (app/ChirpTable.h).
//
// Reading types every value into its cell as the in-place editor does,
// bank by bank; a value that means what the cell holds leaves it alone; a
// table any of whose values is refused changes nothing.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/ChannelColumns.h"
#include "app/ChannelImport.h"
#include "app/Document.h"

namespace parlo {

struct TableExport {
    TableFormat format = TableFormat::Csv;
    // CSV: ",", ";" (numbers then take a decimal comma) or a tab.
    char separator = ',';
    std::optional<int> bank;  // one bank (0-4), or every bank
};

struct ExportOutcome {
    std::string bytes;               // the file
    std::vector<std::string> notes;  // what the format could not take
    std::string error;               // the file could not be made
    bool librariesMissing = false;   // for want of the workbook libraries
    bool Ok() const { return error.empty(); }
};

ExportOutcome ExportChannelTable(Document& doc, const DispatchFunction& cells,
                                 const TableExport& how);
// The channels present in one bank (0-4) or in every bank, as CSV with ",".
std::string ExportChannels(Document& doc, const DispatchFunction& cells,
                           std::optional<int> bank = std::nullopt);

// What a CHIRP list takes: the bank its channels go to, from the bank's
// first position on, and the Locations picked (ranges, ends included; none:
// every row). Tables of this program say themselves where rows go, and
// ignore both.
struct TableImport {
    std::optional<int> bank;  // 0-4; bank 1 when none is given
    std::vector<std::pair<int64_t, int64_t>> locations;
};

// Types the values of a CSV table (of either kind) into the working image.
// On any refusal the working image is put back as it was.
ImportOutcome ImportChannels(Document& doc, const DispatchFunction& cells, const std::string& csv,
                             const TableImport& how = {});
// The same from a file: a workbook or a CSV table, read as it streams in.
// A file named .xlsx that is no workbook is refused, not read as text.
ImportOutcome ImportChannelFile(Document& doc, const DispatchFunction& cells,
                                const std::string& path, const TableImport& how = {});

// A path whose extension is .xlsx, in any case.
bool NamesAWorkbook(const std::string& path);

}  // namespace parlo
