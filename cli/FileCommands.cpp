// parlo-cli check / info: load a clone file exactly as the Open command does.
#include <cstdio>

#include "app/FileMessages.h"
#include "cli/Commands.h"
#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "model/EepromImage.h"
#include "platform/TerminalText.h"

namespace parlo::cli {

namespace {

int RunCheck(const ParsedArgs& args) {
    const EepromImage working = FreshDocumentImage();
    EepromImage loaded;
    return ShowFileOutcome(OpenCloneFile(args.Operands()[0], working, &loaded));
}

int RunInfo(const ParsedArgs& args) {
    const EepromImage working = FreshDocumentImage();
    EepromImage loaded;
    CloneFileInfo info;
    const uint8_t code =
        ShowFileOutcome(OpenCloneFile(args.Operands()[0], working, &loaded, &info));
    if (code != kFileOk) return code;
    std::printf("model code: %04X\n", static_cast<unsigned>(info.model));
    std::printf("extra code: %04X\n", static_cast<unsigned>(info.extra));
    std::printf("comment: %s\n", TerminalText(info.comment).c_str());
    std::printf("map revision: %d\n", info.mapRevision);
    return 0;
}

}  // namespace

std::vector<Command> FileCommands() {
    return {
        {"check",
         "check FILE",
         "Load a clone file (-: standard input) as File > Open does; exit with its file error "
         "code (0 = good).",
         {},
         1,
         1,
         RunCheck},
        {"info",
         "info FILE",
         "Check a clone file (-: standard input), then print its model code, extra code, "
         "comment and map revision.",
         {},
         1,
         1,
         RunInfo},
    };
}

}  // namespace parlo::cli
