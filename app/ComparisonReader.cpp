#include "app/ComparisonReader.h"

#include <algorithm>

#include "cells/BankCaption.h"
#include "cells/CellDispatcher.h"
#include "model/ChannelMap.h"
#include "model/PackedLayout.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "sheet/RadioTree.h"
#include "sheet/SheetFactory.h"

namespace parlo {

namespace {

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ') text.pop_back();
    while (!text.empty() && text.front() == ' ') text.erase(text.begin());
    return text;
}

// The words of the texts, one blank between them ("1-  1" reads "1- 1").
std::string JoinWords(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) {
        for (char c : text) {
            if (c != ' ') {
                joined += c;
            } else if (!joined.empty() && joined.back() != ' ') {
                joined += ' ';
            }
        }
        if (!joined.empty() && joined.back() != ' ') joined += ' ';
    }
    while (!joined.empty() && joined.back() == ' ') joined.pop_back();
    return joined;
}

std::vector<int32_t> SortedOnce(std::vector<int32_t> addresses) {
    std::sort(addresses.begin(), addresses.end());
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    return addresses;
}

// A row is named by its fixed columns (or its first cell when the sheet has
// none), a column by its fixed rows.
void NameRowsAndColumns(const Sheet& sheet, SheetTexts& out) {
    const int headCols = std::max(1, sheet.FixedCols());
    for (int r = 0; r < out.rows; ++r) {
        std::vector<std::string> words;
        for (int c = 0; c < std::min(headCols, out.cols); ++c) words.push_back(out.Text(c, r));
        out.rowHeadings.push_back(JoinWords(words));
    }
    for (int c = 0; c < out.cols; ++c) {
        std::vector<std::string> words;
        for (int r = 0; r < sheet.FixedRows() && r < out.rows; ++r)
            words.push_back(out.Text(sheet.OwnerOfJoin(c, r), r));
        out.colHeadings.push_back(JoinWords(words));
    }
}

}  // namespace

