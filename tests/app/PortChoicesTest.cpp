// The serial devices the Port menu lists, the port number a chosen or
// typed device gets, and what "Other port" takes.
#include <gtest/gtest.h>

#include "app/PortChoices.h"
#include "tests/support/MemorySettings.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

class PortChoicesTest : public ::testing::Test {
protected:
    test::ScopedOverlay ovl{{"#GI_AppInd_Menu_PortNumber", "(port %d)", "#End_Of_Ovl"}};
    test::MemorySettings store;
    FixedScreen screen;
    AppSettings env{store, screen, nullptr};
    // An FTDI cable, a cloning cable of the ACM class and a built-in port.
    const std::vector<SerialPortInfo> present = {
        {"/dev/ttyACM0",
         {"/dev/serial/by-id/usb-Keld_Cloning_Cable_0042-if00"},
         "cdc_acm",
         "1d50:6018"},
        {"/dev/ttyS0", {}, "serial8250", ""},
        {"/dev/ttyUSB0",
         {"/dev/serial/by-id/usb-FTDI_FT232R_A10K1234-if00-port0"},
         "ftdi_sio",
         "0403:6001"},
    };
    PortChoicesTest() { env.Defaults(); }
};

TEST_F(PortChoicesTest, EachDevicePresentWithItsStableNameAndPort) {
    env.SetComPort(1);
    const std::vector<PortOffer> offers = OfferPorts(env, present);
    ASSERT_EQ(offers.size(), 3u);
    EXPECT_EQ(offers[0].label, "/dev/ttyACM0  usb-Keld_Cloning_Cable_0042-if00");
    EXPECT_EQ(offers[0].port, 0);
    EXPECT_EQ(offers[1].label, "/dev/ttyS0  serial8250");
    EXPECT_EQ(offers[2].label, "/dev/ttyUSB0  usb-FTDI_FT232R_A10K1234-if00-port0  (port 1)");
    EXPECT_EQ(offers[2].port, 1);
    EXPECT_TRUE(offers[2].inUse);
    EXPECT_FALSE(offers[0].inUse);
    // A port mapped to a device's by-id name reaches that device.
    env.SetPortDevice(7, "/dev/serial/by-id/usb-Keld_Cloning_Cable_0042-if00");
    env.SetComPort(7);
    EXPECT_EQ(OfferPorts(env, present)[0].port, 7);
    EXPECT_TRUE(OfferPorts(env, present)[0].inUse);
}

TEST_F(PortChoicesTest, ADeviceWithoutANumberGetsTheFirstFreeOneFromFive) {
    // The ttyUSB device is port 1 by default; nothing is mapped for it.
    EXPECT_EQ(PortForDevice(env, "/dev/ttyUSB0", present), 1);
    EXPECT_TRUE(env.PortMap().empty());
    // Port 5 is mapped already, port 6's default device /dev/ttyUSB5 is
    // present: the cable gets port 7, by its stable name.
    env.SetPortDevice(5, "/dev/pts/3");
    std::vector<SerialPortInfo> more = present;
    more.push_back({"/dev/ttyUSB5", {}, "pl2303", ""});
    EXPECT_EQ(PortForDevice(env, "/dev/ttyACM0", more), 7);
    EXPECT_EQ(env.PortDevice(7), "/dev/serial/by-id/usb-Keld_Cloning_Cable_0042-if00");
    // Asked again, by either name, the same number.
    EXPECT_EQ(PortForDevice(env, "/dev/ttyACM0", more), 7);
    EXPECT_EQ(PortForDevice(env, "/dev/serial/by-id/usb-Keld_Cloning_Cable_0042-if00", more), 7);
    // A path not present (a simulator's terminal) is mapped as typed.
    EXPECT_EQ(PortForDevice(env, "/dev/pts/9", more), 8);
    EXPECT_EQ(env.PortDevice(8), "/dev/pts/9");
}

TEST(TypedPort, ANumberFromOneTo256OrADevicePath) {
    const struct {
        const char* text;
        int32_t number;
        const char* device;
    } cases[] = {
        {" 12 ", 12, ""},
        {"256", 256, ""},
        {"1", 1, ""},
        {"0", 0, nullptr},
        {"257", 0, nullptr},
        {"abc", 0, nullptr},
        {"", 0, nullptr},
        {"12a", 0, nullptr},
        {"-3", 0, nullptr},
        {" /dev/ttyACM0 ", 0, "/dev/ttyACM0"},
        {"/dev/serial/by-id/usb-Keld Cable-if00", 0, "/dev/serial/by-id/usb-Keld Cable-if00"},
    };
    for (const auto& c : cases) {
        const auto typed = ReadTypedPort(c.text);
        ASSERT_EQ(typed.has_value(), c.device != nullptr) << "'" << c.text << "'";
        if (!typed) continue;
        EXPECT_EQ(typed->number, c.number) << c.text;
        EXPECT_EQ(typed->device, c.device) << c.text;
    }
}

}  // namespace
}  // namespace parlo
