// The serial ports present: USB adapters (ttyUSB), USB modems and cloning
// cables of the ACM class (ttyACM) and built-in ports (ttyS) that have a
// UART behind them, with their driver, USB ids and stable by-id names.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <system_error>

#include "platform/SerialDevice.h"

namespace parlo {

namespace fs = std::filesystem;

namespace {

std::string ReadLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

bool HasPrefix(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// A ttyS port without a UART reports type 0.
bool IsRealBuiltinPort(const fs::path& sysEntry) {
    const std::string type = ReadLine(sysEntry / "type");
    return !type.empty() && type != "0";
}

// The USB device is an ancestor of the tty's device that carries idVendor.
std::string UsbIdOf(const fs::path& sysEntry) {
    std::error_code ec;
    fs::path dir = fs::canonical(sysEntry / "device", ec);
    if (ec) return {};
    for (int depth = 0; depth < 6 && !dir.empty() && dir != dir.root_path(); ++depth) {
        const std::string vendor = ReadLine(dir / "idVendor");
        if (!vendor.empty()) return vendor + ":" + ReadLine(dir / "idProduct");
        dir = dir.parent_path();
    }
    return {};
}

std::string DriverOf(const fs::path& sysEntry) {
    std::error_code ec;
    const fs::path driver = fs::read_symlink(sysEntry / "device" / "driver", ec);
    return ec ? std::string() : driver.filename().string();
}

}  // namespace

std::vector<SerialPortInfo> ListSerialPorts() {
    std::map<std::string, SerialPortInfo> found;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator("/sys/class/tty", ec)) {
        const std::string name = e.path().filename().string();
        const bool usb = HasPrefix(name, "ttyUSB") || HasPrefix(name, "ttyACM");
        if (!usb && !(HasPrefix(name, "ttyS") && IsRealBuiltinPort(e.path()))) continue;
        SerialPortInfo info;
        info.path = "/dev/" + name;
        info.driver = DriverOf(e.path());
        info.usbId = UsbIdOf(e.path());
        found[info.path] = info;
    }
    for (const fs::directory_entry& e : fs::directory_iterator("/dev/serial/by-id", ec)) {
        std::error_code ec2;
        const fs::path target = fs::canonical(e.path(), ec2);
        if (ec2) continue;
        auto it = found.find(target.string());
        if (it == found.end()) {
            SerialPortInfo info;
            info.path = target.string();
            it = found.emplace(info.path, info).first;
        }
        it->second.byId.push_back(e.path().string());
    }
    std::vector<SerialPortInfo> ports;
    for (auto& [path, info] : found) {
        std::sort(info.byId.begin(), info.byId.end());
        ports.push_back(std::move(info));
    }
    return ports;
}

}  // namespace parlo
