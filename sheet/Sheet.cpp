#include "sheet/Sheet.h"

#include <algorithm>

#include "model/DocumentData.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"
#include "sheet/SheetParts.h"

namespace parlo {

using sheet_parts::SplitLines;

namespace sheet_parts {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t nl = text.find('\n', start);
        lines.push_back(text.substr(start, nl == std::string::npos ? nl : nl - start));
        if (nl == std::string::npos) return lines;
        start = nl + 1;
    }
}

}  // namespace sheet_parts

namespace {

// Each "(...)" group of a text, parentheses matched without escapes.
std::vector<std::string> Groups(const std::string& text) {
    std::vector<std::string> groups;
    size_t i = 0;
    while ((i = text.find('(', i)) != std::string::npos) {
        const size_t close = text.find(')', i + 1);
        groups.push_back(text.substr(i + 1, close == std::string::npos ? close : close - i - 1));
        if (close == std::string::npos) break;
        i = close + 1;
    }
    return groups;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

std::string ValueOf(const std::string& option) {
    const size_t eq = option.find('=');
    return eq == std::string::npos ? std::string() : option.substr(eq + 1);
}

}  // namespace

Sheet::Sheet(Params params, DocumentScope scope, DispatchFunction dispatcher)
    : params_(std::move(params)),
      scope_(scope),
      dispatcher_(std::move(dispatcher)),
      parser_(params_.overlay != nullptr ? *params_.overlay : MainOverlay()) {
    if (params_.overlay == nullptr) params_.overlay = &MainOverlay();
}

Sheet::~Sheet() = default;

// ---- Building -------------------------------------------------------------

void Sheet::Build(Canvas& measure) {
    ReadStyle();
    ReadBasicCell();
    ReadRows();
    ParseCells(measure);
    fixedCols_ = std::max(0, std::min(style_.fixedCols, cols_ - 1));
    fixedRows_ = std::max(0, std::min(style_.fixedRows, rows_ - 1));
    leftCol_ = fixedCols_;
    topRow_ = fixedRows_;
    built_ = true;
    Normalise();
    if (params_.startCell != 0) {
        bool found = false;
        for (int r = 0; r < rows_ && !found; ++r) {
            for (int c = 0; c < cols_ && !found; ++c) {
                const CellDesc& d = Cell(c, r);
                if (d.Selectable() && d.cell == params_.startCell &&
                    d.index == params_.startIndex) {
                    col_ = c, row_ = r, found = true;
                }
            }
        }
    }
    rememberedCol_ = anchorCol_ = col_;
    rememberedRow_ = anchorRow_ = row_;
    enabled_ = Cell(col_, row_).Selectable();
    {
        const ReadingPass reading(Document());
        FitColumnsToTexts(measure);
        FitWrappedRows(measure);
    }
    AfterBuild();
    if (view_ != nullptr) view_->InvalidateAll();
}

void Sheet::ReadStyle() {
    const std::string line = SectionLine("_Style", 0);
    for (const std::string& option : Groups(line)) HandleOption(option);
}

void Sheet::HandleOption(const std::string& option) {
    if (StartsWith(option, "TitleString")) {
        style_.title = ValueOf(option);
    } else if (StartsWith(option, "TitleColor")) {
        if (auto c = ColourByName(ValueOf(option))) style_.titleColour = *c;
    } else if (StartsWith(option, "TitleFont")) {
        style_.titleFont = std::make_unique<FontSpec>();
        ApplyFontSpec(*style_.titleFont, ValueOf(option));
    } else if (StartsWith(option, "FixedCols")) {
        style_.fixedCols = LeadingInteger(ValueOf(option));
    } else if (StartsWith(option, "FixedRows")) {
        style_.fixedRows = LeadingInteger(ValueOf(option));
    } else if (option == "NoPrint") {
        style_.noPrint = true;
    } else if (StartsWith(option, "PrintFontRatio")) {
        style_.printFontRatio = LeadingInteger(ValueOf(option));
    } else if (StartsWith(option, "MultiSelect")) {
        const std::string v = ValueOf(option);
        style_.multiSelect = v == "Cell" ? 1 : v == "Line" ? 2 : 0;
    }
}

void Sheet::ReadBasicCell() {
    std::string line = SectionLine("_BasicCell", 0);
    if (Printing()) {
        line += Format("{(Font=,,,%d,,,)}", *params_.printerFontHeight);
        if (style_.printFontRatio != 100)
            line += Format("{(Font=,,,%%%d,,,)}", style_.printFontRatio);
    } else {
        line += Format("{(Font=,,,%%%d,,,)}", params_.fontPercent);
    }
    parser_.ParseCell(line, basic_, nullptr, counters_);
    if (!basic_.font) basic_.font = std::make_unique<FontSpec>();
}

int Sheet::DirectiveNumber(const std::string& directive) {
    const size_t blank = directive.find(' ');
    return blank == std::string::npos
               ? 0
               : LeadingInteger(std::string_view(directive).substr(blank + 1));
}

void Sheet::StartLoop(int line, int count) {
    loopStart_ = line;
    loopCount_ = std::max(1, count);
}

void Sheet::HandleDirective(const std::string& d) {
    const std::string name = d.substr(0, d.find(' '));
    const int variant = Document().Variant();
    const int n = DirectiveNumber(d);
    if (name == "Only_DPmr446") {
        if (variant != kVariantDPmr446) SkipLines(n);
    } else if (name == "Only_notDPmr446") {
        if (variant == kVariantDPmr446) SkipLines(n);
    } else if (name == "Only_EEDIT") {
        // The lines of an EEPROM-edit mode, which this program does not have.
        SkipLines(n);
    } else if (name == "Only_notEEDIT") {
        // Kept, for the same reason.
    } else if (name == "LoopFrom") {
        StartLoop(currentLine_, n);
    } else if (name == "LoopTo") {
        loopEnd_ = currentLine_;
    } else if (name == "SelectON") {
        selectState_ = true;
    } else if (name == "SelectOFF") {
        selectState_ = false;
    }
}

std::string Sheet::SectionLine(const std::string& suffix, int index) {
    return params_.overlay->GetText(params_.key + suffix, index);
}

void Sheet::ReadRows() {
    size_t loopFirstRow = 0;
    int loopStartSeen = -1;
    for (int i = 0;; ++i) {
        const std::string line = SectionLine("_Cells", i);
        if (!line.empty() && line[0] == '#') break;
        currentLine_ = i;
        if (skipCount_ > 0) {
            --skipCount_;
            continue;
        }
        if (!line.empty() && line[0] == ':') {
            for (const std::string& directive : Groups(line.substr(1))) {
                HandleDirective(directive);
                if (loopStart_ >= 0 && loopStart_ != loopStartSeen) {
                    loopStartSeen = loopStart_;
                    loopFirstRow = rowList_.size();
                }
            }
            if (loopStart_ >= 0 && loopEnd_ >= 0 && loopCount_ > 0) {
                const size_t bodyRows = rowList_.size() - loopFirstRow;
                for (int rep = 1; rep < loopCount_; ++rep) {
                    for (size_t j = 0; j < bodyRows; ++j)
                        rowList_.push_back({loopStart_ + 1 + static_cast<int>(j), selectState_});
                }
                loopStart_ = loopEnd_ = loopCount_ = -1;
                loopStartSeen = -1;
            }
            continue;
        }
        rowList_.push_back({i, selectState_});
    }
    for (const RowEntry& r : rowList_)
        cols_ = std::max(cols_, CellParser::CountCells(SectionLine("_Cells", r.line)));
    SetRowCount(static_cast<int>(rowList_.size()));
    if (rows_ == 0 || cols_ == 0) fatal("Illegal Cell assign");
}

void Sheet::SetRowCount(int rows) {
    rows_ = rows;
    if (view_ != nullptr && built_) view_->RowCountChanged();
}

void Sheet::ParseCells(Canvas& measure) {
    const int described = rows_;
    const int allocated = std::max(described, ExtraRows());
    slots_.assign(static_cast<size_t>(cols_ * allocated), Slot{});
    const int scale = Scale();
    measure.SetFont(*basic_.font);
    colWidths_.assign(static_cast<size_t>(cols_), 16 * scale);
    rowHeights_.assign(static_cast<size_t>(allocated), measure.TextHeight("Ag") + 2 * scale);
    for (int r = 0; r < allocated; ++r) {
        const bool copied =
            r >= described || (r > 0 && rowList_[static_cast<size_t>(r)].line ==
                                            rowList_[static_cast<size_t>(r - 1)].line);
        if (r < described) BeforeRow(r);
        if (copied) {
            for (int c = 0; c < cols_; ++c) {
                Slot& s = slots_[static_cast<size_t>(r * cols_ + c)];
                s = slots_[static_cast<size_t>((r - 1) * cols_ + c)];
                s.desc.index += 1;
            }
            rowHeights_[static_cast<size_t>(r)] = rowHeights_[static_cast<size_t>(r - 1)];
            continue;
        }
        std::string rest = SectionLine("_Cells", rowList_[static_cast<size_t>(r)].line);
        const int count = CellParser::CountCells(rest);
        for (int c = 0; c < cols_; ++c) {
            BeforeCell(c, r);
            CellDesc& d = slots_[static_cast<size_t>(r * cols_ + c)].desc;
            if (c < count) {
                rest = parser_.ParseCell(rest, d, &basic_, counters_);
                FitCell(measure, d, c, r);
            } else {
                d.ResetFrom(&basic_);
            }
        }
        if (style_.multiSelect != 0 && rowList_[static_cast<size_t>(r)].multiSelect) {
            for (int c = 0; c < cols_; ++c)
                slots_[static_cast<size_t>(r * cols_ + c)].marks |= kMarkTakesPart;
        }
    }
    firstSelectableCol_ = cols_;
    firstSelectableRow_ = rows_;
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            if (!Cell(c, r).Selectable()) continue;
            firstSelectableCol_ = std::min(firstSelectableCol_, c);
            firstSelectableRow_ = std::min(firstSelectableRow_, r);
        }
    }
}

