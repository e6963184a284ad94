#include "app/ReadTracker.h"

#include <algorithm>
#include <utility>

namespace parlo {

ReadTracker::ReadTracker(int32_t size, int32_t fileEnd)
    : source_(static_cast<size_t>(std::max(size, 0)), -1),
      steers_(static_cast<size_t>(std::max(fileEnd, 0)), 0) {
    for (int32_t a = 0; a < std::min(size, fileEnd); ++a) source_[static_cast<size_t>(a)] = a;
}

void ReadTracker::Read(int32_t a, int32_t n) {
    switch (mode_) {
        case Mode::Off: return;
        case Mode::Load:
            for (int32_t i = a; i < a + n; ++i) {
                const int32_t from = source_[static_cast<size_t>(i)];
                if (from >= 0) steers_[static_cast<size_t>(from)] = 1;
            }
            return;
        case Mode::Layout:
            for (int32_t i = a; i < a + n; ++i) layoutReads_.push_back(i);
            return;
        case Mode::Cell:
            for (int32_t i = a; i < a + n; ++i) cellReads_.push_back(i);
            return;
    }
}

void ReadTracker::Wrote(int32_t a, int32_t n) {
    std::fill_n(source_.begin() + a, n, -1);
}

void ReadTracker::Moved(int32_t to, int32_t from, int32_t n) {
    if (to > from && to < from + n) {
        // Overlapping forwards: copy from the end, as memmove does.
        std::copy_backward(source_.begin() + from, source_.begin() + from + n,
                           source_.begin() + to + n);
    } else {
        std::copy_n(source_.begin() + from, n, source_.begin() + to);
    }
}

}  // namespace parlo
