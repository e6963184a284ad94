// Sizing a built sheet to what it shows: columns as wide as the longest
// text their cells can show, rows as high as the explanation lines that
// wrap in them.
#include <algorithm>
#include <map>

#include "codecs/OverlayList.h"
#include "sheet/Sheet.h"
#include "sheet/SheetParts.h"

namespace parlo {

namespace {

// A wrapped line is at least this many "M" wide, where its text is longer,
// and at most the longer measure: a line across a wide table would run on
// past the part of it a window or a page shows.
constexpr int kReadableLineEms = 20;
constexpr int kLongestLineEms = 60;

}  // namespace

namespace sheet_parts {

std::vector<std::string> WrapLines(Canvas& canvas, const std::string& text, int width) {
    std::vector<std::string> lines;
    for (const std::string& paragraph : SplitLines(text)) {
        std::string line;
        size_t start = 0;
        for (;;) {
            const size_t blank = paragraph.find(' ', start);
            const std::string word = paragraph.substr(start, blank - start);
            const std::string longer = line.empty() ? word : line + ' ' + word;
            // A word wider than the width stays whole on a line of its own.
            if (line.empty() || canvas.TextWidth(longer) <= width) {
                line = longer;
            } else {
                lines.push_back(line);
                line = word;
            }
            if (blank == std::string::npos) break;
            start = blank + 1;
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace sheet_parts

using sheet_parts::WrapLines;

bool Sheet::WrapsText(int col, int row) const {
    const CellDesc& d = Cell(col, row);
    if ((d.flagsB & CellDesc::kFitWidth) || d.Join()) return false;
    if (!d.Bound()) return !d.Text().empty();
    // A text the dispatcher gives that runs on over joined cells is an
    // explanation line too (the New row's hint).
    return col + 1 < cols_ && Cell(col + 1, row).Join();
}

int Sheet::RunWidth(int col, int row) const {
    int width = ColWidth(col);
    for (int c = col + 1; c < cols_ && Cell(c, row).Join(); ++c) width += ColWidth(c);
    return width;
}

int Sheet::WrapWidth(Canvas& canvas, int runWidth) const {
    int width = std::min(runWidth, kLongestLineEms * canvas.TextWidth("M") + 8 * Scale());
    if (wrapLimit_ > 0) width = std::min(width, wrapLimit_);
    return width;
}

bool Sheet::WrapWithin(Canvas& measure, int width) {
    wrapLimit_ = width;
    return GrowWrappedRows(measure, false);
}

// A column sized by a sample text ("000") widens to the longest value its
// cells show now or may show: every item of the lists they choose from.
void Sheet::FitColumnsToTexts(Canvas& measure) {
    const int padding = 8 * Scale();
    std::map<std::pair<std::string, const FontSpec*>, int> listWidths;
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            const CellDesc& d = Cell(c, r);
            if (!d.Bound() || !(d.flagsB & CellDesc::kFitWidth)) continue;
            CellContext ctx = NewContext(c, r);
            Dispatch(ctx, kModeDraw);
            if (ctx.request.displayBytes) continue;  // sized by the sample
            const FontSpec* font =
                d.EffectiveFont() != nullptr ? d.EffectiveFont() : basic_.font.get();
            measure.SetFont(*font);
            int widest = 0;
            for (const std::string& line : sheet_parts::SplitLines(ctx.request.text))
                widest = std::max(widest, measure.TextWidth(line));
            if (!ctx.request.choices.empty()) {
                auto [it, fresh] = listWidths.try_emplace({ctx.request.choices, font}, 0);
                if (fresh) {
                    const int count = ListCount(ctx.request.choices);
                    for (int i = 0; i < count; ++i)
                        it->second = std::max(it->second,
                                              measure.TextWidth(*ListItem(ctx.request.choices, i)));
                }
                widest = std::max(widest, it->second);
            }
            int& w = colWidths_[static_cast<size_t>(c)];
            w = std::max(w, widest + padding);
        }
    }
}

// An explanation line longer than the cells it spans wraps at blanks, and
// its row grows to hold every line. Cells narrower than a readable line
// first widen (their last column) towards one.
void Sheet::FitWrappedRows(Canvas& measure) {
    const int padding = 8 * Scale();
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            if (!WrapsText(c, r)) continue;
            const CellDesc& d = Cell(c, r);
            const FontSpec* font = d.EffectiveFont();
            measure.SetFont(font != nullptr ? *font : *basic_.font);
            int widest = 0;
            for (const std::string& line : sheet_parts::SplitLines(CellText(c, r)))
                widest = std::max(widest, measure.TextWidth(line));
            const int wanted =
                std::min(widest, kReadableLineEms * measure.TextWidth("M")) + padding;
            const int run = RunWidth(c, r);
            if (run < wanted) {
                int last = c;
                while (last + 1 < cols_ && Cell(last + 1, r).Join()) ++last;
                colWidths_[static_cast<size_t>(last)] += wanted - run;
            }
        }
    }
    unwrappedHeights_ = rowHeights_;
    GrowWrappedRows(measure, false);
}

// Each row with an explanation line as high as its lines, wrapped as they
// are drawn (and at least as its other cells need); with `liveOnly`, only
// the rows of texts the dispatcher gives. Whether a row changed.
bool Sheet::GrowWrappedRows(Canvas& measure, bool liveOnly) {
    const int padding = 8 * Scale();
    bool changed = false;
    for (int r = 0; r < rows_ && static_cast<size_t>(r) < unwrappedHeights_.size(); ++r) {
        bool wraps = false, live = false;
        for (int c = 0; c < cols_; ++c) {
            if (!WrapsText(c, r)) continue;
            wraps = true;
            live = live || Cell(c, r).Bound();
        }
        if (!wraps || (liveOnly && !live)) continue;
        int height = unwrappedHeights_[static_cast<size_t>(r)];
        for (int c = 0; c < cols_; ++c) {
            if (!WrapsText(c, r)) continue;
            const FontSpec* font = Cell(c, r).EffectiveFont();
            measure.SetFont(font != nullptr ? *font : *basic_.font);
            const int width = WrapWidth(measure, RunWidth(c, r)) - padding;
            int lines = 2 * Scale();
            for (const std::string& line : WrapLines(measure, CellText(c, r), width))
                lines += measure.TextHeight(line.empty() ? "Ag" : line);
            height = std::max(height, lines);
        }
        int& h = rowHeights_[static_cast<size_t>(r)];
        changed = changed || h != height;
        h = height;
    }
    return changed;
}

bool Sheet::FitLiveExplanations(Canvas& canvas) { return GrowWrappedRows(canvas, true); }

}  // namespace parlo
