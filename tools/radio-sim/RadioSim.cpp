#include "tools/radio-sim/RadioSim.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "clone/CloneFrames.h"
#include "clone/ContentValidation.h"
#include "model/ModelVariant.h"
#include "model/PackedLayout.h"

namespace parlo::sim {

namespace {

struct FaultName {
    Fault fault;
    const char* name;
};
constexpr FaultName kFaultNames[] = {
    {Fault::None, "none"},
    {Fault::NoEcho, "no-echo"},
    {Fault::WrongEcho, "wrong-echo"},
    {Fault::Silence, "silence"},
    {Fault::Refusal, "refusal"},
    {Fault::BadChecksum, "bad-checksum"},
    {Fault::LowerCaseHex, "lower-case"},
    {Fault::WrongEndCount, "wrong-end-count"},
    {Fault::MissingAddress, "missing-address"},
    {Fault::ExtraAddress, "extra-address"},
    {Fault::WriteFailed, "write-failed"},
    {Fault::WrongModel, "wrong-model"},
    {Fault::MapRevision7, "map-revision-7"},
    {Fault::Stall, "stall"},
    {Fault::RepeatFrame, "repeat-frame"},
    {Fault::Trickle, "trickle"},
    {Fault::CorruptWrite, "corrupt-write"},
    {Fault::SlowAck, "slow-ack"},
    {Fault::Unplug, "unplug"},
};

// The frames a computer sends, after their opening 0xFE bytes, as the radio
// expects them to the byte: model code 29 27 and second code 00 00 once.
constexpr uint8_t kSpeedHighFrame[] = {0xEE, 0xEF, 0xE8, 0x29, 0x27, 0x00, 0x00, 0x01, 0x32, 0x37};
constexpr uint8_t kSpeedLowFrame[] = {0xEE, 0xEF, 0xE8, 0x29, 0x27, 0x00, 0x00, 0x01, 0x30, 0x39};
constexpr uint8_t kModeFrame[] = {0xEE, 0xEF, 0xE8, 0x29, 0x27, 0x00, 0x00, 0x55, 0x30};  // then M
constexpr uint8_t kRequestFrame[] = {0xEE, 0xEF, 0x00, 0x29, 0x27, 0x00, 0x00};  // 0x00: command
constexpr int32_t kSpeedFrameStarts = 20;
constexpr int32_t kFrameStarts = 2;  // mode, data and end frames
constexpr int32_t kRepeatMs = 300;
constexpr int32_t kTrickleMs = 900;
constexpr int32_t kSlowAckMs = 1900;  // inside the 2 s a computer waits for it

bool Same(const uint8_t* body, int32_t n, const uint8_t* want, int32_t wantN) {
    return n == wantN && std::memcmp(body, want, static_cast<size_t>(n)) == 0;
}

// Identity block fields.
constexpr int kIdText1 = 2;
constexpr int kIdText2 = 18;
constexpr int kIdVersion = 34;
constexpr int kIdMapRevision = 35;
constexpr int kIdSerial = 37;
constexpr int kIdUnitsA = 49;
constexpr int kIdUnitsB = 50;
constexpr int kIdVariant = 54;
constexpr int kIdMemoryEnd = 58;
constexpr int kIdValue = 62;
constexpr int kIdUnitRevision = 74;
constexpr int kIdUnitRevisionValue = 76;

void Put(std::vector<uint8_t>& block, int at, const char* text) {
    std::memcpy(block.data() + at, text, std::strlen(text));
}

int HexValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<uint8_t>(std::toupper(c));
    return (c >= 'A' && c <= 'F') ? c - 'A' + 10 : 0;
}

}  // namespace

Fault FaultByName(const std::string& name, bool* known) {
    for (const FaultName& f : kFaultNames) {
        if (name == f.name) {
            *known = true;
            return f.fault;
        }
    }
    *known = false;
    return Fault::None;
}

std::vector<std::string> FaultNames() {
    std::vector<std::string> names;
    for (const FaultName& f : kFaultNames) names.emplace_back(f.name);
    return names;
}

std::vector<uint8_t> DefaultIdentity(const EepromImage& image) {
    std::vector<uint8_t> block(80, 0x20);
    block[0] = 80;
    block[1] = 0;
    Put(block, kIdText1, "MV7105C");
    Put(block, kIdText2, "RADIO SIMULATOR");
    block[kIdVersion] = 0x12;
    block[kIdMapRevision] = kMapRevision;
    block[36] = 0;
    Put(block, kIdSerial, "00120A00ABCD");
    block[kIdUnitsA] = 0x00;
    block[kIdUnitsB] = 0x40;  // ten-key keypad, no option units
    block[51] = 0x00;
    block[52] = 0x00;
    block[53] = 0x00;
    static constexpr uint8_t kVariantBits[kVariantCount] = {0x80, 0x40, 0x60, 0x04};
    EepromImage unpacked;
    unpacked.Assign(image);
    Unpack(unpacked);
    const int variant = VariantFromImage(unpacked);
    block[kIdVariant] = kVariantBits[variant];
    block[55] = block[56] = block[57] = 0x00;
    Put(block, kIdMemoryEnd, "7D7F");
    Put(block, kIdValue, "0000");
    for (int i = 66; i < 74; ++i) block[i] = 0x00;
    block[kIdUnitRevision] = 0x10;
    block[75] = 0x00;
    Put(block, kIdUnitRevisionValue, "0000");
    return block;
}

