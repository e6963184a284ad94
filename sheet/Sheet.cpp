#include "sheet/Sheet.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "runtime/EventManager.h"
#include "model/ModelVariant.h"
#include "model/WorkingImage.h"
#include "sheet/DisplayCharacters.h"
#include "platform/Fatal.h"
#include "overlay/OverlayText.h"

namespace parlo {

bool Sheet::eepromEditMode = false;

namespace {

// Events this sheet raises.
constexpr uint8_t kEvStatusText = 4;
constexpr uint8_t kEvMenuState = 9;
constexpr uint8_t kEvCurrentCell = 19;

constexpr uint32_t kClHighlight = kSystemColour + 13;
constexpr uint32_t kClHighlightText = kSystemColour + 14;
constexpr uint32_t kClBtnFace = kSystemColour + 15;
constexpr uint32_t kClWhite = 0xFFFFFF;
constexpr uint32_t kClGrey = 0x808080;
constexpr uint32_t kClSilver = 0xC0C0C0;
constexpr uint32_t kPrintDark = 0x606060;
constexpr uint32_t kClBlack = 0x000000;

// Rows lower than this show display texts as plain text: smaller segment
// characters cannot be read.
constexpr int kDisplayCharacterHeight = 24;

// Placeholder for a bound cell that has nothing to show.
constexpr const char* kEmptyBoundText = "";

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

void PostEvent(uint8_t code) { Events().Post(code); }

// The segment shapes of the display characters, read once per main overlay.
const SegmentGeometry& DisplayGeometry() {
    static uint64_t readAt = ~uint64_t{0};
    static SegmentGeometry geometry;
    if (readAt != MainOverlayGeneration()) {
        geometry = SegmentGeometry::FromOverlay(MainOverlay());
        readAt = MainOverlayGeneration();
    }
    return geometry;
}

// The user-defined characters: 16 masks at 0x95FD, high byte first.
std::vector<uint16_t> UserCharacterMasks() {
    std::vector<uint16_t> masks(16, 0);
    if (!HasWorkingImage()) return masks;
    for (int i = 0; i < 16; ++i) masks[static_cast<size_t>(i)] = WorkingImage().GetWord(0x95FD + 2 * i);
    return masks;
}

}  // namespace

Sheet::Sheet(Params params, DispatchFunction dispatcher)
    : params_(std::move(params)),
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
                if (d.Selectable() && d.cell == params_.startCell && d.index == params_.startIndex) {
                    col_ = c, row_ = r, found = true;
                }
            }
        }
    }
    rememberedCol_ = anchorCol_ = col_;
    rememberedRow_ = anchorRow_ = row_;
    enabled_ = Cell(col_, row_).Selectable();
    AfterBuild();
    if (view_ != nullptr) view_->InvalidateAll();
}

void Sheet::ReadStyle() {
    const std::string line = params_.overlay->GetText(params_.key + "_Style", 0);
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
        style_.fixedCols = std::atoi(ValueOf(option).c_str());
    } else if (StartsWith(option, "FixedRows")) {
        style_.fixedRows = std::atoi(ValueOf(option).c_str());
    } else if (option == "NoPrint") {
        style_.noPrint = true;
    } else if (StartsWith(option, "PrintFontRatio")) {
        style_.printFontRatio = std::atoi(ValueOf(option).c_str());
    } else if (StartsWith(option, "MultiSelect")) {
        const std::string v = ValueOf(option);
        style_.multiSelect = v == "Cell" ? 1 : v == "Line" ? 2 : 0;
    }
}

void Sheet::ReadBasicCell() {
    std::string line = params_.overlay->GetText(params_.key + "_BasicCell", 0);
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
    return blank == std::string::npos ? 0 : std::atoi(directive.c_str() + blank + 1);
}

void Sheet::StartLoop(int line, int count) {
    loopStart_ = line;
    loopCount_ = std::max(1, count);
}

