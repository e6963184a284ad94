// Drawing one cell of a sheet: background, marks, text or display
// characters, glyphs and frame.
#include <algorithm>
#include <cstring>

#include "model/ModelVariant.h"
#include "sheet/CellColours.h"
#include "sheet/DisplayCharacters.h"
#include "sheet/Sheet.h"
#include "sheet/SheetParts.h"

namespace parlo {

using namespace sheet_parts;

namespace {

// Placeholder for a bound cell that has nothing to show.
constexpr const char* kEmptyBoundText = "";

}  // namespace

int Sheet::OwnerOfJoin(int col, int row) const {
    if (col < 0 || col >= cols_) return col;
    int c = col;
    while (c > 0 && Cell(c, row).Join()) --c;
    return c;
}

bool Sheet::Highlighted(int col, int row) const {
    // A grid with nothing to edit has no current cell to show.
    if (!enabled_) return false;
    const Slot& s = slots_[static_cast<size_t>(row * cols_ + col)];
    if ((s.marks & (kMarkMarked | kMarkLine)) && (s.marks & kMarkTakesPart)) return true;
    if (col == col_ && row == row_) return true;
    if (row == row_ && s.desc.Tail()) {
        int c = col;
        while (c > 0 && Cell(c, row).Tail() && !Cell(c, row).Selectable()) --c;
        return c == col_ && Cell(c, row).Selectable();
    }
    return false;
}

std::string Sheet::CellText(int col, int row) {
    const CellDesc& d = Cell(col, row);
    if (!d.Bound()) return d.Text();
    return ShownAnswer(col, row).request.text;
}

CellContext Sheet::ShownAnswer(int col, int row) {
    CellContext ctx = NewContext(col, row);
    if (!Cell(col, row).Bound()) {
        ctx.request.text = Cell(col, row).Text();
        return ctx;
    }
    Dispatch(ctx, kModeDraw);
    return ctx;
}

namespace {

// A rule under the cell: grey (black on paper) under a plain cell, white
// under a coloured one, seen at 3:1 against the cell's background.
void DrawBottomRule(Canvas& canvas, const CellDesc& d, const Rect& cellRect, bool printing,
                    uint32_t background) {
    if (!(d.flagsB & CellDesc::kBottomRule)) return;
    const bool plain = d.colour == paint::kWindow || d.colour == paint::kWhite;
    const uint32_t rule = plain ? (printing ? paint::kBlack : paint::kScreenRule) : paint::kWhite;
    canvas.DrawLine({cellRect.left, cellRect.bottom - 1}, {cellRect.right, cellRect.bottom - 1},
                    RuleOn(background, canvas.Resolve(rule)));
}

// The lines a cell's text takes in `rect`. An explanation line wraps
// within the part of its cells in view, or where that would take more
// lines than its row holds, within `wrapWidth`, as the row was sized.
std::vector<std::string> LinesIn(Canvas& canvas, bool wraps, const Rect& rect,
                                 const std::string& text, int wrapWidth, int scale) {
    if (!wraps) return SplitLines(text);
    std::vector<std::string> lines =
        WrapLines(canvas, text, std::min(rect.Width(), wrapWidth) - 8 * scale);
    int height = 2 * scale;
    for (const std::string& line : lines) height += canvas.TextHeight(line.empty() ? "Ag" : line);
    if (height > rect.Height()) lines = WrapLines(canvas, text, wrapWidth - 8 * scale);
    return lines;
}

// The lines of a cell's text, aligned as the cell says within `rect`.
void DrawTextLines(Canvas& canvas, const CellDesc& d, const Rect& rect,
                   const std::vector<std::string>& lines, uint32_t colour, int scale) {
    int textHeight = 0;
    for (const std::string& line : lines)
        textHeight += canvas.TextHeight(line.empty() ? "Ag" : line);
    int y = rect.top + scale;
    if (d.VAlign() == 1) y = rect.top + (rect.Height() - textHeight + 1) / 2;
    if (d.VAlign() == 2) y = rect.bottom - textHeight - scale;
    for (const std::string& line : lines) {
        const int w = canvas.TextWidth(line);
        int x = rect.left + 4 * scale;
        if (d.HAlign() == 1) x = rect.left + (rect.Width() - w) / 2;
        if (d.HAlign() == 2) x = rect.right - w - 4 * scale + 1;
        if (!line.empty()) canvas.DrawText(x, y, line, colour);
        y += canvas.TextHeight(line.empty() ? "Ag" : line);
    }
}

// A channel whose settings disagree with its signalling carries a mark in
// its corner: red for an error, yellow for a warning.
void DrawWarningMark(Canvas& canvas, const Rect& rect, uint8_t marks) {
    if (!(marks & 0x0C)) return;
    const int size = std::max(4, rect.Height() / 3);
    const uint32_t mark = (marks & 0x08) ? paint::kMarkError : paint::kMarkWarning;
    canvas.FillPolygon(
        {{rect.right - size, rect.top}, {rect.right, rect.top}, {rect.right, rect.top + size}},
        mark);
}

// The drop-down arrow or button bar of a cell that opens something.
void DrawGlyph(Canvas& canvas, const CellDesc& d, const Rect& rect, const CellContext& ctx,
               uint32_t colour, int scale) {
    if (ctx.glyph == Glyph::None) return;
    const bool left = ctx.glyphLeft || d.HAlign() == 2;
    const int size = std::max(4, rect.Height() / 3);
    const int gx = left ? rect.left + 2 * scale : rect.right - size - 2 * scale;
    const int gy = rect.top + (rect.Height() - size / 2) / 2;
    if (ctx.glyph == Glyph::DropDown) {
        canvas.FillPolygon({{gx, gy}, {gx + size, gy}, {gx + size / 2, gy + size / 2}}, colour);
    } else {
        canvas.FillRect({gx, gy, gx + size, gy + size / 2}, colour);
    }
}

}  // namespace

std::vector<std::optional<std::pair<int, int>>> Sheet::ShownRuns(
    int row, const std::vector<int>& cols, const std::vector<int>& lefts) const {
    std::vector<std::optional<std::pair<int, int>>> runs(cols.size());
    for (size_t i = 0; i < cols.size(); ++i) {
        const int owner = OwnerOfJoin(cols[i], row);
        // The owner is the nearest shown column at or before this one that
        // is not a join cell; hidden columns between them do not count.
        size_t first = i;
        while (first > 0 && cols[first] != owner && Cell(cols[first], row).Join()) --first;
        if (cols[first] != owner) continue;
        size_t last = first;
        while (last + 1 < cols.size() && Cell(cols[last + 1], row).Join() &&
               OwnerOfJoin(cols[last + 1], row) == owner)
            ++last;
        // A joined text none of whose continuation is shown (a group head
        // in a fixed column beside another group) is not shown cut: its run
        // is empty.
        const bool cut = first == last && owner + 1 < cols_ && Cell(owner + 1, row).Join();
        const int left = lefts[first];
        runs[i] = std::make_pair(left, cut ? left : lefts[last] + ColWidth(cols[last]));
    }
    return runs;
}

void Sheet::DrawCell(Canvas& canvas, int col, int row, const Rect& cellRect, bool focused,
                     const Rect* run) {
    if (cellRect.Width() <= 0 || cellRect.Height() <= 0 || !built_) return;
    const int owner = OwnerOfJoin(col, row);
    const CellDesc& d = Cell(owner, row);
    // A cell and the join cells after it show one text across all of them:
    // every part lays the text out over the whole run and paints only its
    // own rectangle, so the parts agree whichever of them are in view.
    Rect rect = cellRect;
    if (run != nullptr) {
        rect = *run;
    } else {
        for (int c = owner; c < col; ++c) rect.left -= ColWidth(c);
        for (int c = col + 1; c < cols_ && Cell(c, row).Join(); ++c) rect.right += ColWidth(c);
    }
    canvas.PushClip(cellRect);
    const bool printing = Printing();
    const bool editorOpen = editing_ && editing_->first == owner && editing_->second == row;
    const bool highlighted = !printing && !editorOpen && Highlighted(owner, row);
    const bool strong = highlighted && (focused || params_.pickMode);

    const FontSpec* own = d.EffectiveFont();
    FontSpec font = own != nullptr ? *own : *basic_.font;
    const CellLook look = printing       ? CellLook::Printed
                          : !highlighted ? CellLook::Plain
                          : strong       ? CellLook::Current
                                         : CellLook::CurrentUnfocused;
    const CellPaint colours = PaintOfCell(canvas, d.colour, font.colour, look);
    font.colour = colours.text;
    if (colours.fill) canvas.FillRect(cellRect, colours.background);
    const int scale = Scale();
    DrawBottomRule(canvas, d, cellRect, printing, colours.background);

    std::string text = d.Text();
    CellContext ctx;
    if (d.Bound()) {
        ctx = NewContext(owner, row);
        ctx.canvas = &canvas;
        ctx.rect = rect;
        ctx.highlighted = highlighted;
        ctx.textColour = colours.text;
        Dispatch(ctx, kModeDraw);
        text = ctx.request.text;
        if (text.empty()) text = kEmptyBoundText;
        // A colour the cell asks for (a greyed setting, say) in a shade
        // that reads on the background painted.
        if (ctx.request.fontColour && !strong)
            font.colour = ReadableOn(colours.background, canvas.Resolve(*ctx.request.fontColour));
    }
    canvas.SetFont(font);
    if (run != nullptr && run->Width() <= 0) {
        canvas.PopClip();
        return;
    }
    if (ctx.request.displayBytes) {
        // Texts of the radio's display are shown as the radio shows them,
        // on screen and on paper, scaled to the row.
        Rect box{rect.left + 4 * scale, rect.top + scale, rect.right - 2 * scale,
                 rect.bottom - scale};
        const int width =
            DisplayTextWidth(box.Height(), *ctx.request.displayBytes, MainDisplayGeometry());
        if (d.HAlign() == 1) box.left = rect.left + (rect.Width() - width) / 2;
        if (d.HAlign() == 2) box.left = rect.right - width - 4 * scale;
        PaintDisplayText(canvas, box, *ctx.request.displayBytes, MainDisplayGeometry(),
                         UserCharacters(Document().Working()), font.colour);
        DrawWarningMark(canvas, rect, ctx.warningMarks);
        canvas.PopClip();
        return;
    }
    DrawTextLines(canvas, d, rect,
                  LinesIn(canvas, WrapsText(owner, row), rect, text,
                          WrapWidth(canvas, RunWidth(owner, row)), scale),
                  font.colour, scale);
    DrawWarningMark(canvas, rect, ctx.warningMarks);
    DrawGlyph(canvas, d, rect, ctx, font.colour, scale);
    canvas.PopClip();
}

}  // namespace parlo