Radio::Radio(RadioConfig config) : config_(std::move(config)) {
    if (config_.identity.empty()) config_.identity = DefaultIdentity(config_.image);
    config_.readFrameSize = std::clamp(config_.readFrameSize & ~1, 2, 254);
    if (config_.fault == Fault::MapRevision7 && config_.identity.size() > kIdMapRevision)
        config_.identity[kIdMapRevision] = 7;
}

int32_t Radio::MemoryEnd() const {
    if (config_.identity.size() < kIdMemoryEnd + 4) return kRadioAreaEnd;
    int32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v * 16 + HexValue(config_.identity[kIdMemoryEnd + i]);
    return std::min(v | 0x0F, config_.image.GetSize() - 1);
}

void Radio::Event(const std::string& line) {
    if (onEvent) onEvent(line);
}

void Radio::Receive(uint8_t byte, ByteQueue& echo, ByteQueue& answer) {
    if (unplugged_) return;
    ++echoed_;
    if (config_.fault == Fault::WrongEcho && echoed_ == config_.faultAt) {
        echo.PushBack(static_cast<uint8_t>(byte ^ 0x01));
    } else if (config_.fault != Fault::NoEcho) {
        echo.PushBack(byte);
    }
    if (byte == kFrameStart) {
        // A run of 0xFE opens one frame; a 0xFE after its body starts anew.
        if (frame_.Length() == 0 || inBody_) {
            frame_.Clear();
            frame_.PushBack(byte);
            leadingStarts_ = 0;
            inBody_ = false;
        }
        ++leadingStarts_;
    } else if (frame_.Length() > 0) {
        if (byte == kFrameEnd) {
            Frame(answer);
            frame_.Clear();
            inBody_ = false;
        } else if (frame_.Length() < 600) {
            frame_.PushBack(byte);
            inBody_ = true;
        }
    }
}

void Radio::Frame(ByteQueue& answer) {
    const uint8_t* body = frame_.Data() + 1;
    const int32_t n = frame_.Length() - 1;
    if (SpeedScript(body, n) || Request(body, n, answer)) return;
    const bool dataOrEnd =
        n >= 3 && body[0] == 0xEE && body[1] == 0xEF && (body[2] == kCmdData || body[2] == kCmdEnd);
    if (writing_ && dataOrEnd && leadingStarts_ == kFrameStarts && AtBaud(dataBaud_)) {
        if (stalled_) return;
        if (body[2] == kCmdData) {
            ReceiveData(answer);
        } else {
            FinishWrite(answer);
        }
        return;
    }
    Event("ignored a frame that is not in the protocol's table");
}

// The speed script: the high speed frame at 38400 baud, the mode frame at
// 9600, then the low speed frame at 9600 (data at 38400) or the high one at
// 38400 (data at 9600). A high speed frame out of turn starts it again.
bool Radio::SpeedScript(const uint8_t* body, int32_t n) {
    const bool speedFrame = leadingStarts_ == kSpeedFrameStarts;
    if (speedFrame && Same(body, n, kSpeedHighFrame, sizeof kSpeedHighFrame) && AtBaud(38400)) {
        if (setup_ == Setup::Mode) {
            setup_ = Setup::Ready;
            dataBaud_ = 9600;
        } else {
            setup_ = Setup::High;
        }
        return true;
    }
    if (speedFrame && Same(body, n, kSpeedLowFrame, sizeof kSpeedLowFrame) && AtBaud(9600) &&
        setup_ == Setup::Mode) {
        setup_ = Setup::Ready;
        dataBaud_ = 38400;
        return true;
    }
    const bool mode = leadingStarts_ == kFrameStarts && n == sizeof kModeFrame + 1 &&
                      std::memcmp(body, kModeFrame, sizeof kModeFrame) == 0 &&
                      (body[n - 1] == 0x30 || body[n - 1] == 0x31);
    if (mode && AtBaud(9600) && setup_ == Setup::High) {
        setup_ = Setup::Mode;
        writeMode_ = body[n - 1] == 0x31;
        return true;
    }
    return false;
}

