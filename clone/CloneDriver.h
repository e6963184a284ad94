#pragma once
// The radio's cloning protocol: identify (ask for the identity block), read
// (receive the EEPROM image) and write (send one). Each operation is a state
// machine stepped every 10 ms by a timer task, and at once whenever bytes
// arrive or the port has sent all it was given: a speed-change script, the
// request, then the data phase, every sent byte checked against the cable's
// echo. At the end the port is closed and a result record goes to the
// operation's completion. Nothing ever blocks; the settling pause after each
// reopening of the port is a wait between steps. The 10 ms step stays the
// time base of the time-outs. An operation ends only by them and by a guard
// on progress: however long it takes, a radio that answers every step in
// time is never cut off, and one that keeps answering without progress is.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "clone/ByteQueue.h"
#include "clone/CloneTrace.h"
#include "clone/RangeList.h"
#include "clone/SerialPort.h"
#include "model/EepromImage.h"
#include "runtime/Countdown.h"
#include "runtime/TimerTask.h"

namespace parlo {

// Outcomes of a clone operation. The driver sets 0, 1, 2, 4-10 and 17; the
// clone manager's checks set 8 and 11 (no handler), 11, 14, 15 and 16; the
// clone commands' check of a written radio sets 18, and their check of the
// write range against the radio's memory 19.
enum CloneStatus : uint8_t {
    kCloneOk = 0,
    kCloneCancelled = 1,  // the user stopped the operation

    kClonePortOpen = 2,  // also the value while an operation runs
    kCloneEcho = 4,
    kCloneTimeout = 5,
    kCloneFrame = 6,
    kCloneFrameCount = 7,
    kCloneCoverage = 8,
    kCloneAddress = 9,
    kCloneWriteUnconfirmed = 10,
    kCloneModel = 11,
    kCloneMapRevision = 14,
    kCloneContent = 15,
    kCloneNewerData = 16,
    kCloneShortWrite = 17,
    kCloneVerify = 18,     // the radio's memory differs from what was written
    kCloneMemoryEnd = 19,  // the write range runs past the radio's memory
};

enum CloneOperation : uint8_t { kOpIdentify = 1, kOpRead = 2, kOpWrite = 3 };

// What an operation hands to its completion; valid during the call only.
struct CloneResult {
    uint8_t operation = 0;
    uint8_t status = kClonePortOpen;
    int32_t code1 = 0;
    int32_t code2 = 0;
    ByteQueue identity;
    // Read: the bytes received, 0x00 where none came. Write: the image sent.
    EepromImage image;
    // One bit per address received: bit a % 8 of byte a / 8.
    ByteQueue received;
    // Why the port could not be opened (status 2).
    SerialOpenFailure portFailure;
    // More about the failure for its message (status 18: the addresses).
    std::string detail;
    // Status 5 after the radio kept sending without progress: for how long
    // (0 when it fell silent).
    int32_t stalledMs = 0;
    // Status 1 of a write stopped while its data flowed: the first address
    // not written; -1 otherwise.
    int32_t stoppedAt = -1;
};

class CloneDriver {
public:
    using Completion = std::function<void(CloneResult& result)>;

    static constexpr int32_t kStepPeriodMs = 10;
    static constexpr int32_t kSettleMs = 100;
    static constexpr int32_t kReadChunk = 256;
    static constexpr int32_t kMaxFramesPerStep = 8;
    static constexpr int32_t kEchoSlack = 128;  // echo bytes allowed outstanding while sending
    static constexpr int32_t kMaxAnswerFrame = 520;
    static constexpr int32_t kMaxDataFrame = 521;

    explicit CloneDriver(std::unique_ptr<SerialDevice> device = NewSerialDevice(),
                         Scheduler& s = scheduler());
    ~CloneDriver();
    CloneDriver(const CloneDriver&) = delete;
    CloneDriver& operator=(const CloneDriver&) = delete;

    void SetCodes(int32_t code1, int32_t code2);
    void SetImageSize(int32_t n) { imageSize_ = n; }
    // The port by number (for messages) and by device, and the settings of
    // the data phase.
    void SetPort(int32_t port, std::string device, std::string dataSettings);
    void SetRequestPreamble(int32_t count) { requestPreamble_ = count; }
    void SetDataPreamble(int32_t later, int32_t first);
    void SetScript(std::string script) { script_ = std::move(script); }
    void SetCountInEndFrame(bool on) { countInEndFrame_ = on; }
    void SetEchoCheck(bool on) { echoCheck_ = on; }
    void SetWaitForReady(bool on) { waitForReady_ = on; }
    // Values <= 0 keep the previous one.
    void SetHandshake(int32_t interval, int32_t offset);
    void SetStepTimeout(int32_t ms);
    void SetReadyTimeout(int32_t ms);
    // Where the lines of a trace go; an empty sink traces nothing.
    void SetTrace(CloneTraceSink sink) { trace_ = std::move(sink); }

