// parlo-cli: the headless face of Parlo, for scripting and fleet work.
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/PdfModule.h"
#include "platform/SafeFile.h"
#include "platform/qtcore/QtScheduler.h"

#ifndef PARLO_VERSION
#define PARLO_VERSION "0"
#endif

namespace parlo::cli {
namespace {

std::vector<Command> AllCommands() {
    std::vector<Command> all;
    for (auto part : {FileCommands, ModelCommands, CellCommands, SheetCommands, SettingsCommands,
                      TableCommands, CloneCommands, DiffCommands, PrintCommands}) {
        for (Command& c : part()) all.push_back(std::move(c));
    }
    return all;
}

void PrintUsage(std::FILE* out, const std::vector<Command>& commands) {
    std::fprintf(out,
                 "Usage: parlo-cli COMMAND [OPTIONS] [OPERANDS]\n"
                 "       parlo-cli --help | --version\n\n"
                 "Commands (options may stand before or after the operands):\n");
    for (const Command& c : commands) {
        std::fprintf(out, "  parlo-cli %s\n      %s\n", c.synopsis, c.summary);
    }
    std::fprintf(out,
                 "\nExit status: 0 on success; a file error code (1-9) for file commands;\n"
                 "the clone status (2, 4-19; 1 when cancelled) for identify, read and\n"
                 "write (73 when a file or backup cannot be saved); for diff 0 equal,\n"
                 "1 different, 2 a file refused or the radio not read;\n"
                 "65 when import refuses a value or a file cannot be read;\n"
                 "3 for a program error; 64 for a usage error.\n");
}

int Main(int argc, char** argv) {
    const std::vector<Command> commands = AllCommands();
    if (argc < 2) {
        PrintUsage(stderr, commands);
        return kExitUsage;
    }
    const std::string first = argv[1];
    if (first == "--help" || first == "-h" || first == "help") {
        PrintUsage(stdout, commands);
        return 0;
    }
    if (first == "--version") {
        std::printf("parlo-cli %s\n", PARLO_VERSION);
        return 0;
    }
    for (const Command& c : commands) {
        if (first != c.name) continue;
        std::vector<std::string> words(argv + 2, argv + argc);
        for (const std::string& w : words) {
            if (w == "--help" || w == "-h") {
                std::printf("Usage: parlo-cli %s\n%s\n", c.synopsis, c.summary);
                return 0;
            }
        }
        ParsedArgs args;
        std::string error;
        if (!ParseArgs(words, c.options, &args, &error)) {
            std::fprintf(stderr, "parlo-cli %s: %s\n", c.name, error.c_str());
        } else if (args.Operands().size() < c.minOperands ||
                   args.Operands().size() > c.maxOperands) {
            std::fprintf(stderr, "parlo-cli %s: wrong number of operands\n", c.name);
        } else {
            return c.run(args);
        }
        std::fprintf(stderr, "Usage: parlo-cli %s\n", c.synopsis);
        return kExitUsage;
    }
    std::fprintf(stderr, "parlo-cli: unknown command '%s'\n\n", first.c_str());
    PrintUsage(stderr, commands);
    return kExitUsage;
}

}  // namespace
}  // namespace parlo::cli

// A standard stream the caller closed must not be taken by the next file
// opened, or output meant for it would land in that file: each gets
// /dev/null, open for reading only, so that writing to it fails.
static void HoldClosedStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
        const int held = ::open("/dev/null", O_RDONLY);
        if (held < 0 || held == fd) continue;
        ::dup2(held, fd);
        ::close(held);
    }
}

// The commands run under a QCoreApplication so that timed work runs on its
// event loop, as in the desktop program; print, which needs fonts and a
// paint device, under a QGuiApplication on the offscreen platform. Only
// print pays for starting QtGui.
int main(int argc, char** argv) {
    HoldClosedStandardStreams();
    parlo::IgnoreFileSizeSignal();
    auto run = [argc, argv] {
        parlo::qt::QtScheduler scheduler;
        parlo::SetScheduler(&scheduler);
        const int status = parlo::cli::Main(argc, argv);
        parlo::SetScheduler(nullptr);
        return status;
    };
    if (argc > 1 && std::strcmp(argv[1], "print") == 0) {
        std::string error;
        const parlo::PdfPrinting* pdf = parlo::cli::LoadPdfPrinting(&error);
        if (pdf == nullptr) {
            std::fprintf(stderr, "parlo-cli print: cannot load the PDF printing: %s\n",
                         error.c_str());
            return 3;
        }
        return pdf->run(argc, argv, run);
    }
    QCoreApplication app(argc, argv);
    return run();
}
