#pragma once
// The serial ports the Port menu offers besides COM1-COM4: every serial
// device present, by its path and its stable /dev/serial/by-id name, with
// the port number that reaches it; and the port number to use for a device
// the user picks there or types into "Other port".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppSettings.h"
#include "platform/SerialDevice.h"

namespace parlo {

struct PortOffer {
    std::string device;  // the device's path, /dev/ttyACM0
    std::string label;   // what the menu shows
    int32_t port = 0;    // the port number that reaches it; 0: none yet
    bool inUse = false;  // the settings' port reaches it
};

// One offer per device present, in the order given.
std::vector<PortOffer> OfferPorts(const AppSettings& env,
                                  const std::vector<SerialPortInfo>& present);

// The port number that reaches `device` (a path, by-id names included):
// one mapped to it or whose default device it is; else the lowest number
// from 5 on that no mapping and no present device's default takes, mapped
// to the device (by its stable by-id name when it is present with one).
int32_t PortForDevice(AppSettings& env, const std::string& device,
                      const std::vector<SerialPortInfo>& present);

// What was typed into "Other port": a port number from 1 to 256, or the
// absolute path of a device; nothing for anything else.
struct TypedPort {
    int32_t number = 0;  // when a number was typed
    std::string device;  // when a path was typed
};
std::optional<TypedPort> ReadTypedPort(std::string_view text);

}  // namespace parlo
