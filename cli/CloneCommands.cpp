// parlo-cli identify / read / write / ports: cloning over the serial line.
// The commands run the same clone manager and commands as the desktop
// program on the Qt event loop; the confirmations a write asks for are
// taken as given on the command line. identify and write take several
// ports and then clone every radio at once.
#include "app/CloneCommands.h"
#include "app/FileMessages.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "app/AppSettings.h"
#include "app/CloneBackup.h"
#include "app/Document.h"
#include "cli/CloneSession.h"
#include "cli/Commands.h"
#include "clone/CloneFileOps.h"
#include "clone/CloneMessages.h"
#include "model/CloneInfo.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"
#include "platform/SafeFile.h"
#include "platform/Screen.h"
#include "platform/SerialDevice.h"
#include "platform/TerminalText.h"
#include "platform/qtcore/QtSettingsStore.h"

namespace parlo::cli {

namespace {

bool WantsProgress(const ParsedArgs& args) { return args.Has("--progress") || ::isatty(2) != 0; }

using Sessions = std::vector<std::unique_ptr<CloneSession>>;

Sessions MakeSessions(const std::vector<PortChoice>& ports, bool progress) {
    const bool named = ports.size() > 1;
    Sessions sessions;
    for (const PortChoice& p : ports)
        sessions.push_back(std::make_unique<CloneSession>(p, progress && !named, named));
    return sessions;
}

// "port: serial S, status N (head line), T s", as each radio ends.
void PrintRadioLine(CloneSession& s) {
    std::string status = std::to_string(ExitStatus(s.Outcome()));
    const std::string head = s.commands().HeadLine(s.Outcome());
    if (!head.empty()) status += " (" + head + ")";
    std::printf("%s: serial %s, status %s, %s s\n", s.PortText().c_str(), s.Serial().c_str(),
                status.c_str(), s.SecondsText().c_str());
    std::fflush(stdout);
}

// 0 when every radio succeeded, else the status of the first port in the
// list that failed; after a summary line when there are several.
int Summarise(const Sessions& sessions, const char* done) {
    int status = 0;
    size_t failed = 0;
    for (const auto& s : sessions) {
        if (s->Outcome() == 0) continue;
        ++failed;
        if (status == 0) status = ExitStatus(s->Outcome());
    }
    if (sessions.size() > 1) {
        std::printf("%zu radios: %zu %s, %zu failed\n", sessions.size(), sessions.size() - failed,
                    done, failed);
    }
    return status;
}

void PrintInformation(const std::vector<uint8_t>& identity, const char* indent) {
    for (const auto& [label, value] : InfoLines(identity)) {
        // Further lines of a value go on indented lines of their own.
        std::string text = TerminalText(value, true);
        while (!text.empty() && text.back() == '\n') text.pop_back();
        std::string shown;
        for (char c : text)
            shown += c == '\n' ? "\n" + std::string(indent) + "  " : std::string(1, c);
        std::printf("%s%s:%s%s\n", indent, label.c_str(), shown.empty() ? "" : " ", shown.c_str());
    }
}

int RunIdentify(const ParsedArgs& args) {
    std::vector<PortChoice> ports;
    if (!ChoosePorts("identify", args, true, &ports)) return kExitUsage;
    ClonePrompts prompts(ports.size() > 1);
    Sessions sessions = MakeSessions(ports, false);
    const bool several = sessions.size() > 1;
    RunSessions(
        sessions, [](CloneSession& s, auto done) { s.commands().Information(done); },
        [several](CloneSession& s) {
            if (!several) return;
            PrintRadioLine(s);
            if (s.Outcome() == 0) PrintInformation(s.commands().Identity(), "  ");
        });
    if (!several && sessions[0]->Outcome() == 0)
        PrintInformation(sessions[0]->commands().Identity(), "");
    return Summarise(sessions, "identified");
}

int RunRead(const ParsedArgs& args) {
    const auto out = args.Value("-o");
    if (!out) {
        std::fprintf(stderr, "parlo-cli read: -o FILE is required\n");
        return kExitUsage;
    }
    std::vector<PortChoice> ports;
    if (!ChoosePorts("read", args, false, &ports)) return kExitUsage;
    ClonePrompts prompts(false);
    // A path that cannot take the file is told before the radio is read;
    // the file itself is written only when everything succeeded.
    SafeFileWriter file;
    if (ShowFileOutcome(OpenForSave(file, *out)) != kFileOk) return kExitCantCreate;
    Sessions sessions = MakeSessions(ports, WantsProgress(args));
    RunSessions(
        sessions, [](CloneSession& s, auto done) { s.commands().Read(done); },
        [](CloneSession& s) {
            if (s.Outcome() == kCloneCancelled)
                std::fprintf(stderr, "%s\n", s.commands().HeadLine(s.Outcome()).c_str());
        });
    const int status = ExitStatus(sessions[0]->Outcome());
    if (status != kCloneOk) return status;
    const parlo::CloneCommands& commands = sessions[0]->commands();
    uint8_t saved = kFileOk;
    if (args.Has("--raw")) {
        // The bytes as the radio sent them, as a backup holds them.
        saved = ShowFileOutcome(SaveAsRead(file, *out, commands.Received(),
                                           AsReadComment(commands.Identity(), std::time(nullptr))));
    } else {
        // As File > Save saves the document the read made.
        Document& doc = sessions[0]->document();
        doc.PrepareImage(doc.Working(), PackMode::Save);
        saved = ShowFileOutcome(SaveCloneFile(file, *out, doc.Working()));
    }
    return saved == kFileOk ? 0 : kExitCantCreate;
}

int RunWrite(const ParsedArgs& args) {
    std::vector<PortChoice> ports;
    if (!ChoosePorts("write", args, true, &ports)) return kExitUsage;
    ClonePrompts prompts(ports.size() > 1);
    Sessions sessions = MakeSessions(ports, WantsProgress(args));
    const std::string& path = args.Operands()[0];
    // The file is opened once, so that a refused file says so once.
    EepromImage loaded;
    if (ShowFileOutcome(OpenCloneFile(path, sessions[0]->document().Working(), &loaded)) !=
        kFileOk)
        return kExitInput;
    for (auto& s : sessions) {
        Document& doc = s->document();
        doc.Working().Assign(loaded);
        if (std::string problem; !doc.AfterLoad(&problem)) fatal(problem);
        doc.MarkUnmodified();
        doc.SetFileName(path);
    }
    WriteOptions options;
    options.makerMode = args.Has("--maker");
    options.verify = args.Has("--verify");
    options.backup = args.Has("--backup");
    const bool several = sessions.size() > 1;
    RunSessions(
        sessions, [&options](CloneSession& s, auto done) { s.commands().Write(options, done); },
        [several](CloneSession& s) {
            if (several) {
                PrintRadioLine(s);
            } else if (s.Outcome() == kCloneCancelled) {
                std::fprintf(stderr, "%s\n", s.commands().HeadLine(s.Outcome()).c_str());
            }
        });
    return Summarise(sessions, "written");
}

int RunPorts(const ParsedArgs&) {
    qt::QtSettingsStore store;
    const FixedScreen screen;
    const AppSettings env(store, screen, nullptr);
    std::vector<std::string> listed;
    auto print = [&](const std::string& path, const std::string& extra) {
        int32_t n = 0;
        for (int32_t k = 1; k <= AppSettings::kMaxComPort && n == 0; ++k) {
            if (env.PortDevice(k) == path) n = k;
        }
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
         "identify [--port P]...",
         "Identify the radio on port P (a number or a device path; default: the settings' "
         "port) and print its clone information as label: value lines; exit with the clone "
         "status. With several --port, every radio at once: a line per port as it ends "
         "(port, serial number, status, seconds) with its information, then a summary.",
         {kPortOption},
         0,
         0,
         RunIdentify},
        {"read",
         "read [--port P] [--high-speed] [--progress] [--raw] -o FILE",
         "Read the radio as Clone > Read does and save it to FILE as File > Save does (--raw: "
         "the bytes as the radio sent them, as a backup holds them). A FILE that cannot be "
         "created is refused (73) before the radio is read; it is written only when everything "
         "succeeded. Exit with the clone status. --progress (default on a terminal) "
         "shows the stage, the bytes moved and the time left; Ctrl+C cancels a read and an "
         "identify (status 1).",
         {kPortOption,
          kHighSpeedOption,
          kProgressOption,
          {"--raw", nullptr, false},
          {"-o", "--output", true}},
         0,
         0,
         RunRead},
        {"write",
         "write [--port P]... [--high-speed] [--maker] [--backup] [--verify] [--progress] FILE",
         "Open FILE as File > Open does and write it to the radio as Clone > Write does, the "
         "confirmation given (--maker: from address 0000); a FILE that needs more of the "
         "radio's memory than the radio has is refused before anything is written (status 19). "
         "Ctrl+C during the data flow says the write goes on; a second within 3 s stops it "
         "after the block being sent (status 1, the radio half written). --backup first saves "
         "the radio's memory in $XDG_DATA_HOME/parlo/backups; --verify reads the radio back and "
         "compares "
         "(status 18 on a difference). With several --port, every radio at once: a line per "
         "port as it ends, then a summary. Exit with the clone status (of the first port that "
         "failed), 65 when FILE is refused, 73 when a backup cannot be saved.",
         {kPortOption,
          kHighSpeedOption,
          kProgressOption,
          {"--maker", nullptr, false},
          {"--backup", nullptr, false},
          {"--verify", nullptr, false}},
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
