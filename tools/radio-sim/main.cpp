// parlo-radio-sim: plays the radio's side of cloning on a pseudo-terminal, so
// that Parlo can be tried, tested and measured without a radio. It prints the
// device to use (give it to parlo-cli --port, or map a port number to it in
// the settings' [Ports] group) and serves until it is stopped.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "clone/CloneFileOps.h"
#include "clone/CloneFrames.h"
#include "model/EepromImage.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"
#include "platform/ProgramInfo.h"
#include "tools/radio-sim/RadioPty.h"

namespace {

using namespace parlo;

std::atomic<bool> gStop{false};

void OnSignal(int) { gStop.store(true); }

constexpr const char* kUsage =
    "Usage: parlo-radio-sim [OPTIONS]\n"
    "Plays an MV7105C radio on a cloning cable, on a pseudo-terminal. Prints the\n"
    "device path on the first line of its output, then serves until interrupted.\n\n"
    "  --image FILE        the radio's memory, from a clone file (default: the LMR\n"
    "                      factory image shipped with Parlo)\n"
    "  --save FILE         after every confirmed write, save the memory to FILE\n"
    "  --identity HEX      the identity block to report (default: an 80-byte block\n"
    "                      matching the image, memory end 7D7F, map revision 6)\n"
    "  --memory-end HHHH   the memory end the identity block reports\n"
    "  --frame-size N      data bytes per frame when reading (default 32)\n"
    "  --pace              take the real line time of every byte at the speed set\n"
    "  --fault NAME        misbehave: %s\n"
    "  --fault-at N        the data frame (echoed byte for wrong-echo) the fault\n"
    "                      strikes at (default 20)\n"
    "  --link PATH         also make PATH a symbolic link to the device (removed at\n"
    "                      the end)\n"
    "  --quiet             no log of operations on stderr\n";

void PrintUsage(std::FILE* out) {
    std::string names;
    for (const std::string& n : parlo::sim::FaultNames()) names += (names.empty() ? "" : ", ") + n;
    std::fprintf(out, kUsage, names.c_str());
}

int UsageError(const std::string& why) {
    std::fprintf(stderr, "parlo-radio-sim: %s\n", why.c_str());
    PrintUsage(stderr);
    return 64;
}

// What the command line asks for.
struct Options {
    std::string imagePath;
    std::string savePath;
    std::string identityHex;
    std::string memoryEnd;
    std::string linkPath;
    sim::RadioConfig config;
    bool pace = false;
    bool quiet = false;
};

// Reads the arguments into `o`; an exit status when the program ends here.
std::optional<int> ParseOptions(const std::vector<std::string>& args, Options& o) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        auto value = [&]() -> std::string { return args[++i]; };
        if (a == "--help" || a == "-h") {
            PrintUsage(stdout);
            return 0;
        } else if (a == "--pace") {
            o.pace = true;
        } else if (a == "--quiet") {
            o.quiet = true;
        } else if (!hasValue) {
            return UsageError("unknown option or missing value: " + a);
        } else if (a == "--image") {
            o.imagePath = value();
        } else if (a == "--link") {
            o.linkPath = value();
        } else if (a == "--save") {
            o.savePath = value();
        } else if (a == "--identity") {
            o.identityHex = value();
        } else if (a == "--memory-end") {
            o.memoryEnd = value();
        } else if (a == "--frame-size") {
            o.config.readFrameSize = parlo::LeadingInteger(value());
        } else if (a == "--fault-at") {
            o.config.faultAt = parlo::LeadingInteger(value());
        } else if (a == "--fault") {
            bool known = false;
            const std::string name = value();
            o.config.fault = sim::FaultByName(name, &known);
            if (!known) return UsageError("unknown fault '" + name + "'");
        } else {
            return UsageError("unknown option: " + a);
        }
    }
    return std::nullopt;
}

// Loads the radio's memory and sets its identity block; an exit status on
// failure.
std::optional<int> LoadRadio(Options& o) {
    sim::RadioConfig& config = o.config;
    config.image.SetSize(kImageSize);
    if (const FileOutcome read = ReadInitialFile(o.imagePath, config.image); !read.Ok()) {
        std::fprintf(stderr, "%s\nparlo-radio-sim: cannot load the image '%s'\n",
                     read.message.c_str(), o.imagePath.c_str());
        return 1;
    }
    if (!o.identityHex.empty()) {
        const ByteQueue block = HexToBytes(o.identityHex);
        config.identity.assign(block.Data(), block.Data() + block.Length());
    } else {
        config.identity = sim::DefaultIdentity(config.image);
    }
    if (!o.memoryEnd.empty()) {
        if (o.memoryEnd.size() != 4 || config.identity.size() < 62)
            return UsageError("--memory-end takes four hexadecimal digits");
        for (int k = 0; k < 4; ++k) config.identity[58 + k] = static_cast<uint8_t>(o.memoryEnd[k]);
    }
    return std::nullopt;
}

// Serves the radio on a pseudo-terminal until interrupted.
int Serve(sim::Radio& radio, const Options& o) {
    sim::RadioPty line(radio, o.pace);
    std::string error;
    if (!line.Open(&error)) {
        std::fprintf(stderr, "parlo-radio-sim: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    if (!o.linkPath.empty()) {
        std::remove(o.linkPath.c_str());
        if (::symlink(line.DevicePath().c_str(), o.linkPath.c_str()) != 0) {
            std::fprintf(stderr, "parlo-radio-sim: cannot make the link '%s'\n",
                         o.linkPath.c_str());
            return 1;
        }
    }
    std::printf("%s\n", line.DevicePath().c_str());
    std::fflush(stdout);
    line.Run(gStop);
    if (!o.linkPath.empty()) std::remove(o.linkPath.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    SetFatalHandler([](const std::string& text) {
        std::fprintf(stderr, "parlo-radio-sim: %s\n", text.c_str());
        std::exit(kFatalExitStatus);
    });
    Options o;
    o.imagePath = DataDir() + OvlText("GI_App_InitialFile", 0);
    if (std::optional<int> status = ParseOptions({argv + 1, argv + argc}, o)) return *status;
    if (std::optional<int> status = LoadRadio(o)) return *status;

    sim::Radio radio(std::move(o.config));
    if (!o.quiet) {
        radio.onEvent = [](const std::string& line) {
            std::fprintf(stderr, "radio: %s\n", line.c_str());
        };
    }
    if (!o.savePath.empty()) {
        radio.onWritten = [&radio, &o](int32_t, int32_t) {
            EepromImage copy;
            copy.Assign(radio.Image());
            if (const FileOutcome saved = SaveCloneFile(o.savePath, copy); !saved.Ok()) {
                std::fprintf(stderr, "%s\nparlo-radio-sim: cannot save '%s'\n",
                             saved.message.c_str(), o.savePath.c_str());
            }
        };
    }
    return Serve(radio, o);
}
