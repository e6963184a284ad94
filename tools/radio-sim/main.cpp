// parlo-radio-sim: plays the radio's side of cloning on a pseudo-terminal, so
// that Parlo can be tried, tested and measured without a radio. It prints the
// device to use (give it to parlo-cli --port, or map a port number to it in
// the settings' [Ports] group) and serves until it is stopped.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "clone/CloneFileOps.h"
#include "clone/CloneFrames.h"
#include "model/EepromImage.h"
#include "platform/Fatal.h"
#include "platform/ProgramInfo.h"
#include "overlay/OverlayText.h"
#include "tools/radio-sim/RadioPty.h"

namespace {

std::atomic<bool> gStop{false};

void OnSignal(int) {
    gStop.store(true);
}

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

}  // namespace

int main(int argc, char** argv) {
    using namespace parlo;
    SetFatalHandler([](const std::string& text) {
        std::fprintf(stderr, "parlo-radio-sim: %s\n", text.c_str());
        std::exit(kFatalExitStatus);
    });
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string imagePath = DataDir() + OvlText("GI_App_InitialFile", 0);
    std::string savePath;
    std::string identityHex;
    std::string memoryEnd;
    std::string linkPath;
    sim::RadioConfig config;
    bool pace = false;
    bool quiet = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        auto value = [&]() -> std::string { return args[++i]; };
        if (a == "--help" || a == "-h") {
            PrintUsage(stdout);
            return 0;
        } else if (a == "--pace") {
            pace = true;
        } else if (a == "--quiet") {
            quiet = true;
        } else if (!hasValue) {
            return UsageError("unknown option or missing value: " + a);
        } else if (a == "--image") {
            imagePath = value();
        } else if (a == "--link") {
            linkPath = value();
        } else if (a == "--save") {
            savePath = value();
        } else if (a == "--identity") {
            identityHex = value();
        } else if (a == "--memory-end") {
            memoryEnd = value();
        } else if (a == "--frame-size") {
            config.readFrameSize = std::atoi(value().c_str());
        } else if (a == "--fault-at") {
            config.faultAt = std::atoi(value().c_str());
        } else if (a == "--fault") {
            bool known = false;
            const std::string name = value();
            config.fault = sim::FaultByName(name, &known);
            if (!known) return UsageError("unknown fault '" + name + "'");
        } else {
            return UsageError("unknown option: " + a);
        }
    }

    config.image.SetSize(kImageSize);
    if (ReadInitialFile(imagePath, config.image) != kFileOk) {
        std::fprintf(stderr, "parlo-radio-sim: cannot load the image '%s'\n", imagePath.c_str());
        return 1;
    }
    if (!identityHex.empty()) {
        const ByteQueue block = HexToBytes(identityHex);
        config.identity.assign(block.Data(), block.Data() + block.Length());
    } else {
        config.identity = sim::DefaultIdentity(config.image);
    }
    if (!memoryEnd.empty()) {
        if (memoryEnd.size() != 4 || config.identity.size() < 62)
            return UsageError("--memory-end takes four hexadecimal digits");
        for (int k = 0; k < 4; ++k) config.identity[58 + k] = static_cast<uint8_t>(memoryEnd[k]);
    }

    sim::Radio radio(std::move(config));
    if (!quiet) {
        radio.onEvent = [](const std::string& line) {
            std::fprintf(stderr, "radio: %s\n", line.c_str());
        };
    }
    if (!savePath.empty()) {
        radio.onWritten = [&radio, &savePath](int32_t, int32_t) {
            EepromImage copy;
            copy.Assign(radio.Image());
            if (SaveCloneFile(savePath, copy) != kFileOk) {
                std::fprintf(stderr, "parlo-radio-sim: cannot save '%s'\n", savePath.c_str());
            }
        };
    }
    sim::RadioPty line(radio, pace);
    std::string error;
    if (!line.Open(&error)) {
        std::fprintf(stderr, "parlo-radio-sim: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    if (!linkPath.empty()) {
        std::remove(linkPath.c_str());
        if (::symlink(line.DevicePath().c_str(), linkPath.c_str()) != 0) {
            std::fprintf(stderr, "parlo-radio-sim: cannot make the link '%s'\n", linkPath.c_str());
            return 1;
        }
    }
    std::printf("%s\n", line.DevicePath().c_str());
    std::fflush(stdout);
    line.Run(gStop);
    if (!linkPath.empty()) std::remove(linkPath.c_str());
    return 0;
}