const std::string& SheetTexts::Text(int col, int row) const {
    static const std::string none;
    if (row >= rows || col >= cols) return none;
    return texts[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

bool SheetTexts::FromImage(int col, int row) const {
    if (row >= rows || col >= cols) return false;
    return fromImage[static_cast<size_t>(row)][static_cast<size_t>(col)] != 0;
}

const std::string& SheetTexts::Compared(int col, int row) const {
    static const std::string none;
    return FromImage(col, row) ? Text(col, row) : none;
}

std::string ShownText(Sheet& sheet, int col, int row) {
    const CellDesc& d = sheet.Cell(col, row);
    if (d.Join()) return {};
    // The hint on adding channels follows the room left, which the counters
    // already show: it is no difference of its own.
    return OneLine(d.cell == CL_Misc_NewChannelHint ? d.Text() : sheet.CellText(col, row));
}

// A sheet with a bus of its own: a bank sheet answers which bank it shows
// to its own cells only, whatever other sheets are kept.
struct ComparisonReader::Bus {
    explicit Bus(Document& doc) : cells(DocumentScope{doc, events}) {}
    EventManager events;
    CellDispatcher cells;
    std::unique_ptr<Sheet> sheet;
};

ComparisonReader::ComparisonReader(bool makerMode, bool watch) : watch_(watch) {
    doc_.Modes().maker = makerMode;
}

ComparisonReader::~ComparisonReader() {
    buses_.clear();
    doc_.Working().Observe(nullptr);
}

void ComparisonReader::Load(const EepromImage& image) {
    EepromImage& working = doc_.Working();
    working.Observe(nullptr);
    working.Assign(image);
    tracker_ = std::make_unique<ReadTracker>(working.GetSize(),
                                             std::min(image.GetSize(), kRadioAreaLimit));
    working.Observe(tracker_.get());
    tracker_->SetMode(ReadTracker::Mode::Load);
    if (std::string problem; !doc_.AfterLoad(&problem)) fatal(problem);
    tracker_->SetMode(ReadTracker::Mode::Layout);
    order_ = SheetsOfTree(&captions_);
    tracker_->SetMode(ReadTracker::Mode::Off);
    treeReads_ = SortedOnce(tracker_->TakeLayoutReads());
}

std::vector<std::string> ComparisonReader::SheetsOfTree(std::vector<std::string>* captions) {
    RadioTree tree(MainOverlay(), "GI_Tree_Main", doc_.Scope());
    tree.Build();
    tree.RebuildVariableBranches();
    const ReadTracker::Mode mode = tracker_->CurrentMode();
    tracker_->SetMode(ReadTracker::Mode::Off);
    // Captions are not compared: what they name, cells show.
    for (int bank = 0; bank < kBankCount; ++bank)
        tree.SetBankCaption(bank, BankCaption(doc_.Working(), bank));
    tracker_->SetMode(mode);
    std::vector<std::string> order;
    tree.ForEach([&](TreeNode& node) {
        const std::string& action = node.Action();
        const NodeAction a = NodeAction::Split(action);
        if (a.key.empty() || !MainOverlay().TryGetText(a.key + "_Cells")) return;
        if (std::find(order.begin(), order.end(), action) != order.end()) return;
        order.push_back(action);
        if (captions != nullptr) captions->push_back(node.caption);
    });
    return order;
}

void ComparisonReader::ReadSheet(size_t i) {
    auto bus = std::make_unique<Bus>(doc_);
    ReadTracker& tracker = *tracker_;
    DispatchFunction inner = bus->cells.Entry();
    // What the layout reads to fit its columns is read again cell by cell.
    DispatchFunction entry = [inner, &tracker](CellContext& c, int mode) {
        if (tracker.CurrentMode() != ReadTracker::Mode::Layout) return inner(c, mode);
        tracker.SetMode(ReadTracker::Mode::Off);
        const int result = inner(c, mode);
        tracker.SetMode(ReadTracker::Mode::Layout);
        return result;
    };
    tracker.SetMode(ReadTracker::Mode::Layout);
    bus->sheet = CreateSheet(order_[i], Sheet::Params{}, DocumentScope{doc_, bus->events}, entry);
    bus->sheet->Build(measure_);
    tracker.SetMode(ReadTracker::Mode::Off);
    layoutReads_.push_back(SortedOnce(tracker.TakeLayoutReads()));
    texts_.push_back(ReadKept(i, *bus));
    if (watch_) buses_.push_back(std::move(bus));
}

void ComparisonReader::ReadAll(const EepromImage& image) {
    Load(image);
    for (size_t i = 0; i < SheetCount(); ++i) ReadSheet(i);
}

SheetTexts ComparisonReader::ReadKept(size_t i, Bus& bus) {
    Sheet& sheet = *bus.sheet;
    ReadTracker& tracker = *tracker_;
    SheetTexts out;
    out.caption = captions_[i];
    out.cols = sheet.ColCount();
    out.rows = sheet.RowCount();
    out.texts.assign(static_cast<size_t>(out.rows), std::vector<std::string>(out.cols));
    out.fromImage.assign(static_cast<size_t>(out.rows), std::vector<char>(out.cols, 0));
    for (int r = 0; r < out.rows; ++r) {
        for (int c = 0; c < out.cols; ++c) {
            tracker.SetMode(ReadTracker::Mode::Cell);
            out.texts[static_cast<size_t>(r)][static_cast<size_t>(c)] = ShownText(sheet, c, r);
            tracker.SetMode(ReadTracker::Mode::Off);
            std::vector<int32_t> reads = tracker.TakeCellReads();
            if (reads.empty()) continue;
            out.fromImage[static_cast<size_t>(r)][static_cast<size_t>(c)] = 1;
            if (watch_) {
                const int set = SetOf(std::move(reads));
                cellsOfSet_[static_cast<size_t>(set)].push_back({static_cast<int>(i), c, r, set});
            }
        }
    }
    NameRowsAndColumns(sheet, out);
    return out;
}

int ComparisonReader::SetOf(std::vector<int32_t> reads) {
    auto [it, added] = setIds_.emplace(SortedOnce(std::move(reads)), static_cast<int>(sets_.size()));
    if (added) {
        sets_.push_back(&it->first);
        cellsOfSet_.emplace_back();
    }
    return it->second;
}

void ComparisonReader::IndexSets() {
    const size_t size = static_cast<size_t>(doc_.Working().GetSize());
    setStart_.assign(size + 1, 0);
    for (const auto* set : sets_)
        for (int32_t a : *set) ++setStart_[static_cast<size_t>(a) + 1];
    for (size_t a = 0; a < size; ++a) setStart_[a + 1] += setStart_[a];
    setList_.assign(static_cast<size_t>(setStart_[size]), 0);
    std::vector<int32_t> next(setStart_.begin(), setStart_.end() - 1);
    for (size_t id = 0; id < sets_.size(); ++id)
        for (int32_t a : *sets_[id])
            setList_[static_cast<size_t>(next[static_cast<size_t>(a)]++)] = static_cast<int32_t>(id);
}

std::vector<ComparisonReader::CellAt> ComparisonReader::CellsReading(
    const std::vector<int32_t>& addresses) {
    if (setStart_.empty()) IndexSets();
    std::vector<int32_t> ids;
    for (int32_t a : addresses) {
        const size_t at = static_cast<size_t>(a);
        ids.insert(ids.end(), setList_.begin() + setStart_[at], setList_.begin() + setStart_[at + 1]);
    }
    ids = SortedOnce(std::move(ids));
    std::vector<CellAt> cells;
    for (int32_t id : ids) {
        const auto& of = cellsOfSet_[static_cast<size_t>(id)];
        cells.insert(cells.end(), of.begin(), of.end());
    }
    return cells;
}

std::string ComparisonReader::ReadAgain(const CellAt& cell) {
    return ShownText(*buses_[static_cast<size_t>(cell.sheet)]->sheet, cell.col, cell.row);
}

bool ComparisonReader::ChangedWhenBuiltAgain(size_t sheet) {
    Bus bus(doc_);
    bus.sheet = CreateSheet(order_[sheet], Sheet::Params{}, DocumentScope{doc_, bus.events},
                            bus.cells.Entry());
    bus.sheet->Build(measure_);
    const SheetTexts& was = texts_[sheet];
    if (bus.sheet->ColCount() != was.cols || bus.sheet->RowCount() != was.rows) return true;
    for (int r = 0; r < was.rows; ++r) {
        for (int c = 0; c < was.cols; ++c) {
            if (ShownText(*bus.sheet, c, r) != was.Text(c, r)) return true;
        }
    }
    return false;
}

const SheetTexts* ComparisonReader::Find(const std::string& action) const {
    const auto it = std::find(order_.begin(), order_.end(), action);
    return it == order_.end() ? nullptr : &texts_[static_cast<size_t>(it - order_.begin())];
}

}  // namespace parlo
