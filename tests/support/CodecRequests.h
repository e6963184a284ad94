#pragma once
// Cell requests as a sheet sends them to a codec, for the codec tests.
#include <ostream>
#include <string>

#include "codecs/CellRequest.h"

namespace parlo {

inline void PrintTo(CodecResult r, std::ostream* os) {
    *os << (r == CodecResult::Changed     ? "Changed"
            : r == CodecResult::Unchanged ? "Unchanged"
                                          : "Rejected");
}

namespace test {

inline CellRequest Drawn() {
    CellRequest r;
    r.grid = true;
    return r;
}

inline CellRequest Pressed(int key) {
    CellRequest r = Drawn();
    r.key = key;
    return r;
}

inline CellRequest Committed(std::string text) {
    CellRequest r = Drawn();
    r.phase = kPhaseCommit;
    r.editText = std::move(text);
    return r;
}

inline CellRequest Picked(int index, PopupKind kind = PopupKind::List) {
    CellRequest r = Drawn();
    r.phase = kPhasePick;
    r.chosen = ChosenItem{kind, index};
    return r;
}

}  // namespace test
}  // namespace parlo
