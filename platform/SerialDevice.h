#pragma once
// A serial device as the clone transport needs it: opened exclusively by
// path, set to a line speed and format without flow control (DTR off, RTS
// on), purged, asked how many bytes wait in either direction, read without
// ever blocking and written without waiting.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace parlo {

enum class StopBits : uint8_t { One, OneAndHalf, Two };

struct SerialLine {
    int32_t baud = 9600;
    uint8_t dataBits = 8;  // 4..8
    StopBits stopBits = StopBits::One;
    bool parityCheck = false;  // the parity itself is always "none"
};

// Why a device could not be opened, so that the user can be told what to do.
struct SerialOpenFailure {
    enum class Reason : uint8_t { None, NotFound, PermissionDenied, Busy, NotSerial, Other };
    Reason reason = Reason::None;
    std::string device;
    std::string group;   // PermissionDenied: the group that owns the device
    std::string detail;  // Other, NotSerial: the system's own words
};

class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Opens for reading and writing, exclusively. On failure *why says why.
    virtual bool Open(const std::string& path, SerialOpenFailure* why) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Line speed and format, no flow control, reads that return at once,
    // DTR off and RTS on.
    virtual bool Configure(const SerialLine& line) = 0;
    // Drops what waits in both directions.
    virtual bool Purge() = 0;
    // Bytes received and not read, bytes written and not yet sent; -1 on error.
    virtual int32_t InputCount() = 0;
    virtual int32_t OutputCount() = 0;
    // Bytes read (0 when nothing is there), -1 on error. Never waits.
    virtual int32_t Read(uint8_t* buffer, int32_t max) = 0;
    // Bytes accepted, which may be fewer than n; -1 on error.
    virtual int32_t Write(const uint8_t* data, int32_t n) = 0;
    // The handle a scheduler can watch for bytes to read while the device is
    // open (Scheduler::WatchReadable); -1 when there is none.
    virtual int ReadHandle() const { return -1; }
};

// The platform's serial device.
std::unique_ptr<SerialDevice> NewSerialDevice();

// A serial device present on this machine.
struct SerialPortInfo {
    std::string path;               // /dev/ttyUSB0
    std::vector<std::string> byId;  // its /dev/serial/by-id names
    std::string driver;             // kernel driver, when known
    std::string usbId;              // "vvvv:pppp", when it sits on USB
};

// The USB, ACM and built-in serial ports present, by path.
std::vector<SerialPortInfo> ListSerialPorts();

}  // namespace parlo
