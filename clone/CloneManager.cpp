#include "clone/CloneManager.h"

#include <initializer_list>

#include "clone/CloneFrames.h"
#include "clone/CloneMessages.h"
#include "overlay/OverlayText.h"
#include "platform/Prompts.h"
#include "runtime/TimerTask.h"

namespace parlo {

namespace {

constexpr const char* kHighSettings = "38400,N,8,1";
constexpr const char* kLowSettings = "9600,N,8,1";
constexpr int32_t kHighPreamble = 48;
constexpr int32_t kLowPreamble = 12;

// A setting frame: the head, the codes, then the setting's own bytes.
std::string SettingFrame(int32_t fill, int32_t code1, int32_t code2,
                         std::initializer_list<uint8_t> setting) {
    ByteQueue f;
    f.AppendFill(kFrameStart, fill);
    AppendFrameHead(f, true, kCmdSetting);
    AppendCodes(f, code1, code2);
    for (uint8_t b : setting) f.PushBack(b);
    f.PushBack(kFrameEnd);
    return BytesToHex(f);
}

// The speed frames open with 20 x 0xFE; after the codes, "27" tells the
// radio the high speed, "09" the low one.
std::string SpeedFrame(int32_t code1, int32_t code2, bool high) {
    return SettingFrame(
        18, code1, code2,
        {0x01, static_cast<uint8_t>(high ? 0x32 : 0x30), static_cast<uint8_t>(high ? 0x37 : 0x39)});
}

// The mode frame: its last digit says whether a write follows.
std::string ModeFrame(int32_t code1, int32_t code2, bool write) {
    return SettingFrame(0, code1, code2, {0x55, 0x30, static_cast<uint8_t>(write ? 0x31 : 0x30)});
}

int32_t RangesTotal(const RangeList& ranges) {
    int32_t total = 0;
    for (const AddrRange& r : ranges) {
        if (r.first > r.last) break;
        total += r.last - r.first + 1;
    }
    return total;
}

// Seconds of data flow before the time left is estimated.
constexpr uint32_t kEstimateAfterMs = 500;

}  // namespace

std::string StageText(CloneStage stage) {
    return OvlText("GI_Mess_Clone_Stage", static_cast<int>(stage));
}

CloneManager::CloneManager(std::unique_ptr<SerialDevice> device, Scheduler& s)
    : driver_(std::move(device), s), scheduler_(s), progressTask_(std::make_unique<TimerTask>(s)) {}

CloneManager::~CloneManager() = default;

void CloneManager::SetCodes(int32_t code1, int32_t code2) {
    code1_ = code1;
    code2_ = code2;
    driver_.SetCodes(code1, code2);
}

void CloneManager::SetPort(int32_t number, std::string device) {
    portNumber_ = number;
    device_ = std::move(device);
}

std::string CloneManager::Script(bool high, bool write) const {
    std::string s = std::string("(") + kHighSettings + ")" + SpeedFrame(code1_, code2_, true);
    s += std::string("(") + kLowSettings + ")" + ModeFrame(code1_, code2_, write);
    if (high) {
        s += std::string("(") + kLowSettings + ")" + SpeedFrame(code1_, code2_, false);
    } else {
        s += std::string("(") + kHighSettings + ")" + SpeedFrame(code1_, code2_, true);
    }
    return s;
}

void CloneManager::Configure(bool high, bool write) {
    driver_.SetScript(Script(high, write));
    driver_.SetPort(portNumber_, device_, high ? kHighSettings : kLowSettings);
    driver_.SetRequestPreamble(high ? kHighPreamble : kLowPreamble);
    driver_.SetDataPreamble(0, 0);
    driver_.SetEchoCheck(true);
    driver_.SetCountInEndFrame(true);
    driver_.SetWaitForReady(true);
    driver_.SetHandshake(kHandshakeInterval, 0);
    driver_.SetStepTimeout(kStepTimeoutMs);
}

CloneStage CloneManager::TakeStage(CloneStage normal) {
    const CloneStage stage = nextStage_.value_or(normal);
    nextStage_.reset();
    return stage;
}

bool CloneManager::Identify(Callback completion) {
    if (IsBusy()) return false;
    stage_ = CloneStage::Identify;
    total_ = 0;
    Configure(false, false);
    return Begin(kOpIdentify, nullptr, nullptr, std::move(completion));
}

bool CloneManager::Read(const RangeList& ranges, Callback completion) {
    if (IsBusy()) return false;
    stage_ = TakeStage(CloneStage::Read);
    total_ = RangesTotal(ranges);
    Configure(highSpeed_, false);
    return Begin(kOpRead, &ranges, nullptr, std::move(completion));
}

bool CloneManager::Write(const EepromImage& image, const RangeList& ranges, Callback completion) {
    if (IsBusy()) return false;
    stage_ = TakeStage(CloneStage::Write);
    total_ = RangesTotal(ranges);
    Configure(highSpeed_, true);
    driver_.SetReadyTimeout(kWriteReadyTimeoutMs);
    driver_.SetStepTimeout(kWriteStepTimeoutMs);
    return Begin(kOpWrite, &ranges, &image, std::move(completion));
}

bool CloneManager::Begin(CloneOperation op, const RangeList* ranges, const EepromImage* image,
                         Callback completion) {
    operation_ = op;
    completion_ = std::move(completion);
    auto route = [this](CloneResult& r) { OnResult(r); };
    const bool started = op == kOpIdentify ? driver_.StartIdentify(route)
                         : op == kOpRead   ? driver_.StartRead(*ranges, route)
                                           : driver_.StartWrite(*image, *ranges, route);
    if (!started) {
        completion_ = nullptr;
        return false;
    }
    const bool showProgress = op != kOpIdentify;
    dataStartDone_ = -1;
    if (view_ != nullptr) {
        view_->BeginOperation(showProgress);
        view_->UpdateProgress(Progress());
    }
    if (showProgress) {
        progressTask_->SetCallback([this](TimerTask& task) { ShowProgress(task); });
        progressTask_->SetPeriod(kProgressPeriodMs);
    }
    return true;
}

void CloneManager::ShowProgress(TimerTask& task) {
    if (!driver_.IsBusy()) {
        task.SetPeriod(-1);
        return;
    }
    if (view_ != nullptr) view_->UpdateProgress(Progress());
}

// The time left from the rate of the data so far, once they have flowed
// for a while.
CloneProgress CloneManager::Progress() {
    CloneProgress p;
    p.stage = stage_;
    p.done = driver_.DataCounter();
    p.total = total_;
    p.cancellable = driver_.CanCancel();
    const uint32_t now = scheduler_.NowMs();
    if (p.done > 0 && dataStartDone_ < 0) {
        dataStartDone_ = p.done;
        dataStartMs_ = now;
    }
    const uint32_t elapsed = now - dataStartMs_;
    const int32_t moved = p.done - dataStartDone_;
    if (dataStartDone_ >= 0 && elapsed >= kEstimateAfterMs && moved > 0) {
        const int64_t leftMs = int64_t{p.total - p.done} * elapsed / moved;
        p.secondsLeft = static_cast<int32_t>((leftMs + 999) / 1000);
    }
    return p;
}

std::string CloneManager::MessageCaption() const {
    return caption_.empty() ? OvlText("GI_Sys_AppTitle") : caption_;
}

void CloneManager::OnResult(CloneResult& result) {
    if (result.operation == kOpIdentify) {
        if (identifyHandler_) {
            identifyHandler_(result);
        } else {
            result.status = kCloneModel;
        }
    } else if (result.operation == kOpRead) {
        if (readHandler_) {
            readHandler_(result);
        } else {
            result.status = kCloneCoverage;
        }
    }
    // The view shows where the operation ended before the message comes.
    progressTask_->SetPeriod(-1);
    if (view_ != nullptr && result.operation != kOpIdentify) view_->UpdateProgress(Progress());
    ShowError(result);
    if (view_ != nullptr) view_->EndOperation();
    Callback completion = std::move(completion_);
    completion_ = nullptr;
    if (completion) completion(result);
}

void CloneManager::ShowError(const CloneResult& result) {
    if (result.status == kCloneOk) return;
    if (result.status == kCloneCancelled) {
        // A cancel shows nothing; a write stopped half way must say so.
        if (result.stoppedAt >= 0)
            prompts().Message(MessageCaption(), StoppedWriteText(result.stoppedAt), MsgIcon::Error,
                              MsgButtons::Ok);
        return;
    }
    std::string reason;
    if (result.status == kClonePortOpen)
        reason = PortFailureText(result.portFailure, ListSerialPorts());
    std::string detail = result.detail;
    if (result.status == kCloneTimeout && result.stalledMs > 0 && detail.empty())
        detail = NoProgressText(result.stalledMs);
    prompts().Message(MessageCaption(), CloneErrorText(result.status, PortText(), reason, detail),
                      MsgIcon::Error, MsgButtons::Ok);
}

std::string CloneManager::PortText() const { return PortName(portNumber_, device_); }

}  // namespace parlo
