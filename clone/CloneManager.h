#pragma once
// This radio's layer over the cloning protocol: it configures the driver
// (identity codes, speeds, the speed-change script, handshakes, time-outs),
// starts identify, read and write, keeps the view informed, routes each
// result through the application's handlers, turns a failure status into
// its message, and then calls the command's own completion.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "clone/CloneDriver.h"

namespace parlo {

// What an operation is for, as the user is told.
enum class CloneStage : uint8_t { Identify, Read, Backup, Write, Verify };

// Where a running operation stands.
struct CloneProgress {
    CloneStage stage = CloneStage::Identify;
    int32_t done = 0;          // data bytes moved
    int32_t total = 0;         // of these
    int32_t secondsLeft = -1;  // -1 until the data flow tells
    bool cancellable = false;
};

// What the user sees while an operation runs. The desktop program disables
// its main window and shows the "Cloning" window; the command-line tool
// draws a bar on a terminal.
class CloneProgressView {
public:
    virtual ~CloneProgressView() = default;
    // An operation starts; `showProgress` for read and write, not identify.
    virtual void BeginOperation(bool showProgress) = 0;
    // At the start and every 30 ms while it runs.
    virtual void UpdateProgress(const CloneProgress& progress) = 0;
    // Before the result reaches the command.
    virtual void EndOperation() = 0;
};

// The user's words for a stage: "Reading the radio", "Writing", ...
std::string StageText(CloneStage stage);

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
    // The caption of the messages shown; empty (the default) for the
    // application's title. Several radios at once tell theirs apart by it.
    void SetMessageCaption(std::string caption) { caption_ = std::move(caption); }
    std::string MessageCaption() const;
    // The port as messages name it.
    std::string PortText() const;
    // What the next Read or Write is for (Read and Write by default); it
    // applies to that one operation.
    void SetNextStage(CloneStage stage) { nextStage_ = stage; }

    bool IsBusy() const { return driver_.IsBusy(); }
    // False when busy. Identify always runs at 9600 baud.
    bool Identify(Callback completion);
    bool Read(const RangeList& ranges, Callback completion);
    bool Write(const EepromImage& image, const RangeList& ranges, Callback completion);
    // Stops a running identify or read, or a write whose data do not flow
    // yet; its completion sees status 1 and no message is shown.
    bool Cancel() { return driver_.Cancel(); }
    // Stops a write whose data flow once the block being sent is
    // acknowledged; the radio is then half written, and the message says so.
    bool StopAfterBlock() { return driver_.StopAfterBlock(); }
    // Where the running operation stands.
    CloneProgress Progress();

    // Bytes the running operation moves: the sizes of its ranges.
    int32_t Total() const { return total_; }
    CloneDriver& Driver() { return driver_; }
    // Where the protocol's trace goes (CloneTrace.h); empty: nowhere.
    void SetTrace(CloneTraceSink sink) { driver_.SetTrace(std::move(sink)); }

    // The speed-change script of an operation.
    std::string Script(bool high, bool write) const;

private:
    void Configure(bool high, bool write);
    bool Begin(CloneOperation op, const RangeList* ranges, const EepromImage* image,
               Callback completion);
    CloneStage TakeStage(CloneStage normal);
    void OnResult(CloneResult& result);
    void ShowError(const CloneResult& result);
    void ShowProgress(TimerTask& task);

    Callback identifyHandler_;
    Callback readHandler_;
    Callback completion_;
    CloneDriver driver_;
    int32_t total_ = 0;
    CloneOperation operation_ = kOpIdentify;
    int32_t code1_ = 0;
    int32_t code2_ = 0;
    int32_t portNumber_ = 1;
    std::string device_;
    bool highSpeed_ = false;
    std::string caption_;
    CloneStage stage_ = CloneStage::Identify;
    std::optional<CloneStage> nextStage_;
    uint32_t dataStartMs_ = 0;
    int32_t dataStartDone_ = -1;
    Scheduler& scheduler_;
    CloneProgressView* view_ = nullptr;
    std::unique_ptr<TimerTask> progressTask_;
};

}  // namespace parlo
