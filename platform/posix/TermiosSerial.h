#pragma once
// The serial device over termios: raw mode, non-blocking reads, exclusive
// open (TIOCEXCL and an advisory lock, which also keeps out root), 8N1 at the
// usual speeds, no flow control, DTR off and RTS on where the device has
// modem lines (a pseudo-terminal has none).
#include "platform/SerialDevice.h"

namespace parlo {

class TermiosSerial : public SerialDevice {
public:
    TermiosSerial() = default;
    ~TermiosSerial() override;
    TermiosSerial(const TermiosSerial&) = delete;
    TermiosSerial& operator=(const TermiosSerial&) = delete;

    bool Open(const std::string& path, SerialOpenFailure* why) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    bool Configure(const SerialLine& line) override;
    bool Purge() override;
    int32_t InputCount() override;
    int32_t OutputCount() override;
    int32_t Read(uint8_t* buffer, int32_t max) override;
    int32_t Write(const uint8_t* data, int32_t n) override;
    int ReadHandle() const override { return fd_; }

private:
    int fd_ = -1;
};

}  // namespace parlo
