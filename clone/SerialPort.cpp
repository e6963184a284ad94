#include "clone/SerialPort.h"

#include <algorithm>
#include <vector>

#include "platform/NumberText.h"
#include "runtime/TimerTask.h"

namespace parlo {

SerialPort::SerialPort(std::unique_ptr<SerialDevice> device, Scheduler& s)
    : device_(std::move(device)), task_(std::make_unique<TimerTask>(s)), scheduler_(s) {}

SerialPort::~SerialPort() { Close(); }

namespace {

std::vector<std::string> SplitFields(const std::string& s) {
    std::vector<std::string> fields(1);
    for (char c : s) {
        if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    fields.resize(std::max<size_t>(fields.size(), 4));
    return fields;
}

}  // namespace

SerialLine SerialPort::ParseSettings(const std::string& settings) {
    const std::vector<std::string> f = SplitFields(settings);
    SerialLine line;
    line.baud = LeadingInteger(f[0]);
    const char parity = f[1].empty() ? 'N' : f[1][0];
    line.parityCheck = parity == 'M' || parity == 'm' || parity == 'O' || parity == 'o';
    line.dataBits = static_cast<uint8_t>(std::clamp(LeadingInteger(f[2]), 4, 8));
    line.stopBits = f[3] == "1.5" ? StopBits::OneAndHalf
                    : f[3] == "2" ? StopBits::Two
                                  : StopBits::One;
    return line;
}

bool SerialPort::Open(int32_t port, const std::string& device, const std::string& settings) {
    if (IsOpen()) return false;
    port_ = port;
    devicePath_ = device;
    writeError_ = false;
    line_ = ParseSettings(settings);
    openFailure_ = SerialOpenFailure{};
    if (!device_->Open(device, &openFailure_)) return false;
    if (!device_->Purge() || !device_->Configure(line_)) {
        openFailure_.reason = SerialOpenFailure::Reason::NotSerial;
        openFailure_.device = device;
        Close();
        return false;
    }
    emptyWakes_ = 0;
    if (onActivity_ && device_->ReadHandle() >= 0) {
        watch_ = scheduler_.WatchReadable(device_->ReadHandle(), [this] { OnReadable(); });
    }
    return true;
}

void SerialPort::Close() {
    task_->SetPeriod(-1);
    watch_.reset();  // before its handle goes
    device_->Close();
    transmit_.Clear();
    writeError_ = false;
}

void SerialPort::Write(const uint8_t* bytes, int32_t n) {
    if (!IsOpen()) return;
    task_->SetPeriod(-1);
    transmit_.AppendBytes(bytes, n);
    task_->SetCallback([this](TimerTask&) { Pump(true); });
    task_->SetPeriod(0);
    Pump();
}

int32_t SerialPort::Read(uint8_t* buffer, int32_t max) {
    if (!IsOpen()) return 0;
    const int32_t n = std::min<int32_t>(static_cast<int32_t>(InputCount()), max);
    if (n <= 0) return 0;
    return std::max(device_->Read(buffer, n), 0);
}

uint32_t SerialPort::InputCount() {
    if (!IsOpen()) return 0;
    return static_cast<uint32_t>(std::max(device_->InputCount(), 0));
}

uint32_t SerialPort::OutputCount() {
    if (!IsOpen()) return 0;
    return static_cast<uint32_t>(std::max(device_->OutputCount(), 0));
}

uint32_t SerialPort::PendingOutput() {
    return OutputCount() + static_cast<uint32_t>(transmit_.Length());
}

// Bytes that arrive are echoes of bytes that have left: a good moment for
// the next chunk. A device that keeps signalling with nothing to read has
// hung up (a cable pulled out): polling alone serves it from then on.
void SerialPort::OnReadable() {
    if (device_->InputCount() <= 0) {
        if (++emptyWakes_ >= kEmptyWakesTolerated) watch_.reset();
        return;
    }
    emptyWakes_ = 0;
    if (transmit_.Length() > 0) Pump();
    if (onActivity_) onActivity_();
}

void SerialPort::Pump(bool fromTask) {
    if (!IsOpen()) {
        task_->SetPeriod(-1);
        return;
    }
    const int32_t chunk = std::min(kOutputQueueSize, transmit_.Length());
    if (OutputCount() > 0) {
        task_->SetPeriod(kPumpPeriodMs);
        return;
    }
    if (device_->Write(transmit_.Data(), chunk) < chunk) {
        writeError_ = true;
        task_->SetPeriod(-1);
        return;
    }
    if (transmit_.Length() > chunk) {
        for (int32_t i = 0; i < chunk; ++i) transmit_.PopFront();
        task_->SetPeriod(kPumpPeriodMs);
    } else {
        transmit_.Clear();
        task_->SetPeriod(-1);
        // Last: the handler may end the operation and this port with it.
        if (fromTask && onActivity_) onActivity_();
    }
}

}  // namespace parlo
