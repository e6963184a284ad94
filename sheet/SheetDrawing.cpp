// Drawing one cell of a sheet: background, marks, text or display
// characters, glyphs and frame.
#include <algorithm>
#include <cstring>

#include "model/ModelVariant.h"
#include "sheet/DisplayCharacters.h"
#include "sheet/Sheet.h"
#include "sheet/SheetParts.h"

namespace parlo {

using namespace sheet_parts;

namespace {

constexpr uint32_t kClHighlight = kSystemColour + 13;
constexpr uint32_t kClHighlightText = kSystemColour + 14;
constexpr uint32_t kClWhite = 0xFFFFFF;
constexpr uint32_t kClGrey = 0x808080;
constexpr uint32_t kClSilver = 0xC0C0C0;
constexpr uint32_t kPrintDark = 0x606060;
constexpr uint32_t kClBlack = 0x000000;

// The least contrast against the cell's background: rules and the display
// characters are seen at 3:1, text is read at 4.5:1.
constexpr double kRuleContrast = 3.0;
constexpr double kTextContrast = 4.5;

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

// The background of a cell and the colour its text takes on it.
uint32_t PaintColours(const CellDesc& d, bool printing, bool highlighted, bool strong,
                      FontSpec& font) {
    uint32_t background = d.colour;
    if (printing) {
        const bool plain = d.colour == kClWindow || d.colour == kClWhite;
        background = plain ? kClWhite : kPrintDark;
        if (!plain) font.colour = kClWhite;
    } else if (highlighted) {
        background = strong ? kClHighlight : kClBtnFace;
        if (strong) {
            font.colour = kClHighlightText;
        } else if (font.colour == kClBtnFace || font.colour == kClSilver ||
                   font.colour == kClGrayText) {
            font.colour = kClWindow;
        }
    }
    return background;
}

void DrawBottomRule(Canvas& canvas, const CellDesc& d, const Rect& cellRect, bool printing,
                    uint32_t background) {
    if (!(d.flagsB & CellDesc::kBottomRule)) return;
    const bool plain = d.colour == kClWindow || d.colour == kClWhite;
    const uint32_t rule = canvas.Legible(plain ? (printing ? kClBlack : kClGrey) : kClWhite,
                                         background, kRuleContrast);
    canvas.DrawLine({cellRect.left, cellRect.bottom - 1}, {cellRect.right, cellRect.bottom - 1},
                    rule);
}

// The lines of a cell's text, aligned as the cell says within `rect`.
void DrawTextLines(Canvas& canvas, const CellDesc& d, const Rect& rect, const std::string& text,
                   uint32_t colour, int scale) {
    const std::vector<std::string> lines = SplitLines(text);
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
    const uint32_t mark = (marks & 0x08) ? 0x0000FF : 0x00C0FF;
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
    const uint32_t background = PaintColours(d, printing, highlighted, strong, font);
    if (background != kClWhite) canvas.FillRect(cellRect, background);
    const int scale = Scale();
    DrawBottomRule(canvas, d, cellRect, printing, background);

    std::string text = d.Text();
    CellContext ctx;
    if (d.Bound()) {
        ctx = NewContext(owner, row);
        ctx.canvas = &canvas;
        ctx.rect = rect;
        ctx.highlighted = highlighted;
        Dispatch(ctx, kModeDraw);
        text = ctx.request.text;
        if (text.empty()) text = kEmptyBoundText;
        if (ctx.request.fontColour && !strong) font.colour = *ctx.request.fontColour;
    }
    font.colour = canvas.Legible(font.colour, background, kTextContrast);
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
    DrawTextLines(canvas, d, rect, text, font.colour, scale);
    DrawWarningMark(canvas, rect, ctx.warningMarks);
    DrawGlyph(canvas, d, rect, ctx, font.colour, scale);
    canvas.PopClip();
}

}  // namespace parlo
