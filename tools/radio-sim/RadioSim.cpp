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
};

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
    ++echoed_;
    if (config_.fault == Fault::WrongEcho && echoed_ == config_.faultAt) {
        echo.PushBack(static_cast<uint8_t>(byte ^ 0x01));
    } else if (config_.fault != Fault::NoEcho) {
        echo.PushBack(byte);
    }
    if (byte == kFrameStart) {
        frame_.Clear();
        frame_.PushBack(byte);
    } else if (frame_.Length() > 0) {
        if (byte == kFrameEnd) {
            Frame(answer);
            frame_.Clear();
        } else if (frame_.Length() < 600) {
            frame_.PushBack(byte);
        }
    }
}

void Radio::Frame(ByteQueue& answer) {
    if (frame_.Length() < 4 || frame_.At(1) != kFromComputer[0] || frame_.At(2) != kFromComputer[1])
        return;
    if (config_.fault == Fault::Silence || stalled_) return;
    switch (frame_.At(3)) {
        case kCmdIdentify: AnswerIdentity(answer); break;
        case kCmdRead: StreamRead(answer); break;
        case kCmdWrite:
            if (config_.fault == Fault::Refusal) {
                answer.PushBack(kRefusalByte);
                Event("write refused");
                break;
            }
            writing_ = true;
            writeOk_ = true;
            writeFrames_ = 0;
            writeFirst_ = writeLast_ = -1;
            incoming_.Assign(config_.image);
            answer.PushBack(kReadyByte);
            break;
        case kCmdData:
            if (writing_) ReceiveData(answer);
            break;
        case kCmdEnd:
            if (writing_) FinishWrite(answer);
            break;
        default: break;  // speed and mode frames need no answer
    }
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
    if (sum % 256 != 0 || address + n > incoming_.GetSize()) {
        writeOk_ = false;
        return;
    }
    incoming_.WriteBlock(address, bytes.Data() + 3, n);
    if (writeFirst_ < 0) writeFirst_ = address;
    writeLast_ = std::max(writeLast_, address + n - 1);
    ++writeFrames_;
    if (config_.fault == Fault::Stall && writeFrames_ == config_.faultAt) {
        stalled_ = true;
        Event("write stalled");
        return;
    }
    if ((address + n) % 128 == 0) answer.PushBack(kReadyByte);
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
    config_.image.Assign(incoming_);
    if (onWritten) onWritten(writeFirst_, writeLast_);
}

}  // namespace parlo::sim
