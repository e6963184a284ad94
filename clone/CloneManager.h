#pragma once
// This radio's layer over the cloning protocol: it configures the driver
// (identity codes, speeds, the speed-change script, handshakes, time-outs),
// starts identify, read and write, keeps the view informed, routes each
// result through the application's handlers, turns a failure status into
// its message, and then calls the command's own completion.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "clone/CloneDriver.h"

namespace parlo {

class TimerTask;

// What the user sees while an operation runs. The desktop program disables
// its main window and shows the "Cloning" window; the command-line tool
// draws a bar on a terminal.
class CloneProgressView {
public:
    virtual ~CloneProgressView() = default;
    // An operation starts; `showProgress` for read and write, not identify.
    virtual void BeginOperation(bool showProgress) = 0;
    // Every 30 ms while it runs: data bytes moved of the total.
    virtual void UpdateProgress(int32_t done, int32_t total) = 0;
    // Before the result reaches the command.
    virtual void EndOperation() = 0;
};

class CloneManager {
public:
    using Callback = std::function<void(CloneResult& result)>;

    static constexpr int32_t kProgressPeriodMs = 30;
    static constexpr int32_t kHandshakeInterval = 128;
    static constexpr int32_t kStepTimeoutMs = 1000;
    static constexpr int32_t kWriteStepTimeoutMs = 2000;
    static constexpr int32_t kWriteReadyTimeoutMs = 20000;

    explicit CloneManager(std::unique_ptr<SerialDevice> device = NewSerialDevice(),
                          Scheduler& s = scheduler());
    ~CloneManager();
    CloneManager(const CloneManager&) = delete;
    CloneManager& operator=(const CloneManager&) = delete;

    void SetIdentifyHandler(Callback handler) { identifyHandler_ = std::move(handler); }
    void SetReadHandler(Callback handler) { readHandler_ = std::move(handler); }
    void SetCodes(int32_t code1, int32_t code2);
    void SetImageSize(int32_t n) { driver_.SetImageSize(n); }
    // The port the next operations open (its number may be 0 for a device
    // named by path) and the speed of the data phase of read and write.
    void SetPort(int32_t number, std::string device);
    void SetHighSpeed(bool high) { highSpeed_ = high; }
    bool HighSpeed() const { return highSpeed_; }
    // Not owned; nullptr for none.
    void SetView(CloneProgressView* view) { view_ = view; }
    void SetSuppressMessage(bool on) { suppressMessage_ = on; }

    bool IsBusy() const { return driver_.IsBusy(); }
    // False when busy. Identify always runs at 9600 baud.
    bool Identify(Callback completion);
    bool Read(const RangeList& ranges, Callback completion);
    bool Write(const EepromImage& image, const RangeList& ranges, Callback completion);

    // Bytes the running operation moves: the sizes of its ranges.
    int32_t Total() const { return total_; }
    CloneDriver& Driver() { return driver_; }

    // The speed-change script of an operation.
    std::string Script(bool high, bool write) const;

private:
    void Configure(bool high, bool write);
    bool Begin(CloneOperation op, const RangeList* ranges, const EepromImage* image,
               Callback completion);
    void OnResult(CloneResult& result);
    void ShowError(const CloneResult& result);
    static void ProgressTask(void* self, TimerTask* task);

    Callback identifyHandler_;
    Callback readHandler_;
    Callback completion_;
    CloneDriver driver_;
    int32_t total_ = 0;
    bool suppressMessage_ = false;
    CloneOperation operation_ = kOpIdentify;
    int32_t code1_ = 0;
    int32_t code2_ = 0;
    int32_t portNumber_ = 1;
    std::string device_;
    bool highSpeed_ = false;
    CloneProgressView* view_ = nullptr;
    TimerTask* progressTask_ = nullptr;
};

}  // namespace parlo