// A request counts after a complete speed script, at the data speed, with
// the preamble of that speed (48 or 12 extra 0xFE), and in the mode the
// script set (a write request after write mode, the others after read
// mode). Each script serves one request.
bool Radio::Request(const uint8_t* body, int32_t n, ByteQueue& answer) {
    if (n != sizeof kRequestFrame || body[0] != kRequestFrame[0] || body[1] != kRequestFrame[1] ||
        std::memcmp(body + 3, kRequestFrame + 3, sizeof kRequestFrame - 3) != 0)
        return false;
    const uint8_t command = body[2];
    if (command != kCmdIdentify && command != kCmdRead && command != kCmdWrite) return false;
    const int32_t preamble = dataBaud_ == 38400 ? 48 : 12;
    if (setup_ != Setup::Ready || leadingStarts_ != preamble + kFrameStarts || !AtBaud(dataBaud_) ||
        (command == kCmdWrite) != writeMode_)
        return false;
    setup_ = Setup::None;
    if (config_.fault == Fault::Silence || stalled_) return true;
    ++requests_;
    switch (command) {
        case kCmdIdentify: AnswerIdentity(answer); break;
        case kCmdRead:
            if (config_.fault == Fault::RepeatFrame || config_.fault == Fault::Trickle) {
                StartTimedRead();
            } else {
                StreamRead(answer);
            }
            break;
        default:
            if (config_.fault == Fault::Refusal) {
                answer.PushBack(kRefusalByte);
                Event("write refused");
                break;
            }
            writing_ = true;
            writeOk_ = true;
            writeFrames_ = 0;
            writeFirst_ = writeLast_ = -1;
            corruptAddress_ = -1;
            incoming_.Assign(config_.image);
            Ready(answer);
            break;
    }
    return true;
}

void Radio::StartTimedRead() {
    timedAddress_ = 0;
    timedNextMs_ = 0;
    Event(config_.fault == Fault::RepeatFrame ? "read: repeating the frame for 0000"
                                              : "read: one frame every 0.9 s");
}

void Radio::Ready(ByteQueue& answer) {
    if (config_.fault == Fault::SlowAck) {
        readyAtMs_ = 0;
    } else {
        answer.PushBack(kReadyByte);
    }
}

void Radio::Tick(int64_t nowMs, ByteQueue& answer) {
    if (unplugged_) return;
    if (readyAtMs_ == 0) readyAtMs_ = nowMs + kSlowAckMs;
    if (readyAtMs_ > 0 && nowMs >= readyAtMs_) {
        answer.PushBack(kReadyByte);
        readyAtMs_ = -1;
    }
    if (timedNextMs_ < 0 || (timedNextMs_ > 0 && nowMs < timedNextMs_)) return;
    const bool repeat = config_.fault == Fault::RepeatFrame;
    const int32_t size = config_.readFrameSize;
    const int32_t end = MemoryEnd();
    if (timedAddress_ > end) {
        AppendEndFrame(answer, false, (end + size) / size);
        timedNextMs_ = -1;
        return;
    }
    const int32_t n = std::min(size, end - timedAddress_ + 1);
    AppendDataFrame(answer, false, timedAddress_, config_.image.Data() + timedAddress_, n);
    if (!repeat) timedAddress_ += n;
    timedNextMs_ = (timedNextMs_ == 0 ? nowMs : timedNextMs_) + (repeat ? kRepeatMs : kTrickleMs);
}

int64_t Radio::NextTickMs() const {
    if (readyAtMs_ >= 0 && (timedNextMs_ < 0 || readyAtMs_ < timedNextMs_)) return readyAtMs_;
    return timedNextMs_;
}

void Radio::AnswerIdentity(ByteQueue& answer) {
    AppendFrameHead(answer, false, kCmdIdentity);
    AppendCodes(answer, config_.fault == Fault::WrongModel ? 0x2928 : kModelCode, 0);
    answer.AppendBytes(config_.identity.data(), static_cast<int32_t>(config_.identity.size()));
    answer.PushBack(kFrameEnd);
    Event("identify");
}

