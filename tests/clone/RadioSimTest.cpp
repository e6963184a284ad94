// The simulated radio is as strict as a real one: it answers a request only
// after the whole speed script, every frame of it exactly as the protocol's
// table has it and at its line speed, and it ignores anything else.
#include <gtest/gtest.h>

#include "clone/CloneFileOps.h"
#include "tests/support/RadioFrames.h"
#include "tests/support/TestSupport.h"
#include "tools/radio-sim/RadioSim.h"

namespace parlo {
namespace {

using Bytes = std::vector<uint8_t>;

using test::frames::Cat;
using test::frames::Fill;
using test::frames::kModeRead;
using test::frames::kModeWrite;
using test::frames::kSpeedHigh;
using test::frames::kSpeedLow;
using test::frames::Request;

// The speed frames with the codes 00 00 twice, as once sent by mistake.
const Bytes kOldSpeedHigh =
    Cat({Fill(0xFE, 20),
         {0xEE, 0xEF, 0xE8, 0x29, 0x27, 0x00, 0x00, 0x00, 0x00, 0x01, 0x32, 0x37, 0xFD}});
const Bytes kOldSpeedLow =
    Cat({Fill(0xFE, 20),
         {0xEE, 0xEF, 0xE8, 0x29, 0x27, 0x00, 0x00, 0x00, 0x00, 0x01, 0x30, 0x39, 0xFD}});

struct Sent {
    int32_t baud;
    Bytes bytes;
};

// What the radio answers to the frames, each at its speed (the echo aside).
Bytes Answer(const std::vector<Sent>& frames) {
    sim::RadioConfig config;
    config.image.SetSize(kImageSize);
    EXPECT_EQ(ReadInitialFile(test::DataFile("MV7105C_LMR.icf"), config.image).code, kFileOk);
    sim::Radio radio(std::move(config));
    ByteQueue echo;
    ByteQueue answer;
    for (const Sent& f : frames) {
        radio.SetLineBaud(f.baud);
        for (uint8_t b : f.bytes) radio.Receive(b, echo, answer);
    }
    return Bytes(answer.Data(), answer.Data() + answer.Length());
}

TEST(RadioSim, AnswersOnlyAfterTheWholeScriptExactlyAsTheTableHasIt) {
    const Sent high{38400, kSpeedHigh};
    const Sent modeRead{9600, kModeRead};
    struct Case {
        const char* what;
        std::vector<Sent> frames;
        bool answers;
    } cases[] = {
        {"identify at 9600",
         {high, modeRead, {38400, kSpeedHigh}, {9600, Request(12, 0xE0)}},
         true},
        {"read at 38400", {high, modeRead, {9600, kSpeedLow}, {38400, Request(48, 0xE2)}}, true},
        {"write at 9600",
         {high, {9600, kModeWrite}, {38400, kSpeedHigh}, {9600, Request(12, 0xE3)}},
         true},
        {"the old speed frames",
         {{38400, kOldSpeedHigh}, modeRead, {38400, kOldSpeedHigh}, {9600, Request(12, 0xE0)}},
         false},
        {"the old low speed frame",
         {high, modeRead, {9600, kOldSpeedLow}, {38400, Request(48, 0xE2)}},
         false},
        {"no mode frame", {high, {38400, kSpeedHigh}, {9600, Request(12, 0xE0)}}, false},
        {"mode frame first",
         {modeRead, high, {38400, kSpeedHigh}, {9600, Request(12, 0xE0)}},
         false},
        {"no final speed frame", {high, modeRead, {9600, Request(12, 0xE0)}}, false},
        {"the high speed frame at 9600",
         {{9600, kSpeedHigh}, modeRead, {38400, kSpeedHigh}, {9600, Request(12, 0xE0)}},
         false},
        {"the request at the wrong speed",
         {high, modeRead, {38400, kSpeedHigh}, {38400, Request(12, 0xE0)}},
         false},
        {"the preamble of the other speed",
         {high, modeRead, {9600, kSpeedLow}, {38400, Request(12, 0xE2)}},
         false},
        {"a write request after read mode",
         {high, modeRead, {38400, kSpeedHigh}, {9600, Request(12, 0xE3)}},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(!Answer(c.frames).empty(), c.answers);
    }
    // One script serves one request.
    const std::vector<Sent> once = {high, modeRead, {38400, kSpeedHigh}, {9600, Request(12, 0xE0)}};
    std::vector<Sent> twice = once;
    twice.push_back({9600, Request(12, 0xE0)});
    EXPECT_EQ(Answer(twice), Answer(once));
}

}  // namespace
}  // namespace parlo
