#pragma once
// A list of inclusive (first, last) image address pairs. The list ends at the
// first pair whose first address exceeds its last (the application closes its
// lists with (1, 0)), and processing also stops at the first pair with an
// address outside the image.
#include <cstdint>
#include <vector>

#include "model/EepromImage.h"

namespace parlo {

struct AddrRange {
    int32_t first;
    int32_t last;
};
using RangeList = std::vector<AddrRange>;

inline constexpr AddrRange kRangeListEnd{1, 0};

// A one-range list closed by (1, 0).
inline RangeList SingleRange(int32_t first, int32_t last) { return {{first, last}, kRangeListEnd}; }

// Calls f(first, last) for each range that counts, in list order.
template <class F>
void ForEachRange(const RangeList& list, const EepromImage& image, F f) {
    for (const AddrRange& r : list) {
        if (r.first > r.last) return;
        if (!image.IsValidAddress(r.first) || !image.IsValidAddress(r.last)) return;
        f(r.first, r.last);
    }
}

}  // namespace parlo
