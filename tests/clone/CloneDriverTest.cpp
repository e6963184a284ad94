// The cloning protocol on virtual time against a scripted line: the frames
// byte for byte, the speed-change scripts, every failure status, the
// handshakes of a write, and a write on a port that reports pending output.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "clone/CloneFileOps.h"
#include "clone/CloneFrames.h"
#include "clone/CloneManager.h"
#include "clone/CloneTrace.h"
#include "clone/ContentValidation.h"
#include "platform/Fatal.h"
#include "runtime/EventManager.h"
#include "tests/support/RadioFrames.h"
#include "tests/support/ScriptedSerial.h"
#include "tests/support/TestSupport.h"
#include "tests/support/VirtualScheduler.h"
#include "tools/radio-sim/RadioSim.h"

namespace parlo {
namespace {

using sim::Fault;
using test::ScriptedSerial;
using test::SerialScript;
using Bytes = std::vector<uint8_t>;

using test::frames::Cat;
using test::frames::Fill;
using test::frames::kModeRead;
using test::frames::kModeWrite;
using test::frames::kSpeedHigh;
using test::frames::kSpeedLow;
using test::frames::Request;
Bytes ToBytes(const ByteQueue& b) { return Bytes(b.Data(), b.Data() + b.Length()); }

EepromImage FactoryImage() {
    EepromImage image;
    image.SetSize(kImageSize);
    EXPECT_EQ(ReadInitialFile(test::DataFile("MV7105C_LMR.icf"), image).code, kFileOk);
    return image;
}

// A data frame's address and count from its text (the bytes after E4).
struct SentFrame {
    int32_t address;
    int32_t count;
};

// The data frames in a run of bytes the computer sent.
std::vector<SentFrame> DataFramesIn(const Bytes& bytes) {
    std::vector<SentFrame> frames;
    auto hex = [&](size_t at) {
        return StrictHexDigit(bytes[at]) * 16 + StrictHexDigit(bytes[at + 1]);
    };
    for (size_t i = 0; i + 10 < bytes.size(); ++i) {
        if (bytes[i] == 0xFE && bytes[i + 1] == 0xEE && bytes[i + 2] == 0xEF &&
            bytes[i + 3] == kCmdData) {
            frames.push_back({hex(i + 4) * 256 + hex(i + 6), hex(i + 8)});
        }
    }
    return frames;
}

class CloneDriverTest : public ::testing::Test {
protected:
    CloneDriverTest() {
        man.SetCodes(kModelCode, 0);
        man.SetPort(1, "/dev/ttyUSB0");
        man.SetImageSize(kImageSize);
        man.SetIdentifyHandler([](CloneResult&) {});
        man.SetReadHandler([](CloneResult&) {});
    }

    void UseRadio(Fault fault = Fault::None, int32_t faultAt = 20) {
        sim::RadioConfig config;
        config.image = FactoryImage();
        config.fault = fault;
        config.faultAt = faultAt;
        radio = std::make_unique<sim::Radio>(std::move(config));
        script->radio = radio.get();
    }

    // Records what the completion got.
    struct Outcome {
        uint8_t status;
        int32_t code1, code2;
        Bytes identity;
        EepromImage image;
        uint32_t endMs;
        int32_t stalledMs;
        int32_t stoppedAt;
    };
    CloneManager::Callback Record() {
        return [this](CloneResult& r) {
            outcome = Outcome{r.status, r.code1,       r.code2,     ToBytes(r.identity),
                              {},       clock.NowMs(), r.stalledMs, r.stoppedAt};
            outcome->image.Assign(r.image);
            portOpenAtEnd = man.Driver().Port().IsOpen();
        };
    }
    // Advances until the operation has ended, at most `limitMs`.
    bool RunToEnd(uint32_t limitMs = 120000) {
        for (uint32_t t = 0; t < limitMs && !outcome; t += 10) clock.Advance(10);
        return outcome.has_value();
    }
    void RunUntilState(int32_t state, uint32_t limitMs = 10000) {
        for (uint32_t t = 0; t < limitMs && man.Driver().State() != state; t += 5) clock.Advance(5);
        ASSERT_EQ(man.Driver().State(), state);
    }