void Sheet::HandleDirective(const std::string& d) {
    const std::string name = d.substr(0, d.find(' '));
    const int variant = CurrentVariant();
    const int n = DirectiveNumber(d);
    if (name == "Only_DPmr446") {
        if (variant != kVariantDPmr446) SkipLines(n);
    } else if (name == "Only_notDPmr446") {
        if (variant == kVariantDPmr446) SkipLines(n);
    } else if (name == "Only_EEDIT") {
        if (!eepromEditMode) SkipLines(n);
    } else if (name == "Only_notEEDIT") {
        if (eepromEditMode) SkipLines(n);
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

void Sheet::ReadRows() {
    const std::string section = params_.key + "_Cells";
    size_t loopFirstRow = 0;
    int loopStartSeen = -1;
    for (int i = 0;; ++i) {
        const std::string line = params_.overlay->GetText(section, i);
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
        cols_ = std::max(cols_, CellParser::CountCells(params_.overlay->GetText(section, r.line)));
    SetRowCount(static_cast<int>(rowList_.size()));
    if (rows_ == 0 || cols_ == 0) fatal("Illegal Cell assign");
}

void Sheet::SetRowCount(int rows) {
    rows_ = rows;
    if (view_ != nullptr && built_) view_->RowCountChanged();
}

void Sheet::ParseCells(Canvas& measure) {
    const std::string section = params_.key + "_Cells";
    const int described = rows_;
    const int allocated = std::max(described, ExtraRows());
    slots_.assign(static_cast<size_t>(cols_ * allocated), Slot{});
    const int scale = Scale();
    measure.SetFont(*basic_.font);
    colWidths_.assign(static_cast<size_t>(cols_), 16 * scale);
    rowHeights_.assign(static_cast<size_t>(allocated), measure.TextHeight("Ag") + 2 * scale);
    for (int r = 0; r < allocated; ++r) {
        const bool copied = r >= described ||
                            (r > 0 && rowList_[static_cast<size_t>(r)].line ==
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
        std::string rest = params_.overlay->GetText(section, rowList_[static_cast<size_t>(r)].line);
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

// ---- Moving and selecting -------------------------------------------------

bool Sheet::CanBeCurrent(int col, int row) const {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return false;
    const Slot& s = slots_[static_cast<size_t>(row * cols_ + col)];
    return s.desc.Selectable() && (!selecting_ || (s.marks & kMarkTakesPart));
}

std::optional<std::pair<int, int>> Sheet::FindInDirection(int dx, int dy) const {
    const bool wrap = params_.pickMode;
    int c = col_, r = row_;
    const int steps = dx != 0 ? cols_ : rows_;
    for (int i = 1; i < steps + (wrap ? 0 : 1); ++i) {
        c += dx, r += dy;
        if (wrap) {
            c = (c + cols_) % cols_;
            r = (r + rows_) % rows_;
        }
        if (c < 0 || r < 0 || c >= cols_ || r >= rows_) break;
        if (CanBeCurrent(c, r)) return std::make_pair(c, r);
    }
    // Nothing on the straight line: the nearest selectable cell in each
    // following row (or column), measured from the remembered position.
    if (dy != 0) {
        for (int rr = row_ + dy; rr >= 0 && rr < rows_; rr += dy) {
            for (int dist = 0; dist < cols_; ++dist) {
                for (int cc : {rememberedCol_ - dist, rememberedCol_ + dist}) {
                    if (CanBeCurrent(cc, rr)) return std::make_pair(cc, rr);
                }
            }
        }
    } else {
        for (int cc = col_ + dx; cc >= 0 && cc < cols_; cc += dx) {
            for (int dist = 0; dist < rows_; ++dist) {
                for (int rr : {rememberedRow_ - dist, rememberedRow_ + dist}) {
                    if (CanBeCurrent(cc, rr)) return std::make_pair(cc, rr);
                }
            }
        }
    }
    return std::nullopt;
}

bool Sheet::Move(int dx, int dy) {
    const auto target = FindInDirection(dx, dy);
    if (!target) return false;
    col_ = target->first;
    row_ = target->second;
    if (dx != 0) rememberedCol_ = col_;
    if (dy != 0) rememberedRow_ = row_;
    if (col_ <= firstSelectableCol_) leftCol_ = fixedCols_;
    if (row_ <= firstSelectableRow_) topRow_ = fixedRows_;
    return true;
}

bool Sheet::SelectSlot(int col, int row, bool shift) {
    if (!CanBeCurrent(col, row)) return false;
    const int oldCol = col_, oldRow = row_;
    col_ = col, row_ = row;
    rememberedCol_ = col, rememberedRow_ = row;
    if (view_ != nullptr) {
        view_->InvalidateCell(oldCol, oldRow);
        view_->InvalidateCell(col, row);
    }
    UpdateMultiSelection(col, row, shift || leftDown_);
    AfterCurrentChanged();
    return true;
}

bool Sheet::SelectCell(const CellAddress& a) {
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            const CellDesc& d = Cell(c, r);
            if (d.Selectable() && d.category == a.category && d.cell == a.cell &&
                d.index == a.index)
                return SelectSlot(c, r);
        }
    }
    return false;
}

void Sheet::AfterCurrentChanged() {
    Events().PostText(kEvStatusText, kClWindowText, kClBtnFace, "");
    const CellAddress a = CurrentAddress();
    const int32_t triple[3] = {a.category, a.cell, a.index};
    Events().PostData(kEvCurrentCell, triple, sizeof triple);
    if (view_ != nullptr) view_->CurrentCellChanged();
}

void Sheet::SetScroll(int leftCol, int topRow) {
    leftCol_ = std::clamp(leftCol, fixedCols_, std::max(fixedCols_, cols_ - 1));
    topRow_ = std::clamp(topRow, fixedRows_, std::max(fixedRows_, rows_ - 1));
}

void Sheet::SetScrollPosition(int col, int row, int leftCol, int topRow) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_ || !CanBeCurrent(col, row)) return;
    col_ = col, row_ = row;
    rememberedCol_ = col, rememberedRow_ = row;
    SetScroll(leftCol, topRow);
}

void Sheet::UpdateMultiSelection(int col, int row, bool extend) {
    if (style_.multiSelect == 0) return;
    const bool anchorTakesPart = anchorCol_ >= 0 && (Marks(anchorCol_, anchorRow_) & kMarkTakesPart);
    if (extend && anchorTakesPart && (Marks(col, row) & kMarkTakesPart)) {
        const int c0 = std::min(anchorCol_, col), c1 = std::max(anchorCol_, col);
        const int r0 = std::min(anchorRow_, row), r1 = std::max(anchorRow_, row);
        for (int r = 0; r < rows_; ++r) {
            for (int c = 0; c < cols_; ++c) {
                uint8_t& m = Marks(c, r);
                const bool inside = c >= c0 && c <= c1 && r >= r0 && r <= r1 && Cell(c, r).Selectable();
                m = static_cast<uint8_t>(inside ? m | kMarkMarked : m & ~kMarkMarked);
            }
        }
        selecting_ = true;
        if (style_.multiSelect == 2) {
            for (int r = 0; r < rows_; ++r) {
                bool rowMarked = false;
                for (int c = 0; c < cols_; ++c) rowMarked |= (Marks(c, r) & kMarkMarked) != 0;
                for (int c = fixedCols_; c < cols_; ++c) {
                    uint8_t& m = Marks(c, r);
                    m = static_cast<uint8_t>(rowMarked ? m | kMarkLine : m & ~kMarkLine);
                }
            }
        }
        RepaintMarked();
        return;
    }
    anchorCol_ = col, anchorRow_ = row;
    ClearMarks();
}

void Sheet::ClearMarks() {
    bool any = false;
    for (Slot& s : slots_) {
        any |= (s.marks & (kMarkMarked | kMarkLine)) != 0;
        s.marks = static_cast<uint8_t>(s.marks & ~(kMarkMarked | kMarkLine));
    }
    selecting_ = false;
    if (any && view_ != nullptr) view_->InvalidateAll();
}

void Sheet::RepaintMarked() {
    if (view_ != nullptr) view_->InvalidateAll();
}

// ---- Keys and operations ----------------------------------------------------

void Sheet::KeyDown(int key, bool shift, bool ctrl) {
    Events().PostText(kEvStatusText, kClWindowText, kClBtnFace, "");
    const int oldCol = col_, oldRow = row_;
    auto moved = [&](int dx, int dy, int times = 1) {
        bool any = false;
        for (int i = 0; i < times; ++i) any |= Move(dx, dy);
        if (any) {
            UpdateMultiSelection(col_, row_, shift || leftDown_);
            if (view_ != nullptr) {
                view_->InvalidateCell(oldCol, oldRow);
                view_->InvalidateCell(col_, row_);
            }
            AfterCurrentChanged();
        }
        return any;
    };
    switch (key) {
        case kVkLeft:
            if (!moved(-1, 0)) Operate(col_, row_, kOpKeyLeft);
            break;
        case kVkRight:
            if (!moved(1, 0)) Operate(col_, row_, kOpKeyRight);
            break;
        case kVkUp:
            if (!ctrl) moved(0, -1);
            break;
        case kVkDown:
            if (!ctrl) moved(0, 1);
            break;
        case kVkPrior: moved(0, -1, 10); break;
        case kVkNext: moved(0, 1, 10); break;
        case kVkHome:
        case kVkEnd: break;
        default:
            if (key >= kVkF1 && key <= kVkF12) Operate(col_, row_, key * 256);
            break;
    }
}

void Sheet::TypeChar(int code) {
    Events().PostText(kEvStatusText, kClWindowText, kClBtnFace, "");
    Operate(col_, row_, code);
}

void Sheet::DoubleClick(int col, int row) {
    if (col == col_ && row == row_) Operate(col, row, kOpDoubleClick);
}

void Sheet::RightClick(int col, int row) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return;
    int c = col;
    while (c > 0 && Cell(c, row).Tail() && !Cell(c, row).Selectable()) --c;
    SelectSlot(c, row);
}

CellContext Sheet::NewContext(int col, int row) {
    CellContext ctx;
    ctx.sheet = this;
    ctx.col = col;
    ctx.row = row;
    ctx.desc = &Cell(col, row);
    ctx.userParam = params_.userParam;
    ctx.printing = Printing();
    ctx.request.grid = true;
    ctx.redrawByAddress = [this](const CellAddress& a, uint16_t flags) { RedrawByAddress(a, flags); };
    if (selecting_) {
        const int cell = ctx.desc->cell;
        for (const Slot& s : slots_) {
            if (!(s.marks & kMarkMarked) || s.desc.cell != cell) continue;
            if (!ctx.selection) ctx.selection = std::make_pair(s.desc.index, s.desc.index);
            ctx.selection->first = std::min(ctx.selection->first, s.desc.index);
            ctx.selection->second = std::max(ctx.selection->second, s.desc.index);
        }
    }
    return ctx;
}

int Sheet::Dispatch(CellContext& context, int mode) {
    return dispatcher_ ? dispatcher_(context, mode) : 0;
}

int Sheet::Operate(int col, int row, int operation) {
    if (col != col_ || row != row_) SelectSlot(col, row);
    CellContext ctx = NewContext(col_, row_);
    ctx.operation = operation;
    ctx.request.key = operation < 256 ? operation : 0;
    int result = Dispatch(ctx, kModeOperate);
    ActOnAnswer(ctx, result);
    int pause = 30;
    while (ctx.repeatOperation != 0) {
        if (view_ != nullptr) view_->Pause(pause);
        pause = std::max(0, pause - 6);
        const int next = ctx.repeatOperation;
        ctx = NewContext(col_, row_);
        ctx.operation = next;
        ctx.request.key = next < 256 ? next : 0;
        result = Dispatch(ctx, kModeOperate);
        ActOnAnswer(ctx, result);
    }
    PostEvent(kEvMenuState);
    return result;
}

void Sheet::ActOnAnswer(CellContext& ctx, int result) {
    if (ctx.jump) SelectCell(*ctx.jump);
    if (result == kResultClearMarks) ClearMarks();
    if (result == kResultOpenEditor || ctx.request.requestEdit == kEditInPlace) {
        editing_ = std::make_pair(col_, row_);
        if (view_ != nullptr)
            view_->OpenInPlaceEditor(col_, row_, ctx.request.text, ctx.request.caretStart,
                                     ctx.request.caretLength);
    } else if (ctx.request.requestEdit == kEditPopup && view_ != nullptr) {
        view_->OpenPopup(ctx);
    }
    if (ctx.range && style_.multiSelect != 0) {
        MarkRange(ctx);
    } else if (ctx.range) {
        ClearMarks();
    }
    if (view_ != nullptr) {
        if (ctx.redrawFlags & kRedrawSheet) view_->InvalidateAll();
        else view_->InvalidateCell(col_, row_);
    }
}

void Sheet::MarkRange(const CellContext& answer) {
    const int cell = answer.desc->cell;
    const auto [low, high] = *answer.range;
    int lowRow = -1, highRow = -1;
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            uint8_t& m = Marks(c, r);
            const CellDesc& d = Cell(c, r);
            const bool inside = d.cell == cell && d.index >= low && d.index <= high;
            m = static_cast<uint8_t>(inside ? m | kMarkMarked : m & ~kMarkMarked);
            if (inside && d.index == low && lowRow < 0) lowRow = r;
            if (inside && d.index == high) highRow = r;
        }
    }
    selecting_ = true;
    // The anchor goes to the end of the range away from the operated cell.
    const int anchorRow = answer.desc->index == high ? lowRow : highRow;
    if (anchorRow >= 0) anchorCol_ = col_, anchorRow_ = anchorRow;
    RepaintMarked();
}

