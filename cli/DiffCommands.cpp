// parlo-cli diff: what differs between two clone files, or a file and the
// radio's memory, cell by cell and then byte by byte.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/FileMessages.h"
#include "app/ImageComparison.h"
#include "cli/CloneSession.h"
#include "cli/Commands.h"
#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "model/EepromImage.h"
#include "model/PackedLayout.h"
#include "platform/TerminalText.h"

namespace parlo::cli {

namespace {

constexpr int kExitSame = 0;
constexpr int kExitDiffer = 1;
constexpr int kExitTrouble = 2;

// Whether standard output is open for writing; says so when it is not.
bool OutputWritable() {
    const int flags = ::fcntl(STDOUT_FILENO, F_GETFL);
    if (flags >= 0 && (flags & O_ACCMODE) != O_RDONLY) return true;
    std::fprintf(stderr, "parlo-cli diff: standard output cannot be written\n");
    return false;
}

// Loads a file as File > Open checks it; its message is shown on failure.
bool LoadFile(const std::string& path, EepromImage* loaded) {
    return ShowFileOutcome(OpenCloneFile(path, FreshDocumentImage(), loaded)) == kFileOk;
}

// The radio's memory as a save of it would hold it; false after the
// clone's message.
bool ReadRadio(const ParsedArgs& args, EepromImage* image) {
    std::vector<PortChoice> ports;
    if (!ChoosePorts("diff", args, false, &ports)) return false;
    ClonePrompts prompts(false);
    std::vector<std::unique_ptr<CloneSession>> sessions;
    sessions.push_back(std::make_unique<CloneSession>(ports[0], args.Has("--progress"), false));
    RunSessions(
        sessions, [](CloneSession& s, auto done) { s.commands().Read(done); },
        [](CloneSession& s) {
            if (s.Outcome() == kCloneCancelled)
                std::fprintf(stderr, "%s\n", s.commands().HeadLine(s.Outcome()).c_str());
        });
    if (sessions[0]->Outcome() != kCloneOk) return false;
    Document& doc = sessions[0]->document();
    image->Assign(doc.Working());
    return doc.PrepareImage(*image, PackMode::Save);
}

int RunDiff(const ParsedArgs& args) {
    const std::vector<std::string>& files = args.Operands();
    const bool radio = args.Has("--radio");
    if (radio != (files.size() == 1)) {
        std::fprintf(stderr, "parlo-cli diff: give two files, or one file and --radio\n");
        return kExitUsage;
    }
    if (!radio && args.Has("--port")) {
        std::fprintf(stderr, "parlo-cli diff: --port goes with --radio\n");
        return kExitUsage;
    }
    EepromImage a, b;
    if (!LoadFile(files[0], &a)) return kExitTrouble;
    // Where the lines go is checked before the radio is read, not after.
    if (!OutputWritable()) return kExitTrouble;
    if (radio ? !ReadRadio(args, &b) : !LoadFile(files[1], &b)) return kExitTrouble;
    const ImageDifferences differences = CompareImages(a, b, args.Has("--maker"));
    for (const std::string& line : differences.Lines()) std::printf("%s\n", TerminalText(line).c_str());
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::fprintf(stderr, "parlo-cli diff: the differences could not be written: %s\n",
                     std::strerror(errno));
        return kExitTrouble;
    }
    return differences.Empty() ? kExitSame : kExitDiffer;
}

}  // namespace

std::vector<Command> DiffCommands() {
    return {
        {"diff",
         "diff A B | diff A --radio [--port P] [--progress] [--maker]",
         "Compare two clone files, or file A with the radio's memory (read as Clone > Read "
         "does; nothing is written), sheet by sheet: a line per cell whose text read from the "
         "images differs (headings and captions are no difference), "
         "\"Sheet / row heading / column heading: 'text in A' -> 'text in B'\", then a line per "
         "differing byte that no cell shows, \"address: AA -> BB\". --maker adds the sheets "
         "of the maker's mode. Exit 0 when equal, 1 when they differ, 2 when a file is refused "
         "or the radio could not be read (the message on stderr).",
         {{"--radio", nullptr, false},
          {"--port", nullptr, true},
          {"--progress", nullptr, false},
          {"--maker", nullptr, false}},
         1,
         2,
         RunDiff},
    };
}

}  // namespace parlo::cli
