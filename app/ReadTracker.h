#pragma once
// Watches a document's working image while a comparison reads it: which
// file byte each image byte is a copy of (loading unpacks the radio area
// into the work area and packs it again), which file bytes steer the
// loading itself, and which image bytes the tree, a sheet's layout or one
// cell's text read.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/EepromImage.h"

namespace parlo {

class ReadTracker : public ImageObserver {
public:
    enum class Mode : uint8_t {
        Off,
        Load,    // reads steer the loading: kept as the file bytes they copy
        Layout,  // the tree's or a sheet's layout: kept in LayoutReads()
        Cell,    // one cell's text: kept in CellReads()
    };

    // Every byte below `fileEnd` of an image of `size` bytes starts as the
    // file's byte at its own address; the others are no file byte.
    ReadTracker(int32_t size, int32_t fileEnd);

    Mode CurrentMode() const { return mode_; }
    void SetMode(Mode mode) { mode_ = mode; }

    // The file byte the image byte at `a` is a copy of, or -1.
    int32_t Source(int32_t a) const { return source_[static_cast<std::size_t>(a)]; }
    bool SteersLoading(int32_t fileByte) const {
        return steers_[static_cast<std::size_t>(fileByte)] != 0;
    }
    // The image addresses read since the last Take (unsorted, repeated).
    std::vector<int32_t> TakeLayoutReads() { return std::exchange(layoutReads_, {}); }
    std::vector<int32_t> TakeCellReads() { return std::exchange(cellReads_, {}); }
    bool CellReadAnything() const { return !cellReads_.empty(); }

    void Read(int32_t a, int32_t n) override;
    void Wrote(int32_t a, int32_t n) override;
    void Moved(int32_t to, int32_t from, int32_t n) override;

private:
    Mode mode_ = Mode::Off;
    std::vector<int32_t> source_;
    std::vector<uint8_t> steers_;
    std::vector<int32_t> layoutReads_, cellReads_;
};

}  // namespace parlo