    // False when busy. Range lists end at their first reversed pair or at
    // an address outside the image.
    bool StartIdentify(Completion completion);
    bool StartRead(const RangeList& ranges, Completion completion);
    bool StartWrite(const EepromImage& image, const RangeList& ranges, Completion completion);
    bool IsBusy() const { return state_ != 0; }
    // Whether Cancel would stop the running operation: anything but a write
    // whose data has begun to flow.
    bool CanCancel() const;
    // Ends the running operation with status 1 (the port is closed and the
    // completion called on a following step); false when it cannot.
    bool Cancel();
    // A write whose data flow: stops it with status 1 once the block being
    // sent has been acknowledged, leaving the radio half written (the
    // result's stoppedAt says where). A block that is the last goes on to
    // the end. False when no write's data flow.
    bool StopAfterBlock();
    // How long the running operation may go without progress (a new state,
    // a data frame taken or sent, an acknowledgement, every echo back): the
    // longest time-out of the steps it waits in.
    int32_t ProgressGuardMs() const { return guardMs_; }

    int32_t State() const { return state_; }
    int32_t ByteCounter() const { return byteCounter_; }
    int32_t FrameCount() const { return frameCount_; }
    int32_t DataCounter() const { return dataCounter_; }
    SerialPort& Port() { return comm_; }

private:
    bool Start(CloneOperation op, Completion completion, const EepromImage* image = nullptr);
    // Steps for as long as the state moves on by itself.
    void RunSteps();
    void OnWake();
    void OnLineActivity();
    void Step();
    void Act(int32_t& next, bool& progress);
    void Finish();
    void Trace(const std::string& line) const {
        if (trace_) trace_(line);
    }
    void TraceFrame(bool sent, const ByteQueue& bytes) const;

    void RunScriptSegment(int32_t& next);
    bool Reopen(const std::string& settings);
    void DiscardInput();
    int32_t ReadPort();
    void Send(const ByteQueue& bytes);
    void SendRequest(uint8_t command);
    // Feeds one received byte to the frame being assembled; true when it
    // completed a frame (left in frame_, without 0xFD).
    bool Assemble(uint8_t byte);
    void WaitAnswer(int32_t& next, bool (CloneDriver::*judge)());
    bool JudgeIdentity();
    bool JudgeWriteResult();
    void ReceiveData(int32_t& next, bool& progress);
    uint8_t CheckDataFrame();
    uint8_t CheckEndFrame();
    uint8_t Coverage() const;
    void SendData(int32_t& next, bool& progress);
    void WaitReady(int32_t& next);
    bool AtRangesEnd() const;
    bool AtHandshakePoint() const;
    bool DataRemain() const;
    int32_t LongestTimeout() const;
    void Fail(uint8_t status, int32_t& next);
    void Stalled();
    struct EchoCheck;
    EchoCheck CheckEcho();
    void BuildDataFrame();
    int32_t TimeoutFor(int32_t state) const;

    int32_t code1_ = 0;
    int32_t code2_ = 0;
    int32_t imageSize_ = 1;
    int32_t port_ = 1;
    std::string device_;
    std::string dataSettings_ = "9600,n,8,1";
    int32_t requestPreamble_ = 0;
    int32_t laterDataPreamble_ = 0;
    int32_t firstDataPreamble_ = 0;
    CloneOperation operation_ = kOpIdentify;
    bool countInEndFrame_ = true;
    bool echoCheck_ = false;
    bool waitForReady_ = false;
    int32_t handshakeInterval_ = 0;
    int32_t handshakeOffset_ = 0;
    SerialPort comm_;
    ByteQueue receive_;
    ByteQueue frame_;
    ByteQueue echo_;
    uint8_t readBuffer_[kReadChunk] = {};
    std::string script_;
    CloneTraceSink trace_;
    int32_t byteCounter_ = 0;
    int32_t frameCount_ = 0;
    int32_t dataCounter_ = 0;
    int32_t blockSize_ = 16;
    RangeList ranges_;
    int32_t rangeTotal_ = 0;
    size_t range_ = 0;
    int32_t address_ = 0;
    std::unique_ptr<CloneResult> result_;
    Completion completion_;
    int32_t state_ = 0;
    Countdown stopwatch_;
    bool settling_ = false;
    Countdown settle_;
    int32_t stepTimeout_ = 1000;
    int32_t scriptTimeout_ = 1000;
    int32_t endTimeout_ = 2000;
    int32_t identityTimeout_ = 1000;
    int32_t readyTimeout_ = 1000;
    // The guard on progress.
    int32_t guardMs_ = 0;
    uint32_t advancedMs_ = 0;
    int32_t heard_ = 0;  // bytes received since the last progress
    bool stopAfterBlock_ = false;
    std::unique_ptr<TimerTask> task_;
    Scheduler& scheduler_;
    // A step sooner than the task's next: the end of a settling pause, a
    // new operation, a drained port.
    std::unique_ptr<Timer> wake_;
};

}  // namespace parlo
