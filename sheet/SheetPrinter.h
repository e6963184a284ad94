#pragma once
// Prints one sheet: builds it afresh for the printer, cuts it into pages
// along columns and rows (the fixed rows and columns on every page), shrinks
// the font where a page's part does not fit, and draws each page with a
// head and a foot line.
#include <functional>
#include <string>
#include <vector>

#include "cells/CellContext.h"
#include "platform/PrinterPage.h"
#include "sheet/Sheet.h"

namespace parlo {

// The page rectangle inside the margins "left, top, right, bottom" (mm).
Rect PageRectFromMargins(const std::string& margins, int resolution, int pageWidth, int pageHeight);

// The page chunks of a built sheet: counts of columns per page across and
// of rows per page down, for an inner rectangle of the given size.
struct PageChunks {
    std::vector<int> columns;
    std::vector<int> rows;
};
PageChunks CutIntoPages(const Sheet& sheet, int innerWidth, int innerHeight);

class SheetPrinter {
public:
    SheetPrinter(PrinterPage& printer, DocumentScope scope, DispatchFunction dispatcher);

    // Prints the sheet a node action names; returns the pages printed. A
    // page is started before every page but the very first of the job.
    int Print(const std::string& action, const Rect& page);

    void Cancel() { cancelled_ = true; }
    // Asked before every page: true cancels the job there, also between the
    // pages of one sheet.
    void SetCancelCheck(std::function<bool()> check) { cancelCheck_ = std::move(check); }
    bool Cancelled() const { return cancelled_; }
    int PagesPrinted() const { return pages_; }

private:
    std::unique_ptr<Sheet> BuildSheet(const std::string& action, int fontHeight);
    Rect InnerRect(const Rect& page);
    void DrawFrame(const Sheet& sheet, const Rect& page);
    Rect Measure(const Sheet& sheet, int firstCol, int cols, int firstRow, int rows,
                 const Rect& inner);
    void DrawChunk(Sheet& sheet, int firstCol, int cols, int firstRow, int rows, const Rect& inner);
    bool WrapWithinPages(Sheet& sheet, const PageChunks& chunks);
    void DrawRules(const Sheet& sheet, int row, const std::vector<int>& columns,
                   const std::vector<int>& lefts, int top, int bottom, bool firstRow);
    bool StopBeforePage();

    PrinterPage& printer_;
    DocumentScope scope_;
    DispatchFunction dispatcher_;
    std::function<bool()> cancelCheck_;
    bool cancelled_ = false;
    int pages_ = 0;
    int frameHeight_ = 0;
};

}  // namespace parlo