void Radio::StreamRead(ByteQueue& answer) {
    const int32_t end = MemoryEnd();
    const int32_t size = config_.readFrameSize;
    int32_t frames = 0;
    bool lowered = false;
    for (int32_t a = 0; a <= end; a += size) {
        const int32_t n = std::min(size, end - a + 1);
        ++frames;
        if (config_.fault == Fault::Stall && frames == config_.faultAt) {
            stalled_ = true;
            Event("read stalled");
            return;
        }
        if (config_.fault == Fault::Unplug && frames == config_.faultAt) {
            unplugged_ = true;
            Event("cable pulled");
            return;
        }
        if (config_.fault == Fault::MissingAddress && frames == config_.faultAt) continue;
        const int32_t from = answer.Length();
        AppendDataFrame(answer, false, a, config_.image.Data() + a, n);
        uint8_t* text = answer.Data() + from + 4;
        const int32_t chars = 8 + 2 * n;
        if (config_.fault == Fault::BadChecksum && frames == config_.faultAt)
            text[chars - 1] = text[chars - 1] == '0' ? '1' : '0';
        // From the fault's frame on, until a letter has been lowered.
        if (config_.fault == Fault::LowerCaseHex && frames >= config_.faultAt && !lowered) {
            for (int32_t i = 0; i < chars; ++i) {
                const auto c = static_cast<uint8_t>(std::tolower(text[i]));
                lowered = lowered || c != text[i];
                text[i] = c;
            }
        }
    }
    int32_t sent = config_.fault == Fault::MissingAddress ? frames - 1 : frames;
    if (config_.fault == Fault::ExtraAddress && end + 16 < config_.image.GetSize()) {
        AppendDataFrame(answer, false, end + 1, config_.image.Data() + end + 1, 16);
        ++sent;
    }
    AppendEndFrame(answer, false, config_.fault == Fault::WrongEndCount ? sent + 1 : sent);
    char line[64];
    std::snprintf(line, sizeof line, "read 0000-%04X", static_cast<unsigned>(end));
    Event(line);
}

void Radio::ReceiveData(ByteQueue& answer) {
    // FE EE EF E4, then the text: address, count, data, checksum.
    const int32_t chars = frame_.Length() - 4;
    ByteQueue bytes;
    for (int32_t i = 0; i + 1 < chars; i += 2) {
        const int hi = StrictHexDigit(frame_.At(4 + i));
        const int lo = StrictHexDigit(frame_.At(5 + i));
        if (hi < 0 || lo < 0) writeOk_ = false;
        bytes.PushBack(static_cast<uint8_t>((hi & 15) << 4 | (lo & 15)));
    }
    if (chars % 2 != 0 || bytes.Length() < 4 || bytes.Length() != bytes.At(2) + 4) {
        writeOk_ = false;
        return;
    }
    uint32_t sum = 0;
    for (int32_t i = 0; i < bytes.Length(); ++i) sum += bytes.At(i);
    const int32_t address = bytes.At(0) << 8 | bytes.At(1);
    const int32_t n = bytes.At(2);
    // Past the end of its memory the radio stores nothing and reports failure.
    if (sum % 256 != 0 || address + n > incoming_.GetSize() || address + n - 1 > MemoryEnd()) {
        writeOk_ = false;
        return;
    }
    incoming_.WriteBlock(address, bytes.Data() + 3, n);
    if (writeFirst_ < 0) writeFirst_ = address;
    writeLast_ = std::max(writeLast_, address + n - 1);
    ++writeFrames_;
    if (config_.fault == Fault::CorruptWrite && writeFrames_ == config_.faultAt && n > 0)
        corruptAddress_ = address;
    if (config_.fault == Fault::Stall && writeFrames_ == config_.faultAt) {
        stalled_ = true;
        Event("write stalled");
        return;
    }
    if (config_.fault == Fault::Unplug && writeFrames_ == config_.faultAt) {
        unplugged_ = true;
        Event("cable pulled");
        return;
    }
    if ((address + n) % 128 == 0) Ready(answer);
}

void Radio::FinishWrite(ByteQueue& answer) {
    writing_ = false;
    ByteQueue count;
    AppendHex(count, static_cast<uint8_t>(writeFrames_ & 0xFF));
    const bool countOk = frame_.Length() == 4 + kEndFrameTextLength + 2 &&
                         std::memcmp(frame_.Data() + 4, kEndFrameText, kEndFrameTextLength) == 0 &&
                         std::memcmp(frame_.Data() + 4 + kEndFrameTextLength, count.Data(), 2) == 0;
    const bool ok = writeOk_ && countOk && config_.fault != Fault::WriteFailed;
    AppendFrameHead(answer, false, kCmdWriteResult);
    answer.PushBack(ok ? 0x00 : 0x01);
    answer.PushBack(kFrameEnd);
    char line[64];
    std::snprintf(line, sizeof line, "write %04X-%04X %s",
                  static_cast<unsigned>(writeFirst_ & 0xFFFF),
                  static_cast<unsigned>(writeLast_ & 0xFFFF), ok ? "stored" : "failed");
    Event(line);
    if (!ok) return;
    if (corruptAddress_ >= 0) {
        incoming_.SetByte(corruptAddress_,
                          static_cast<uint8_t>(incoming_.GetByte(corruptAddress_) ^ 0x01));
        std::snprintf(line, sizeof line, "stored %04X wrong",
                      static_cast<unsigned>(corruptAddress_));
        Event(line);
    }
    config_.image.Assign(incoming_);
    if (onWritten) onWritten(writeFirst_, writeLast_);
}

}  // namespace parlo::sim
