#pragma once
// Puts a simulated radio on a pseudo-terminal: the computer's side opens the
// slave device like a serial port. Every byte the computer sends goes to the
// radio; its echo and answers come back. With pacing, every byte in either
// direction takes the line time of ten bits at the speed the computer's side
// has set, one byte after another as on the real shared line.
#include <atomic>
#include <cstdint>
#include <deque>
#include <string>

#include "tools/radio-sim/RadioSim.h"

namespace parlo::sim {

class RadioPty {
public:
    RadioPty(Radio& radio, bool pace);
    ~RadioPty();
    RadioPty(const RadioPty&) = delete;
    RadioPty& operator=(const RadioPty&) = delete;

    // Creates the pseudo-terminal; false with a reason on failure.
    bool Open(std::string* error);
    // The device the computer's side opens.
    const std::string& DevicePath() const { return slavePath_; }
    // Serves until `stop` is set, or until the radio's cable is pulled
    // (the line then hangs up).
    void Run(const std::atomic<bool>& stop);

    // Bytes the computer sent and bytes the radio answered (echoes aside).
    int64_t BytesFromComputer() const { return fromComputer_; }
    int64_t BytesFromRadio() const { return fromRadio_; }
    // The line time of those bytes at the speeds they went at.
    int64_t LineNs() const { return lineNs_; }
    // When the last request (identify, read, write) had crossed the line,
    // and LineNs() at that moment: the start of its data phase.
    int64_t RequestEndNs() const { return requestEndNs_; }
    int64_t LineNsAtRequest() const { return lineNsAtRequest_; }

private:
    struct Due {
        int64_t atNs;
        uint8_t byte;
    };
    void Take(const uint8_t* bytes, int32_t n);
    // Queues the radio's bytes behind what the line already carries.
    void Answer(const ByteQueue& answer, int64_t step, int64_t charNs);
    void Flush(int64_t nowNs);
    void HangUp();
    int32_t Baud() const;

    Radio& radio_;
    bool pace_;
    int master_ = -1;
    int slaveHold_ = -1;  // keeps the line up while the computer reopens it
    std::string slavePath_;
    std::deque<Due> out_;
    int64_t lineFreeNs_ = 0;
    std::atomic<int64_t> fromComputer_{0};
    std::atomic<int64_t> fromRadio_{0};
    std::atomic<int64_t> lineNs_{0};
    std::atomic<int64_t> requestEndNs_{0};
    std::atomic<int64_t> lineNsAtRequest_{0};
};

// Monotonic nanoseconds.
int64_t NowNs();

}  // namespace parlo::sim
