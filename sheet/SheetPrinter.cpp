#include "sheet/SheetPrinter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "overlay/OverlayText.h"
#include "platform/NumberText.h"
#include "sheet/CellColours.h"
#include "sheet/SheetFactory.h"

namespace parlo {

namespace {

constexpr double kInchPerMillimetre = 0.03937007874015748;
constexpr int kMaxShrinks = 3;

int PointsToHeight(int points, int resolution) { return -(points * resolution / 72); }

std::vector<int> Fields(const std::string& text) {
    std::vector<int> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        fields.push_back(LeadingInteger(text.substr(start, comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    fields.resize(4, 0);
    return fields;
}

}  // namespace

Rect PageRectFromMargins(const std::string& margins, int resolution, int pageWidth,
                         int pageHeight) {
    const std::vector<int> m = Fields(margins);
    auto units = [&](int mm) { return static_cast<int>(mm * resolution * kInchPerMillimetre); };
    return Rect{units(m[0]), units(m[1]), pageWidth - units(m[2]), pageHeight - units(m[3])};
}

PageChunks CutIntoPages(const Sheet& sheet, int innerWidth, int innerHeight) {
    PageChunks chunks;
    int fixedWidth = 0, fixedHeight = 0;
    for (int c = 0; c < sheet.FixedCols(); ++c) fixedWidth += sheet.ColWidth(c);
    for (int r = 0; r < sheet.FixedRows(); ++r) fixedHeight += sheet.RowHeight(r);
    // A page may end only before a column whose fixed-row cells join none
    // of their left neighbours, so joined heads stay together.
    auto mayEndBefore = [&](int col) {
        for (int r = 0; r < sheet.FixedRows(); ++r) {
            if (sheet.Cell(col, r).Join()) return false;
        }
        return true;
    };
    for (int c = sheet.FixedCols(); c < sheet.ColCount();) {
        int width = fixedWidth, count = 0, lastBreak = 0;
        while (c + count < sheet.ColCount()) {
            const int next = c + count;
            // Past the page's width the chunk ends at the last place it may;
            // before there is one, joined columns come along regardless.
            if (count > 0 && width + sheet.ColWidth(next) > innerWidth && lastBreak > 0) break;
            width += sheet.ColWidth(next);
            ++count;
            if (c + count == sheet.ColCount() || mayEndBefore(c + count)) lastBreak = count;
        }
        const int taken = lastBreak > 0 ? lastBreak : count;
        chunks.columns.push_back(taken);
        c += taken;
    }
    for (int r = sheet.FixedRows(); r < sheet.RowCount();) {
        int height = fixedHeight, count = 0;
        while (r + count < sheet.RowCount() &&
               (count == 0 || height + sheet.RowHeight(r + count) <= innerHeight)) {
            height += sheet.RowHeight(r + count);
            ++count;
        }
        chunks.rows.push_back(count);
        r += count;
    }
    return chunks;
}

SheetPrinter::SheetPrinter(PrinterPage& printer, DocumentScope scope, DispatchFunction dispatcher)
    : printer_(printer), scope_(scope), dispatcher_(std::move(dispatcher)) {}

std::unique_ptr<Sheet> SheetPrinter::BuildSheet(const std::string& action, int fontHeight) {
    Sheet::Params params;
    params.overlay = &MainOverlay();
    params.printerFontHeight = fontHeight;
    params.printScale = std::max(1, printer_.Resolution() / 120);
    auto sheet = CreateSheet(action, params, scope_, dispatcher_);
    sheet->Build(printer_.PageCanvas());
    return sheet;
}

Rect SheetPrinter::InnerRect(const Rect& page) {
    FontSpec frame;
    frame.SetSize(LeadingInteger(OvlText("GI_Sys_Printer_FrameFont")), printer_.Resolution());
    frameHeight_ = std::abs(frame.height);
    const int a = static_cast<int>(frameHeight_ * 0.1 + 1);
    return Rect{page.left, page.top + frameHeight_ + 6 * a, page.right,
                page.bottom - frameHeight_ - 6 * a};
}

void SheetPrinter::DrawFrame(const Sheet& sheet, const Rect& page) {
    Canvas& canvas = printer_.PageCanvas();
    FontSpec frame;
    frame.height = -frameHeight_;
    frame.colour = 0x000000;
    canvas.SetFont(frame);
    const int h = frameHeight_;
    const int a = static_cast<int>(h * 0.1 + 1);
    canvas.DrawText(page.left, page.top, sheet.PrintHeadText(), 0x000000);
    const std::string revision = OvlText("GI_Sys_AppTitleRev");
    canvas.DrawText(page.right - 1 - canvas.TextWidth(revision), page.top, revision, 0x000000);
    canvas.FillRect({page.left, page.top + h + a, page.right, page.top + h + 2 * a}, 0x000000);
    const std::string maker = OvlText("GI_Sys_Maker");
    canvas.DrawText(page.right - 1 - canvas.TextWidth(maker), page.bottom - h - 1, maker, 0x000000);
    canvas.FillRect({page.left, page.bottom - h - 2 * a, page.right, page.bottom - h - a},
                    0x000000);
}

Rect SheetPrinter::Measure(const Sheet& sheet, int firstCol, int cols, int firstRow, int rows,
                           const Rect& inner) {
    int width = 0, height = 0;
    for (int c = 0; c < sheet.FixedCols(); ++c) width += sheet.ColWidth(c);
    for (int c = firstCol; c < firstCol + cols; ++c) width += sheet.ColWidth(c);
    for (int r = 0; r < sheet.FixedRows(); ++r) height += sheet.RowHeight(r);
    for (int r = firstRow; r < firstRow + rows; ++r) height += sheet.RowHeight(r);
    return Rect{inner.left, inner.top, inner.left + std::max(1, width),
                inner.top + std::max(1, height)};
}

void SheetPrinter::DrawChunk(Sheet& sheet, int firstCol, int cols, int firstRow, int rows,
                             const Rect& inner) {
    std::vector<int> columns, rowList;
    for (int c = 0; c < sheet.FixedCols(); ++c) columns.push_back(c);
    for (int c = firstCol; c < firstCol + cols && c < sheet.ColCount(); ++c) columns.push_back(c);
    for (int r = 0; r < sheet.FixedRows(); ++r) rowList.push_back(r);
    for (int r = firstRow; r < firstRow + rows && r < sheet.RowCount(); ++r) rowList.push_back(r);
    std::vector<int> lefts;
    int x = inner.left;
    for (int c : columns) {
        lefts.push_back(x);
        x += sheet.ColWidth(c);
    }
    int y = inner.top;
    for (int r : rowList) {
        // A text that starts in a fixed column runs on over the columns of
        // this page, not over the ones printed on an earlier page.
        const auto runs = sheet.ShownRuns(r, columns, lefts);
        const int bottom = y + sheet.RowHeight(r);
        for (size_t i = 0; i < columns.size(); ++i) {
            const int c = columns[i];
            const Rect cell{lefts[i], y, lefts[i] + sheet.ColWidth(c), bottom};
            if (runs[i]) {
                const Rect run{runs[i]->first, y, runs[i]->second, bottom};
                sheet.DrawCell(printer_.PageCanvas(), c, r, cell, false, &run);
            } else {
                sheet.DrawCell(printer_.PageCanvas(), c, r, cell, false);
            }
        }
        DrawRules(sheet, r, columns, lefts, y, bottom, y == inner.top);
        y = bottom;
    }
}

// Thin rules around every cell, as the screen's grid lines: a row can be
// followed across its page and over the pages that go on with it. Joined
// cells stay one.
void SheetPrinter::DrawRules(const Sheet& sheet, int row, const std::vector<int>& columns,
                             const std::vector<int>& lefts, int top, int bottom, bool firstRow) {
    if (columns.empty()) return;
    Canvas& canvas = printer_.PageCanvas();
    const int t = std::max(1, sheet.Scale() / 2);
    const int left = lefts.front();
    const int right = lefts.back() + sheet.ColWidth(columns.back());
    if (firstRow) canvas.FillRect({left, top, right, top + t}, paint::kPrintGrid);
    canvas.FillRect({left, bottom - t, right, bottom}, paint::kPrintGrid);
    canvas.FillRect({left, top, left + t, bottom}, paint::kPrintGrid);
    for (size_t i = 0; i < columns.size(); ++i) {
        const bool joinedOn = i + 1 < columns.size() && sheet.Cell(columns[i + 1], row).Join();
        if (joinedOn) continue;
        const int edge = lefts[i] + sheet.ColWidth(columns[i]);
        canvas.FillRect({edge - t, top, edge, bottom}, paint::kPrintGrid);
    }
}

// Explanation lines wrap within the narrowest page's table: every page that
// repeats one from the fixed columns shows it whole. Whether a row grew.
bool SheetPrinter::WrapWithinPages(Sheet& sheet, const PageChunks& chunks) {
    int fixed = 0;
    for (int c = 0; c < sheet.FixedCols(); ++c) fixed += sheet.ColWidth(c);
    int narrowest = 0;
    int col = sheet.FixedCols();
    for (int cols : chunks.columns) {
        int width = fixed;
        for (int c = col; c < col + cols && c < sheet.ColCount(); ++c) width += sheet.ColWidth(c);
        narrowest = narrowest == 0 ? width : std::min(narrowest, width);
        col += cols;
    }
    return narrowest > 0 && sheet.WrapWithin(printer_.PageCanvas(), narrowest);
}

bool SheetPrinter::StopBeforePage() {
    if (!cancelled_ && cancelCheck_ && cancelCheck_()) cancelled_ = true;
    return cancelled_;
}

int SheetPrinter::Print(const std::string& action, const Rect& page) {
    int fontHeight =
        PointsToHeight(LeadingInteger(OvlText("GI_Sys_Printer_FontPoints")), printer_.Resolution());
    auto sheet = BuildSheet(action, fontHeight);
    const Rect inner = InnerRect(page);
    PageChunks chunks = CutIntoPages(*sheet, inner.Width(), inner.Height());
    // Rows grown for wrapped lines take more of the pages.
    if (WrapWithinPages(*sheet, chunks))
        chunks = CutIntoPages(*sheet, inner.Width(), inner.Height());
    int printed = 0;
    int firstRow = sheet->FixedRows();
    for (int rows : chunks.rows) {
        int firstCol = sheet->FixedCols();
        for (int cols : chunks.columns) {
            if (StopBeforePage() || !sheet->Printable()) return printed;
            for (int shrink = 0; shrink < kMaxShrinks; ++shrink) {
                const Rect need = Measure(*sheet, firstCol, cols, firstRow, rows, inner);
                if (need.Height() <= inner.Height() && need.Width() <= inner.Width()) break;
                const double factor = std::min(static_cast<double>(inner.Height()) / need.Height(),
                                               static_cast<double>(inner.Width()) / need.Width());
                fontHeight = -static_cast<int>(std::abs(fontHeight) * factor);
                if (fontHeight == 0) fontHeight = -1;
                sheet = BuildSheet(action, fontHeight);
                WrapWithinPages(*sheet, chunks);
            }
            if (StopBeforePage() || !sheet->Printable()) return printed;
            if (pages_ > 0) printer_.NewPage();
            DrawFrame(*sheet, page);
            DrawChunk(*sheet, firstCol, cols, firstRow, rows, inner);
            ++printed;
            ++pages_;
            firstCol += cols;
        }
        firstRow += rows;
    }
    return printed;
}

}  // namespace parlo
