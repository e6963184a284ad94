// parlo-cli identify / read / write / ports: cloning over the serial line.
// The commands run the same clone manager and commands as the desktop
// program on the Qt event loop; the confirmations a write asks for are
// taken as given on the command line.
#include "app/CloneCommands.h"

#include <unistd.h>

#include <QEventLoop>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/AppSettings.h"
#include "app/Document.h"
#include "cli/Commands.h"
#include "clone/CloneFileOps.h"
#include "clone/CloneInfo.h"
#include "clone/CloneManager.h"
#include "clone/ContentValidation.h"
#include "model/ModelVariant.h"
#include "platform/Fatal.h"
#include "platform/Prompts.h"
#include "platform/Screen.h"
#include "platform/SerialDevice.h"
#include "platform/qtcore/QtSettingsStore.h"

namespace parlo::cli {

namespace {

// A written file that cannot be created or written.
constexpr int kExitCantCreate = 73;

// Messages on stderr (information on stdout); every question is answered
// with OK or Yes, the answer the command line has already given.
class CliPrompts : public Prompts {
public:
    CliPrompts() : previous_(SetPrompts(this)) {}
    ~CliPrompts() override { SetPrompts(previous_); }
    MsgAnswer Message(const std::string&, const std::string& text, MsgIcon icon,
                      MsgButtons buttons) override {
        switch (buttons) {
            case MsgButtons::Ok:
                std::fprintf(icon == MsgIcon::Information ? stdout : stderr, "%s\n", text.c_str());
                return MsgAnswer::Ok;
            case MsgButtons::OkCancel: return MsgAnswer::Ok;
            default: return MsgAnswer::Yes;
        }
    }

private:
    Prompts* previous_;
};

// A bar on stderr: data bytes moved of the total.
class TerminalProgress : public CloneProgressView {
public:
    explicit TerminalProgress(bool enabled) : enabled_(enabled) {}
    void BeginOperation(bool showProgress) override { showing_ = enabled_ && showProgress; }
    void UpdateProgress(int32_t done, int32_t total) override {
        if (!showing_ || total <= 0) return;
        const int32_t width = 40;
        const int32_t filled = std::min(width, static_cast<int32_t>(int64_t{done} * width / total));
        std::string bar(static_cast<size_t>(filled), '#');
        bar.resize(width, '.');
        std::fprintf(stderr, "\r[%s] %3d%% %d/%d bytes", bar.c_str(),
                     static_cast<int>(int64_t{done} * 100 / total), done, total);
        std::fflush(stderr);
        drawn_ = true;
    }
    void EndOperation() override {
        if (drawn_) std::fputc('\n', stderr);
        drawn_ = showing_ = false;
    }

private:
    bool enabled_;
    bool showing_ = false;
    bool drawn_ = false;
};

struct PortChoice {
    int32_t number = 0;
    std::string device;
    bool high = false;
};

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// The port number a device is known by: mapped in [Ports], or the default
// /dev/ttyUSB<n-1>; 0 when it has none.
int32_t NumberOfDevice(const AppSettings& env, const std::string& device) {
    for (int32_t n = 1; n <= AppSettings::kMaxComPort; ++n) {
        if (env.PortDevice(n) == device) return n;
    }
    return 0;
}

// --port P (a number or a device path), else the settings' port and speed.
// The settings are only read: parlo-cli never writes them.
bool ChoosePort(const char* command, const ParsedArgs& args, PortChoice* out) {
    qt::QtSettingsStore store;
    const FixedScreen screen;
    const AppSettings env(store, screen, nullptr);
    out->high = args.Has("--high-speed");
    if (const auto p = args.Value("--port")) {
        if (AllDigits(*p)) {
            out->number = std::atoi(p->c_str());
            if (out->number < 1 || out->number > AppSettings::kMaxComPort) {
                std::fprintf(stderr, "parlo-cli %s: port numbers run from 1 to %d\n", command,
                             AppSettings::kMaxComPort);
                return false;
            }
            out->device = env.PortDevice(out->number);
        } else {
            out->device = *p;
            out->number = NumberOfDevice(env, *p);
        }
    } else {
        out->number = env.ComPort();
        out->device = env.PortDevice(out->number);
        out->high = out->high || env.ComSpeedHigh();
    }
    return true;
}

// One clone session: the document, the manager on the chosen port, the
// command-line prompts and progress bar.
class Session {
public:
    Session(const PortChoice& port, bool progress) : progress_(progress) {
        std::string failed;
        if (!document_.SelectModel(kVariantLmr, &failed)) fatal("Cannot open '" + failed + "'.");
        document_.NewFromDefaults();
        manager_.SetPort(port.number, port.device);
        manager_.SetHighSpeed(port.high);
        manager_.SetView(&progress_);
    }

    Document& document() { return document_; }
    parlo::CloneCommands& commands() { return commands_; }

