#pragma once
// What the cloning protocol tells a maker watching the log window (event
// 22): every frame's direction, command and address, the port settings,
// time-outs and the status each operation ends with. Nothing is posted
// unless a log window asked for it.
#include <cstdint>
#include <string>

namespace parlo {

class ByteQueue;

void SetCloneTracing(bool on);
bool CloneTracing();

// One line for the bytes of a frame sent (`sent`) or received, e.g.
// "-> E2 read request" or "<- E4 data 0120, 16 bytes". Leading 0xFE bytes,
// the address pair and a closing 0xFD may be present or not.
std::string DescribeFrame(bool sent, const uint8_t* bytes, int32_t n);

// Post a line, or a frame's line, when tracing.
void TraceClone(const std::string& line);
void TraceFrame(bool sent, const ByteQueue& bytes);

}  // namespace parlo
