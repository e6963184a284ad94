#pragma once
// What the cloning protocol tells a maker watching the log window: every
// frame's direction, command and address, the port settings, time-outs and
// the status each operation ends with. A driver traces only into a sink it
// was given, so nothing is made unless someone listens.
#include <cstdint>
#include <functional>
#include <string>

namespace parlo {

class ByteQueue;

using CloneTraceSink = std::function<void(const std::string& line)>;

// One line for the bytes of a frame sent (`sent`) or received, e.g.
// "-> E2 read request" or "<- E4 data 0120, 16 bytes". Leading 0xFE bytes,
// the address pair and a closing 0xFD may be present or not.
std::string DescribeFrame(bool sent, const uint8_t* bytes, int32_t n);

}  // namespace parlo
