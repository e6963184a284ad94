#pragma once
// The computer's frames as the radio's frame table has them, byte for byte,
// for the tests of the driver and of the simulator. Written out here, never
// built with the code's own helpers, so that a misreading of the table in
// the code cannot hide in its tests. Each frame: the head, the model code
// 29 27 and the second code 00 00 once, the frame's own bytes, the end.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace parlo::test::frames {

using Bytes = std::vector<uint8_t>;

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}
inline Bytes Fill(uint8_t v, size_t n) { return Bytes(n, v); }

inline const Bytes kSpeedHigh =
    Cat({Fill(0xFE, 20), {0xEE, 0xEF, 0xE8, 0x29, 0x27, 0x00, 0x00, 0x01, 0x32, 0x37, 0xFD}});
inline const Bytes kSpeedLow =
    Cat({Fill(0xFE, 20), {0xEE, 0xEF, 0xE8, 0x29, 0x27, 0x00, 0x00, 0x01, 0x30, 0x39, 0xFD}});
inline const Bytes kModeRead = {0xFE, 0xFE, 0xEE, 0xEF, 0xE8, 0x29, 0x27,
                                0x00, 0x00, 0x55, 0x30, 0x30, 0xFD};
inline const Bytes kModeWrite = {0xFE, 0xFE, 0xEE, 0xEF, 0xE8, 0x29, 0x27,
                                 0x00, 0x00, 0x55, 0x30, 0x31, 0xFD};
// An identify (0xE0), read (0xE2) or write (0xE3) request after `preamble`
// extra 0xFE bytes.
inline Bytes Request(size_t preamble, uint8_t command) {
    return Cat(
        {Fill(0xFE, preamble), {0xFE, 0xFE, 0xEE, 0xEF, command, 0x29, 0x27, 0x00, 0x00, 0xFD}});
}

}  // namespace parlo::test::frames
