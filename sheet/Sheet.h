#pragma once
// One page of the editor: a grid of cells built from a sheet key of the
// overlay. The sheet owns no toolkit object: it measures and draws through a
// canvas, and a view (the grid widget, or a test) repaints what it asks for
// and opens the editors it requests.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cells/CellContext.h"
#include "cells/CellDesc.h"
#include "cells/DocumentScope.h"
#include "platform/Canvas.h"
#include "sheet/CellParser.h"

namespace parlo {

class OverlayText;

// What the sheet asks of the widget that shows it. Every hook may be left
// as it is for a sheet nobody looks at (printing, the command line).
class SheetView {
public:
    virtual ~SheetView() = default;
    virtual void InvalidateCell(int /*col*/, int /*row*/) {}
    virtual void InvalidateAll() {}
    virtual void OpenInPlaceEditor(int /*col*/, int /*row*/, const std::string& /*text*/,
                                   int /*selStart*/, int /*selLength*/) {}
    virtual void OpenPopup(const CellContext& /*context*/) {}
    virtual void CurrentCellChanged() {}
    virtual void RowCountChanged() {}
    virtual void TitleChanged() {}
    virtual bool HasFocus() const { return true; }
    // Pauses between repetitions of an operation.
    virtual void Pause(int /*ms*/) {}
};

struct SheetStyle {
    std::string title;
    uint32_t titleColour = kClGrayText;
    std::unique_ptr<FontSpec> titleFont;
    int fixedCols = 0;
    int fixedRows = 0;
    bool noPrint = false;
    int printFontRatio = 100;
    int multiSelect = 0;  // 0 none, 1 by cells, 2 by lines
};

// Key codes of the keys the sheet handles (the usual virtual-key values).
enum SheetKey : int {
    kVkPrior = 0x21,
    kVkNext = 0x22,
    kVkEnd = 0x23,
    kVkHome = 0x24,
    kVkLeft = 0x25,
    kVkUp = 0x26,
    kVkRight = 0x27,
    kVkDown = 0x28,
    kVkF1 = 0x70,
    kVkF12 = 0x7B,
};

class Sheet {
public:
    struct Params {
        OverlayText* overlay = nullptr;
        std::string key;
        std::string printName;  // the node action that opened it
        std::string parameter;  // the action's parameter ("Bank 2")
        int startCell = 0;      // 0: none
        int32_t startIndex = 0;
        int fontPercent = 100;
        std::optional<int> printerFontHeight;  // set when printing
        int printScale = 1;                    // printer vertical resolution / 120, at least 1
        bool pickMode = false;
    };

    // Slot marks.
    static constexpr uint8_t kMarkTakesPart = 0x01;
    static constexpr uint8_t kMarkMarked = 0x02;
    static constexpr uint8_t kMarkLine = 0x04;

    // The sheet shows cells of `scope`'s document through `dispatcher` and
    // tells that document's views what it does.
    Sheet(Params params, DocumentScope scope, DispatchFunction dispatcher);
    virtual ~Sheet();
    Sheet(const Sheet&) = delete;
    Sheet& operator=(const Sheet&) = delete;

    // Reads the description and lays the grid out, measuring with `measure`.
    void Build(Canvas& measure);
    // Sizes every row to the text its cells show now (at least one line)
    // and widens columns whose shown text is wider than their samples: for
    // windows that show all of a sheet at once.
    void FitToShownText(Canvas& measure);
    void SetView(SheetView* view) { view_ = view; }

    // A sheet in pick mode hands the cell that Enter or a click chose to
    // this handler (as a pick) instead of operating it.
    using PickHandler = std::function<void(CellContext& pick)>;
    bool PickMode() const { return params_.pickMode; }
    void SetPickHandler(PickHandler handler) { pickHandler_ = std::move(handler); }
    // Arrow moves wrap around the edges in pick mode, unless the sheet
    // shows scroll bars.
    void SetScrollBarsShown(bool shown) { scrollBarsShown_ = shown; }

    // Geometry.
    int ColCount() const { return cols_; }
    int RowCount() const { return rows_; }
    int ColWidth(int col) const { return colWidths_.at(static_cast<size_t>(col)); }
    int RowHeight(int row) const { return rowHeights_.at(static_cast<size_t>(row)); }
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    const SheetStyle& Style() const { return style_; }
    const CellDesc& BasicCell() const { return basic_; }
    const std::string& Key() const { return params_.key; }
    const Params& GetParams() const { return params_; }
    const DocumentData& Document() const { return scope_.document; }
    EventManager& Events() const { return scope_.events; }
    bool Printing() const { return params_.printerFontHeight.has_value(); }
    bool Built() const { return built_; }
    int Scale() const { return Printing() ? params_.printScale : 1; }

