#pragma once
// Compares two images as a user reads them: every sheet of the navigation
// tree is built for each image and the texts of their cells compared, then
// the radio-area bytes that differ but change no cell's text are listed by
// address. The command line's diff and the desktop's Compare with... share
// it.
#include <cstdint>
#include <string>
#include <vector>

#include "model/EepromImage.h"

namespace parlo {

struct CellDifference {
    std::string action;  // the node action of the sheet
    std::string sheet;   // the node's caption
    int col = 0, row = 0;
    std::string rowHeading, colHeading;
    std::string textA, textB;
    // "Sheet / row heading / column heading: 'text in A' -> 'text in B'"
    std::string Line() const;
};

struct ByteDifference {
    int32_t address = 0;
    uint8_t a = 0, b = 0;
    // "address: AA -> BB" (hexadecimal)
    std::string Line() const;
};

struct ImageDifferences {
    std::vector<CellDifference> cells;
    std::vector<ByteDifference> bytes;  // differing bytes that no cell shows
    bool Empty() const { return cells.empty() && bytes.empty(); }
    // One line per difference, the cells first.
    std::vector<std::string> Lines() const;
};

// Compares two full images as a clone file carries them (each is unpacked
// as File > Open does, on a document of its own with a bus of its own, so
// that no other document or window is touched). `makerMode` adds the
// sheets the maker's mode shows. Needs the overlay and the initial files.
ImageDifferences CompareImages(const EepromImage& a, const EepromImage& b, bool makerMode = false);

}  // namespace parlo
