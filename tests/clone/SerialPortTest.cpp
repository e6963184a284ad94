// The serial port: settings strings, open and close, and the transmit pump
// that hands the device at most 1024 bytes at a time, only when it is idle.
#include <gtest/gtest.h>

#include "clone/SerialPort.h"
#include "tests/support/ScriptedSerial.h"
#include "tests/support/VirtualScheduler.h"

namespace parlo {
namespace {

using test::ScriptedSerial;
using test::SerialScript;

TEST(SerialPortSettingsTest, ParsesTheFourFields) {
    struct Case {
        const char* text;
        int32_t baud;
        bool parityCheck;
        int dataBits;
        StopBits stop;
    } cases[] = {
        {"38400,N,8,1", 38400, false, 8, StopBits::One},
        {"9600,n,8,1", 9600, false, 8, StopBits::One},
        {"9600,M,3,1.5", 9600, true, 4, StopBits::OneAndHalf},
        {"9600,o,9,2", 9600, true, 8, StopBits::Two},
        {"1200,E,7,3", 1200, false, 7, StopBits::One},
    };
    for (const Case& c : cases) {
        const SerialLine l = SerialPort::ParseSettings(c.text);
        EXPECT_EQ(l.baud, c.baud) << c.text;
        EXPECT_EQ(l.parityCheck, c.parityCheck) << c.text;
        EXPECT_EQ(l.dataBits, c.dataBits) << c.text;
        EXPECT_EQ(l.stopBits, c.stop) << c.text;
    }
}

class SerialPortTest : public ::testing::Test {
protected:
    test::VirtualScheduler clock;
    std::shared_ptr<SerialScript> script = std::make_shared<SerialScript>();
    SerialPort comm{std::make_unique<ScriptedSerial>(script)};
};

TEST_F(SerialPortTest, OpensOnceAndStaysUsable) {
    ASSERT_TRUE(comm.Open(1, "/dev/ttyUSB0", "9600,N,8,1"));
    EXPECT_FALSE(comm.Open(2, "/dev/ttyUSB1", "38400,N,8,1"));
    EXPECT_EQ(comm.PortNumber(), 1);
    EXPECT_EQ(script->opened, std::vector<std::string>{"/dev/ttyUSB0"});
    ASSERT_EQ(script->lines.size(), 1u);
    EXPECT_EQ(script->lines[0].baud, 9600);
    uint8_t buf[8];
    EXPECT_EQ(comm.Read(buf, 8), 0);  // nothing there, no wait
    const uint8_t b = 0x41;
    comm.Write(&b, 1);
    EXPECT_EQ(comm.Read(buf, 8), 1);  // the echo
    EXPECT_EQ(buf[0], 0x41);
}

TEST_F(SerialPortTest, ReportsWhyAnOpenFailed) {
    script->openFailure = SerialOpenFailure::Reason::Busy;
    EXPECT_FALSE(comm.Open(3, "/dev/ttyUSB2", "9600,N,8,1"));
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(comm.LastOpenFailure().reason, SerialOpenFailure::Reason::Busy);
    EXPECT_EQ(comm.LastOpenFailure().device, "/dev/ttyUSB2");
}

TEST_F(SerialPortTest, PumpsChunksOfAtMost1024OnlyWhenTheDeviceIsIdle) {
    ASSERT_TRUE(comm.Open(1, "/dev/ttyUSB0", "9600,N,8,1"));
    script->echo = false;
    std::vector<uint8_t> data(3000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
    comm.Write(data.data(), 3000);
    ASSERT_EQ(script->writes.size(), 1u);  // the first chunk at once
    EXPECT_EQ(script->writes[0].size(), 1024u);
    EXPECT_EQ(comm.PendingOutput(), 3000u - 1024u);

    script->fixedOutputCount = 5;  // the device is still sending
    clock.Advance(50);
    EXPECT_EQ(script->writes.size(), 1u);
    EXPECT_EQ(comm.PendingOutput(), 5u + 3000u - 1024u);

    script->fixedOutputCount = 0;
    clock.Advance(10);
    ASSERT_EQ(script->writes.size(), 2u);
    EXPECT_EQ(script->writes[1].size(), 1024u);
    clock.Advance(9);
    EXPECT_EQ(script->writes.size(), 2u);  // the next step comes 10 ms later
    clock.Advance(1);
    ASSERT_EQ(script->writes.size(), 3u);
    EXPECT_EQ(script->writes[2].size(), 952u);
    EXPECT_EQ(comm.PendingOutput(), 0u);
    EXPECT_EQ(script->sent, data);
    EXPECT_FALSE(comm.WriteError());
}

TEST_F(SerialPortTest, AShortWriteSetsTheErrorUntilClose) {
    ASSERT_TRUE(comm.Open(1, "/dev/ttyUSB0", "9600,N,8,1"));
    script->acceptLimit = 10;
    const std::vector<uint8_t> data(100, 0x55);
    comm.Write(data.data(), 100);
    EXPECT_TRUE(comm.WriteError());
    EXPECT_EQ(comm.QueuedLength(), 100);  // kept
    comm.Close();
    EXPECT_FALSE(comm.WriteError());
    EXPECT_EQ(comm.QueuedLength(), 0);
}

TEST_F(SerialPortTest, WritingToAClosedPortQueuesNothingAndCloseEmptiesTheQueue) {
    const uint8_t b[4] = {1, 2, 3, 4};
    comm.Write(b, 4);
    EXPECT_EQ(comm.QueuedLength(), 0);
    ASSERT_TRUE(comm.Open(1, "/dev/ttyUSB0", "9600,N,8,1"));
    script->fixedOutputCount = 1;  // nothing leaves the queue
    comm.Write(b, 4);
    EXPECT_EQ(comm.QueuedLength(), 4);
    comm.Close();
    EXPECT_EQ(comm.QueuedLength(), 0);
    clock.Advance(100);
    EXPECT_TRUE(script->writes.empty());
}

}  // namespace
}  // namespace parlo
