#include "tests/support/ScriptedSerial.h"

#include <algorithm>

#include "clone/ByteQueue.h"
#include "platform/Scheduler.h"
#include "tests/support/VirtualScheduler.h"
#include "tools/radio-sim/RadioSim.h"

namespace parlo::test {

ScriptedSerial::~ScriptedSerial() { Close(); }

bool ScriptedSerial::Open(const std::string& path, SerialOpenFailure* why) {
    if (s_->openFailure != SerialOpenFailure::Reason::None) {
        why->reason = s_->openFailure;
        why->device = path;
        return false;
    }
    s_->opened.push_back(path);
    open_ = true;
    if (VirtualScheduler* v = VirtualScheduler::Installed()) {
        handle_ = v->NewHandle([this] { return open_ && InputCount() > 0; },
                               [this] { return NextChangeMs(); });
    }
    return true;
}

// Without a radio, bytes arrive by themselves only as the line delivers
// what was sent (an echo) or as a delayed byte falls due; a radio may send
// at any time.
uint64_t ScriptedSerial::NextChangeMs() const {
    if (s_->radio != nullptr) return 0;
    uint64_t next = UINT64_MAX;
    if (!line_.empty()) next = (line_.front().doneUs + 999) / 1000;
    if (!coming_.empty()) next = std::min(next, coming_.front().first);
    return next;
}

void ScriptedSerial::Close() {
    if (!open_) return;
    open_ = false;
    line_.clear();
    coming_.clear();
    if (VirtualScheduler* v = VirtualScheduler::Installed(); v != nullptr && handle_ >= 0) {
        v->CloseHandle(handle_);
    }
    handle_ = -1;
    ++s_->closes;
}

bool ScriptedSerial::Configure(const SerialLine& line) {
    s_->lines.push_back(line);
    s_->openings.push_back({line.baud, {}, scheduler().NowMs(), 0});
    baud_ = line.baud;
    return true;
}

bool ScriptedSerial::Purge() {
    line_.clear();
    coming_.clear();
    s_->input.clear();
    return true;
}

void ScriptedSerial::Arrive(uint8_t byte, uint64_t dueMs) {
    const uint64_t now = scheduler().NowMs();
    if (coming_.empty() && dueMs <= now) {
        s_->input.push_back(byte);
        s_->lastInputMs = static_cast<uint32_t>(now);
    } else {
        coming_.emplace_back(std::max(dueMs, coming_.empty() ? now : coming_.back().first), byte);
    }
}

void ScriptedSerial::Transmit(uint8_t byte, int32_t baud) {
    const uint64_t now = scheduler().NowMs();
    const auto echoBack = [&](uint8_t b) {
        if (!s_->echo) return;
        const uint64_t after = coming_.empty() ? now : std::max(now, coming_.back().first);
        Arrive(b, s_->echoGapMs > 0 ? after + s_->echoGapMs : now);
    };
    if (s_->radio == nullptr) {
        echoBack(byte);
        return;
    }
    ByteQueue echo;
    ByteQueue answer;
    s_->radio->SetLineBaud(baud);
    s_->radio->Receive(byte, echo, answer);  // the radio's cable decides the echo
    for (int32_t i = 0; i < echo.Length(); ++i) echoBack(echo.At(i));
    Deliver(answer);
}

void ScriptedSerial::Deliver(const ByteQueue& answer) {
    const uint64_t now = scheduler().NowMs();
    for (int32_t i = 0; i < answer.Length(); ++i) {
        const uint8_t b = answer.At(i);
        if (!s_->passAnswer || s_->passAnswer(b)) {
            Arrive(b, now + (s_->answerDelayMs ? s_->answerDelayMs(b) : 0));
        } else {
            s_->heldAnswers.push_back(b);
        }
    }
}

// Bytes whose line time has passed reach the far side; the radio may send
// on its own as time passes.
void ScriptedSerial::Advance() {
    const uint64_t nowUs = uint64_t{scheduler().NowMs()} * 1000;
    while (!line_.empty() && line_.front().doneUs <= nowUs) {
        const OnLine on = line_.front();
        line_.pop_front();
        Transmit(on.byte, on.baud);
    }
    while (!coming_.empty() && coming_.front().first * 1000 <= nowUs) {
        s_->input.push_back(coming_.front().second);
        s_->lastInputMs = static_cast<uint32_t>(coming_.front().first);
        coming_.pop_front();
    }
    if (s_->radio != nullptr) {
        ByteQueue answer;
        s_->radio->Tick(static_cast<int64_t>(nowUs / 1000), answer);
        Deliver(answer);
    }
}

// A radio whose cable was pulled: once what was on its way has arrived and
// been read, every call fails, as on a line that has hung up.
bool ScriptedSerial::HungUp() const {
    return s_->radio != nullptr && s_->radio->Unplugged() && line_.empty() && coming_.empty() &&
           s_->input.empty();
}

int32_t ScriptedSerial::InputCount() {
    if (!open_) return -1;
    Advance();
    if (HungUp()) return -1;
    return static_cast<int32_t>(s_->input.size());
}

int32_t ScriptedSerial::OutputCount() {
    if (!open_) return -1;
    Advance();
    if (HungUp()) return -1;
    return s_->lineRate ? static_cast<int32_t>(line_.size()) : s_->fixedOutputCount;
}

int32_t ScriptedSerial::Read(uint8_t* buffer, int32_t max) {
    if (!open_) return -1;
    Advance();
    if (HungUp()) return -1;
    const int32_t n = std::min<int32_t>(max, static_cast<int32_t>(s_->input.size()));
    for (int32_t i = 0; i < n; ++i) {
        buffer[i] = s_->input.front();
        s_->input.pop_front();
    }
    return n;
}

int32_t ScriptedSerial::Write(const uint8_t* data, int32_t n) {
    if (!open_) return -1;
    Advance();
    if (HungUp()) return -1;
    if (s_->acceptLimit >= 0) n = std::min(n, s_->acceptLimit);
    s_->writes.emplace_back(data, data + n);
    s_->sent.insert(s_->sent.end(), data, data + n);
    if (!s_->openings.empty()) {
        SerialScript::Opening& o = s_->openings.back();
        if (o.sent.empty()) o.firstWriteMs = scheduler().NowMs();
        o.sent.insert(o.sent.end(), data, data + n);
    }
    if (!s_->lineRate) {
        for (int32_t i = 0; i < n; ++i) Transmit(data[i], baud_);
        return n;
    }
    const uint64_t nowUs = uint64_t{scheduler().NowMs()} * 1000;
    const uint64_t charUs = 10ULL * 1000000 / static_cast<uint64_t>(baud_);
    for (int32_t i = 0; i < n; ++i) {
        lineFreeUs_ = std::max(lineFreeUs_, nowUs) + charUs;
        line_.push_back({lineFreeUs_, data[i], baud_});
    }
    return n;
}

}  // namespace parlo::test
