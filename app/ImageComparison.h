#pragma once
// Compares two images as a user reads them: every sheet of the navigation
// tree is built for each image and the texts of their cells compared (the
// texts that do not come from the image, headings and captions, are no
// difference), then the radio-area bytes that differ but would change no
// cell's text of the first image are listed by address. The command line's
// diff and the desktop's Compare with... share it.
#include <cstdint>
#include <memory>
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

// A comparison of two full images as a clone file carries them, done a
// step at a time so that a window stays live meanwhile. Each image is
// unpacked as File > Open does, on a document of its own with a bus of its
// own, so that no other document or window is touched; the images are
// copied first. `makerMode` adds the sheets the maker's mode shows. Needs
// the overlay and the initial files.
class ImageComparison {
public:
    ImageComparison(const EepromImage& a, const EepromImage& b, bool makerMode = false);
    ~ImageComparison();
    ImageComparison(const ImageComparison&) = delete;
    ImageComparison& operator=(const ImageComparison&) = delete;

    // Does the next piece of the work, a few milliseconds of it; false once
    // everything is done.
    bool Step();
    // How much is done, from 0 to 1.
    double Progress() const;
    const ImageDifferences& Result() const { return result_; }

private:
    struct Work;
    std::unique_ptr<Work> work_;
    ImageDifferences result_;
};

// Runs a comparison to its end.
ImageDifferences CompareImages(const EepromImage& a, const EepromImage& b, bool makerMode = false);

}  // namespace parlo
