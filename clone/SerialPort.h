#pragma once
// The serial port the clone protocol talks through. It opens a port with a
// settings string such as "9600,N,8,1", reads whatever has arrived without
// blocking, and sends through a transmit queue that a timer task hands to
// the device in chunks of at most 1024 bytes, each only once the device's
// own transmit buffer is empty. No thread of its own: the protocol's task
// polls for input and the port's task pumps the output. Where the scheduler
// can watch the device, arriving bytes also call the activity handler at
// once (and let the pump hand over its next chunk), so that the protocol
// need not wait for its next poll.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "clone/ByteQueue.h"
#include "platform/Scheduler.h"
#include "platform/SerialDevice.h"
#include "runtime/TimerTask.h"

namespace parlo {

class SerialPort {
public:
    static constexpr int32_t kInputQueueSize = 32000;
    static constexpr int32_t kOutputQueueSize = 1024;
    static constexpr int32_t kPumpPeriodMs = 10;
    static constexpr int kEmptyWakesTolerated = 3;

    // Closed; the transmit task is created stopped.
    explicit SerialPort(std::unique_ptr<SerialDevice> device = NewSerialDevice(),
                        Scheduler& s = scheduler());
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens `device` (the path of port number `port`) with the settings,
    // purged. Fails when already open, and when the device cannot be opened
    // or configured (LastOpenFailure says why).
    bool Open(int32_t port, const std::string& device, const std::string& settings);
    void Close();
    bool IsOpen() const { return device_->IsOpen(); }

    // Queues the bytes and starts the pump; nothing when closed.
    void Write(const uint8_t* bytes, int32_t n);
    // What has arrived, up to max bytes; 0 when closed, idle or failing.
    int32_t Read(uint8_t* buffer, int32_t max);
    uint32_t InputCount();
    uint32_t OutputCount();
    // The device's transmit buffer plus the transmit queue.
    uint32_t PendingOutput();
    // Set when the device accepted fewer bytes than handed to it; cleared by
    // Open and Close.
    bool WriteError() const { return writeError_; }

    int32_t PortNumber() const { return port_; }
    const std::string& Device() const { return devicePath_; }
    const SerialLine& Line() const { return line_; }
    const SerialOpenFailure& LastOpenFailure() const { return openFailure_; }
    int32_t QueuedLength() const { return transmit_.Length(); }

    // Called when bytes have arrived, and when the pump's own task has
    // handed the last queued byte to the device. It must read what arrived.
    // Takes effect at the next Open.
    void SetActivityHandler(std::function<void()> handler) { onActivity_ = std::move(handler); }

    // "baud,parity,data bits,stop bits": the baud rate; parity letters M and
    // O (either case) switch parity checking on; data bits clamped to 4..8;
    // stop bits "1.5", "2", else one.
    static SerialLine ParseSettings(const std::string& settings);

private:
    // One pump step; `fromTask` when the pump's own task runs it.
    void Pump(bool fromTask = false);
    void OnReadable();

    std::unique_ptr<SerialDevice> device_;
    int32_t port_ = 0;
    std::string devicePath_;
    bool writeError_ = false;
    ByteQueue transmit_;
    SerialLine line_;
    SerialOpenFailure openFailure_;
    std::unique_ptr<TimerTask> task_;
    Scheduler& scheduler_;
    std::function<void()> onActivity_;
    std::unique_ptr<ReadWatch> watch_;
    int emptyWakes_ = 0;
};

}  // namespace parlo