    // Starts a command and runs the event loop until it is done.
    int Run(const std::function<void(parlo::CloneCommands::Done)>& start) {
        int outcome = 0;
        bool finished = false;
        QEventLoop loop;
        start([&](int o) {
            outcome = o;
            finished = true;
            loop.quit();
        });
        if (!finished) loop.exec();
        if (outcome >= 0) return outcome;
        return outcome == parlo::CloneCommands::kRefused ? kExitInput : 1;
    }

private:
    CliPrompts prompts_;
    TerminalProgress progress_;
    Document document_;
    CloneManager manager_;
    parlo::CloneCommands commands_{document_, manager_};
};

bool WantsProgress(const ParsedArgs& args) { return args.Has("--progress") || ::isatty(2) != 0; }

int RunIdentify(const ParsedArgs& args) {
    PortChoice port;
    if (!ChoosePort("identify", args, &port)) return kExitUsage;
    Session session(port, false);
    const int status = session.Run([&](auto done) { session.commands().Information(done); });
    if (status != kCloneOk) return status;
    for (const auto& [label, value] : InfoLines(session.commands().Identity())) {
        // Further lines of a value go on indented lines of their own.
        std::string text = value;
        while (!text.empty() && text.back() == '\n') text.pop_back();
        std::string shown;
        for (char c : text) shown += c == '\n' ? std::string("\n  ") : std::string(1, c);
        std::printf("%s:%s%s\n", label.c_str(), shown.empty() ? "" : " ", shown.c_str());
    }
    return 0;
}

int RunRead(const ParsedArgs& args) {
    const auto out = args.Value("-o");
    if (!out) {
        std::fprintf(stderr, "parlo-cli read: -o FILE is required\n");
        return kExitUsage;
    }
    PortChoice port;
    if (!ChoosePort("read", args, &port)) return kExitUsage;
    Session session(port, WantsProgress(args));
    const int status = session.Run([&](auto done) { session.commands().Read(done); });
    if (status != kCloneOk) return status;
    // Saved as File > Save does, and only now that everything succeeded.
    Document& doc = session.document();
    doc.PrepareImage(doc.Working(), PackMode::Save);
    if (SaveCloneFile(*out, doc.Working()) != kFileOk) return kExitCantCreate;
    return 0;
}

int RunWrite(const ParsedArgs& args) {
    PortChoice port;
    if (!ChoosePort("write", args, &port)) return kExitUsage;
    Session session(port, WantsProgress(args));
    Document& doc = session.document();
    const std::string& path = args.Operands()[0];
    EepromImage loaded;
    if (OpenCloneFile(path, doc.Working(), &loaded) != kFileOk) return kExitInput;
    doc.Working().Assign(loaded);
    if (!doc.AfterLoad()) fatal("Cannot open the initial file of the file's variant.");
    doc.MarkUnmodified();
    doc.SetFileName(path);
    const bool maker = args.Has("--maker");
    return session.Run([&](auto done) { session.commands().Write(maker, done); });
}

int RunPorts(const ParsedArgs&) {
    qt::QtSettingsStore store;
    const FixedScreen screen;
    const AppSettings env(store, screen, nullptr);
    std::vector<std::string> listed;
    auto print = [&](const std::string& path, const std::string& extra) {
        const int32_t n = NumberOfDevice(env, path);
        std::string line = path;
        line += n > 0 ? "  port " + std::to_string(n) : std::string("  no port number");
        if (n > 0 && n == env.ComPort()) line += " (chosen)";
        std::printf("%s%s\n", line.c_str(), extra.c_str());
        listed.push_back(path);
    };
    for (const SerialPortInfo& p : ListSerialPorts()) {
        std::string extra;
        if (!p.driver.empty()) extra += "  driver " + p.driver;
        if (!p.usbId.empty()) extra += "  usb " + p.usbId;
        for (const std::string& id : p.byId) extra += "  " + id;
        print(p.path, extra);
    }
    // Ports mapped in the settings to devices not listed above (a simulator,
    // a device not plugged in).
    for (const auto& [n, device] : env.PortMap()) {
        if (std::find(listed.begin(), listed.end(), device) != listed.end()) continue;
        print(device,
              ::access(device.c_str(), F_OK) == 0 ? "  (mapped)" : "  (mapped, not present)");
    }
    if (listed.empty()) std::printf("No serial device found.\n");
    return 0;
}

const OptionSpec kPortOption{"--port", nullptr, true};
const OptionSpec kHighSpeedOption{"--high-speed", nullptr, false};
const OptionSpec kProgressOption{"--progress", nullptr, false};

}  // namespace

std::vector<Command> CloneCommands() {
    return {
        {"identify",
         "identify [--port P]",
         "Identify the radio on port P (a number or a device path; default: the settings' "
         "port) and print its clone information as label: value lines; exit with the clone "
         "status.",
         {kPortOption},
         0,
         0,
         RunIdentify},
        {"read",
         "read [--port P] [--high-speed] [--progress] -o FILE",
         "Read the radio as Clone > Read does and save it to FILE, which is written only when "
         "everything succeeded; exit with the clone status.",
         {kPortOption, kHighSpeedOption, kProgressOption, {"-o", "--output", true}},
         0,
         0,
         RunRead},
        {"write",
         "write [--port P] [--high-speed] [--maker] [--progress] FILE",
         "Open FILE as File > Open does and write it to the radio as Clone > Write does, the "
         "confirmation given (--maker: from address 0000); exit with the clone status, or 65 "
         "when FILE is refused.",
         {kPortOption, kHighSpeedOption, kProgressOption, {"--maker", nullptr, false}},
         1,
         1,
         RunWrite},
        {"ports",
         "ports",
         "List the serial devices present with their driver, USB id and by-id names, and the "
         "port number each maps to.",
         {},
         0,
         0,
         RunPorts},
    };
}

}  // namespace parlo::cli
