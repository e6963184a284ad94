#pragma once
// The texts a failed clone operation shows: the status's head line, the
// checks to make, and for a port that would not open, why it would not.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/SerialDevice.h"

namespace parlo {

// The port as messages name it: "1 (/dev/ttyUSB0)", or the device alone
// when it has no number.
std::string PortName(int32_t number, const std::string& device);

// Replaces each "%s" of an overlay text by the next value, in order.
std::string FillIn(const std::string& format, std::initializer_list<std::string> values);

// Why the port would not open, for the user; `present` lists the serial
// devices there are (used when the device does not exist).
std::string PortFailureText(const SerialOpenFailure& why,
                            const std::vector<SerialPortInfo>& present);

// The message of a failed operation: the head line of the status (for
// status 2 filled with the port's name and followed by `portReason`), the
// detail line if any, a blank line, then the status's check lines.
std::string CloneErrorText(uint8_t status, const std::string& portName,
                           const std::string& portReason = {}, const std::string& detail = {});

// The message of a write refused because it needs the radio's memory up to
// `needed` and the radio's ends at `radioEnd` (status 19).
std::string MemoryEndText(int32_t needed, int32_t radioEnd);
// Its head line alone, for a line per radio.
std::string MemoryEndHead(int32_t needed, int32_t radioEnd);

// The detail line of a status 5 after the radio kept sending for `ms`
// without progress.
std::string NoProgressText(int32_t ms);

// What a write stopped at `address` while its data flowed left behind.
std::string StoppedWriteText(int32_t address);

}  // namespace parlo