    // The descriptor and marks of a slot; outside the grid a program error.
    CellDesc& Cell(int col, int row);
    const CellDesc& Cell(int col, int row) const;
    uint8_t& Marks(int col, int row);

    // Current cell and scrolling.
    int Col() const { return col_; }
    int Row() const { return row_; }
    bool Enabled() const { return enabled_; }
    int LeftCol() const { return leftCol_; }
    int TopRow() const { return topRow_; }
    void SetScroll(int leftCol, int topRow);
    void SetScrollPosition(int col, int row, int leftCol, int topRow);
    // Makes a slot current when it may be; false otherwise.
    bool SelectSlot(int col, int row, bool shift = false);
    // The first selectable cell with this address becomes current.
    bool SelectCell(const CellAddress& address);

    // Input from the widget. KeyDown answers false when the key went to the
    // current cell as an operation (which may change any cell); true when it
    // only moved the current cell, or did nothing, and the view has been
    // told which cells to draw again.
    bool KeyDown(int key, bool shift, bool ctrl);
    void TypeChar(int code);
    void DoubleClick(int col, int row);
    void RightClick(int col, int row);
    void LeftButton(bool down) { leftDown_ = down; }
    // One timed step of a drag past the grid's edge: the current cell moves
    // one cell towards that edge, extending the selection.
    bool DragStep(int dx, int dy);
    void CommitEditor(const std::string& text);
    // The in-place editor was closed without committing.
    void CancelEditor() { editing_.reset(); }
    // Commits a text to the current cell as the editor does (the text entry
    // window of segment texts).
    void CommitText(const std::string& text);
    void ChooseMenuItem(const CellDesc& item);
    void ChoosePopupItem(const ChosenItem& item);

    // Runs an operation on a cell through the dispatcher.
    int Operate(int col, int row, int operation);

    // Drawing one cell (join cells drawn as part of their owner). The text
    // of a run of joined cells is laid out over `run` when given (the run as
    // the screen or the page shows it), else over the run's full width.
    void DrawCell(Canvas& canvas, int col, int row, const Rect& rect, bool focused,
                  const Rect* run = nullptr);
    // The cell whose text a join cell continues (the cell itself otherwise).
    int OwnerOfJoin(int col, int row) const;
    // For columns shown side by side from `lefts` (each col's left edge),
    // the extent of the text run each column's cell belongs to: from its
    // owner's left edge to the right edge of the last shown column of the
    // run. A column whose owner is not shown gets no run; a joined text none
    // of whose continuation is shown gets an empty run, and DrawCell draws
    // no text over an empty run.
    std::vector<std::optional<std::pair<int, int>>> ShownRuns(int row, const std::vector<int>& cols,
                                                              const std::vector<int>& lefts) const;
    // The text a cell shows (the dispatcher's text for bound cells).
    std::string CellText(int col, int row);
    // Whether a cell's text wraps at blanks within the cells it spans (an
    // explanation line; not a value, and not a text its column is sized to).
    bool WrapsText(int col, int row) const;
    // The width of a cell and the join cells after it.
    int RunWidth(int col, int row) const;
    // The width an explanation line whose cells are `runWidth` wide wraps
    // within, measured in the font set on `canvas`: its cells', at most a
    // readable measure, and at most the width given to WrapWithin.
    int WrapWidth(Canvas& canvas, int runWidth) const;
    // Explanation lines wrap within `width` too (the narrowest page they are
    // printed on, so that each page shows them whole), their rows grown to
    // hold them; whether a row grew.
    bool WrapWithin(Canvas& measure, int width);
    // Explanation lines the dispatcher gives change with the document (the
    // New row's hint counts the empty slots): their rows are fitted to what
    // they say now, before the sheet is painted. Whether a row changed.
    bool FitLiveExplanations(Canvas& canvas);
    // Everything the dispatcher answers when the cell is drawn (no canvas):
    // its text, display bytes, marks and state.
    CellContext ShownAnswer(int col, int row);
    // Whether the cell is drawn highlighted.
    bool Highlighted(int col, int row) const;

    // Cells to repaint for an address and flags (the redraw-by-address rule).
    void RedrawByAddress(const CellAddress& address, uint16_t flags);