void Sheet::CommitEditor(const std::string& text) {
    if (!editing_) return;
    const auto [col, row] = *editing_;
    editing_.reset();
    CellContext ctx = NewContext(col, row);
    ctx.operation = 13;
    ctx.request.phase = kPhaseCommit;
    ctx.request.editText = text;
    const int result = Dispatch(ctx, kModeOperate);
    ActOnAnswer(ctx, result);
    PostEvent(kEvMenuState);
}

void Sheet::CommitText(const std::string& text) {
    editing_ = std::make_pair(col_, row_);
    CommitEditor(text);
}

void Sheet::ChooseMenuItem(const CellDesc& item) {
    CellContext ctx = NewContext(col_, row_);
    ctx.menuItem = &item;
    const int result = Dispatch(ctx, kModeOperate);
    ActOnAnswer(ctx, result);
    PostEvent(kEvMenuState);
}

void Sheet::ChoosePopupItem(const ChosenItem& item) {
    CellContext ctx = NewContext(col_, row_);
    ctx.pick = true;
    ctx.request.phase = kPhasePick;
    ctx.request.chosen = item;
    const int result = Dispatch(ctx, kModeOperate);
    ActOnAnswer(ctx, result);
    PostEvent(kEvMenuState);
}

// ---- Drawing ----------------------------------------------------------------