    test::VirtualScheduler clock;
    test::RecordingPrompts prompts;
    std::shared_ptr<SerialScript> script = std::make_shared<SerialScript>();
    std::unique_ptr<sim::Radio> radio;
    CloneManager man{std::make_unique<ScriptedSerial>(script)};
    std::optional<Outcome> outcome;
    bool portOpenAtEnd = true;
};

TEST(CloneFrames, DataFrameOfTheExample) {
    ByteQueue f;
    const uint8_t zeros[16] = {};
    AppendDataFrame(f, true, 0x0010, zeros, 16);
    const std::string text = "001010" + std::string(32, '0') + "E0";
    EXPECT_EQ(ToBytes(f),
              Cat({{0xFE, 0xFE, 0xEE, 0xEF, 0xE4}, Bytes(text.begin(), text.end()), {0xFD}}));
    EXPECT_EQ(DataChecksum(0x0010, zeros, 16), 0xE0);
}

TEST(CloneFrames, ScriptHexConversion) {
    EXPECT_EQ(ToBytes(HexToBytes("fe Fe-0x12 z3")), (Bytes{0xFE, 0xFE, 0x01, 0x23}));
    EXPECT_EQ(ToBytes(HexToBytes("ABC")), (Bytes{0xAB, 0xC0}));
}

// Every opening of the port: its speed and everything sent on it. The last
// one carries the request; a write's data follow it there.
TEST_F(CloneDriverTest, WholeScriptsOfEveryOperationAtBothSpeeds) {
    struct Opening {
        int32_t baud;
        Bytes sent;
    };
    struct Case {
        const char* what;
        CloneOperation op;
        bool high;
        std::vector<Opening> openings;
    } cases[] = {
        {"identify",
         kOpIdentify,
         true,  // identify ignores the speed setting
         {{38400, kSpeedHigh}, {9600, kModeRead}, {38400, kSpeedHigh}, {9600, Request(12, 0xE0)}}},
        {"read at 9600",
         kOpRead,
         false,
         {{38400, kSpeedHigh}, {9600, kModeRead}, {38400, kSpeedHigh}, {9600, Request(12, 0xE2)}}},
        {"read at 38400",
         kOpRead,
         true,
         {{38400, kSpeedHigh}, {9600, kModeRead}, {9600, kSpeedLow}, {38400, Request(48, 0xE2)}}},
        {"write at 9600",
         kOpWrite,
         false,
         {{38400, kSpeedHigh}, {9600, kModeWrite}, {38400, kSpeedHigh}, {9600, Request(12, 0xE3)}}},
        {"write at 38400",
         kOpWrite,
         true,
         {{38400, kSpeedHigh}, {9600, kModeWrite}, {9600, kSpeedLow}, {38400, Request(48, 0xE3)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        script = std::make_shared<SerialScript>();
        CloneManager m{std::make_unique<ScriptedSerial>(script)};
        m.SetCodes(kModelCode, 0);
        m.SetPort(1, "/dev/ttyUSB0");
        m.SetHighSpeed(c.high);
        m.SetImageSize(kImageSize);
        m.SetIdentifyHandler([](CloneResult&) {});
        m.SetReadHandler([](CloneResult&) {});
        bool done = false;
        const auto record = [&](CloneResult& r) {
            done = true;
            EXPECT_EQ(r.status, kCloneOk);  // the strict radio answered
        };
        UseRadio();
        const EepromImage image = FactoryImage();
        const bool started = c.op == kOpIdentify ? m.Identify(record)
                             : c.op == kOpRead
                                 ? m.Read(SingleRange(0, 0x7D7F), record)
                                 : m.Write(image, SingleRange(0x0100, 0x01FF), record);
        ASSERT_TRUE(started);
        for (int t = 0; t < 60000 && !done; t += 10) clock.Advance(10);
        ASSERT_TRUE(done);
        ASSERT_EQ(script->openings.size(), c.openings.size());
        for (size_t i = 0; i < c.openings.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "opening " << i);
            const SerialScript::Opening& got = script->openings[i];
            EXPECT_EQ(got.baud, c.openings[i].baud);
            const Bytes& want = c.openings[i].sent;
            if (i + 1 < c.openings.size() || c.op != kOpWrite) {
                EXPECT_EQ(got.sent, want);
            } else {
                ASSERT_GE(got.sent.size(), want.size());
                EXPECT_EQ(Bytes(got.sent.begin(), got.sent.begin() + want.size()), want);
            }
            // The radio needs its settling pause after every reopening.
            EXPECT_GE(got.firstWriteMs - got.openedMs, 100u);
        }
        EXPECT_FALSE(m.Driver().Port().IsOpen());
    }
}

// Identity answers given by hand once the request has gone out.
TEST(CloneTrace, AFrameInOneLine) {
    const std::string data = "001010" + std::string(32, '0') + "E0";
    const std::string received = "012008" + std::string(16, '1') + "00";
    struct Case {
        bool sent;
        Bytes bytes;
        const char* line;
    } cases[] = {
        {true,
         {0xFE, 0xFE, 0xEE, 0xEF, 0xE2, 0x29, 0x27, 0x00, 0x00, 0xFD},
         "-> E2 read request, 4 bytes"},
        {true, Cat({Fill(0xFE, 12), {0xFE, 0xFE, 0xEE, 0xEF, 0xE0, 0x29, 0x27, 0x00, 0x00, 0xFD}}),
         "-> E0 identify request, 4 bytes"},
        {true, Cat({{0xFE, 0xFE, 0xEE, 0xEF, 0xE4}, Bytes(data.begin(), data.end()), {0xFD}}),
         "-> E4 data 0010, 16 bytes"},
        {false, Cat({{0xFE, 0xEF, 0xEE, 0xE4}, Bytes(received.begin(), received.end())}),
         "<- E4 data 0120, 8 bytes"},
        {false, {0xFE, 0xEF, 0xEE, 0xE6, 0x00}, "<- E6 write result, 1 bytes"},
        {false, {0xFE, 0xEF, 0xEE, 0x99}, "<- 99 unknown command, 0 bytes"},
        {true, {0x12, 0x34}, "-> 2 bytes"},
        {false, {0xFB}, "<- 1 bytes (ready)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DescribeFrame(c.sent, c.bytes.data(), static_cast<int32_t>(c.bytes.size())),
                  c.line);
    }
}

TEST_F(CloneDriverTest, WhileTracingTheLogGetsEveryFrameAndTheStatus) {
    std::vector<std::string> lines;
    UseRadio();
    for (bool tracing : {false, true}) {
        if (tracing)
            man.SetTrace([&](const std::string& line) { lines.push_back(line); });
        else
            man.SetTrace(nullptr);
        lines.clear();
        outcome.reset();
        ASSERT_TRUE(man.Identify(Record()));
        ASSERT_TRUE(RunToEnd());
        if (!tracing) {
            EXPECT_TRUE(lines.empty());
            continue;
        }
        auto has = [&](const std::string& prefix) {
            return std::any_of(lines.begin(), lines.end(),
                               [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
        };
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), "identify");
        EXPECT_TRUE(has("port /dev/ttyUSB0 "));
        EXPECT_TRUE(has("-> E0 identify request"));
        EXPECT_TRUE(has("<- E1 identity"));
        EXPECT_EQ(lines.back().rfind("status 0,", 0), 0u) << lines.back();
    }
    man.SetTrace(nullptr);
}

TEST_F(CloneDriverTest, IdentityAnswerIsJudgedByItsCodes) {
    Bytes block(80, 0x20);
    block[0] = 80;
    struct Case {
        uint8_t codeLow;
        uint8_t status;
    } cases[] = {{0x27, kCloneOk}, {0x2A, kCloneFrame}};
    for (const Case& c : cases) {
        outcome.reset();
        script->input.clear();
        ASSERT_TRUE(man.Identify(Record()));
        RunUntilState(6);
        const Bytes answer =
            Cat({{0xFE, 0xEF, 0xEE, 0xE1, 0x29, c.codeLow, 0x00, 0x00}, block, {0xFD}});
        script->input.insert(script->input.end(), answer.begin(), answer.end());
        ASSERT_TRUE(RunToEnd());
        EXPECT_EQ(outcome->status, c.status) << int{c.codeLow};
        if (c.status == kCloneOk) {
            EXPECT_EQ(outcome->code1, 0x2927);
            EXPECT_EQ(outcome->code2, 0);
            EXPECT_EQ(outcome->identity, block);
        }
    }
}

TEST_F(CloneDriverTest, EveryFailureEndsWithItsStatusAndTheLineClosed) {
    struct Case {
        const char* what;
        Fault fault;
        CloneOperation op;
        uint8_t status;
    } cases[] = {
        {"no echo", Fault::NoEcho, kOpIdentify, kCloneEcho},
        {"wrong echo", Fault::WrongEcho, kOpRead, kCloneEcho},
        {"silent radio", Fault::Silence, kOpIdentify, kCloneTimeout},
        {"refusal", Fault::Refusal, kOpWrite, kCloneFrame},
        {"bad checksum", Fault::BadChecksum, kOpRead, kCloneFrame},
        {"lower-case hex", Fault::LowerCaseHex, kOpRead, kCloneFrame},
        {"end frame count", Fault::WrongEndCount, kOpRead, kCloneFrameCount},
        {"missing address", Fault::MissingAddress, kOpRead, kCloneCoverage},
        {"extra address", Fault::ExtraAddress, kOpRead, kCloneAddress},
        {"write not confirmed", Fault::WriteFailed, kOpWrite, kCloneWriteUnconfirmed},
        {"read stalls", Fault::Stall, kOpRead, kCloneTimeout},
        {"write stalls", Fault::Stall, kOpWrite, kCloneTimeout},
        {"cable pulled in a read", Fault::Unplug, kOpRead, kCloneTimeout},
        {"cable pulled in a write", Fault::Unplug, kOpWrite, kCloneEcho},
    };
    const EepromImage image = FactoryImage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        outcome.reset();
        UseRadio(c.fault, c.fault == Fault::WrongEcho ? 90 : 5);
        const bool started = c.op == kOpIdentify ? man.Identify(Record())
                             : c.op == kOpRead
                                 ? man.Read(SingleRange(0, 0x7D7F), Record())
                                 : man.Write(image, SingleRange(0x0100, 0x07FF), Record());
        ASSERT_TRUE(started);
        ASSERT_TRUE(RunToEnd());
        EXPECT_EQ(outcome->status, c.status);
        EXPECT_FALSE(portOpenAtEnd);
        EXPECT_FALSE(man.IsBusy());
    }
    EXPECT_EQ(prompts.shown.size(), std::size(cases));  // one message each
}

TEST_F(CloneDriverTest, PortAndWriteFailures) {
    UseRadio();
    script->openFailure = SerialOpenFailure::Reason::NotFound;
    ASSERT_TRUE(man.Identify(Record()));
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(outcome->status, kClonePortOpen);

    outcome.reset();
    script->openFailure = SerialOpenFailure::Reason::None;
    script->acceptLimit = 10;
    ASSERT_TRUE(man.Identify(Record()));
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(outcome->status, kCloneShortWrite);
    EXPECT_FALSE(portOpenAtEnd);
}

TEST_F(CloneDriverTest, ReadDeliversTheRadiosBytesAndRefusesASecondStart) {
    // The view hears where the read ended before the operation ends.
    struct View : CloneProgressView {
        std::vector<CloneProgress> updates;
        bool ended = false;
        void BeginOperation(bool) override {}
        void UpdateProgress(const CloneProgress& p) override {
            if (!ended) updates.push_back(p);
        }
        void EndOperation() override { ended = true; }
    } view;
    man.SetView(&view);
    UseRadio();
    ASSERT_TRUE(man.Read(SingleRange(0, 0x7D7F), Record()));
    EXPECT_TRUE(man.IsBusy());
    EXPECT_FALSE(man.Identify(Record()));
    EXPECT_FALSE(man.Read(SingleRange(0, 0x7D7F), Record()));
    ASSERT_TRUE(RunToEnd());
    ASSERT_EQ(outcome->status, kCloneOk);
    for (int32_t a = 0; a <= 0x7D7F; ++a)
        ASSERT_EQ(outcome->image.GetByte(a), radio->Image().GetByte(a)) << a;
    EXPECT_EQ(outcome->image.GetByte(0x7D80), 0);
    EXPECT_EQ(man.Driver().DataCounter(), 0x7D80);
    EXPECT_EQ(man.Total(), 0x7D80);
    ASSERT_TRUE(view.ended);
    ASSERT_FALSE(view.updates.empty());
    EXPECT_EQ(view.updates.back().done, 0x7D80);
    EXPECT_EQ(view.updates.back().total, 0x7D80);
    man.SetView(nullptr);
}

// A radio that keeps sending valid data cannot keep a read going: an
// address sent again or more data than the range holds end it at once with
// 9. A radio that sends a new frame within every step's time-out, however
// slowly, is never cut off.
TEST_F(CloneDriverTest, ALivelyRadioCannotKeepAReadGoing) {
    struct Case {
        const char* what;
        Fault fault;
        int32_t last;
        uint8_t status;
    } cases[] = {
        {"the frame for 0000 again every 0.3 s", Fault::RepeatFrame, 0x7D7F, kCloneAddress},
        // The radio stalls after 19 frames of 32 bytes, far past 0x00FF.
        {"more data than the range holds", Fault::Stall, 0x00FF, kCloneAddress},
        // 128 frames of 32 bytes, one every 0.9 s: almost two minutes.
        {"a frame every 0.9 s", Fault::Trickle, 0x0FFF, kCloneOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        outcome.reset();
        sim::RadioConfig config;
        config.image = FactoryImage();
        if (c.fault == Fault::Trickle) {
            // A radio whose memory ends where the read does.
            config.identity = sim::DefaultIdentity(config.image);
            const std::string end = Format("%04X", static_cast<unsigned>(c.last));
            std::copy(end.begin(), end.end(), config.identity.begin() + 58);
        }
        config.fault = c.fault;
        config.faultAt = 20;
        radio = std::make_unique<sim::Radio>(std::move(config));
        script->radio = radio.get();
        const uint32_t start = clock.NowMs();
        ASSERT_TRUE(man.Read(SingleRange(0, c.last), Record()));
        ASSERT_TRUE(RunToEnd(600000));
        EXPECT_EQ(outcome->status, c.status);
        const uint32_t took = clock.NowMs() - start;
        if (c.status == kCloneOk) {
            EXPECT_GT(took, 110000u);
            for (int32_t a = 0; a <= c.last; ++a)
                ASSERT_EQ(outcome->image.GetByte(a), radio->Image().GetByte(a)) << a;
        } else {
            EXPECT_LT(took, 5000u);
        }
        EXPECT_LE(man.Driver().DataCounter(), c.last + 1);
    }
}

// A dPMR446 radio that takes all but 50 ms of each time-out before every
// 0xFB (20 s before the first block, 2 s after each block's last echo) is
// slow, not stalled: the whole write goes through at both speeds.
TEST_F(CloneDriverTest, ARadioAnsweringJustInTimeIsWrittenWhole) {
    EepromImage image;
    image.SetSize(kImageSize);
    ASSERT_EQ(ReadInitialFile(test::DataFile("MV7105C_DPMR446.icf"), image).code, kFileOk);
    const int32_t last = (image.GetWord(0x0112) & ~0x7F) + 0x7F;
    ASSERT_GT(last, 0x2000);  // 69 blocks of 128 bytes from 0100
    for (const bool high : {false, true}) {
        SCOPED_TRACE(high ? "38400 baud" : "9600 baud");
        outcome.reset();
        sim::RadioConfig config;
        config.image = FactoryImage();
        radio = std::make_unique<sim::Radio>(std::move(config));
        script->radio = radio.get();
        script->lineRate = true;
        auto first = std::make_shared<bool>(true);
        script->answerDelayMs = [first](uint8_t b) -> uint32_t {
            if (b != kReadyByte) return 0;
            return std::exchange(*first, false) ? 19950 : 1950;
        };
        man.SetHighSpeed(high);
        const uint32_t start = clock.NowMs();
        ASSERT_TRUE(man.Write(image, SingleRange(0x0100, last), Record()));
        ASSERT_TRUE(RunToEnd(600000));
        EXPECT_EQ(outcome->status, kCloneOk);
        EXPECT_GT(clock.NowMs() - start, 19950u + 68 * 1950u);
        for (int32_t a = 0x0100; a <= last; ++a)
            ASSERT_EQ(radio->Image().GetByte(a), image.GetByte(a)) << a;
    }
    EXPECT_TRUE(prompts.shown.empty());

    // The simulator's slow-ack radio is such a radio too.
    outcome.reset();
    script->answerDelayMs = nullptr;
    UseRadio(Fault::SlowAck);
    const uint32_t start = clock.NowMs();
    ASSERT_TRUE(man.Write(image, SingleRange(0x0100, 0x02FF), Record()));
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(outcome->status, kCloneOk);
    EXPECT_GE(clock.NowMs() - start, 5 * 1900u);  // the first 0xFB and one per block
}

// A radio that falls silent ends the operation one step time-out after the
// last byte it sent (1 s reading, 2 s writing) with a plain status 5. One
// that keeps sending without moving the operation on, bytes that make no
// frame, or a cable that echoes a byte every half second, ends as soon:
// status 5 again, but its message says it stopped making progress.
TEST_F(CloneDriverTest, ARadioThatStopsMakingProgressEndsWithinOneTimeout) {
    const EepromImage image = FactoryImage();
    struct Case {
        const char* what;
        Fault fault;
        CloneOperation op;
        uint32_t echoGapMs;
        bool noise;  // a byte 0x30 every 300 ms once the data phase begins
        uint32_t timeoutMs;
        bool stalled;
    } cases[] = {
        {"read falls silent", Fault::Stall, kOpRead, 0, false, 1000, false},
        {"write falls silent", Fault::Stall, kOpWrite, 0, false, 2000, false},
        {"read answers with noise", Fault::Silence, kOpRead, 0, true, 1000, true},
        {"identify over a slow cable", Fault::None, kOpIdentify, 500, false, 1000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        outcome.reset();
        prompts.shown.clear();
        UseRadio(c.fault, 5);
        script->echoGapMs = c.echoGapMs;
        const size_t openings = script->openings.size();
        const bool started = c.op == kOpIdentify ? man.Identify(Record())
                             : c.op == kOpRead
                                 ? man.Read(SingleRange(0, 0x7D7F), Record())
                                 : man.Write(image, SingleRange(0x0100, 0x07FF), Record());
        ASSERT_TRUE(started);
        uint32_t lastProgressMs = 0;
        for (uint32_t t = 0; t < 120000 && !outcome; t += 10) {
            clock.Advance(10);
            const int32_t state = man.Driver().State();
            if (c.noise && state == 8 && t % 300 == 0) {
                if (lastProgressMs == 0) lastProgressMs = script->lastInputMs;
                script->input.push_back(0x30);
            }
        }
        ASSERT_TRUE(outcome.has_value());
        EXPECT_EQ(outcome->status, kCloneTimeout);
        if (c.echoGapMs > 0) {
            // Nothing moved on since the first byte of the script was sent.
            lastProgressMs = script->openings.at(openings).firstWriteMs;
        } else if (!c.noise) {
            lastProgressMs = script->lastInputMs;
        }
        EXPECT_GE(outcome->endMs - lastProgressMs, c.timeoutMs);
        EXPECT_LE(outcome->endMs - lastProgressMs, c.timeoutMs + 20);
        EXPECT_EQ(outcome->stalledMs > 0, c.stalled);
        ASSERT_EQ(prompts.shown.size(), 1u);
        const std::string said = prompts.shown[0].text;
        EXPECT_EQ(said.rfind("The radio did not answer in time.\n", 0), 0u) << said;
        EXPECT_EQ(said.find("The radio stopped making progress: for 1 s it sent no new data and "
                            "no acknowledgement.") != std::string::npos,
                  c.stalled)
            << said;
    }
}

// The driver steps when bytes arrive, not only on its 10 ms beat.
TEST_F(CloneDriverTest, AnAnswerIsTakenTheMomentItArrives) {
    Bytes block(80, 0x20);
    block[0] = 80;
    ASSERT_TRUE(man.Identify(Record()));
    RunUntilState(6);
    clock.Advance(3);
    const Bytes answer = Cat({{0xFE, 0xEF, 0xEE, 0xE1, 0x29, 0x27, 0x00, 0x00}, block, {0xFD}});
    script->input.insert(script->input.end(), answer.begin(), answer.end());
    clock.Advance(1);
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->status, kCloneOk);
}

// Cancel stops a read and an identify at once, and a write until its data
// flow; the port is closed and no message shown.
TEST_F(CloneDriverTest, CancelStopsWhatMayBeStopped) {
    UseRadio(Fault::Trickle);  // a read that takes its time
    ASSERT_TRUE(man.Read(SingleRange(0, 0x7D7F), Record()));
    RunUntilState(8);
    clock.Advance(2000);
    EXPECT_GT(man.Progress().done, 0);
    EXPECT_TRUE(man.Progress().cancellable);
    EXPECT_TRUE(man.Cancel());
    ASSERT_TRUE(RunToEnd(1000));
    EXPECT_EQ(outcome->status, kCloneCancelled);
    EXPECT_FALSE(portOpenAtEnd);

    outcome.reset();
    UseRadio();
    script->lineRate = true;
    const EepromImage image = FactoryImage();
    ASSERT_TRUE(man.Write(image, SingleRange(0x0100, 0x7D7F), Record()));
    EXPECT_TRUE(man.Progress().cancellable);  // nothing sent yet
    RunUntilState(11);
    clock.Advance(200);
    EXPECT_FALSE(man.Progress().cancellable);
    EXPECT_FALSE(man.Cancel());
    ASSERT_TRUE(RunToEnd(400000));
    EXPECT_EQ(outcome->status, kCloneOk);
    EXPECT_TRUE(prompts.shown.empty());
}

// Asked while its data flow, a write stops once the block being sent is
// acknowledged: no frame and no end frame follow, and the message says the
// radio is half written. Asked during the last block, the write ends.
TEST_F(CloneDriverTest, AWriteStopsAfterTheBlockBeingSent) {
    const EepromImage image = FactoryImage();
    const Bytes endFrameHead = {0xFE, 0xFE, 0xEE, 0xEF, 0xE5};
    const auto sentEndFrame = [&] {
        return std::search(script->sent.begin(), script->sent.end(), endFrameHead.begin(),
                           endFrameHead.end()) != script->sent.end();
    };
    UseRadio();
    script->lineRate = true;
    EXPECT_FALSE(man.StopAfterBlock());  // nothing runs
    ASSERT_TRUE(man.Write(image, SingleRange(0x0100, 0x07FF), Record()));
    RunUntilState(10);
    EXPECT_FALSE(man.StopAfterBlock());  // no data flow yet: that is Cancel's
    RunUntilState(11);
    clock.Advance(500);
    ASSERT_TRUE(man.StopAfterBlock());
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(outcome->status, kCloneCancelled);
    const std::vector<SentFrame> frames = DataFramesIn(script->sent);
    ASSERT_FALSE(frames.empty());
    const int32_t end = frames.back().address + frames.back().count;
    EXPECT_EQ(end % 128, 0);
    EXPECT_LT(end, 0x0800);
    EXPECT_EQ(outcome->stoppedAt, end);
    EXPECT_FALSE(sentEndFrame());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text,
              "The write was stopped at address " + Format("%04X", static_cast<unsigned>(end)) +
                  ": the radio is half written and must be written again before it is used.");

    outcome.reset();
    prompts.shown.clear();
    script->sent.clear();
    ASSERT_TRUE(man.Write(image, SingleRange(0x0100, 0x01FF), Record()));
    for (int t = 0; t < 10000 && man.Driver().DataCounter() <= 0x80; t += 5) clock.Advance(5);
    ASSERT_TRUE(man.StopAfterBlock());
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(outcome->status, kCloneOk);
    EXPECT_EQ(outcome->stoppedAt, -1);
    EXPECT_TRUE(sentEndFrame());
    EXPECT_TRUE(prompts.shown.empty());
}

// Data frames from the radio given by hand after the read request.
TEST_F(CloneDriverTest, MalformedDataFramesAreRefused) {
    auto frame = [](int32_t address, int32_t n) {
        ByteQueue f;
        const Bytes data(static_cast<size_t>(n), 0x11);
        AppendDataFrame(f, false, address, data.data(), n);
        return ToBytes(f);
    };
    Bytes lower = frame(0x0010, 4);
    lower[5] = 'a';  // a digit of the address... as a lower-case letter
    Bytes shortCount = frame(0x0010, 16);
    shortCount.erase(shortCount.end() - 7, shortCount.end() - 3);  // two data bytes less
    const Bytes tooLong = Cat({{0xFE, 0xEF, 0xEE, 0xE4}, Fill('0', 530), {0xFD}});
    Bytes otherCommand = frame(0x0010, 4);
    otherCommand[3] = 0xE7;
    struct Case {
        const char* what;
        Bytes bytes;
        uint8_t status;
    } cases[] = {
        {"beyond the image", frame(0xA650, 2), kCloneAddress},
        {"lower case", lower, kCloneFrame},
        {"count and length differ", shortCount, kCloneFrame},
        {"odd byte count", frame(0x0010, 1), kCloneFrame},
        {"frame too long", tooLong, kCloneFrame},
        {"unknown command", otherCommand, kCloneFrame},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        outcome.reset();
        ASSERT_TRUE(man.Read(SingleRange(0, 0x7D7F), Record()));
        RunUntilState(8);
        script->input.insert(script->input.end(), c.bytes.begin(), c.bytes.end());
        ASSERT_TRUE(RunToEnd());
        EXPECT_EQ(outcome->status, c.status);
    }
}

class HandshakeTest : public CloneDriverTest {
protected:
    HandshakeTest() {
        UseRadio();
        script->passAnswer = [](uint8_t b) { return b != kReadyByte; };
    }
    size_t FramesSent() const { return DataFramesIn(script->sent).size(); }
    void Give(uint8_t b) {
        script->input.push_back(b);
        clock.Advance(300);
    }
};

TEST_F(HandshakeTest, WaitsForReadyBeforeTheFirstFrameAndAtEvery128Addresses) {
    const EepromImage image = FactoryImage();
    ASSERT_TRUE(man.Write(image, SingleRange(0x0000, 0x01FF), Record()));
    RunUntilState(10);
    clock.Advance(500);
    EXPECT_EQ(FramesSent(), 0u);
    for (size_t blocks = 1; blocks <= 4; ++blocks) {
        Give(kReadyByte);
        EXPECT_EQ(FramesSent(), blocks * 8) << "the frames up to " << blocks * 0x80;
        EXPECT_EQ(man.Driver().State(), 12);
    }
    Give(kReadyByte);  // after the last block the end frame follows
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(outcome->status, kCloneOk);
}

TEST_F(HandshakeTest, NoHandshakeAtTheRangeStart) {
    const EepromImage image = FactoryImage();
    ASSERT_TRUE(man.Write(image, SingleRange(0x0100, 0x02FF), Record()));
    RunUntilState(10);
    Give(kReadyByte);
    const std::vector<SentFrame> frames = DataFramesIn(script->sent);
    ASSERT_EQ(frames.size(), 8u);
    EXPECT_EQ(frames.front().address, 0x0100);
    EXPECT_EQ(frames.back().address, 0x0170);
}

TEST_F(HandshakeTest, RefusalAtAHandshakeFails) {
    const EepromImage image = FactoryImage();
    ASSERT_TRUE(man.Write(image, SingleRange(0x0000, 0x01FF), Record()));
    RunUntilState(10);
    Give(kReadyByte);
    Give(kRefusalByte);
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(outcome->status, kCloneFrame);
    EXPECT_EQ(FramesSent(), 8u);
}

// On a port that reports what it has still to send, frames are held back
// now and then; one that ends at a handshake point must be the last thing
// written before the radio's 0xFB.
TEST_F(CloneDriverTest, WriteAtLineRateNeverSendsPastAHandshakeBeforeTheReadyByte) {
    for (const bool high : {false, true}) {
        SCOPED_TRACE(high ? "38400 baud" : "9600 baud");
        outcome.reset();
        UseRadio();
        script->lineRate = true;
        script->writes.clear();
        man.SetHighSpeed(high);
        const EepromImage image = FactoryImage();
        ASSERT_TRUE(man.Write(image, SingleRange(0x0100, 0x7D7F), Record()));
        ASSERT_TRUE(RunToEnd(400000));
        EXPECT_EQ(outcome->status, kCloneOk);
        for (int32_t a = 0x0100; a <= 0x7D7F; ++a)
            ASSERT_EQ(radio->Image().GetByte(a), image.GetByte(a)) << a;
        size_t heldBack = 0;
        for (const Bytes& w : script->writes) {
            const std::vector<SentFrame> frames = DataFramesIn(w);
            for (size_t i = 0; i + 1 < frames.size(); ++i) {
                ASSERT_NE((frames[i].address + frames[i].count) % 128, 0)
                    << "a frame follows the one ending at a handshake point";
            }
            // A frame that was held back goes out with the next ones.
            if (frames.size() > 1) ++heldBack;
        }
        EXPECT_GT(heldBack, 0u);
    }
}

}  // namespace
}  // namespace parlo
