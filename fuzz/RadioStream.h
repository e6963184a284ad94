#pragma once
// The input of the clone driver target and how its seeds are written: the
// command to run (1 clone information, 2 read, 3 write), then what the
// radio sends, in chunks that each arrive a pause after the one before:
// [command] then repeated [pause in 10 ms steps][length][bytes].
#include <cstddef>
#include <cstdint>
#include <vector>

namespace parlo::fuzz {

struct RadioChunk {
    uint32_t pauseMs = 0;
    std::vector<uint8_t> bytes;
};

struct RadioStream {
    int command = 1;
    std::vector<RadioChunk> chunks;
};

inline constexpr uint32_t kPauseStepMs = 10;
inline constexpr size_t kMaxChunks = 1024;

// A chunk cut short by the end of the input keeps what there is.
inline RadioStream ParseRadioStream(const uint8_t* data, size_t size) {
    RadioStream s;
    if (size == 0) return s;
    s.command = data[0] % 3 + 1;
    size_t at = 1;
    while (at + 1 < size && s.chunks.size() < kMaxChunks) {
        RadioChunk c;
        c.pauseMs = data[at] * kPauseStepMs;
        const size_t length = data[at + 1];
        at += 2;
        const size_t n = length < size - at ? length : size - at;
        c.bytes.assign(data + at, data + at + n);
        at += n;
        s.chunks.push_back(std::move(c));
    }
    return s;
}

inline std::vector<uint8_t> EncodeRadioStream(const RadioStream& s) {
    std::vector<uint8_t> out{static_cast<uint8_t>(s.command - 1)};
    for (const RadioChunk& c : s.chunks) {
        uint32_t pause = c.pauseMs / kPauseStepMs;
        size_t from = 0;
        do {  // long pauses and long chunks are split
            const uint32_t p = pause > 255 ? 255 : pause;
            const size_t n = c.bytes.size() - from > 255 ? 255 : c.bytes.size() - from;
            out.push_back(static_cast<uint8_t>(p));
            out.push_back(static_cast<uint8_t>(n));
            out.insert(out.end(), c.bytes.begin() + static_cast<long>(from),
                       c.bytes.begin() + static_cast<long>(from + n));
            pause -= p;
            from += n;
        } while (pause > 0 || from < c.bytes.size());
    }
    return out;
}

}  // namespace parlo::fuzz
