#pragma once
// Workbooks in the Office Open XML form (.xlsx) that spreadsheets open with
// every cell typed as it was written: a text stays a text ("0123", "=1+1"
// are names, not a number or a formula), a number is a number shown with
// its decimals. Written and read through maintained libraries, in a module
// loaded on first use (platform/xlsx/WorkbookModule.h); numbers in the file
// always have "." before their decimals, whatever the locale.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parlo {

struct WorkbookCell {
    std::string text;
    // A number cell (text holds it with "." and `decimals` decimals), else
    // a cell formatted as text.
    bool number = false;
    int decimals = 0;
};

class WorkbookWriter {
public:
    WorkbookWriter();
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // Starts a sheet (a name of at most 31 characters, none of []:*?/\);
    // the first row added to it is its header, kept in view while it scrolls.
    void AddSheet(const std::string& name);
    void AddRow(const std::vector<WorkbookCell>& cells);
    // The workbook's bytes; false, with the reason in *error, when the
    // library could not make it (or could not be loaded).
    bool Finish(std::string* bytes, std::string* error);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Loads the workbook libraries, once: false, with the reason in *error, when
// they cannot be loaded (an installation without them), before anything is
// made or read.
bool LoadWorkbookLibraries(std::string* error);

// The start of a workbook file (a zip archive): "PK\3\4".
bool LooksLikeWorkbook(std::string_view start);

// Hands every row of every sheet of a workbook to `row`, sheet by sheet in
// their order and row by row: the sheet's name, its position (from 0), the
// row's number (from 1) and its cells' texts, from column A on (an empty
// cell is an empty text). A number is written as the shortest text that
// reads back as the same number, in plain digits with "."; a formula gives
// the result it was saved with. False, with the reason in *error, for a
// file that is not a workbook that can be read.
using WorkbookRow = std::function<void(const std::string& sheet, int sheetIndex, int row,
                                       const std::vector<std::string>& cells)>;
bool ReadWorkbook(std::string_view bytes, const WorkbookRow& row, std::string* error);

}  // namespace parlo