    // Title and printing.
    virtual std::string TitleText() const { return style_.title; }
    virtual uint32_t TitleColour() const { return style_.titleColour; }
    virtual std::string PrintHeadText() const { return TitleText(); }
    virtual bool Printable() const { return !style_.noPrint; }

    // The triple of the current cell.
    CellAddress CurrentAddress() const;

protected:
    struct RowEntry {
        int line;
        bool multiSelect;
    };

    // Hooks for the sheet kinds.
    // Line `index` of the description section with this suffix ("_Style",
    // "_BasicCell", "_Cells").
    virtual std::string SectionLine(const std::string& suffix, int index);
    virtual void HandleOption(const std::string& option);
    virtual void HandleDirective(const std::string& directive);
    virtual void BeforeRow(int /*row*/) {}
    virtual void BeforeCell(int /*col*/, int /*row*/) {}
    virtual int ExtraRows() const { return 0; }
    virtual void AfterBuild() {}

    // Directive helpers.
    static int DirectiveNumber(const std::string& directive);
    void SkipLines(int n) { skipCount_ = n; }
    void StartLoop(int line, int count);
    bool SelectState() const { return selectState_; }
    void SetSelectState(bool on) { selectState_ = on; }
    int CurrentLine() const { return currentLine_; }
    std::vector<RowEntry>& Rows() { return rowList_; }
    Counters& SheetCounters() { return counters_; }
    void SetRowCount(int rows);
    void CopyRowHeight(int to, int from) {
        rowHeights_.at(static_cast<size_t>(to)) = RowHeight(from);
    }
    SheetView* View() const { return view_; }
    CellContext NewContext(int col, int row);
    int Dispatch(CellContext& context, int mode);

private:
    struct Slot {
        CellDesc desc;
        uint8_t marks = 0;
    };

    void ReadStyle();
    void ReadBasicCell();
    void ReadRows();
    void ParseCells(Canvas& measure);
    void FitCell(Canvas& measure, const CellDesc& desc, int col, int row);
    void FitColumnsToTexts(Canvas& measure);
    void FitWrappedRows(Canvas& measure);
    bool GrowWrappedRows(Canvas& measure, bool liveOnly);
    void Normalise();
    bool CanBeCurrent(int col, int row) const;
    bool Move(int dx, int dy);
    std::optional<std::pair<int, int>> FindInDirection(int dx, int dy) const;
    void UpdateMultiSelection(int col, int row, bool extend);
    // Whether a slot lies in the selection (for lines: anywhere in a
    // selected line).
    bool InsideSelection(int col, int row);
    void ClearMarks();
    void MarkRange(const CellContext& answer);
    void RepaintMarked();
    void AfterCurrentChanged();
    bool MatchesAddress(const CellDesc& d, const CellAddress& a, uint16_t flags) const;
    void ActOnAnswer(CellContext& context, int result);

    Params params_;
    DocumentScope scope_;
    DispatchFunction dispatcher_;
    PickHandler pickHandler_;
    bool scrollBarsShown_ = false;
    SheetView* view_ = nullptr;
    CellParser parser_;
    SheetStyle style_;
    CellDesc basic_;
    Counters counters_{};

    // Row reading state.
    std::vector<RowEntry> rowList_;
    int skipCount_ = 0;
    int loopStart_ = -1, loopEnd_ = -1, loopCount_ = -1;
    bool selectState_ = true;
    int currentLine_ = -1;

    int cols_ = 0, rows_ = 0;
    std::vector<Slot> slots_;
    std::vector<int> colWidths_, rowHeights_;
    int wrapLimit_ = 0;                  // WrapWithin's width; 0: none
    std::vector<int> unwrappedHeights_;  // the rows' heights before explanation lines wrapped
    int fixedCols_ = 0, fixedRows_ = 0;
    int firstSelectableCol_ = 0, firstSelectableRow_ = 0;
    bool built_ = false;

    int col_ = 0, row_ = 0;
    int leftCol_ = 0, topRow_ = 0;
    bool enabled_ = true;
    int anchorCol_ = -1, anchorRow_ = -1;
    bool selecting_ = false;
    bool leftDown_ = false;
    bool keepStatus_ = false;  // the cursor moves for a command that shows a status
    int rememberedCol_ = 0, rememberedRow_ = 0;
    std::optional<std::pair<int, int>> editing_;
};

}  // namespace parlo
