#pragma once
// The radio's side of the cloning protocol, for tests, the benchmark and
// users without a radio: the cable's echo of every byte the computer sends,
// the identity answer, a read (data frames and the end frame) and a write
// (0xFB before the first frame and at every 128-address boundary, then the
// final result), each with an optional fault. It is strict as a real radio
// is: a frame that differs from the protocol's table in any byte, or comes
// at the wrong line speed, is ignored, and a request is answered only after
// a complete speed script (high speed frame, mode frame, final speed frame)
// in that order. It works byte by byte and keeps no clock of its own; its
// host tells it the line speed and the time. RadioPty puts it on a
// pseudo-terminal.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "clone/ByteQueue.h"
#include "model/EepromImage.h"

namespace parlo::sim {

enum class Fault {
    None,
    NoEcho,          // the cable returns nothing
    WrongEcho,       // one echo byte differs
    Silence,         // the radio never answers
    Refusal,         // 0xFA instead of 0xFB to a write request
    BadChecksum,     // a read data frame with a wrong checksum
    LowerCaseHex,    // a read data frame in lower-case hexadecimal
    WrongEndCount,   // the read end frame reports one frame too many
    MissingAddress,  // a read skips one data frame
    ExtraAddress,    // a read sends a frame beyond the memory end
    WriteFailed,     // the write result reports failure
    WrongModel,      // the identity answer carries model code 0x2928
    MapRevision7,    // the identity block reports map revision 7
    Stall,           // the radio stops mid-transfer
    RepeatFrame,     // a read sends the frame for 0000 again every 0.3 s, for ever
    Trickle,         // a read sends one data frame every 0.9 s
    CorruptWrite,    // a write stores one byte wrong but reports success
    SlowAck,         // a write's every 0xFB comes 1.9 s late, just in time
    Unplug,          // the cable is pulled at the data frame of a read or write
};

// The fault's option name ("no-echo", ...); Fault::None for an unknown one.
Fault FaultByName(const std::string& name, bool* known);
std::vector<std::string> FaultNames();

struct RadioConfig {
    EepromImage image;              // the radio's memory
    std::vector<uint8_t> identity;  // the identity block it reports
    int32_t readFrameSize = 32;     // data bytes per frame when reading (even, 2..254)
    Fault fault = Fault::None;
    // The data frame (or echoed byte) the fault strikes at. For a corrupt
    // write: the written data frame whose first byte is stored wrong.
    int32_t faultAt = 20;
};

// An 80-byte identity block that matches the image: its variant, map
// revision 6, memory end 7D7F.
std::vector<uint8_t> DefaultIdentity(const EepromImage& image);

class Radio {
public:
    explicit Radio(RadioConfig config);

    // One byte from the computer: the cable's echo is appended to `echo` and
    // the radio's answer, if any, to `answer`.
    void Receive(uint8_t byte, ByteQueue& echo, ByteQueue& answer);
    // The speed the line runs at for the bytes that follow; 0 (the start)
    // when the host cannot tell, and then no frame is judged by its speed.
    void SetLineBaud(int32_t baud) { lineBaud_ = baud; }
    // What the radio sends on its own by `nowMs` (a radio that keeps
    // sending); hosts call it as their time passes.
    void Tick(int64_t nowMs, ByteQueue& answer);
    // When Tick has something to send next: a time, 0 for at once, or -1.
    int64_t NextTickMs() const;

    const EepromImage& Image() const { return config_.image; }
    const RadioConfig& Config() const { return config_; }
    // Called after every confirmed write with the first and last address
    // written; the image already holds the new data.
    std::function<void(int32_t first, int32_t last)> onWritten;
    // One line per operation, for a log.
    std::function<void(const std::string& line)> onEvent;

    int32_t MemoryEnd() const;
    // The cable has been pulled (Fault::Unplug): the radio takes and sends
    // nothing more, and its host hangs the line up once the bytes already
    // on their way have crossed it.
    bool Unplugged() const { return unplugged_; }
    // Requests answered so far (identify, read and write).
    int64_t Requests() const { return requests_; }

private:
    enum class Setup : uint8_t { None, High, Mode, Ready };
    void Frame(ByteQueue& answer);
    bool SpeedScript(const uint8_t* body, int32_t n);
    bool Request(const uint8_t* body, int32_t n, ByteQueue& answer);
    bool AtBaud(int32_t baud) const { return lineBaud_ == 0 || lineBaud_ == baud; }
    void StartTimedRead();
    void AnswerIdentity(ByteQueue& answer);
    void StreamRead(ByteQueue& answer);
    void ReceiveData(ByteQueue& answer);
    void FinishWrite(ByteQueue& answer);
    void Ready(ByteQueue& answer);
    void Event(const std::string& line);

    RadioConfig config_;
    ByteQueue frame_;
    int32_t leadingStarts_ = 0;  // the 0xFE bytes that opened the frame
    bool inBody_ = false;
    int32_t lineBaud_ = 0;
    Setup setup_ = Setup::None;
    bool writeMode_ = false;
    int32_t dataBaud_ = 9600;
    int64_t requests_ = 0;
    // A read sent on the clock: the next frame's address and time (-1: none;
    // 0: at the next tick).
    int32_t timedAddress_ = 0;
    int64_t timedNextMs_ = -1;
    // A late 0xFB: when it is due (-1: none; 0: its delay starts at the
    // next tick).
    int64_t readyAtMs_ = -1;
    int32_t corruptAddress_ = -1;
    int64_t echoed_ = 0;
    bool writing_ = false;
    bool writeOk_ = true;
    int32_t writeFrames_ = 0;
    int32_t writeFirst_ = -1;
    int32_t writeLast_ = -1;
    EepromImage incoming_;
    bool stalled_ = false;
    bool unplugged_ = false;
};

}  // namespace parlo::sim
