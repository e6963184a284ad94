#pragma once
// A serial device for protocol tests on virtual time. What the code under
// test writes is logged; the cable echoes it back and a simulated radio may
// answer. In line-rate mode each written byte takes the line time of ten
// bits at the configured speed (on the scheduler's clock) before it is
// echoed and delivered, and the device reports the bytes not yet sent as
// pending output, as a real port does. On a virtual scheduler the device has
// a handle that can be watched for bytes to read.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/SerialDevice.h"

namespace parlo {
class ByteQueue;
}
namespace parlo::sim {
class Radio;
}

namespace parlo::test {

struct SerialScript {
    // What happened.
    std::vector<std::string> opened;
    std::vector<SerialLine> lines;
    std::vector<std::vector<uint8_t>> writes;  // one entry per Write call
    std::vector<uint8_t> sent;                 // every byte written, in order
    int closes = 0;
    // Every opening of the port: the line speed set, the bytes written, and
    // when (on the scheduler's clock) it was set up and first written to.
    struct Opening {
        int32_t baud;
        std::vector<uint8_t> sent;
        uint32_t openedMs = 0;
        uint32_t firstWriteMs = 0;
    };
    std::vector<Opening> openings;

    // How the far side behaves.
    bool echo = true;
    sim::Radio* radio = nullptr;
    bool lineRate = false;
    SerialOpenFailure::Reason openFailure = SerialOpenFailure::Reason::None;
    int32_t acceptLimit = -1;      // accept at most this many bytes per write (-1: all)
    int32_t fixedOutputCount = 0;  // pending output reported outside line-rate mode
    // Filters each byte the radio answers; return false to hold it back.
    std::function<bool(uint8_t)> passAnswer;
    // How long the radio takes before each byte it answers (0: at once).
    std::function<uint32_t(uint8_t)> answerDelayMs;
    // A slow cable: each echoed byte comes back this long after the one
    // before (0: at once); the radio's answers queue behind the echo.
    uint32_t echoGapMs = 0;
    // When a byte last became readable through the line (echo or answer).
    uint32_t lastInputMs = 0;

    // Bytes waiting to be read; tests may add to them.
    std::deque<uint8_t> input;
    // Radio answers held back by passAnswer.
    std::deque<uint8_t> heldAnswers;
};

class ScriptedSerial : public SerialDevice {
public:
    explicit ScriptedSerial(std::shared_ptr<SerialScript> script) : s_(std::move(script)) {}
    ~ScriptedSerial() override;
    ScriptedSerial(const ScriptedSerial&) = delete;
    ScriptedSerial& operator=(const ScriptedSerial&) = delete;

    bool Open(const std::string& path, SerialOpenFailure* why) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    bool Configure(const SerialLine& line) override;
    bool Purge() override;
    int32_t InputCount() override;
    int32_t OutputCount() override;
    int32_t Read(uint8_t* buffer, int32_t max) override;
    int32_t Write(const uint8_t* data, int32_t n) override;
    int ReadHandle() const override { return handle_; }

private:
    void Transmit(uint8_t byte, int32_t baud);
    // The radio's answer, through the test's filter.
    void Deliver(const ByteQueue& answer);
    void Advance();
    bool HungUp() const;
    uint64_t NextChangeMs() const;
    // Puts a byte where it can be read once `dueMs` has come.
    void Arrive(uint8_t byte, uint64_t dueMs);

    std::shared_ptr<SerialScript> s_;
    bool open_ = false;
    int32_t baud_ = 9600;
    int handle_ = -1;
    struct OnLine {
        uint64_t doneUs;
        uint8_t byte;
        int32_t baud;
    };
    std::deque<OnLine> line_;
    uint64_t lineFreeUs_ = 0;
    // Bytes on their way back, in order, with the time each arrives.
    std::deque<std::pair<uint64_t, uint8_t>> coming_;
};

}  // namespace parlo::test