int Sheet::OwnerOfJoin(int col, int row) const {
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
    CellContext ctx = NewContext(col, row);
    Dispatch(ctx, kModeDraw);
    return ctx.request.text;
}

void Sheet::DrawCell(Canvas& canvas, int col, int row, const Rect& cellRect, bool focused) {
    if (cellRect.Width() <= 0 || cellRect.Height() <= 0 || !built_) return;
    const int owner = OwnerOfJoin(col, row);
    const CellDesc& d = Cell(owner, row);
    // A cell and the join cells after it show one text across all of them:
    // every part lays the text out over the whole run and paints only its
    // own rectangle, so the parts agree whichever of them are in view.
    Rect rect = cellRect;
    for (int c = owner; c < col; ++c) rect.left -= ColWidth(c);
    for (int c = col + 1; c < cols_ && Cell(c, row).Join(); ++c) rect.right += ColWidth(c);
    canvas.PushClip(cellRect);
    const bool printing = Printing();
    const bool editorOpen = editing_ && editing_->first == owner && editing_->second == row;
    const bool highlighted = !printing && !editorOpen && Highlighted(owner, row);

    const FontSpec* own = d.EffectiveFont();
    FontSpec font = own != nullptr ? *own : *basic_.font;
    uint32_t background = d.colour;
    if (printing) {
        const bool plain = d.colour == kClWindow || d.colour == kClWhite;
        background = plain ? kClWhite : kPrintDark;
        if (!plain) font.colour = kClWhite;
    } else if (highlighted) {
        const bool strong = focused || params_.pickMode;
        background = strong ? kClHighlight : kClBtnFace;
        if (strong) {
            font.colour = kClHighlightText;
        } else if (font.colour == kClBtnFace || font.colour == kClSilver ||
                   font.colour == kClGrayText) {
            font.colour = kClWindow;
        }
    }
    if (background != kClWhite) canvas.FillRect(cellRect, background);
    const int scale = Scale();
    if (d.flagsB & CellDesc::kBottomRule) {
        const bool plain = d.colour == kClWindow || d.colour == kClWhite;
        const uint32_t rule = plain ? (printing ? kClBlack : kClGrey) : kClWhite;
        canvas.DrawLine({cellRect.left, cellRect.bottom - 1}, {cellRect.right, cellRect.bottom - 1}, rule);
    }

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
        if (ctx.request.fontColour && !(highlighted && (focused || params_.pickMode)))
            font.colour = *ctx.request.fontColour;
    }
    canvas.SetFont(font);
    if (ctx.request.displayBytes && !printing && rect.Height() >= kDisplayCharacterHeight) {
        // Texts of the radio's display are shown as the radio shows them,
        // where the row is tall enough for the segments to be read.
        const int inset = std::max(2, rect.Height() / 6);
        PaintDisplayText(canvas, {rect.left + 4 * scale, rect.top + inset, rect.right - 2, rect.bottom - inset},
                         *ctx.request.displayBytes, DisplayGeometry(), UserCharacterMasks(), font.colour);
        canvas.PopClip();
        return;
    }
    const std::vector<std::string> lines = SplitLines(text);
    int textHeight = 0;
    for (const std::string& line : lines) textHeight += canvas.TextHeight(line.empty() ? "Ag" : line);
    int y = rect.top + scale;
    if (d.VAlign() == 1) y = rect.top + (rect.Height() - textHeight + 1) / 2;
    if (d.VAlign() == 2) y = rect.bottom - textHeight - scale;
    for (const std::string& line : lines) {
        const int w = canvas.TextWidth(line);
        int x = rect.left + 4 * scale;
        if (d.HAlign() == 1) x = rect.left + (rect.Width() - w) / 2;
        if (d.HAlign() == 2) x = rect.right - w - 4 * scale + 1;
        if (!line.empty()) canvas.DrawText(x, y, line, font.colour);
        y += canvas.TextHeight(line.empty() ? "Ag" : line);
    }
    // A channel whose settings disagree with its signalling carries a mark
    // in its corner: red for an error, yellow for a warning.
    if (ctx.warningMarks & 0x0C) {
        const int size = std::max(4, rect.Height() / 3);
        const uint32_t mark = (ctx.warningMarks & 0x08) ? 0x0000FF : 0x00C0FF;
        canvas.FillPolygon({{rect.right - size, rect.top}, {rect.right, rect.top}, {rect.right, rect.top + size}},
                           mark);
    }
    if (ctx.glyph != Glyph::None) {
        const bool left = ctx.glyphLeft || d.HAlign() == 2;
        const int size = std::max(4, rect.Height() / 3);
        const int gx = left ? rect.left + 2 * scale : rect.right - size - 2 * scale;
        const int gy = rect.top + (rect.Height() - size / 2) / 2;
        if (ctx.glyph == Glyph::DropDown) {
            canvas.FillPolygon({{gx, gy}, {gx + size, gy}, {gx + size / 2, gy + size / 2}},
                               font.colour);
        } else {
            canvas.FillRect({gx, gy, gx + size, gy + size / 2}, font.colour);
        }
    }
    canvas.PopClip();
}

// ---- Redraw by address --------------------------------------------------------

bool Sheet::MatchesAddress(const CellDesc& d, const CellAddress& a, uint16_t flags) const {
    const bool bound = d.cell != kNoCell;
    const bool indexed = a.category != kNoCategory && bound;
    return ((flags & 0x01) && d.cell == a.cell && d.index == a.index) ||
           ((flags & 0x02) && d.category == a.category) ||
           ((flags & 0x04) && d.cell == a.cell) ||
           ((flags & 0x08) && indexed && d.index == a.index) ||
           ((flags & 0x10) && bound && d.category == a.category && d.index >= a.index - 1 &&
            d.index <= a.index + 1) ||
           ((flags & 0x20) && bound) ||
           ((flags & 0x40) && indexed && d.index >= a.index) ||
           ((flags & 0x80) && indexed && d.index <= a.index);
}

void Sheet::RedrawByAddress(const CellAddress& a, uint16_t flags) {
    if (view_ == nullptr) return;
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            if (MatchesAddress(Cell(c, r), a, flags)) view_->InvalidateCell(c, r);
        }
    }
}

}  // namespace parlo
