#include "app/PortChoices.h"

#include <algorithm>
#include <charconv>

#include "overlay/OverlayText.h"
#include "platform/Fatal.h"

namespace parlo {

namespace {

constexpr int32_t kFirstFreePort = 5;  // 1-4 are the menu's COM1-COM4

// The names a device goes by: its path and its by-id links.
std::vector<std::string> NamesOf(const std::string& device,
                                 const std::vector<SerialPortInfo>& present) {
    std::vector<std::string> names = {device};
    for (const SerialPortInfo& p : present) {
        const bool same =
            p.path == device || std::find(p.byId.begin(), p.byId.end(), device) != p.byId.end();
        if (!same) continue;
        names.push_back(p.path);
        names.insert(names.end(), p.byId.begin(), p.byId.end());
    }
    return names;
}

int32_t PortReaching(const AppSettings& env, const std::vector<std::string>& names) {
    for (int32_t n = 1; n <= AppSettings::kMaxComPort; ++n) {
        if (std::find(names.begin(), names.end(), env.PortDevice(n)) != names.end()) return n;
    }
    return 0;
}

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::vector<PortOffer> OfferPorts(const AppSettings& env,
                                  const std::vector<SerialPortInfo>& present) {
    std::vector<PortOffer> offers;
    for (const SerialPortInfo& p : present) {
        PortOffer offer;
        offer.device = p.path;
        offer.port = PortReaching(env, NamesOf(p.path, present));
        offer.inUse = offer.port != 0 && offer.port == env.ComPort();
        offer.label = p.path;
        if (!p.byId.empty()) {
            offer.label += "  " + BaseName(p.byId.front());
        } else if (!p.driver.empty()) {
            offer.label += "  " + p.driver;
        }
        if (offer.port != 0)
            offer.label += "  " + Format(OvlText("GI_AppInd_Menu_PortNumber").c_str(),
                                         static_cast<int>(offer.port));
        offers.push_back(std::move(offer));
    }
    return offers;
}

int32_t PortForDevice(AppSettings& env, const std::string& device,
                      const std::vector<SerialPortInfo>& present) {
    const std::vector<std::string> names = NamesOf(device, present);
    if (const int32_t n = PortReaching(env, names)) return n;
    auto defaultPresent = [&](int32_t n) {
        const std::string d = "/dev/ttyUSB" + std::to_string(n - 1);
        return std::any_of(present.begin(), present.end(),
                           [&](const SerialPortInfo& p) { return p.path == d; });
    };
    for (int32_t n = kFirstFreePort; n <= AppSettings::kMaxComPort; ++n) {
        if (env.PortMap().count(n) != 0 || defaultPresent(n)) continue;
        // A device present with a stable name keeps its number when it is
        // plugged into another socket.
        std::string target = device;
        for (const SerialPortInfo& p : present) {
            if (p.path == device && !p.byId.empty()) target = p.byId.front();
        }
        env.SetPortDevice(n, target);
        return n;
    }
    return 0;
}

std::optional<TypedPort> ReadTypedPort(std::string_view text) {
    text = Trim(text);
    TypedPort typed;
    if (!text.empty() && text.front() == '/') {
        typed.device = std::string(text);
        return typed;
    }
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(text.data(), last, typed.number);
    if (text.empty() || ec != std::errc() || end != last || typed.number < 1 ||
        typed.number > AppSettings::kMaxComPort)
        return std::nullopt;
    return typed;
}

}  // namespace parlo