void Sheet::FitCell(Canvas& measure, const CellDesc& d, int col, int row) {
    if (!(d.flagsB & (CellDesc::kFitWidth | CellDesc::kFitHeight))) return;
    const FontSpec* font = d.EffectiveFont();
    measure.SetFont(font != nullptr ? *font : *basic_.font);
    int width = 0, height = 0;
    for (const std::string& line : SplitLines(d.Text())) {
        width = std::max(width, measure.TextWidth(line));
        height += measure.TextHeight(line.empty() ? "Ag" : line);
    }
    const int scale = Scale();
    if (d.flagsB & CellDesc::kFitWidth) {
        int& w = colWidths_[static_cast<size_t>(col)];
        w = std::max(w, width + 8 * scale);
    }
    if (d.flagsB & CellDesc::kFitHeight) {
        int& h = rowHeights_[static_cast<size_t>(row)];
        h = std::max(h, height + 2 * scale);
    }
}

void Sheet::FitToShownText(Canvas& measure) {
    const int scale = Scale();
    for (int r = 0; r < rows_; ++r) {
        measure.SetFont(*basic_.font);
        int height = measure.TextHeight("Ag");
        for (int c = 0; c < cols_; ++c) {
            const FontSpec* font = Cell(c, r).EffectiveFont();
            measure.SetFont(font != nullptr ? *font : *basic_.font);
            std::string text = CellText(c, r);
            while (!text.empty() && text.back() == '\n') text.pop_back();
            int h = 0;
            for (const std::string& line : SplitLines(text)) {
                h += measure.TextHeight(line.empty() ? "Ag" : line);
                int& w = colWidths_[static_cast<size_t>(c)];
                w = std::max(w, measure.TextWidth(line) + 8 * scale);
            }
            height = std::max(height, h);
        }
        rowHeights_[static_cast<size_t>(r)] = height + 2 * scale;
    }
    unwrappedHeights_.clear();  // laid out once, as shown now
}

void Sheet::Normalise() {
    col_ = row_ = 0;
    Move(0, 1);
    Move(0, -1);
    Move(1, 0);
    Move(-1, 0);
}

// ---- Slots ----------------------------------------------------------------

CellDesc& Sheet::Cell(int col, int row) {
    if (col < 0 || row < 0 || col >= cols_ || slots_.empty() ||
        static_cast<size_t>(row * cols_ + col) >= slots_.size())
        fatal("Illegal Cell selection");
    return slots_[static_cast<size_t>(row * cols_ + col)].desc;
}

const CellDesc& Sheet::Cell(int col, int row) const {
    return const_cast<Sheet*>(this)->Cell(col, row);
}

uint8_t& Sheet::Marks(int col, int row) {
    Cell(col, row);  // range check
    return slots_[static_cast<size_t>(row * cols_ + col)].marks;
}

CellAddress Sheet::CurrentAddress() const {
    const CellDesc& d = Cell(col_, row_);
    return CellAddress{d.category, d.cell, d.index};
}

}  // namespace parlo
