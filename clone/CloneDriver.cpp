#include "clone/CloneDriver.h"

#include <algorithm>
#include <cstring>

#include "clone/CloneFrames.h"
#include "clone/CloneTrace.h"
#include "platform/Fatal.h"
#include "runtime/TimerTask.h"

namespace parlo {

namespace {

// The states of an operation.
enum : int32_t {
    kIdle = 0,
    kStart = 2,
    kScript = 3,
    kOpenData = 4,
    kIdentifyRequest = 5,
    kWaitIdentity = 6,
    kReadRequest = 7,
    kReceiveData = 8,
    kWriteRequest = 9,
    kWaitReady = 10,
    kSendData = 11,
    kWaitBlockAck = 12,
    kSendEnd = 13,
    kWaitWriteResult = 14,
    kFinishing = 15,
    kDone = 16,
};

bool IsDecimalPair(uint8_t b) { return (b >> 4) <= 9 && (b & 0x0F) <= 9; }

// Steps run back to back at most, and port reads taken at once when bytes
// arrive.
constexpr int kStepsAtOnce = 16;
constexpr int kReadsAtOnce = 64;

}  // namespace

CloneDriver::CloneDriver(std::unique_ptr<SerialDevice> device, Scheduler& s)
    : comm_(std::move(device), s),
      task_(std::make_unique<TimerTask>(s)),
      scheduler_(s),
      wake_(s.NewTimer([this] { OnWake(); })) {
    comm_.SetActivityHandler([this] { OnLineActivity(); });
}

CloneDriver::~CloneDriver() = default;

void CloneDriver::SetCodes(int32_t code1, int32_t code2) {
    code1_ = code1;
    code2_ = code2;
}

void CloneDriver::SetPort(int32_t port, std::string device, std::string dataSettings) {
    port_ = port;
    device_ = std::move(device);
    dataSettings_ = std::move(dataSettings);
}

void CloneDriver::SetDataPreamble(int32_t later, int32_t first) {
    laterDataPreamble_ = later;
    firstDataPreamble_ = first;
}

void CloneDriver::SetHandshake(int32_t interval, int32_t offset) {
    if (interval > 0) handshakeInterval_ = interval;
    if (offset > 0) handshakeOffset_ = offset;
}

void CloneDriver::SetStepTimeout(int32_t ms) {
    if (ms > 0) stepTimeout_ = ms;
}

void CloneDriver::SetReadyTimeout(int32_t ms) {
    if (ms > 0) readyTimeout_ = ms;
}

bool CloneDriver::StartIdentify(Completion completion) {
    return Start(kOpIdentify, std::move(completion));
}

bool CloneDriver::StartRead(const RangeList& ranges, Completion completion) {
    if (IsBusy()) return false;
    ranges_ = ranges;
    return Start(kOpRead, std::move(completion));
}

bool CloneDriver::StartWrite(const EepromImage& image, const RangeList& ranges,
                             Completion completion) {
    if (IsBusy()) return false;
    ranges_ = ranges;
    return Start(kOpWrite, std::move(completion), &image);
}

bool CloneDriver::Start(CloneOperation op, Completion completion, const EepromImage* image) {
    if (IsBusy()) return false;
    result_ = std::make_unique<CloneResult>();
    result_->operation = op;
    result_->code1 = code1_;
    result_->code2 = code2_;
    if (image != nullptr) {
        result_->image.Assign(*image);
    } else {
        result_->image.SetSize(imageSize_);
    }
    // Only the ranges inside the image count, up to the closing pair.
    RangeList valid;
    ForEachRange(ranges_, result_->image, [&](int32_t first, int32_t last) {
        valid.push_back({first, last});
    });
    valid.push_back(kRangeListEnd);
    ranges_ = std::move(valid);
    rangeTotal_ = 0;
    for (size_t i = 0; i + 1 < ranges_.size(); ++i)
        rangeTotal_ += ranges_[i].last - ranges_[i].first + 1;
    range_ = 0;
    address_ = ranges_.front().first;
    operation_ = op;
    guardMs_ = LongestTimeout();
    advancedMs_ = scheduler_.NowMs();
    heard_ = 0;
    stopAfterBlock_ = false;
    Trace(op == kOpIdentify ? "identify" : op == kOpRead ? "read" : "write");
    completion_ = std::move(completion);
    byteCounter_ = frameCount_ = dataCounter_ = 0;
    receive_.Clear();
    frame_.Clear();
    echo_.Clear();
    settling_ = false;
    state_ = kStart;
    task_->SetCallback([this](TimerTask&) { RunSteps(); });
    task_->SetPeriod(kStepPeriodMs);
    wake_->Start(1);
    return true;
}

// The time-outs of the states the operation waits in.
int32_t CloneDriver::LongestTimeout() const {
    int32_t longest = std::max(stepTimeout_, scriptTimeout_);
    if (operation_ == kOpIdentify) longest = std::max(longest, identityTimeout_);
    if (operation_ == kOpWrite) {
        longest = std::max(longest, endTimeout_);
        if (waitForReady_) longest = std::max(longest, readyTimeout_);
    }
    return longest;
}

bool CloneDriver::CanCancel() const {
    return IsBusy() && state_ != kFinishing && state_ != kDone &&
           (operation_ != kOpWrite || state_ < kSendData);
}

bool CloneDriver::Cancel() {
    if (!CanCancel()) return false;
    result_->status = kCloneCancelled;
    settling_ = false;
    state_ = kFinishing;
    stopwatch_.Start(static_cast<uint32_t>(TimeoutFor(kFinishing)));
    wake_->Start(1);
    return true;
}

bool CloneDriver::StopAfterBlock() {
    if (!IsBusy() || operation_ != kOpWrite || (state_ != kSendData && state_ != kWaitBlockAck))
        return false;
    stopAfterBlock_ = true;
    return true;
}

// Returns at once when the operation has ended: its completion may have
// started another one, or destroyed the driver.
void CloneDriver::RunSteps() {
    for (int i = 0; i < kStepsAtOnce && state_ != kIdle; ++i) {
        const int32_t before = state_;
        Step();
        if (comm_.WriteError()) {
            result_->status = kCloneShortWrite;
            state_ = kDone;
        }
        if (state_ == kDone) {
            Finish();
            return;
        }
        if (state_ == before || settling_) return;
    }
}

void CloneDriver::OnWake() {
    wake_->Stop();
    if (settling_ && settle_.IsRunning()) {
        const uint32_t left = settle_.Remaining();
        if (left > 0) {
            wake_->Start(static_cast<int32_t>(left));
            return;
        }
    }
    RunSteps();
}

// Bytes have arrived, or the port has handed over all it was given. What
// arrives is taken at once, so that the device never holds it.
void CloneDriver::OnLineActivity() {
    if (state_ == kIdle || settling_) {
        DiscardInput();
        return;
    }
    for (int i = 0; i < kReadsAtOnce && ReadPort() > 0; ++i) {
    }
    RunSteps();
}

int32_t CloneDriver::TimeoutFor(int32_t state) const {
    switch (state) {
        case kScript: return script_.empty() ? stepTimeout_ : scriptTimeout_;
        case kWaitIdentity: return identityTimeout_;
        case kWaitReady: return readyTimeout_;
        case kWaitWriteResult: return endTimeout_;
        default: return stepTimeout_;
    }
}

// What the echo check found in one step.
struct CloneDriver::EchoCheck {
    bool checked = false;   // echo bytes were outstanding
    bool moved = false;     // echo bytes came back
    bool drained = false;   // and none is outstanding now
    bool failed = false;    // a byte differed
    bool awaiting = false;  // the step waits for more
};

CloneDriver::EchoCheck CloneDriver::CheckEcho() {
    EchoCheck e;
    if (!echoCheck_) {
        echo_.Clear();
        return e;
    }
    if (state_ != kFinishing && echo_.Length() > 0) {
        e.checked = true;
        ReadPort();
        while (echo_.Length() > 0 && receive_.Length() > 0) {
            if (echo_.At(0) != receive_.At(0)) {
                result_->status = kCloneEcho;
                e.failed = true;
                return e;
            }
            echo_.PopFront();
            receive_.PopFront();
            e.moved = true;
        }
        if (echo_.Length() == 0) {
            echo_.Clear();
            e.drained = e.moved;
        }
    }
    // Finishing never waits for an echo that will not come.
    if (state_ != kFinishing) e.awaiting = echo_.Length() > (state_ == kSendData ? kEchoSlack : 0);
    return e;
}

void CloneDriver::Fail(uint8_t status, int32_t& next) {
    result_->status = status;
    next = kFinishing;
}

void CloneDriver::Stalled() {
    result_->stalledMs = static_cast<int32_t>(scheduler_.NowMs() - advancedMs_);
    Trace(Format("no progress for %d ms", static_cast<int>(result_->stalledMs)));
}

void CloneDriver::Step() {
    if (settling_) {
        if (settle_.Remaining() > 0) return;
        settling_ = false;
        DiscardInput();
        stopwatch_.Start(static_cast<uint32_t>(TimeoutFor(state_)));
        advancedMs_ = scheduler_.NowMs();
        heard_ = 0;
    }
    int32_t next = state_ + 1;
    bool progress = true;
    const bool expired = stopwatch_.Remaining() == 0;

    const EchoCheck echo = CheckEcho();
    // Progress keeps the step's time-out from running out; only some of it
    // moves the operation on (an echo byte alone does not).
    bool advanced = echo.drained;
    if (echo.checked) progress = echo.moved;
    if (echo.failed) {
        next = kFinishing;
    } else if (echo.awaiting) {
        next = state_;
    } else {
        Act(next, progress);
        advanced = advanced || progress;
    }

    if (next != state_) progress = advanced = true;
    if (progress) {
        stopwatch_.Start(static_cast<uint32_t>(TimeoutFor(next)));
    } else if (expired) {
        if (state_ == kFinishing) {
            // Output that never leaves must not hold the operation open.
            next = kDone;
        } else {
            Fail((echoCheck_ && echo_.Length() > 0) ? kCloneEcho : kCloneTimeout, next);
            // Bytes came, but none of them moved the operation on.
            if (result_->status == kCloneTimeout && heard_ > 0) Stalled();
            Trace(Format("time-out in step %d after %d ms", static_cast<int>(state_),
                         static_cast<int>(TimeoutFor(state_))));
        }
    }
    if (const uint32_t now = scheduler_.NowMs(); advanced) {
        advancedMs_ = now;
        heard_ = 0;
    } else if (next != kFinishing && next != kDone &&
               static_cast<int64_t>(now - advancedMs_) > int64_t{guardMs_}) {
        // Answering in time at every step, yet going nowhere.
        Fail(kCloneTimeout, next);
        Stalled();
    }
    if (receive_.Length() > ByteQueue::kCompactThreshold) receive_.Compact();
    if (echo_.Length() > ByteQueue::kCompactThreshold) echo_.Compact();
    state_ = next;
}

void CloneDriver::Act(int32_t& next, bool& progress) {
    switch (state_) {
        case kStart: break;
        case kScript:
            progress = false;
            RunScriptSegment(next);
            break;
        case kOpenData:
            if (Reopen(dataSettings_)) {
                next = operation_ == kOpIdentify ? kIdentifyRequest
                       : operation_ == kOpRead   ? kReadRequest
                                                 : kWriteRequest;
            } else {
                next = kFinishing;
            }
            break;
        case kIdentifyRequest:
            SendRequest(kCmdIdentify);
            next = kWaitIdentity;
            break;
        case kWaitIdentity:
            progress = false;
            WaitAnswer(next, &CloneDriver::JudgeIdentity);
            break;
        case kReadRequest:
            SendRequest(kCmdRead);
            next = kReceiveData;
            break;
        case kReceiveData:
            progress = false;
            ReceiveData(next, progress);
            break;
        case kWriteRequest:
            SendRequest(kCmdWrite);
            next = waitForReady_ ? kWaitReady : kSendData;
            break;
        case kWaitReady:
        case kWaitBlockAck:
            progress = false;
            WaitReady(next);
            break;
        case kSendData:
            progress = false;
            SendData(next, progress);
            break;
        case kSendEnd: {
            ByteQueue end;
            AppendEndFrame(end, true, countInEndFrame_ ? frameCount_ : -1);
            Send(end);
            frame_.Clear();
            next = kWaitWriteResult;
            break;
        }
        case kWaitWriteResult:
            progress = false;
            WaitAnswer(next, &CloneDriver::JudgeWriteResult);
            break;
        case kFinishing:
            progress = false;
            next = comm_.PendingOutput() > 0 ? kFinishing : kDone;
            break;
        default: next = kIdle; break;
    }
}

void CloneDriver::Finish() {
    Trace(Format("status %d, %d bytes, %d frames", result_->status, static_cast<int>(byteCounter_),
                 static_cast<int>(frameCount_)));
    comm_.Close();
    state_ = kIdle;
    task_->SetPeriod(-1);
    wake_->Stop();
    receive_.Clear();
    frame_.Clear();
    echo_.Clear();
    std::unique_ptr<CloneResult> result = std::move(result_);
    Completion completion = std::move(completion_);
    completion_ = nullptr;
    // The completion may start the next operation at once.
    if (completion) completion(*result);
}

// One segment per step: "(settings)" reopens the port, anything else up to
// the next "(" is hexadecimal text to send.
void CloneDriver::RunScriptSegment(int32_t& next) {
    if (!script_.empty()) {
        if (script_.front() == '(') {
            const size_t close = script_.find(')');
            const std::string settings =
                script_.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            script_.erase(0, close == std::string::npos ? script_.size() : close + 1);
            if (!Reopen(settings)) {
                script_.clear();
                next = kFinishing;
                return;
            }
        } else {
            const size_t open = script_.find('(');
            Send(HexToBytes(std::string_view(script_).substr(0, open)));
            script_.erase(0, open == std::string::npos ? script_.size() : open);
        }
    }
    if (!script_.empty() || comm_.PendingOutput() > 0) next = kScript;
}

bool CloneDriver::Reopen(const std::string& settings) {
    Trace("port " + device_ + " " + settings);
    comm_.Close();
    if (!comm_.Open(port_, device_, settings)) {
        result_->status = kClonePortOpen;
        result_->portFailure = comm_.LastOpenFailure();
        return false;
    }
    settling_ = true;
    settle_.Start(kSettleMs);
    wake_->Start(kSettleMs);
    return true;
}

// Everything received so far, in the port and taken already.
void CloneDriver::DiscardInput() {
    receive_.Clear();
    for (int32_t total = 0; total < 65535;) {
        const int32_t n = comm_.Read(readBuffer_, kReadChunk);
        if (n <= 0) break;
        total += n;
    }
}

int32_t CloneDriver::ReadPort() {
    const int32_t n = comm_.Read(readBuffer_, kReadChunk);
    if (n <= 0) return 0;
    receive_.AppendBytes(readBuffer_, n);
    byteCounter_ += n;
    heard_ += n;
    return n;
}

void CloneDriver::TraceFrame(bool sent, const ByteQueue& bytes) const {
    if (trace_) trace_(DescribeFrame(sent, bytes.Data(), bytes.Length()));
}

void CloneDriver::Send(const ByteQueue& bytes) {
    if (bytes.Length() == 0) return;
    TraceFrame(true, bytes);
    comm_.Write(bytes.Data(), bytes.Length());
    if (echoCheck_) echo_.Append(bytes);
    byteCounter_ += bytes.Length();
}

void CloneDriver::SendRequest(uint8_t command) {
    ByteQueue request;
    request.AppendFill(kFrameStart, requestPreamble_);
    AppendFrameHead(request, true, command);
    AppendCodes(request, code1_, code2_);
    request.PushBack(kFrameEnd);
    Send(request);
    frame_.Clear();
}

bool CloneDriver::Assemble(uint8_t byte) {
    if (byte == kFrameStart) {
        frame_.Clear();
        frame_.PushBack(byte);
        return false;
    }
    if (frame_.Length() == 0) return false;
    if (byte == kFrameEnd) {
        TraceFrame(false, frame_);
        return true;
    }
    frame_.PushBack(byte);
    return false;
}

// Identity answer and write result: the last frame completed in this poll
// is judged; a runaway partial frame counts as an invalid one.
void CloneDriver::WaitAnswer(int32_t& next, bool (CloneDriver::*judge)()) {
    next = state_;
    ReadPort();
    ByteQueue last;
    bool complete = false;
    while (receive_.Length() > 0) {
        if (Assemble(static_cast<uint8_t>(receive_.PopFront()))) {
            last.Assign(frame_);
            frame_.Clear();
            complete = true;
        } else if (frame_.Length() > kMaxAnswerFrame) {
            frame_.Clear();
            last.AssignBytes("\0", 1);
            complete = true;
        }
    }
    if (!complete) return;
    frame_.Assign(last);
    if (!(this->*judge)()) {
        result_->status = state_ == kWaitIdentity ? kCloneFrame : kCloneWriteUnconfirmed;
    }
    frame_.Clear();
    next = kFinishing;
}

bool CloneDriver::JudgeIdentity() {
    const ByteQueue& f = frame_;
    if (f.Length() < 8 || f.At(0) != kFrameStart || f.At(1) != kFromRadio[0] ||
        f.At(2) != kFromRadio[1] || f.At(3) != kCmdIdentity)
        return false;
    for (int32_t i = 4; i < 8; ++i) {
        if (!IsDecimalPair(f.At(i))) return false;
    }
    result_->code1 = (f.At(4) << 8) | f.At(5);
    result_->code2 = (f.At(6) << 8) | f.At(7);
    result_->identity.AssignBytes(f.Data() + 8, f.Length() - 8);
    result_->status = kCloneOk;
    return true;
}

bool CloneDriver::JudgeWriteResult() {
    static constexpr uint8_t kConfirmed[] = {kFrameStart, kFromRadio[0], kFromRadio[1],
                                             kCmdWriteResult, 0x00};
    if (frame_.Length() != 5 || std::memcmp(frame_.Data(), kConfirmed, 5) != 0) return false;
    result_->status = kCloneOk;
    return true;
}

void CloneDriver::ReceiveData(int32_t& next, bool& progress) {
    next = state_;
    ReadPort();
    while (receive_.Length() > 0) {
        const bool complete = Assemble(static_cast<uint8_t>(receive_.PopFront()));
        uint8_t status = kCloneOk;
        bool ended = false;
        if (complete) {
            const ByteQueue& f = frame_;
            if (f.Length() < 12 || f.Length() > 522 || f.At(1) != kFromRadio[0] ||
                f.At(2) != kFromRadio[1]) {
                status = kCloneFrame;
            } else if (f.At(3) == kCmdData) {
                status = CheckDataFrame();
                if (status == kCloneOk) progress = true;
            } else if (f.At(3) == kCmdEnd) {
                status = CheckEndFrame();
                ended = true;
            } else {
                status = kCloneFrame;
            }
            frame_.Clear();
        } else if (frame_.Length() > kMaxDataFrame) {
            status = kCloneFrame;
        }
        if (status != kCloneOk || ended) {
            result_->status = status;
            next = kFinishing;
            return;
        }
    }
}

uint8_t CloneDriver::CheckDataFrame() {
    const int32_t chars = frame_.Length() - 4;
    // Texts whose length has bit 1 set (odd data counts) are refused, and
    // so is an unpaired last digit.
    if ((chars & 2) != 0 || (chars & 1) != 0) return kCloneFrame;
    ByteQueue decoded;
    for (int32_t i = 0; i < chars; i += 2) {
        const int hi = StrictHexDigit(frame_.At(4 + i));
        const int lo = StrictHexDigit(frame_.At(5 + i));
        if (hi < 0 || lo < 0) return kCloneFrame;
        decoded.PushBack(static_cast<uint8_t>(hi << 4 | lo));
    }
    if (decoded.Length() < 4) return kCloneFrame;
    const int32_t n = decoded.At(2);
    if (decoded.Length() != n + 4) return kCloneFrame;
    uint32_t sum = 0;
    for (int32_t i = 0; i < decoded.Length(); ++i) sum += decoded.At(i);
    if (sum % 256 != 0) return kCloneFrame;
    const int32_t address = decoded.At(0) << 8 | decoded.At(1);
    EepromImage& image = result_->image;
    if (n > 0 && (address + n > imageSize_ || !image.IsValidAddress(address + n - 1)))
        return kCloneAddress;
    // A radio that sends an address twice, or more than was asked for,
    // would otherwise keep the read going for ever.
    if (dataCounter_ + n > rangeTotal_) return kCloneAddress;
    ByteQueue& map = result_->received;
    const int32_t mapLength = (address + n + 7) / 8;
    if (map.Length() < mapLength) map.AppendFill(0, mapLength - map.Length());
    for (int32_t a = address; a < address + n; ++a) {
        if ((map.At(a / 8) & (1 << a % 8)) != 0) return kCloneAddress;
    }
    image.WriteBlock(address, decoded.Data() + 3, n);
    for (int32_t a = address; a < address + n; ++a)
        map.At(a / 8) |= static_cast<uint8_t>(1 << a % 8);
    dataCounter_ += n;
    ++frameCount_;
    return kCloneOk;
}

uint8_t CloneDriver::CheckEndFrame() {
    if (frame_.Length() != 4 + kEndFrameTextLength + 2 ||
        std::memcmp(frame_.Data() + 4, kEndFrameText, kEndFrameTextLength) != 0)
        return kCloneFrame;
    ByteQueue count;
    AppendHex(count, static_cast<uint8_t>(frameCount_ & 0xFF));
    if (std::memcmp(frame_.Data() + 4 + kEndFrameTextLength, count.Data(), 2) != 0)
        return kCloneFrameCount;
    return Coverage();
}

uint8_t CloneDriver::Coverage() const {
    const int32_t length = (imageSize_ + 7) / 8;
    ByteQueue& received = result_->received;
    if (received.Length() > length) return kCloneAddress;
    received.AppendFill(0, length - received.Length());
    ByteQueue wanted;
    wanted.AppendFill(0, length);
    for (const AddrRange& r : ranges_) {
        if (r.first > r.last) break;
        for (int32_t a = r.first; a <= r.last; ++a)
            wanted.At(a / 8) |= static_cast<uint8_t>(1 << a % 8);
    }
    if (length == 0 || std::memcmp(received.Data(), wanted.Data(), length) == 0) return kCloneOk;
    for (int32_t i = 0; i < length; ++i) {
        if ((received.At(i) & ~wanted.At(i)) != 0) return kCloneAddress;
    }
    return kCloneCoverage;
}

void CloneDriver::WaitReady(int32_t& next) {
    next = state_;
    ReadPort();
    const int b = receive_.PopFront();
    if (b == kReadyByte && state_ == kWaitBlockAck && stopAfterBlock_ && DataRemain()) {
        // The radio holds every block up to here, and nothing after.
        result_->status = kCloneCancelled;
        result_->stoppedAt = address_;
        next = kFinishing;
    } else if (b == kReadyByte) {
        next = kSendData;
    } else if (b == kRefusalByte) {
        result_->status = kCloneFrame;
        next = kFinishing;
    }
}

bool CloneDriver::AtRangesEnd() const {
    const AddrRange& r = ranges_[range_];
    return r.first > r.last;
}

// Whether a write has data left to send after the current address.
bool CloneDriver::DataRemain() const {
    if (AtRangesEnd()) return false;
    return address_ <= ranges_[range_].last ||
           ranges_[range_ + 1].first <= ranges_[range_ + 1].last;
}

bool CloneDriver::AtHandshakePoint() const {
    return !AtRangesEnd() && address_ != ranges_[range_].first && handshakeInterval_ != 0 &&
           address_ % handshakeInterval_ == handshakeOffset_;
}

void CloneDriver::BuildDataFrame() {
    const AddrRange& r = ranges_[range_];
    const int32_t n = std::min(blockSize_ - address_ % blockSize_, r.last - address_ + 1);
    frame_.AppendFill(kFrameStart, frameCount_ == 0 ? firstDataPreamble_ : laterDataPreamble_);
    uint8_t data[256];
    result_->image.ReadBlock(address_, data, n);
    AppendDataFrame(frame_, true, address_, data, n);
    ++frameCount_;
    address_ += n;
    dataCounter_ += n;
}

// Up to eight frames a step. A frame that is held back because the port
// still has much to send is sent first on a later step; when it ends at a
// handshake point nothing more is built before the radio's 0xFB, so that
// byte can never arrive where an echo is expected.
void CloneDriver::SendData(int32_t& next, bool& progress) {
    next = state_;
    for (int32_t i = 0; i < kMaxFramesPerStep; ++i) {
        const bool held = frame_.Length() > 0;
        if (AtRangesEnd() && !held) {
            if (comm_.PendingOutput() == 0) next = kSendEnd;
            return;
        }
        if (!held || !(AtHandshakePoint() || AtRangesEnd())) {
            if (address_ > ranges_[range_].last) {
                ++range_;
                address_ = ranges_[range_].first;
            } else {
                BuildDataFrame();
            }
        }
        if (frame_.Length() == 0 ||
            comm_.PendingOutput() > 4 * static_cast<uint32_t>(frame_.Length()))
            return;
        Send(frame_);
        frame_.Clear();
        progress = true;
        if (AtHandshakePoint()) {
            next = kWaitBlockAck;
            return;
        }
    }
}

}  // namespace parlo
