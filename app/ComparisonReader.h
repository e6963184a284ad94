#pragma once
// One side of a comparison: an image loaded as File > Open does on a
// document of its own, its navigation tree, and what every sheet of the
// tree shows, read one sheet at a time. A reader that watches also learns
// which image bytes each cell's text, each sheet's layout and the tree
// read, and keeps its sheets, so that a cell can be read again after some
// of its bytes were changed.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Document.h"
#include "app/ReadTracker.h"
#include "runtime/EventManager.h"
#include "sheet/FixedMetricsCanvas.h"

namespace parlo {

class Sheet;
class CellDispatcher;

// What one sheet shows: the text of every cell (empty for a join cell), and
// whether it came from the image (headings and captions do not).
struct SheetTexts {
    std::string caption;
    int cols = 0, rows = 0;
    std::vector<std::vector<std::string>> texts;  // [row][col]
    std::vector<std::vector<char>> fromImage;     // [row][col]
    std::vector<std::string> rowHeadings, colHeadings;

    const std::string& Text(int col, int row) const;
    bool FromImage(int col, int row) const;
    // The text as compared: empty unless it came from the image.
    const std::string& Compared(int col, int row) const;
};

// The text a comparison reads from a cell, on one line.
std::string ShownText(Sheet& sheet, int col, int row);

class ComparisonReader {
public:
    // `watch`: learn the bytes each cell reads and keep the sheets.
    ComparisonReader(bool makerMode, bool watch);
    ~ComparisonReader();
    ComparisonReader(const ComparisonReader&) = delete;
    ComparisonReader& operator=(const ComparisonReader&) = delete;

    // Loads the image and builds the tree; the sheets are read by ReadSheet.
    void Load(const EepromImage& image);
    size_t SheetCount() const { return order_.size(); }
    void ReadSheet(size_t i);
    // Load and every sheet.
    void ReadAll(const EepromImage& image);

    const std::vector<std::string>& Order() const { return order_; }
    const SheetTexts* Find(const std::string& action) const;
    const SheetTexts& TextsOf(size_t i) const { return texts_[i]; }
    Document& Doc() { return doc_; }

    // What the watching learnt (sorted image addresses).
    const ReadTracker& Tracker() const { return *tracker_; }
    const std::vector<int32_t>& TreeReads() const { return treeReads_; }
    const std::vector<int32_t>& LayoutReads(size_t sheet) const { return layoutReads_[sheet]; }
    // The cells whose texts read any of `addresses` (sorted): where they
    // are, and the set of addresses each read.
    struct CellAt {
        int sheet, col, row;
        int set;
    };
    const std::vector<int32_t>& ReadsOf(const CellAt& cell) const {
        return *sets_[static_cast<size_t>(cell.set)];
    }
    std::vector<CellAt> CellsReading(const std::vector<int32_t>& addresses);
    // Reads a kept cell again (after the document's image was changed).
    std::string ReadAgain(const CellAt& cell);
    // The sheets of the tree built on the document as it is now, in tree
    // order (the actions), and their captions.
    std::vector<std::string> SheetsOfTree(std::vector<std::string>* captions = nullptr);
    // Whether a sheet built afresh on the document as it is now shows
    // other texts than when it was read.
    bool ChangedWhenBuiltAgain(size_t sheet);

private:
    struct Bus;
    SheetTexts ReadKept(size_t i, Bus& bus);
    int SetOf(std::vector<int32_t> reads);
    void IndexSets();

    bool watch_;
    EventManager events_;  // what the reading raises reaches no window
    Document doc_{events_};
    FixedMetricsCanvas measure_;
    std::unique_ptr<ReadTracker> tracker_;
    std::vector<std::string> order_, captions_;
    std::vector<SheetTexts> texts_;
    std::vector<std::unique_ptr<Bus>> buses_;  // the kept sheets
    std::vector<int32_t> treeReads_;
    std::vector<std::vector<int32_t>> layoutReads_;
    // Every distinct set of addresses a cell read, and the cells of each.
    std::map<std::vector<int32_t>, int> setIds_;
    std::vector<const std::vector<int32_t>*> sets_;
    std::vector<std::vector<CellAt>> cellsOfSet_;
    // Address -> sets reading it, built once all sheets are read.
    std::vector<int32_t> setStart_, setList_;
};

}  // namespace parlo
